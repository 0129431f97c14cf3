// Timers: WM_TIMER for windows and threads, and the window system's own callbacks, all due by
// elapsed time: real time, or a clock that tests stop and move on by hand.
#include <optional>

#include "UserDriver.h"
#include "UserInternal.h"

namespace user {
namespace {

struct Timer {
  HWND hwnd = 0;
  UINT_PTR id = 0;
  UINT elapse = 0;
  TIMERPROC proc = nullptr;
  Clock::time_point next;
  std::function<void()> system;  // set for the window system's own timers
};

std::vector<Timer> gTimers;
UINT_PTR gNextThreadId = 0x7FF0;
UINT_PTR gNextSystemId = 1;

const Clock::time_point gStart = Clock::now();
std::optional<Clock::time_point> gStopped;

Clock::time_point TimeNow() { return gStopped ? *gStopped : Clock::now(); }

bool Matches(HWND filter, HWND hwnd) {
  if (!filter) return true;
  if (filter == HWND(-1) || filter == 1) return hwnd == 0;
  return hwnd == filter || IsChild(filter, hwnd);
}

UINT ClampElapse(UINT elapse) {
  if (elapse < USER_TIMER_MINIMUM) return USER_TIMER_MINIMUM;
  if (elapse > USER_TIMER_MAXIMUM) return USER_TIMER_MAXIMUM;
  return elapse;
}

}  // namespace

DWORD Now() {
  return DWORD(std::chrono::duration_cast<std::chrono::milliseconds>(TimeNow() - gStart).count());
}

bool TakeDueTimer(HWND filter, UINT min, UINT max, bool remove, MSG* out) {
  if (!((min == 0 && max == 0) || (WM_TIMER >= min && WM_TIMER <= max))) return false;
  auto now = TimeNow();
  Timer* best = nullptr;
  for (Timer& t : gTimers) {
    if (t.system || t.next > now || !Matches(filter, t.hwnd)) continue;
    if (t.hwnd && !GetWnd(t.hwnd)) continue;
    if (!best || t.next < best->next) best = &t;
  }
  if (!best) return false;
  *out = MSG{};
  out->hwnd = best->hwnd;
  out->message = WM_TIMER;
  out->wParam = best->id;
  out->lParam = reinterpret_cast<LPARAM>(best->proc);
  out->time = Now();
  out->pt = gCursorPos;
  // Intervals missed while busy do not pile up: the next one counts from now.
  if (remove) best->next = now + std::chrono::milliseconds(best->elapse);
  return true;
}

int MsUntilNextTimer() {
  if (gTimers.empty()) return -1;
  auto now = TimeNow();
  auto soonest = gTimers.front().next;
  for (const Timer& t : gTimers) soonest = std::min(soonest, t.next);
  if (soonest <= now) return 0;
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(soonest - now).count() + 1;
  return int(std::min<long long>(ms, 0x7FFFFFFF));
}

void KillWindowTimers(HWND hwnd) {
  std::erase_if(gTimers, [&](const Timer& t) { return !t.system && t.hwnd == hwnd; });
}

UINT_PTR SetSystemTimer(UINT elapse, std::function<void()> fn) {
  Timer t;
  t.id = gNextSystemId++;
  t.elapse = ClampElapse(elapse);
  t.next = TimeNow() + std::chrono::milliseconds(t.elapse);
  t.system = std::move(fn);
  gTimers.push_back(std::move(t));
  return gTimers.back().id;
}

void KillSystemTimer(UINT_PTR id) {
  std::erase_if(gTimers, [&](const Timer& t) { return t.system && t.id == id; });
}

void RunDueSystemTimers() {
  auto now = TimeNow();
  std::vector<std::function<void()>> due;
  for (Timer& t : gTimers) {
    if (!t.system || t.next > now) continue;
    t.next = now + std::chrono::milliseconds(t.elapse);
    due.push_back(t.system);
  }
  for (auto& fn : due) fn();
}

bool IsTimerProc(TIMERPROC proc) {
  for (const Timer& t : gTimers)
    if (!t.system && t.proc == proc) return true;
  return false;
}

void ResetTimers() {
  gTimers.clear();
  gStopped.reset();
}

}  // namespace user

using namespace user;

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if (hwnd && !GetWndOrError(hwnd)) return 0;
  if (!hwnd) {
    bool known = false;
    for (const Timer& t : gTimers)
      if (!t.system && !t.hwnd && t.id == id) known = true;
    if (!known) {
      do {
        id = gNextThreadId++;
        if (gNextThreadId > 0xFFFF) gNextThreadId = 0x7FF0;
      } while (std::any_of(gTimers.begin(), gTimers.end(),
                           [&](const Timer& t) { return !t.system && !t.hwnd && t.id == id; }));
    }
  }
  auto next = TimeNow() + std::chrono::milliseconds(ClampElapse(elapse));
  for (Timer& t : gTimers)
    if (!t.system && t.hwnd == hwnd && t.id == id) {
      t.elapse = ClampElapse(elapse);
      t.proc = proc;
      t.next = next;
      return hwnd ? (id ? id : 1) : id;
    }
  Timer t;
  t.hwnd = hwnd;
  t.id = id;
  t.elapse = ClampElapse(elapse);
  t.proc = proc;
  t.next = next;
  gTimers.push_back(std::move(t));
  return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  auto before = gTimers.size();
  std::erase_if(gTimers, [&](const Timer& t) { return !t.system && t.hwnd == hwnd && t.id == id; });
  return gTimers.size() != before ? TRUE : FALSE;
}

DWORD GetTickCount() { return Now(); }

void StopClockForTesting(bool stopped) {
  if (stopped && !gStopped) gStopped = Clock::now();
  if (!stopped && gStopped) {
    // Timers keep what is left of their intervals when real time takes over again.
    auto shift = Clock::now() - *gStopped;
    for (Timer& t : gTimers) t.next += shift;
    gStopped.reset();
  }
}

void AdvanceClockForTesting(DWORD ms) {
  if (gStopped) *gStopped += std::chrono::milliseconds(ms);
}
