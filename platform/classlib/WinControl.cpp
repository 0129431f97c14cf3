// TWinControl: the window, its procedure, children, focus, keys and painting.
#include <algorithm>

#include "Controls.h"
#include "ControlsInternal.h"
#include "Forms.h"
#include "ScopeGuard.h"
#include "Streaming.h"
#include "SystemControls.h"  // the platform window classes

using namespace korv_controls;

// ---- The window procedure ----

LRESULT StdWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* ctl = reinterpret_cast<TWinControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!ctl) {
    if (!gCreationControl) return DefWindowProcW(hwnd, msg, wParam, lParam);
    ctl = gCreationControl;
    gCreationControl = nullptr;
    ctl->AttachHandle(hwnd);
  }
  TMessage m{msg, wParam, lParam, 0};
  try {
    ctl->WindowProc(m);
  } catch (...) {
    if (!gHandleExceptionHook) throw;
    gHandleExceptionHook(ctl);
  }
  // The window is gone: the control keeps its state for a later window.
  if (msg == WM_NCDESTROY && GetWindowLongPtrW(hwnd, GWLP_USERDATA) == LONG_PTR(ctl))
    ctl->DetachHandle();
  return m.Result;
}

// Marks a window as a control's by a property rather than by its procedure: a subclassed
// control (an up-down's buddy) must still be found, to receive its reflected notifications.
constexpr const WCHAR* kControlProp = u"KorvControl";

TWinControl* FindControl(HWND hwnd) {
  if (!hwnd || !IsWindow(hwnd)) return nullptr;
  return reinterpret_cast<TWinControl*>(GetPropW(hwnd, kControlProp));
}

TWinControl* FindVCLWindow(TPoint pos) {
  HWND h = WindowFromPoint(pos);
  while (h) {
    if (TWinControl* c = FindControl(h)) return c;
    h = GetParent(h);
  }
  return nullptr;
}

TControl* FindDragTarget(TPoint pos, bool allowDisabled) {
  TWinControl* w = FindVCLWindow(pos);
  if (!w) return nullptr;
  TControl* c = w->ControlAtPos(w->ScreenToClient(pos), allowDisabled);
  return c ? c : w;
}

// ---- Construction ----

TWinControl::TWinControl(TComponent* owner) : TControl(owner), brush_(std::make_unique<TBrush>()) {
  brush_->SetColor(Color());
}

TWinControl::~TWinControl() {
  Destroying();
  if (dockManager_) {
    dockManager_->Destroying();
    dockManager_.reset();
  }
  for (TControl* c : std::vector<TControl*>(dockClients_)) UndockClient(c);
  if (Parent()) RemoveFocus(true);
  if (handle_) {
    // No more messages to this half-destroyed object; the window's own procedure finishes it.
    HWND h = handle_;
    SetWindowLongPtrW(h, GWLP_WNDPROC, LONG_PTR(DefWndProc ? DefWndProc : &DefWindowProcW));
    SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    DetachHandle();
    DestroyWindow(h);
  }
  while (!controls_.empty()) {
    TControl* c = controls_.back();
    RemoveControl(c);
    delete c;
  }
  if (gCaptureControl == this) gCaptureControl = nullptr;
}

String TWinControl::ClassName() const { return u"TWinControl"; }

// ---- The window ----

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (handle_) return;
  if (Parent()) Parent()->HandleNeeded();
  CreateHandle();
}

void TWinControl::SetParentWindow(HWND parent) {
  if (parent == parentWindow_) return;
  if (!Parent() && handle_) {
    DestroyHandle();
  }
  parentWindow_ = parent;
  UpdateControlState();
}

void TWinControl::CreateParams(TCreateParams& p) {
  p = TCreateParams();
  p.Caption = StoredText();
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (ControlStyle().Contains(csAcceptsControls)) {
    p.Style |= WS_CLIPCHILDREN;
    p.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!ComponentState().Contains(csDesigning) && !Enabled()) p.Style |= WS_DISABLED;
  if (tabStop_) p.Style |= WS_TABSTOP;
  p.X = Left();
  p.Y = Top();
  p.Width = Width();
  p.Height = Height();
  p.WndParent = gMeasuringParams ? 0 : Parent() ? Parent()->Handle() : parentWindow_;
  p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  p.WindowClass.lpfnWndProc = &DefWindowProcW;
  p.WindowClass.hCursor = LoadCursorW(0, MAKEINTRESOURCEW(IDC_ARROW));
  p.WindowClass.hbrBackground = 0;
  p.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& p, const String& controlClassName) {
  WNDCLASSW wc;
  if (!GetClassInfoW(0, controlClassName.c_str(), &wc)) {
    RegisterSystemControlClasses();
    if (!GetClassInfoW(0, controlClassName.c_str(), &wc))
      throw EOSError(Format(u"Window class %s not found", {controlClassName}));
  }
  constexpr UINT csOff = CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS;
  p.WindowClass = wc;
  p.WindowClass.style = (wc.style & ~csOff) | CS_VREDRAW | CS_HREDRAW;
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
  HWND h = CreateWindowExW(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y,
                           p.Width, p.Height, p.WndParent, 0, 0, p.Param);
  if (h && IsWindow(h)) handle_ = h;
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if (p.WndParent == 0 && (p.Style & WS_CHILD))
    throw EInvalidOperation(Format(u"Control '%s' has no parent window", {Name()}));
  DefWndProc = p.WindowClass.lpfnWndProc ? p.WindowClass.lpfnWndProc : &DefWindowProcW;
  WNDCLASSW existing;
  bool registered = GetClassInfoW(0, p.WinClassName.c_str(), &existing);
  if (!registered || existing.lpfnWndProc != &StdWndProc) {
    if (registered) UnregisterClassW(p.WinClassName.c_str(), 0);
    WNDCLASSW wc = p.WindowClass;
    wc.lpfnWndProc = &StdWndProc;
    wc.lpszClassName = p.WinClassName.c_str();
    if (!RegisterClassW(&wc))
      throw EOSError(Format(u"Cannot register the window class %s", {p.WinClassName}));
  }
  gCreationControl = this;
  {
    ScopeGuard clear([] { gCreationControl = nullptr; });
    CreateWindowHandle(p);
  }
  if (!handle_) throw EOSError(Format(u"Cannot create the window of %s", {Name()}));
  if ((GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD) && GetWindowLongW(handle_, GWL_ID) == 0)
    SetWindowLongW(handle_, GWL_ID, LONG(handle_));
  UpdateBounds();
  Perform(WM_SETFONT, WPARAM(Font()->Handle()), 1);
  if (AutoSize()) AdjustSize();
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  creatingHandle_ = true;
  {
    ScopeGuard clear([this] { creatingHandle_ = false; });
    CreateWnd();
  }
  if (Parent() && (GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD)) {
    // Keep the windows' z-order that of the control list: below the next windowed sibling.
    auto& list = Parent()->controls_;
    auto it = std::find(list.begin(), list.end(), static_cast<TControl*>(this));
    for (++it; it != list.end(); ++it) {
      auto* w = dynamic_cast<TWinControl*>(*it);
      if (w && w->handle_) {
        SetWindowPos(handle_, w->handle_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        break;
      }
    }
  }
  for (TControl* c : controls_) c->UpdateAnchorRules();
}

void TWinControl::AttachHandle(HWND hwnd) {
  handle_ = hwnd;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(this));
  SetPropW(hwnd, kControlProp, HANDLE(this));
}

void TWinControl::DetachHandle() {
  if (handle_ && IsWindow(handle_)) RemovePropW(handle_, kControlProp);
  handle_ = 0;
  showing_ = false;
  mouseTracking_ = false;
  if (gCaptureControl == this || (gCaptureControl && gCaptureControl->Parent() == this &&
                                  !dynamic_cast<TWinControl*>(gCaptureControl)))
    gCaptureControl = nullptr;
}

void TWinControl::DestroyWnd() {
  SetStoredText(GetText());
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  if (!handle_) return;
  IncludeState(csDestroyingHandle);
  HWND h = handle_;
  DestroyWindow(h);
  ExcludeState(csDestroyingHandle);
  if (handle_ == h) DetachHandle();
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  for (TControl* c : controls_) {
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  }
  DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (handle_) Perform(CM_RECREATEWND);
}

void TWinControl::UpdateBounds() {
  if (!handle_) return;
  RECT r;
  GetWindowRect(handle_, &r);
  if (GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD) {
    HWND p = GetParent(handle_);
    if (p) MapWindowPoints(0, p, reinterpret_cast<POINT*>(&r), 2);
  }
  if (r.left != Left() || r.top != Top() || RectWidth(r) != Width() || RectHeight(r) != Height())
    UpdateBoundsRect(r);
}

void TWinControl::UpdateControlState() {
  TWinControl* c = this;
  while (c->Parent()) {
    c = c->Parent();
    if (!c->Showing()) return;
  }
  if (dynamic_cast<TCustomForm*>(c) || c->parentWindow_) UpdateShowing();
}

void TWinControl::UpdateShowing() {
  bool show = (Visible() || (ComponentState().Contains(csDesigning) &&
                             !ControlStyle().Contains(csNoDesignVisible))) &&
              !ControlState().Contains(csReadingState) &&
              !ComponentState().Contains(csDestroying) && !ComponentState().Contains(csLoading);
  if (show) {
    if (!handle_) CreateHandle();
    for (TWinControl* w : std::vector<TWinControl*>(tabList_)) w->UpdateShowing();
    // Popup children (not in the tab list) as well.
    for (TControl* c : std::vector<TControl*>(controls_)) {
      auto* w = dynamic_cast<TWinControl*>(c);
      if (w && std::find(tabList_.begin(), tabList_.end(), w) == tabList_.end()) w->UpdateShowing();
    }
  }
  if (handle_ && showing_ != show) SetShowing(show);
}

void TWinControl::SetShowing(bool showing) {
  showing_ = showing;
  ScopeGuard undoOnFailure([this, showing] { showing_ = !showing; });
  Perform(CM_SHOWINGCHANGED);
  undoOnFailure.Dismiss();
}

void TWinControl::ShowControl(TControl* control) {
  (void)control;
  if (Parent()) Parent()->ShowControl(this);
}

// ---- Children ----

void TWinControl::InsertControl(TControl* control) {
  if (!control || control->parent_ == this) return;
  if (control == this) throw EInvalidOperation(u"A control cannot have itself as its parent");
  controls_.push_back(control);
  control->parent_ = this;
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    tabList_.push_back(w);
    if (w->tabOrder_ >= 0 && !control->ComponentState().Contains(csReading)) {
      int order = w->tabOrder_;
      w->tabOrder_ = -1;
      w->SetTabOrder(order);
    }
  }
  if (!control->ComponentState().Contains(csReading)) {
    control->Perform(CM_PARENTCOLORCHANGED);
    control->Perform(CM_PARENTFONTCHANGED);
    control->Perform(CM_PARENTSHOWHINTCHANGED);
    control->Perform(CM_PARENTBIDIMODECHANGED);
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
      w->Perform(CM_PARENTCTL3DCHANGED);
      w->UpdateControlState();
    } else if (handle_) {
      control->Invalidate();
    }
    control->UpdateAnchorRules();
    AlignControl(control);
  }
  Perform(CM_CONTROLCHANGE, WPARAM(control), 1);
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  Perform(CM_CONTROLCHANGE, WPARAM(control), 0);
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    w->RemoveFocus(true);
    w->DestroyHandle();
  } else if (handle_) {
    control->InvalidateControl(control->Visible(), false);
  }
  it = std::find(controls_.begin(), controls_.end(), control);
  if (it != controls_.end()) controls_.erase(it);
  auto t = std::find(tabList_.begin(), tabList_.end(), control);
  if (t != tabList_.end()) tabList_.erase(t);
  control->parent_ = nullptr;
  if (gMouseControl == control) gMouseControl = nullptr;
  if (!ComponentState().Contains(csDestroying)) Realign();
}

bool TWinControl::ContainsControl(TControl* control) const {
  while (control && control != this) control = control->Parent();
  return control == this;
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls) {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    bool windowed = dynamic_cast<TWinControl*>(c) != nullptr;
    if (windowed && !allowWinControls) continue;
    if (!c->IsControlVisibleInParent()) continue;
    if (!allowDisabled && !c->Enabled()) continue;
    TRect r = c->BoundsRect();
    if (!PtInRect(&r, pos)) continue;
    if (c->Perform(CM_HITTEST, 0, MAKELPARAM(pos.x - c->Left(), pos.y - c->Top())) == 0) continue;
    return c;
  }
  return nullptr;
}

TControl* TWinControl::FindChildControl(const String& controlName) const {
  for (TControl* c : controls_)
    if (SameText(c->Name(), controlName)) return c;
  return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
  for (TControl* c : std::vector<TControl*>(controls_)) {
    c->WindowProc(message);
    if (message.Result) return;
  }
}

void TWinControl::NotifyControls(UINT msg) {
  for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(msg);
}

void TWinControl::GetChildren(const TGetChildProc& proc, TComponent* root) {
  // Children in creation (control list) order, windowed ones in tab order among themselves, so
  // a description read back restores the tab order.
  (void)root;
  for (TControl* c : controls_) {
    if (c->Owner() == root || !root) proc(c);
  }
}

void TWinControl::SetChildOrder(TComponent* child, int order) {
  auto* c = dynamic_cast<TControl*>(child);
  if (!c) return;
  auto it = std::find(controls_.begin(), controls_.end(), c);
  if (it == controls_.end()) return;
  controls_.erase(it);
  order = std::clamp(order, 0, int(controls_.size()));
  controls_.insert(controls_.begin() + order, c);
}

// ---- Tab order and focus ----

int TWinControl::TabOrder() const {
  if (!Parent()) return tabOrder_;
  const auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (ControlState().Contains(csReadingState) || !Parent() ||
      ComponentState().Contains(csReading)) {
    tabOrder_ = order;
    return;
  }
  auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  int cur = int(it - list.begin());
  int count = int(list.size());
  if (order < 0 || order >= count) order = count - 1;
  if (order == cur) return;
  list.erase(it);
  list.insert(list.begin() + order, this);
}

void TWinControl::FixupTabList() {
  // Stored tab orders, applied lowest first so each lands where it asked to be.
  std::vector<TWinControl*> pending;
  for (TWinControl* w : tabList_)
    if (w->tabOrder_ >= 0) pending.push_back(w);
  std::stable_sort(pending.begin(), pending.end(),
                   [](TWinControl* a, TWinControl* b) { return a->tabOrder_ < b->tabOrder_; });
  for (TWinControl* w : pending) {
    int order = w->tabOrder_;
    w->tabOrder_ = -1;
    w->SetTabOrder(order);
  }
}

void TWinControl::SetTabStop(bool tabStop) {
  if (tabStop == tabStop_) return;
  tabStop_ = tabStop;
  if (handle_) {
    LONG style = GetWindowLongW(handle_, GWL_STYLE);
    SetWindowLongW(handle_, GWL_STYLE,
                   tabStop ? (style | LONG(WS_TABSTOP)) : (style & ~LONG(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
  for (TWinControl* w : tabList_) {
    list.push_back(w);
    w->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  int count = int(list.size());
  auto it = std::find(list.begin(), list.end(), current);
  int start = it == list.end() ? (goForward ? count - 1 : 0) : int(it - list.begin());
  int i = start;
  do {
    if (goForward) {
      if (++i == count) i = 0;
    } else {
      if (i == 0) i = count;
      --i;
    }
    TWinControl* c = list[std::size_t(i)];
    if (c->CanFocus() && (!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this))
      return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop);
  if (next) next->SetFocus();
}

bool TWinControl::CanFocus() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  TWinControl* c = this;
  while (c && c != form) {
    if (!(c->Visible() && c->Enabled())) return false;
    c = c->Parent();
  }
  return true;
}

bool TWinControl::Focused() { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this)) {
    form->FocusControl(this);
  } else if (parentWindow_) {
    ::SetFocus(Handle());
  } else {
    ValidParentForm(this);
  }
}

void TWinControl::RemoveFocus(bool removing) {
  if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, removing);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

// ---- Keys ----

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyPress(Char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

bool TWinControl::DoKeyDown(TMessage& m) {
  TCustomForm* form = GetParentForm(this, false);
  if (form && form != this && form->KeyPreview() && form->DoKeyDown(m)) return true;
  if (!ControlStyle().Contains(csNoStdEvents)) {
    WORD key = WORD(m.WParam);
    KeyDown(key, KeyDataToShiftState(m.LParam));
    m.WParam = key;
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyUp(TMessage& m) {
  TCustomForm* form = GetParentForm(this, false);
  if (form && form != this && form->KeyPreview() && form->DoKeyUp(m)) return true;
  if (!ControlStyle().Contains(csNoStdEvents)) {
    WORD key = WORD(m.WParam);
    KeyUp(key, KeyDataToShiftState(m.LParam));
    m.WParam = key;
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyPress(TMessage& m) {
  TCustomForm* form = GetParentForm(this, false);
  if (form && form != this && form->KeyPreview() && form->DoKeyPress(m)) return true;
  if (!ControlStyle().Contains(csNoStdEvents)) {
    Char ch = Char(m.WParam);
    KeyPress(ch);
    m.WParam = ch;
    if (ch == 0) return true;
  }
  return false;
}

bool TWinControl::IsDialogKeyForChildren(TMessage& message) {
  Broadcast(message);
  return message.Result != 0;
}

void TWinControl::CNKeyDown(TMessage& m) {
  m.Result = 1;
  if (!ComponentState().Contains(csDesigning)) {
    WORD key = WORD(m.WParam);
    LRESULT mask = 0;
    switch (key) {
      case VK_TAB: mask = DLGC_WANTTAB; break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN: mask = DLGC_WANTARROWS; break;
      case VK_RETURN:
      case VK_EXECUTE:
      case VK_ESCAPE:
      case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    }
    if (mask && Perform(CM_WANTSPECIALKEY, key) == 0 && (Perform(WM_GETDLGCODE) & mask) == 0) {
      TCustomForm* form = GetParentForm(this);
      if (form && form->Perform(CM_DIALOGKEY, key, m.LParam) != 0) return;
    }
  }
  m.Result = 0;
}

void TWinControl::CNChar(TMessage& m) {
  m.Result = 1;
  if (!ComponentState().Contains(csDesigning)) {
    if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0) {
      TCustomForm* form = GetParentForm(this);
      if (form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) return;
    }
  }
  m.Result = 0;
}

// ---- Message handling ----

bool TWinControl::IsControlMouseMsg(TMessage& m) {
  TControl* c = nullptr;
  if (handle_ && GetCapture() == handle_) {
    if (gCaptureControl && gCaptureControl != this && gCaptureControl->Parent() == this)
      c = gCaptureControl;
  } else {
    c = ControlAtPos(MAKEPOINT(m.LParam), false);
  }
  if (!c) return false;
  POINT p = MAKEPOINT(m.LParam);
  m.Result = c->Perform(m.Msg, m.WParam, MAKELPARAM(p.x - c->Left(), p.y - c->Top()));
  return true;
}

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_SETFOCUS: {
      TCustomForm* form = GetParentForm(this);
      if (form && form != this && !form->SetFocusedControl(this)) return;
      if (form == this && !form->SetFocusedControl(this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (ControlState().Contains(csFocusing)) return;
      break;
    case WM_MOUSELEAVE:
      mouseTracking_ = false;
      if (gMouseControl &&
          (gMouseControl == this ||
           (gMouseControl->Parent() == this && !dynamic_cast<TWinControl*>(gMouseControl)))) {
        POINT pt;
        GetCursorPos(&pt);
        SetMouseControl(FindDragTarget(pt, false));
      }
      break;
    default:
      if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL &&
          m.Msg != WM_MOUSEHWHEEL) {
        if (m.Msg == WM_MOUSEMOVE && handle_ && !mouseTracking_) {
          TRACKMOUSEEVENT t;
          t.dwFlags = TME_LEAVE;
          t.hwndTrack = handle_;
          TrackMouseEvent(&t);
          mouseTracking_ = true;
        }
        if (!ComponentState().Contains(csDesigning) && IsControlMouseMsg(m)) return;
      }
      break;
  }
  TControl::WndProc(m);
}

void TWinControl::ReflectToChild(TMessage& m, HWND child) {
  if (TWinControl* c = FindControl(child); c && c != this) {
    m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
    return;
  }
  DefaultHandler(m);
}

void TWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT: WMPaint(m); return;
    case WM_PRINTCLIENT:
      // Painting into a caller's DC (a transparent child copying its background).
      if (m.WParam && (!(m.LParam & PRF_CHECKVISIBLE) || Visible())) {
        TMessage paint{WM_PAINT, m.WParam, 0, 0};
        PaintHandler(paint);
      } else {
        DefaultHandler(m);
      }
      return;
    case WM_ERASEBKGND: WMEraseBkgnd(m); return;
    case WM_SIZE:
      UpdateBounds();
      DefaultHandler(m);
      Realign();
      if (!ComponentState().Contains(csLoading)) Resize();
      return;
    case WM_MOVE:
      DefaultHandler(m);
      UpdateBounds();
      return;
    case WM_WINDOWPOSCHANGED:
      DefaultHandler(m);
      if (m.LParam) UpdateBounds();
      return;
    case WM_COMMAND:
      if (m.LParam) ReflectToChild(m, HWND(m.LParam));
      else DefaultHandler(m);
      return;
    case WM_NOTIFY:
      if (m.LParam) {
        // NMHDR starts with the sender's window.
        HWND from = *reinterpret_cast<const HWND*>(m.LParam);
        ReflectToChild(m, from);
      } else {
        DefaultHandler(m);
      }
      return;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (m.LParam) ReflectToChild(m, HWND(m.LParam));
      else DefaultHandler(m);
      return;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: ReflectToChild(m, HWND(m.LParam)); return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLORSCROLLBAR: {
      HDC dc = HDC(m.WParam);
      SetTextColor(dc, ColorToRGB(Font()->Color()));
      SetBkColor(dc, ColorToRGB(brush_->Color()));
      m.Result = LRESULT(brush_->Handle());
      return;
    }
    case WM_SETCURSOR: WMSetCursor(m); return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (!DoKeyDown(m)) DefaultHandler(m);
      return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (!DoKeyUp(m)) DefaultHandler(m);
      return;
    case WM_CHAR:
      if (!DoKeyPress(m)) DefaultHandler(m);
      return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: CNKeyDown(m); return;
    case CN_CHAR:
    case CN_SYSCHAR: CNChar(m); return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR: Broadcast(m); return;
    case CM_ENTER: DoEnter(); return;
    case CM_EXIT: DoExit(); return;
    case CM_COLORCHANGED:
      TControl::Dispatch(m);
      brush_->SetColor(Color());
      NotifyControls(CM_PARENTCOLORCHANGED);
      return;
    case CM_FONTCHANGED:
      TControl::Dispatch(m);
      if (handle_) Perform(WM_SETFONT, WPARAM(Font()->Handle()), 0);
      NotifyControls(CM_PARENTFONTCHANGED);
      return;
    case CM_ENABLEDCHANGED:
      if (!Enabled() && Parent()) RemoveFocus(false);
      if (handle_ && !ComponentState().Contains(csDesigning)) EnableWindow(handle_, Enabled());
      return;
    case CM_VISIBLECHANGED:
      if (!Visible() && Parent()) RemoveFocus(false);
      if (!ComponentState().Contains(csDesigning) || ControlStyle().Contains(csNoDesignVisible))
        UpdateControlState();
      return;
    case CM_SHOWINGCHANGED:
      if (handle_)
        SetWindowPos(handle_, 0, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                         (showing_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
      return;
    case CM_SHOWHINTCHANGED:
    case CM_PARENTSHOWHINTCHANGED:
      TControl::Dispatch(m);
      NotifyControls(CM_PARENTSHOWHINTCHANGED);
      return;
    case CM_BIDIMODECHANGED:
    case CM_PARENTBIDIMODECHANGED:
      TControl::Dispatch(m);
      NotifyControls(CM_PARENTBIDIMODECHANGED);
      return;
    case CM_CTL3DCHANGED: NotifyControls(CM_PARENTCTL3DCHANGED); return;
    case CM_PARENTCTL3DCHANGED:
      if (parentCtl3D_ && Parent()) {
        SetCtl3D(Parent()->Ctl3D());
        parentCtl3D_ = true;
      }
      return;
    case CM_RECREATEWND: {
      bool wasFocused = Focused();
      IncludeState(csRecreating);
      {
        ScopeGuard clear([this] { ExcludeState(csRecreating); });
        DestroyHandle();
        UpdateControlState();
      }
      if (wasFocused && handle_) ::SetFocus(handle_);
      return;
    }
    case CM_INVALIDATE:
      if (handle_) InvalidateRect(handle_, nullptr, !ControlStyle().Contains(csOpaque));
      return;
    case CM_CURSORCHANGED:
      if (handle_) {
        POINT pt;
        GetCursorPos(&pt);
        if (WindowFromPoint(pt) == handle_) Perform(WM_SETCURSOR, WPARAM(handle_), HTCLIENT);
      }
      return;
    case WM_CAPTURECHANGED:
      if (gCaptureControl && HWND(m.LParam) != handle_ &&
          (gCaptureControl == this || gCaptureControl->Parent() == this))
        gCaptureControl = nullptr;
      DefaultHandler(m);
      return;
  }
  TControl::Dispatch(m);
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (handle_) {
    m.Result = CallWindowProcW(DefWndProc ? DefWndProc : &DefWindowProcW, handle_, m.Msg, m.WParam,
                               m.LParam);
    return;
  }
  TControl::DefaultHandler(m);
}

void TWinControl::WMSetCursor(TMessage& m) {
  if (HWND(m.WParam) == handle_ && LOWORD(std::uintptr_t(m.LParam)) == HTCLIENT) {
    TCursor cursor = Screen->Cursor();
    if (cursor == crDefault) {
      POINT pt;
      GetCursorPos(&pt);
      TControl* c = ControlAtPos(ScreenToClient(pt), false);
      if (c) cursor = c->Cursor();
      if (cursor == crDefault) cursor = Cursor();
    }
    if (cursor != crDefault) {
      ::SetCursor(CursorHandle(cursor));
      m.Result = 1;
      return;
    }
  }
  DefaultHandler(m);
}

// ---- Painting ----

void TWinControl::WMPaint(TMessage& m) {
  bool graphicChildren = false;
  for (TControl* c : controls_) {
    if (!dynamic_cast<TWinControl*>(c)) {
      graphicChildren = true;
      break;
    }
  }
  bool dockPaint = dockSite_ && useDockManager_ && dockManager_;
  if (!m.WParam && !graphicChildren && !dockPaint && !ControlState().Contains(csCustomPaint)) {
    DefaultHandler(m);
    return;
  }
  PaintHandler(m);
}

void TWinControl::PaintHandler(TMessage& m) {
  HDC dc = HDC(m.WParam);
  PAINTSTRUCT ps;
  bool own = dc == 0;
  if (own) dc = BeginPaint(Handle(), &ps);
  ScopeGuard endPaint([&] {
    if (own) EndPaint(handle_, &ps);
  });
  int saved = SaveDC(dc);
  // Opaque windowless children paint over their part; keep the window's paint out of it.
  for (TControl* c : controls_) {
    if (!dynamic_cast<TWinControl*>(c) && c->IsControlVisibleInParent() &&
        c->ControlStyle().Contains(csOpaque)) {
      TRect r = c->BoundsRect();
      ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
  }
  PaintWindow(dc);
  RestoreDC(dc, saved);
  PaintControls(dc, nullptr);
  if (dockSite_ && useDockManager_ && dockManager_) dockManager_->PaintSite(dc);
}

void TWinControl::PaintWindow(HDC dc) {
  TMessage m{WM_PAINT, WPARAM(dc), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  auto it = controls_.begin();
  if (first) it = std::find(controls_.begin(), controls_.end(), first);
  RECT clip;
  GetClipBox(dc, &clip);
  for (; it != controls_.end(); ++it) {
    TControl* c = *it;
    if (dynamic_cast<TWinControl*>(c) || !c->IsControlVisibleInParent()) continue;
    TRect r = c->BoundsRect();
    TRect hit;
    if (!IntersectRect(&hit, &r, &clip)) continue;
    int saved = SaveDC(dc);
    POINT org;
    GetWindowOrgEx(dc, &org);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    SetWindowOrgEx(dc, org.x - r.left, org.y - r.top, nullptr);
    c->Perform(WM_PAINT, WPARAM(dc), 0);
    RestoreDC(dc, saved);
  }
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
  HDC dc = HDC(m.WParam);
  TRect r = GetClientRect();
  FillRect(dc, &r, brush_->Handle());
  m.Result = 1;
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  int saved = SaveDC(dc);
  POINT org;
  GetWindowOrgEx(dc, &org);
  SetWindowOrgEx(dc, org.x - x, org.y - y, nullptr);
  IntersectClipRect(dc, 0, 0, Width(), Height());
  Perform(WM_ERASEBKGND, WPARAM(dc), LPARAM(dc));
  Perform(WM_PAINT, WPARAM(dc), 0);
  for (TControl* c : controls_) {
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Visible())
      w->PaintTo(dc, w->Left(), w->Top());
  }
  RestoreDC(dc, saved);
}

void TWinControl::Invalidate() { Perform(CM_INVALIDATE); }

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::SetZOrder(bool topMost) {
  TControl::SetZOrder(topMost);
  if (handle_) {
    SetWindowPos(handle_, topMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void TWinControl::InvalidateControl(bool isVisible, bool isOpaque) {
  (void)isVisible;
  (void)isOpaque;
}

// ---- Bounds ----

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (!CanResize(width, height)) {
    width = Width();
    height = Height();
  }
  DoConstrainedResize(width, height);
  if (left == Left() && top == Top() && width == Width() && height == Height()) return;
  bool sized = width != Width() || height != Height();
  if (handle_ && !IsIconic(handle_)) {
    SetWindowPos(handle_, 0, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    UpdateBoundsRect(Bounds(left, top, width, height));
    if (sized) Realign();
  }
  UpdateAnchorRules();
  if (Parent()) Parent()->AlignControl(this);
  if (!handle_ && sized && !ComponentState().Contains(csLoading)) Resize();
}

TRect TWinControl::GetClientRect() {
  if (handle_) {
    RECT r;
    ::GetClientRect(handle_, &r);
    return r;
  }
  // No window yet: the client area the style's frame would leave (no window is made for it).
  TRect frame{0, 0, 0, 0};
  bool saved = gMeasuringParams;
  gMeasuringParams = true;
  try {
    TCreateParams q;
    CreateParams(q);
    AdjustWindowRectEx(&frame, q.Style, FALSE, q.ExStyle);
  } catch (...) {
    frame = TRect{0, 0, 0, 0};
  }
  gMeasuringParams = saved;
  int w = Width() - RectWidth(frame), h = Height() - RectHeight(frame);
  return Rect(0, 0, std::max(0, w), std::max(0, h));
}

TPoint TWinControl::ClientOrigin() {
  POINT p{0, 0};
  if (handle_ || !Parent()) {
    ::ClientToScreen(Handle(), &p);
    return p;
  }
  return TControl::ClientOrigin();
}

void TWinControl::AdjustClientRect(TRect& rect) { (void)rect; }

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::RequestAlign() {
  if (Parent()) Parent()->AlignControl(this);
}

void TWinControl::AlignControl(TControl* control) {
  if (ComponentState().Contains(csDestroying)) return;
  if (ComponentState().Contains(csLoading) || alignLevel_ != 0) {
    IncludeState(csAlignmentNeeded);
    return;
  }
  DisableAlign();
  ScopeGuard enable([this] {
    ExcludeState(csAlignmentNeeded);
    EnableAlign();
  });
  TRect r = GetClientRect();
  AlignControls(control, r);
}

void TWinControl::DisableAlign() { ++alignLevel_; }

void TWinControl::EnableAlign() {
  if (--alignLevel_ == 0 && ControlState().Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::ScrollBy(int dx, int dy) {
  bool visible = handle_ && IsWindowVisible(handle_);
  if (visible)
    ScrollWindowEx(handle_, dx, dy, nullptr, nullptr, 0, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
  for (TControl* c : controls_) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w || !w->handle_) {
      c->anchorMove_ = true;
      c->UpdateBoundsRect(Bounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height()));
      c->anchorMove_ = false;
      c->UpdateAnchorRules();
    } else if (!visible) {
      SetWindowPos(w->handle_, 0, w->Left() + dx, w->Top() + dy, 0, 0,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
    } else {
      w->UpdateBounds();
    }
  }
  Realign();
}

void TWinControl::Loaded() {
  TControl::Loaded();
  FixupTabList();
  Realign();
}

void TWinControl::ReadState(TReader* reader) {
  DisableAlign();
  {
    ScopeGuard enable([this] { EnableAlign(); });
    TControl::ReadState(reader);
  }
  FixupTabList();
  if (Parent()) Perform(CM_PARENTCTL3DCHANGED);
  UpdateControlState();
}

void TWinControl::Notification(TComponent* component, TOperation operation) {
  TControl::Notification(component, operation);
}

void TWinControl::SetParentHook(TWinControl* parent) { (void)parent; }

void TWinControl::ParentColorChanged() { TControl::ParentColorChanged(); }

void TWinControl::ParentFontChanged() { TControl::ParentFontChanged(); }

bool TWinControl::CanAutoSize(int& newWidth, int& newHeight) {
  if (controls_.empty()) return true;
  int right = 0, bottom = 0;
  bool any = false;
  for (TControl* c : controls_) {
    if (!c->Visible()) continue;
    any = true;
    right = std::max(right, c->Left() + c->Width());
    bottom = std::max(bottom, c->Top() + c->Height());
  }
  if (!any) return true;
  TRect client = GetClientRect();
  TRect adjusted = client;
  AdjustClientRect(adjusted);
  int borderW = Width() - RectWidth(client) + (RectWidth(client) - RectWidth(adjusted));
  int borderH = Height() - RectHeight(client) + (RectHeight(client) - RectHeight(adjusted));
  newWidth = right - adjusted.left + borderW - (RectWidth(client) - adjusted.right);
  newHeight = bottom - adjusted.top + borderH - (RectHeight(client) - adjusted.bottom);
  newWidth = right + borderW;
  newHeight = bottom + borderH;
  return true;
}

void TWinControl::ChangeScale(int m, int d) {
  DisableAlign();
  for (TControl* c : controls_) c->ChangeScale(m, d);
  TControl::ChangeScale(m, d);
  EnableAlign();
}

// ---- Appearance ----

void TWinControl::SetCtl3D(bool value) {
  if (value == ctl3D_) return;
  ctl3D_ = value;
  parentCtl3D_ = false;
  Perform(CM_CTL3DCHANGED);
}

void TWinControl::SetParentCtl3D(bool value) {
  if (value == parentCtl3D_) return;
  parentCtl3D_ = value;
  if (Parent() && !ComponentState().Contains(csReading)) Perform(CM_PARENTCTL3DCHANGED);
}

void TWinControl::SetParentBackground(bool value) {
  TControlStyle s = ControlStyle();
  if (s.Contains(csParentBackground) == value) return;
  if (value) s.Include(csParentBackground);
  else s.Exclude(csParentBackground);
  SetControlStyle(s);
  Invalidate();
}

void TWinControl::SetDoubleBuffered(bool value) {
  if (value == doubleBuffered_) return;
  doubleBuffered_ = value;
  parentDoubleBuffered_ = false;
}

void TWinControl::SetParentDoubleBuffered(bool value) {
  if (value == parentDoubleBuffered_) return;
  parentDoubleBuffered_ = value;
  if (value && Parent()) doubleBuffered_ = Parent()->DoubleBuffered();
}
