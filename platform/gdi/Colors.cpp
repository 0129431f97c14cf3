#include "Colors.h"

#include <array>

namespace {

// The classic "Windows Standard" scheme.
constexpr std::array<COLORREF, COLOR_ENDCOLORS + 1> kClassic = {
    RGB(192, 192, 192),  // scroll bar
    RGB(0, 128, 128),    // desktop
    RGB(0, 0, 128),      // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(192, 192, 192),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(192, 192, 192),  // active border
    RGB(192, 192, 192),  // inactive border
    RGB(128, 128, 128),  // application workspace
    RGB(0, 0, 128),      // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(192, 192, 192),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(192, 192, 192),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(0, 0, 0),        // 3D dark shadow
    RGB(192, 192, 192),  // 3D light
    RGB(0, 0, 0),        // info text
    RGB(255, 255, 225),  // info background
    RGB(0, 0, 0),        // (unused index 25)
    RGB(0, 0, 128),      // hot-tracked item
    RGB(166, 202, 240),  // gradient of the active caption
    RGB(192, 192, 192),  // gradient of the inactive caption
    RGB(0, 0, 128),      // menu highlight
    RGB(192, 192, 192),  // menu bar
};

std::array<COLORREF, COLOR_ENDCOLORS + 1>& Table() {
  static std::array<COLORREF, COLOR_ENDCOLORS + 1> table = kClassic;
  return table;
}

}  // namespace

COLORREF GetSysColor(int index) {
  if (index < 0 || index > COLOR_ENDCOLORS) return 0;
  return Table()[index];
}

BOOL SetSysColors(int count, const int* indexes, const COLORREF* values) {
  if (count < 0 || (count > 0 && (!indexes || !values))) return FALSE;
  for (int i = 0; i < count; ++i) {
    if (indexes[i] >= 0 && indexes[i] <= COLOR_ENDCOLORS)
      Table()[indexes[i]] = values[i] & 0xFFFFFF;
  }
  return TRUE;
}

void ResetSysColors() { Table() = kClassic; }

TColor ColorToRGB(TColor color) {
  if (color & 0x80000000u) return GetSysColor(int(color & 0xFF));
  return color;
}
