#include "RzPopups.h"

#include <climits>
#include <cmath>

#include "Forms.h"
#include "GraphicsTypeInfo.h"
#include "Locale.h"
#include "Numbers.h"
#include "ScopeGuard.h"
#include "Themes.h"
#include "TypInfo.h"

namespace {

constexpr TColor kDefaultColors[TRzCalculatorColors::kCount] = {
    clWindowText, clBtnFace, clWindowText, clBtnFace,
    clWindowText, clBtnFace, clWindowText, clWindow};

}  // namespace

TRzCalculatorColors::TRzCalculatorColors(TControl* calculator) : FCalculator(calculator) {
  for (int i = 0; i < kCount; ++i) FColors[i] = kDefaultColors[i];
}

TRzCalculatorColors::~TRzCalculatorColors() { FCalculator = nullptr; }

String TRzCalculatorColors::ClassName() const { return u"TRzCalculatorColors"; }

void TRzCalculatorColors::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TRzCalculatorColors*>(source)) {
    for (int i = 0; i < kCount; ++i) SetColor(i, other->GetColor(i));
    return;
  }
  TPersistent::Assign(source);
}

TColor TRzCalculatorColors::GetColor(int index) const {
  if (index < 0 || index >= kCount) return clNone;
  return FColors[index];
}

void TRzCalculatorColors::SetColor(int index, TColor value) {
  if (index < 0 || index >= kCount) return;
  FColors[index] = value;
  if (FCalculator) FCalculator->Invalidate();
}

namespace {

void RegisterRzPopupControls() {
  RegisterRzPanelClasses();
  Published<TRzCustomPopup>(u"TRzCustomPopup", u"TRzCustomPanel")
      .Int(u"BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth, 1)
      .Ord(u"BorderOuter", TypeInfoTFrameStyleEx(), &TRzCustomPanel::BorderOuter,
           &TRzCustomPanel::SetBorderOuter, fsRaised)
      .Int(u"BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth, 0)
      .Int(u"FlatColorAdjustment", &TRzCustomPanel::FlatColorAdjustment,
           &TRzCustomPanel::SetFlatColorAdjustment, 0);
  Published<TRzPopupPanel>(u"TRzPopupPanel", u"TRzCustomPopup")
      .Creatable()
      .Ord(u"Alignment", TypeInfoTAlignment(), &TCustomPanel::Alignment,
           &TCustomPanel::SetAlignment, taRightJustify)
      .Bool(u"AutoSize", &TControl::AutoSize, &TControl::SetAutoSize, true)
      .Ord(u"Color", TypeInfoTColor(), &TControl::Color, &TControl::SetColor, clBtnFace)
      .StoredIf(&TControl::IsColorStored)
      .Bool(u"ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false)
      .Event(u"OnClose", &TRzPopupPanel::OnClose)
      .Event(u"OnPopup", &TRzPopupPanel::OnPopup);
  Published<TRzPopup>(u"TRzPopup", u"TRzCustomPopup");
  Published<TRzCalculator>(u"TRzCalculator", u"TRzCustomPanel")
      .Creatable()
      .Ord(u"Alignment", TypeInfoTAlignment(), &TCustomPanel::Alignment,
           &TCustomPanel::SetAlignment, taCenter)
      .Bool(u"AutoSize", &TControl::AutoSize, &TControl::SetAutoSize, true)
      .Int(u"BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth, 1)
      .Ord(u"BorderOuter", TypeInfoTFrameStyleEx(), &TRzCustomPanel::BorderOuter,
           &TRzCustomPanel::SetBorderOuter, fsStatus)
      .Int(u"BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth, 0)
      .Ord(u"Color", TypeInfoTColor(), &TControl::Color, &TControl::SetColor, clWindow)
      .StoredIf(&TControl::IsColorStored)
      .Int(u"FlatColorAdjustment", &TRzCustomPanel::FlatColorAdjustment,
           &TRzCustomPanel::SetFlatColorAdjustment, 0)
      .Bool(u"ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false)
      .Bool(u"TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, true)
      .Bool(u"BoldButtons", &TRzCalculator::BoldButtons, &TRzCalculator::SetBoldButtons, false)
      .Object(u"CalculatorColors", &TRzCalculator::CalculatorColors,
              &TRzCalculator::SetCalculatorColors)
      .Float(u"Result", &TRzCalculator::Result, &TRzCalculator::SetResult, 0.0)
      .Bool(u"ThemeAware", &TRzCalculator::ThemeAware, &TRzCalculator::SetThemeAware, true)
      .Event(u"OnChange", &TRzCalculator::OnChange)
      .Event(u"OnSetBtnClick", &TRzCalculator::OnSetBtnClick);
}

}  // namespace

void RegisterRzPopupsClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  Published<TRzCalculatorColors> table(u"TRzCalculatorColors", u"TPersistent");
  static const char16_t* const kNames[TRzCalculatorColors::kCount] = {
      u"NumberFont",  u"NumberBtns",  u"OperatorFont", u"OperatorBtns",
      u"CommandFont", u"CommandBtns", u"DisplayFont",  u"Display"};
  for (int i = 0; i < TRzCalculatorColors::kCount; ++i) {
    table.Ord(
        kNames[i], TypeInfoTColor(), [i](TRzCalculatorColors* c) { return c->GetColor(i); },
        [i](TRzCalculatorColors* c, TColor v) { c->SetColor(i, v); }, kDefaultColors[i]);
  }
  RegisterRzPopupControls();
}

// ---- TRzCustomPopup ----

TRzCustomPopup::TRzCustomPopup(TComponent* owner) : TRzCustomPanel(owner) {
  SetBorderWidth(2);
  SetBorderOuter(fsPopup);
  SetFlatColorAdjustment(0);
  SetVisible(false);
}

String TRzCustomPopup::ClassName() const { return u"TRzCustomPopup"; }

void TRzCustomPopup::AdjustClientRect(TRect& rect) {
  TRzCustomPanel::AdjustClientRect(rect);
  AdjustRectForBorders(rect, false);
}

void TRzCustomPopup::AlignControls(TControl* control, TRect& rect) {
  AdjustRectForBorders(rect, false);
  TRzCustomPanel::AlignControls(control, rect);
}

void TRzCustomPopup::Paint() {
  if (!ThemeServices()->ThemesEnabled()) {
    TRzCustomPanel::Paint();
    return;
  }
  const TRect r = ClientRect();
  ThemeServices()->DrawElement(Canvas()->Handle(),
                               ThemeServices()->GetElementDetails(teEditTextDisabled), r);
}

void TRzCustomPopup::Notification(TComponent* component, TOperation operation) {
  TRzCustomPanel::Notification(component, operation);
  if (operation == opRemove && component == FPopupControl) FPopupControl = nullptr;
}

// ---- TRzPopupPanel ----

TRzPopupPanel::TRzPopupPanel(TComponent* owner) : TRzCustomPopup(owner) {
  SetAlignment(taRightJustify);
  SetBounds(Left(), Top(), 100, 100);
  TControlStyle style = ControlStyle();
  style.Include(csAcceptsControls);
  SetControlStyle(style);
  SetColor(clBtnFace);
  SetParentColor(false);
  SetAutoSize(true);
}

TRzPopupPanel::~TRzPopupPanel() {
  *FAlive = false;
  if (TRzPopup* open = FPopup) {
    // Its loop is still running further up the stack: that Popup call frees it.
    FPopup = nullptr;
    open->FPopupPanel = nullptr;
    RemoveComponent(open);
  }
}

String TRzPopupPanel::ClassName() const { return u"TRzPopupPanel"; }

bool TRzPopupPanel::Popup(TControl* popupControl) { return Popup(popupControl, -1, -1); }

bool TRzPopupPanel::Popup(TControl* popupControl, int x, int y) {
  if (Active()) return false;
  const std::shared_ptr<bool> alive = FAlive;
  FPopupControl = popupControl;
  if (popupControl) popupControl->FreeNotification(this);
  TCustomForm* form = GetParentForm(this);
  FRestoreFocus = form ? form->ActiveControl() : nullptr;
  if (FRestoreFocus) FRestoreFocus->FreeNotification(this);
  if (form) form->DisableAutoRange();
  TRzPopup* popup = nullptr;
  bool result = false;
  {
    // Restores the form and the panel, also when an exception leaves the popup.
    ScopeGuard finish([&] {
      if (!*alive) {
        delete popup;
        return;
      }
      if (form) form->EnableAutoRange();
      if (Application->Active() && FRestoreFocus && FRestoreFocus->CanFocus())
        FRestoreFocus->SetFocus();
      FRestoreFocus = nullptr;
      FPopupControl = nullptr;
      FPopup = nullptr;
    });
    DoPopup();
    HandleNeeded();
    RecreateWnd();
    HandleNeeded();
    popup = new TRzPopup(this);
    FPopup = popup;
    popup->SetBorderOuter(BorderOuter());
    popup->SetFlatColor(FlatColor());
    result = popup->Popup(FPopupControl, Alignment(), x, y);
    if (*alive) DoClose();
  }
  return *alive && result;
}

void TRzPopupPanel::Close(TObject* sender) {
  (void)sender;
  if (!FPopup) return;
  FPopup->FCancel = false;
  FPopup->PostCloseRequest();
}

void TRzPopupPanel::DestroyWnd() {
  // The window going away ends an open popup, but as dismissed: nothing was accepted.
  if (FPopup) FPopup->PostCloseRequest();
  TRzCustomPopup::DestroyWnd();
}

void TRzPopupPanel::Notification(TComponent* component, TOperation operation) {
  TRzCustomPopup::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FRestoreFocus) FRestoreFocus = nullptr;
  if (component == FPopup) FPopup = nullptr;
}

void TRzPopupPanel::DoClose() {
  if (OnClose) OnClose(this);
}

void TRzPopupPanel::DoPopup() {
  if (OnPopup) OnPopup(this);
}

// ---- TRzPopup ----

TRzPopup::TRzPopup(TComponent* owner)
    : TRzCustomPopup(owner), FPopupPanel(dynamic_cast<TRzPopupPanel*>(owner)) {
  if (!FPopupPanel) throw EInvalidCast(u"Invalid class typecast");
  SetVisible(false);
  SetParent(GetParentForm(FPopupPanel));
  SetColor(FPopupPanel->Color());
  SetFont(FPopupPanel->Font());
  SetCtl3D(false);
  SetHint(FPopupPanel->Hint());
  SetShowHint(FPopupPanel->ShowHint());
}

TRzPopup::~TRzPopup() = default;

String TRzPopup::ClassName() const { return u"TRzPopup"; }

void TRzPopup::CreateParams(TCreateParams& params) {
  TRzCustomPopup::CreateParams(params);
  params.Style = WS_POPUP;
}

void TRzPopup::Notification(TComponent* component, TOperation operation) {
  TRzCustomPopup::Notification(component, operation);
  if (operation == opRemove && component == FTarget) FTarget = nullptr;
}

void TRzPopup::PostCloseRequest() { PostMessageW(Handle(), WM_RZ_POPUPCLOSE, 0, 0); }

TPoint TRzPopup::PlaceFor(const TRect& c, int w, int h, TAlignment alignment, int popupX,
                          int popupY, const TRect& work) {
  int x, y;
  if (popupX == -1 && popupY == -1) {
    y = c.bottom;
    switch (alignment) {
      case taLeftJustify: x = c.left; break;
      case taRightJustify: x = c.right - w; break;
      default: x = (c.left + c.right - w) / 2; break;
    }
  } else {
    x = c.left + popupX;
    y = c.top + popupY;
  }
  if (work.right < x + w) x = work.right - w;
  if (work.bottom < y + h) y = c.top - h;
  // Last, so the top-left corner stays on screen when the popup is larger than the area.
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  return Point(x, y);
}

bool TRzPopup::Popup(TControl* popupControl, TAlignment alignment, int popupX, int popupY) {
  FPopupControl = popupControl;
  if (popupControl) popupControl->FreeNotification(this);
  TRect c{0, 0, 0, 0};
  if (auto* windowed = dynamic_cast<TWinControl*>(popupControl)) {
    GetWindowRect(windowed->Handle(), &c);
  } else if (popupControl) {
    const TPoint tl = popupControl->ClientToScreen(Point(0, 0));
    c = Bounds(tl.x, tl.y, popupControl->Width(), popupControl->Height());
  }

  TRzPopupPanel* panel = FPopupPanel;
  for (int i = panel->ControlCount() - 1; i >= 0; --i) panel->Controls(i)->SetParent(this);
  FTarget = nullptr;
  for (int i = 0; i < ControlCount(); ++i) {
    auto* w = dynamic_cast<TWinControl*>(Controls(i));
    if (w && w->Enabled() && w->Visible()) {
      FTarget = w;
      FTarget->FreeNotification(this);
      break;
    }
  }
  ::SetFocus(panel->Handle());
  // A window still holding the mouse (the drop button that opened the popup) would receive
  // the clicks meant for it and so dismiss it at the first one.
  if (GetCapture()) ReleaseCapture();

  const int w = panel->Width(), h = panel->Height();
  // The monitor is the one nearest the place asked for, before any edge correction (an area
  // too large to correct anything gives that place).
  constexpr TRect kUnbounded{-32000, -32000, 32000, 32000};
  const TPoint asked = PlaceFor(c, w, h, alignment, popupX, popupY, kUnbounded);
  TMonitor* monitor = Screen->MonitorFromPoint(asked, mdNearest);
  const TRect work = monitor ? monitor->WorkareaRect() : Screen->WorkAreaRect();
  const TPoint at = PlaceFor(c, w, h, alignment, popupX, popupY, work);

  SetBounds(at.x, at.y, w, h);
  SetWindowPos(Handle(), HWND_TOP, at.x, at.y, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  SetVisible(true);
  FCancel = true;
  RunLoop();
  return !FCancel;
}

void TRzPopup::HideAndReturnChildren() {
  if (HandleAllocated())
    SetWindowPos(Handle(), 0, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  SetVisible(false);
  for (int i = ControlCount() - 1; i >= 0; --i)
    Controls(i)->SetParent(FPopupPanel);  // nullptr once the panel has gone
  SetParent(nullptr);
}

void TRzPopup::RunLoop() {
  bool postClose = false;
  {
    // Every way out hides the popup and gives the children back, an exception's too.
    ScopeGuard hide([this] { HideAndReturnChildren(); });
    postClose = LoopUntilClosed();
  }
  if (postClose) PostCloseRequest();
}

bool TRzPopup::LoopUntilClosed() {
  FLooping = true;
  FCloseRequested = false;
  ScopeGuard looping([this] { FLooping = false; });
  NotifyModalLoopEntered(Handle());
  for (;;) {
    if (!FPopupPanel) {
      // The panel went inside the loop: nothing is left to show or accept.
      FCancel = true;
      return false;
    }
    // A handler that pumped messages itself may have taken the request from the queue.
    if (FCloseRequested) return false;
    MSG msg;
    if (!PeekMessageW(&msg, 0, 0, 0, PM_NOREMOVE)) {
      Application->Idle(msg);
    } else {
      const UINT m = msg.message;
      // A close request or a lost focus stays queued for the main loop.
      if (m == WM_KILLFOCUS || (m == WM_RZ_POPUPCLOSE && msg.hwnd == Handle())) return false;
      if (m == WM_ACTIVATEAPP || m == CM_DEACTIVATE) return true;
      if (m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK || m == WM_RBUTTONDOWN ||
          m == WM_RBUTTONDBLCLK || m == WM_MBUTTONDOWN || m == WM_MBUTTONDBLCLK ||
          m == WM_NCLBUTTONDOWN || m == WM_NCRBUTTONDOWN || m == WM_NCMBUTTONDOWN) {
        bool inside = false;
        for (HWND h = msg.hwnd; h && !inside; h = GetParent(h)) inside = h == Handle();
        if (!inside) {
          PeekMessageW(&msg, 0, m, m, PM_REMOVE);  // the click outside reaches nobody
          return true;
        }
        Application->HandleMessage();
      } else if (m >= WM_KEYFIRST && m <= 0x109) {
        // Keys go to the popup, whichever window they were meant for.
        PeekMessageW(&msg, 0, m, m, PM_REMOVE);
        SendMessageW(Handle(), m, msg.wParam, msg.lParam);
      } else {
        Application->HandleMessage();
      }
    }
    if (Application->Terminated()) return true;
  }
}

void TRzPopup::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_MOUSEACTIVATE: message.Result = MA_NOACTIVATE; return;
    case WM_NCACTIVATE: message.Result = 0; return;
    case WM_SYSCOMMAND: PostCloseRequest(); return;
    case WM_RZ_POPUPCLOSE:
      // Never freed while its loop runs (a handler pumping messages can bring the request
      // here early), nor inside its own message: the application's loop frees it later.
      if (FLooping) FCloseRequested = true;
      else ReleaseComponent(this);
      return;
    default: break;
  }
  if (message.Msg >= WM_KEYFIRST && message.Msg <= 0x109) {
    if (message.WParam == VK_ESCAPE) PostCloseRequest();
    if (FTarget) {
      FTarget->WndProc(message);
      return;
    }
  }
  TRzCustomPopup::WndProc(message);
}

// ---- TRzCalculator ----

namespace {

const char16_t* const kCaptions[kCalculatorAreaCount] = {
    u"0", u"1", u"2", u"3", u"4",      u"5", u"6", u"7", u"8", u"9",
    u".", u"+", u"-", u"*", u"\u00F7", u"C", u"=", u"",  u""};

// Face and caption colour indexes of an area's class.
void AreaColorIndexes(TRzCalculatorArea area, int& face, int& caption) {
  if (area <= ccDecimal) {
    face = TRzCalculatorColors::ciNumberBtns;
    caption = TRzCalculatorColors::ciNumberFont;
  } else if (area <= ccDivide) {
    face = TRzCalculatorColors::ciOperatorBtns;
    caption = TRzCalculatorColors::ciOperatorFont;
  } else if (area <= ccSet) {
    face = TRzCalculatorColors::ciCommandBtns;
    caption = TRzCalculatorColors::ciCommandFont;
  } else {
    face = caption = -1;
  }
}

// Extended arithmetic does not trap here: an infinite or undefined result is the error.
bool Representable(Extended x) { return std::isfinite(x); }

}  // namespace

TRzCalculator::TRzCalculator(TComponent* owner)
    : TRzCustomPanel(owner), FCalculatorColors(std::make_unique<TRzCalculatorColors>(this)) {
  RegisterRzPopupsClasses();
  TControlStyle style = ControlStyle();
  for (auto item : {csAcceptsControls, csSetCaption, csDoubleClicks, csNoStdEvents})
    style.Exclude(item);
  style.Include(csReflector);
  SetControlStyle(style);
  SetBounds(Left(), Top(), 147, 159);
  SetColor(clWindow);
  SetFlatColorAdjustment(0);
  SetBorderOuter(fsLowered);
  SetTabStop(true);
  SetAutoSize(true);
  SetDoubleBuffered(true);
  MeasureFont();
  Clear();
}

TRzCalculator::~TRzCalculator() = default;

String TRzCalculator::ClassName() const { return u"TRzCalculator"; }

void TRzCalculator::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_FONTCHANGED:
      TRzCustomPanel::Dispatch(message);
      MeasureFont();
      return;
    case WM_ERASEBKGND:
      message.Result = 1;  // painting covers the whole control
      return;
    case WM_NCHITTEST: {
      TRzCustomPanel::Dispatch(message);
      const TPoint p =
          ScreenToClient(Point(short(LOWORD(message.LParam)), short(HIWORD(message.LParam))));
      SetOverArea(HitTest(p.x, p.y));
      return;
    }
    case WM_GETDLGCODE: message.Result = DLGC_WANTARROWS; return;
    default: TRzCustomPanel::Dispatch(message);
  }
}

void TRzCalculator::MeasureFont() {
  HDC dc = GetDC(0);
  {
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.SetFont(Font());
    const TSize size = canvas.TextExtent(u"0");
    FCharSize = Point(size.cx, size.cy);
    canvas.SetHandle(0);
  }
  ReleaseDC(0, dc);
  AdjustSize();
  Invalidate();
}

bool TRzCalculator::CanAutoSize(int& newWidth, int& newHeight) {
  newHeight = (FCharSize.y + 12) * 5 + 24;
  newWidth = newHeight;
  return true;
}

void TRzCalculator::ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth,
                                      int& maxHeight) {
  CanAutoSize(minWidth, minHeight);
  TRzCustomPanel::ConstrainedResize(minWidth, minHeight, maxWidth, maxHeight);
}

void TRzCalculator::AdjustClientRect(TRect& rect) {
  TRzCustomPanel::AdjustClientRect(rect);
  AdjustRectForBorders(rect, false);
}

void TRzCalculator::CreateHandle() {
  TRzCustomPanel::CreateHandle();
  FPressedArea = ccValue;
}

void TRzCalculator::Layout(TRect (&areas)[kCalculatorAreaCount]) {
  TRect client = ClientRect();
  AdjustClientRect(client);
  const int b = (RectWidth(client) - 24) / 5 + 1;
  int e = 0;
  switch (BorderOuter()) {
    case fsGroove:
    case fsBump:
    case fsLowered:
    case fsButtonDown:
    case fsRaised:
    case fsButtonUp:
    case fsFlatBold:
    case fsFlatRounded: e = 2; break;
    default: break;
  }
  // Measured from the control's corner, not the client origin.
  auto p = [&](int k) { return 4 + e + k * (b + 4); };
  auto cell = [&](int col, int row, int toCol, int toRow) {
    return Rect(p(col), p(row), p(toCol) + b, p(toRow) + b);
  };
  areas[ccValue] = cell(0, 0, FIsPopup ? 3 : 4, 0);
  areas[ccSet] = FIsPopup ? cell(4, 0, 4, 0) : Rect(0, 0, 0, 0);
  const TRzCalculatorArea rows[3][4] = {{ccBtn7, ccBtn8, ccBtn9, ccDivide},
                                        {ccBtn4, ccBtn5, ccBtn6, ccMultiply},
                                        {ccBtn1, ccBtn2, ccBtn3, ccSubtract}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) areas[rows[r][c]] = cell(c, r + 1, c, r + 1);
  areas[ccClear] = cell(4, 1, 4, 2);
  areas[ccEqual] = cell(4, 3, 4, 4);
  areas[ccBtn0] = cell(0, 4, 1, 4);
  areas[ccDecimal] = cell(2, 4, 2, 4);
  areas[ccAdd] = cell(3, 4, 3, 4);
}

TRect TRzCalculator::AreaRect(TRzCalculatorArea area) {
  TRect areas[kCalculatorAreaCount];
  Layout(areas);
  return areas[area];
}

TRzCalculatorArea TRzCalculator::HitTest(int x, int y) {
  TRect areas[kCalculatorAreaCount];
  Layout(areas);
  const POINT pt{x, y};
  for (int a = 0; a < kCalculatorAreaCount; ++a)
    if (PtInRect(&areas[a], pt)) return TRzCalculatorArea(a);
  return ccValue;
}

String TRzCalculator::DisplayText() const {
  if (FErrorOccurred) return u"E";
  const Extended v = FShowResult ? FResult : FNumber;
  String text = FDecimalPlaces >= 2 ? FloatToStrF(v, ffFixed, 15, FDecimalPlaces - 1)
                                    : FloatToStrF(v, ffGeneral, 15, 0);
  const Char sep = FormatSettings.DecimalSeparator;
  if (text.find(sep) == String::npos) text += sep;
  return text;
}

void TRzCalculator::Paint() {
  TCanvas* canvas = Canvas();
  TColor frame;
  if (FThemeAware && ThemeServices()->ThemesEnabled()) {
    frame = ThemedPartColor(tckEditBorder);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->Pen()->SetColor(frame);
    canvas->Pen()->SetWidth(1);
    canvas->Rectangle(0, 0, Width(), Height());
  } else {
    TRzCustomPanel::Paint();
    frame = FlatColor();
  }
  TRect areas[kCalculatorAreaCount];
  Layout(areas);
  canvas->SetFont(Font());
  if (FBoldButtons) canvas->Font()->SetStyle(TFontStyles{fsBold});
  for (int a = 0; a < kCalculatorAreaCount; ++a) {
    if (a == ccSet && !FIsPopup) continue;
    if (a == ccValue) DrawDisplay(areas[a], frame);
    else DrawButton(areas[a], TRzCalculatorArea(a));
  }
  canvas->Brush()->SetStyle(bsSolid);
}

void TRzCalculator::DrawDisplay(const TRect& r, TColor frameColor) {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(frameColor);
  canvas->FrameRect(r);
  TRect inner = r;
  InflateRect(&inner, -1, -1);
  // The display colour fills the area (the text itself goes on with a clear brush).
  canvas->Brush()->SetColor(FCalculatorColors->Display());
  canvas->FillRect(inner);
  const String text = DisplayText();
  HDC dc = canvas->Handle();
  const UINT saved = SetTextAlign(dc, TA_RIGHT);
  canvas->Font()->SetColor(FCalculatorColors->DisplayFont());
  canvas->Brush()->SetStyle(bsClear);
  canvas->TextRect(inner, inner.right - 2, inner.top + (RectHeight(inner) - FCharSize.y) / 2, text);
  SetTextAlign(canvas->Handle(), saved);
  if (Focused()) {
    TRect mark = inner;
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(LightenColor(frameColor, 40));
    canvas->FrameRect(mark);
  }
}

void TRzCalculator::DrawButton(const TRect& r, TRzCalculatorArea area) {
  TCanvas* canvas = Canvas();
  int faceIndex, captionIndex;
  AreaColorIndexes(area, faceIndex, captionIndex);
  const TColor face = faceIndex < 0 ? clBtnFace : FCalculatorColors->GetColor(faceIndex);
  const TColor caption =
      captionIndex < 0 ? clWindowText : FCalculatorColors->GetColor(captionIndex);
  const bool down = area == FPressedArea && area == FOverArea;
  const TFrameStyleEx outer = BorderOuter();
  const bool flat = outer == fsFlat || outer == fsFlatBold || outer == fsFlatRounded;
  TRect text = r;
  if (FThemeAware && ThemeServices()->ThemesEnabled()) {
    ThemeServices()->DrawElement(
        canvas->Handle(),
        ThemeServices()->GetElementDetails(down ? tbPushButtonPressed : tbPushButtonNormal), r);
  } else {
    TRect inner;
    if (face == clBtnFace)
      inner = down   ? PaintButtonBevel(canvas, r, true)
              : flat ? PaintSides(canvas, r, clBtnShadow, clBtnShadow, sdAllSides)
                     : PaintButtonBevel(canvas, r, false);
    else
      inner = flat && !down ? PaintColoredBorder(canvas, r, face, fsFlat)
                            : PaintColorButtonBevel(canvas, r, face, down);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(face);
    canvas->FillRect(inner);
    if (down) OffsetRect(&text, 2, 2);
  }
  canvas->Brush()->SetStyle(bsClear);
  if (area == ccSet) {
    // The accept mark, from the symbol font, never moves when pressed.
    canvas->Font()->SetName(u"Marlett");
    canvas->Font()->SetSize(Font()->Size() + 4);
    canvas->Font()->SetStyle(TFontStyles{});
    canvas->Font()->SetColor(FCalculatorColors->CommandFont());
    DrawTextCentered(canvas, u"5", r);
    canvas->SetFont(Font());
    if (FBoldButtons) canvas->Font()->SetStyle(TFontStyles{fsBold});
  } else {
    canvas->Font()->SetColor(caption);
    DrawTextCentered(canvas, kCaptions[area], text);
  }
  canvas->Brush()->SetStyle(bsSolid);
}

void TRzCalculator::SetOverArea(TRzCalculatorArea area) {
  if (area == FOverArea) return;
  const bool repaint = FOverArea == FPressedArea || area == FPressedArea;
  FOverArea = area;
  if (repaint && !IsRectEmpty(&FMouseOverRect) && HandleAllocated())
    InvalidateRect(Handle(), &FMouseOverRect, FALSE);
}

void TRzCalculator::SetPressedArea(TRzCalculatorArea area) {
  if (area == FPressedArea) return;
  FPressedArea = area;
  if (!IsRectEmpty(&FMouseOverRect) && HandleAllocated())
    InvalidateRect(Handle(), &FMouseOverRect, FALSE);
}

void TRzCalculator::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TRzCustomPanel::MouseDown(button, shift, x, y);
  if (!ComponentState().Contains(csDesigning) && !FIsPopup && HandleAllocated() &&
      IsWindowVisible(Handle()) && CanFocus())
    SetFocus();
  if (button != mbLeft) return;
  const TRect client = ClientRect();
  const POINT pt{x, y};
  if (!PtInRect(&client, pt)) SetOverArea(ccValue);
  else SetOverArea(HitTest(x, y));
  FMouseOverRect = FOverArea == ccValue ? Rect(0, 0, 0, 0) : AreaRect(FOverArea);
  SetPressedArea(FOverArea);
}

void TRzCalculator::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) SetPressedArea(ccValue);
  TRzCustomPanel::MouseUp(button, shift, x, y);
}

void TRzCalculator::Click() {
  if (FPressedArea != FOverArea || FPressedArea == ccValue) return;
  const TRzCalculatorArea area = FPressedArea;
  if (area <= ccBtn9) EnterDigit(area - ccBtn0);
  else if (area == ccDecimal) DecimalPoint();
  else if (area == ccAdd) SelectOperation(calcAdd);
  else if (area == ccSubtract) SelectOperation(calcSubtract);
  else if (area == ccMultiply) SelectOperation(calcMultiply);
  else if (area == ccDivide) SelectOperation(calcDivide);
  else if (area == ccClear) Clear();
  else if (area == ccEqual) Equals();
  else if (area == ccSet) Accept();
  Repaint();
  TRzCustomPanel::Click();
}

void TRzCalculator::KeyDown(WORD& key, TShiftState shift) {
  TRzCustomPanel::KeyDown(key, shift);
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9) {
    EnterDigit(key - VK_NUMPAD0);
    return;
  }
  if (key == VK_RETURN) {
    if (FIsPopup) Accept();
    else Equals();
    return;
  }
  if (key == VK_DECIMAL) {
    DecimalPoint();
    return;
  }
  const Char ch = Char(MapVirtualKeyW(key, MAPVK_VK_TO_CHAR));
  if (ch == 0) return;
  const bool shifted = shift.Contains(ssShift);
  if (ch == u'*') SelectOperation(calcMultiply);
  else if (ch == u'+') SelectOperation(calcAdd);
  else if (ch == u'-') SelectOperation(calcSubtract);
  else if (ch == u'/') SelectOperation(calcDivide);
  else if (ch == u'8' && shifted) SelectOperation(calcMultiply);
  else if (ch >= u'0' && ch <= u'9') EnterDigit(ch - u'0');
  else if (ch == u'=') shifted ? SelectOperation(calcAdd) : Equals();
  else if (ch == u'C' || ch == u'c') Clear();
  else if (ch == FormatSettings.DecimalSeparator) DecimalPoint();
}

void TRzCalculator::DoEnter() {
  TRzCustomPanel::DoEnter();
  Invalidate();
}

void TRzCalculator::DoExit() {
  TRzCustomPanel::DoExit();
  Invalidate();
}

// ---- Entry and calculation ----

void TRzCalculator::ShowEntry() {
  FShowResult = false;
  Invalidate();
}

void TRzCalculator::ShowResult() {
  FShowResult = true;
  Invalidate();
}

void TRzCalculator::ResetEntry() {
  FFirstDigit = true;
  FDecimalPlaces = 0;
}

void TRzCalculator::Error() {
  FErrorOccurred = true;
  Invalidate();
}

void TRzCalculator::EnterDigit(int digit) {
  if (FErrorOccurred) return;
  if (FFirstDigit) {
    FNumber = digit;
    ShowEntry();
    FFirstDigit = false;
  } else if (FDecimalPlaces >= 1) {
    Extended power = 1;
    for (int i = 0; i < FDecimalPlaces; ++i) power /= 10;
    FNumber = std::fabs(FNumber) + digit * power;
    ++FDecimalPlaces;
    ShowEntry();
  } else {
    const Extended next = std::fabs(FNumber) * 10 + digit;
    if (!Representable(next)) {
      Error();
      return;
    }
    FNumber = next;
    ShowEntry();
  }
}

void TRzCalculator::DecimalPoint() {
  if (FErrorOccurred || FDecimalPlaces > 1) return;
  if (FFirstDigit) {
    FNumber = 0;
    ShowEntry();
  }
  FDecimalPlaces = 1;
  FFirstDigit = false;
}

void TRzCalculator::SelectOperation(TRzCalculatorOperation op) {
  if (FErrorOccurred) return;
  if (!FFirstNumber) {
    Compute();
  } else {
    FFirstNumber = false;
    if (FCurrentOperation == calcNone) FResult = FNumber;
  }
  FCurrentOperation = op;
  ResetEntry();
}

void TRzCalculator::Compute() {
  Extended result = FResult;
  switch (FCurrentOperation) {
    case calcNone:
      FResult = FNumber;
      ResetEntry();
      FFirstNumber = true;
      return;
    case calcAdd: result = FResult + FNumber; break;
    case calcSubtract: result = FResult - FNumber; break;
    case calcMultiply: result = FResult * FNumber; break;
    case calcDivide:
      if (std::fabs(FNumber) <= 1E-16L) {
        Error();
        return;
      }
      result = FResult / FNumber;
      break;
  }
  if (!Representable(result)) {
    Error();
    return;
  }
  FResult = result;
  ShowResult();
}

void TRzCalculator::Equals() {
  if (FErrorOccurred) return;
  Compute();
  ResetEntry();
  FFirstNumber = true;
  Changed();
}

void TRzCalculator::Accept() {
  // An error has no result to hand over: accepting waits until the calculator is cleared.
  if (FErrorOccurred) return;
  if (!FFirstNumber) Compute();
  if (FErrorOccurred) return;
  SetButtonClicked();
}

void TRzCalculator::Changed() {
  if (OnChange) OnChange(this);
}

void TRzCalculator::SetButtonClicked() {
  if (FIsPopup && OnSetBtnClick) OnSetBtnClick(this);
}

void TRzCalculator::Clear() { Restart(0); }

void TRzCalculator::Restart(Extended value) {
  FResult = value;
  FNumber = value;
  FCurrentOperation = calcNone;
  FFirstDigit = true;
  FFirstNumber = true;
  FDecimalPlaces = 0;
  FErrorOccurred = false;
  ShowResult();
}

void TRzCalculator::SetResult(Extended value) {
  if (value != FResult) Restart(value);
}

int TRzCalculator::IntResult() const {
  const Extended r = std::nearbyint(FResult);  // halves to even in the default rounding mode
  if (!(r >= Extended(INT_MIN))) return INT_MIN;
  if (r > Extended(INT_MAX)) return INT_MAX;
  return int(r);
}

void TRzCalculator::SetIsPopup(bool value) {
  if (FIsPopup == value) return;
  FIsPopup = value;
  Invalidate();
}

void TRzCalculator::SetBoldButtons(bool value) {
  if (FBoldButtons == value) return;
  FBoldButtons = value;
  Invalidate();
}

void TRzCalculator::SetThemeAware(bool value) {
  if (FThemeAware == value) return;
  FThemeAware = value;
  Invalidate();
}

void TRzCalculator::SetCalculatorColors(const TRzCalculatorColors* value) {
  FCalculatorColors->Assign(value);
}
