#pragma once
// The component library's common unit: shared types, colour arithmetic on the 0..240 HSL scale,
// the desktop colour scheme, frame and border painters, and small text and platform helpers.
#include <cstdint>

#include "Colors.h"
#include "Controls.h"
#include "Graphics.h"
#include "Strings.h"

// ---- Frame styles and sides ----

// Unscoped on purpose: the library's code names the styles bare (fsFlat), beside the canvas
// unit's font styles (fsBold), which are another enumeration.
enum TFrameStyleEx : std::uint8_t {
  fsNone,
  fsFlat,
  fsGroove,
  fsBump,
  fsLowered,
  fsButtonDown,
  fsRaised,
  fsButtonUp,
  fsStatus,
  fsPopup,
  fsFlatBold,
  fsFlatRounded
};
// The subrange fsNone..fsFlatBold; edits store it, panels store the full TFrameStyleEx.
using TFrameStyle = TFrameStyleEx;
constexpr TFrameStyle TFrameStyleLow = fsNone;
constexpr TFrameStyle TFrameStyleHigh = fsFlatBold;

enum TSide : std::uint8_t { sdLeft, sdTop, sdRight, sdBottom };

// Held as bits 0..3 in TSide order, as it is stored; all four sides are 15.
using TSides = TEnumSet<TSide>;
constexpr TSides sdAllSides{sdLeft, sdTop, sdRight, sdBottom};

enum TArrowLook : std::uint8_t { alClassic, alThemedXP, alThemedVista };
enum TArrowDirection : std::uint8_t { adUp, adDown, adLeft, adRight };

// ---- Gradients (painted by RzGrafx) ----

enum TGradientDirection : std::uint8_t {
  gdDiagonalUp,
  gdDiagonalDown,
  gdHorizontalEnd,
  gdHorizontalCenter,
  gdHorizontalBox,
  gdVerticalEnd,
  gdVerticalCenter,
  gdVerticalBox,
  gdSquareBox,
  gdBigSquareBox
};

// Where a panel's gradient and gradient-frame colours come from.
enum TRzGradientColorStyle : std::uint8_t { gcsSystem, gcsMSOffice, gcsCustom };

// ---- Colour scheme and themed colours ----

enum TXpColorScheme : std::uint8_t { xcsBlue, xcsOlive, xcsSilver };

struct TXpSchemeColors {
  TColor GradientStart;
  TColor GradientStop;
  TColor FrameColor;
};
extern const TXpSchemeColors XpSchemeColors[3];

// The desktop scheme: xcsBlue until RzCommonInit detects it; a panel sets it again when the
// platform reports a theme change.
extern TXpColorScheme XpColorScheme;

enum TThemedColorKind : std::uint8_t {
  tckEditBorder,
  tckGroupText,
  tckSpecialGroupText,
  tckGroupFill,
  tckBarGradient,
  tckSpecialHeadFill,
  tckGroupBoxText,
  tckSpinBorder
};

// ---- Colour arithmetic ----

// H, S and L on the 0..240 scale; system colours are resolved first, any other value is taken
// by its three low bytes (so clNone splits as white).
void SplitColorHsl(TColor color, BYTE& h, BYTE& s, BYTE& l);
// Always an RGB colour. Hue is divided by 239; hues of 239 and above wrap to red.
TColor MakeColorHsl(BYTE h, BYTE s, BYTE l);
TColor DarkenColor(TColor color, BYTE amount);
// Lightness may go up to 255 here, past the scale's 240; the channels clamp at 255.
TColor LightenColor(TColor color, BYTE amount);
// Negative amounts darken, positive lighten, by the low 8 bits of the magnitude; zero returns
// the colour untouched (a system colour or clNone included).
TColor ShiftColorLightness(TColor color, int amount);
// Hue within 20 and lightness within 60; saturation is ignored and hue does not wrap.
bool ColorsLookAlike(TColor a, TColor b);

// The visual-style colour of a few parts; clBtnFace while visual styles are off.
TColor ThemedPartColor(TThemedColorKind kind);
// The scheme named under the per-user ThemeManager key; xcsBlue when absent or unknown.
TXpColorScheme DetectXpColorScheme();
void SchemeGradientColors(TRzGradientColorStyle style, TColor& startColor, TColor& stopColor);
TColor SchemeFrameColor(TRzGradientColorStyle style);

// ---- Frames, borders and arrows ----
// Every painter draws with the canvas's pen (colour and width are left changed) and returns the
// rectangle inside what it drew, so borders stack from the outside in. A clNone colour skips
// its lines but the rectangle still shrinks.

TRect PaintSides(TCanvas* canvas, const TRect& bounds, TColor topLeftColor,
                 TColor bottomRightColor, TSides sides);
// Count rings inward with a one-pixel pen; a count of 0 or less draws nothing.
TRect PaintSidesRepeated(TCanvas* canvas, const TRect& bounds, TColor topLeftColor,
                         TColor bottomRightColor, int count, TSides sides);
TRect PaintBevel(TCanvas* canvas, const TRect& bounds, bool lowered, TSides sides = sdAllSides);
TRect PaintButtonBevel(TCanvas* canvas, const TRect& bounds, bool down,
                       TSides sides = sdAllSides);
// Shades of one base colour in place of the system colours.
TRect PaintColorButtonBevel(TCanvas* canvas, const TRect& bounds, TColor baseColor, bool down,
                            TSides sides = sdAllSides);
// In system colours. fsFlatRounded is not a TFrameStyle and draws nothing here.
TRect PaintStyledBorder(TCanvas* canvas, const TRect& bounds, TFrameStyle style,
                        TSides sides = sdAllSides);
TRect PaintColoredBorder(TCanvas* canvas, const TRect& bounds, TColor baseColor,
                         TFrameStyle style, TSides sides = sdAllSides);
TRect PaintOutline(TCanvas* canvas, const TRect& bounds, TColor color);
// An outline whose corners are cut by one pixel; shrinks by 2 on each side drawn.
TRect PaintRoundedOutline(TCanvas* canvas, const TRect& bounds, TColor color, TSides sides);
// A panel's outer border, border band and inner border. The flat colour is shifted by
// flatColorAdjustment; parentColor fills the clipped corners of an opaque rounded border.
TRect PaintPanelBorders(TCanvas* canvas, const TRect& bounds, TFrameStyleEx outerStyle,
                        TFrameStyleEx innerStyle, int borderWidth, TSides sides,
                        int bevelWidth, TColor borderColor, TColor highlightColor,
                        TColor shadowColor, TColor flatColor, int flatColorAdjustment,
                        TColor controlColor, TColor parentColor, bool transparent);
// An edit's frame on a canvas over its whole window, (0, 0, width, height). The two flat
// styles use frameColor; the others use system colours when controlColor is exactly clWindow
// and shades of controlColor otherwise. clearBand first paints the two outer rings in the
// control colour on all four sides.
void PaintEditFrame(TCanvas* canvas, int width, int height, TColor frameColor,
                    TColor controlColor, TFrameStyle style, TSides sides,
                    bool clearBand = true);
// Repaints the window's frame over rect, but only while some of its client area can be seen.
void RefreshNonClientFrame(HWND window, const TRect& rect);
// Invalidates every child control whose published Transparent property is True.
void InvalidateTransparentChildren(TWinControl* parent);
// Small filled triangles centred in bounds (on an even height the upper middle row). The
// brush colour is restored afterwards and the pen left solid. From Vista on the drop-down
// arrow always takes the Vista look.
void PaintDropDownArrow(TCanvas* canvas, const TRect& bounds, TArrowLook look, bool enabled);
void PaintDirectionArrow(TCanvas* canvas, const TRect& bounds, TArrowLook look,
                         TArrowDirection direction, bool enabled);

// ---- Fonts and text ----

// width x height centred in outer (halves truncate towards zero).
TRect CenteredBounds(const TRect& outer, int width, int height);
// A new font handle, owned by the caller, for font turned by angle degrees counter-clockwise.
HFONT CreateRotatedFont(TFont* font, int angle);
// The font's character height on the screen plus 2.
int MinimumEditHeight(TFont* font);
// DrawTextW on the canvas's device context; with DT_CALCRECT r receives the measured box.
int DrawTextIn(TCanvas* canvas, const String& text, TRect& r, UINT flags);
// One line centred both ways in r.
void DrawTextCentered(TCanvas* canvas, const String& text, TRect r);

// ---- Platform level ----

enum TOsLevel : std::uint8_t {
  olWin95,
  olWinNT4,
  olWin98,
  olWinME,
  olWin2000,
  olWinXP,
  olWin2003,
  olWinVista,
  olWin7
};

// Compares the runtime's reported version (SysInfo.h) with a level.
bool RunningOnOsLevel(TOsLevel level);

// The first character after the leading blanks (codes 0..32); 0 when none is left.
Char FirstNonBlankChar(const String& s);
// The last character; 0 for an empty string.
Char LastChar(const String& s);
inline int SmallerOf(int a, int b) { return a < b ? a : b; }
inline int LargerOf(int a, int b) { return a > b ? a : b; }

// The unit initialisation: detects the colour scheme once; later calls do nothing.
void RzCommonInit();
