// Forms: creation from descriptions, showing, closing, modality, focus and activation.
#include "Forms.h"

#include <algorithm>

#include "ControlsInternal.h"
#include "FormsInternal.h"
#include "Streaming.h"

using namespace korv_controls;

TCustomForm* GetParentForm(TControl* control, bool topForm) {
  if (!control) return nullptr;
  if (topForm) {
    while (control->Parent()) control = control->Parent();
    return dynamic_cast<TCustomForm*>(control);
  }
  while (control && !dynamic_cast<TCustomForm*>(control)) control = control->Parent();
  return dynamic_cast<TCustomForm*>(control);
}

TCustomForm* ValidParentForm(TControl* control, bool topForm) {
  TCustomForm* form = GetParentForm(control, topForm);
  if (!form)
    throw EInvalidOperation(
        Format(u"Control '%s' has no parent window", {control ? control->Name() : String()}));
  return form;
}

static const String kCannotFocus = u"Cannot focus a disabled or invisible window";

// ---- TCustomForm ----

TCustomForm::TCustomForm(TComponent* owner)
    : TScrollingWinControl(owner), canvas_(std::make_unique<TControlCanvas>()) {
  canvas_->SetProvider(this);
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                csDoubleClicks, csPannable, csGestures});
  IncludeState(csCustomPaint);
  TControl::SetVisible(false);
  SetParentColor(false);
  SetParentFont(false);
  SetColor(clBtnFace);
  SetAutoScroll(false);
  SetBounds(0, 0, 320, 240);
  if (TScreen* s = korv_forms::ScreenIfAny(true)) s->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (!destroyed_) {
    destroyed_ = true;
    try {
      if (OnDestroy) OnDestroy(this);
    } catch (...) {
      // A handler bound to the derived form cannot run any more; nothing to report to.
    }
  }
  if (TScreen* s = korv_forms::ScreenIfAny(false)) s->RemoveForm(this);
  if (TApplication* a = korv_forms::ApplicationIfAny()) {
    if (a->mainForm_ == this) a->mainForm_ = nullptr;
  }
  canvas_->FreeHandle();
  canvas_->SetProvider(nullptr);
}

String TCustomForm::ClassName() const { return u"TCustomForm"; }

void TCustomForm::AfterConstruction() {
  RegisterClassLibrary();
  formState_.Include(fsCreating);
  {
    ScopeGuard doneCreating([this] { formState_.Exclude(fsCreating); });
    String cls = ClassName();
    if (readsDescription_ && cls != u"TForm" && cls != u"TCustomForm" &&
        !ComponentState().Contains(csDesigning)) {
      if (!InitInheritedComponent(this, u"TForm"))
        throw EResNotFound(Format(u"Resource %s not found", {cls}));
    }
  }
  created_ = true;
  DoCreate();
  if (formState_.Contains(fsVisible)) {
    formState_.Exclude(fsVisible);
    SetVisible(true);
  }
}

void TCustomForm::BeforeDestruction() {
  if (destroyed_) return;
  destroyed_ = true;
  try {
    DoDestroy();
  } catch (...) {
    if (TApplication* a = korv_forms::ApplicationIfAny()) a->HandleException(this);
  }
}

void TCustomForm::DoCreate() {
  try {
    if (OnCreate) OnCreate(this);
  } catch (...) {
    Application->HandleException(this);
  }
}

void TCustomForm::DoDestroy() {
  if (OnDestroy) OnDestroy(this);
}

void TCustomForm::DoShow() {
  if (ComponentState().Contains(csDestroying)) return;
  try {
    if (OnShow) OnShow(this);
  } catch (...) {
    Application->HandleException(this);
  }
}

void TCustomForm::DoHide() {
  if (ComponentState().Contains(csDestroying)) return;
  try {
    if (OnHide) OnHide(this);
  } catch (...) {
    Application->HandleException(this);
  }
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TCustomForm::Activate() {
  if (ComponentState().Contains(csDestroying)) return;
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (ComponentState().Contains(csDestroying)) return;
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

HDC TCustomForm::AcquireCanvasDC() { return ::GetDC(Handle()); }

void TCustomForm::ReleaseCanvasDC(HDC dc) {
  if (HandleAllocated()) ::ReleaseDC(WindowHandle(), dc);
}

void TCustomForm::PaintWindow(HDC dc) {
  korv_controls::PaintOnCanvas(canvas_.get(), dc, [this] { Paint(); });
}

// ---- Window parameters ----

void TCustomForm::CreateParams(TCreateParams& p) {
  TScrollingWinControl::CreateParams(p);
  if (Parent()) return;
  p.Style &= ~(WS_CHILD | WS_GROUP | WS_TABSTOP);
  p.Style |= WS_CLIPCHILDREN;
  p.WndParent = 0;
  if (!gMeasuringParams) {
    TApplication* app = Application;
    TCustomForm* main = app->MainForm();
    if (main && main != this && app->MainFormOnTaskBar()) p.WndParent = main->Handle();
    else if (!app->MainFormOnTaskBar() || (main && main != this)) p.WndParent = app->Handle();
    if (this == main || !main) {
      if (app->MainFormOnTaskBar()) p.ExStyle |= WS_EX_APPWINDOW;
    }
  }
  DWORD style = 0, ex = 0;
  switch (borderStyle_) {
    case bsNone: style = WS_POPUP; break;
    case bsSingle: style = WS_CAPTION | WS_BORDER; break;
    case bsSizeable: style = WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      style = WS_POPUP | WS_CAPTION;
      ex = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case bsToolWindow:
      style = WS_CAPTION;
      ex = WS_EX_TOOLWINDOW;
      break;
    case bsSizeToolWin:
      style = WS_CAPTION | WS_THICKFRAME;
      ex = WS_EX_TOOLWINDOW;
      break;
  }
  if (borderStyle_ != bsNone) {
    if (borderIcons_.Contains(biSystemMenu)) style |= WS_SYSMENU;
    if (borderStyle_ == bsSingle || borderStyle_ == bsSizeable) {
      if (borderIcons_.Contains(biMinimize)) style |= WS_MINIMIZEBOX;
      if (borderIcons_.Contains(biMaximize)) style |= WS_MAXIMIZEBOX;
    }
  }
  p.Style |= style;
  p.ExStyle |= ex;
  if (formStyle_ == fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
  p.WindowClass.style |= CS_DBLCLKS;
}

void TCustomForm::CreateWnd() {
  TScrollingWinControl::CreateWnd();
  // The caption may have been set while the window was away.
}

void TCustomForm::DestroyWnd() {
  canvas_->FreeHandle();
  TScrollingWinControl::DestroyWnd();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == borderStyle_) return;
  borderStyle_ = style;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  if (icons == borderIcons_) return;
  borderIcons_ = icons;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle style) {
  if (style == formStyle_) return;
  formStyle_ = style;
  if (HandleAllocated())
    SetWindowPos(Handle(), style == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetWindowState(TWindowState state) {
  if (state == windowState_) return;
  windowState_ = state;
  if (HandleAllocated() && Showing()) {
    ShowWindow(Handle(), state == wsMaximized   ? SW_SHOWMAXIMIZED
                         : state == wsMinimized ? SW_MINIMIZE
                                                : SW_RESTORE);
  }
}

void TCustomForm::SetClientWidth(int v) {
  if (ControlState().Contains(csReadingState)) {
    pendingClientWidth_ = v;
    return;
  }
  TScrollingWinControl::SetClientWidth(v);
}

void TCustomForm::SetClientHeight(int v) {
  if (ControlState().Contains(csReadingState)) {
    pendingClientHeight_ = v;
    return;
  }
  TScrollingWinControl::SetClientHeight(v);
}

void TCustomForm::ReadState(TReader* reader) {
  pendingClientWidth_ = pendingClientHeight_ = -1;
  DisableAlign();
  ScopeGuard enable([this] { EnableAlign(); });
  TScrollingWinControl::ReadState(reader);
  if (pendingClientWidth_ >= 0) TControl::SetClientWidth(pendingClientWidth_);
  if (pendingClientHeight_ >= 0) TControl::SetClientHeight(pendingClientHeight_);
  pendingClientWidth_ = pendingClientHeight_ = -1;
}

void TCustomForm::Loaded() {
  TScrollingWinControl::Loaded();
  if (activeControl_ && !activeControl_->CanFocus()) {
    // A stored active control that cannot take the focus yet stays the wish for activation.
  }
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TScrollingWinControl::Notification(component, operation);
  if (operation == opRemove) {
    if (component == activeControl_) activeControl_ = nullptr;
    if (component == focusedControl_) focusedControl_ = nullptr;
  }
}

// ---- Showing and closing ----

void TCustomForm::SetVisible(bool visible) {
  if (formState_.Contains(fsCreating) || ControlState().Contains(csReadingState)) {
    if (visible) formState_.Include(fsVisible);
    else formState_.Exclude(fsVisible);
    return;
  }
  TScrollingWinControl::SetVisible(visible);
}

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::ApplyPosition() {
  positioned_ = true;
  if (ComponentState().Contains(csDesigning)) return;
  int x = Left(), y = Top();
  TScreen* s = Screen;
  auto centreIn = [&](const TRect& r) {
    x = r.left + (RectWidth(r) - Width()) / 2;
    y = r.top + (RectHeight(r) - Height()) / 2;
  };
  switch (position_) {
    case poScreenCenter: {
      TMonitor* m = s->MonitorFromWindow(Handle());
      centreIn(m ? m->BoundsRect() : Rect(0, 0, s->Width(), s->Height()));
      break;
    }
    case poDesktopCenter: {
      TRect d = s->DesktopRect();
      x = RectWidth(d) / 2 + d.left - Width() / 2;
      y = RectHeight(d) / 2 + d.top - Height() / 2;
      break;
    }
    case poMainFormCenter:
    case poOwnerFormCenter: {
      TCustomForm* other = position_ == poOwnerFormCenter ? dynamic_cast<TCustomForm*>(Owner())
                                                          : Application->MainForm();
      if (other && other != this && other->HandleAllocated()) centreIn(other->BoundsRect());
      else centreIn(s->WorkAreaRect());
      break;
    }
    case poDefault:
    case poDefaultPosOnly: {
      // The platform would cascade; keep the window inside the work area.
      TRect w = s->WorkAreaRect();
      if (x + Width() > w.right) x = w.right - Width();
      if (y + Height() > w.bottom) y = w.bottom - Height();
      x = std::max<int>(x, w.left);
      y = std::max<int>(y, w.top);
      break;
    }
    default: break;
  }
  if (x != Left() || y != Top()) SetBounds(x, y, Width(), Height());
}

void TCustomForm::ShowingChanged() {
  if (Showing()) {
    DoShow();
    if (!positioned_) ApplyPosition();
    int cmd = windowState_ == wsMaximized   ? SW_SHOWMAXIMIZED
              : windowState_ == wsMinimized ? SW_SHOWMINIMIZED
                                            : SW_SHOWNORMAL;
    ShowWindow(Handle(), cmd);
  } else {
    DoHide();
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  }
}

void TCustomForm::Close() {
  if (formState_.Contains(fsModal)) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  TApplication* app = Application;
  if (app->MainForm() == this) {
    app->Terminate();
  } else if (action == caHide) {
    Hide();
  } else if (action == caMinimize) {
    SetWindowState(wsMinimized);
  } else {
    Release();
  }
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::CloseModal() {
  try {
    TCloseAction action = caNone;
    if (CloseQuery()) {
      action = caHide;
      DoClose(action);
    }
    if (action == caNone) modalResult_ = mrNone;
    else if (action == caFree) Release();
  } catch (...) {
    modalResult_ = mrNone;
    Application->HandleException(this);
  }
}

void TCustomForm::Release() {
  if (HandleAllocated()) PostMessageW(Handle(), CM_RELEASE, 0, 0);
  else PostMessageW(Application->Handle(), CM_RELEASE, 0, LPARAM(this));
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || formState_.Contains(fsModal))
    throw EInvalidOperation(u"Cannot make a visible window modal");
  if (HWND cap = GetCapture()) SendMessageW(cap, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  Application->CancelHint();  // no hint of the window left behind stays over this one
  formState_.Include(fsModal);
  HWND previousActive = GetActiveWindow();
  // Every other top-level window of ours is disabled while the form runs.
  std::vector<HWND> disabled;
  TScreen* s = Screen;
  for (int i = 0; i < s->FormCount(); ++i) {
    TCustomForm* f = s->Forms(i);
    if (f == this || !f->HandleAllocated()) continue;
    HWND h = f->WindowHandle();
    if (IsWindowVisible(h) && IsWindowEnabled(h)) {
      EnableWindow(h, FALSE);
      disabled.push_back(h);
    }
  }
  TModalResult result = mrNone;
  bool ended = false;
  ScopeGuard restore([&] {
    for (HWND h : disabled)
      if (IsWindow(h)) EnableWindow(h, TRUE);
    // Only a loop that ended hands the activation back.
    if (ended && previousActive && IsWindow(previousActive)) SetActiveWindow(previousActive);
    formState_.Exclude(fsModal);
  });
  Show();
  {
    ScopeGuard hide([this] { Hide(); });
    SendMessageW(Handle(), CM_ACTIVATE, 0, 0);
    modalResult_ = mrNone;
    NotifyModalLoopEntered(Handle());
    TApplication* app = Application;
    for (;;) {
      if (app->Terminated()) {
        modalResult_ = mrCancel;
      }
      if (modalResult_ != mrNone) {
        CloseModal();
        if (modalResult_ != mrNone) break;
      }
      app->HandleMessage();
    }
    result = modalResult_;
    if (HandleAllocated()) SendMessageW(Handle(), CM_DEACTIVATE, 0, 0);
  }
  ended = true;
  return result;
}

// ---- Focus ----

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == activeControl_) return;
  if (control && !(control != this && GetParentForm(control) == this &&
                   (ComponentState().Contains(csLoading) || control->CanFocus())))
    throw EInvalidOperation(kCannotFocus);
  activeControl_ = control;
  if (control) control->FreeNotification(this);
  if (!ComponentState().Contains(csLoading) && active_) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* control) {
  bool wasActive = active_;
  SetActiveControl(control);
  if (!wasActive) SetFocus();
}

void TCustomForm::SetFocus() {
  if (!active_) {
    if (!(Visible() && Enabled())) throw EInvalidOperation(kCannotFocus);
    SetWindowFocus();
  } else {
    TScrollingWinControl::SetFocus();
  }
}

void TCustomForm::SetWindowFocus() {
  TWinControl* target = activeControl_ ? activeControl_ : this;
  if (!target->CanFocus() && target != this) target = this;
  HWND h = target->Handle();
  if (!IsWindowVisible(Handle())) return;
  ::SetFocus(h);
}

namespace {
int gFocusCount = 0;
bool SendFocusMessage(HWND window, UINT msg) {
  int count = gFocusCount;
  SendMessageW(window, msg, 0, 0);
  return gFocusCount == count;
}
}  // namespace

bool TCustomForm::SetFocusedControl(TWinControl* control) {
  ++gFocusCount;
  activeControl_ = control != this ? control : nullptr;
  if (activeControl_) activeControl_->FreeNotification(this);
  TScreen* s = Screen;
  s->SetActiveControl(control);
  if (control->ControlState().Contains(csFocusing)) return false;
  control->IncludeState(csFocusing);
  ScopeGuard unmark([control] { control->ExcludeState(csFocusing); });
  if (s->ActiveForm() != this) {
    if (TCustomForm* old = s->ActiveForm()) {
      s->SetActiveForm(nullptr);
      if (old->HandleAllocated() && !SendFocusMessage(old->WindowHandle(), CM_DEACTIVATE))
        return false;
    }
    s->SetActiveForm(this);
    if (!SendFocusMessage(Handle(), CM_ACTIVATE)) return false;
  }
  if (!focusedControl_) focusedControl_ = this;
  if (focusedControl_ != control) {
    while (focusedControl_ && !focusedControl_->ContainsControl(control)) {
      HWND h = focusedControl_->Handle();
      focusedControl_ = focusedControl_->Parent();
      if (!SendFocusMessage(h, CM_EXIT)) return false;
    }
    while (focusedControl_ != control) {
      TWinControl* c = control;
      while (c->Parent() != focusedControl_) c = c->Parent();
      focusedControl_ = c;
      if (!SendFocusMessage(c->Handle(), CM_ENTER)) return false;
    }
    for (TWinControl* p = control->Parent(); p; p = p->Parent()) {
      if (auto* sc = dynamic_cast<TScrollingWinControl*>(p)) sc->AutoScrollInView(control);
    }
    Perform(CM_FOCUSCHANGED, 0, LPARAM(control));
  }
  return true;
}

void TCustomForm::DefocusControl(TWinControl* control, bool removing) {
  if (removing && focusedControl_ && control->ContainsControl(focusedControl_))
    focusedControl_ = control->Parent();
  if (activeControl_ && control->ContainsControl(activeControl_)) {
    activeControl_ = nullptr;
  }
}

bool TCustomForm::WantChildKey(TControl* child, TMessage& message) {
  (void)child;
  (void)message;
  return false;
}

void TCustomForm::SetActive(bool active) {
  active_ = active;
  if (active) {
    if (!activeControl_ && !ComponentState().Contains(csDesigning))
      activeControl_ = FindNextControl(nullptr, true, true, false);
    SetWindowFocus();
  }
}

void TCustomForm::WMActivate(TMessage& m) { SetActive(LOWORD(m.WParam) != WA_INACTIVE); }

TMonitor* TCustomForm::Monitor() { return Screen->MonitorFromWindow(Handle(), mdNearest); }

// ---- Messages ----

void TCustomForm::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_ACTIVATE: WMActivate(m); return;
    case WM_ACTIVATEAPP:
      DefaultHandler(m);
      Application->SetActive(m.WParam != 0);
      return;
    case WM_CLOSE: Close(); return;
    case WM_SIZE:
      if (m.WParam == SIZE_MAXIMIZED) windowState_ = wsMaximized;
      else if (m.WParam == SIZE_MINIMIZED) windowState_ = wsMinimized;
      else if (m.WParam == SIZE_RESTORED && HandleAllocated() && !IsIconic(Handle()) &&
               !IsZoomed(Handle()))
        windowState_ = wsNormal;
      TScrollingWinControl::Dispatch(m);
      return;
    case CM_ACTIVATE: Activate(); return;
    case CM_DEACTIVATE: Deactivate(); return;
    case CM_SHOWINGCHANGED: ShowingChanged(); return;
    case CM_DIALOGKEY:
      if (GetKeyState(VK_MENU) >= 0) {
        WORD key = WORD(m.WParam);
        if (key == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
          m.Result = 1;
          return;
        }
        if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) {
          if (activeControl_ && activeControl_->Parent()) {
            activeControl_->Parent()->SelectNext(activeControl_, key == VK_RIGHT || key == VK_DOWN,
                                                 false);
            m.Result = 1;
          }
          return;
        }
      }
      TScrollingWinControl::Dispatch(m);
      return;
    case CM_RELEASE: {
      // The last thing this object does: nothing may touch it afterwards.
      BeforeDestruction();
      delete this;
      return;
    }
  }
  TScrollingWinControl::Dispatch(m);
}

void TCustomForm::GetChildren(const TGetChildProc& proc, TComponent* root) {
  TScrollingWinControl::GetChildren(proc, root);
  if (root == this) {
    for (int i = 0; i < ComponentCount(); ++i) {
      TComponent* c = Components(i);
      if (!c->HasParent() && !c->ComponentStyle().Contains(csSubComponent)) proc(c);
    }
  }
}

// ---- TForm ----

TForm::TForm(TComponent* owner) : TCustomForm(owner) {}

String TForm::ClassName() const { return u"TForm"; }
