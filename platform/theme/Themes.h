#pragma once
// Visual styles: the theme services object of the class library (whether styles are on, the
// element details of the parts the controls draw, drawing an element into a device context,
// part colours) and the uxtheme-style calls beneath it. The look is our own: flat faces with
// one-pixel borders in a calm blue-grey palette. With styles switched off, drawing an element
// gives the classic three-dimensional look in the system colours, and colour queries fail.
#include <cstdint>
#include <functional>

#include "Gdi.h"
#include "Strings.h"

using HRESULT = std::int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

// A theme handle names one element class; 0 is no theme (styles off or an unknown class).
using HTHEME = std::uintptr_t;

// Colour properties.
constexpr int TMT_BORDERCOLOR = 3801;
constexpr int TMT_FILLCOLOR = 3802;
constexpr int TMT_TEXTCOLOR = 3803;
constexpr int TMT_EDGELIGHTCOLOR = 3804;
constexpr int TMT_EDGEHIGHLIGHTCOLOR = 3805;
constexpr int TMT_EDGESHADOWCOLOR = 3806;
constexpr int TMT_EDGEDKSHADOWCOLOR = 3807;
constexpr int TMT_EDGEFILLCOLOR = 3808;
constexpr int TMT_TRANSPARENTCOLOR = 3809;
constexpr int TMT_GRADIENTCOLOR1 = 3810;
constexpr int TMT_GRADIENTCOLOR2 = 3811;
constexpr int TMT_GLYPHCOLOR = 3821;

// Parts and states of the element classes, as the platform numbers them.
constexpr int BP_PUSHBUTTON = 1;
constexpr int BP_GROUPBOX = 4;
constexpr int PBS_NORMAL = 1, PBS_HOT = 2, PBS_PRESSED = 3, PBS_DISABLED = 4, PBS_DEFAULTED = 5;
constexpr int GBS_NORMAL = 1, GBS_DISABLED = 2;

constexpr int CP_DROPDOWNBUTTON = 1;
constexpr int CBXS_NORMAL = 1, CBXS_HOT = 2, CBXS_PRESSED = 3, CBXS_DISABLED = 4;

constexpr int EP_EDITTEXT = 1;
constexpr int EP_CARET = 2;
constexpr int ETS_NORMAL = 1, ETS_HOT = 2, ETS_SELECTED = 3, ETS_DISABLED = 4, ETS_FOCUSED = 5,
              ETS_READONLY = 6, ETS_ASSIST = 7;

constexpr int EBP_HEADERBACKGROUND = 1;
constexpr int EBP_NORMALGROUPBACKGROUND = 5;
constexpr int EBP_NORMALGROUPCOLLAPSE = 6;
constexpr int EBP_NORMALGROUPEXPAND = 7;
constexpr int EBP_NORMALGROUPHEAD = 8;
constexpr int EBP_SPECIALGROUPBACKGROUND = 9;
constexpr int EBP_SPECIALGROUPCOLLAPSE = 10;
constexpr int EBP_SPECIALGROUPEXPAND = 11;
constexpr int EBP_SPECIALGROUPHEAD = 12;
constexpr int EBHP_NORMAL = 1, EBHP_HOT = 2, EBHP_PRESSED = 3;

constexpr int SBP_ARROWBTN = 1;
constexpr int SBP_THUMBBTNHORZ = 2;
constexpr int SBP_THUMBBTNVERT = 3;
constexpr int SBP_LOWERTRACKHORZ = 4;
constexpr int SBP_UPPERTRACKHORZ = 5;
constexpr int SBP_LOWERTRACKVERT = 6;
constexpr int SBP_UPPERTRACKVERT = 7;
constexpr int SBP_GRIPPERHORZ = 8;
constexpr int SBP_GRIPPERVERT = 9;
// Arrow button states run up (1..4), down (5..8), left (9..12), right (13..16).
constexpr int ABS_UPNORMAL = 1, ABS_DOWNNORMAL = 5, ABS_LEFTNORMAL = 9, ABS_RIGHTNORMAL = 13;
constexpr int SCRBS_NORMAL = 1, SCRBS_HOT = 2, SCRBS_PRESSED = 3, SCRBS_DISABLED = 4;

constexpr int SPNP_UP = 1;
constexpr int SPNP_DOWN = 2;
constexpr int SPNP_UPHORZ = 3;    // points right
constexpr int SPNP_DOWNHORZ = 4;  // points left
constexpr int UPS_NORMAL = 1, UPS_HOT = 2, UPS_PRESSED = 3, UPS_DISABLED = 4;

// ---- The class library's names for elements, parts and states ----
enum TThemedElement : std::uint8_t {
  teButton,
  teComboBox,
  teEdit,
  teExplorerBar,
  teScrollBar,
  teSpin,
  teElementCount
};

enum TThemedButton : std::uint8_t {
  tbButtonDontCare,
  tbButtonRoot,
  tbPushButtonNormal,
  tbPushButtonHot,
  tbPushButtonPressed,
  tbPushButtonDisabled,
  tbPushButtonDefaulted,
  tbGroupBoxNormal,
  tbGroupBoxDisabled
};

enum TThemedComboBox : std::uint8_t {
  tcComboBoxDontCare,
  tcComboBoxRoot,
  tcDropDownButtonNormal,
  tcDropDownButtonHot,
  tcDropDownButtonPressed,
  tcDropDownButtonDisabled
};

enum TThemedEdit : std::uint8_t {
  teEditDontCare,
  teEditRoot,
  teEditTextNormal,
  teEditTextHot,
  teEditTextSelected,
  teEditTextDisabled,
  teEditTextFocused,
  teEditTextReadOnly,
  teEditTextAssist,
  teEditCaret
};

enum TThemedExplorerBar : std::uint8_t {
  tebExplorerBarDontCare,
  tebExplorerBarRoot,
  tebHeaderBackgroundNormal,
  tebHeaderBackgroundHot,
  tebHeaderBackgroundPressed,
  tebNormalGroupBackground,
  tebNormalGroupCollapseNormal,
  tebNormalGroupCollapseHot,
  tebNormalGroupCollapsePressed,
  tebNormalGroupExpandNormal,
  tebNormalGroupExpandHot,
  tebNormalGroupExpandPressed,
  tebNormalGroupHead,
  tebSpecialGroupBackground,
  tebSpecialGroupCollapseNormal,
  tebSpecialGroupCollapseHot,
  tebSpecialGroupCollapsePressed,
  tebSpecialGroupExpandNormal,
  tebSpecialGroupExpandHot,
  tebSpecialGroupExpandPressed,
  tebSpecialGroupHead
};

enum TThemedScrollBar : std::uint8_t {
  tsScrollBarDontCare,
  tsScrollBarRoot,
  tsArrowBtnUpNormal,
  tsArrowBtnUpHot,
  tsArrowBtnUpPressed,
  tsArrowBtnUpDisabled,
  tsArrowBtnDownNormal,
  tsArrowBtnDownHot,
  tsArrowBtnDownPressed,
  tsArrowBtnDownDisabled,
  tsArrowBtnLeftNormal,
  tsArrowBtnLeftHot,
  tsArrowBtnLeftPressed,
  tsArrowBtnLeftDisabled,
  tsArrowBtnRightNormal,
  tsArrowBtnRightHot,
  tsArrowBtnRightPressed,
  tsArrowBtnRightDisabled,
  tsThumbBtnHorzNormal,
  tsThumbBtnHorzHot,
  tsThumbBtnHorzPressed,
  tsThumbBtnHorzDisabled,
  tsThumbBtnVertNormal,
  tsThumbBtnVertHot,
  tsThumbBtnVertPressed,
  tsThumbBtnVertDisabled,
  tsLowerTrackHorzNormal,
  tsLowerTrackHorzHot,
  tsLowerTrackHorzPressed,
  tsLowerTrackHorzDisabled,
  tsUpperTrackHorzNormal,
  tsUpperTrackHorzHot,
  tsUpperTrackHorzPressed,
  tsUpperTrackHorzDisabled,
  tsLowerTrackVertNormal,
  tsLowerTrackVertHot,
  tsLowerTrackVertPressed,
  tsLowerTrackVertDisabled,
  tsUpperTrackVertNormal,
  tsUpperTrackVertHot,
  tsUpperTrackVertPressed,
  tsUpperTrackVertDisabled,
  tsGripperHorzNormal,
  tsGripperHorzHot,
  tsGripperHorzPressed,
  tsGripperHorzDisabled,
  tsGripperVertNormal,
  tsGripperVertHot,
  tsGripperVertPressed,
  tsGripperVertDisabled
};

enum TThemedSpin : std::uint8_t {
  tsSpinDontCare,
  tsSpinRoot,
  tsUpNormal,
  tsUpHot,
  tsUpPressed,
  tsUpDisabled,
  tsDownNormal,
  tsDownHot,
  tsDownPressed,
  tsDownDisabled,
  tsUpHorzNormal,
  tsUpHorzHot,
  tsUpHorzPressed,
  tsUpHorzDisabled,
  tsDownHorzNormal,
  tsDownHorzHot,
  tsDownHorzPressed,
  tsDownHorzDisabled
};

// Part 0 with state 0 is the element's root (its outer border and background).
struct TThemedElementDetails {
  TThemedElement Element = teButton;
  int Part = 0;
  int State = 0;
  friend bool operator==(const TThemedElementDetails&, const TThemedElementDetails&) = default;
};

class TThemeServices {
 public:
  // Styles exist on this platform; whether they are in use is ThemesEnabled.
  bool ThemesAvailable() const { return true; }
  bool ThemesEnabled() const;

  TThemedElementDetails GetElementDetails(TThemedButton detail) const;
  TThemedElementDetails GetElementDetails(TThemedComboBox detail) const;
  TThemedElementDetails GetElementDetails(TThemedEdit detail) const;
  TThemedElementDetails GetElementDetails(TThemedExplorerBar detail) const;
  TThemedElementDetails GetElementDetails(TThemedScrollBar detail) const;
  TThemedElementDetails GetElementDetails(TThemedSpin detail) const;

  // The element class's theme handle, 0 while styles are off.
  HTHEME Theme(TThemedElement element) const;

  // Paints the element over rect (right and bottom exclusive), limited to clip when given.
  // The push button leaves its four corner pixels as they were; every other part covers rect.
  void DrawElement(HDC dc, const TThemedElementDetails& details, const RECT& rect,
                   const RECT* clip = nullptr) const;
  // Text in the element's text colour, transparent background, with DrawTextW's flags.
  void DrawText(HDC dc, const TThemedElementDetails& details, const String& text, RECT rect,
                UINT flags) const;
  // The area inside the element's border.
  RECT ContentRect(HDC dc, const TThemedElementDetails& details, const RECT& bounds) const;
  bool HasTransparentParts(const TThemedElementDetails& details) const;

  // S_OK with the colour, or E_FAIL (color unchanged) while styles are off or when the part
  // has no such property.
  HRESULT GetThemeColor(const TThemedElementDetails& details, int propId, TColor& color) const;

  // Re-reads the switch and tells OnThemeChange (as the platform's theme-changed notice does).
  void UpdateThemes();
  std::function<void()> OnThemeChange;
};

// The one theme services object.
TThemeServices* ThemeServices();

// The platform switch: styles are on unless the environment variable KORV_CLASSIC_LOOK is set
// to a non-empty value other than "0" when the process starts, or this call turns them off.
// Tells OnThemeChange when the state changes.
void SetThemesEnabledForTesting(bool enabled);

// ---- uxtheme-style calls ----
BOOL IsThemeActive();
// Class names "BUTTON", "COMBOBOX", "EDIT", "EXPLORERBAR", "SCROLLBAR", "SPIN" (case-
// insensitive; a ';'-separated list gives the first known one). 0 while styles are off.
HTHEME OpenThemeData(HWND window, const WCHAR* classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect,
                            const RECT* clip);
HRESULT GetThemeColor(HTHEME theme, int partId, int stateId, int propId, COLORREF* color);
