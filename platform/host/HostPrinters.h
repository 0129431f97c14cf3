#pragma once
// The host's printers: the CUPS queues with their paper, and the output of a finished job as
// vector drawing, to a PDF file or to a queue. No Qt type appears here. A job arrives as plain
// drawing operations in device pixels (the graphics layer converts its recordings into them),
// since the host lies below the graphics layer.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "HostFonts.h"
#include "WinTypes.h"

using HostColor = std::uint32_t;  // 0x00BBGGRR, as the platform's colour values

// A sheet of paper at a device's resolution, in device pixels.
struct HostPaper {
  int dpiX = 600;
  int dpiY = 600;
  int width = 0;  // the whole sheet
  int height = 0;
  RECT printable;  // the printable area on the sheet
};

struct HostPrinterInfo {
  std::u16string name;
  bool isDefault = false;
  HostPaper paper;  // portrait
};

// The CUPS queues, asked of the print server through libcups, which is loaded on the first
// call. Touches no Qt, so it may run on any thread. Each of its two requests waits at most
// waitMs for the answer, after the second libcups itself gives the server to take a request.
// Without a reachable or answering server the list is empty; error (when given) then says why,
// or stays empty when there simply are no queues.
std::vector<HostPrinterInfo> HostEnumPrinters(std::u16string* error = nullptr, int waitMs = 2000);

enum class HostLineCap : std::uint8_t { Round, Square, Flat };
enum class HostLineJoin : std::uint8_t { Round, Bevel, Miter };
enum class HostDash : std::uint8_t { Solid, Dash, Dot, DashDot, DashDotDot, Alternate };

struct HostPen {
  bool visible = true;
  int width = 0;  // device pixels; 0 or 1 is the thinnest line the device can draw
  HostColor color = 0;
  HostDash dash = HostDash::Solid;
  HostLineCap cap = HostLineCap::Round;
  HostLineJoin join = HostLineJoin::Round;
  bool insideFrame = false;  // shapes keep the whole pen inside their rectangle
};

struct HostBrush {
  bool visible = true;
  HostColor color = 0xFFFFFF;
  int hatch = -1;  // the platform's hatch style (0 horizontal ... 5 diagonal cross); -1 solid
};

// Pixels 0x00RRGGBB, rows top-down.
struct HostImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

enum class HostDrawKind : std::uint8_t { Polyline, Polygon, Rectangle, Ellipse, Fill, Text, Image };
enum class HostTextH : std::uint8_t { Left, Centre, Right };
enum class HostTextV : std::uint8_t { Top, Baseline, Bottom };

// One drawing operation in device pixels of the printable area, origin at its top-left corner.
// Shapes follow the platform's rectangle rule: right and bottom are exclusive, the pen's path
// runs through (left, top) and (right - 1, bottom - 1).
struct HostDrawOp {
  HostDrawKind kind = HostDrawKind::Polyline;
  std::vector<POINT> points;  // Polyline and Polygon; Text: the reference point
  RECT rect;                  // shapes; Fill; Image: destination; Text: opaque or clip rectangle
  SIZE corner;                // Rectangle: the rounded corners' ellipse (0: square corners)
  HostPen pen;
  HostBrush brush;  // shapes and Fill
  bool winding = false;

  // Text: characters placed at the font's integer advances, or at dx when given.
  HostFontRequest font;
  int escapement = 0;  // tenths of a degree, counter-clockwise
  std::u16string text;
  std::vector<int> dx;
  HostColor textColor = 0;
  bool opaqueCell = false;  // the text cell is filled with bkColor first
  HostColor bkColor = 0xFFFFFF;
  HostTextH alignH = HostTextH::Left;
  HostTextV alignV = HostTextV::Top;
  bool opaqueRect = false;  // rect filled with bkColor first
  bool clipRect = false;    // text clipped to rect

  // Image: rect and source may have negative extents, which mirror, as the platform's
  // stretching blit does (the extent runs from the origin towards smaller coordinates).
  std::shared_ptr<const HostImage> image;
  RECT source;
  bool hasTransparent = false;
  HostColor transparent = 0;  // pixels of this colour are left out

  // The clip rectangles in force; null: the whole printable area.
  std::shared_ptr<const std::vector<RECT>> clip;
};

struct HostPrintPage {
  std::vector<HostDrawOp> ops;
};

struct HostPrintJob {
  HostPaper paper;  // the sheet the pages were drawn for, in their orientation
  std::vector<std::shared_ptr<const HostPrintPage>> pages;
  int copies = 1;
  std::u16string title;
};

// The job as a PDF document: one page per page of the job, repeated (collated) for copies;
// the sheet is the paper's, the printable area placed at its offset. Raises EPrinter.
std::string HostRenderPdf(const HostPrintJob& job);
// HostRenderPdf written to path (the platform's form) through a temporary file beside it that
// is renamed over only when everything was written. Raises EPrinter naming the file.
void HostWritePdf(const HostPrintJob& job, const std::u16string& path);
// Hands the job to a CUPS queue as the same vector PDF, with copies and the paper as job
// options. Raises EPrinter with CUPS's reason when the queue refuses it.
void HostSubmitToPrinter(const std::u16string& printer, const HostPrintJob& job);
