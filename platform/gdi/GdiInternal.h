#pragma once
// The engine's own types: the object table, device-context state and the surface that the
// raster primitives draw on. Not for use outside platform/gdi.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "Gdi.h"
#include "GdiRecording.h"
#include "HostFonts.h"
#include "Raster.h"
#include "Region.h"

// The host font a logical font is realised as, for measuring and for output alike.
HostFontRequest HostFontRequestOf(const LOGFONTW& lf);

namespace gdi {

struct GdiObject {
  DWORD type = 0;
  HGDIOBJ handle = 0;
  bool stock = false;
  bool pendingDelete = false;
  int refs = 0;  // selections in DCs and their saved states
  virtual ~GdiObject() = default;
};

struct PenObj : GdiObject {
  UINT style = PS_SOLID;  // full style: type, cap, join and dash bits
  int width = 1;
  COLORREF color = 0;
  bool ext = false;    // made by ExtCreatePen
  bool dcPen = false;  // DC_PEN: takes the DC's pen colour
  UINT Dash() const { return style & PS_STYLE_MASK; }
  bool Cosmetic() const { return width <= 1 && !(ext && (style & PS_TYPE_MASK) == PS_GEOMETRIC); }
};

struct BrushObj : GdiObject {
  UINT style = BS_SOLID;
  COLORREF color = 0;
  int hatch = 0;
  int sysColor = -1;     // a system-colour brush follows the table
  bool dcBrush = false;  // DC_BRUSH
  bool patternMono = false;
  std::array<std::uint32_t, 64> pattern{};  // BS_PATTERN: 8 x 8 pixels
  HBITMAP patternSource = 0;                // as GetObject reports it
};

struct BitmapObj : GdiObject {
  int width = 0;
  int height = 0;
  bool mono = false;
  bool dib = false;
  bool bottomUp = false;  // a DIB section with positive biHeight
  std::vector<std::uint32_t> storage;
  struct DcObj* selectedIn = nullptr;  // the memory DC holding it
  Surface Surf();
};

struct FontObj : GdiObject {
  LOGFONTW lf;
  const HostFont* realized = nullptr;  // filled on first use
};

struct RegionObj : GdiObject {
  Region rgn;
};

// A counted reference to a selected object; the last release finishes a deferred delete.
class ObjRef {
 public:
  ObjRef() = default;
  explicit ObjRef(GdiObject* obj);
  ObjRef(const ObjRef& other);
  ObjRef& operator=(const ObjRef& other);
  ~ObjRef();
  GdiObject* get() const { return obj_; }
  HGDIOBJ handle() const { return obj_ ? obj_->handle : 0; }

 private:
  GdiObject* obj_ = nullptr;
};

struct DcState {
  ObjRef pen, brush, font, bitmap;
  COLORREF textColor = 0x000000;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int stretchMode = BLACKONWHITE;
  int polyFillMode = ALTERNATE;
  UINT textAlign = TA_LEFT | TA_TOP;
  int charExtra = 0;
  COLORREF dcBrushColor = 0xFFFFFF;
  COLORREF dcPenColor = 0x000000;
  POINT brushOrg;
  POINT viewportOrg;
  POINT windowOrg;
  POINT curPos;
  std::optional<Region> clip;  // device units
};

enum class DcKind { Memory, Display, Surface, Recording };

struct DcObj : GdiObject {
  DcKind kind = DcKind::Memory;
  DcState st;
  std::vector<DcState> saved;
  // Surface DCs: their own origin in the surface and the part they may touch.
  ObjRef surface;
  POINT origin;
  RECT visible;
  std::optional<Region> visibleRgn;
  // Recording DCs.
  std::unique_ptr<GdiRecording> recording;
  std::size_t docStart = 0;
  bool inDoc = false;
  // Effective clip in surface coordinates, rebuilt when marked stale.
  bool clipStale = true;
  Clip clipCache;
  std::shared_ptr<const std::vector<RECT>> recordClip;  // what recorded ops carry
  bool recordClipStale = true;
};

// ---- Object table ----
HGDIOBJ AddObject(std::unique_ptr<GdiObject> obj);
GdiObject* Lookup(HGDIOBJ h);
template <class T>
T* LookupAs(HGDIOBJ h, DWORD type) {
  GdiObject* o = Lookup(h);
  return o && o->type == type ? static_cast<T*>(o) : nullptr;
}
DcObj* LookupDC(HDC h);
void FreeObject(GdiObject* obj);
BitmapObj* StockBitmap();

// ---- DC helpers ----
HDC NewDeviceContext(DcKind kind);
// The surface a DC draws on; null for display and recording DCs.
BitmapObj* DcBitmap(DcObj* dc);
// The effective clip (clip region, visible area, surface bounds) in surface coordinates.
const Clip& DcClip(DcObj* dc);
void InvalidateClip(DcObj* dc);
// Coordinates are kept within the platform's 27-bit range, so sums of two never overflow.
constexpr LONG kCoordLimit = 1 << 27;
inline LONG Coord(std::int64_t v) {
  return LONG(v < -kCoordLimit ? -kCoordLimit : v > kCoordLimit ? kCoordLimit : v);
}
// Logical to device and device to surface offsets.
inline POINT ToDevice(const DcObj* dc, POINT p) {
  return {Coord(std::int64_t(p.x) - dc->st.windowOrg.x + dc->st.viewportOrg.x),
          Coord(std::int64_t(p.y) - dc->st.windowOrg.y + dc->st.viewportOrg.y)};
}
inline POINT DeviceToSurface(const DcObj* dc) {
  return dc->kind == DcKind::Surface ? dc->origin : POINT{0, 0};
}
// Logical to surface.
inline POINT ToSurface(const DcObj* dc, POINT p) {
  POINT d = ToDevice(dc, p);
  POINT o = DeviceToSurface(dc);
  return {d.x + o.x, d.y + o.y};
}
RECT NormalizeRect(RECT r);

// A colour as a pixel of the given surface kind.
std::uint32_t ToPixel(COLORREF c, bool mono);
inline COLORREF PixelToColor(std::uint32_t p) {
  return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}
COLORREF PenColor(const DcObj* dc, const PenObj* pen);
// The brush as the raster primitives take it, for drawing on this DC; kind None for a null
// brush.
// with the DC's binary raster operation, or with rop2.
Fill ResolveBrush(const DcObj* dc, const BrushObj* brush, bool mono);
Fill ResolveBrushRop(const DcObj* dc, const BrushObj* brush, bool mono, int rop2);
PenObj* DcPen(DcObj* dc);
BrushObj* DcBrush(DcObj* dc);
FontObj* DcFont(DcObj* dc);
const HostFont* RealizeFont(FontObj* font);

// Primitive drawing in device units shared by the API units.
void FillDeviceRect(DcObj* dc, RECT r, const BrushObj* brush, int rop2);
void FillDeviceSpans(DcObj* dc, const SpanList& spans, const Fill& fill);
void StrokeDevicePolyline(DcObj* dc, const POINT* pts, int n, bool closed);
// Spans of rows [yLo, yHi) only: work stays bounded by what can be seen.
void PolygonDeviceSpans(const POINT* pts, const int* counts, int polys, int fillMode, SpanList& out,
                        int yLo = -(1 << 16), int yHi = 1 << 16);

// Recording helpers.
bool IsRecording(const DcObj* dc);
GdiRecordOp& Record(DcObj* dc, GdiOpKind kind);

}  // namespace gdi
