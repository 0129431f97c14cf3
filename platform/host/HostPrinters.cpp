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
#include <QPrinter>
#include <QPrinterInfo>
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
#include "Strings.h"

namespace {

QString ToQ(const std::u16string& s) {
  return QString(reinterpret_cast<const QChar*>(s.data()), qsizetype(s.size()));
}

std::u16string FromQ(const QString& s) {
  return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), std::size_t(s.size()));
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
// the library is wherever Qt's CUPS support is.
struct CupsOption {
  char* name;
  char* value;
};
struct Cups {
  int (*printFile)(const char* printer, const char* file, const char* title, int count,
                   CupsOption* options) = nullptr;
  const char* (*lastErrorString)() = nullptr;
  void (*setServer)(const char* server) = nullptr;
};

const Cups* LoadCups() {
  static const Cups* cups = []() -> const Cups* {
    void* lib = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!lib) return nullptr;
    void* print = dlsym(lib, "cupsPrintFile");
    if (!print) return nullptr;
    auto* c = new Cups;
    c->printFile = reinterpret_cast<decltype(c->printFile)>(print);
    c->lastErrorString =
        reinterpret_cast<decltype(c->lastErrorString)>(dlsym(lib, "cupsLastErrorString"));
    c->setServer = reinterpret_cast<decltype(c->setServer)>(dlsym(lib, "cupsSetServer"));
    return c;
  }();
  return cups;
}

// libcups keeps the server it first found for the whole run; forgetting it makes a changed
// CUPS_SERVER (or client.conf) count from the next call on.
void ForgetCupsServer() {
  const Cups* cups = LoadCups();
  if (cups && cups->setServer) cups->setServer(nullptr);
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

std::vector<HostPrinterInfo> HostEnumPrinters(std::u16string* error) {
  HostEnsureApplication();
  if (error) error->clear();
  ForgetCupsServer();
  std::vector<HostPrinterInfo> out;
  QString defaultName = QPrinterInfo::defaultPrinterName();
  for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
    QPrinter printer(info, QPrinter::HighResolution);
    int res = printer.resolution();
    if (res <= 0) continue;
    QPageLayout layout = printer.pageLayout();
    layout.setOrientation(QPageLayout::Portrait);
    QRect full = layout.fullRectPixels(res), paint = layout.paintRectPixels(res);
    if (full.isEmpty() || paint.isEmpty()) continue;
    HostPrinterInfo p;
    p.name = FromQ(info.printerName());
    p.isDefault = info.printerName() == defaultName || info.isDefault();
    p.paper.dpiX = p.paper.dpiY = res;
    p.paper.width = full.width();
    p.paper.height = full.height();
    p.paper.printable =
        RECT{paint.left(), paint.top(), paint.left() + paint.width(), paint.top() + paint.height()};
    out.push_back(std::move(p));
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
  String folder = ExtractFileDir(path);
  if (!folder.empty() && !DirectoryExists(folder))
    throw EPrinter(u"Cannot create the file " + Quoted(path) + u": the folder does not exist");
  errno = 0;
  if (!WriteFileReplacing(path, pdf)) {
    int e = errno;
    std::u16string why = e ? FromUtf8(std::strerror(e)) : u"the file could not be written";
    throw EPrinter(u"Cannot create the file " + Quoted(path) + u": " + why);
  }
}

void HostSubmitToPrinter(const std::u16string& printerName, const HostPrintJob& job) {
  HostEnsureApplication();
  CheckJob(job);
  const Cups* cups = LoadCups();
  if (!cups)
    throw EPrinter("Printing needs the CUPS library (libcups.so.2), which is not installed");
  ForgetCupsServer();
  if (QPrinterInfo::printerInfo(ToQ(printerName)).isNull())
    throw EPrinter(u"The printer " + Quoted(printerName) + u" is not available");
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
  std::string printer = ToUtf8(printerName), title = ToUtf8(job.title);
  int id = cups->printFile(printer.c_str(), name.data(), title.c_str(), count, options);
  unlink(name.data());
  if (id <= 0) {
    const char* why = cups->lastErrorString ? cups->lastErrorString() : nullptr;
    throw EPrinter(u"The printer " + Quoted(printerName) + u" refused the job" +
                   (why && *why ? u": " + FromUtf8(why) : std::u16string()));
  }
}
