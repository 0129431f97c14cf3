// Device-independent bitmaps in and out: 1, 4, 8, 16 (5-5-5), 24 and 32 bits per pixel.
#include <algorithm>
#include <cstring>

#include "GdiInternal.h"
#include "GdiSurface.h"

namespace gdi {
namespace {

struct DibLayout {
  int width = 0, height = 0;
  int bpp = 0;
  bool bottomUp = true;
  int stride = 0;  // bytes per row
  int colors = 0;  // colour table entries
  const RGBQUAD* table = nullptr;
};

bool Layout(const BITMAPINFO* info, DibLayout* out) {
  if (!info) return false;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biWidth > (1 << 20) ||
      std::abs(std::int64_t(h.biHeight)) > (1 << 20))
    return false;
  if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && h.biBitCount == 32))
    return false;
  switch (h.biBitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: break;
    default: return false;
  }
  out->width = h.biWidth;
  out->height = std::abs(h.biHeight);
  out->bpp = h.biBitCount;
  out->bottomUp = h.biHeight > 0;
  out->stride = ((out->width * out->bpp + 31) / 32) * 4;
  out->colors = out->bpp <= 8 ? (h.biClrUsed ? int(std::min<DWORD>(h.biClrUsed, 1u << out->bpp))
                                             : 1 << out->bpp)
                              : 0;
  out->table = info->bmiColors;
  return std::int64_t(out->width) * out->height <= (std::int64_t(1) << 28);
}

std::uint32_t TableColor(const DibLayout& l, int index) {
  if (index >= l.colors) return 0;
  const RGBQUAD& q = l.table[index];
  return (std::uint32_t(q.rgbRed) << 16) | (std::uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
}

// One DIB row as 0xAARRGGBB pixels.
void ReadRow(const DibLayout& l, const BYTE* row, std::uint32_t* out) {
  for (int x = 0; x < l.width; ++x) {
    switch (l.bpp) {
      case 1: out[x] = TableColor(l, (row[x / 8] >> (7 - x % 8)) & 1); break;
      case 4: out[x] = TableColor(l, (row[x / 2] >> ((x % 2) ? 0 : 4)) & 15); break;
      case 8: out[x] = TableColor(l, row[x]); break;
      case 16: {
        unsigned v = unsigned(row[2 * x]) | (unsigned(row[2 * x + 1]) << 8);
        unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        out[x] =
            (((r << 3) | (r >> 2)) << 16) | (((g << 3) | (g >> 2)) << 8) | ((b << 3) | (b >> 2));
        break;
      }
      case 24:
        out[x] = (std::uint32_t(row[3 * x + 2]) << 16) | (std::uint32_t(row[3 * x + 1]) << 8) |
                 row[3 * x];
        break;
      case 32: std::memcpy(&out[x], row + 4 * x, 4); break;
    }
  }
}

// A top-down 32-bit bitmap holding scan lines [start, start + lines) of the DIB.
HBITMAP DibToBitmap(const DibLayout& l, const void* bits, UINT start, UINT lines) {
  HBITMAP bmp = GdiCreateBitmap32(l.width, l.height);
  BitmapObj* b = LookupAs<BitmapObj>(bmp, OBJ_BITMAP);
  if (!b) return 0;
  Surface s = b->Surf();
  const BYTE* src = static_cast<const BYTE*>(bits);
  for (UINT k = 0; k < lines; ++k) {
    int scan = int(start + k);  // scan 0 is the first row stored
    if (scan >= l.height) break;
    int y = l.bottomUp ? l.height - 1 - scan : scan;
    ReadRow(l, src + std::size_t(k) * std::size_t(l.stride), s.Row(y));
  }
  return bmp;
}

}  // namespace
}  // namespace gdi

using namespace gdi;

int SetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info,
              UINT) {
  BitmapObj* b = LookupAs<BitmapObj>(bitmap, OBJ_BITMAP);
  DibLayout l;
  if (!b || b->stock || !bits || !Layout(info, &l)) return 0;
  Surface s = b->Surf();
  std::vector<std::uint32_t> row(std::size_t(l.width));
  const BYTE* src = static_cast<const BYTE*>(bits);
  int done = 0;
  for (UINT k = 0; k < lines; ++k) {
    int scan = int(start + k);
    if (scan >= l.height) break;
    int y = l.bottomUp ? l.height - 1 - scan : scan;
    if (y >= s.height) continue;
    ReadRow(l, src + std::size_t(k) * std::size_t(l.stride), row.data());
    for (int x = 0; x < std::min(l.width, s.width); ++x)
      s.Row(y)[x] = s.mono ? ToPixel(PixelToColor(row[std::size_t(x)] & 0xFFFFFF), true)
                           : row[std::size_t(x)];
    ++done;
  }
  return done;
}

int GetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT) {
  BitmapObj* b = LookupAs<BitmapObj>(bitmap, OBJ_BITMAP);
  if (!b || !info) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (!bits) {
    // Only the format is asked for: the bitmap's own.
    if (h.biBitCount == 0) {
      h.biWidth = b->width;
      h.biHeight = b->height;
      h.biPlanes = 1;
      h.biBitCount = WORD(b->mono ? 1 : 32);
      h.biCompression = BI_RGB;
      h.biSizeImage = DWORD(((b->width * h.biBitCount + 31) / 32) * 4 * b->height);
      if (b->mono) {
        info->bmiColors[0] = RGBQUAD{};
        (&info->bmiColors[0])[1] = RGBQUAD{255, 255, 255, 0};
      }
    }
    return b->height;
  }
  if (h.biWidth != b->width || (h.biBitCount != 1 && h.biBitCount != 24 && h.biBitCount != 32))
    return 0;
  bool bottomUp = h.biHeight > 0;
  int stride = ((b->width * h.biBitCount + 31) / 32) * 4;
  if (h.biBitCount == 1) {
    info->bmiColors[0] = RGBQUAD{};
    (&info->bmiColors[0])[1] = RGBQUAD{255, 255, 255, 0};
  }
  Surface s = b->Surf();
  BYTE* out = static_cast<BYTE*>(bits);
  int done = 0;
  for (UINT k = 0; k < lines; ++k) {
    int scan = int(start + k);
    if (scan >= b->height) break;
    int y = bottomUp ? b->height - 1 - scan : scan;
    BYTE* row = out + std::size_t(k) * std::size_t(stride);
    std::memset(row, 0, std::size_t(stride));
    for (int x = 0; x < b->width; ++x) {
      std::uint32_t p = s.Row(y)[x];
      switch (h.biBitCount) {
        case 1:
          if (ToPixel(PixelToColor(p & 0xFFFFFF), true)) row[x / 8] |= BYTE(0x80 >> (x % 8));
          break;
        case 24:
          row[3 * x] = BYTE(p);
          row[3 * x + 1] = BYTE(p >> 8);
          row[3 * x + 2] = BYTE(p >> 16);
          break;
        case 32: std::memcpy(row + 4 * x, &p, 4); break;
      }
    }
    ++done;
  }
  return done;
}

int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info, UINT,
                  DWORD rop) {
  DibLayout l;
  if (!LookupDC(dc) || !bits || !Layout(info, &l)) return 0;
  HBITMAP bmp = DibToBitmap(l, bits, 0, UINT(l.height));
  if (!bmp) return 0;
  HDC mem = CreateCompatibleDC(0);
  SelectObject(mem, bmp);
  // A bottom-up DIB counts its source rows from its lower-left corner.
  int top = l.bottomUp ? l.height - ySrc - srcHeight : ySrc;
  BOOL ok =
      StretchBlt(dc, xDest, yDest, destWidth, destHeight, mem, xSrc, top, srcWidth, srcHeight, rop);
  DeleteDC(mem);
  DeleteObject(bmp);
  return ok ? std::abs(srcHeight) : 0;
}
