#pragma once
// TTimer: OnTimer every Interval milliseconds through a hidden window's WM_TIMER.
#include "Components.h"
#include "User.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  String ClassName() const override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Milliseconds; 0 stops the timer.
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned interval);
  // Assigning through SetOnTimer re-arms; a timer with no handler is not armed.
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent handler);
  // The handler itself (the published event binds through it; Loaded arms the timer).
  TNotifyEvent& OnTimerRef() { return onTimer_; }
  // The hidden window (for tests).
  HWND WindowHandle() const { return window_; }
  bool Armed() const { return armed_; }

 protected:
  void Loaded() override;
  virtual void Timer();

 private:
  static LRESULT TimerWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void UpdateTimer();
  void KillIt();
  bool enabled_ = true;
  unsigned interval_ = 1000;
  TNotifyEvent onTimer_;
  HWND window_ = 0;
  bool armed_ = false;
};

// Registers the table of TTimer.
void RegisterTimerClasses();
