#include "Region.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace gdi {
namespace {

using Xs = std::vector<std::pair<int, int>>;

struct Band {
  int top, bottom;
  Xs xs;
};

std::vector<Band> ToBands(const std::vector<RECT>& rects) {
  std::vector<Band> bands;
  for (const RECT& r : rects) {
    if (bands.empty() || bands.back().top != r.top) bands.push_back({r.top, r.bottom, {}});
    bands.back().xs.push_back({r.left, r.right});
  }
  return bands;
}

// Appends band [top, bottom) with xs, merging it into the previous band when it continues it.
void Emit(std::vector<Band>& out, int top, int bottom, Xs&& xs) {
  if (xs.empty() || top >= bottom) return;
  if (!out.empty() && out.back().bottom == top && out.back().xs == xs) {
    out.back().bottom = bottom;
    return;
  }
  out.push_back({top, bottom, std::move(xs)});
}

std::vector<RECT> FromBands(const std::vector<Band>& bands) {
  std::vector<RECT> rects;
  for (const Band& b : bands)
    for (auto [x0, x1] : b.xs) rects.push_back({x0, b.top, x1, b.bottom});
  return rects;
}

bool Apply(Region::Op op, bool a, bool b) {
  switch (op) {
    case Region::And: return a && b;
    case Region::Or: return a || b;
    case Region::Xor: return a != b;
    case Region::Diff: return a && !b;
  }
  return false;
}

// Boolean combination of two sorted lists of disjoint intervals.
Xs CombineXs(const Xs& a, const Xs& b, Region::Op op) {
  std::vector<int> edges;
  edges.reserve(2 * (a.size() + b.size()));
  for (auto [x0, x1] : a) edges.insert(edges.end(), {x0, x1});
  for (auto [x0, x1] : b) edges.insert(edges.end(), {x0, x1});
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  Xs out;
  std::size_t ia = 0, ib = 0;
  for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
    int x = edges[i];
    while (ia < a.size() && a[ia].second <= x) ++ia;
    while (ib < b.size() && b[ib].second <= x) ++ib;
    bool inA = ia < a.size() && a[ia].first <= x;
    bool inB = ib < b.size() && b[ib].first <= x;
    if (!Apply(op, inA, inB)) continue;
    if (!out.empty() && out.back().second == x) out.back().second = edges[i + 1];
    else out.push_back({x, edges[i + 1]});
  }
  return out;
}

Xs MergeXs(Xs xs) {
  std::sort(xs.begin(), xs.end());
  Xs out;
  for (auto [x0, x1] : xs) {
    if (x0 >= x1) continue;
    if (!out.empty() && x0 <= out.back().second)
      out.back().second = std::max(out.back().second, x1);
    else out.push_back({x0, x1});
  }
  return out;
}

}  // namespace

Region::Region(const RECT& r) {
  if (r.left < r.right && r.top < r.bottom) rects_.push_back(r);
}

Region Region::FromRects(const std::vector<RECT>& rects) {
  std::vector<int> ys;
  for (const RECT& r : rects)
    if (r.left < r.right && r.top < r.bottom) ys.insert(ys.end(), {r.top, r.bottom});
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  std::vector<Band> bands;
  for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
    Xs xs;
    for (const RECT& r : rects)
      if (r.left < r.right && r.top <= ys[i] && r.bottom >= ys[i + 1])
        xs.push_back({r.left, r.right});
    Emit(bands, ys[i], ys[i + 1], MergeXs(std::move(xs)));
  }
  Region out;
  out.rects_ = FromBands(bands);
  return out;
}

Region Region::FromSpans(std::vector<RowSpan> spans) {
  std::sort(spans.begin(), spans.end(), [](const RowSpan& a, const RowSpan& b) {
    return a.y != b.y ? a.y < b.y : a.x0 < b.x0;
  });
  std::vector<Band> bands;
  for (std::size_t i = 0; i < spans.size();) {
    int y = spans[i].y;
    Xs xs;
    for (; i < spans.size() && spans[i].y == y; ++i) xs.push_back({spans[i].x0, spans[i].x1});
    Emit(bands, y, y + 1, MergeXs(std::move(xs)));
  }
  Region out;
  out.rects_ = FromBands(bands);
  return out;
}

RECT Region::Box() const {
  if (rects_.empty()) return {};
  RECT box = rects_.front();
  for (const RECT& r : rects_) {
    box.left = std::min(box.left, r.left);
    box.right = std::max(box.right, r.right);
    box.bottom = std::max(box.bottom, r.bottom);
  }
  return box;
}

int Region::Kind() const {
  if (rects_.empty()) return 1;  // NULLREGION
  return rects_.size() == 1 ? 2 : 3;
}

bool Region::Contains(int x, int y) const {
  for (const RECT& r : rects_) {
    if (r.top > y) break;
    if (y < r.bottom && x >= r.left && x < r.right) return true;
  }
  return false;
}

bool Region::Intersects(const RECT& q) const {
  for (const RECT& r : rects_) {
    if (r.top >= q.bottom) break;
    if (r.bottom > q.top && r.left < q.right && r.right > q.left) return true;
  }
  return false;
}

void Region::Offset(int dx, int dy) {
  // Saturating, so far-off regions stay well-formed instead of wrapping round.
  static constexpr std::int64_t lim = 1 << 30;
  auto add = [](LONG v, int d) {
    return LONG(std::clamp<std::int64_t>(std::int64_t(v) + d, -lim, lim));
  };
  for (RECT& r : rects_) {
    r.left = add(r.left, dx);
    r.right = add(r.right, dx);
    r.top = add(r.top, dy);
    r.bottom = add(r.bottom, dy);
  }
  rects_.erase(std::remove_if(rects_.begin(), rects_.end(),
                              [](const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }),
               rects_.end());
}

Region Region::Combine(const Region& a, const Region& b, Op op) {
  std::vector<Band> ba = ToBands(a.rects_), bb = ToBands(b.rects_);
  std::vector<int> ys;
  for (const Band& x : ba) ys.insert(ys.end(), {x.top, x.bottom});
  for (const Band& x : bb) ys.insert(ys.end(), {x.top, x.bottom});
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  std::vector<Band> out;
  const Xs none;
  std::size_t ia = 0, ib = 0;
  for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
    int y0 = ys[i], y1 = ys[i + 1];
    while (ia < ba.size() && ba[ia].bottom <= y0) ++ia;
    while (ib < bb.size() && bb[ib].bottom <= y0) ++ib;
    const Xs& xa = ia < ba.size() && ba[ia].top <= y0 ? ba[ia].xs : none;
    const Xs& xb = ib < bb.size() && bb[ib].top <= y0 ? bb[ib].xs : none;
    Emit(out, y0, y1, CombineXs(xa, xb, op));
  }
  Region r;
  r.rects_ = FromBands(out);
  return r;
}

}  // namespace gdi
