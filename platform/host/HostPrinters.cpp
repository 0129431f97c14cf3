#include "HostPrinters.h"

#include <dlfcn.h>
#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRegion>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "Exceptions.h"
#include "Files.h"
#include "HostApp.h"
#include "HostFontsQt.h"
#include "PenPath.h"
#include "ScopeGuard.h"
#include "Strings.h"

namespace {

QString ToQ(const std::u16string& s) {
  return QString(reinterpret_cast<const QChar*>(s.data()), qsizetype(s.size()));
}

QColor ToQColor(HostColor c) {
  return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// The sheet as Qt's page size: a named size when it is one within rounding (so the PDF says
// "A4"), the orientation from its shape.
QPageLayout LayoutFor(const HostPaper& paper) {
  int w = std::min(paper.width, paper.height), h = std::max(paper.width, paper.height);
  bool landscape = paper.width > paper.height;
  double dpiW = landscape ? paper.dpiY : paper.dpiX, dpiH = landscape ? paper.dpiX : paper.dpiY;
  QPageSize size(QSizeF(w * 72.0 / dpiW, h * 72.0 / dpiH), QPageSize::Point, QString(),
                 QPageSize::FuzzyMatch);
  return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                     QMarginsF(0, 0, 0, 0));
}

// Replays pages onto a painter whose device has `resolution` units per inch, with the sheet's
// top-left corner at the painter's origin.
class PageRenderer {
 public:
  PageRenderer(QPainter& painter, const HostPaper& paper, int resolution) : p_(painter) {
    base_.scale(double(resolution) / paper.dpiX, double(resolution) / paper.dpiY);
    base_.translate(paper.printable.left, paper.printable.top);
    area_ = QRect(0, 0, paper.printable.right - paper.printable.left,
                  paper.printable.bottom - paper.printable.top);
    hatchScale_ = std::max(1.0, paper.dpiY / 96.0);
  }

  void Page(const HostPrintPage& page) {
    p_.setTransform(base_);
    p_.setClipRect(area_);
    currentClip_ = nullptr;
    for (const HostDrawOp& op : page.ops) {
      if (op.clip.get() != currentClip_) SetClip(op.clip.get());
      switch (op.kind) {
        case HostDrawKind::Polyline: Polyline(op); break;
        case HostDrawKind::Polygon: Polygon(op); break;
        case HostDrawKind::Rectangle: Rectangle(op); break;
        case HostDrawKind::Ellipse: Ellipse(op); break;
        case HostDrawKind::Fill: {
          QPainterPath path;
          path.addRect(QRectF(op.rect.left, op.rect.top, op.rect.right - op.rect.left,
                              op.rect.bottom - op.rect.top));
          FillPath(path, op.brush);
          break;
        }
        case HostDrawKind::Text: Text(op); break;
        case HostDrawKind::Image: Image(op); break;
      }
    }
  }

 private:
  void SetClip(const std::vector<RECT>* rects) {
    currentClip_ = rects;
    QRegion region;
    if (rects)
      for (const RECT& r : *rects)
        region += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    else region = QRegion(area_);
    p_.setClipRegion(region.intersected(area_));
  }

  QPen Pen(const HostPen& hp) const {
    if (!hp.visible) return QPen(Qt::NoPen);
    QPen pen(ToQColor(hp.color));
    bool cosmetic = hp.width <= 1;
    pen.setWidthF(cosmetic ? 0.0 : hp.width);  // width 0: Qt's cosmetic, the thinnest line
    switch (hp.cap) {
      case HostLineCap::Round: pen.setCapStyle(cosmetic ? Qt::FlatCap : Qt::RoundCap); break;
      case HostLineCap::Square: pen.setCapStyle(cosmetic ? Qt::FlatCap : Qt::SquareCap); break;
      case HostLineCap::Flat: pen.setCapStyle(Qt::FlatCap); break;
    }
    switch (hp.join) {
      case HostLineJoin::Round: pen.setJoinStyle(Qt::RoundJoin); break;
      case HostLineJoin::Bevel: pen.setJoinStyle(Qt::BevelJoin); break;
      case HostLineJoin::Miter: pen.setJoinStyle(Qt::MiterJoin); break;
    }
    pen.setMiterLimit(10);  // the platform's default
    switch (hp.dash) {
      case HostDash::Solid: break;
      case HostDash::Dash: pen.setDashPattern({18, 6}); break;
      case HostDash::Dot: pen.setDashPattern({3, 3}); break;
      case HostDash::DashDot: pen.setDashPattern({9, 6, 3, 6}); break;
      case HostDash::DashDotDot: pen.setDashPattern({9, 3, 3, 3, 3, 3}); break;
      case HostDash::Alternate: pen.setDashPattern({1, 1}); break;
    }
    return pen;
  }

  // A hatch as lines of the screen's spacing and weight (8 and 1 pixels at 96 dpi), so it
  // stays vector and keeps its look at any resolution.
  void FillPath(const QPainterPath& path, const HostBrush& hb) {
    if (!hb.visible || path.isEmpty()) return;
    QColor color = ToQColor(hb.color);
    if (hb.hatch < 0) {
      p_.fillPath(path, color);
      return;
    }
    QRectF box = path.boundingRect();
    double step = 8 * hatchScale_;
    QPen pen(color);
    pen.setWidthF(hatchScale_);
    pen.setCapStyle(Qt::FlatCap);
    p_.save();
    p_.setClipPath(path, Qt::IntersectClip);
    p_.setPen(pen);
    auto lines = [&](bool horizontal, bool vertical) {
      if (horizontal)
        for (double y = std::floor(box.top() / step) * step; y <= box.bottom(); y += step)
          p_.drawLine(QPointF(box.left(), y), QPointF(box.right(), y));
      if (vertical)
        for (double x = std::floor(box.left() / step) * step; x <= box.right(); x += step)
          p_.drawLine(QPointF(x, box.top()), QPointF(x, box.bottom()));
    };
    // Diagonals across the box: x - y = c falling to the right, x + y = c rising.
    auto diagonals = [&](bool down) {
      double w = box.width(), h = box.height();
      double c0 = down ? box.left() - box.bottom() : box.left() + box.top();
      for (double c = std::floor(c0 / step) * step; c <= c0 + w + h; c += step) {
        if (down)
          p_.drawLine(QPointF(c + box.top(), box.top()), QPointF(c + box.bottom(), box.bottom()));
        else
          p_.drawLine(QPointF(c - box.top(), box.top()), QPointF(c - box.bottom(), box.bottom()));
      }
    };
    switch (hb.hatch) {
      case 0: lines(true, false); break;
      case 1: lines(false, true); break;
      case 2: diagonals(true); break;
      case 3: diagonals(false); break;
      case 4: lines(true, true); break;
      default:
        diagonals(true);
        diagonals(false);
        break;
    }
    p_.restore();
  }

  void StrokePath(const QPainterPath& path, const HostPen& hp) {
    if (!hp.visible) return;
    p_.setBrush(Qt::NoBrush);
    p_.setPen(Pen(hp));
    p_.drawPath(path);
  }

  static QPolygonF Points(const HostDrawOp& op) {
    QPolygonF poly;
    poly.reserve(qsizetype(op.points.size()));
    for (const POINT& pt : op.points) poly << QPointF(pt.x, pt.y);
    return poly;
  }

  void Polyline(const HostDrawOp& op) {
    if (op.points.size() < 2 || !op.pen.visible) return;
    p_.setPen(Pen(op.pen));
    p_.setBrush(Qt::NoBrush);
    if (op.points.size() == 2)
      p_.drawLine(QPointF(op.points[0].x, op.points[0].y), QPointF(op.points[1].x, op.points[1].y));
    else p_.drawPolyline(Points(op));
  }

  void Polygon(const HostDrawOp& op) {
    if (op.points.size() < 2) return;
    QPainterPath path;
    path.addPolygon(Points(op));
    path.closeSubpath();
    path.setFillRule(op.winding ? Qt::WindingFill : Qt::OddEvenFill);
    FillPath(path, op.brush);
    StrokePath(path, op.pen);
  }

  // The pen's path of a shape: through (left, top) and (right - 1, bottom - 1), or inside the
  // rectangle by half the pen for an inside-frame pen (PenPath.h).
  static bool ShapeRect(const HostDrawOp& op, QRectF* out) {
    const RECT& r = op.rect;
    if (r.right - r.left < 1 || r.bottom - r.top < 1) return false;
    PenPathRect p{double(r.left), double(r.top), double(r.right - 1), double(r.bottom - 1)};
    if (op.pen.visible && op.pen.insideFrame && op.pen.width > 1)
      p = InsideFramePath(r, op.pen.width);
    *out = QRectF(QPointF(p.left, p.top), QPointF(p.right, p.bottom));
    return true;
  }

  void Rectangle(const HostDrawOp& op) {
    QRectF q;
    if (!ShapeRect(op, &q)) return;
    QPainterPath path;
    if (op.corner.cx > 0 && op.corner.cy > 0)
      path.addRoundedRect(q, std::min(op.corner.cx / 2.0, q.width() / 2),
                          std::min(op.corner.cy / 2.0, q.height() / 2));
    else path.addRect(q);
    FillPath(path, op.brush);
    StrokePath(path, op.pen);
  }

  void Ellipse(const HostDrawOp& op) {
    QRectF q;
    if (!ShapeRect(op, &q)) return;
    QPainterPath path;
    path.addEllipse(q);
    FillPath(path, op.brush);
    StrokePath(path, op.pen);
  }

  void Text(const HostDrawOp& op) {
    if (op.points.empty()) return;
    const HostFont* font = HostRealizeFont(op.font);
    const HostFontMetrics& m = HostGetFontMetrics(font);
    QRectF box(op.rect.left, op.rect.top, op.rect.right - op.rect.left,
               op.rect.bottom - op.rect.top);
    p_.save();
    if (op.opaqueRect) p_.fillRect(box, ToQColor(op.bkColor));
    if (op.clipRect) p_.setClipRect(box, Qt::IntersectClip);
    // Characters and advances as the measurement made them, surrogate pairs joined.
    std::u32string chars;
    std::vector<int> advances;
    int width = 0;
    const std::u16string& s = op.text;
    for (std::size_t i = 0; i < s.size(); ++i) {
      char32_t c = s[i];
      int adv = i < op.dx.size() ? op.dx[i] : 0;
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
          s[i + 1] < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
        ++i;
        if (i < op.dx.size()) adv += op.dx[i];
      }
      if (op.dx.empty()) adv = HostGetAdvance(font, c);
      chars += c;
      advances.push_back(adv);
      width += adv;
    }
    double u = 0, v = 0;  // from the reference point to the baseline origin, in text space
    switch (op.alignH) {
      case HostTextH::Left: break;
      case HostTextH::Centre: u = -(width / 2); break;
      case HostTextH::Right: u = -width; break;
    }
    switch (op.alignV) {
      case HostTextV::Top: v = m.ascent; break;
      case HostTextV::Baseline: v = 0; break;
      case HostTextV::Bottom: v = -m.descent; break;
    }
    p_.translate(op.points[0].x, op.points[0].y);
    if (op.escapement % 3600 != 0) p_.rotate(-op.escapement / 10.0);
    if (op.opaqueCell) p_.fillRect(QRectF(u, v - m.ascent, width, m.height), ToQColor(op.bkColor));
    QColor ink = ToQColor(op.textColor);
    p_.setFont(HostQtFont(font));
    p_.setPen(ink);
    double x = u;
    for (std::size_t i = 0; i < chars.size(); ++i) {
      char32_t c = HostDisplayChar(font, chars[i]);
      if (c > 0x20) p_.drawText(QPointF(x, v), HostCharString(c));
      x += advances[i];
    }
    if (op.font.underline)
      p_.fillRect(QRectF(u, v + m.underlinePosition, width, m.lineThickness), ink);
    if (op.font.strikeOut)
      p_.fillRect(QRectF(u, v - m.strikeOutPosition, width, m.lineThickness), ink);
    p_.restore();
  }

  // A negative extent runs from its origin towards smaller coordinates: [o + e + 1, o + 1).
  static void Span(int origin, int extent, int* lo, int* length) {
    *lo = extent < 0 ? origin + extent + 1 : origin;
    *length = std::abs(extent);
  }

  void Image(const HostDrawOp& op) {
    const HostImage* img = op.image.get();
    if (!img || img->width <= 0 || img->height <= 0 ||
        img->pixels.size() < std::size_t(img->width) * std::size_t(img->height))
      return;
    int dw = op.rect.right - op.rect.left, dh = op.rect.bottom - op.rect.top;
    int sw = op.source.right - op.source.left, sh = op.source.bottom - op.source.top;
    if (!dw || !dh || !sw || !sh) return;
    int dx, dy, sx, sy, dwa, dha, swa, sha;
    Span(op.rect.left, dw, &dx, &dwa);
    Span(op.rect.top, dh, &dy, &dha);
    Span(op.source.left, sw, &sx, &swa);
    Span(op.source.top, sh, &sy, &sha);
    QImage whole(reinterpret_cast<const uchar*>(img->pixels.data()), img->width, img->height,
                 img->width * 4, QImage::Format_RGB32);
    QImage part = whole.copy(sx, sy, swa, sha);
    if (op.hasTransparent) {
      part = part.convertToFormat(QImage::Format_ARGB32);
      QRgb key = qRgb(int(op.transparent & 0xFF), int((op.transparent >> 8) & 0xFF),
                      int((op.transparent >> 16) & 0xFF));
      for (int y = 0; y < part.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < part.width(); ++x)
          if ((row[x] | 0xFF000000u) == (key | 0xFF000000u)) row[x] = 0;
      }
    }
    bool mirrorX = (dw < 0) != (sw < 0), mirrorY = (dh < 0) != (sh < 0);
    if (mirrorX || mirrorY) part = part.mirrored(mirrorX, mirrorY);
    p_.drawImage(QRectF(dx, dy, dwa, dha), part);
  }

  QPainter& p_;
  QTransform base_;
  QRect area_;
  double hatchScale_ = 1;
  const std::vector<RECT>* currentClip_ = nullptr;
};

void CheckJob(const HostPrintJob& job) {
  const HostPaper& p = job.paper;
  if (p.dpiX <= 0 || p.dpiY <= 0 || p.width <= 0 || p.height <= 0 ||
      p.printable.right <= p.printable.left || p.printable.bottom <= p.printable.top)
    throw EPrinter("The printer's paper size is not valid");
  if (job.pages.empty()) throw EPrinter("The print job has no pages");
}

void RenderPages(QPainter& painter, QPagedPaintDevice& device, const HostPrintJob& job,
                 int resolution) {
  PageRenderer renderer(painter, job.paper, resolution);
  bool first = true;
  for (int copy = 0; copy < std::max(job.copies, 1); ++copy)
    for (const auto& page : job.pages) {
      if (!first) device.newPage();
      first = false;
      if (page) renderer.Page(*page);
    }
}

std::u16string Quoted(const std::u16string& s) { return u"\"" + s + u"\""; }

// The few calls of libcups the host needs, loaded at run time: its headers are not installed,
// and a program that never lists or uses a queue never loads it (nor the dozens of libraries it
// pulls in). The structures are libcups's own layout.
struct CupsOption {
  char* name;
  char* value;
};
struct CupsDest {
  char* name;
  char* instance;
  int isDefault;
  int optionCount;
  CupsOption* options;
};
struct CupsSize {  // hundredths of a millimetre
  char media[128];
  int width, length, bottom, left, right, top;
};
struct Http;
struct DestInfo;
struct IppAttribute;
using TimeoutCallback = int (*)(Http*, void*);
constexpr int kIppStatusErrorNotFound = 0x0406;
constexpr int kIppResPerCm = 4;

struct Cups {
  int (*printFile)(const char* printer, const char* file, const char* title, int count,
                   CupsOption* options) = nullptr;
  const char* (*lastErrorString)() = nullptr;
  int (*lastError)() = nullptr;
  void (*setServer)(const char* server) = nullptr;
  const char* (*server)() = nullptr;
  int (*port)() = nullptr;
  int (*encryption)() = nullptr;
  Http* (*connect)(const char* host, int port, void* addresses, int family, int encryption,
                   int blocking, int msec, int* cancel) = nullptr;
  void (*close)(Http* http) = nullptr;
  void (*setTimeout)(Http* http, double seconds, TimeoutCallback callback, void* data) = nullptr;
  int (*getDests)(Http* http, CupsDest** dests) = nullptr;
  void (*freeDests)(int count, CupsDest* dests) = nullptr;
  CupsDest* (*getNamedDest)(Http* http, const char* name, const char* instance) = nullptr;
  DestInfo* (*copyDestInfo)(Http* http, CupsDest* dest) = nullptr;
  void (*freeDestInfo)(DestInfo* info) = nullptr;
  int (*mediaDefault)(Http* http, CupsDest* dest, DestInfo* info, unsigned flags,
                      CupsSize* size) = nullptr;
  IppAttribute* (*findDefault)(Http* http, CupsDest* dest, DestInfo* info,
                               const char* option) = nullptr;
  int (*getResolution)(IppAttribute* attr, int element, int* yres, int* units) = nullptr;
};

template <class F>
bool Bind(void* lib, const char* name, F*& f) {
  f = reinterpret_cast<F*>(dlsym(lib, name));
  return f != nullptr;
}

// Loaded once, by whichever thread asks first; thread-safe as a local static.
const Cups* LoadCups() {
  static const Cups* cups = []() -> const Cups* {
    void* lib = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!lib) return nullptr;
    auto* c = new Cups;
    bool all =
        Bind(lib, "cupsPrintFile", c->printFile) &&
        Bind(lib, "cupsLastErrorString", c->lastErrorString) &&
        Bind(lib, "cupsLastError", c->lastError) && Bind(lib, "cupsSetServer", c->setServer) &&
        Bind(lib, "cupsServer", c->server) && Bind(lib, "ippPort", c->port) &&
        Bind(lib, "cupsEncryption", c->encryption) && Bind(lib, "httpConnect2", c->connect) &&
        Bind(lib, "httpClose", c->close) && Bind(lib, "httpSetTimeout", c->setTimeout) &&
        Bind(lib, "cupsGetDests2", c->getDests) && Bind(lib, "cupsFreeDests", c->freeDests) &&
        Bind(lib, "cupsGetNamedDest", c->getNamedDest) &&
        Bind(lib, "cupsCopyDestInfo", c->copyDestInfo) &&
        Bind(lib, "cupsFreeDestInfo", c->freeDestInfo) &&
        Bind(lib, "cupsGetDestMediaDefault", c->mediaDefault) &&
        Bind(lib, "cupsFindDestDefault", c->findDefault) &&
        Bind(lib, "ippGetResolution", c->getResolution);
    if (!all) {
      delete c;
      return nullptr;
    }
    return c;
  }();
  return cups;
}

// libcups keeps the server it first found for the whole run (of the calling thread); forgetting
// it makes a changed CUPS_SERVER (or client.conf) count from the next call on.
void ForgetCupsServer(const Cups& cups) { cups.setServer(nullptr); }

// Gives up on the first timeout: a server that accepts and never answers must not hold the
// caller for libcups's own minute per request.
int GiveUp(Http*, void* timedOut) {
  *static_cast<bool*>(timedOut) = true;
  return 0;
}

int Pixels(int hundredthsOfMm, int dpi) {
  return int(std::lround(hundredthsOfMm * double(dpi) / 2540.0));
}

// A queue's paper: the server's default medium and its margins, at the default resolution; A4
// with 10-point margins at 1200 dpi where the queue says nothing (a raw queue).
HostPaper QueuePaper(const Cups& cups, Http* http, CupsDest* dest) {
  HostPaper p;
  int dpi = 1200;
  CupsSize size{};
  bool sized = false;
  if (DestInfo* info = cups.copyDestInfo(http, dest)) {
    if (IppAttribute* res = cups.findDefault(http, dest, info, "printer-resolution")) {
      int y = 0, units = 0;
      int x = cups.getResolution(res, 0, &y, &units);
      if (units == kIppResPerCm) x = int(std::lround(x * 2.54));
      if (x >= 72 && x <= 9600) dpi = x;
    }
    sized = cups.mediaDefault(http, dest, info, 0, &size) && size.width > 0 && size.length > 0;
    cups.freeDestInfo(info);
  }
  if (!sized) {
    size.width = 21000;
    size.length = 29700;
    size.left = size.right = size.top = size.bottom = 353;  // 10 points
  }
  p.dpiX = p.dpiY = dpi;
  p.width = Pixels(std::min(size.width, size.length), dpi);
  p.height = Pixels(std::max(size.width, size.length), dpi);
  p.printable = RECT{Pixels(size.left, dpi), Pixels(size.top, dpi),
                     p.width - Pixels(size.right, dpi), p.height - Pixels(size.bottom, dpi)};
  return p;
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t w = write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    done += std::size_t(w);
  }
  return true;
}

}  // namespace

std::vector<HostPrinterInfo> HostEnumPrinters(std::u16string* error, int waitMs) {
  std::u16string why;
  std::vector<HostPrinterInfo> out;
  ScopeGuard report([&] {
    if (error) *error = why;
  });
  const Cups* cups = LoadCups();
  if (!cups) {
    why = u"Printing to a printer needs the CUPS library (libcups.so.2), which is not installed";
    return out;
  }
  ForgetCupsServer(*cups);
  const std::string server = cups->server() ? cups->server() : "";
  Http* http = cups->connect(server.c_str(), cups->port(), nullptr, 0, cups->encryption(), 1,
                             waitMs, nullptr);
  if (!http) {
    why = u"The print server " + Quoted(FromUtf8(server)) + u" cannot be reached";
    return out;
  }
  ScopeGuard closed([&] { cups->close(http); });
  bool timedOut = false;
  cups->setTimeout(http, waitMs / 1000.0, GiveUp, &timedOut);
  CupsDest* dests = nullptr;
  int count = cups->getDests(http, &dests);
  ScopeGuard freed([&] { cups->freeDests(count, dests); });
  for (int i = 0; i < count && !timedOut; ++i) {
    CupsDest& d = dests[i];
    if (!d.name || d.instance) continue;  // an instance is the same queue with other options
    HostPrinterInfo p;
    p.name = FromUtf8(d.name);
    p.isDefault = d.isDefault != 0;
    p.paper = QueuePaper(*cups, http, &d);
    out.push_back(std::move(p));
  }
  if (timedOut) {
    out.clear();
    why = u"The print server " + Quoted(FromUtf8(server)) + u" does not answer";
  } else if (count == 0 && cups->lastError() >= 0x0400 &&
             cups->lastError() != kIppStatusErrorNotFound) {
    const char* reason = cups->lastErrorString();
    why = u"The print server " + Quoted(FromUtf8(server)) + u" cannot be asked for its printers" +
          (reason && *reason ? u": " + FromUtf8(reason) : std::u16string());
  }
  return out;
}

std::string HostRenderPdf(const HostPrintJob& job) {
  HostEnsureApplication();
  CheckJob(job);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    int resolution = std::max(job.paper.dpiX, job.paper.dpiY);
    writer.setResolution(resolution);
    writer.setTitle(ToQ(job.title));
    writer.setCreator(QStringLiteral("Quillmark"));
    if (!writer.setPageLayout(LayoutFor(job.paper)))
      throw EPrinter("The paper size cannot be used for PDF output");
    QPainter painter;
    if (!painter.begin(&writer)) throw EPrinter("PDF output could not be started");
    RenderPages(painter, writer, job, resolution);
    if (!painter.end()) throw EPrinter("PDF output could not be completed");
  }
  return std::string(bytes.constData(), std::size_t(bytes.size()));
}

void HostWritePdf(const HostPrintJob& job, const std::u16string& path) {
  std::string pdf = HostRenderPdf(job);
  const std::u16string shown = u"\"" + DisplayPath(path) + u"\"";
  String folder = ExtractFileDir(path);
  if (!folder.empty() && !DirectoryExists(folder))
    throw EPrinter(u"Cannot create the file " + shown + u": the folder does not exist");
  TFileError error;
  if (!WriteFileReplacing(path, pdf, &error)) {
    std::u16string why = error.reason.empty() ? u"the file could not be written" : error.reason;
    throw EPrinter(u"Cannot create the file " + shown + u": " + why);
  }
}

void HostSubmitToPrinter(const std::u16string& printerName, const HostPrintJob& job) {
  HostEnsureApplication();
  CheckJob(job);
  const Cups* cups = LoadCups();
  if (!cups)
    throw EPrinter("Printing needs the CUPS library (libcups.so.2), which is not installed");
  ForgetCupsServer(*cups);
  std::string queue = ToUtf8(printerName);
  CupsDest* dest = cups->getNamedDest(nullptr, queue.c_str(), nullptr);
  if (!dest) throw EPrinter(u"The printer " + Quoted(printerName) + u" is not available");
  cups->freeDests(1, dest);
  // The queue gets the same vector PDF as the PDF printer writes, with the copies as an option.
  HostPrintJob once = job;
  once.copies = 1;
  std::string pdf = HostRenderPdf(once);
  std::string spool = (QDir::tempPath() + QStringLiteral("/korv-print-XXXXXX")).toStdString();
  std::vector<char> name(spool.begin(), spool.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) throw EPrinter(u"The print job cannot be spooled: " + FromUtf8(std::strerror(errno)));
  bool written = WriteAll(fd, pdf);
  close(fd);
  if (!written) {
    unlink(name.data());
    throw EPrinter("The print job cannot be spooled: the temporary folder is full");
  }
  CupsOption options[2];
  std::string copies = std::to_string(std::max(job.copies, 1));
  options[0] = {const_cast<char*>("copies"), copies.data()};
  int count = 1;
  std::string media = LayoutFor(job.paper).pageSize().key().toStdString();
  if (!media.empty() && LayoutFor(job.paper).pageSize().id() != QPageSize::Custom)
    options[count++] = {const_cast<char*>("media"), media.data()};
  std::string title = ToUtf8(job.title);
  int id = cups->printFile(queue.c_str(), name.data(), title.c_str(), count, options);
  unlink(name.data());
  if (id <= 0) {
    const char* why = cups->lastErrorString ? cups->lastErrorString() : nullptr;
    throw EPrinter(u"The printer " + Quoted(printerName) + u" refused the job" +
                   (why && *why ? u": " + FromUtf8(why) : std::u16string()));
  }
}
