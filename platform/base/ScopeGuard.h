#pragma once
// Undo on the way out: the class library's try/finally, with the cleanup written once.
#include <exception>
#include <type_traits>
#include <utility>

// Runs its callable when it leaves scope, unless dismissed (a cleanup meant only for failure
// is dismissed at the end of the success path). On a normal exit the callable's exception
// propagates, as a finally block's would; while another exception unwinds the stack, the
// callable's own is dropped, since two cannot travel at once: the first failure is reported.
template <class F>
class [[nodiscard]] ScopeGuard {
 public:
  explicit ScopeGuard(F f) noexcept(std::is_nothrow_move_constructible_v<F>) : f_(std::move(f)) {}
  ScopeGuard(ScopeGuard&& other) noexcept(std::is_nothrow_move_constructible_v<F>)
      : f_(std::move(other.f_)),
        active_(std::exchange(other.active_, false)),
        uncaught_(other.uncaught_) {}
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;
  ScopeGuard& operator=(ScopeGuard&&) = delete;

  ~ScopeGuard() noexcept(false) {
    if (!active_) return;
    // Counted against construction, so a guard made inside a destructor that runs during
    // unwinding still counts as a normal exit for its own scope.
    if (std::uncaught_exceptions() > uncaught_) {
      try {
        f_();
      } catch (...) {
      }
    } else {
      f_();
    }
  }

  void Dismiss() noexcept { active_ = false; }

 private:
  F f_;
  bool active_ = true;
  int uncaught_ = std::uncaught_exceptions();
};

// BeginUpdate now, EndUpdate on the way out (string lists, collections, anything with the pair).
template <class T>
class [[nodiscard]] UpdateScope {
 public:
  explicit UpdateScope(T* target) : end_(Begin(target)) {}

 private:
  struct End {
    T* target;
    void operator()() const { target->EndUpdate(); }
  };
  static End Begin(T* target) {
    target->BeginUpdate();
    return End{target};
  }
  ScopeGuard<End> end_;
};
