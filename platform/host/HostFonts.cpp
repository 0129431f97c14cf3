#include "HostFonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QString>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>

#include "HostApp.h"
#include "HostFontsQt.h"

class HostFont {
 public:
  QFont font;
  HostFontMetrics metrics;
  bool marlett = false;
  bool antialias = true;
  bool underline = false;
  bool strikeOut = false;
  std::unique_ptr<QFontMetrics> fm;
  std::unordered_map<char32_t, int> advances;
  std::unordered_map<char32_t, HostGlyph> glyphs;
};

namespace {

QString ToQ(const std::u16string& s) {
  return QString(reinterpret_cast<const QChar*>(s.data()), qsizetype(s.size()));
}

std::u16string FromQ(const QString& s) {
  return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), std::size_t(s.size()));
}

// The few characters of the "Marlett" symbol font the library uses, as ordinary symbols.
char32_t MarlettSymbol(char32_t c) {
  switch (c) {
    case U'0': return U'\u2581';  // minimise bar
    case U'1': return U'\u25A1';  // maximise box
    case U'2': return U'\u2750';  // restore boxes
    case U'3': return U'\u25C0';  // arrow left
    case U'4': return U'\u25B6';  // arrow right
    case U'5': return U'\u25B2';  // arrow up
    case U'6': return U'\u25BC';  // arrow down
    case U'a': return U'\u2713';  // check mark
    case U'h': return U'\u25E2';  // size grip
    case U'n': return U'\u25CF';  // bullet
    case U'r': return U'\u2715';  // close cross
    default: return c;
  }
}

const QSet<QString>& Installed() {
  static const QSet<QString>* families = [] {
    HostEnsureApplication();
    auto* set = new QSet<QString>;
    for (const QString& f : QFontDatabase::families()) set->insert(f.toLower());
    return set;
  }();
  return *families;
}

QString FirstInstalled(std::initializer_list<const char*> names) {
  for (const char* n : names)
    if (Installed().contains(QString::fromLatin1(n).toLower())) return QString::fromLatin1(n);
  return QString::fromLatin1(*names.begin());
}

QString MapFamily(const QString& face) {
  QString f = face.trimmed().toLower();
  static const QSet<QString> sans = {
      "",          "tahoma",       "ms sans serif", "microsoft sans serif", "arial",
      "verdana",   "segoe ui",     "ms shell dlg",  "ms shell dlg 2",       "system",
      "helvetica", "trebuchet ms", "calibri",       "small fonts",          "arial narrow"};
  static const QSet<QString> mono = {"courier new", "courier",  "fixedsys",
                                     "terminal",    "consolas", "lucida console"};
  static const QSet<QString> serif = {"times new roman", "times", "georgia", "ms serif"};
  if (f == "marlett") return FirstInstalled({"DejaVu Sans", "Liberation Sans"});
  if (sans.contains(f)) return FirstInstalled({"Liberation Sans", "DejaVu Sans"});
  if (mono.contains(f)) return FirstInstalled({"Liberation Mono", "DejaVu Sans Mono"});
  if (serif.contains(f)) return FirstInstalled({"Liberation Serif", "DejaVu Serif"});
  if (Installed().contains(f)) return face.trimmed();
  return FirstInstalled({"Liberation Sans", "DejaVu Sans"});
}

// Design metrics (units per em, OS/2 usWinAscent, usWinDescent) of the faces the windows were
// designed with, so that a stand-in reports their cell, not its own: layouts sized from tmHeight
// then come out as designed. A face not listed keeps the stand-in's cell.
// Some faces also carry vertical device metrics: their cell at each size is the black extent of
// their hinted characters where that is larger (Arial at 11 pixels is 14 high, 11 + 3, where
// the design figures give 10 + 2). The stand-in is metric-compatible, so its own hinted glyphs
// give that extent.
struct DesignedCell {
  const char* face;
  int unitsPerEm, winAscent, winDescent;
  bool blackExtent = false;
};
constexpr DesignedCell kDesignedCells[] = {
    {"tahoma", 2048, 2049, 423},
    {"verdana", 2048, 2059, 430},
    {"segoe ui", 2048, 2210, 514},
    {"arial", 2048, 1854, 434, true},
};

// The highest and lowest pixel the printable characters of the Western code page reach, drawn
// in one line.
void BlackExtent(const QFont& font, int* ascent, int* descent) {
  QString text;
  for (char16_t c = 0x21; c <= 0xFF; ++c)
    if (c < 0x7F || c >= 0xA1) text += QChar(c);
  QFontMetrics fm(font);
  const int size = std::max(font.pixelSize(), 1), baseline = 2 * size;
  QImage img(fm.horizontalAdvance(text) + 2 * size, 4 * size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  {
    QPainter p(&img);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(size, baseline, text);
  }
  int top = img.height(), bottom = -1;
  for (int y = 0; y < img.height(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if (qAlpha(row[x])) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
        break;
      }
  }
  *ascent = bottom < 0 ? 0 : baseline - top;
  *descent = bottom < 0 ? 0 : bottom + 1 - baseline;
}

// Hinted as the platform draws small text, where the extent is counted in whole pixels.
QFont Aliased(QFont f) {
  f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferQuality));
  return f;
}

// Forward: defined with the rounding rule below.
int ScaledToPixels(int design, int ppem, int unitsPerEm);

void DesignedCellAt(const DesignedCell& d, QFont f, int em, int* ascent, int* descent) {
  *ascent = ScaledToPixels(d.winAscent, em, d.unitsPerEm);
  *descent = ScaledToPixels(d.winDescent, em, d.unitsPerEm);
  if (!d.blackExtent) return;
  f.setPixelSize(em);
  int black, below;
  BlackExtent(Aliased(f), &black, &below);
  *ascent = std::max(*ascent, black);
  *descent = std::max(*descent, below);
}

// A bitmap face comes in fixed sizes, each with its own cell; the stand-in draws at the size's
// character height on that cell's baseline. "MS Sans Serif" at 96 pixels per inch.
struct BitmapSize {
  int height, ascent, descent, internalLeading;
};
constexpr BitmapSize kMsSansSerifSizes[] = {
    {13, 11, 2, 2}, {16, 13, 3, 3}, {20, 16, 4, 4}, {24, 19, 5, 6}, {29, 23, 6, 5}, {37, 29, 8, 5},
};

// The largest size whose character height (a negative request) or cell (a positive one) is no
// more than asked, else the smallest; the 8-point size when no height is asked.
const BitmapSize* BitmapSizeOf(const QString& face, int height) {
  if (face.trimmed().toLower() != QLatin1String("ms sans serif")) return nullptr;
  const BitmapSize* best = &kMsSansSerifSizes[0];
  if (height == 0) return best;
  for (const BitmapSize& b : kMsSansSerifSizes)
    if ((height < 0 ? b.height - b.internalLeading <= -height : b.height <= height)) best = &b;
  return best;
}

const DesignedCell* DesignedCellOf(const QString& face) {
  QString f = face.trimmed().toLower();
  for (const DesignedCell& d : kDesignedCells)
    if (f == QLatin1String(d.face)) return &d;
  return nullptr;
}

// Scaled in 1/64 pixels as FreeType scales, then rounded to the nearest pixel: the platform's
// cell rule for an outline font without device metrics, which the stand-ins follow on their own.
int ScaledToPixels(int design, int ppem, int unitsPerEm) {
  long long scale = (ppem * 64LL * 65536 + unitsPerEm / 2) / unitsPerEm;
  long long value = (design * scale + 0x8000) >> 16;
  return int((value + 32) >> 6);
}

std::u16string Key(const HostFontRequest& r) {
  std::u16string k = r.face;
  k += u'\0';
  for (int v : {r.height, r.width, r.weight, int(r.italic), int(r.underline), int(r.strikeOut),
                r.charSet, r.pitchAndFamily, int(r.antialias)}) {
    k += char16_t(v & 0xFFFF);
    k += char16_t((v >> 16) & 0xFFFF);
  }
  return k;
}

std::unordered_map<std::u16string, std::unique_ptr<HostFont>>& Cache() {
  // Never destroyed: its Qt objects must not outlive the application object.
  static auto* cache = new std::unordered_map<std::u16string, std::unique_ptr<HostFont>>;
  return *cache;
}

QFont BaseFont(const QString& family, const HostFontRequest& r) {
  QFont f(family);
  f.setStyleStrategy(QFont::StyleStrategy(
      (r.antialias ? QFont::PreferAntialias : QFont::NoAntialias) | QFont::PreferQuality));
  f.setHintingPreference(QFont::PreferFullHinting);
  f.setKerning(false);
  f.setWeight(QFont::Weight(std::clamp(r.weight <= 0 ? 400 : r.weight, 1, 1000)));
  f.setItalic(r.italic);
  return f;
}

std::unique_ptr<HostFont> Realize(const HostFontRequest& r) {
  HostEnsureApplication();
  auto font = std::make_unique<HostFont>();
  QString family = MapFamily(ToQ(r.face));
  QFont f = BaseFont(family, r);
  const DesignedCell* designed = DesignedCellOf(ToQ(r.face));  // always drawn with a stand-in
  const BitmapSize* fixed = BitmapSizeOf(ToQ(r.face), r.height);
  int em;
  if (fixed) {
    em = fixed->height - fixed->internalLeading;
  } else if (r.height < 0) {
    em = -r.height;
  } else if (r.height > 0 && designed) {
    // The largest em size whose cell fits the height asked for.
    em = int(std::lround(double(r.height) * designed->unitsPerEm /
                         (designed->winAscent + designed->winDescent)));
    int ascent, descent;
    while (em > 1 &&
           (DesignedCellAt(*designed, f, em, &ascent, &descent), ascent + descent > r.height))
      --em;
  } else if (r.height > 0) {
    // A cell height: the em size whose ascent and descent add up to it.
    QFont ref = f;
    ref.setPixelSize(1000);
    QFontMetricsF m(ref);
    double cell = m.ascent() + m.descent();
    em = int(std::lround(r.height * 1000.0 / (cell > 0 ? cell : 1000.0)));
  } else {
    em = 13;
  }
  f.setPixelSize(std::max(em, 1));
  if (r.width > 0) {
    int natural = QFontMetrics(f).averageCharWidth();
    if (natural > 0) f.setStretch(std::clamp(r.width * 100 / natural, 1, 4000));
  }
  font->font = f;
  font->fm = std::make_unique<QFontMetrics>(f);
  font->marlett = QString(ToQ(r.face)).trimmed().compare("marlett", Qt::CaseInsensitive) == 0;
  font->antialias = r.antialias;
  font->underline = r.underline;
  font->strikeOut = r.strikeOut;
  const QFontMetrics& fm = *font->fm;
  HostFontMetrics& m = font->metrics;
  if (fixed) {
    m.ascent = fixed->ascent;
    m.descent = fixed->descent;
  } else if (designed) {
    DesignedCellAt(*designed, f, std::max(em, 1), &m.ascent, &m.descent);
  } else {
    m.ascent = fm.ascent();
    m.descent = fm.descent();
  }
  m.height = m.ascent + m.descent;
  m.internalLeading = fixed ? fixed->internalLeading : std::max(0, m.height - std::max(em, 1));
  m.externalLeading = std::max(0, fm.leading());
  m.aveCharWidth = fm.averageCharWidth();
  m.maxCharWidth = fm.maxWidth();
  m.weight = r.weight <= 0 ? 400 : r.weight;
  m.italic = r.italic;
  m.fixedPitch = QFontInfo(f).fixedPitch();
  m.underlinePosition = std::max(1, fm.underlinePos());
  m.lineThickness = std::max(1, fm.lineWidth());
  m.strikeOutPosition = fm.strikeOutPos();
  m.family = FromQ(QFontInfo(f).family());
  return font;
}

// Coverage from the alpha channel of a premultiplied image, cropped to what was drawn.
void Crop(const QImage& img, int originX, int originY, int* left, int* top, int* w, int* h,
          std::vector<std::uint8_t>* out) {
  int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
  for (int y = 0; y < img.height(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if (qAlpha(row[x])) {
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
      }
  }
  if (x1 < 0) {
    *left = *top = *w = *h = 0;
    out->clear();
    return;
  }
  *w = x1 - x0 + 1;
  *h = y1 - y0 + 1;
  *left = x0 - originX;
  *top = y0 - originY;
  out->assign(std::size_t(*w) * std::size_t(*h), 0);
  for (int y = 0; y < *h; ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y0 + y));
    for (int x = 0; x < *w; ++x)
      (*out)[std::size_t(y) * std::size_t(*w) + std::size_t(x)] = std::uint8_t(qAlpha(row[x0 + x]));
  }
}

void PreparePainter(QPainter& p, const HostFont* font) {
  p.setFont(font->font);
  p.setPen(QColor(0, 0, 0, 255));
  p.setRenderHint(QPainter::TextAntialiasing, font->antialias);
  p.setRenderHint(QPainter::Antialiasing, font->antialias);
}

}  // namespace

QString HostCharString(char32_t c) {
  if (c > 0xFFFF) {
    char32_t v = c - 0x10000;
    QChar pair[2] = {QChar(char16_t(0xD800 + (v >> 10))), QChar(char16_t(0xDC00 + (v & 0x3FF)))};
    return QString(pair, 2);
  }
  return QString(QChar(char16_t(c)));
}

const HostFont* HostRealizeFont(const HostFontRequest& request) {
  auto& cache = Cache();
  std::u16string key = Key(request);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second.get();
  auto font = Realize(request);
  const HostFont* raw = font.get();
  cache.emplace(std::move(key), std::move(font));
  return raw;
}

const HostFontMetrics& HostGetFontMetrics(const HostFont* font) { return font->metrics; }

std::u16string HostMapFamily(const std::u16string& face) { return FromQ(MapFamily(ToQ(face))); }

int HostGetAdvance(const HostFont* font, char32_t ch) {
  auto* f = const_cast<HostFont*>(font);
  auto it = f->advances.find(ch);
  if (it != f->advances.end()) return it->second;
  char32_t c = f->marlett ? MarlettSymbol(ch) : ch;
  int adv = c < 0x20 ? 0 : f->fm->horizontalAdvance(HostCharString(c));
  f->advances.emplace(ch, adv);
  return adv;
}

const HostGlyph& HostGetGlyph(const HostFont* font, char32_t ch) {
  auto* f = const_cast<HostFont*>(font);
  auto it = f->glyphs.find(ch);
  if (it != f->glyphs.end()) return it->second;
  HostGlyph g;
  g.advance = HostGetAdvance(font, ch);
  char32_t c = f->marlett ? MarlettSymbol(ch) : ch;
  if (c > 0x20) {
    QString s = HostCharString(c);
    QRect br = f->fm->boundingRect(s);
    int pad = 2 + f->font.pixelSize() / 4;
    int ox = std::max(0, -br.left()) + pad, oy = std::max(f->metrics.ascent, -br.top()) + pad;
    int w = std::max(br.right(), g.advance) + ox + pad;
    int h = oy + std::max(f->metrics.descent, br.bottom()) + pad;
    QImage img(std::max(w, 1), std::max(h, 1), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
      QPainter p(&img);
      PreparePainter(p, f);
      p.drawText(QPoint(ox, oy), s);
    }
    Crop(img, ox, oy, &g.left, &g.top, &g.width, &g.height, &g.coverage);
  }
  return f->glyphs.emplace(ch, std::move(g)).first->second;
}

HostMask HostRenderRun(const HostFont* font, const std::u32string& chars,
                       const std::vector<int>& advances, double angleDegrees) {
  HostMask mask;
  const HostFontMetrics& m = font->metrics;
  int length = 0;
  for (std::size_t i = 0; i < chars.size(); ++i) length += i < advances.size() ? advances[i] : 0;
  double a = angleDegrees * M_PI / 180.0;
  // Screen rotation counter-clockwise: a text-space point (u, v) lands at
  // (u cos a + v sin a, -u sin a + v cos a).
  auto map = [&](double u, double v) {
    return QPointF(u * std::cos(a) + v * std::sin(a), -u * std::sin(a) + v * std::cos(a));
  };
  int pad = 2 + font->font.pixelSize() / 4;
  QPolygonF box;
  for (auto [u, v] : {std::pair<double, double>{-pad, -m.ascent - pad},
                      {length + pad, -m.ascent - pad},
                      {length + pad, m.descent + pad},
                      {-pad, m.descent + pad}})
    box << map(u, v);
  QRect bounds = box.boundingRect().toAlignedRect();
  QImage img(std::max(bounds.width(), 1), std::max(bounds.height(), 1),
             QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  {
    QPainter p(&img);
    PreparePainter(p, font);
    p.translate(-bounds.left(), -bounds.top());
    p.rotate(-angleDegrees);
    int x = 0;
    for (std::size_t i = 0; i < chars.size(); ++i) {
      char32_t c = font->marlett ? MarlettSymbol(chars[i]) : chars[i];
      if (c > 0x20) p.drawText(QPoint(x, 0), HostCharString(c));
      x += i < advances.size() ? advances[i] : 0;
    }
    if (font->underline)
      p.fillRect(QRect(0, m.underlinePosition, length, m.lineThickness), QColor(0, 0, 0, 255));
    if (font->strikeOut)
      p.fillRect(QRect(0, -m.strikeOutPosition, length, m.lineThickness), QColor(0, 0, 0, 255));
  }
  Crop(img, -bounds.left(), -bounds.top(), &mask.left, &mask.top, &mask.width, &mask.height,
       &mask.coverage);
  return mask;
}

const QFont& HostQtFont(const HostFont* font) { return font->font; }

char32_t HostDisplayChar(const HostFont* font, char32_t ch) {
  return font->marlett ? MarlettSymbol(ch) : ch;
}
