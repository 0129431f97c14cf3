// Printing a recording: its operations as the host's drawing operations, and the host's
// printers as devices.
#include <algorithm>

#include "Exceptions.h"
#include "GdiInternal.h"
#include "GdiPrintJob.h"

namespace {

// The binary raster operations a vector device can honour; false: nothing to draw.
bool ApplyRop2(int rop2, HostColor* color) {
  switch (rop2) {
    case R2_NOP: return false;
    case R2_BLACK: *color = 0; break;
    case R2_WHITE: *color = 0xFFFFFF; break;
    case R2_NOTCOPYPEN: *color = ~*color & 0xFFFFFF; break;
    default: break;  // the mixing ones draw as copies: a page has no destination to mix with
  }
  return true;
}

HostPen PenOf(const GdiRecordOp& op) {
  HostPen p;
  UINT style = op.pen.lopnStyle;
  UINT dash = style & PS_STYLE_MASK;
  p.visible = dash != PS_NULL;
  p.width = std::max(0, int(op.pen.lopnWidth.x));
  p.color = op.pen.lopnColor & 0xFFFFFF;
  switch (dash) {
    case PS_DASH: p.dash = HostDash::Dash; break;
    case PS_DOT: p.dash = HostDash::Dot; break;
    case PS_DASHDOT: p.dash = HostDash::DashDot; break;
    case PS_DASHDOTDOT: p.dash = HostDash::DashDotDot; break;
    case PS_ALTERNATE: p.dash = HostDash::Alternate; break;
    case PS_INSIDEFRAME: p.insideFrame = true; break;
    default: break;
  }
  switch (style & PS_ENDCAP_MASK) {
    case PS_ENDCAP_FLAT: p.cap = HostLineCap::Flat; break;
    case PS_ENDCAP_SQUARE: p.cap = HostLineCap::Square; break;
    default: p.cap = HostLineCap::Round; break;
  }
  switch (style & PS_JOIN_MASK) {
    case PS_JOIN_BEVEL: p.join = HostLineJoin::Bevel; break;
    case PS_JOIN_MITER: p.join = HostLineJoin::Miter; break;
    default: p.join = HostLineJoin::Round; break;
  }
  if (p.visible) p.visible = ApplyRop2(op.rop2, &p.color);
  return p;
}

HostBrush BrushOf(const GdiRecordOp& op, bool withRop2) {
  HostBrush b;
  b.visible = op.brush.lbStyle != BS_NULL;
  b.color = op.brush.lbColor & 0xFFFFFF;
  if (op.brush.lbStyle == BS_HATCHED) b.hatch = int(op.brush.lbHatch);
  if (b.visible && withRop2) b.visible = ApplyRop2(op.rop2, &b.color);
  return b;
}

HostDrawOp Shape(const GdiRecordOp& op, HostDrawKind kind) {
  HostDrawOp h;
  h.kind = kind;
  h.clip = op.clip;
  h.pen = PenOf(op);
  h.brush = BrushOf(op, true);
  return h;
}

HostDrawOp FillOf(const GdiRecordOp& op, const RECT& r, HostBrush brush) {
  HostDrawOp h;
  h.kind = HostDrawKind::Fill;
  h.clip = op.clip;
  h.rect = r;
  h.brush = brush;
  return h;
}

// Appends the host form of op; what a vector page cannot express (inverting blits) is left out.
void Convert(const GdiRecordOp& op, std::vector<HostDrawOp>& out) {
  bool drawable = op.rop2 != R2_NOP;
  switch (op.kind) {
    case GdiOpKind::StartPage: return;
    case GdiOpKind::Polyline: {
      if (!drawable) return;
      HostDrawOp h = Shape(op, HostDrawKind::Polyline);
      h.points = op.points;
      out.push_back(std::move(h));
      return;
    }
    case GdiOpKind::Polygon: {
      if (!drawable) return;
      HostDrawOp h = Shape(op, HostDrawKind::Polygon);
      h.points = op.points;
      h.winding = op.fillMode == WINDING;
      out.push_back(std::move(h));
      return;
    }
    case GdiOpKind::Rectangle:
    case GdiOpKind::Ellipse: {
      if (!drawable) return;
      HostDrawOp h = Shape(
          op, op.kind == GdiOpKind::Ellipse ? HostDrawKind::Ellipse : HostDrawKind::Rectangle);
      h.rect = op.rect;
      if (op.kind == GdiOpKind::Rectangle) h.corner = {op.srcRect.right, op.srcRect.bottom};
      out.push_back(std::move(h));
      return;
    }
    case GdiOpKind::FillRect: out.push_back(FillOf(op, op.rect, BrushOf(op, false))); return;
    case GdiOpKind::PatBlt: {
      HostBrush b = BrushOf(op, false);
      switch ((op.rop >> 16) & 0xFF) {
        case 0xF0: break;  // the brush
        case 0x00: b = HostBrush{true, 0, -1}; break;
        case 0xFF: b = HostBrush{true, 0xFFFFFF, -1}; break;
        default: return;
      }
      out.push_back(FillOf(op, op.rect, b));
      return;
    }
    case GdiOpKind::SetPixel: {
      if (op.points.empty()) return;
      POINT p = op.points[0];
      out.push_back(FillOf(op, RECT{p.x, p.y, p.x + 1, p.y + 1},
                           HostBrush{true, op.textColor & 0xFFFFFF, -1}));
      return;
    }
    case GdiOpKind::Text: {
      HostDrawOp h;
      h.kind = HostDrawKind::Text;
      h.clip = op.clip;
      h.points = op.points;
      h.rect = op.rect;
      h.font = HostFontRequestOf(op.font);  // as measured, so text lands where it was measured
      h.escapement = op.font.lfEscapement;
      h.text = op.text;
      h.dx = op.dx;
      h.textColor = op.textColor & 0xFFFFFF;
      h.bkColor = op.bkColor & 0xFFFFFF;
      h.opaqueCell = op.bkMode == OPAQUE;
      h.opaqueRect = (op.options & ETO_OPAQUE) != 0;
      h.clipRect = (op.options & ETO_CLIPPED) != 0;
      switch (op.align & (TA_RIGHT | TA_CENTER)) {
        case TA_CENTER: h.alignH = HostTextH::Centre; break;
        case TA_RIGHT: h.alignH = HostTextH::Right; break;
        default: h.alignH = HostTextH::Left; break;
      }
      switch (op.align & TA_BASELINE) {
        case TA_BASELINE: h.alignV = HostTextV::Baseline; break;
        case TA_BOTTOM: h.alignV = HostTextV::Bottom; break;
        default: h.alignV = HostTextV::Top; break;
      }
      out.push_back(std::move(h));
      return;
    }
    case GdiOpKind::Image: {
      if (!op.image) return;
      HostDrawOp h;
      h.kind = HostDrawKind::Image;
      h.clip = op.clip;
      h.rect = op.rect;
      h.source = op.srcRect;
      auto img = std::make_shared<HostImage>();
      img->width = op.image->width;
      img->height = op.image->height;
      img->pixels.reserve(op.image->pixels.size());
      for (std::uint32_t px : op.image->pixels) img->pixels.push_back(px & 0xFFFFFF);
      h.image = std::move(img);
      h.hasTransparent = op.transparent != CLR_INVALID;
      h.transparent = op.transparent & 0xFFFFFF;
      out.push_back(std::move(h));
      return;
    }
  }
}

HostPaper PaperOf(const GdiDeviceInfo& d) {
  HostPaper p;
  p.dpiX = d.dpiX;
  p.dpiY = d.dpiY;
  p.width = d.physicalWidth ? d.physicalWidth : d.width;
  p.height = d.physicalHeight ? d.physicalHeight : d.height;
  p.printable = RECT{d.offsetX, d.offsetY, d.offsetX + d.width, d.offsetY + d.height};
  return p;
}

}  // namespace

HostPrintJob GdiMakePrintJob(const GdiRecording& recording, const std::vector<int>& pages,
                             int copies, const String& title) {
  HostPrintJob job;
  job.paper = PaperOf(recording.device);
  job.copies = std::max(copies, 1);
  job.title = title;
  int count = recording.PageCount();
  std::vector<int> list = pages;
  if (list.empty())
    for (int p = 1; p <= count; ++p) list.push_back(p);
  for (int p : list) {
    if (p < 1 || p > count)
      throw EPrinter(u"Page " + IntToStr(p) + u" is not in the document of " + IntToStr(count) +
                     u" pages");
    std::size_t first, last;
    recording.PageRange(p - 1, &first, &last);
    auto page = std::make_shared<HostPrintPage>();
    for (std::size_t i = first; i < last; ++i) Convert(recording.ops[i], page->ops);
    job.pages.push_back(std::move(page));
  }
  return job;
}

std::vector<GdiPrinterInfo> GdiEnumPrinters(String* error) {
  std::vector<GdiPrinterInfo> out;
  for (const HostPrinterInfo& info : HostEnumPrinters(error)) {
    const HostPaper& p = info.paper;
    GdiPrinterInfo d;
    d.name = info.name;
    d.isDefault = info.isDefault;
    d.device.dpiX = p.dpiX;
    d.device.dpiY = p.dpiY;
    d.device.width = p.printable.right - p.printable.left;
    d.device.height = p.printable.bottom - p.printable.top;
    d.device.physicalWidth = p.width;
    d.device.physicalHeight = p.height;
    d.device.offsetX = p.printable.left;
    d.device.offsetY = p.printable.top;
    out.push_back(std::move(d));
  }
  return out;
}

void GdiPrintToFile(const GdiRecording& recording, const std::vector<int>& pages, int copies,
                    const String& fileName, const String& title) {
  if (fileName.empty()) throw EPrinter("No file name was given for the PDF output");
  HostWritePdf(GdiMakePrintJob(recording, pages, copies, title), fileName);
}

void GdiPrintToQueue(const String& printer, const GdiRecording& recording,
                     const std::vector<int>& pages, int copies, const String& title) {
  HostSubmitToPrinter(printer, GdiMakePrintJob(recording, pages, copies, title));
}
