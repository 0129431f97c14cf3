#pragma once
// What the window layer needs beyond the platform interface: direct access to a bitmap's
// pixels (to flush them to the host) and device contexts onto a shared surface with their own
// origin and visible region (window and client DCs of one window share its surface).
#include <cstdint>

#include "Gdi.h"

// A bitmap's pixels as they lie in memory: 32-bit words 0xAARRGGBB (bytes B, G, R, A), rows
// top-down, stride in bytes. Monochrome bitmaps are held the same way, each pixel 0x000000 or
// 0xFFFFFF. Valid until the bitmap is deleted.
struct GdiPixels {
  std::uint32_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int strideBytes = 0;
  bool monochrome = false;
};
bool GdiGetBitmapPixels(HBITMAP bitmap, GdiPixels* pixels);

// A 32-bit top-down bitmap (a window surface, a canvas bitmap).
HBITMAP GdiCreateBitmap32(int width, int height);

// A DC drawing onto surface (which need not be free: any number of such DCs may share one).
// Device point (0, 0) lies at origin in the surface, and nothing outside visible (surface
// coordinates) is ever touched. DeleteDC releases it; the surface is not deleted with it.
HDC GdiCreateSurfaceDC(HBITMAP surface, POINT origin, const RECT& visible);
// Moves such a DC's origin and visible region (a window moved or its update region changed);
// visibleRgn, in surface coordinates, may be 0 for the whole of visible.
BOOL GdiSetSurfaceDCArea(HDC dc, POINT origin, const RECT& visible, HRGN visibleRgn);
// Puts a DC back into its freshly created state (default objects, colours, modes, origins,
// no clip region, no saved states), as a window DC is when it is handed out again.
BOOL GdiResetDC(HDC dc);

// The screen size GetDeviceCaps reports for display and memory DCs (HORZRES / VERTRES); the
// host's primary screen when the window layer sets it.
void GdiSetScreenSize(int width, int height);

// Number of live objects of one type (OBJ_*), or of all types with 0; for leak tests.
int GdiObjectCount(DWORD type);
