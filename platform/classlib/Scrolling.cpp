// Scrolling controls: the window's own scroll bars scroll the children.
#include <algorithm>

#include "Controls.h"
#include "ScopeGuard.h"

// ---- TControlScrollBar ----

TControlScrollBar::TControlScrollBar(TScrollingWinControl* control, TScrollBarKind kind)
    : control_(control), kind_(kind) {}

String TControlScrollBar::ClassName() const { return u"TControlScrollBar"; }

void TControlScrollBar::Assign(const TPersistent* source) {
  if (auto* s = dynamic_cast<const TControlScrollBar*>(source)) {
    visible_ = s->visible_;
    range_ = s->range_;
    position_ = s->position_;
    increment_ = s->increment_;
    margin_ = s->margin_;
    tracking_ = s->tracking_;
    if (control_) control_->UpdateScrollBars();
    return;
  }
  TPersistent::Assign(source);
}

int TControlScrollBar::ControlSize() {
  TRect r = control_->ClientRect();
  return kind_ == sbHorizontal ? RectWidth(r) : RectHeight(r);
}

void TControlScrollBar::SetRange(int range) {
  range = std::max(0, range);
  if (range == range_) return;
  range_ = range;
  control_->UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  control_->UpdateScrollBars();
}

void TControlScrollBar::SetPosition(int position) {
  int maxPos = std::max(0, range_ - ControlSize());
  position = std::clamp(position, 0, maxPos);
  if (position == position_) return;
  int old = position_;
  position_ = position;
  if (kind_ == sbHorizontal) control_->ScrollBy(old - position, 0);
  else control_->ScrollBy(0, old - position);
  if (control_->HandleAllocated())
    SetScrollPos(control_->Handle(), kind_ == sbHorizontal ? SB_HORZ : SB_VERT, position, TRUE);
}

bool TControlScrollBar::IsScrollBarVisible() {
  if (!control_->HandleAllocated()) return false;
  DWORD style = DWORD(GetWindowLongW(control_->Handle(), GWL_STYLE));
  return (style & (kind_ == sbHorizontal ? WS_HSCROLL : WS_VSCROLL)) != 0;
}

int TControlScrollBar::ScrollPos() { return IsScrollBarVisible() ? position_ : 0; }

void TControlScrollBar::Update(bool controlVisible, bool sizeChanged) {
  (void)controlVisible;
  (void)sizeChanged;
  if (!control_->HandleAllocated()) return;
  HWND h = control_->Handle();
  int bar = kind_ == sbHorizontal ? SB_HORZ : SB_VERT;
  int size = ControlSize();
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  if (visible_ && range_ > size) {
    int maxPos = range_ - size;
    if (position_ > maxPos) SetPosition(maxPos);
    si.nMin = 0;
    si.nMax = range_ - 1;
    si.nPage = UINT(size);
    si.nPos = position_;
  } else {
    if (position_ != 0) SetPosition(0);
    si.nMin = 0;
    si.nMax = 0;
    si.nPage = 0;
    si.nPos = 0;
  }
  SetScrollInfo(h, bar, &si, TRUE);
}

void TControlScrollBar::ScrollMessage(TMessage& m) {
  int code = LOWORD(m.WParam);
  int page = std::max(1, ControlSize() - increment_);
  int pos = position_;
  switch (code) {
    case SB_LINEUP: pos -= increment_; break;
    case SB_LINEDOWN: pos += increment_; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBPOSITION: pos = SHORT(HIWORD(m.WParam)); break;
    case SB_THUMBTRACK:
      if (!tracking_) return;
      pos = SHORT(HIWORD(m.WParam));
      break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = range_; break;
    default: return;
  }
  if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
    SCROLLINFO si;
    si.fMask = SIF_TRACKPOS;
    if (GetScrollInfo(control_->Handle(), kind_ == sbHorizontal ? SB_HORZ : SB_VERT, &si))
      pos = si.nTrackPos;
  }
  SetPosition(pos);
  m.Result = 0;
}

void TControlScrollBar::CalcAutoRange() {
  int extent = 0;
  for (int i = 0; i < control_->ControlCount(); ++i) {
    TControl* c = control_->Controls(i);
    if (!c->Visible()) continue;
    TAlign a = c->Align();
    if (kind_ == sbHorizontal) {
      if (a == alTop || a == alBottom || a == alClient) continue;
      extent = std::max(extent, c->Left() + c->Width() + position_);
    } else {
      if (a == alLeft || a == alRight || a == alClient) continue;
      extent = std::max(extent, c->Top() + c->Height() + position_);
    }
  }
  calcRange_ = extent > 0 ? extent + margin_ : 0;
  SetRange(calcRange_);
}

// ---- TScrollingWinControl ----

TScrollingWinControl::TScrollingWinControl(TComponent* owner)
    : TWinControl(owner),
      horz_(std::make_unique<TControlScrollBar>(this, sbHorizontal)),
      vert_(std::make_unique<TControlScrollBar>(this, sbVertical)) {
  SetControlStyle(ControlStyle() | TControlStyle{csAcceptsControls});
}

TScrollingWinControl::~TScrollingWinControl() = default;

String TScrollingWinControl::ClassName() const { return u"TScrollingWinControl"; }

void TScrollingWinControl::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
}

void TScrollingWinControl::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateScrollBars();
}

void TScrollingWinControl::SetAutoScroll(bool value) {
  if (value == autoScroll_) return;
  autoScroll_ = value;
  if (value) {
    CalcAutoRange();
  } else {
    horz_->SetRange(0);
    vert_->SetRange(0);
  }
}

void TScrollingWinControl::DisableAutoRange() { ++autoRangeCount_; }

void TScrollingWinControl::EnableAutoRange() {
  if (autoRangeCount_ > 0 && --autoRangeCount_ == 0) CalcAutoRange();
}

void TScrollingWinControl::CalcAutoRange() {
  if (autoRangeCount_ > 0 || !autoScroll_ || ComponentState().Contains(csLoading)) return;
  horz_->CalcAutoRange();
  vert_->CalcAutoRange();
}

void TScrollingWinControl::UpdateScrollBars() {
  if (updatingScrollBars_ || !HandleAllocated()) return;
  updatingScrollBars_ = true;
  ScopeGuard doneUpdating([this] { updatingScrollBars_ = false; });
  // A bar that appears narrows the other's extent: settle in two passes.
  vert_->Update(false, true);
  horz_->Update(false, true);
  vert_->Update(false, true);
}

void TScrollingWinControl::AdjustClientRect(TRect& rect) {
  rect = Bounds(-horz_->Position(), -vert_->Position(), std::max(horz_->Range(), RectWidth(rect)),
                std::max(vert_->Range(), RectHeight(rect)));
  TWinControl::AdjustClientRect(rect);
}

void TScrollingWinControl::AlignControls(TControl* control, TRect& rect) {
  CalcAutoRange();
  TWinControl::AlignControls(control, rect);
}

void TScrollingWinControl::Resize() { TWinControl::Resize(); }

void TScrollingWinControl::ScrollInView(TControl* control) {
  if (!control || !ContainsControl(control)) return;
  TRect r = control->BoundsRect();
  TControl* p = control->Parent();
  while (p && p != this) {
    r.left += p->Left();
    r.right += p->Left();
    r.top += p->Top();
    r.bottom += p->Top();
    p = p->Parent();
  }
  TRect client = ClientRect();
  if (r.left < 0) horz_->SetPosition(horz_->Position() + r.left);
  else if (r.right > client.right && RectWidth(r) <= RectWidth(client))
    horz_->SetPosition(horz_->Position() + r.right - client.right);
  if (r.top < 0) vert_->SetPosition(vert_->Position() + r.top);
  else if (r.bottom > client.bottom && RectHeight(r) <= RectHeight(client))
    vert_->SetPosition(vert_->Position() + r.bottom - client.bottom);
}

void TScrollingWinControl::AutoScrollInView(TControl* control) {
  if (autoScroll_ && control && !control->ComponentState().Contains(csLoading))
    ScrollInView(control);
}

void TScrollingWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_HSCROLL:
      if (m.LParam == 0) {
        horz_->ScrollMessage(m);
        return;
      }
      break;
    case WM_VSCROLL:
      if (m.LParam == 0) {
        vert_->ScrollMessage(m);
        return;
      }
      break;
    case WM_SIZE:
      TWinControl::Dispatch(m);
      UpdateScrollBars();
      return;
  }
  TWinControl::Dispatch(m);
}

// ---- TScrollBox ----

TScrollBox::TScrollBox(TComponent* owner) : TScrollingWinControl(owner) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                csDoubleClicks, csPannable, csGestures});
  SetBounds(0, 0, 185, 41);
}

String TScrollBox::ClassName() const { return u"TScrollBox"; }

void TScrollBox::SetBorderStyle(TBorderStyle style) {
  if (style != bsNone) style = bsSingle;
  if (style == borderStyle_) return;
  borderStyle_ = style;
  RecreateWnd();
}

void TScrollBox::CreateParams(TCreateParams& params) {
  TScrollingWinControl::CreateParams(params);
  if (borderStyle_ == bsSingle) {
    if (Ctl3D()) params.ExStyle |= WS_EX_CLIENTEDGE;
    else params.Style |= WS_BORDER;
  }
}
