#pragma once
// The path an inside-frame pen follows around a shape: one rule for the raster engine and the
// vector page, so the screen and the printed page cannot disagree. Here, below both, because
// the host draws the page and the graphics layer the screen.
#include "WinTypes.h"

struct PenPathRect {
  double left, top, right, bottom;
};

// The rectangle's edges (right and bottom exclusive) moved in by half the pen, so that all of
// a pen of width keeps inside r; a side shorter than the pen puts the path on its middle.
inline PenPathRect InsideFramePath(const RECT& r, int width) {
  double half = width / 2.0;
  PenPathRect p{r.left + half, r.top + half, r.right - half, r.bottom - half};
  if (p.right < p.left) p.right = p.left = (r.left + r.right) / 2.0;
  if (p.bottom < p.top) p.bottom = p.top = (r.top + r.bottom) / 2.0;
  return p;
}
