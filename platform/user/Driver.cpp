// The host behind the window system, and starting over for tests.
#include "UserDriver.h"
#include "UserInternal.h"

namespace user {
namespace {

HostWindowDriver* gDriver = nullptr;
bool gDriverChosen = false;

void Attach(HostWindowDriver* d) {
  gDriver = d;
  gDriverChosen = true;
  if (d) d->SetEventSink([](const HostEvent& e) { HandleHostEvent(e); });
}

}  // namespace

HostWindowDriver* Host() {
  if (!gDriverChosen) Attach(HostQtWindowDriver());
  return gDriver;
}

void ForgetScreens();
void CaretReset();

void ResetState() {
  SetMessageSpy(MessageSpy());
  SetModalLoopHook(ModalLoopHook());
  for (HWND t : TopLevelHandles())
    if (IsWindow(t)) DestroyWindow(t);
  ResetWindows();
  ResetClasses();
  ResetMessages();
  ResetTimers();
  ResetInput();
  ResetFocus();
  ResetPainting();
  CaretReset();
  ForgetScreens();
}

}  // namespace user

using namespace user;

void UserSetHostDriver(HostWindowDriver* driver) {
  if (gDriverChosen && gDriver == driver) return;
  // Surfaces the old host showed are strangers to the new one.
  for (HWND t : TopLevelHandles())
    if (Wnd* w = GetWnd(t); w && w->surface) {
      if (w->surface->hostCreated && gDriver) gDriver->DestroySurface(t);
      w->surface->hostCreated = w->surface->hostShown = false;
    }
  if (gDriver) gDriver->SetEventSink(HostEventSink());
  Attach(driver);
  ForgetScreens();
}

HostWindowDriver* UserGetHostDriver() { return Host(); }

void UserHandleHostEvent(const HostEvent& event) { HandleHostEvent(event); }

void UserResetForTesting() { ResetState(); }
