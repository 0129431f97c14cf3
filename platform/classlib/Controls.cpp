// TControl, the size constraints, windowless and custom-painted controls.
#include "Controls.h"

#include <algorithm>
#include <cstring>

#include "ControlsInternal.h"
#include "ScopeGuard.h"
#include "Streaming.h"

namespace korv_controls {
TControl* gCaptureControl = nullptr;
TControl* gMouseControl = nullptr;
TWinControl* gCreationControl = nullptr;
bool gMeasuringParams = false;
void (*gControlDestroyedHook)(TControl*) = nullptr;
void (*gHandleExceptionHook)(TObject*) = nullptr;
void (*gHintMouseHook)(TControl*, TMessage&) = nullptr;

void SetMouseControl(TControl* control) {
  if (control == gMouseControl) return;
  TControl* old = gMouseControl;
  gMouseControl = control;
  if (old) old->Perform(CM_MOUSELEAVE);
  if (control && gMouseControl == control) control->Perform(CM_MOUSEENTER);
}
}  // namespace korv_controls

using namespace korv_controls;

// ---- Helpers ----

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s.Include(ssShift);
  if (keys & MK_CONTROL) s.Include(ssCtrl);
  if (keys & MK_LBUTTON) s.Include(ssLeft);
  if (keys & MK_RBUTTON) s.Include(ssRight);
  if (keys & MK_MBUTTON) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (keyData & 0x20000000) s.Include(ssAlt);
  return s;
}

HCURSOR CursorHandle(TCursor cursor) {
  std::uintptr_t id = 0;
  switch (cursor) {
    case crArrow: id = IDC_ARROW; break;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS:
    case crVSplit: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE:
    case crHSplit: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass:
    case crSQLWait: id = IDC_WAIT; break;
    case crNo:
    case crNoDrop: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    case crDrag:
    case crMultiDrag: id = IDC_ARROW; break;
    default: return 0;
  }
  return LoadCursorW(0, MAKEINTRESOURCEW(id));
}

TControl* MouseControl() { return gMouseControl; }

// ---- TSizeConstraints ----

TSizeConstraints::TSizeConstraints(TControl* control) : control_(control) {}

String TSizeConstraints::ClassName() const { return u"TSizeConstraints"; }

void TSizeConstraints::Assign(const TPersistent* source) {
  if (auto* s = dynamic_cast<const TSizeConstraints*>(source)) {
    minHeight_ = s->minHeight_;
    maxHeight_ = s->maxHeight_;
    minWidth_ = s->minWidth_;
    maxWidth_ = s->maxWidth_;
    Change();
    return;
  }
  TPersistent::Assign(source);
}

void TSizeConstraints::SetMaxHeight(int v) {
  if (v < 0) v = 0;
  if (v == maxHeight_) return;
  maxHeight_ = v;
  if (v > 0 && v < minHeight_) minHeight_ = v;
  Change();
}
void TSizeConstraints::SetMaxWidth(int v) {
  if (v < 0) v = 0;
  if (v == maxWidth_) return;
  maxWidth_ = v;
  if (v > 0 && v < minWidth_) minWidth_ = v;
  Change();
}
void TSizeConstraints::SetMinHeight(int v) {
  if (v < 0) v = 0;
  if (v == minHeight_) return;
  minHeight_ = v;
  if (maxHeight_ > 0 && v > maxHeight_) maxHeight_ = v;
  Change();
}
void TSizeConstraints::SetMinWidth(int v) {
  if (v < 0) v = 0;
  if (v == minWidth_) return;
  minWidth_ = v;
  if (maxWidth_ > 0 && v > maxWidth_) maxWidth_ = v;
  Change();
}

void TSizeConstraints::Change() {
  if (control_) control_->ConstraintsChanged();
  if (OnChange) OnChange(this);
}

// ---- TControl ----

TControl::TControl(TComponent* owner)
    : TComponent(owner),
      font_(std::make_unique<TFont>()),
      constraints_(std::make_unique<TSizeConstraints>(this)) {
  WindowProc = [this](TMessage& m) { WndProc(m); };
  font_->OnChange = [this](TObject*) { FontOnChange(); };
}

TControl::~TControl() {
  if (gCaptureControl == this) {
    gCaptureControl = nullptr;
  }
  if (gMouseControl == this) gMouseControl = nullptr;
  if (gControlDestroyedHook) gControlDestroyedHook(this);
  if (hostDockSite_) hostDockSite_->UndockClient(this);
  if (parent_) parent_->RemoveControl(this);
}

String TControl::ClassName() const { return u"TControl"; }

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  if (WindowProc) {
    WindowProc(m);
  } else {
    WndProc(m);
  }
  return m.Result;
}

void TControl::WndProc(TMessage& message) {
  UINT msg = message.Msg;
  if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) {
    if (!controlStyle_.Contains(csDoubleClicks)) {
      switch (msg) {
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK: message.Msg = msg = msg - (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN); break;
      }
    }
    switch (msg) {
      case WM_MOUSEMOVE:
        if (!ComponentState().Contains(csDesigning)) {
          if (!gCaptureControl || gCaptureControl == this) SetMouseControl(this);
          if (gHintMouseHook) gHintMouseHook(this, message);
        }
        break;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK: controlState_.Include(csLButtonDown); break;
      case WM_LBUTTONUP: controlState_.Exclude(csLButtonDown); break;
    }
  }
  Dispatch(message);
}

void TControl::DoMouseDown(TMessage& m, TMouseButton button, TShiftState shift) {
  if (controlStyle_.Contains(csNoStdEvents)) return;
  MouseDown(button, KeysToShiftState(m.WParam) | shift, GET_X_LPARAM(m.LParam),
            GET_Y_LPARAM(m.LParam));
}

void TControl::DoMouseUp(TMessage& m, TMouseButton button) {
  if (controlStyle_.Contains(csNoStdEvents)) return;
  MouseUp(button, KeysToShiftState(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
}

void TControl::WMMouse(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
      if (controlStyle_.Contains(csClickEvents)) controlState_.Include(csClicked);
      DoMouseDown(m, mbLeft, {});
      break;
    case WM_LBUTTONDBLCLK:
      if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
      if (controlStyle_.Contains(csClickEvents)) DblClick();
      DoMouseDown(m, mbLeft, ssDouble);
      break;
    case WM_RBUTTONDOWN: DoMouseDown(m, mbRight, {}); break;
    case WM_RBUTTONDBLCLK: DoMouseDown(m, mbRight, ssDouble); break;
    case WM_MBUTTONDOWN: DoMouseDown(m, mbMiddle, {}); break;
    case WM_MBUTTONDBLCLK: DoMouseDown(m, mbMiddle, ssDouble); break;
    case WM_MOUSEMOVE:
      if (!controlStyle_.Contains(csNoStdEvents))
        MouseMove(KeysToShiftState(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
      break;
    case WM_LBUTTONUP: {
      if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(false);
      if (controlState_.Contains(csClicked)) {
        controlState_.Exclude(csClicked);
        TRect r = GetClientRect();
        POINT p = MAKEPOINT(m.LParam);
        if (PtInRect(&r, p)) Click();
      }
      DoMouseUp(m, mbLeft);
      break;
    }
    case WM_RBUTTONUP: {
      DoMouseUp(m, mbRight);
      break;
    }
    case WM_MBUTTONUP: DoMouseUp(m, mbMiddle); break;
  }
}

void TControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      DefaultHandler(m);
      WMMouse(m);
      return;
    case WM_MOUSEWHEEL: m.Result = Perform(CM_MOUSEWHEEL, m.WParam, m.LParam); return;
    case CM_MOUSEWHEEL: {
      POINT p = MAKEPOINT(m.LParam);
      if (DoMouseWheel(KeysToShiftState(LOWORD(m.WParam)), GET_WHEEL_DELTA_WPARAM(m.WParam), p)) {
        m.Result = 1;
        return;
      }
      // Not taken by the events: a window's own procedure is next (a combo box steps its
      // choice), and its default one hands the wheel to the parent window.
      if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated()) {
        TMessage wheel{WM_MOUSEWHEEL, m.WParam, m.LParam, 0};
        DefaultHandler(wheel);
        m.Result = wheel.Result;
      } else if (parent_) {
        m.Result = parent_->Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
      }
      return;
    }
    case CM_MOUSEENTER:
      if (parent_) parent_->Perform(CM_MOUSEENTER, 0, m.LParam ? m.LParam : LPARAM(this));
      if (m.LParam == 0) MouseEnter();
      return;
    case CM_MOUSELEAVE:
      if (parent_) parent_->Perform(CM_MOUSELEAVE, 0, m.LParam ? m.LParam : LPARAM(this));
      if (m.LParam == 0) MouseLeave();
      return;
    case CM_ENABLEDCHANGED: Invalidate(); return;
    case CM_VISIBLECHANGED:
      InvalidateControl(true, visible_ && controlStyle_.Contains(csOpaque));
      return;
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED: Invalidate(); return;
    case CM_PARENTCOLORCHANGED: ParentColorChanged(); return;
    case CM_PARENTFONTCHANGED: ParentFontChanged(); return;
    case CM_PARENTSHOWHINTCHANGED:
      if (parentShowHint_ && parent_) {
        showHint_ = parent_->ShowHint();
        parentShowHint_ = true;
      }
      return;
    case CM_PARENTBIDIMODECHANGED:
      if (parentBiDiMode_ && parent_) {
        biDiMode_ = parent_->BiDiMode();
        parentBiDiMode_ = true;
      }
      return;
    case CM_HITTEST: m.Result = HTCLIENT; return;
    case WM_CANCELMODE:
      if (MouseCapture()) {
        SetMouseCapture(false);
        if (controlState_.Contains(csLButtonDown)) {
          controlState_.Exclude(csLButtonDown);
          controlState_.Exclude(csClicked);
        }
      }
      DefaultHandler(m);
      return;
    case WM_CONTEXTMENU: {
      POINT p = MAKEPOINT(m.LParam);
      if (DoContextPopup(p)) {
        m.Result = 1;
        return;
      }
      DefaultHandler(m);
      return;
    }
  }
  DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_GETTEXT: {
      int max = int(m.WParam);
      auto* buf = reinterpret_cast<WCHAR*>(m.LParam);
      if (!buf || max <= 0) {
        m.Result = 0;
        return;
      }
      int n = std::min<int>(int(text_.size()), max - 1);
      std::memcpy(buf, text_.data(), std::size_t(n) * sizeof(WCHAR));
      buf[n] = 0;
      m.Result = n;
      return;
    }
    case WM_GETTEXTLENGTH: m.Result = LRESULT(text_.size()); return;
    case WM_SETTEXT: {
      auto* s = reinterpret_cast<const WCHAR*>(m.LParam);
      text_ = s ? String(s) : String();
      m.Result = 1;
      return;
    }
  }
}

// ---- Parent ----

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation(u"A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) {
    parent->InsertControl(this);
    SetParentHook(parent);
  }
}

bool TControl::HasParent() const { return true; }

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* w = dynamic_cast<TWinControl*>(parent)) SetParent(w);
}

void TControl::ReadState(TReader* reader) {
  controlState_.Include(csReadingState);
  {
    ScopeGuard doneReading([this] { controlState_.Exclude(csReadingState); });
    TComponent::ReadState(reader);
  }
  if (parent_) {
    Perform(CM_PARENTCOLORCHANGED);
    Perform(CM_PARENTFONTCHANGED);
    Perform(CM_PARENTSHOWHINTCHANGED);
    Perform(CM_PARENTBIDIMODECHANGED);
  }
}

void TControl::Loaded() {
  TComponent::Loaded();
  UpdateAnchorRules();
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
}

// ---- Bounds ----

void TControl::SetBounds(int left, int top, int width, int height) {
  if (!CanResize(width, height)) {
    width = width_;
    height = height_;
  }
  DoConstrainedResize(width, height);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  bool sized = width != width_ || height != height_;
  InvalidateControl(visible_, false);
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  UpdateAnchorRules();
  Invalidate();
  Perform(WM_WINDOWPOSCHANGED);
  if (parent_) parent_->AlignControl(this);
  if (sized && !ComponentState().Contains(csLoading)) Resize();
}

void TControl::UpdateBoundsRect(const TRect& r) {
  UpdateAnchorRules();
  left_ = r.left;
  top_ = r.top;
  width_ = RectWidth(r);
  height_ = RectHeight(r);
}

bool TControl::CanResize(int& newWidth, int& newHeight) {
  bool resize = true;
  if (OnCanResize) OnCanResize(this, newWidth, newHeight, resize);
  if (resize && autoSize_ && !ComponentState().Contains(csLoading)) {
    int w = newWidth, h = newHeight;
    if (CanAutoSize(w, h)) {
      if (align_ != alLeft && align_ != alRight && align_ != alClient) newWidth = w;
      if (align_ != alTop && align_ != alBottom && align_ != alClient) newHeight = h;
    }
  }
  return resize;
}

bool TControl::CanAutoSize(int& newWidth, int& newHeight) {
  (void)newWidth;
  (void)newHeight;
  return true;
}

void TControl::ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) {
  if (OnConstrainedResize) OnConstrainedResize(this, minWidth, minHeight, maxWidth, maxHeight);
}

void TControl::DoConstrainedResize(int& newWidth, int& newHeight) {
  int minW = constraints_->MinWidth(), minH = constraints_->MinHeight();
  int maxW = constraints_->MaxWidth(), maxH = constraints_->MaxHeight();
  ConstrainedResize(minW, minH, maxW, maxH);
  if (maxW > 0 && newWidth > maxW) newWidth = maxW;
  else if (minW > 0 && newWidth < minW) newWidth = minW;
  if (maxH > 0 && newHeight > maxH) newHeight = maxH;
  else if (minH > 0 && newHeight < minH) newHeight = minH;
}

void TControl::ConstraintsChanged() {
  if (ComponentState().Contains(csLoading)) return;
  SetBounds(left_, top_, width_, height_);
}

void TControl::AdjustSize() {
  if (!ComponentState().Contains(csLoading)) SetBounds(left_, top_, width_, height_);
}

void TControl::SetAutoSize(bool autoSize) {
  if (autoSize == autoSize_) return;
  autoSize_ = autoSize;
  if (autoSize) AdjustSize();
}

TRect TControl::GetClientRect() { return Rect(0, 0, width_, height_); }

void TControl::SetClientWidth(int v) { SetClientSize(Point(v, ClientHeight())); }
void TControl::SetClientHeight(int v) { SetClientSize(Point(ClientWidth(), v)); }

void TControl::SetClientSize(TPoint size) {
  TRect c = GetClientRect();
  SetBounds(left_, top_, width_ - RectWidth(c) + size.x, height_ - RectHeight(c) + size.y);
}

TPoint TControl::ClientOrigin() {
  if (!parent_) throw EInvalidOperation(Format(u"Control '%s' has no parent window", {Name()}));
  TPoint p = parent_->ClientOrigin();
  return Point(p.x + left_, p.y + top_);
}

TPoint TControl::ClientToScreen(TPoint p) {
  TPoint o = ClientOrigin();
  return Point(p.x + o.x, p.y + o.y);
}

TPoint TControl::ScreenToClient(TPoint p) {
  TPoint o = ClientOrigin();
  return Point(p.x - o.x, p.y - o.y);
}

TPoint TControl::ClientToParent(TPoint p, TWinControl* parent) {
  if (!parent) parent = parent_;
  TControl* c = this;
  while (c && c != parent) {
    p.x += c->left_;
    p.y += c->top_;
    c = c->parent_;
  }
  if (c != parent) throw EInvalidOperation(u"Control is not a child of that parent");
  return p;
}

TPoint TControl::ParentToClient(TPoint p, TWinControl* parent) {
  TPoint o = ClientToParent(Point(0, 0), parent);
  return Point(p.x - o.x, p.y - o.y);
}

void TControl::UpdateAnchorRules() {
  if (anchorMove_ || !parent_ || ComponentState().Contains(csLoading)) return;
  TRect pr = parent_->GetClientRect();
  anchorRight_ = RectWidth(pr) - (left_ + width_);
  anchorBottom_ = RectHeight(pr) - (top_ + height_);
  anchorRulesValid_ = true;
}

void TControl::SetAnchors(TAnchors anchors) {
  if (anchors == anchors_) return;
  anchors_ = anchors;
  UpdateAnchorRules();
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  TAlign old = align_;
  align_ = align;
  anchors_ = TAnchors{akLeft, akTop};
  switch (align) {
    case alTop: anchors_ = TAnchors{akLeft, akTop, akRight}; break;
    case alBottom: anchors_ = TAnchors{akLeft, akRight, akBottom}; break;
    case alLeft: anchors_ = TAnchors{akLeft, akTop, akBottom}; break;
    case alRight: anchors_ = TAnchors{akTop, akRight, akBottom}; break;
    case alClient: anchors_ = TAnchors{akLeft, akTop, akRight, akBottom}; break;
    default: break;
  }
  if (!ComponentState().Contains(csLoading) && old != alNone && align == alNone) {
    // An unaligned control keeps its size from the design, as the library does.
    SetBounds(left_, top_, width_, height_);
  }
  if (parent_) parent_->AlignControl(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::ChangeScale(int m, int d) {
  if (m == d) return;
  SetBounds(MulDiv(left_, m, d), MulDiv(top_, m, d),
            MulDiv(left_ + width_, m, d) - MulDiv(left_, m, d),
            MulDiv(top_ + height_, m, d) - MulDiv(top_, m, d));
  if (!parentFont_) font_->SetHeight(MulDiv(font_->Height(), m, d));
}

// ---- Visibility and state ----

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  VisibleChanging();
  visible_ = visible;
  Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
  if (parent_) parent_->AlignControl(this);
}

void TControl::Show() {
  if (parent_) parent_->ShowControl(this);
  if (!ComponentState().Contains(csDesigning) || controlStyle_.Contains(csNoDesignVisible))
    SetVisible(true);
}

void TControl::Hide() { SetVisible(false); }

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Perform(CM_ENABLEDCHANGED);
}

bool TControl::MouseCapture() const { return gCaptureControl == this; }

void TControl::SetMouseCapture(bool capture) {
  if (MouseCapture() == capture) return;
  if (capture) {
    TWinControl* host = dynamic_cast<TWinControl*>(this);
    if (!host) host = parent_;
    if (!host) return;
    gCaptureControl = this;
    ::SetCapture(host->Handle());
  } else {
    gCaptureControl = nullptr;
    ::ReleaseCapture();
  }
}

// ---- Appearance ----

void TControl::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  parentColor_ = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool parentColor) {
  if (parentColor == parentColor_) return;
  parentColor_ = parentColor;
  if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::ParentColorChanged() {
  if (parentColor_ && parent_) {
    SetColor(parent_->Color());
    parentColor_ = true;
  }
}

void TControl::SetParentFont(bool parentFont) {
  if (parentFont == parentFont_) return;
  parentFont_ = parentFont;
  if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED);
}

void TControl::ParentFontChanged() {
  if (parentFont_ && parent_) {
    fontChanging_ = true;
    font_->Assign(parent_->Font());
    fontChanging_ = false;
    FontChanged();
    parentFont_ = true;
  }
}

void TControl::FontOnChange() {
  if (fontChanging_) return;
  parentFont_ = false;
  FontChanged();
}

void TControl::FontChanged() { Perform(CM_FONTCHANGED); }

void TControl::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  Perform(CM_CURSORCHANGED);
}

// ---- Text ----

int TControl::GetTextLen() { return int(Perform(WM_GETTEXTLENGTH)); }

String TControl::GetText() {
  int len = GetTextLen();
  if (len <= 0) return String();
  String buf(std::size_t(len) + 1, u'\0');
  int n = int(Perform(WM_GETTEXT, WPARAM(len + 1), LPARAM(buf.data())));
  buf.resize(std::size_t(std::clamp(n, 0, len)));
  return buf;
}

void TControl::SetText(const String& text) {
  if (GetText() == text) return;
  Perform(WM_SETTEXT, 0, LPARAM(text.c_str()));
  Perform(CM_TEXTCHANGED);
}

// ---- Hints ----

void TControl::SetShowHint(bool showHint) {
  if (showHint == showHint_) return;
  showHint_ = showHint;
  parentShowHint_ = false;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool parentShowHint) {
  if (parentShowHint == parentShowHint_) return;
  parentShowHint_ = parentShowHint;
  if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTSHOWHINTCHANGED);
}

// ---- Bidirectional layout ----

void TControl::SetBiDiMode(TBiDiMode mode) {
  if (mode == biDiMode_) return;
  biDiMode_ = mode;
  parentBiDiMode_ = false;
  Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool value) {
  if (value == parentBiDiMode_) return;
  parentBiDiMode_ = value;
  if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTBIDIMODECHANGED);
}

// The platform here lays out left to right only; the modes are kept for the callers' tests.
bool TControl::IsRightToLeft() const { return false; }
bool TControl::UseRightToLeftAlignment() const { return false; }
bool TControl::UseRightToLeftReading() const { return false; }
bool TControl::UseRightToLeftScrollBar() const { return false; }

// ---- Painting ----

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
  (void)isOpaque;
  if (!isVisible || !parent_ || !parent_->HandleAllocated()) return;
  TRect r = BoundsRect();
  ::InvalidateRect(parent_->Handle(), &r, !(isOpaque || parent_->DoubleBuffered()));
}

void TControl::Invalidate() { InvalidateControl(visible_, controlStyle_.Contains(csOpaque)); }

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  if (!visible_ || !parent_ || !parent_->HandleAllocated()) return;
  Invalidate();
  parent_->Update();
}

void TControl::BringToFront() { SetZOrder(true); }
void TControl::SendToBack() { SetZOrder(false); }

void TControl::SetZOrder(bool topMost) {
  if (!parent_) return;
  auto& list = parent_->controls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (topMost) list.push_back(this);
  else list.insert(list.begin(), this);
  Invalidate();
}

// ---- Events and virtual handlers ----

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
  if (!handled) {
    // Each notch is one call, as the platform reports them.
    int notches = wheelDelta / WHEEL_DELTA;
    if (notches == 0 && wheelDelta != 0) notches = wheelDelta > 0 ? 1 : -1;
    for (int i = 0; i < std::abs(notches); ++i) {
      handled = notches < 0 ? DoMouseWheelDown(shift, mousePos) : DoMouseWheelUp(shift, mousePos);
    }
  }
  return handled;
}

bool TControl::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, shift, mousePos, handled);
  return handled;
}

bool TControl::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, shift, mousePos, handled);
  return handled;
}

bool TControl::DoContextPopup(TPoint mousePos) {
  bool handled = false;
  if (OnContextPopup) OnContextPopup(this, mousePos, handled);
  return handled;
}

// ---- Docking ----

bool TControl::ManualDock(TWinControl* newDockSite, TControl* dropControl, TAlign controlSide) {
  if (newDockSite == hostDockSite_) return true;
  if (hostDockSite_) hostDockSite_->UndockClient(this);
  if (!newDockSite) {
    SetParent(nullptr);
    return true;
  }
  if (!newDockSite->DockSite()) return false;
  undockWidth_ = width_;
  undockHeight_ = height_;
  newDockSite->DockDrop(this, controlSide, dropControl);
  return true;
}

// ---- TGraphicControl ----

TGraphicControl::TGraphicControl(TComponent* owner)
    : TControl(owner), canvas_(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

String TGraphicControl::ClassName() const { return u"TGraphicControl"; }

void TGraphicControl::Dispatch(TMessage& m) {
  if (m.Msg == WM_PAINT) {
    // The parent paints windowless children with the DC in wParam, its origin moved here.
    if (m.WParam) {
      canvas_->Lock();
      canvas_->SetHandle(HDC(m.WParam));
      ScopeGuard release([this] {
        canvas_->SetHandle(0);
        canvas_->Unlock();
      });
      Paint();
    }
    return;
  }
  TControl::Dispatch(m);
}

void TGraphicControl::Paint() {}

// ---- TCustomControl ----

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>()) {
  canvas_->SetProvider(this);
  // It paints itself: WM_PAINT must reach Paint even without windowless children.
  IncludeState(csCustomPaint);
}

TCustomControl::~TCustomControl() {
  canvas_->FreeHandle();
  canvas_->SetProvider(nullptr);
}

String TCustomControl::ClassName() const { return u"TCustomControl"; }

HDC TCustomControl::AcquireCanvasDC() { return ::GetDC(Handle()); }

void TCustomControl::ReleaseCanvasDC(HDC dc) {
  if (HandleAllocated()) ::ReleaseDC(WindowHandle(), dc);
}

void TCustomControl::PaintWindow(HDC dc) {
  korv_controls::PaintOnCanvas(canvas_.get(), dc, [this] { Paint(); });
}

void TCustomControl::Paint() {}

void TCustomControl::DestroyWnd() {
  canvas_->FreeHandle();
  TWinControl::DestroyWnd();
}

void korv_controls::PaintOnCanvas(TControlCanvas* canvas, HDC dc,
                                  const std::function<void()>& paint) {
  canvas->FreeHandle();
  canvas->Lock();
  canvas->SetHandle(dc);
  ScopeGuard release([canvas] {
    canvas->SetHandle(0);
    canvas->Unlock();
  });
  paint();
}
