// TTimer: a hidden window of its own receives WM_TIMER.
#include "Timer.h"

#include "Forms.h"

namespace {
const char16_t kTimerClass[] = u"TTimerWindow";
constexpr UINT_PTR kTimerId = 1;
}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  KillIt();
  if (window_ && IsWindow(window_)) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  window_ = 0;
}

String TTimer::ClassName() const { return u"TTimer"; }

LRESULT TTimer::TimerWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (timer && msg == WM_TIMER && wParam == kTimerId) {
    try {
      timer->Timer();
    } catch (...) {
      Application->HandleException(timer);
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned interval) {
  if (interval == interval_) return;
  interval_ = interval;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::move(handler);
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::Timer() {
  if (enabled_ && onTimer_) onTimer_(this);
}

void TTimer::KillIt() {
  if (armed_ && window_ && IsWindow(window_)) KillTimer(window_, kTimerId);
  armed_ = false;
}

void TTimer::UpdateTimer() {
  KillIt();
  if (!enabled_ || interval_ == 0 || !onTimer_ || ComponentState().Contains(csLoading) ||
      ComponentState().Contains(csDesigning))
    return;
  if (!window_ || !IsWindow(window_)) {
    WNDCLASSW wc;
    if (!GetClassInfoW(0, kTimerClass, &wc) || wc.lpfnWndProc != &TimerWndProc) {
      UnregisterClassW(kTimerClass, 0);
      WNDCLASSW c;
      c.lpfnWndProc = &TimerWndProc;
      c.lpszClassName = kTimerClass;
      RegisterClassW(&c);
    }
    window_ =
        CreateWindowExW(0, kTimerClass, u"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, 0, 0, nullptr);
    if (!window_)
      window_ = CreateWindowExW(0, kTimerClass, u"", WS_POPUP, 0, 0, 0, 0, 0, 0, 0, nullptr);
    if (!window_) throw EInvalidOperation(u"Not enough timers available");
    SetWindowLongPtrW(window_, GWLP_USERDATA, LONG_PTR(this));
  }
  if (!SetTimer(window_, kTimerId, interval_, nullptr))
    throw EInvalidOperation(u"Not enough timers available");
  armed_ = true;
}
