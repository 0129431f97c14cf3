#include "RzCommon.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "Exceptions.h"
#include "Registry.h"
#include "SysInfo.h"
#include "Themes.h"
#include "TypInfo.h"
#include "User.h"

// ---- Colour scheme data ----

const TXpSchemeColors XpSchemeColors[3] = {
    {0x00FFEFE3, 0x00EABB99, 0x00BF7F57},  // xcsBlue
    {0x00EDFFFF, 0x0092C7B8, 0x0077A17F},  // xcsOlive
    {0x00FFF9F9, 0x00D0BCBD, 0x00B19F9F},  // xcsSilver
};

TXpColorScheme XpColorScheme = xcsBlue;

// ---- Colour arithmetic ----

namespace {

// Nearest integer, ties to even, whatever rounding mode the FPU was left in.
long RoundHalfEven(double x) {
  double f = std::floor(x);
  double diff = x - f;
  if (diff > 0.5) return long(f) + 1;
  if (diff < 0.5) return long(f);
  long fi = long(f);
  return (fi % 2 == 0) ? fi : fi + 1;
}

BYTE ChannelByte(double channel) {
  // A saturation above 240 can push a channel below zero; clamp both ends so the packed colour
  // never borrows from its neighbour.
  if (channel > 1) channel = 1;
  if (channel < 0) channel = 0;
  return BYTE(RoundHalfEven(channel * 255));
}

}  // namespace

void SplitColorHsl(TColor color, BYTE& h, BYTE& s, BYTE& l) {
  TColor rgb = ColorToRGB(color);
  double r = GetRValue(rgb) / 255.0;
  double g = GetGValue(rgb) / 255.0;
  double b = GetBValue(rgb) / 255.0;

  double mx = r > g ? r : g;
  if (b > mx) mx = b;
  double mn = r < g ? r : g;
  if (b < mn) mn = b;

  double hv = 0, sv = 0;
  double lv = (mx + mn) / 2;
  if (mx != mn) {
    double d = mx - mn;
    sv = lv < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx) hv = (g - b) / d;
    else if (g == mx) hv = (b - r) / d + 2;
    else hv = (r - g) / d + 4;
    hv /= 6;
    if (hv < 0) hv += 1;
  }
  h = BYTE(RoundHalfEven(hv * 240));
  s = BYTE(RoundHalfEven(sv * 240));
  l = BYTE(RoundHalfEven(lv * 240));
}

TColor MakeColorHsl(BYTE hb, BYTE sb, BYTE lb) {
  double h = hb / 239.0;
  double s = sb / 240.0;
  double l = lb / 240.0;
  double m2 = l < 0.5 ? l * (1 + s) : l + s - l * s;
  if (m2 <= 0) return 0x00000000;

  double m1 = 2 * l - m2;
  double sv = (m2 - m1) / m2;
  double h6 = h * 6;
  int sextant = int(h6);
  double fract = h6 - sextant;
  double v = m2 * sv * fract;
  double mid1 = m1 + v;
  double mid2 = m2 - v;

  double r, g, b;
  switch (sextant) {
    case 1: r = mid2, g = m2, b = m1; break;
    case 2: r = m1, g = m2, b = mid1; break;
    case 3: r = m1, g = mid2, b = m2; break;
    case 4: r = mid1, g = m1, b = m2; break;
    case 5: r = m2, g = m1, b = mid2; break;
    default: r = m2, g = mid1, b = m1; break;
  }
  return RGB(ChannelByte(r), ChannelByte(g), ChannelByte(b));
}

TColor DarkenColor(TColor color, BYTE amount) {
  BYTE h, s, l;
  SplitColorHsl(color, h, s, l);
  return MakeColorHsl(h, s, BYTE(LargerOf(int(l) - amount, 0)));
}

TColor LightenColor(TColor color, BYTE amount) {
  BYTE h, s, l;
  SplitColorHsl(color, h, s, l);
  return MakeColorHsl(h, s, BYTE(SmallerOf(int(l) + amount, 255)));
}

TColor ShiftColorLightness(TColor color, int amount) {
  if (amount == 0) return color;
  // Widened first: the magnitude of the most negative int does not fit an int.
  BYTE by = BYTE(std::llabs(static_cast<long long>(amount)) & 0xFF);
  return amount < 0 ? DarkenColor(color, by) : LightenColor(color, by);
}

bool ColorsLookAlike(TColor a, TColor b) {
  BYTE h1, s1, l1, h2, s2, l2;
  SplitColorHsl(a, h1, s1, l1);
  SplitColorHsl(b, h2, s2, l2);
  return std::abs(int(h1) - int(h2)) < 20 && std::abs(int(l1) - int(l2)) < 60;
}

// ---- Themed colours and the colour scheme ----

namespace {

struct ThemedColorSource {
  TThemedElementDetails (*details)();
  int propId;
};

const ThemedColorSource kThemedColorSources[] = {
    {[] { return ThemeServices()->GetElementDetails(teEditRoot); }, TMT_BORDERCOLOR},
    {[] { return ThemeServices()->GetElementDetails(tebNormalGroupBackground); }, TMT_TEXTCOLOR},
    {[] { return ThemeServices()->GetElementDetails(tebSpecialGroupBackground); }, TMT_TEXTCOLOR},
    {[] { return ThemeServices()->GetElementDetails(tebNormalGroupBackground); }, TMT_FILLCOLOR},
    {[] { return ThemeServices()->GetElementDetails(tebExplorerBarRoot); }, TMT_GRADIENTCOLOR1},
    {[] { return ThemeServices()->GetElementDetails(tebSpecialGroupHead); }, TMT_FILLCOLOR},
    {[] { return ThemeServices()->GetElementDetails(tbGroupBoxNormal); }, TMT_TEXTCOLOR},
    {[] { return ThemeServices()->GetElementDetails(tsSpinRoot); }, TMT_BORDERCOLOR},
};

}  // namespace

TColor ThemedPartColor(TThemedColorKind kind) {
  TThemeServices* themes = ThemeServices();
  if (!themes->ThemesEnabled()) return clBtnFace;
  if (unsigned(kind) >= std::size(kThemedColorSources)) return 0x00FFFFFF;
  const ThemedColorSource& src = kThemedColorSources[kind];
  // A part without the property leaves the colour as it was: the look of styles switched off.
  TColor color = clBtnFace;
  themes->GetThemeColor(src.details(), src.propId, color);
  return color;
}

TXpColorScheme DetectXpColorScheme() {
  String name;
  try {
    TRegIniFile reg(u"\\Software\\Microsoft\\Windows\\CurrentVersion");
    name = UpperCase(reg.ReadString(u"ThemeManager", u"ColorName", String()));
  } catch (const ERegistryException&) {
    // A value of another type would otherwise abort start-up (or a theme-change message);
    // an unreadable name is no known scheme.
    return xcsBlue;
  }
  if (name == u"HOMESTEAD") return xcsOlive;
  if (name == u"METALLIC") return xcsSilver;
  return xcsBlue;
}

namespace {
const TXpSchemeColors& CurrentSchemeColors() {
  unsigned i = unsigned(XpColorScheme);
  return XpSchemeColors[i < std::size(XpSchemeColors) ? i : 0];
}
}  // namespace

void SchemeGradientColors(TRzGradientColorStyle style, TColor& startColor, TColor& stopColor) {
  if (style == gcsMSOffice && ThemeServices()->ThemesEnabled()) {
    startColor = CurrentSchemeColors().GradientStart;
    stopColor = CurrentSchemeColors().GradientStop;
  } else {
    startColor = clWindow;
    stopColor = DarkenColor(clBtnFace, 10);
  }
}

TColor SchemeFrameColor(TRzGradientColorStyle style) {
  if (style == gcsMSOffice && ThemeServices()->ThemesEnabled())
    return CurrentSchemeColors().FrameColor;
  return LightenColor(clBtnShadow, 30);
}

// ---- Frames and borders ----

namespace {

TRect Shrunk(TRect r, TSides sides, int by) {
  if (sides.Contains(sdLeft)) r.left += by;
  if (sides.Contains(sdTop)) r.top += by;
  if (sides.Contains(sdRight)) r.right -= by;
  if (sides.Contains(sdBottom)) r.bottom -= by;
  return r;
}

TRect Deflated(TRect r, int by) { return Shrunk(r, sdAllSides, by); }

struct RingColors {
  TColor topLeft, bottomRight;
};

TRect PaintRings(TCanvas* canvas, TRect r, RingColors outer, RingColors inner, TSides sides) {
  r = PaintSidesRepeated(canvas, r, outer.topLeft, outer.bottomRight, 1, sides);
  return PaintSidesRepeated(canvas, r, inner.topLeft, inner.bottomRight, 1, sides);
}

// The groove and bump look: two offset rings, with the corner pixels where an open side
// would otherwise leave the wrong colour.
TRect PaintEtchedRing(TCanvas* canvas, const TRect& b, TColor a, TColor bc, TSides sides) {
  const bool l = sides.Contains(sdLeft), t = sides.Contains(sdTop);
  const bool r = sides.Contains(sdRight), bt = sides.Contains(sdBottom);
  if (r) canvas->SetPixels(b.right - 1, b.top, bc);
  else if (t) canvas->SetPixels(b.right - 1, b.top, a);
  if (bt) canvas->SetPixels(b.left, b.bottom - 1, bc);
  else if (l) canvas->SetPixels(b.left, b.bottom - 1, a);
  if (t && !l) canvas->SetPixels(b.left, b.top + 1, bc);
  if (l && !t) canvas->SetPixels(b.left + 1, b.top, bc);
  if (bt && !r) canvas->SetPixels(b.right - 1, b.bottom - 2, a);
  if (r && !bt) canvas->SetPixels(b.right - 2, b.bottom - 1, a);

  TRect w = b;
  w.left += 1;
  w.top += 1;
  PaintSides(canvas, w, bc, bc, sides);
  w = Rect(w.left - 1, w.top - 1, w.right - 1, w.bottom - 1);
  PaintSides(canvas, w, a, a, sides);
  return Shrunk(b, sides, 2);
}

}  // namespace

TRect PaintSides(TCanvas* canvas, const TRect& bounds, TColor topLeftColor, TColor bottomRightColor,
                 TSides sides) {
  const TRect& b = bounds;
  if (topLeftColor != clNone) {
    canvas->Pen()->SetColor(topLeftColor);
    if (sides.Contains(sdLeft)) {
      canvas->MoveTo(b.left, b.top);
      canvas->LineTo(b.left, b.bottom);
    }
    if (sides.Contains(sdTop)) {
      canvas->MoveTo(b.left, b.top);
      canvas->LineTo(b.right, b.top);
    }
  }
  if (bottomRightColor != clNone) {
    canvas->Pen()->SetColor(bottomRightColor);
    if (sides.Contains(sdRight)) {
      canvas->MoveTo(b.right - 1, b.top);
      canvas->LineTo(b.right - 1, b.bottom);
    }
    if (sides.Contains(sdBottom)) {
      canvas->MoveTo(b.left, b.bottom - 1);
      canvas->LineTo(b.right, b.bottom - 1);
    }
  }
  return Shrunk(bounds, sides, 1);
}

TRect PaintSidesRepeated(TCanvas* canvas, const TRect& bounds, TColor topLeftColor,
                         TColor bottomRightColor, int count, TSides sides) {
  canvas->Pen()->SetWidth(1);
  TRect r = bounds;
  for (int i = 0; i < count; ++i) r = PaintSides(canvas, r, topLeftColor, bottomRightColor, sides);
  return r;
}

TRect PaintBevel(TCanvas* canvas, const TRect& bounds, bool lowered, TSides sides) {
  if (lowered)
    return PaintRings(canvas, bounds, {clBtnShadow, clBtnHighlight}, {cl3DDkShadow, cl3DLight},
                      sides);
  return PaintRings(canvas, bounds, {cl3DLight, cl3DDkShadow}, {clBtnHighlight, clBtnShadow},
                    sides);
}

TRect PaintButtonBevel(TCanvas* canvas, const TRect& bounds, bool down, TSides sides) {
  if (down)
    return PaintRings(canvas, bounds, {clBtnText, clBtnText}, {clBtnShadow, clBtnShadow}, sides);
  return PaintRings(canvas, bounds, {clBtnHighlight, cl3DDkShadow}, {cl3DLight, clBtnShadow},
                    sides);
}

TRect PaintColorButtonBevel(TCanvas* canvas, const TRect& bounds, TColor baseColor, bool down,
                            TSides sides) {
  TRect r = bounds;
  if (down) {
    TColor d100 = DarkenColor(baseColor, 100), d50 = DarkenColor(baseColor, 50);
    r = PaintSides(canvas, r, d100, d100, sides);
    return PaintSides(canvas, r, d50, d50, sides);
  }
  r = PaintSides(canvas, r, LightenColor(baseColor, 100), DarkenColor(baseColor, 100), sides);
  return PaintSides(canvas, r, LightenColor(baseColor, 40), DarkenColor(baseColor, 50), sides);
}

TRect PaintStyledBorder(TCanvas* canvas, const TRect& bounds, TFrameStyle style, TSides sides) {
  switch (style) {
    case fsFlat: return PaintSides(canvas, bounds, cl3DDkShadow, cl3DDkShadow, sides);
    case fsStatus: return PaintSides(canvas, bounds, clBtnShadow, clBtnHighlight, sides);
    case fsPopup: return PaintSides(canvas, bounds, clBtnHighlight, clBtnShadow, sides);
    case fsFlatBold: return PaintSidesRepeated(canvas, bounds, clBtnShadow, clBtnShadow, 2, sides);
    case fsLowered: return PaintBevel(canvas, bounds, true, sides);
    case fsRaised: return PaintBevel(canvas, bounds, false, sides);
    case fsButtonDown: return PaintButtonBevel(canvas, bounds, true, sides);
    case fsButtonUp: return PaintButtonBevel(canvas, bounds, false, sides);
    case fsGroove: return PaintEtchedRing(canvas, bounds, clBtnShadow, clBtnHighlight, sides);
    case fsBump: return PaintEtchedRing(canvas, bounds, clBtnHighlight, clBtnShadow, sides);
    case fsNone:
    case fsFlatRounded: break;
  }
  return bounds;
}

TRect PaintColoredBorder(TCanvas* canvas, const TRect& bounds, TColor baseColor, TFrameStyle style,
                         TSides sides) {
  auto d50 = [&] { return DarkenColor(baseColor, 50); };
  auto d100 = [&] { return DarkenColor(baseColor, 100); };
  auto l50 = [&] { return LightenColor(baseColor, 50); };
  auto l100 = [&] { return LightenColor(baseColor, 100); };
  TRect r = bounds;
  switch (style) {
    case fsFlat: return PaintSides(canvas, r, d50(), d50(), sides);
    case fsStatus: return PaintSides(canvas, r, d50(), l100(), sides);
    case fsPopup: return PaintSides(canvas, r, l100(), d50(), sides);
    case fsFlatBold:
      r = PaintSides(canvas, r, d50(), d50(), sides);
      return PaintSides(canvas, r, d50(), d50(), sides);
    case fsLowered:
      r = PaintSides(canvas, r, d50(), l100(), sides);
      return PaintSides(canvas, r, d100(), l50(), sides);
    case fsRaised:
      r = PaintSides(canvas, r, l50(), d100(), sides);
      return PaintSides(canvas, r, l100(), d50(), sides);
    case fsButtonDown: return PaintColorButtonBevel(canvas, r, baseColor, true, sides);
    case fsButtonUp: return PaintColorButtonBevel(canvas, r, baseColor, false, sides);
    case fsGroove: return PaintEtchedRing(canvas, r, d50(), l100(), sides);
    case fsBump: return PaintEtchedRing(canvas, r, l100(), d50(), sides);
    case fsNone:
    case fsFlatRounded: break;
  }
  return bounds;
}

TRect PaintOutline(TCanvas* canvas, const TRect& bounds, TColor color) {
  PaintSides(canvas, bounds, color, color, sdAllSides);
  return Deflated(bounds, 1);
}

TRect PaintRoundedOutline(TCanvas* canvas, const TRect& bounds, TColor color, TSides sides) {
  // No colour, no outline: the pen and the pixels would otherwise take clNone's low bytes.
  if (color == clNone) return Shrunk(bounds, sides, 2);
  const TRect& b = bounds;
  const bool l = sides.Contains(sdLeft), t = sides.Contains(sdTop);
  const bool r = sides.Contains(sdRight), bt = sides.Contains(sdBottom);
  const int dt = t ? 2 : 0, db = bt ? 2 : 0, dl = l ? 2 : 0, dr = r ? 2 : 0;
  canvas->Pen()->SetColor(color);
  if (l) {
    canvas->MoveTo(b.left, b.top + dt);
    canvas->LineTo(b.left, b.bottom - db);
  }
  if (t) {
    canvas->MoveTo(b.left + dl, b.top);
    canvas->LineTo(b.right - dr, b.top);
  }
  if (r) {
    canvas->MoveTo(b.right - 1, b.top + dt);
    canvas->LineTo(b.right - 1, b.bottom - db);
  }
  if (bt) {
    canvas->MoveTo(b.left + dl, b.bottom - 1);
    canvas->LineTo(b.right - dr, b.bottom - 1);
  }
  if (l && t) canvas->SetPixels(b.left + 1, b.top + 1, color);
  if (t && r) canvas->SetPixels(b.right - 2, b.top + 1, color);
  if (r && bt) canvas->SetPixels(b.right - 2, b.bottom - 2, color);
  if (l && bt) canvas->SetPixels(b.left + 1, b.bottom - 2, color);
  return Shrunk(bounds, sides, 2);
}

TRect PaintPanelBorders(TCanvas* canvas, const TRect& bounds, TFrameStyleEx outerStyle,
                        TFrameStyleEx innerStyle, int borderWidth, TSides sides, int bevelWidth,
                        TColor borderColor, TColor highlightColor, TColor shadowColor,
                        TColor flatColor, int flatColorAdjustment, TColor controlColor,
                        TColor parentColor, bool transparent) {
  const TColor fc = ShiftColorLightness(flatColor, flatColorAdjustment);
  auto ring = [&](const TRect& r, TColor c, int count) {
    return PaintSidesRepeated(canvas, r, c, c, count, sides);
  };
  // Under a rounded outline's cut corners lie two rings: outside the outer frame the parent,
  // then whatever is inside the outline; outside the inner frame the border, then the control.
  // A transparent control leaves the parent's colour and its own unpainted.
  struct Ring {
    TColor color;
    bool background;
  };
  auto frame = [&](const TRect& r, TFrameStyleEx style, Ring outside, Ring inside) {
    switch (style) {
      case fsFlat: return ring(r, fc, 1);
      case fsFlatBold: return ring(r, fc, 2);
      case fsFlatRounded: {
        const bool paintOutside = !(transparent && outside.background);
        TRect t = paintOutside ? ring(r, outside.color, 1) : Deflated(r, 1);
        if (!(transparent && inside.background)) ring(t, inside.color, 1);
        return PaintRoundedOutline(canvas, r, fc, sides);
      }
      case fsPopup:
        return PaintSidesRepeated(canvas, r, highlightColor, shadowColor, bevelWidth, sides);
      case fsStatus:
        return PaintSidesRepeated(canvas, r, shadowColor, highlightColor, bevelWidth, sides);
      default: return PaintStyledBorder(canvas, r, style, sides);
    }
  };

  const bool moreInside = borderWidth > 0 || innerStyle != fsNone;
  TRect r = frame(bounds, outerStyle, {parentColor, true},
                  moreInside ? Ring{borderColor, false} : Ring{controlColor, true});
  if (borderWidth > 0) r = ring(r, borderColor, borderWidth);
  r = frame(r, innerStyle, {borderColor, false}, {controlColor, true});
  return r;
}

void PaintEditFrame(TCanvas* canvas, int width, int height, TColor frameColor, TColor controlColor,
                    TFrameStyle style, TSides sides, bool clearBand) {
  const TRect r = Rect(0, 0, width, height);
  if (clearBand) PaintSidesRepeated(canvas, r, controlColor, controlColor, 2, sdAllSides);
  switch (style) {
    case fsFlat: PaintSides(canvas, r, frameColor, frameColor, sides); break;
    case fsFlatBold: PaintSidesRepeated(canvas, r, frameColor, frameColor, 2, sides); break;
    default:
      if (controlColor == clWindow) PaintStyledBorder(canvas, r, style, sides);
      else PaintColoredBorder(canvas, r, controlColor, style, sides);
      break;
  }
}

// ---- Arrows ----

namespace {

struct Offset {
  int dx, dy;
};

TColor ClassicArrowColor(TCanvas* canvas) {
  return ColorsLookAlike(canvas->Brush()->Color(), clBlack) ? cl3DDkShadow : clBlack;
}

// The arrow colour of a themed look, sampled from the element as the theme draws it.
TColor SampledColor(int width, int height, const TThemedElementDetails& details, TRect at, int x,
                    int y) {
  TBitmap scratch(width, height);
  ThemeServices()->DrawElement(scratch.Canvas()->Handle(), details, at);
  return scratch.Canvas()->Pixels(x, y);
}

void FillArrow(TCanvas* canvas, const TRect& b, TColor color, int shiftX, int shiftY,
               std::initializer_list<Offset> vertices) {
  const TColor savedBrush = canvas->Brush()->Color();
  canvas->Brush()->SetColor(color);
  canvas->Pen()->SetStyle(psClear);
  int cx = b.left + (b.right - b.left) / 2;
  int cy = b.top + (b.bottom - b.top) / 2;
  if ((b.bottom - b.top) % 2 == 0) cy -= 1;
  cx += shiftX;
  cy += shiftY;
  std::vector<TPoint> points;
  for (const Offset& o : vertices) points.push_back(Point(cx + o.dx, cy + o.dy));
  canvas->Polygon(points);
  canvas->Pen()->SetStyle(psSolid);
  canvas->Brush()->SetColor(savedBrush);
}

}  // namespace

void PaintDropDownArrow(TCanvas* canvas, const TRect& bounds, TArrowLook look, bool enabled) {
  if (RunningOnOsLevel(olWinVista)) look = alThemedVista;
  TColor color = clBtnShadow;
  if (enabled) {
    if (look == alThemedXP) {
      color = SampledColor(17, 21, ThemeServices()->GetElementDetails(tcDropDownButtonNormal),
                           Rect(0, 0, 16, 20), 8, 10);
      if (ColorsLookAlike(color, clWindow)) color = cl3DDkShadow;
    } else {
      color = ClassicArrowColor(canvas);
    }
  }
  switch (look) {
    case alThemedXP:
      FillArrow(canvas, bounds, color, 0, 0,
                {{0, 4}, {-4, -1}, {-3, -3}, {0, 1}, {3, -3}, {5, -1}});
      break;
    case alThemedVista: FillArrow(canvas, bounds, color, 0, 0, {{1, 3}, {-2, -1}, {5, -1}}); break;
    default: FillArrow(canvas, bounds, color, 0, 0, {{0, 2}, {-3, -2}, {4, -2}}); break;
  }
}

void PaintDirectionArrow(TCanvas* canvas, const TRect& bounds, TArrowLook look,
                         TArrowDirection direction, bool enabled) {
  TColor color = clBtnShadow;
  if (enabled) {
    switch (look) {
      case alThemedXP:
        color = SampledColor(17, 21, ThemeServices()->GetElementDetails(tcDropDownButtonNormal),
                             Rect(0, 0, 16, 20), 8, 10);
        if (ColorsLookAlike(color, clWindow)) color = cl3DDkShadow;
        break;
      case alThemedVista:
        color = SampledColor(13, 10, ThemeServices()->GetElementDetails(tsDownNormal),
                             Rect(0, 0, 13, 10), 6, 4);
        break;
      default: color = ClassicArrowColor(canvas); break;
    }
  }

  const bool vertical = direction == adUp || direction == adDown;
  if (look == alThemedXP) {
    switch (direction) {
      case adUp:
        FillArrow(canvas, bounds, color, 0, 4,
                  {{0, -5}, {4, 0}, {1, 0}, {0, -2}, {-1, 0}, {-4, 0}});
        break;
      case adDown:
        FillArrow(canvas, bounds, color, 0, 2,
                  {{0, 0}, {-3, -4}, {0, -4}, {0, -3}, {1, -4}, {4, -4}});
        break;
      case adLeft:
        FillArrow(canvas, bounds, color, -1, 0, {{0, 0}, {4, -4}, {4, -1}, {3, 0}, {4, 1}, {4, 4}});
        break;
      case adRight:
        FillArrow(canvas, bounds, color, -3, 0, {{4, 0}, {0, 4}, {0, 1}, {1, 0}, {0, -1}, {0, -4}});
        break;
    }
    return;
  }

  const int sx = vertical ? 0 : -2, sy = vertical ? 1 : 0;
  if (look == alThemedVista) {
    switch (direction) {
      case adUp: FillArrow(canvas, bounds, color, sx, sy, {{0, -3}, {3, 1}, {-3, 1}}); break;
      case adDown: FillArrow(canvas, bounds, color, sx, sy, {{0, 0}, {-2, -3}, {3, -3}}); break;
      case adLeft: FillArrow(canvas, bounds, color, sx, sy, {{1, 0}, {4, -3}, {4, 3}}); break;
      case adRight: FillArrow(canvas, bounds, color, sx, sy, {{3, 0}, {0, 3}, {0, -3}}); break;
    }
    return;
  }
  switch (direction) {
    case adUp: FillArrow(canvas, bounds, color, sx, sy, {{0, -5}, {4, 0}, {-4, 0}}); break;
    case adDown: FillArrow(canvas, bounds, color, sx, sy, {{0, 1}, {-3, -3}, {4, -3}}); break;
    case adLeft: FillArrow(canvas, bounds, color, sx, sy, {{0, 0}, {4, -4}, {4, 4}}); break;
    case adRight: FillArrow(canvas, bounds, color, sx, sy, {{4, 0}, {0, 4}, {0, -4}}); break;
  }
}

// ---- Fonts and text ----

TRect CenteredBounds(const TRect& outer, int width, int height) {
  int left = (outer.left + outer.right - width) / 2;
  int top = (outer.top + outer.bottom - height) / 2;
  return Rect(left, top, left + width, top + height);
}

HFONT CreateRotatedFont(TFont* font, int angle) {
  LOGFONTW lf{};
  lf.lfHeight = font->Height();
  lf.lfWidth = 0;
  lf.lfEscapement = angle * 10;
  lf.lfOrientation = 0;
  const TFontStyles style = font->Style();
  lf.lfWeight = style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = style.Contains(fsItalic) ? 1 : 0;
  lf.lfUnderline = style.Contains(fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = style.Contains(fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = font->Charset();
  lf.lfOutPrecision = 0;
  lf.lfClipPrecision = 0;
  lf.lfQuality = 0;
  switch (font->Pitch()) {
    case fpVariable: lf.lfPitchAndFamily = VARIABLE_PITCH; break;
    case fpFixed: lf.lfPitchAndFamily = FIXED_PITCH; break;
    default: lf.lfPitchAndFamily = DEFAULT_PITCH; break;
  }
  const String& name = font->Name();
  const std::size_t n = std::min<std::size_t>(name.size(), LF_FACESIZE - 1);
  std::copy_n(name.begin(), n, lf.lfFaceName);
  return CreateFontIndirectW(&lf);
}

int MinimumEditHeight(TFont* font) {
  // Owns the measuring context, so the font is put back and the context freed on every path.
  struct ScreenDC {
    HDC dc = CreateDCW(u"DISPLAY", nullptr, nullptr, nullptr);
    HGDIOBJ old = 0;
    ~ScreenDC() {
      if (old) SelectObject(dc, old);
      DeleteDC(dc);
    }
  } screen;
  screen.old = SelectObject(screen.dc, font->Handle());
  TEXTMETRICW tm{};
  GetTextMetricsW(screen.dc, &tm);
  return tm.tmHeight + 2;
}

int DrawTextIn(TCanvas* canvas, const String& text, TRect& r, UINT flags) {
  return DrawTextW(canvas->Handle(), text.c_str(), -1, &r, flags);
}

void DrawTextCentered(TCanvas* canvas, const String& text, TRect r) {
  DrawTextIn(canvas, text, r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

// ---- Platform level ----

bool RunningOnOsLevel(TOsLevel level) {
  const int p = Win32Platform, maj = Win32MajorVersion, mn = Win32MinorVersion;
  const bool anyFamily = p == 1 || p == 2;
  const bool nt = p == 2;
  switch (level) {
    case olWin95: return anyFamily && maj >= 4;
    case olWinNT4: return nt && maj >= 4;
    // The minor number is compared on every major version, so NT 5.x and 6.x fail it.
    case olWin98: return anyFamily && maj >= 4 && mn >= 10;
    case olWinME: return anyFamily && ((maj >= 4 && mn >= 90) || maj >= 5);
    case olWin2000: return nt && maj >= 5;
    case olWinXP: return nt && ((maj == 5 && mn >= 1) || maj >= 6);
    case olWin2003: return nt && ((maj >= 5 && mn >= 2) || maj >= 6);
    case olWinVista: return nt && maj >= 6;
    case olWin7: return nt && maj >= 6 && mn >= 1;
  }
  return false;
}

Char FirstNonBlankChar(const String& s) {
  for (Char c : s)
    if (c > u' ') return c;
  return 0;
}

Char LastChar(const String& s) { return s.empty() ? Char(0) : s.back(); }

// ---- Initialisation ----

namespace {
bool initialized = false;
}

void RzCommonInit() {
  if (initialized) return;
  initialized = true;
  XpColorScheme = DetectXpColorScheme();
}

void RefreshNonClientFrame(HWND window, const TRect& rect) {
  HDC dc = GetDC(window);
  RECT clip{};
  const int kind = GetClipBox(dc, &clip);
  ReleaseDC(window, dc);
  // A hidden or fully covered window has nothing to show; redrawing it would only cost time.
  if (kind == ERROR || kind == NULLREGION) return;
  RedrawWindow(window, &rect, 0, RDW_FRAME | RDW_INVALIDATE);
}

void InvalidateTransparentChildren(TWinControl* parent) {
  if (!parent) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    const TPropInfo* prop = GetPropInfo(child, u"Transparent");
    if (prop && GetOrdProp(child, prop) == 1) child->Invalidate();
  }
}
