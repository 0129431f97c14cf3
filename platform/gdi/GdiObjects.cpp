// The object table, stock objects, pens, brushes, bitmaps, and the calls common to all objects.
#include <algorithm>
#include <cstring>
#include <limits>

#include "GdiInternal.h"
#include "GdiSurface.h"

namespace gdi {
namespace {

struct Slot {
  std::unique_ptr<GdiObject> obj;
  std::uint32_t gen = 0;
};

constexpr std::uint32_t kIndexBits = 20;
constexpr std::uint32_t kIndexMask = (1u << kIndexBits) - 1;
constexpr std::uint32_t kMaxGen = 0xFFE;  // keeps every handle below HGDI_ERROR

// Never destroyed: objects a program still holds at exit refer to each other, and tearing the
// table down in slot order would free some before the DCs that reference them.
std::vector<Slot>& Slots() {
  static auto* slots = new std::vector<Slot>;
  return *slots;
}
std::vector<std::uint32_t>& FreeSlots() {
  static auto* free = new std::vector<std::uint32_t>;
  return *free;
}

HGDIOBJ MakeStock(std::unique_ptr<GdiObject> obj) {
  obj->stock = true;
  return AddObject(std::move(obj));
}

HGDIOBJ StockPen(COLORREF color, UINT style) {
  auto p = std::make_unique<PenObj>();
  p->type = OBJ_PEN;
  p->color = color;
  p->style = style;
  p->width = 0;
  return MakeStock(std::move(p));
}

HGDIOBJ StockBrush(COLORREF color, UINT style) {
  auto b = std::make_unique<BrushObj>();
  b->type = OBJ_BRUSH;
  b->color = color;
  b->style = style;
  return MakeStock(std::move(b));
}

HGDIOBJ StockFont(const char16_t* face, LONG height, LONG weight, BYTE pitch) {
  auto f = std::make_unique<FontObj>();
  f->type = OBJ_FONT;
  f->lf.lfHeight = height;
  f->lf.lfWeight = weight;
  f->lf.lfPitchAndFamily = pitch;
  std::u16string_view name(face);
  std::copy(name.begin(), name.end(), f->lf.lfFaceName);
  return MakeStock(std::move(f));
}

struct Stock {
  HGDIOBJ objects[20] = {};
  HBITMAP bitmap = 0;
  HBRUSH sysBrushes[COLOR_ENDCOLORS + 1] = {};
};

Stock& Stocks() {
  static Stock* stock = [] {
    auto* s = new Stock;  // lives for the whole run, as the platform's stock objects do
    s->objects[WHITE_BRUSH] = StockBrush(0xFFFFFF, BS_SOLID);
    s->objects[LTGRAY_BRUSH] = StockBrush(0xC0C0C0, BS_SOLID);
    s->objects[GRAY_BRUSH] = StockBrush(0x808080, BS_SOLID);
    s->objects[DKGRAY_BRUSH] = StockBrush(0x404040, BS_SOLID);
    s->objects[BLACK_BRUSH] = StockBrush(0x000000, BS_SOLID);
    s->objects[NULL_BRUSH] = StockBrush(0, BS_NULL);
    s->objects[WHITE_PEN] = StockPen(0xFFFFFF, PS_SOLID);
    s->objects[BLACK_PEN] = StockPen(0x000000, PS_SOLID);
    s->objects[NULL_PEN] = StockPen(0, PS_NULL);
    s->objects[OEM_FIXED_FONT] = StockFont(u"Terminal", 12, FW_NORMAL, FIXED_PITCH | FF_MODERN);
    s->objects[ANSI_FIXED_FONT] = StockFont(u"Courier New", 13, FW_NORMAL, FIXED_PITCH | FF_MODERN);
    s->objects[ANSI_VAR_FONT] =
        StockFont(u"MS Sans Serif", 13, FW_NORMAL, VARIABLE_PITCH | FF_SWISS);
    s->objects[SYSTEM_FONT] = StockFont(u"System", 16, FW_BOLD, VARIABLE_PITCH | FF_SWISS);
    s->objects[DEVICE_DEFAULT_FONT] = StockFont(u"System", 16, FW_BOLD, VARIABLE_PITCH | FF_SWISS);
    s->objects[SYSTEM_FIXED_FONT] = StockFont(u"Fixedsys", 15, FW_NORMAL, FIXED_PITCH | FF_MODERN);
    s->objects[DEFAULT_GUI_FONT] =
        StockFont(u"MS Shell Dlg", -11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS);
    auto pal = std::make_unique<GdiObject>();
    pal->type = OBJ_PAL;
    s->objects[DEFAULT_PALETTE] = MakeStock(std::move(pal));
    auto dcBrush = std::make_unique<BrushObj>();
    dcBrush->type = OBJ_BRUSH;
    dcBrush->dcBrush = true;
    s->objects[DC_BRUSH] = MakeStock(std::move(dcBrush));
    auto dcPen = std::make_unique<PenObj>();
    dcPen->type = OBJ_PEN;
    dcPen->width = 0;
    dcPen->dcPen = true;
    s->objects[DC_PEN] = MakeStock(std::move(dcPen));
    auto bmp = std::make_unique<BitmapObj>();
    bmp->type = OBJ_BITMAP;
    bmp->width = bmp->height = 1;
    bmp->mono = true;
    bmp->storage.assign(1, 0);
    s->bitmap = MakeStock(std::move(bmp));
    return s;
  }();
  return *stock;
}

bool SizeOk(int w, int h) {
  return w > 0 && h > 0 && std::int64_t(w) * h <= (std::int64_t(1) << 28);
}

HBITMAP NewBitmap(int w, int h, bool mono) {
  auto b = std::make_unique<BitmapObj>();
  b->type = OBJ_BITMAP;
  b->width = w;
  b->height = h;
  b->mono = mono;
  b->storage.assign(std::size_t(w) * std::size_t(h), 0);
  return AddObject(std::move(b));
}

int MonoRowBytes(int w) { return ((w + 15) / 16) * 2; }

// 8 x 8 hatch patterns, most significant bit leftmost; set bits are the hatch lines.
constexpr BYTE kHatch[6][8] = {
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00},  // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // forward diagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // backward diagonal
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08},  // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
};

}  // namespace

// ---- Table ----

HGDIOBJ AddObject(std::unique_ptr<GdiObject> obj) {
  auto& slots = Slots();
  std::uint32_t index;
  if (!FreeSlots().empty()) {
    index = FreeSlots().back();
    FreeSlots().pop_back();
  } else {
    if (slots.size() >= kIndexMask) return 0;
    index = std::uint32_t(slots.size());
    slots.emplace_back();
  }
  Slot& s = slots[index];
  s.gen = s.gen >= kMaxGen ? 1 : s.gen + 1;
  HGDIOBJ h = (s.gen << kIndexBits) | (index + 1);
  obj->handle = h;
  s.obj = std::move(obj);
  return h;
}

GdiObject* Lookup(HGDIOBJ h) {
  std::uint32_t index = (h & kIndexMask);
  if (index == 0) return nullptr;
  --index;
  auto& slots = Slots();
  if (index >= slots.size() || slots[index].gen != (h >> kIndexBits)) return nullptr;
  return slots[index].obj.get();
}

DcObj* LookupDC(HDC h) {
  GdiObject* o = Lookup(h);
  return o && (o->type == OBJ_DC || o->type == OBJ_MEMDC) ? static_cast<DcObj*>(o) : nullptr;
}

void FreeObject(GdiObject* obj) {
  if (!obj || obj->stock) return;
  std::uint32_t index = (obj->handle & kIndexMask) - 1;
  auto& slots = Slots();
  if (index >= slots.size() || slots[index].obj.get() != obj) return;
  std::unique_ptr<GdiObject> dead = std::move(slots[index].obj);
  FreeSlots().push_back(index);
  dead.reset();  // may release further references (a DC's selections)
}

BitmapObj* StockBitmap() { return LookupAs<BitmapObj>(Stocks().bitmap, OBJ_BITMAP); }

ObjRef::ObjRef(GdiObject* obj) : obj_(obj) {
  if (obj_) ++obj_->refs;
}
ObjRef::ObjRef(const ObjRef& other) : ObjRef(other.obj_) {}
ObjRef& ObjRef::operator=(const ObjRef& other) {
  if (this != &other) {
    ObjRef copy(other);
    std::swap(obj_, copy.obj_);
  }
  return *this;
}
ObjRef::~ObjRef() {
  if (!obj_) return;
  if (--obj_->refs == 0 && obj_->pendingDelete) FreeObject(obj_);
}

Surface BitmapObj::Surf() {
  Surface s;
  s.width = width;
  s.height = height;
  s.mono = mono;
  if (storage.empty()) return s;
  if (bottomUp) {
    s.bits = storage.data() + std::size_t(height - 1) * std::size_t(width);
    s.stride = -std::ptrdiff_t(width);
  } else {
    s.bits = storage.data();
    s.stride = width;
  }
  return s;
}

// ---- Colours and fills ----

std::uint32_t ToPixel(COLORREF c, bool mono) {
  std::uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  if (mono) {
    // The nearer of black and white.
    std::uint32_t dBlack = r * r + g * g + b * b;
    std::uint32_t dWhite = (255 - r) * (255 - r) + (255 - g) * (255 - g) + (255 - b) * (255 - b);
    return dWhite < dBlack ? 0xFFFFFF : 0;
  }
  return (r << 16) | (g << 8) | b;
}

COLORREF PenColor(const DcObj* dc, const PenObj* pen) {
  return pen->dcPen ? dc->st.dcPenColor : pen->color;
}

Fill ResolveBrushRop(const DcObj* dc, const BrushObj* brush, bool mono, int rop2) {
  if (!brush || brush->style == BS_NULL) return Fill{};
  POINT org{dc->st.brushOrg.x + DeviceToSurface(dc).x, dc->st.brushOrg.y + DeviceToSurface(dc).y};
  if (brush->style == BS_HATCHED) {
    std::array<std::uint32_t, 64> px;
    bool gaps[64];
    std::uint32_t fg = ToPixel(brush->color, mono), bg = ToPixel(dc->st.bkColor, mono);
    int h = std::clamp(brush->hatch, 0, 5);
    for (int i = 0; i < 64; ++i) {
      bool on = (kHatch[h][i / 8] >> (7 - i % 8)) & 1;
      px[i] = on ? fg : bg;
      gaps[i] = !on && dc->st.bkMode == TRANSPARENT;
    }
    return PatternFill(px, gaps, rop2, org);
  }
  if (brush->style == BS_PATTERN) {
    std::array<std::uint32_t, 64> px;
    std::uint32_t fg = ToPixel(dc->st.textColor, mono), bg = ToPixel(dc->st.bkColor, mono);
    for (int i = 0; i < 64; ++i) {
      std::uint32_t p = brush->pattern[i];
      if (brush->patternMono) px[i] = (p & 0xFFFFFF) ? bg : fg;
      else px[i] = mono ? ToPixel(PixelToColor(p), true) : (p & 0xFFFFFF);
    }
    return PatternFill(px, nullptr, rop2, org);
  }
  COLORREF c = brush->dcBrush         ? dc->st.dcBrushColor
               : brush->sysColor >= 0 ? GetSysColor(brush->sysColor)
                                      : brush->color;
  return SolidFill(ToPixel(c, mono), rop2);
}

Fill ResolveBrush(const DcObj* dc, const BrushObj* brush, bool mono) {
  return ResolveBrushRop(dc, brush, mono, dc->st.rop2);
}

PenObj* DcPen(DcObj* dc) { return static_cast<PenObj*>(dc->st.pen.get()); }
BrushObj* DcBrush(DcObj* dc) { return static_cast<BrushObj*>(dc->st.brush.get()); }
FontObj* DcFont(DcObj* dc) { return static_cast<FontObj*>(dc->st.font.get()); }

RECT NormalizeRect(RECT r) {
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return r;
}

}  // namespace gdi

using namespace gdi;

HGDIOBJ GetStockObject(int index) {
  if (index < 0 || index >= 20) return 0;
  return Stocks().objects[index];
}

HBRUSH GetSysColorBrush(int index) {
  if (index < 0 || index > COLOR_ENDCOLORS) return 0;
  HBRUSH& h = Stocks().sysBrushes[index];
  if (!h) {
    auto b = std::make_unique<BrushObj>();
    b->type = OBJ_BRUSH;
    b->sysColor = index;
    b->color = GetSysColor(index);
    h = MakeStock(std::move(b));
  }
  return h;
}

// ---- Pens ----

HPEN CreatePen(int style, int width, COLORREF color) {
  auto p = std::make_unique<PenObj>();
  p->type = OBJ_PEN;
  UINT s = UINT(style) & PS_STYLE_MASK;
  if (s > PS_ALTERNATE) s = PS_SOLID;
  width = int(std::min<std::int64_t>(std::abs(std::int64_t(width)), 1 << 20));
  // Only the thinnest pens can be dashed; wider ones draw solid.
  if (width > 1 && s != PS_NULL && s != PS_INSIDEFRAME) s = PS_SOLID;
  if (s == PS_USERSTYLE || s == PS_ALTERNATE) s = PS_SOLID;
  p->style = s;
  p->width = width;
  p->color = color;
  return AddObject(std::move(p));
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount,
                  const DWORD* styles) {
  (void)styleCount;
  (void)styles;
  if (!brush) return 0;
  auto p = std::make_unique<PenObj>();
  p->type = OBJ_PEN;
  p->ext = true;
  bool geometric = (style & PS_TYPE_MASK) == PS_GEOMETRIC;
  if (!geometric && width != 1) return 0;
  p->style = style;
  if (brush->lbStyle == BS_NULL) p->style = (style & ~PS_STYLE_MASK) | PS_NULL;
  if ((p->style & PS_STYLE_MASK) == PS_USERSTYLE) p->style = (p->style & ~PS_STYLE_MASK) | PS_SOLID;
  if (geometric && width > 1 && (p->style & PS_STYLE_MASK) != PS_NULL &&
      (p->style & PS_STYLE_MASK) != PS_INSIDEFRAME)
    p->style = (p->style & ~PS_STYLE_MASK) | PS_SOLID;
  p->width = int(std::min<DWORD>(width, 1 << 20));
  p->color = brush->lbColor;
  return AddObject(std::move(p));
}

// ---- Brushes ----

HBRUSH CreateSolidBrush(COLORREF color) {
  auto b = std::make_unique<BrushObj>();
  b->type = OBJ_BRUSH;
  b->color = color;
  return AddObject(std::move(b));
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return 0;
  auto b = std::make_unique<BrushObj>();
  b->type = OBJ_BRUSH;
  b->style = BS_HATCHED;
  b->hatch = hatch;
  b->color = color;
  return AddObject(std::move(b));
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  BitmapObj* bmp = LookupAs<BitmapObj>(bitmap, OBJ_BITMAP);
  if (!bmp || bmp->storage.empty()) return 0;
  auto b = std::make_unique<BrushObj>();
  b->type = OBJ_BRUSH;
  b->style = BS_PATTERN;
  b->patternMono = bmp->mono;
  b->patternSource = bitmap;
  Surface s = bmp->Surf();
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) b->pattern[y * 8 + x] = s.Row(y % s.height)[x % s.width];
  return AddObject(std::move(b));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
  if (!brush) return 0;
  switch (brush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(brush->lbColor);
    case BS_NULL: return GetStockObject(NULL_BRUSH);
    case BS_HATCHED: return CreateHatchBrush(int(brush->lbHatch), brush->lbColor);
    case BS_PATTERN: return CreatePatternBrush(HBITMAP(brush->lbHatch));
    default: return 0;
  }
}

// ---- Bitmaps ----

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (width == 0 || height == 0) return Stocks().bitmap;
  if (!SizeOk(width, height) || planes == 0 || bitsPerPixel == 0) return 0;
  bool mono = planes * bitsPerPixel == 1;
  HBITMAP h = NewBitmap(width, height, mono);
  if (h && bits) {
    LONG size = mono ? MonoRowBytes(width) * height : width * 4 * height;
    if (mono || bitsPerPixel == 32) SetBitmapBits(h, DWORD(size), bits);
  }
  return h;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  if (width == 0 || height == 0) return Stocks().bitmap;
  if (!SizeOk(width, height)) return 0;
  bool mono = false;
  if (dc) {
    DcObj* d = LookupDC(dc);
    if (!d) return 0;
    if (d->kind == DcKind::Memory) {
      auto* sel = static_cast<BitmapObj*>(d->st.bitmap.get());
      mono = sel && sel->mono;
    }
  }
  return NewBitmap(width, height, mono);
}

HBITMAP GdiCreateBitmap32(int width, int height) {
  if (!SizeOk(width, height)) return 0;
  return NewBitmap(width, height, false);
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section,
                         DWORD offset) {
  (void)dc;
  (void)usage;
  (void)offset;
  if (bits) *bits = nullptr;
  if (!info || section) return 0;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biBitCount != 32 || (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS))
    return 0;
  int w = h.biWidth, ht = std::abs(h.biHeight);
  if (!SizeOk(w, ht)) return 0;
  HBITMAP hb = NewBitmap(w, ht, false);
  auto* b = LookupAs<BitmapObj>(hb, OBJ_BITMAP);
  b->dib = true;
  b->bottomUp = h.biHeight > 0;
  if (bits) *bits = b->storage.data();
  return hb;
}

LONG GetBitmapBits(HBITMAP bitmap, LONG count, void* bits) {
  BitmapObj* b = LookupAs<BitmapObj>(bitmap, OBJ_BITMAP);
  if (!b || count < 0) return 0;
  Surface s = b->Surf();
  if (b->mono) {
    int rowBytes = MonoRowBytes(b->width);
    LONG total = rowBytes * b->height;
    if (!bits) return total;
    count = std::min(count, total);
    auto* out = static_cast<BYTE*>(bits);
    std::memset(out, 0, std::size_t(count));
    for (LONG i = 0; i < count; ++i) {
      int y = int(i / rowBytes), xb = int(i % rowBytes);
      BYTE v = 0;
      for (int k = 0; k < 8; ++k) {
        int x = xb * 8 + k;
        if (x < b->width && (s.Row(y)[x] & 0xFFFFFF)) v |= BYTE(0x80 >> k);
      }
      out[i] = v;
    }
    return count;
  }
  LONG total = b->width * 4 * b->height;
  if (!bits) return total;
  count = std::min(count, total) / 4 * 4;
  auto* out = static_cast<std::uint32_t*>(bits);
  for (LONG i = 0; i < count / 4; ++i) out[i] = s.Row(int(i / b->width))[i % b->width];
  return count;
}

LONG SetBitmapBits(HBITMAP bitmap, DWORD count, const void* bits) {
  BitmapObj* b = LookupAs<BitmapObj>(bitmap, OBJ_BITMAP);
  if (!b || !bits || b->stock) return 0;
  Surface s = b->Surf();
  if (b->mono) {
    int rowBytes = MonoRowBytes(b->width);
    DWORD total = DWORD(rowBytes * b->height);
    count = std::min(count, total);
    auto* in = static_cast<const BYTE*>(bits);
    for (DWORD i = 0; i < count; ++i) {
      int y = int(i / DWORD(rowBytes)), xb = int(i % DWORD(rowBytes));
      for (int k = 0; k < 8; ++k) {
        int x = xb * 8 + k;
        if (x < b->width) s.Row(y)[x] = ((in[i] >> (7 - k)) & 1) ? 0xFFFFFF : 0;
      }
    }
    return LONG(count);
  }
  DWORD total = DWORD(b->width * 4 * b->height);
  count = std::min(count, total) / 4 * 4;
  auto* in = static_cast<const std::uint32_t*>(bits);
  for (DWORD i = 0; i < count / 4; ++i)
    s.Row(int(i / DWORD(b->width)))[i % DWORD(b->width)] = in[i];
  return LONG(count);
}

bool GdiGetBitmapPixels(HBITMAP bitmap, GdiPixels* pixels) {
  BitmapObj* b = LookupAs<BitmapObj>(bitmap, OBJ_BITMAP);
  if (!b || !pixels) return false;
  Surface s = b->Surf();
  pixels->bits = s.bits;
  pixels->width = s.width;
  pixels->height = s.height;
  pixels->strideBytes = int(s.stride * 4);
  pixels->monochrome = s.mono;
  return true;
}

// ---- Common object calls ----

int GetObjectW(HGDIOBJ object, int size, void* out) {
  GdiObject* o = Lookup(object);
  if (!o) return 0;
  auto put = [&](const auto& value) -> int {
    int n = int(sizeof(value));
    if (!out) return n;
    n = std::min(n, size);
    if (n <= 0) return 0;
    std::memcpy(out, &value, std::size_t(n));
    return n;
  };
  switch (o->type) {
    case OBJ_PEN: {
      auto* p = static_cast<PenObj*>(o);
      LOGPEN lp;
      lp.lopnStyle = p->style & (p->ext ? ~0u : PS_STYLE_MASK);
      lp.lopnWidth = {p->width, 0};
      lp.lopnColor = p->color;
      return put(lp);
    }
    case OBJ_BRUSH: {
      auto* b = static_cast<BrushObj*>(o);
      LOGBRUSH lb;
      lb.lbStyle = b->style;
      lb.lbColor = b->sysColor >= 0 ? GetSysColor(b->sysColor) : b->color;
      lb.lbHatch = b->style == BS_HATCHED   ? ULONG_PTR(b->hatch)
                   : b->style == BS_PATTERN ? ULONG_PTR(b->patternSource)
                                            : 0;
      return put(lb);
    }
    case OBJ_FONT: return put(static_cast<FontObj*>(o)->lf);
    case OBJ_BITMAP: {
      auto* b = static_cast<BitmapObj*>(o);
      BITMAP bm;
      bm.bmWidth = b->width;
      bm.bmHeight = b->height;
      bm.bmPlanes = 1;
      bm.bmBitsPixel = b->mono ? 1 : 32;
      bm.bmWidthBytes = b->mono ? MonoRowBytes(b->width) : b->width * 4;
      bm.bmBits = b->dib ? b->storage.data() : nullptr;
      if (b->dib && (size >= int(sizeof(DIBSECTION)) || !out)) {
        DIBSECTION ds;
        ds.dsBm = bm;
        ds.dsBmih.biWidth = b->width;
        ds.dsBmih.biHeight = b->bottomUp ? b->height : -b->height;
        ds.dsBmih.biBitCount = 32;
        ds.dsBmih.biSizeImage = DWORD(b->width * 4 * b->height);
        if (!out) return int(sizeof(DIBSECTION));
        return put(ds);
      }
      return put(bm);
    }
    default: return 0;
  }
}

DWORD GetObjectType(HGDIOBJ object) {
  GdiObject* o = Lookup(object);
  return o ? o->type : 0;
}

BOOL DeleteObject(HGDIOBJ object) {
  GdiObject* o = Lookup(object);
  if (!o || o->type == OBJ_DC || o->type == OBJ_MEMDC) return FALSE;
  if (o->stock) return TRUE;
  // Still selected somewhere: finish when the last DC lets go, so no DC ever draws with a
  // freed object.
  if (o->refs > 0) {
    o->pendingDelete = true;
    return TRUE;
  }
  FreeObject(o);
  return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  DcObj* d = LookupDC(dc);
  GdiObject* o = Lookup(object);
  if (!d || !o || o->pendingDelete) return 0;
  auto swap = [&](ObjRef& slot) {
    HGDIOBJ old = slot.handle();
    slot = ObjRef(o);
    return old;
  };
  switch (o->type) {
    case OBJ_PEN: return swap(d->st.pen);
    case OBJ_BRUSH: return swap(d->st.brush);
    case OBJ_FONT: return swap(d->st.font);
    case OBJ_BITMAP: {
      if (d->kind != DcKind::Memory) return 0;
      auto* b = static_cast<BitmapObj*>(o);
      auto* old = static_cast<BitmapObj*>(d->st.bitmap.get());
      if (b == old) return object;
      if (!b->stock && b->selectedIn && b->selectedIn != d) return 0;
      if (old && old->selectedIn == d) old->selectedIn = nullptr;
      if (!b->stock) b->selectedIn = d;
      HGDIOBJ prev = swap(d->st.bitmap);
      InvalidateClip(d);
      return prev;
    }
    case OBJ_REGION: return HGDIOBJ(SelectClipRgn(dc, object));
    default: return 0;
  }
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
  DcObj* d = LookupDC(dc);
  if (!d) return 0;
  switch (type) {
    case OBJ_PEN: return d->st.pen.handle();
    case OBJ_BRUSH: return d->st.brush.handle();
    case OBJ_FONT: return d->st.font.handle();
    case OBJ_BITMAP:
      return d->kind == DcKind::Surface ? d->surface.handle() : d->st.bitmap.handle();
    case OBJ_PAL: return GetStockObject(DEFAULT_PALETTE);
    default: return 0;
  }
}

int GdiObjectCount(DWORD type) {
  int n = 0;
  for (const Slot& s : Slots())
    if (s.obj && !s.obj->stock && (type == 0 || s.obj->type == type)) ++n;
  return n;
}
