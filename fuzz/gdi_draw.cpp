// The raster engine under arbitrary calls: coordinates anywhere in the 32-bit range, any pen,
// brush, raster operation, extent sign and clip. Nothing may fault or take unbounded time, and
// no pixel outside the clip region may ever change.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Gdi.h"
#include "GdiSurface.h"

namespace {

constexpr int W = 24, H = 16;

struct Reader {
  const uint8_t* d;
  size_t n, i = 0;
  uint8_t Byte() { return i < n ? d[i++] : 0; }
  int Int() {
    // Mostly small, sometimes far off or extreme.
    uint8_t k = Byte();
    switch (k % 8) {
      case 0: {
        uint32_t v = 0;
        for (int b = 0; b < 4; ++b) v = (v << 8) | Byte();
        return int(v);
      }
      case 1: return int(int8_t(Byte())) * 100000;
      default: return int(int8_t(Byte())) % 40;
    }
  }
};

std::vector<std::uint32_t> Snapshot(HBITMAP bmp) {
  GdiPixels px;
  GdiGetBitmapPixels(bmp, &px);
  std::vector<std::uint32_t> out;
  for (int y = 0; y < px.height; ++y)
    for (int x = 0; x < px.width; ++x)
      out.push_back(reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const char*>(px.bits) +
                                                           std::ptrdiff_t(y) * px.strideBytes)[x] &
                    0xFFFFFF);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in{data, size};
  bool mono = in.Byte() & 1;
  HBITMAP bmp = mono ? CreateBitmap(W, H, 1, 1, nullptr) : GdiCreateBitmap32(W, H);
  HDC dc = CreateCompatibleDC(0);
  SelectObject(dc, bmp);
  HBITMAP srcBmp = GdiCreateBitmap32(7, 5);
  HDC src = CreateCompatibleDC(0);
  SelectObject(src, srcBmp);
  PatBlt(src, 0, 0, 7, 5, WHITENESS);
  SetPixel(src, 1, 1, RGB(200, 10, 10));
  // A clip that leaves a known part of the bitmap out of reach.
  RECT keep{in.Byte() % W, in.Byte() % H, in.Byte() % (W + 1), in.Byte() % (H + 1)};
  ExcludeClipRect(dc, keep.left, keep.top, keep.right, keep.bottom);
  PatBlt(dc, 0, 0, W, H, WHITENESS);
  std::vector<std::uint32_t> before = Snapshot(bmp);
  std::vector<HGDIOBJ> made;
  for (int step = 0; step < 24 && in.i < in.n; ++step) {
    int a = in.Int(), b = in.Int(), c = in.Int(), d = in.Int();
    switch (in.Byte() % 20) {
      case 0: {
        HPEN p = CreatePen(in.Byte() % 7, in.Byte() % 9, RGB(in.Byte(), in.Byte(), in.Byte()));
        made.push_back(p);
        SelectObject(dc, p);
        break;
      }
      case 1: {
        uint8_t k = in.Byte();
        HBRUSH br = k % 3 == 0 ? CreateHatchBrush(k % 6, RGB(k, 0, 255 - k))
                               : CreateSolidBrush(RGB(k, k / 2, 0));
        made.push_back(br);
        SelectObject(dc, br);
        break;
      }
      case 2: SetROP2(dc, 1 + in.Byte() % 16); break;
      case 3:
        MoveToEx(dc, a, b, nullptr);
        LineTo(dc, c, d);
        break;
      case 4: Rectangle(dc, a, b, c, d); break;
      case 5: Ellipse(dc, a, b, c, d); break;
      case 6: RoundRect(dc, a, b, c, d, in.Int(), in.Int()); break;
      case 7: {
        POINT pts[5] = {{a, b}, {c, d}, {in.Int(), in.Int()}, {in.Int(), in.Int()}, {a, d}};
        SetPolyFillMode(dc, 1 + in.Byte() % 2);
        Polygon(dc, pts, 3 + in.Byte() % 3);
        break;
      }
      case 8: PatBlt(dc, a, b, c, d, MAKEROP3(in.Byte()) & 0x00FF0000); break;
      case 9: BitBlt(dc, a, b, c, d, src, in.Int(), in.Int(), MAKEROP3(in.Byte())); break;
      case 10:
        StretchBlt(dc, a, b, c, d, src, in.Int(), in.Int(), in.Int(), in.Int(),
                   MAKEROP3(in.Byte()));
        break;
      case 11: TransparentBlt(dc, a, b, c, d, src, 0, 0, 7, 5, RGB(255, 255, 255)); break;
      case 12: {
        TRIVERTEX v[2] = {{a, b, 0xFF00, 0, 0x8000, 0}, {c, d, 0, 0xFF00, 0, 0}};
        GRADIENT_RECT r{0, 1};
        GradientFill(dc, v, 2, &r, 1, in.Byte() % 2);
        break;
      }
      case 13: SetViewportOrgEx(dc, a, b, nullptr); break;
      case 14: IntersectClipRect(dc, a, b, c, d); break;
      case 15: {
        int level = SaveDC(dc);
        ExcludeClipRect(dc, a, b, c, d);
        SetPixel(dc, in.Int(), in.Int(), RGB(0, 0, 0));
        RestoreDC(dc, level);
        break;
      }
      case 16: {
        RECT r{a, b, c, d};
        FillRect(dc, &r, HBRUSH(GetStockObject(BLACK_BRUSH)));
        FrameRect(dc, &r, HBRUSH(GetStockObject(GRAY_BRUSH)));
        InvertRect(dc, &r);
        DrawFocusRect(dc, &r);
        break;
      }
      case 17: {
        HRGN r = CreateRectRgn(a, b, c, d);
        FrameRgn(dc, r, HBRUSH(GetStockObject(BLACK_BRUSH)), in.Int(), in.Int());
        InvertRgn(dc, r);
        DeleteObject(r);
        break;
      }
      case 18: {
        POINT pts[4] = {{a, b}, {c, d}, {in.Int(), in.Int()}, {in.Int(), in.Int()}};
        Polyline(dc, pts, 2 + in.Byte() % 3);
        break;
      }
      case 19: {
        SetStretchBltMode(dc, 1 + in.Byte() % 4);
        MaskBlt(dc, a, b, c % 16, d % 16, src, in.Int(), in.Int(), 0, 0, 0, SRCCOPY);
        break;
      }
    }
  }
  // The excluded part must be exactly as it was.
  std::vector<std::uint32_t> after = Snapshot(bmp);
  for (int y = keep.top; y < keep.bottom; ++y)
    for (int x = keep.left; x < keep.right; ++x)
      if (before[std::size_t(y * W + x)] != after[std::size_t(y * W + x)]) __builtin_trap();
  SelectObject(dc, GetStockObject(BLACK_PEN));
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  for (HGDIOBJ o : made) DeleteObject(o);
  DeleteDC(dc);
  DeleteDC(src);
  DeleteObject(bmp);
  DeleteObject(srcBmp);
  return 0;
}
