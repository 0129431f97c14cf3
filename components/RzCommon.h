#pragma once
// The component library's common unit: shared types, colour arithmetic on the 0..240 HSL scale,
// the desktop colour scheme, frame and border painters, and small text and platform helpers.
#include <cstdint>
#include <memory>
#include <vector>

#include "Colors.h"
#include "Controls.h"
#include "DateTime.h"
#include "Graphics.h"
#include "RegistryStore.h"
#include "Strings.h"
#include "TypInfo.h"

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

TRect PaintSides(TCanvas* canvas, const TRect& bounds, TColor topLeftColor, TColor bottomRightColor,
                 TSides sides);
// Count rings inward with a one-pixel pen; a count of 0 or less draws nothing.
TRect PaintSidesRepeated(TCanvas* canvas, const TRect& bounds, TColor topLeftColor,
                         TColor bottomRightColor, int count, TSides sides);
TRect PaintBevel(TCanvas* canvas, const TRect& bounds, bool lowered, TSides sides = sdAllSides);
TRect PaintButtonBevel(TCanvas* canvas, const TRect& bounds, bool down, TSides sides = sdAllSides);
// Shades of one base colour in place of the system colours.
TRect PaintColorButtonBevel(TCanvas* canvas, const TRect& bounds, TColor baseColor, bool down,
                            TSides sides = sdAllSides);
// In system colours. fsFlatRounded is not a TFrameStyle and draws nothing here.
TRect PaintStyledBorder(TCanvas* canvas, const TRect& bounds, TFrameStyle style,
                        TSides sides = sdAllSides);
TRect PaintColoredBorder(TCanvas* canvas, const TRect& bounds, TColor baseColor, TFrameStyle style,
                         TSides sides = sdAllSides);
TRect PaintOutline(TCanvas* canvas, const TRect& bounds, TColor color);
// An outline whose corners are cut by one pixel; shrinks by 2 on each side drawn.
TRect PaintRoundedOutline(TCanvas* canvas, const TRect& bounds, TColor color, TSides sides);
// A panel's outer border, border band and inner border. The flat colour is shifted by
// flatColorAdjustment; parentColor fills the clipped corners of an opaque rounded border.
TRect PaintPanelBorders(TCanvas* canvas, const TRect& bounds, TFrameStyleEx outerStyle,
                        TFrameStyleEx innerStyle, int borderWidth, TSides sides, int bevelWidth,
                        TColor borderColor, TColor highlightColor, TColor shadowColor,
                        TColor flatColor, int flatColorAdjustment, TColor controlColor,
                        TColor parentColor, bool transparent);
// An edit's frame on a canvas over its whole window, (0, 0, width, height). The two flat
// styles use frameColor; the others use system colours when controlColor is exactly clWindow
// and shades of controlColor otherwise. clearBand first paints the two outer rings in the
// control colour on all four sides.
void PaintEditFrame(TCanvas* canvas, int width, int height, TColor frameColor, TColor controlColor,
                    TFrameStyle style, TSides sides, bool clearBand = true);
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

// ==== Published type information, settings store and frame controller ====

// A design-time property with no behaviour; published as About and never stored.
enum TRzAboutInfo : std::uint8_t { aiAbout };

enum TFramingPreference : std::uint8_t { fpCustomFraming, fpXPThemes };

// Each value but fcpAll names the published property of the same name without its prefix.
enum TRzFrameControllerProperty : std::uint8_t {
  fcpColor,
  fcpFocusColor,
  fcpDisabledColor,
  fcpReadOnlyColor,
  fcpReadOnlyColorOnFocus,
  fcpParentColor,
  fcpFlatButtonColor,
  fcpFlatButtons,
  fcpFrameColor,
  fcpFrameHotColor,
  fcpFrameHotTrack,
  fcpFrameHotStyle,
  fcpFrameSides,
  fcpFrameStyle,
  fcpFrameVisible,
  fcpFramingPreference,
  fcpAll
};
// The subrange fcpColor..fcpFramingPreference.
using TRzFrameControllerPropertyConnection = TRzFrameControllerProperty;
// Bit n for ordinal n; sixteen bits.
using TRzFrameControllerNotifications = TEnumSet<TRzFrameControllerPropertyConnection>;
constexpr TRzFrameControllerNotifications fcnAllNotifications =
    TRzFrameControllerNotifications::FromBits(0xFFFFu);

// A control that would rather read the controller's settings itself after each change derives
// from this as well. There is no COM here: the controller finds the interface with dynamic_cast.
class IFrameControllerNotify {
 public:
  virtual ~IFrameControllerNotify() = default;
  virtual void FrameSettingsChanged() = 0;
};

KORV_EXCEPTION(ENoRegIniFile, Exception);

// Settings store kinds and options.
enum TRzPathType : std::uint8_t { ptIniFile, ptRegistry };
enum TRzRegKey : std::uint8_t {
  hkeyClassesRoot,
  hkeyCurrentUser,
  hkeyLocalMachine,
  hkeyUsers,
  hkeyPerformanceData,
  hkeyCurrentConfig,
  hkeyDynData
};
enum TRzRegAccessKey : std::uint8_t {
  keyQueryValue,
  keySetValue,
  keyCreateSubKey,
  keyEnumerateSubKeys,
  keyNotify,
  keyCreateLink,
  keyRead,
  keyWrite,
  keyExecute,
  keyAllAccess
};
using TRzRegAccess = TEnumSet<TRzRegAccessKey>;
enum TRzSpecialFolder : std::uint8_t {
  sfNone,
  sfUserAppDataRoaming,
  sfUserAppDataLocal,
  sfUserDocuments,
  sfProgramData
};
enum TRzIniFileEncoding : std::uint8_t { feDefault, feUTF8, feUnicode };

// Type information of the library's own property types, for the published tables.
const TTypeInfo* TypeInfoTRzAboutInfo();
const TTypeInfo* TypeInfoTFrameStyle();  // fsNone..fsFlatBold
const TTypeInfo* TypeInfoTFrameStyleEx();
const TTypeInfo* TypeInfoTSide();
const TTypeInfo* TypeInfoTSides();
const TTypeInfo* TypeInfoTFramingPreference();
const TTypeInfo* TypeInfoTRzFrameControllerPropertyConnection();
const TTypeInfo* TypeInfoTRzFrameControllerNotifications();
const TTypeInfo* TypeInfoTRzPathType();
const TTypeInfo* TypeInfoTRzRegKey();
const TTypeInfo* TypeInfoTRzRegAccessKey();
const TTypeInfo* TypeInfoTRzRegAccess();
const TTypeInfo* TypeInfoTRzSpecialFolder();
const TTypeInfo* TypeInfoTRzIniFileEncoding();

// The published tables of the settings store and the frame controller; later calls do nothing.
void RegisterRzCommonClasses();

class TCustomIniFile;
class TMemIniFile;
class TRegistryIniFile;
class TStream;

// One INI-style interface over an INI file or a registry key. The backing object is opened on
// the first operation after any property changed; an INI file is rewritten after every change.
// A registry key that can be neither opened nor created raises ERegistryException at that
// operation and every later one until a property changes: nothing lands outside the key.
class TRzRegIniFile : public TComponent {
 public:
  explicit TRzRegIniFile(TComponent* owner);
  ~TRzRegIniFile() override;
  String ClassName() const override;

  TRzAboutInfo About() const { return FAboutInfo; }
  void SetAbout(TRzAboutInfo) {}
  TRzIniFileEncoding FileEncoding() const { return FFileEncoding; }
  virtual void SetFileEncoding(TRzIniFileEncoding value);
  // After an operation: the resolved file name or key path.
  const String& Path() const { return FPath; }
  virtual void SetPath(const String& value);
  TRzPathType PathType() const { return FPathType; }
  virtual void SetPathType(TRzPathType value);
  TRzRegKey RegKey() const { return FRegKey; }
  virtual void SetRegKey(TRzRegKey value);
  TRzRegAccess RegAccess() const { return FRegAccess; }
  virtual void SetRegAccess(TRzRegAccess value);
  TRzSpecialFolder SpecialFolder() const { return FSpecialFolder; }
  virtual void SetSpecialFolder(TRzSpecialFolder value);

  bool SectionExists(const String& section);
  bool ValueExists(const String& section, const String& name);
  bool ReadBool(const String& section, const String& name, bool def);
  void WriteBool(const String& section, const String& name, bool value);
  TDateTime ReadDate(const String& section, const String& name, TDateTime def);
  void WriteDate(const String& section, const String& name, TDateTime value);
  TDateTime ReadDateTime(const String& section, const String& name, TDateTime def);
  void WriteDateTime(const String& section, const String& name, TDateTime value);
  TDateTime ReadTime(const String& section, const String& name, TDateTime def);
  void WriteTime(const String& section, const String& name, TDateTime value);
  double ReadFloat(const String& section, const String& name, double def);
  void WriteFloat(const String& section, const String& name, double value);
  int ReadInteger(const String& section, const String& name, int def);
  void WriteInteger(const String& section, const String& name, int value);
  String ReadString(const String& section, const String& name, const String& def);
  void WriteString(const String& section, const String& name, const String& value);
  int ReadBinaryStream(const String& section, const String& name, TStream* value);
  void WriteBinaryStream(const String& section, const String& name, TStream* value);
  void ReadSection(const String& section, TStrings* strings);
  void ReadSections(TStrings* strings);
  void ReadSectionValues(const String& section, TStrings* strings);
  void EraseSection(const String& section);
  void DeleteKey(const String& section, const String& name);

 private:
  void Changed();
  void EnsureStorage();
  TCustomIniFile* Storage();
  void FlushIniFile();

  TRzAboutInfo FAboutInfo = aiAbout;
  String FPath;
  TRzPathType FPathType = ptIniFile;
  TRzRegKey FRegKey = hkeyCurrentUser;
  TRzRegAccess FRegAccess = TRzRegAccess(keyAllAccess);
  TRzSpecialFolder FSpecialFolder = sfNone;
  TRzIniFileEncoding FFileEncoding = feDefault;
  bool FRefreshStorage = true;
  std::unique_ptr<TMemIniFile> FIni;
  std::unique_ptr<TRegistryIniFile> FReg;
};

// The registry root and the access mask a store opens with.
HKEY RegKeyRoot(TRzRegKey key);
REGSAM RegAccessMask(TRzRegAccess access);

// Holds one set of framing and colour settings and pushes them to every registered control,
// by published-property name or, for an IFrameControllerNotify, by one call.
class TRzFrameController : public TComponent {
 public:
  explicit TRzFrameController(TComponent* owner);
  ~TRzFrameController() override;
  String ClassName() const override;
  // Copies the settings of another frame controller, then pushes them once.
  void Assign(const TPersistent* source) override;

  void BeginUpdate();
  void EndUpdate();
  void UpdateControls();
  // Registration pushes every setting to the control at once, even inside an update bracket.
  void AddControl(TComponent* control);
  void RemoveControl(TComponent* control);
  int ControlCount() const { return FFrameList ? static_cast<int>(FFrameList->size()) : 0; }

  // ENoRegIniFile without a RegIniFile.
  void Load(const String& section);
  void Save(const String& section);

  TRzAboutInfo About() const { return FAboutInfo; }
  void SetAbout(TRzAboutInfo) {}
  TColor Color() const { return FColor; }
  virtual void SetColor(TColor value);
  bool ParentColor() const { return FParentColor; }
  virtual void SetParentColor(bool value);
  TColor FlatButtonColor() const { return FFlatButtonColor; }
  virtual void SetFlatButtonColor(TColor value);
  bool FlatButtons() const { return FFlatButtons; }
  virtual void SetFlatButtons(bool value);
  TColor DisabledColor() const { return FDisabledColor; }
  virtual void SetDisabledColor(TColor value);
  TColor ReadOnlyColor() const { return FReadOnlyColor; }
  virtual void SetReadOnlyColor(TColor value);
  bool ReadOnlyColorOnFocus() const { return FReadOnlyColorOnFocus; }
  virtual void SetReadOnlyColorOnFocus(bool value);
  TColor FocusColor() const { return FFocusColor; }
  virtual void SetFocusColor(TColor value);
  TColor FrameColor() const { return FFrameColor; }
  virtual void SetFrameColor(TColor value);
  TColor FrameHotColor() const { return FFrameHotColor; }
  virtual void SetFrameHotColor(TColor value);
  bool FrameHotTrack() const { return FFrameHotTrack; }
  virtual void SetFrameHotTrack(bool value);
  TFrameStyle FrameHotStyle() const { return FFrameHotStyle; }
  virtual void SetFrameHotStyle(TFrameStyle value);
  TSides FrameSides() const { return FFrameSides; }
  virtual void SetFrameSides(TSides value);
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  virtual void SetFrameStyle(TFrameStyle value);
  bool FrameVisible() const { return FFrameVisible; }
  virtual void SetFrameVisible(bool value);
  TFramingPreference FramingPreference() const { return FFramingPreference; }
  virtual void SetFramingPreference(TFramingPreference value);
  TRzRegIniFile* RegIniFile() const { return FRegIniFile; }
  virtual void SetRegIniFile(TRzRegIniFile* value);

 protected:
  void DefineProperties(TFiler* filer) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void NotifyControl(TComponent* control, TRzFrameControllerProperty prop);
  virtual void NotifyControls(TRzFrameControllerProperty prop);

 private:
  struct Settings;
  Settings Current() const;
  void Apply(const Settings& s);
  static Settings ReadSettings(TRzRegIniFile* store, const String& section, Settings s);
  std::int64_t OrdValue(TRzFrameControllerProperty prop) const;
  void PushProperty(TComponent* control, TRzFrameControllerProperty prop) const;

  TRzAboutInfo FAboutInfo = aiAbout;
  TColor FColor = clWindow;
  bool FParentColor = false;
  std::unique_ptr<std::vector<TComponent*>> FFrameList;
  TColor FFlatButtonColor = clBtnFace;
  bool FFlatButtons = true;
  TColor FDisabledColor = clBtnFace;
  TColor FReadOnlyColor = clInfoBk;
  bool FReadOnlyColorOnFocus = false;
  TColor FFocusColor = clWindow;
  TColor FFrameColor = clBtnShadow;
  TColor FFrameHotColor = clBtnShadow;
  bool FFrameHotTrack = false;
  TFrameStyle FFrameHotStyle = fsFlatBold;
  TSides FFrameSides = sdAllSides;
  TFrameStyle FFrameStyle = fsFlat;
  bool FFrameVisible = false;
  TFramingPreference FFramingPreference = fpXPThemes;
  int FUpdateCount = 0;
  TRzRegIniFile* FRegIniFile = nullptr;
};
