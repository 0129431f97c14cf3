#pragma once
// A recording device context, as a printer's: it draws nothing but keeps every primitive in
// device units at the device's resolution, so a page can be replayed later onto another DC or
// turned into vector output. Text is measured with the host's fonts at the device size.
#include <memory>
#include <vector>

#include "Gdi.h"
#include "Strings.h"

struct GdiDeviceInfo {
  int dpiX = 600;
  int dpiY = 600;
  int width = 0;  // printable area in device pixels (HORZRES, VERTRES)
  int height = 0;
  int physicalWidth = 0;  // the whole paper (PHYSICALWIDTH, PHYSICALHEIGHT); 0: the area
  int physicalHeight = 0;
  int offsetX = 0;  // printable area's offset on the paper (PHYSICALOFFSETX, ...)
  int offsetY = 0;
  int technology = DT_RASPRINTER;
  int bitsPerPixel = 24;
};

enum class GdiOpKind {
  StartPage,  // the ops that follow, to the next StartPage, are one page
  Polyline,   // points with pen (a LineTo is a two-point polyline)
  Polygon,    // points, fill mode, pen and brush
  Rectangle,  // rect with pen and brush, the platform's rectangle rule
  Ellipse,    // rect with pen and brush
  FillRect,   // rect with brush only, right and bottom exclusive
  PatBlt,     // rect with brush and rop
  SetPixel,   // points[0] in textColor
  Text,       // points[0] the reference point, align, font, text, dx, colours, rect, options
  Image,      // image drawn stretched into rect (its source rectangle srcRect), with rop
};

// Pixels copied out of a bitmap at the time of drawing: 0xAARRGGBB words, rows top-down.
struct GdiRecordedImage {
  int width = 0;
  int height = 0;
  bool monochrome = false;
  std::vector<std::uint32_t> pixels;
};

// One operation with every piece of state it needs, in device units.
struct GdiRecordOp {
  GdiOpKind kind = GdiOpKind::Polyline;
  std::vector<POINT> points;
  RECT rect;
  RECT srcRect;
  LOGPEN pen;      // lopnWidth.x 0 or 1: the thinnest pen
  LOGBRUSH brush;  // BS_NULL for no fill
  int rop2 = R2_COPYPEN;
  DWORD rop = 0;                       // PatBlt and Image
  COLORREF transparent = CLR_INVALID;  // Image: pixels of this colour are left out
  int fillMode = ALTERNATE;
  COLORREF textColor = 0;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  UINT align = TA_LEFT | TA_TOP;  // never TA_UPDATECP: the reference point is resolved
  UINT options = 0;               // ExtTextOut options
  LOGFONTW font;
  String text;
  std::vector<INT> dx;
  std::shared_ptr<const GdiRecordedImage> image;
  // The clip region in force (device units); null when there is none.
  std::shared_ptr<const std::vector<RECT>> clip;
};

struct GdiRecording {
  GdiDeviceInfo device;
  std::vector<GdiRecordOp> ops;  // a plain list; StartPage ops separate the pages
  int PageCount() const;
  // Index range [first, last) of page n (0-based) in ops; ops before the first StartPage count
  // as page 0 when there is no StartPage at all.
  void PageRange(int page, std::size_t* first, std::size_t* last) const;
};

HDC GdiCreateRecordingDC(const GdiDeviceInfo& device);
// The recording of such a DC (null for any other DC); it lives as long as the DC.
const GdiRecording* GdiGetRecording(HDC dc);
// Hands the recording over and leaves the DC with an empty one.
GdiRecording GdiTakeRecording(HDC dc);
// Draws ops[first, last) onto target through the ordinary calls, at the same device units
// moved by offset; target's own state is saved and restored around it.
BOOL GdiReplay(const GdiRecording& recording, std::size_t first, std::size_t last, HDC target,
               POINT offset = {});
BOOL GdiReplayPage(const GdiRecording& recording, int page, HDC target, POINT offset = {});

struct DOCINFOW {
  int cbSize = sizeof(DOCINFOW);
  const WCHAR* lpszDocName = nullptr;
  const WCHAR* lpszOutput = nullptr;
  const WCHAR* lpszDatatype = nullptr;
  DWORD fwType = 0;
};
// Document and page brackets of a recording DC; StartPage appends a StartPage op, AbortDoc
// discards everything recorded since StartDocW. Returns > 0 on success.
int StartDocW(HDC dc, const DOCINFOW* doc);
int EndDoc(HDC dc);
int AbortDoc(HDC dc);
int StartPage(HDC dc);
int EndPage(HDC dc);

// The host's printers: queues whose devices a recording DC can stand for, and the output of a
// finished recording, rendered as vector drawing.
struct GdiPrinterInfo {
  String name;
  bool isDefault = false;
  GdiDeviceInfo device;  // portrait
};
// Empty when the queues are out of reach; error (when given) then says why. May wait on the
// print server (boundedly) and runs on any thread.
std::vector<GdiPrinterInfo> GdiEnumPrinters(String* error = nullptr);
// Pages (1-based numbers; empty: all) of recording, repeated for copies, as a PDF written
// through a temporary file beside fileName (the platform's path form). Raises EPrinter naming
// the file when it cannot be written; nothing half-written remains.
void GdiPrintToFile(const GdiRecording& recording, const std::vector<int>& pages, int copies,
                    const String& fileName, const String& title);
// Those pages handed to a queue. Raises EPrinter with the queue's reason when it refuses.
void GdiPrintToQueue(const String& printer, const GdiRecording& recording,
                     const std::vector<int>& pages, int copies, const String& title);
