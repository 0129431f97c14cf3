// The desktop's scale where the X server says only its resolution. Qt follows Xft.dpi and the
// user's own QT_* settings, and takes every X screen as 96 dpi otherwise, so a desktop set up with
// `Xvfb -dpi 192` or a server reporting its monitor's true size would show everything tiny.
// libxcb is opened at run time (Qt's xcb plugin has it loaded anyway), so building needs no X
// headers; only the few fields read here are declared, as the X protocol lays them out.
#include <dlfcn.h>

#include <QByteArray>
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "HostApp.h"

double HostScaleForResolution(double dpi) {
  // Quarter steps, a tie going to the smaller: 108 dpi stays 1, 120 is 1.25, 192 is 2.
  double steps = std::ceil(dpi * 4 / 96 - 0.5);
  return std::max(1.0, steps / 4);
}

namespace {

struct XcbScreen {  // the start of xcb_screen_t
  std::uint32_t root, colormap, white, black, inputMasks;
  std::uint16_t widthPx, heightPx, widthMm, heightMm;
};
struct XcbScreenIterator {
  XcbScreen* data;
  int rem;
  int index;
};
struct XcbCookie {
  unsigned sequence;
};

// Xft.dpi in the root window's resources, where the desktop set one; the default screen's
// resolution from its size in pixels and millimetres. False when there is no X display.
bool ReadX(bool* xftDpi, double* dpi) {
  void* lib = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
  if (!lib) return false;
  auto fn = [lib](const char* name) { return dlsym(lib, name); };
  auto connect = reinterpret_cast<void* (*)(const char*, int*)>(fn("xcb_connect"));
  auto hasError = reinterpret_cast<int (*)(void*)>(fn("xcb_connection_has_error"));
  auto disconnect = reinterpret_cast<void (*)(void*)>(fn("xcb_disconnect"));
  auto setup = reinterpret_cast<const void* (*)(void*)>(fn("xcb_get_setup"));
  auto roots = reinterpret_cast<XcbScreenIterator (*)(const void*)>(fn("xcb_setup_roots_iterator"));
  auto next = reinterpret_cast<void (*)(XcbScreenIterator*)>(fn("xcb_screen_next"));
  auto getProperty =
      reinterpret_cast<XcbCookie (*)(void*, std::uint8_t, std::uint32_t, std::uint32_t,
                                     std::uint32_t, std::uint32_t, std::uint32_t)>(
          fn("xcb_get_property"));
  auto reply = reinterpret_cast<void* (*)(void*, XcbCookie, void**)>(fn("xcb_get_property_reply"));
  auto value = reinterpret_cast<const char* (*)(const void*)>(fn("xcb_get_property_value"));
  auto length = reinterpret_cast<int (*)(const void*)>(fn("xcb_get_property_value_length"));
  bool ok = false;
  if (connect && hasError && disconnect && setup && roots && next && getProperty && reply &&
      value && length) {
    int number = 0;
    void* c = connect(nullptr, &number);
    if (c && !hasError(c)) {
      XcbScreenIterator it = roots(setup(c));
      for (int i = 0; i < number && it.rem > 1; ++i) next(&it);
      if (it.rem > 0 && it.data) {
        const XcbScreen& s = *it.data;
        *dpi = s.widthMm ? s.widthPx * 25.4 / s.widthMm : 96;
        constexpr std::uint32_t kResourceManager = 23, kString = 31;  // predefined atoms
        void* r =
            reply(c, getProperty(c, 0, s.root, kResourceManager, kString, 0, 1 << 16), nullptr);
        if (r) {
          QByteArray resources(value(r), length(r));
          *xftDpi = resources.startsWith("Xft.dpi:") || resources.contains("\nXft.dpi:");
          std::free(r);
        }
        ok = true;
      }
    }
    if (c) disconnect(c);
  }
  dlclose(lib);
  return ok;
}

}  // namespace

void HostFollowDesktopResolution() {
  QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  bool x11 = platform.startsWith("xcb") ||
             (platform.isEmpty() && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"));
  if (!x11 || qEnvironmentVariableIsEmpty("DISPLAY")) return;
  // What the user set wins.
  for (const char* set : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_ENABLE_HIGHDPI_SCALING",
                          "QT_USE_PHYSICAL_DPI", "QT_FONT_DPI"})
    if (qEnvironmentVariableIsSet(set)) return;
  bool xftDpi = false;
  double dpi = 96;
  if (!ReadX(&xftDpi, &dpi) || xftDpi) return;
  double scale = HostScaleForResolution(dpi);
  if (scale > 1) qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
}
