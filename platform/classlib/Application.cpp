// The application object, the screen and its monitors, and the hint window.
#include <algorithm>
#include <exception>

#include "ControlsInternal.h"
#include "Forms.h"
#include "FormsInternal.h"
#include "SysInfo.h"

using namespace korv_controls;

namespace {
TApplication* gApplication = nullptr;
TScreen* gScreen = nullptr;
TMessageBoxHandler& MessageBoxHandler() {
  static TMessageBoxHandler handler;
  return handler;
}
constexpr UINT_PTR kHintTimer = 1;
const char16_t kAppClass[] = u"TApplication";

void InstallHooks() {
  gHandleExceptionHook = [](TObject* sender) {
    if (gApplication) gApplication->HandleException(sender);
  };
  gControlDestroyedHook = [](TControl* c) {
    if (gApplication && gApplication->HintControl() == c) gApplication->CancelHint();
    if (gScreen) gScreen->ForgetControl(c);
  };
  gHintMouseHook = [](TControl* c, TMessage& m) {
    if (gApplication) gApplication->HintMouseMessage(c, m);
  };
}

bool IsButtonDown(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN: return true;
    default: return false;
  }
}

String ShortHint(const String& hint) {
  auto bar = hint.find(u'|');
  return bar == String::npos ? hint : hint.substr(0, bar);
}
String LongHint(const String& hint) {
  auto bar = hint.find(u'|');
  return bar == String::npos ? hint : hint.substr(bar + 1);
}
}  // namespace

namespace {

constexpr WPARAM kReleaseComponent = 1;

// Components waiting to be freed by the loop; one that goes before (with its owner) drops out
// through its removal notice, so the posted message finds nothing to free twice.
class TReleaseQueue : public TComponent {
 public:
  TReleaseQueue() : TComponent(nullptr) {}
  std::vector<TComponent*> pending;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove) std::erase(pending, component);
  }
};

TReleaseQueue& Releases() {
  static TReleaseQueue queue;
  return queue;
}

void ReleasePending(TComponent* component) {
  TReleaseQueue& q = Releases();
  auto it = std::find(q.pending.begin(), q.pending.end(), component);
  if (it == q.pending.end()) return;
  q.pending.erase(it);
  component->RemoveFreeNotification(&q);
  delete component;
}

}  // namespace

void ReleaseComponent(TComponent* component) {
  if (!component) return;
  TReleaseQueue& q = Releases();
  if (std::find(q.pending.begin(), q.pending.end(), component) != q.pending.end()) return;
  q.pending.push_back(component);
  component->FreeNotification(&q);
  PostMessageW(Application->Handle(), CM_RELEASE, kReleaseComponent, LPARAM(component));
}

namespace korv_forms {
TApplication* ApplicationIfAny() { return gApplication; }
TScreen* ScreenIfAny(bool create) {
  if (!gScreen && create) {
    InstallHooks();
    gScreen = new TScreen(nullptr);
  }
  return gScreen;
}
}  // namespace korv_forms

const TApplicationRef Application;
const TScreenRef Screen;

TApplication* TApplicationRef::Get() const {
  if (!gApplication) {
    InstallHooks();
    gApplication = new TApplication(nullptr);
  }
  return gApplication;
}

TScreen* TScreenRef::Get() const { return korv_forms::ScreenIfAny(true); }

void DoneApplication() {
  if (gApplication) {
    TApplication* app = gApplication;
    delete app;
    gApplication = nullptr;
  }
}

void ResetApplicationForTesting() {
  DoneApplication();
  if (gScreen) {
    // Forms nobody owns would outlive the test otherwise.
    std::vector<TCustomForm*> rest;
    for (int i = 0; i < gScreen->FormCount(); ++i)
      if (!gScreen->Forms(i)->Owner()) rest.push_back(gScreen->Forms(i));
    for (TCustomForm* f : rest) f->Destroying();
    for (auto it = rest.rbegin(); it != rest.rend(); ++it) {
      (*it)->BeforeDestruction();
      delete *it;
    }
    delete gScreen;
    gScreen = nullptr;
  }
  gMouseControl = nullptr;
  gCaptureControl = nullptr;
  MessageBoxHandler() = nullptr;
}

// ---- TApplication ----

TApplication::TApplication(TComponent* owner) : TComponent(owner) {}

TApplication::~TApplication() {
  // No form hears of activation or focus while the others go.
  Destroying();
  CancelHint();
  // The application window hears nothing more (activation moves while the forms go).
  if (handle_ && IsWindow(handle_)) SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
  delete hintWindow_;
  hintWindow_ = nullptr;
  std::vector<TCustomForm*> forms;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* f = dynamic_cast<TCustomForm*>(Components(i))) forms.push_back(f);
  for (auto it = forms.rbegin(); it != forms.rend(); ++it) (*it)->BeforeDestruction();
  DestroyComponents();
  hintWindow_ = nullptr;
  if (handle_ && IsWindow(handle_)) {
    SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
  }
  handle_ = 0;
  if (gApplication == this) gApplication = nullptr;
}

String TApplication::ClassName() const { return u"TApplication"; }

void TApplication::Initialize() { RegisterClassLibrary(); }

void TApplication::SetMainForm(TCustomForm* form) { mainForm_ = form; }

String TApplication::Title() const {
  if (!title_.empty()) return title_;
  String name = GetExeName();
  auto slash = name.find_last_of(u"/\\");
  if (slash != String::npos) name = name.substr(slash + 1);
  auto dot = name.find_last_of(u'.');
  if (dot != String::npos && dot > 0) name = name.substr(0, dot);
  return name;
}

String TApplication::ExeName() const { return GetExeName(); }

HWND TApplication::Handle() {
  if (handle_ && IsWindow(handle_)) return handle_;
  WNDCLASSW wc;
  if (!GetClassInfoW(0, kAppClass, &wc) || wc.lpfnWndProc != &AppWndProc) {
    UnregisterClassW(kAppClass, 0);
    WNDCLASSW c;
    c.lpfnWndProc = &AppWndProc;
    c.lpszClassName = kAppClass;
    RegisterClassW(&c);
  }
  String title = Title();
  handle_ = CreateWindowExW(0, kAppClass, title.c_str(),
                            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0, 0, 0,
                            0, nullptr);
  if (handle_) SetWindowLongPtrW(handle_, GWLP_USERDATA, LONG_PTR(this));
  return handle_;
}

LRESULT TApplication::AppWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!app) return DefWindowProcW(hwnd, msg, wParam, lParam);
  try {
    switch (msg) {
      case WM_ACTIVATEAPP: app->SetActive(wParam != 0); return 0;
      case CM_ACTIVATE:
        if (app->OnActivate) app->OnActivate(app);
        return 0;
      case CM_DEACTIVATE:
        if (app->OnDeactivate) app->OnDeactivate(app);
        return 0;
      case CM_RELEASE:
        if (wParam == kReleaseComponent) {
          ReleasePending(reinterpret_cast<TComponent*>(lParam));
          return 0;
        }
        if (auto* f = reinterpret_cast<TCustomForm*>(lParam)) {
          TScreen* s = korv_forms::ScreenIfAny(false);
          bool known = false;
          for (int i = 0; s && i < s->FormCount(); ++i) known = known || s->Forms(i) == f;
          if (known) {
            f->BeforeDestruction();
            delete f;
          }
        }
        return 0;
      case WM_TIMER:
        if (wParam == kHintTimer) {
          app->HintTimerExpired();
          return 0;
        }
        break;
    }
  } catch (...) {
    app->HandleException(app);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void TApplication::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  if (!active) CancelHint();
  PostMessageW(Handle(), active ? CM_ACTIVATE : CM_DEACTIVATE, 0, 0);
}

void TApplication::Minimize() {
  if (!mainForm_ || !mainForm_->HandleAllocated()) return;
  HWND main = mainForm_->Handle();
  if (!IsWindowVisible(main) || IsIconic(main)) return;
  ShowWindow(main, SW_MINIMIZE);
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
  if (!mainForm_ || !mainForm_->HandleAllocated()) return;
  HWND main = mainForm_->Handle();
  if (!IsIconic(main)) return;
  ShowWindow(main, SW_RESTORE);
  if (OnRestore) OnRestore(this);
}

void TApplication::Run() {
  running_ = true;
  if (mainForm_ && showMainForm_) {
    try {
      if (mainForm_->WindowState() == wsMinimized) mainForm_->SetWindowState(wsMinimized);
      mainForm_->Show();
    } catch (...) {
      HandleException(this);
    }
  }
  while (!terminated_) {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  }
  running_ = false;
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle(msg);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageW(&msg, 0, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  try {
    bool handled = false;
    if (OnMessage) OnMessage(msg, handled);
    if (!handled && hintActive_ && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST)
      CancelHint();
    if (!handled && IsButtonDown(msg.message)) {
      // A press puts away the hint, also one still waiting for its pause (the press may open
      // a window it would then cover); it comes back only when the mouse reaches another control.
      TControl* pressed = hintControl_;
      CancelHint();
      hintControl_ = pressed;
    }
    if (!handled && !IsKeyMsg(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  } catch (...) {
    HandleException(this);
  }
  return true;
}

bool TApplication::IsKeyMsg(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND wnd = GetCapture();
  if (!wnd) {
    wnd = msg.hwnd;
    while (wnd && !FindControl(wnd)) wnd = GetParent(wnd);
    if (!wnd) return false;
  } else if (!FindControl(wnd)) {
    return false;
  }
  return SendMessageW(wnd, CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

void TApplication::Idle(const MSG& msg) {
  (void)msg;
  DoMouseIdle();
  bool done = true;
  try {
    if (OnIdle) OnIdle(this, done);
  } catch (...) {
    HandleException(this);
  }
  if (done) WaitMessage();
}

void TApplication::DoMouseIdle() {
  if (gCaptureControl) return;
  POINT p;
  if (!GetCursorPos(&p)) return;
  TControl* target = FindDragTarget(p, true);
  if (target != gMouseControl) SetMouseControl(target);
  if (!target && hintActive_) CancelHint();
}

void TApplication::Terminate() { PostQuitMessage(0); }

// ---- Errors ----

TMessageBoxHandler TApplication::SetMessageBoxHandler(TMessageBoxHandler handler) {
  TMessageBoxHandler old = std::move(MessageBoxHandler());
  MessageBoxHandler() = std::move(handler);
  return old;
}

int TApplication::MessageBox(const String& text, const String& caption, UINT flags) {
  String title = caption.empty() ? Title() : caption;
  HWND owner = GetActiveWindow();
  if (MessageBoxHandler()) return MessageBoxHandler()(owner, text, title, flags);
  return MessageBoxW(owner, text.c_str(), title.c_str(), flags);
}

void TApplication::ShowException(const Exception& e) {
  String msg = e.Message();
  if (!msg.empty() && msg.back() > u'.') msg += u'.';
  MessageBox(msg, Title(), MB_OK | MB_ICONERROR);
}

void TApplication::HandleException(TObject* sender) {
  if (!std::current_exception()) return;
  if (handlingException_ > 4) return;  // a handler that fails again and again
  ++handlingException_;
  auto report = [&](const Exception& e) {
    try {
      if (OnException) OnException(sender, e);
      else ShowException(e);
    } catch (...) {
      // The handler failed itself; the loop must go on.
    }
  };
  try {
    throw;
  } catch (const EAbort&) {
  } catch (const Exception& e) {
    report(e);
  } catch (const std::exception& e) {
    report(Exception(e.what()));
  } catch (...) {
    report(Exception(u"Unknown exception"));
  }
  --handlingException_;
}

// ---- Hints ----

void TApplication::SetHint(const String& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  if (OnHint) OnHint(this);
}

void TApplication::SetShowHint(bool value) {
  if (value == showHint_) return;
  showHint_ = value;
  if (!value) CancelHint();
}

void TApplication::CreateHintWindow() {
  if (!hintWindow_) hintWindow_ = new THintWindow(this);
}

void TApplication::HintMouseMessage(TControl* control, TMessage& message) {
  if (message.Msg != WM_MOUSEMOVE) return;
  if (control != hintControl_) {
    CancelHint();
    hintControl_ = control;
    if (control) SetHint(LongHint(control->Hint()));
    if (showHint_ && control && control->ShowHint() && !control->Hint().empty()) {
      hintTimer_ = SetTimer(Handle(), kHintTimer, UINT(std::max(hintPause_, 10)), nullptr);
    }
  }
}

void TApplication::HintTimerExpired() {
  KillTimer(Handle(), kHintTimer);
  hintTimer_ = 0;
  POINT p;
  GetCursorPos(&p);
  ActivateHint(p);
}

void TApplication::ActivateHint(TPoint cursorPos) {
  if (!showHint_ || !hintControl_ || !hintControl_->ShowHint()) return;
  String text = ShortHint(hintControl_->Hint());
  if (text.empty()) return;
  TMessage m{CM_HINTSHOW, 0, 0, 0};
  hintControl_->WindowProc(m);
  if (m.Result != 0) return;
  CreateHintWindow();
  TRect r = hintWindow_->CalcHintRect(300, text);
  OffsetRect(&r, cursorPos.x, cursorPos.y + 20);
  TRect work = Screen->WorkAreaRect();
  if (r.right > work.right) OffsetRect(&r, work.right - r.right, 0);
  if (r.bottom > work.bottom) OffsetRect(&r, 0, work.bottom - r.bottom);
  hintWindow_->ActivateHint(r, text);
  hintActive_ = true;
}

void TApplication::CancelHint() {
  if (hintTimer_ && handle_ && IsWindow(handle_)) KillTimer(handle_, kHintTimer);
  hintTimer_ = 0;
  if (hintWindow_ && hintWindow_->HandleAllocated()) hintWindow_->ReleaseHandle();
  hintActive_ = false;
  hintControl_ = nullptr;
}

// ---- THintWindow ----

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  TControl::SetVisible(false);
  SetParentColor(false);
  SetColor(clInfoBk);
  SetParentFont(false);
  Font()->SetColor(clInfoText);
}

String THintWindow::ClassName() const { return u"THintWindow"; }

void THintWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style = WS_POPUP | WS_BORDER;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  p.WndParent = 0;
}

void THintWindow::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEACTIVATE: m.Result = MA_NOACTIVATE; return;
    case WM_NCHITTEST: m.Result = HTTRANSPARENT; return;
    case WM_NCACTIVATE: m.Result = 1; return;
  }
  TCustomControl::Dispatch(m);
}

TRect THintWindow::CalcHintRect(int maxWidth, const String& hint) {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  TSize s = c->TextExtent(hint);
  int w = std::min(maxWidth, int(s.cx) + 8);
  return Rect(0, 0, w, int(s.cy) + 4);
}

void THintWindow::ActivateHint(TRect rect, const String& hint) {
  SetText(hint);
  HandleNeeded();
  SetBounds(rect.left, rect.top, RectWidth(rect), RectHeight(rect));
  SetWindowPos(Handle(), HWND_TOPMOST, rect.left, rect.top, RectWidth(rect), RectHeight(rect),
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate();
}

void THintWindow::ReleaseHandle() { DestroyHandle(); }

void THintWindow::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(Color());
  c->FillRect(r);
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(bsClear);
  c->TextOut(3, 1, GetText());
}

// ---- TMonitor and TScreen ----

String TMonitor::ClassName() const { return u"TMonitor"; }

TRect TMonitor::BoundsRect() const {
  MONITORINFO mi;
  if (!GetMonitorInfoW(handle_, &mi)) return TRect{0, 0, 0, 0};
  return mi.rcMonitor;
}

TRect TMonitor::WorkareaRect() const {
  MONITORINFO mi;
  if (!GetMonitorInfoW(handle_, &mi)) return TRect{0, 0, 0, 0};
  return mi.rcWork;
}

bool TMonitor::Primary() const {
  MONITORINFO mi;
  return GetMonitorInfoW(handle_, &mi) && (mi.dwFlags & MONITORINFOF_PRIMARY);
}

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}

TScreen::~TScreen() {
  if (gScreen == this) gScreen = nullptr;
}

String TScreen::ClassName() const { return u"TScreen"; }

void TScreen::AddForm(TCustomForm* form) {
  if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  if (activeForm_ == form) activeForm_ = nullptr;
}

void TScreen::ForgetControl(TControl* control) {
  if (activeControl_ == control) activeControl_ = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* form) {
  if (form == activeForm_) return;
  activeForm_ = form;
  if (OnActiveFormChange) OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* control) {
  if (control == activeControl_) return;
  activeControl_ = control;
  if (OnActiveControlChange) OnActiveControlChange(this);
}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

TRect TScreen::DesktopRect() const {
  int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return Bounds(x, y, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}
int TScreen::DesktopWidth() const { return RectWidth(DesktopRect()); }
int TScreen::DesktopHeight() const { return RectHeight(DesktopRect()); }

TRect TScreen::WorkAreaRect() const {
  RECT r{0, 0, 0, 0};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

void TScreen::GetMonitors() {
  std::vector<HMONITOR> handles;
  EnumDisplayMonitors(
      0, nullptr,
      [](HMONITOR h, HDC, RECT*, LPARAM lp) -> BOOL {
        reinterpret_cast<std::vector<HMONITOR>*>(lp)->push_back(h);
        return TRUE;
      },
      LPARAM(&handles));
  // Keep the objects of monitors that remain, so pointers handed out stay valid.
  std::vector<std::unique_ptr<TMonitor>> next;
  for (HMONITOR h : handles) {
    std::unique_ptr<TMonitor> m;
    for (auto& old : monitors_)
      if (old && old->handle_ == h) m = std::move(old);
    if (!m) {
      m = std::make_unique<TMonitor>();
      m->handle_ = h;
    }
    m->num_ = int(next.size());
    next.push_back(std::move(m));
  }
  for (auto& old : monitors_)
    if (old) next.push_back(std::move(old));  // stale monitors stay alive, at the end
  monitors_ = std::move(next);
  monitorCount_ = int(handles.size());
}

int TScreen::MonitorCount() {
  GetMonitors();
  return monitorCount_;
}

TMonitor* TScreen::Monitors(int index) {
  GetMonitors();
  if (index < 0 || index >= monitorCount_)
    throw EListError(Format(u"List index out of bounds (%d)", {index}));
  return monitors_[std::size_t(index)].get();
}

TMonitor* TScreen::FindMonitor(HMONITOR handle) {
  if (!handle) return nullptr;
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < monitorCount_; ++i)
      if (monitors_[std::size_t(i)]->handle_ == handle) return monitors_[std::size_t(i)].get();
    GetMonitors();
  }
  return nullptr;
}

TMonitor* TScreen::PrimaryMonitor() {
  GetMonitors();
  for (int i = 0; i < monitorCount_; ++i)
    if (monitors_[std::size_t(i)]->Primary()) return monitors_[std::size_t(i)].get();
  return monitorCount_ ? monitors_[0].get() : nullptr;
}

static DWORD MonitorFlags(TMonitorDefaultTo d) {
  switch (d) {
    case mdNull: return MONITOR_DEFAULTTONULL;
    case mdPrimary: return MONITOR_DEFAULTTOPRIMARY;
    default: return MONITOR_DEFAULTTONEAREST;
  }
}

TMonitor* TScreen::MonitorFromPoint(TPoint point, TMonitorDefaultTo defaultTo) {
  return FindMonitor(::MonitorFromPoint(point, MonitorFlags(defaultTo)));
}

TMonitor* TScreen::MonitorFromRect(const TRect& rect, TMonitorDefaultTo defaultTo) {
  return FindMonitor(::MonitorFromRect(&rect, MonitorFlags(defaultTo)));
}

TMonitor* TScreen::MonitorFromWindow(HWND hwnd, TMonitorDefaultTo defaultTo) {
  return FindMonitor(::MonitorFromWindow(hwnd, MonitorFlags(defaultTo)));
}

void TScreen::SetCursor(TCursor cursor) {
  cursor_ = cursor;
  if (cursor != crDefault) ::SetCursor(CursorHandle(cursor));
}
