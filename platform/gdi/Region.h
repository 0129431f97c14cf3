#pragma once
// Regions as banded rectangle lists: disjoint rectangles sorted by top then left, rectangles
// of one band sharing top and bottom, vertically adjacent equal bands merged. Every operation
// keeps that form, so equal areas have equal lists.
#include <vector>

#include "WinTypes.h"

namespace gdi {

class Region {
 public:
  enum Op { And = 1, Or = 2, Xor = 3, Diff = 4 };

  Region() = default;
  explicit Region(const RECT& r);
  static Region FromRects(const std::vector<RECT>& rects);  // any rectangles, overlapping or not
  // Rows of spans [x0, x1) (one entry per row y), as a scan conversion produces them.
  struct RowSpan {
    int y, x0, x1;
  };
  static Region FromSpans(std::vector<RowSpan> spans);

  const std::vector<RECT>& Rects() const { return rects_; }
  bool Empty() const { return rects_.empty(); }
  RECT Box() const;
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Kind() const;
  bool Contains(int x, int y) const;
  bool Intersects(const RECT& r) const;
  void Offset(int dx, int dy);
  static Region Combine(const Region& a, const Region& b, Op op);
  friend bool operator==(const Region&, const Region&) = default;

 private:
  std::vector<RECT> rects_;
};

}  // namespace gdi
