#include "PixelGrid.h"

#include <algorithm>
#include <sstream>

#include "GdiSurface.h"

TestCanvas::TestCanvas(int width, int height, COLORREF fill, bool mono) : w_(width), h_(height) {
  dc_ = CreateCompatibleDC(0);
  bmp_ = mono ? CreateBitmap(width, height, 1, 1, nullptr) : GdiCreateBitmap32(width, height);
  old_ = SelectObject(dc_, bmp_);
  Clear(fill);
}

TestCanvas::~TestCanvas() {
  SelectObject(dc_, old_);
  DeleteDC(dc_);
  DeleteObject(bmp_);
}

COLORREF TestCanvas::At(int x, int y) const {
  GdiPixels px;
  if (!GdiGetBitmapPixels(bmp_, &px) || x < 0 || y < 0 || x >= px.width || y >= px.height)
    return CLR_INVALID;
  std::uint32_t p = reinterpret_cast<const std::uint32_t*>(
      reinterpret_cast<const char*>(px.bits) + std::ptrdiff_t(y) * px.strideBytes)[x];
  return RGB(BYTE(p >> 16), BYTE(p >> 8), BYTE(p));
}

void TestCanvas::Clear(COLORREF fill) {
  HBRUSH b = CreateSolidBrush(fill);
  RECT r{0, 0, w_, h_};
  HRGN none = 0;
  SelectClipRgn(dc_, none);
  FillRect(dc_, &r, b);
  DeleteObject(b);
}

char PixelChar(COLORREF c) {
  switch (c) {
    case 0xFFFFFF: return '.';
    case 0x000000: return '#';
    case 0x0000FF: return 'r';
    case 0x008000: return 'g';
    case 0x00FF00: return 'l';
    case 0xFF0000: return 'b';
    case 0x00FFFF: return 'y';
    case 0xFFFF00: return 'c';
    case 0xFF00FF: return 'm';
    case 0xC0C0C0: return 's';
    case 0x808080: return 'd';
    default: return '*';
  }
}

std::string TestCanvas::Picture() const {
  std::string out;
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) out += PixelChar(At(x, y));
    out += '\n';
  }
  return out;
}

RECT TestCanvas::InkBox(COLORREF bg) const {
  RECT box{w_, h_, 0, 0};
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x)
      if (At(x, y) != bg) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  if (box.right == 0) return RECT{};
  return box;
}

int TestCanvas::Count(COLORREF color) const {
  int n = 0;
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) n += At(x, y) == color;
  return n;
}

::testing::AssertionResult PictureIs(const TestCanvas& canvas, const std::vector<std::string>& rows) {
  bool ok = int(rows.size()) == canvas.height();
  std::string actual = canvas.Picture();
  std::istringstream lines(actual);
  std::string line;
  for (int y = 0; ok && std::getline(lines, line); ++y) {
    const std::string& want = rows[std::size_t(y)];
    if (int(want.size()) != canvas.width()) ok = false;
    for (int x = 0; ok && x < canvas.width(); ++x)
      if (want[std::size_t(x)] != '?' && want[std::size_t(x)] != line[std::size_t(x)]) ok = false;
  }
  if (ok) return ::testing::AssertionSuccess();
  std::ostringstream msg;
  msg << "pixels differ\n   expected" << std::string(std::max(0, canvas.width() - 8), ' ')
      << "   actual\n";
  std::istringstream again(actual);
  for (int y = 0; y < std::max<int>(int(rows.size()), canvas.height()); ++y) {
    std::string got;
    std::getline(again, got);
    std::string want = y < int(rows.size()) ? rows[std::size_t(y)] : "";
    msg << "   " << want << std::string(std::max<int>(0, canvas.width() - int(want.size())), ' ')
        << "   " << got << (want == got ? "" : "   <") << '\n';
  }
  return ::testing::AssertionFailure() << msg.str();
}

::testing::AssertionResult SamePixels(const TestCanvas& a, const TestCanvas& b) {
  if (a.width() != b.width() || a.height() != b.height())
    return ::testing::AssertionFailure() << "sizes differ";
  int diffs = 0, fx = -1, fy = -1;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.At(x, y) != b.At(x, y)) {
        if (!diffs++) fx = x, fy = y;
      }
  if (!diffs) return ::testing::AssertionSuccess();
  auto msg = ::testing::AssertionFailure();
  msg << diffs << " pixels differ, first at (" << fx << ", " << fy << ")\n";
  if (a.width() <= 80 && a.height() <= 60) msg << "first:\n" << a.Picture() << "second:\n" << b.Picture();
  return msg;
}
