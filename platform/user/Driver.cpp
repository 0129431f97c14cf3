// The host behind the window system, and starting over for tests.
#include "HostApp.h"
#include "Themes.h"
#include "UserDriver.h"
#include "UserInternal.h"

namespace user {
namespace {

HostWindowDriver* gDriver = nullptr;
bool gDriverChosen = false;

// Sent to every window, children after their parents, as the platform's own notice is.
BOOL SendThemeChanged(HWND hwnd, LPARAM) {
  SendMessageW(hwnd, WM_THEMECHANGED, 0, 0);
  EnumChildWindows(
      hwnd,
      [](HWND child, LPARAM) -> BOOL {
        SendMessageW(child, WM_THEMECHANGED, 0, 0);
        return TRUE;
      },
      0);
  return TRUE;
}

// Windows hear of a switch of the visual style; whoever listened before still does.
void ListenForThemeChanges() {
  static bool listening = false;
  if (listening) return;
  listening = true;
  TThemeServices* themes = ThemeServices();
  themes->OnThemeChange = [before = themes->OnThemeChange] {
    if (before) before();
    EnumWindows(SendThemeChanged, 0);
  };
}

void Attach(HostWindowDriver* d) {
  ListenForThemeChanges();
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
  ResetDeviceLayers();
  CaretReset();
  ForgetScreens();
  ResetDesktopFrames();
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

void UserSetDisplayLostHandler(std::function<void()> handler) {
  HostSetDisplayLostHandler(std::move(handler));
}

void UserHandleHostEvent(const HostEvent& event) { HandleHostEvent(event); }

void UserResetForTesting() { ResetState(); }
