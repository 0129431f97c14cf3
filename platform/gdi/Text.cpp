// Fonts and text: creation, metrics and extents from the host, glyph compositing in the text
// colour within the clip region, ExtTextOut and DrawText.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "GdiInternal.h"
#include "GdiRecording.h"
#include "HostFonts.h"

HostFontRequest HostFontRequestOf(const LOGFONTW& lf) {
  HostFontRequest r;
  for (int i = 0; i < LF_FACESIZE && lf.lfFaceName[i]; ++i) r.face += lf.lfFaceName[i];
  r.height = lf.lfHeight;
  r.width = std::abs(lf.lfWidth);
  r.weight = lf.lfWeight <= 0 ? FW_NORMAL : lf.lfWeight;
  r.italic = lf.lfItalic != 0;
  r.underline = lf.lfUnderline != 0;
  r.strikeOut = lf.lfStrikeOut != 0;
  r.charSet = lf.lfCharSet;
  r.pitchAndFamily = lf.lfPitchAndFamily;
  r.antialias = lf.lfQuality != NONANTIALIASED_QUALITY;
  return r;
}

namespace gdi {

const HostFont* RealizeFont(FontObj* font) {
  if (!font) return nullptr;
  if (!font->realized) {
    const LOGFONTW& lf = font->lf;
    font->realized = HostRealizeFont(HostFontRequestOf(lf));
  }
  return font->realized;
}

namespace {

struct Run {
  std::u32string chars;
  std::vector<int> advances;  // one per entry of chars
  int width = 0;
};

// Characters (surrogate pairs joined) with their advances: the caller's dx when given (summed
// over the pair's two units), else the font's advance plus the DC's character extra.
Run MakeRun(const HostFont* font, const WCHAR* text, int count, const INT* dx, int extra) {
  Run run;
  for (int i = 0; i < count; ++i) {
    char32_t c = text[i];
    int adv = dx ? std::clamp(dx[i], -(1 << 20), 1 << 20) : 0;
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < count && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
      if (dx) adv += std::clamp(dx[i], -(1 << 20), 1 << 20);
    }
    if (!dx) adv = HostGetAdvance(font, c) + extra;
    run.chars += c;
    run.advances.push_back(adv);
    run.width = Coord(std::int64_t(run.width) + adv);
  }
  return run;
}

const HostFont* DcHostFont(DcObj* dc) { return RealizeFont(DcFont(dc)); }

int Extent(DcObj* dc, const WCHAR* text, int count) {
  const HostFont* f = DcHostFont(dc);
  if (!f) return 0;
  return MakeRun(f, text, count, nullptr, dc->st.charExtra).width;
}

Clip IntersectClip(const Clip& c, const RECT& r) {
  Clip out;
  for (const RECT& q : c.rects) {
    RECT i{std::max(q.left, r.left), std::max(q.top, r.top), std::min(q.right, r.right),
           std::min(q.bottom, r.bottom)};
    if (i.left < i.right && i.top < i.bottom) out.rects.push_back(i);
  }
  if (!out.rects.empty()) {
    out.bounds = out.rects.front();
    for (const RECT& q : out.rects) {
      out.bounds.left = std::min(out.bounds.left, q.left);
      out.bounds.right = std::max(out.bounds.right, q.right);
      out.bounds.bottom = std::max(out.bounds.bottom, q.bottom);
    }
  }
  return out;
}

double Escapement(const DcObj* dc) {
  FontObj* f = static_cast<FontObj*>(dc->st.font.get());
  return f ? f->lf.lfEscapement / 10.0 : 0.0;
}

// Draws a run with its reference point at ref (device units) as the DC's alignment places it.
void DrawRun(DcObj* dc, POINT ref, UINT options, const RECT* rect, const Run& run) {
  BitmapObj* bmp = DcBitmap(dc);
  const HostFont* font = DcHostFont(dc);
  if (!bmp || !font) return;
  Surface s = bmp->Surf();
  POINT o = DeviceToSurface(dc);
  const HostFontMetrics& m = HostGetFontMetrics(font);
  const Clip& dcClip = DcClip(dc);
  RECT r{};
  if (rect) r = {rect->left + o.x, rect->top + o.y, rect->right + o.x, rect->bottom + o.y};
  if ((options & ETO_OPAQUE) && rect)
    FillRectClipped(s, dcClip, r, SolidFill(ToPixel(dc->st.bkColor, s.mono), R2_COPYPEN));
  Clip clipped;
  const Clip* clip = &dcClip;
  if ((options & ETO_CLIPPED) && rect) {
    clipped = IntersectClip(dcClip, r);
    clip = &clipped;
  }
  UINT align = dc->st.textAlign;
  double u = 0, v = 0;  // text-space offset from the reference point to the baseline origin
  switch (align & (TA_RIGHT | TA_CENTER)) {
    case TA_RIGHT: u = -run.width; break;
    case TA_CENTER: u = -(run.width / 2); break;
    default: break;
  }
  switch (align & TA_BASELINE) {
    case TA_BASELINE: v = 0; break;
    case TA_BOTTOM: v = -m.descent; break;
    default: v = m.ascent; break;
  }
  std::uint32_t fg = ToPixel(dc->st.textColor, s.mono);
  Fill bk = SolidFill(ToPixel(dc->st.bkColor, s.mono), R2_COPYPEN);
  double angle = Escapement(dc);
  if (std::fmod(std::fabs(angle), 360.0) == 0) {
    int x0 = ref.x + o.x + int(u), base = ref.y + o.y + int(v);
    if (dc->st.bkMode == OPAQUE)
      FillRectClipped(s, *clip, RECT{x0, base - m.ascent, x0 + run.width, base + m.descent}, bk);
    int pen = x0;
    for (std::size_t i = 0; i < run.chars.size(); ++i) {
      const HostGlyph& g = HostGetGlyph(font, run.chars[i]);
      if (!g.coverage.empty())
        BlendMask(s, *clip, pen + g.left, base + g.top, g.coverage.data(), g.width, g.height,
                  g.width, fg);
      pen += run.advances[i];
    }
    Fill ink = SolidFill(fg, R2_COPYPEN);
    FontObj* fo = DcFont(dc);
    if (fo && fo->lf.lfUnderline)
      FillRectClipped(s, *clip,
                      RECT{x0, base + m.underlinePosition, x0 + run.width,
                           base + m.underlinePosition + m.lineThickness},
                      ink);
    if (fo && fo->lf.lfStrikeOut)
      FillRectClipped(s, *clip,
                      RECT{x0, base - m.strikeOutPosition, x0 + run.width,
                           base - m.strikeOutPosition + m.lineThickness},
                      ink);
    return;
  }
  double a = angle * M_PI / 180.0, ca = std::cos(a), sa = std::sin(a);
  auto map = [&](double tu, double tv) {
    return POINT{LONG(std::lround(ref.x + o.x + tu * ca + tv * sa)),
                 LONG(std::lround(ref.y + o.y - tu * sa + tv * ca))};
  };
  if (dc->st.bkMode == OPAQUE) {
    POINT cell[4] = {map(u, v - m.ascent), map(u + run.width, v - m.ascent),
                     map(u + run.width, v + m.descent), map(u, v + m.descent)};
    SpanList spans;
    int four = 4;
    if (!clip->Empty())
      PolygonDeviceSpans(cell, &four, 1, ALTERNATE, spans, clip->bounds.top, clip->bounds.bottom);
    FillSpansClipped(s, *clip, spans.data(), spans.size(), bk);
  }
  HostMask mask = HostRenderRun(font, run.chars, run.advances, angle);
  POINT origin = map(u, v);
  if (!mask.coverage.empty())
    BlendMask(s, *clip, origin.x + mask.left, origin.y + mask.top, mask.coverage.data(), mask.width,
              mask.height, mask.width, fg);
}

BOOL TextOutCore(HDC h, int x, int y, UINT options, const RECT* rect, const WCHAR* text, int count,
                 const INT* dx) {
  DcObj* dc = LookupDC(h);
  if (!dc || count < 0 || (count > 0 && !text)) return FALSE;
  const HostFont* font = DcHostFont(dc);
  if (!font) return FALSE;
  Run run = MakeRun(font, text, count, dx, dc->st.charExtra);
  POINT refLogical{x, y};
  UINT align = dc->st.textAlign;
  if (align & TA_UPDATECP) {
    refLogical = dc->st.curPos;
    // The current position moves over the text as it was drawn.
    switch (align & (TA_RIGHT | TA_CENTER)) {
      case TA_RIGHT: dc->st.curPos.x -= run.width; break;
      case TA_CENTER: break;
      default: dc->st.curPos.x += run.width; break;
    }
  }
  POINT ref = ToDevice(dc, refLogical);
  RECT devRect{};
  if (rect) {
    POINT a = ToDevice(dc, {rect->left, rect->top}), b = ToDevice(dc, {rect->right, rect->bottom});
    devRect = NormalizeRect(RECT{a.x, a.y, b.x, b.y});
  }
  if (IsRecording(dc)) {
    GdiRecordOp& op = Record(dc, GdiOpKind::Text);
    op.points = {ref};
    op.options = options & (ETO_OPAQUE | ETO_CLIPPED);
    op.rect = devRect;
    op.text.assign(text, text + count);
    if (dx) op.dx.assign(dx, dx + count);
    return TRUE;
  }
  DrawRun(dc, ref, options, rect ? &devRect : nullptr, run);
  return TRUE;
}

}  // namespace
}  // namespace gdi

using namespace gdi;

HFONT CreateFontIndirectW(const LOGFONTW* font) {
  if (!font) return 0;
  auto f = std::make_unique<FontObj>();
  f->type = OBJ_FONT;
  f->lf = *font;
  f->lf.lfFaceName[LF_FACESIZE - 1] = 0;
  return AddObject(std::move(f));
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const WCHAR* faceName) {
  LOGFONTW lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = BYTE(italic);
  lf.lfUnderline = BYTE(underline);
  lf.lfStrikeOut = BYTE(strikeOut);
  lf.lfCharSet = BYTE(charSet);
  lf.lfOutPrecision = BYTE(outPrecision);
  lf.lfClipPrecision = BYTE(clipPrecision);
  lf.lfQuality = BYTE(quality);
  lf.lfPitchAndFamily = BYTE(pitchAndFamily);
  if (faceName)
    for (int i = 0; i < LF_FACESIZE - 1 && faceName[i]; ++i) lf.lfFaceName[i] = faceName[i];
  return CreateFontIndirectW(&lf);
}

BOOL TextOutW(HDC h, int x, int y, const WCHAR* text, int count) {
  return TextOutCore(h, x, y, 0, nullptr, text, count, nullptr);
}

BOOL ExtTextOutW(HDC h, int x, int y, UINT options, const RECT* rect, const WCHAR* text, UINT count,
                 const INT* dx) {
  if (!(options & (ETO_OPAQUE | ETO_CLIPPED))) rect = nullptr;
  return TextOutCore(h, x, y, options, rect, text ? text : u"", text ? int(count) : 0, dx);
}

BOOL GetTextExtentPoint32W(HDC h, const WCHAR* text, int count, SIZE* size) {
  DcObj* dc = LookupDC(h);
  if (!dc || !size || count < 0 || (count > 0 && !text)) return FALSE;
  const HostFont* f = DcHostFont(dc);
  if (!f) return FALSE;
  size->cx = Extent(dc, text, count);
  size->cy = HostGetFontMetrics(f).height;
  return TRUE;
}

BOOL GetTextExtentExPointW(HDC h, const WCHAR* text, int count, int maxExtent, INT* fit, INT* dx,
                           SIZE* size) {
  DcObj* dc = LookupDC(h);
  if (!dc || count < 0 || (count > 0 && !text)) return FALSE;
  const HostFont* f = DcHostFont(dc);
  if (!f) return FALSE;
  int total = 0, fits = 0;
  for (int i = 0; i < count; ++i) {
    total += HostGetAdvance(f, text[i]) + dc->st.charExtra;
    if (dx) dx[i] = total;
    if (total <= maxExtent) fits = i + 1;
  }
  if (fit) *fit = fits;
  if (size) *size = {total, HostGetFontMetrics(f).height};
  return TRUE;
}

BOOL GetTextMetricsW(HDC h, TEXTMETRICW* tm) {
  DcObj* dc = LookupDC(h);
  if (!dc || !tm) return FALSE;
  FontObj* fo = DcFont(dc);
  const HostFont* f = RealizeFont(fo);
  if (!f) return FALSE;
  const HostFontMetrics& m = HostGetFontMetrics(f);
  *tm = TEXTMETRICW{};
  tm->tmHeight = m.height;
  tm->tmAscent = m.ascent;
  tm->tmDescent = m.descent;
  tm->tmInternalLeading = m.internalLeading;
  tm->tmExternalLeading = m.externalLeading;
  tm->tmAveCharWidth = m.aveCharWidth;
  tm->tmMaxCharWidth = m.maxCharWidth;
  tm->tmWeight = m.weight;
  int dpi = GetDeviceCaps(h, LOGPIXELSY);
  tm->tmDigitizedAspectX = dpi;
  tm->tmDigitizedAspectY = dpi;
  tm->tmFirstChar = 0x20;
  tm->tmLastChar = 0xFFFC;
  tm->tmDefaultChar = 0x1F;
  tm->tmBreakChar = 0x20;
  tm->tmItalic = fo->lf.lfItalic ? 255 : 0;
  tm->tmUnderlined = fo->lf.lfUnderline ? 255 : 0;
  tm->tmStruckOut = fo->lf.lfStrikeOut ? 255 : 0;
  tm->tmPitchAndFamily = BYTE((m.fixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE |
                              (fo->lf.lfPitchAndFamily & 0xF0));
  tm->tmCharSet = fo->lf.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : fo->lf.lfCharSet;
  return TRUE;
}

int GetTextFaceW(HDC h, int count, WCHAR* name) {
  DcObj* dc = LookupDC(h);
  FontObj* fo = dc ? DcFont(dc) : nullptr;
  if (!fo) return 0;
  std::u16string face;
  for (int i = 0; i < LF_FACESIZE && fo->lf.lfFaceName[i]; ++i) face += fo->lf.lfFaceName[i];
  if (face.empty()) face = u"Arial";
  if (!name) return int(face.size()) + 1;
  if (count <= 0) return 0;
  int n = std::min(count - 1, int(face.size()));
  std::copy(face.begin(), face.begin() + n, name);
  name[n] = 0;
  return n;
}

// ---- DrawText ----

namespace {

struct Line {
  std::u16string text;          // prefixes resolved
  std::vector<int> underlined;  // indexes into text of "&"-marked characters
};

// Splits at CR, LF or CR LF; single-line text drops them.
std::vector<std::u16string> SplitLines(const std::u16string& s, bool single) {
  std::vector<std::u16string> out(1);
  for (std::size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    if (c == u'\r' || c == u'\n') {
      if (single) continue;
      if (c == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n') ++i;
      out.emplace_back();
      continue;
    }
    out.back() += c;
  }
  return out;
}

Line ResolvePrefix(const std::u16string& s, bool noPrefix) {
  Line line;
  if (noPrefix) {
    line.text = s;
    return line;
  }
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'&' && i + 1 < s.size()) {
      ++i;
      if (s[i] != u'&') line.underlined.push_back(int(line.text.size()));
    } else if (s[i] == u'&') {
      continue;  // a lone trailing "&" shows nothing
    }
    line.text += s[i];
  }
  return line;
}

struct Measure {
  DcObj* dc;
  const HostFont* font;
  bool tabs;
  int tabWidth;
  // Width of text[0, n) starting at line position 0, tabs expanded.
  int Width(const std::u16string& t, std::size_t n) const {
    int x = 0;
    for (std::size_t i = 0; i < n && i < t.size(); ++i) {
      if (tabs && t[i] == u'\t') {
        x = tabWidth > 0 ? (x / tabWidth + 1) * tabWidth : x;
        continue;
      }
      x += HostGetAdvance(font, t[i]) + dc->st.charExtra;
    }
    return x;
  }
  int Width(const std::u16string& t) const { return Width(t, t.size()); }
};

// Breaks one line into lines no wider than width at spaces; a word wider than the whole width
// stays whole on its own line.
std::vector<Line> WrapLine(const Line& line, int width, const Measure& m) {
  std::vector<Line> out;
  const std::u16string& t = line.text;
  std::size_t start = 0;
  while (true) {
    if (m.Width(t.substr(start)) <= width || start >= t.size()) break;
    std::size_t breakAt = std::u16string::npos;
    for (std::size_t i = start; i < t.size(); ++i) {
      if (t[i] != u' ') continue;
      if (m.Width(t.substr(start, i - start)) <= width) breakAt = i;
      else break;
    }
    if (breakAt == std::u16string::npos) {
      std::size_t sp = t.find(u' ', start);
      if (sp == std::u16string::npos) break;
      breakAt = sp;
    }
    Line piece;
    piece.text = t.substr(start, breakAt - start);
    for (int u : line.underlined)
      if (u >= int(start) && u < int(breakAt)) piece.underlined.push_back(u - int(start));
    out.push_back(std::move(piece));
    start = breakAt;
    while (start < t.size() && t[start] == u' ') ++start;
  }
  Line rest;
  rest.text = t.substr(std::min(start, t.size()));
  for (int u : line.underlined)
    if (u >= int(start)) rest.underlined.push_back(u - int(start));
  out.push_back(std::move(rest));
  return out;
}

void AddEllipsis(Line& line, int width, const Measure& m) {
  if (m.Width(line.text) <= width) return;
  static const std::u16string dots = u"...";
  std::u16string t = line.text;
  while (!t.empty() && m.Width(t + dots) > width) t.pop_back();
  line.text = t + dots;
  line.underlined.erase(std::remove_if(line.underlined.begin(), line.underlined.end(),
                                       [&](int u) { return u >= int(t.size()); }),
                        line.underlined.end());
}

}  // namespace

int DrawTextW(HDC h, const WCHAR* text, int count, RECT* rect, UINT format) {
  DcObj* dc = LookupDC(h);
  if (!dc || !rect || !text) return 0;
  if (count < 0) count = int(std::char_traits<char16_t>::length(text));
  FontObj* fo = DcFont(dc);
  const HostFont* font = RealizeFont(fo);
  if (!font) return 0;
  const HostFontMetrics& fm = HostGetFontMetrics(font);
  bool single = format & DT_SINGLELINE;
  int tabChars = (format & DT_TABSTOP) ? int((format >> 8) & 0xFF) : 8;
  Measure m{dc, font, (format & DT_EXPANDTABS) != 0, tabChars * fm.aveCharWidth};
  if (format & DT_TABSTOP) format &= ~0xFF00u;
  int lineHeight = fm.height + ((format & DT_EXTERNALLEADING) ? fm.externalLeading : 0);
  RECT r{Coord(rect->left), Coord(rect->top), Coord(rect->right), Coord(rect->bottom)};
  int width = r.right - r.left;
  if (count == 0) {
    if (format & DT_CALCRECT) {
      rect->right = rect->left;
      rect->bottom = rect->top;
    }
    return 0;
  }
  std::vector<Line> lines;
  for (const std::u16string& raw : SplitLines(std::u16string(text, text + count), single)) {
    Line line = ResolvePrefix(raw, format & DT_NOPREFIX);
    if ((format & DT_WORDBREAK) && !single) {
      for (Line& piece : WrapLine(line, width, m)) lines.push_back(std::move(piece));
    } else {
      lines.push_back(std::move(line));
    }
  }
  if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS))
    for (Line& line : lines) AddEllipsis(line, width, m);
  int maxWidth = 0;
  for (const Line& line : lines) maxWidth = std::max(maxWidth, m.Width(line.text));
  int total = lineHeight * int(lines.size());
  int y = r.top;
  if (single && (format & DT_VCENTER)) y = r.top + (r.bottom - r.top - lineHeight) / 2;
  else if (single && (format & DT_BOTTOM)) y = r.bottom - lineHeight;
  int result = (single && (format & (DT_VCENTER | DT_BOTTOM))) ? y - r.top + lineHeight : total;
  if (format & DT_CALCRECT) {
    rect->right = rect->left + maxWidth;
    rect->bottom = rect->top + total;
    return total;
  }
  int saved = SaveDC(h);
  if (!(format & DT_NOCLIP)) IntersectClipRect(h, r.left, r.top, r.right, r.bottom);
  SetTextAlign(h, TA_LEFT | TA_TOP);
  HBRUSH ink = CreateSolidBrush(dc->st.textColor);
  for (const Line& line : lines) {
    int lw = m.Width(line.text);
    int x = r.left;
    if (format & DT_CENTER) x = r.left + (width - lw) / 2;
    else if (format & DT_RIGHT) x = r.right - lw;
    if (!(format & DT_PREFIXONLY)) {
      if (m.tabs && line.text.find(u'\t') != std::u16string::npos) {
        std::size_t start = 0;
        while (start <= line.text.size()) {
          std::size_t tab = line.text.find(u'\t', start);
          std::size_t end = tab == std::u16string::npos ? line.text.size() : tab;
          int sx = x + m.Width(line.text, start);
          TextOutW(h, sx, y, line.text.data() + start, int(end - start));
          if (tab == std::u16string::npos) break;
          start = tab + 1;
        }
      } else {
        TextOutW(h, x, y, line.text.data(), int(line.text.size()));
      }
    }
    if (!(format & DT_HIDEPREFIX)) {
      for (int u : line.underlined) {
        int ux = x + m.Width(line.text, std::size_t(u));
        int uw = HostGetAdvance(font, line.text[std::size_t(u)]);
        RECT ur{ux, y + fm.ascent + fm.underlinePosition, ux + uw,
                y + fm.ascent + fm.underlinePosition + fm.lineThickness};
        FillRect(h, &ur, ink);
      }
    }
    y += lineHeight;
  }
  DeleteObject(ink);
  RestoreDC(h, saved);
  return result;
}
