#include "PixelPicture.h"

#include <algorithm>
#include <sstream>

#include "GdiSurface.h"

Legend BasicLegend() {
  return {{'.', 0xFFFFFF}, {'#', 0x000000}, {'r', 0x0000FF}, {'g', 0x008000},
          {'l', 0x00FF00}, {'b', 0xFF0000}, {'y', 0x00FFFF}, {'c', 0xFFFF00},
          {'m', 0xFF00FF}, {'s', 0xC0C0C0}, {'d', 0x808080}};
}

Legend With(Legend legend, std::initializer_list<std::pair<char, TColor>> more) {
  legend.insert(legend.end(), more.begin(), more.end());
  return legend;
}

Legend SystemLegend(TColor fill) {
  return {{'.', fill},         {'f', clBtnFace}, {'s', clBtnShadow}, {'h', clBtnHighlight},
          {'d', cl3DDkShadow}, {'l', cl3DLight}, {'t', clBtnText},   {'w', clWindow}};
}

char LetterOf(COLORREF c, const Legend& legend) {
  for (const auto& [letter, color] : legend)
    if (ColorToRGB(color) == c) return letter;
  return '*';
}

PixelCanvas::PixelCanvas(int width, int height, TColor fill, bool mono) : w_(width), h_(height) {
  dc_ = CreateCompatibleDC(0);
  // A memory DC starts with a 1 x 1 monochrome bitmap, so the colour one is made explicitly.
  bmp_ = mono ? CreateBitmap(width, height, 1, 1, nullptr) : GdiCreateBitmap32(width, height);
  old_ = SelectObject(dc_, bmp_);
  Clear(fill);
}

PixelCanvas::~PixelCanvas() {
  SelectObject(dc_, old_);
  DeleteDC(dc_);
  DeleteObject(bmp_);
}

COLORREF PixelCanvas::At(int x, int y) const {
  GdiPixels px;
  if (!GdiGetBitmapPixels(bmp_, &px) || x < 0 || y < 0 || x >= px.width || y >= px.height)
    return CLR_INVALID;
  std::uint32_t p = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const char*>(px.bits) +
                                                           std::ptrdiff_t(y) * px.strideBytes)[x];
  return RGB(BYTE(p >> 16), BYTE(p >> 8), BYTE(p));
}

void PixelCanvas::Clear(TColor fill) {
  HBRUSH b = CreateSolidBrush(ColorToRGB(fill));
  RECT r{0, 0, w_, h_};
  HRGN none = 0;
  SelectClipRgn(dc_, none);
  FillRect(dc_, &r, b);
  DeleteObject(b);
}

std::string PixelCanvas::Row(int y, const Legend& legend) const {
  std::string s;
  for (int x = 0; x < w_; ++x) s += LetterOf(At(x, y), legend);
  return s;
}

std::string PixelCanvas::Column(int x, const Legend& legend) const {
  std::string s;
  for (int y = 0; y < h_; ++y) s += LetterOf(At(x, y), legend);
  return s;
}

std::vector<std::string> PixelCanvas::Rows(const Legend& legend) const {
  std::vector<std::string> rows;
  for (int y = 0; y < h_; ++y) rows.push_back(Row(y, legend));
  return rows;
}

std::string PixelCanvas::Picture(const Legend& legend) const {
  std::string out;
  for (int y = 0; y < h_; ++y) out += Row(y, legend) + '\n';
  return out;
}

namespace {

template <class Match>
RECT BoxOf(const PixelCanvas& canvas, const RECT& area, Match match) {
  RECT box{area.right, area.bottom, area.left, area.top};
  for (int y = std::max<int>(area.top, 0); y < std::min<int>(area.bottom, canvas.height()); ++y)
    for (int x = std::max<int>(area.left, 0); x < std::min<int>(area.right, canvas.width()); ++x)
      if (match(canvas.At(x, y))) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  if (box.right <= box.left) return RECT{};
  return box;
}

}  // namespace

RECT PixelCanvas::InkBox(TColor background) const { return InkBox(background, RECT{0, 0, w_, h_}); }

RECT PixelCanvas::InkBox(TColor background, const RECT& area) const {
  const COLORREF bg = ColorToRGB(background);
  return BoxOf(*this, area, [bg](COLORREF c) { return c != bg; });
}

RECT PixelCanvas::Find(TColor color) const {
  const COLORREF want = ColorToRGB(color);
  return BoxOf(*this, RECT{0, 0, w_, h_}, [want](COLORREF c) { return c == want; });
}

int PixelCanvas::Count(TColor color) const {
  const COLORREF want = ColorToRGB(color);
  int n = 0;
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) n += At(x, y) == want;
  return n;
}

int PixelCanvas::Darkest() const {
  int darkest = 765;
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) {
      const COLORREF c = At(x, y);
      darkest = std::min(darkest, GetRValue(c) + GetGValue(c) + GetBValue(c));
    }
  return darkest;
}

::testing::AssertionResult LooksLike(const PixelCanvas& canvas, const Legend& legend,
                                     const std::vector<std::string>& rows, POINT origin) {
  std::size_t width = 0;
  for (const auto& r : rows) width = std::max(width, r.size());
  std::vector<std::string> got;
  bool ok = true;
  for (std::size_t y = 0; y < rows.size(); ++y) {
    std::string line;
    for (std::size_t x = 0; x < width; ++x) {
      const COLORREF c = canvas.At(origin.x + int(x), origin.y + int(y));
      line += c == CLR_INVALID ? ' ' : LetterOf(c, legend);
    }
    const std::string& want = rows[y];
    ok = ok && want.size() == line.size();
    for (std::size_t x = 0; ok && x < want.size(); ++x)
      ok = want[x] == '?' || (line[x] != ' ' && want[x] == line[x]);
    got.push_back(line);
  }
  const bool whole = origin.x == 0 && origin.y == 0;
  if (whole && (int(rows.size()) != canvas.height() || int(width) != canvas.width())) ok = false;
  if (ok) return ::testing::AssertionSuccess();

  // A whole-canvas comparison prints all the canvas, so a picture of the wrong size shows why.
  if (whole) got = canvas.Rows(legend);
  std::size_t shown = std::max<std::size_t>(width, 8);
  std::ostringstream msg;
  msg << "pixels differ (at " << origin.x << ", " << origin.y << ")\n   expected"
      << std::string(shown - 8, ' ') << "   actual\n";
  for (std::size_t y = 0; y < std::max(rows.size(), got.size()); ++y) {
    const std::string want = y < rows.size() ? rows[y] : "";
    const std::string have = y < got.size() ? got[y] : "";
    bool same = want.size() == have.size();
    for (std::size_t x = 0; same && x < want.size(); ++x)
      same = want[x] == '?' || want[x] == have[x];
    msg << "   " << want << std::string(shown > want.size() ? shown - want.size() : 0, ' ') << "   "
        << have << (same ? "" : "   <") << '\n';
  }
  return ::testing::AssertionFailure() << msg.str();
}

::testing::AssertionResult SamePixels(const PixelCanvas& a, const PixelCanvas& b) {
  if (a.width() != b.width() || a.height() != b.height())
    return ::testing::AssertionFailure() << "sizes differ";
  int diffs = 0, fx = -1, fy = -1;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.At(x, y) != b.At(x, y) && !diffs++) fx = x, fy = y;
  if (!diffs) return ::testing::AssertionSuccess();
  auto msg = ::testing::AssertionFailure();
  msg << diffs << " pixels differ, first at (" << fx << ", " << fy << ")\n";
  if (a.width() <= 80 && a.height() <= 60)
    msg << "first:\n" << a.Picture() << "second:\n" << b.Picture();
  return msg;
}

DistinctSystemColors::DistinctSystemColors() {
  const int idx[] = {COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW,
                     COLOR_3DLIGHT, COLOR_BTNTEXT,   COLOR_WINDOW};
  const COLORREF val[] = {kFace, kShadow, kHighlight, kDkShadow, kLight, kText, kWindow};
  SetSysColors(7, idx, val);
}

DistinctSystemColors::~DistinctSystemColors() { ResetSysColors(); }

std::string RectText(const RECT& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
         std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}
