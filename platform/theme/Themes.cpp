#include "Themes.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace {

// ---- The palette: every colour of the styled look, in one table ----

constexpr COLORREF kNone = CLR_NONE;
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kBorder = RGB(0xA9, 0xB1, 0xBC);
constexpr COLORREF kBorderHot = RGB(0x7D, 0xA2, 0xCE);
constexpr COLORREF kBorderAccent = RGB(0x4A, 0x7F, 0xBF);
constexpr COLORREF kBorderDisabled = RGB(0xD2, 0xD6, 0xDB);
constexpr COLORREF kBorderSoft = RGB(0xD3, 0xDA, 0xE2);
constexpr COLORREF kFace = RGB(0xEC, 0xEF, 0xF3);
constexpr COLORREF kFaceHot = RGB(0xE1, 0xEC, 0xF8);
constexpr COLORREF kFacePressed = RGB(0xC8, 0xDB, 0xF0);
constexpr COLORREF kFaceDisabled = RGB(0xF3, 0xF4, 0xF6);
constexpr COLORREF kReadOnly = RGB(0xF7, 0xF8, 0xFA);
constexpr COLORREF kText = RGB(0x1E, 0x23, 0x2A);
constexpr COLORREF kTextDisabled = RGB(0x98, 0x9E, 0xA6);
constexpr COLORREF kHeading = RGB(0x24, 0x48, 0x75);
constexpr COLORREF kGlyph = RGB(0x3F, 0x46, 0x50);
constexpr COLORREF kGlyphHot = RGB(0x2B, 0x5A, 0x94);
constexpr COLORREF kGlyphDisabled = RGB(0xB3, 0xB9, 0xC1);
constexpr COLORREF kTrack = RGB(0xF3, 0xF4, 0xF6);
constexpr COLORREF kTrackHot = RGB(0xEA, 0xEE, 0xF3);
constexpr COLORREF kTrackPressed = RGB(0xDC, 0xE3, 0xEC);
constexpr COLORREF kThumb = RGB(0xCF, 0xD4, 0xDB);
constexpr COLORREF kThumbBorder = RGB(0xB6, 0xBD, 0xC7);
constexpr COLORREF kThumbHot = RGB(0xBF, 0xCF, 0xE3);
constexpr COLORREF kThumbPressed = RGB(0xA9, 0xC1, 0xDF);
constexpr COLORREF kBar = RGB(0xE4, 0xEB, 0xF3);
constexpr COLORREF kBarTop = RGB(0xEE, 0xF3, 0xF8);
constexpr COLORREF kBarBottom = RGB(0xD9, 0xE3, 0xEE);
constexpr COLORREF kGroup = RGB(0xF7, 0xF9, 0xFC);
constexpr COLORREF kGroupHead = RGB(0xEC, 0xF1, 0xF7);
constexpr COLORREF kGroupHeadBottom = RGB(0xE2, 0xEA, 0xF4);
constexpr COLORREF kSpecialGroup = RGB(0xEE, 0xF4, 0xFB);
constexpr COLORREF kSpecialBorder = RGB(0xBC, 0xCF, 0xE6);
constexpr COLORREF kSpecialText = RGB(0x1C, 0x3C, 0x66);
constexpr COLORREF kSpecialHead = RGB(0x4A, 0x7F, 0xBF);
constexpr COLORREF kSpecialHeadTop = RGB(0x5A, 0x8C, 0xC8);
constexpr COLORREF kSpecialHeadBottom = RGB(0x3F, 0x73, 0xB3);

// How a part is painted; the colours come from its palette row.
enum class Shape : std::uint8_t {
  Box,         // fill and one-pixel border
  PushButton,  // a box whose corner pixels are left alone
  Frame,       // border only (group box)
  Fill,        // fill only
  Gradient,    // top-to-bottom gradient, border when the row has one
  Arrow,       // a box with an arrow in the glyph colour
  Chevron,     // a box with a small arrow (explorer-bar collapse and expand)
  Gripper,     // three short lines in the glyph colour
};

enum class Dir : std::uint8_t { None, Up, Down, Left, Right };

constexpr int kAnyState = -1;

struct PaletteRow {
  TThemedElement element;
  int part;
  int state;  // kAnyState: every state of the part
  Shape shape;
  Dir dir;
  COLORREF fill, border, text, glyph, gradient1, gradient2;
};

// clang-format off
constexpr PaletteRow kPalette[] = {
  // element, part, state, shape, direction;
  //     fill, border, text, glyph, gradient1, gradient2
  {teButton,      0,                          kAnyState,      Shape::Box,        Dir::None,
      kFace,          kBorder,        kText,         kNone,          kNone,          kNone},
  {teButton,      BP_PUSHBUTTON,              PBS_NORMAL,     Shape::PushButton, Dir::None,
      kFace,          kBorder,        kText,         kNone,          kNone,          kNone},
  {teButton,      BP_PUSHBUTTON,              PBS_HOT,        Shape::PushButton, Dir::None,
      kFaceHot,       kBorderHot,     kText,         kNone,          kNone,          kNone},
  {teButton,      BP_PUSHBUTTON,              PBS_PRESSED,    Shape::PushButton, Dir::None,
      kFacePressed,   kBorderAccent,  kText,         kNone,          kNone,          kNone},
  {teButton,      BP_PUSHBUTTON,              PBS_DISABLED,   Shape::PushButton, Dir::None,
      kFaceDisabled,  kBorderDisabled, kTextDisabled, kNone,          kNone,          kNone},
  {teButton,      BP_PUSHBUTTON,              PBS_DEFAULTED,  Shape::PushButton, Dir::None,
      kFace,          kBorderAccent,  kText,         kNone,          kNone,          kNone},
  {teButton,      BP_GROUPBOX,                GBS_NORMAL,     Shape::Frame,      Dir::None,
      kNone,          kBorderSoft,    kHeading,      kNone,          kNone,          kNone},
  {teButton,      BP_GROUPBOX,                GBS_DISABLED,   Shape::Frame,      Dir::None,
      kNone,          kBorderDisabled, kTextDisabled, kNone,          kNone,          kNone},

  {teComboBox,    0,                          kAnyState,      Shape::Box,        Dir::None,
      kWhite,         kBorder,        kText,         kNone,          kNone,          kNone},
  {teComboBox,    CP_DROPDOWNBUTTON,          CBXS_NORMAL,    Shape::Arrow,      Dir::Down,
      kFace,          kBorder,        kText,         kGlyph,         kNone,          kNone},
  {teComboBox,    CP_DROPDOWNBUTTON,          CBXS_HOT,       Shape::Arrow,      Dir::Down,
      kFaceHot,       kBorderHot,     kText,         kGlyphHot,      kNone,          kNone},
  {teComboBox,    CP_DROPDOWNBUTTON,          CBXS_PRESSED,   Shape::Arrow,      Dir::Down,
      kFacePressed,   kBorderAccent,  kText,         kGlyphHot,      kNone,          kNone},
  {teComboBox,    CP_DROPDOWNBUTTON,          CBXS_DISABLED,  Shape::Arrow,      Dir::Down,
      kFaceDisabled,  kBorderDisabled, kTextDisabled, kGlyphDisabled, kNone,          kNone},

  {teEdit,        0,                          kAnyState,      Shape::Box,        Dir::None,
      kWhite,         kBorder,        kText,         kNone,          kNone,          kNone},
  {teEdit,        EP_EDITTEXT,                ETS_NORMAL,     Shape::Box,        Dir::None,
      kWhite,         kBorder,        kText,         kNone,          kNone,          kNone},
  {teEdit,        EP_EDITTEXT,                ETS_HOT,        Shape::Box,        Dir::None,
      kWhite,         kBorderHot,     kText,         kNone,          kNone,          kNone},
  {teEdit,        EP_EDITTEXT,                ETS_SELECTED,   Shape::Box,        Dir::None,
      kWhite,         kBorderAccent,  kText,         kNone,          kNone,          kNone},
  {teEdit,        EP_EDITTEXT,                ETS_DISABLED,   Shape::Box,        Dir::None,
      kFaceDisabled,  kBorderDisabled, kTextDisabled, kNone,          kNone,          kNone},
  {teEdit,        EP_EDITTEXT,                ETS_FOCUSED,    Shape::Box,        Dir::None,
      kWhite,         kBorderAccent,  kText,         kNone,          kNone,          kNone},
  {teEdit,        EP_EDITTEXT,                ETS_READONLY,   Shape::Box,        Dir::None,
      kReadOnly,      kBorder,        kText,         kNone,          kNone,          kNone},
  {teEdit,        EP_EDITTEXT,                ETS_ASSIST,     Shape::Box,        Dir::None,
      kWhite,         kBorder,        kTextDisabled, kNone,          kNone,          kNone},
  {teEdit,        EP_CARET,                   kAnyState,      Shape::Fill,       Dir::None,
      kText,          kNone,          kText,         kNone,          kNone,          kNone},

  {teExplorerBar, 0,                          kAnyState,      Shape::Gradient,   Dir::None,
      kBar,           kNone,          kHeading,      kNone,          kBarTop,        kBarBottom},
  {teExplorerBar, EBP_HEADERBACKGROUND,       EBHP_NORMAL,    Shape::Box,        Dir::None,
      kGroup,         kBorderSoft,    kHeading,      kNone,          kNone,          kNone},
  {teExplorerBar, EBP_HEADERBACKGROUND,       EBHP_HOT,       Shape::Box,        Dir::None,
      kFaceHot,       kBorderHot,     kHeading,      kNone,          kNone,          kNone},
  {teExplorerBar, EBP_HEADERBACKGROUND,       EBHP_PRESSED,   Shape::Box,        Dir::None,
      kFacePressed,   kBorderAccent,  kHeading,      kNone,          kNone,          kNone},
  {teExplorerBar, EBP_NORMALGROUPBACKGROUND,  kAnyState,      Shape::Box,        Dir::None,
      kGroup,         kBorderSoft,    kHeading,      kNone,          kNone,          kNone},
  {teExplorerBar, EBP_NORMALGROUPCOLLAPSE,    EBHP_NORMAL,    Shape::Chevron,    Dir::Up,
      kWhite,         kBorderSoft,    kHeading,      kGlyph,         kNone,          kNone},
  {teExplorerBar, EBP_NORMALGROUPCOLLAPSE,    EBHP_HOT,       Shape::Chevron,    Dir::Up,
      kFaceHot,       kBorderHot,     kHeading,      kGlyphHot,      kNone,          kNone},
  {teExplorerBar, EBP_NORMALGROUPCOLLAPSE,    EBHP_PRESSED,   Shape::Chevron,    Dir::Up,
      kFacePressed,   kBorderAccent,  kHeading,      kGlyphHot,      kNone,          kNone},
  {teExplorerBar, EBP_NORMALGROUPEXPAND,      EBHP_NORMAL,    Shape::Chevron,    Dir::Down,
      kWhite,         kBorderSoft,    kHeading,      kGlyph,         kNone,          kNone},
  {teExplorerBar, EBP_NORMALGROUPEXPAND,      EBHP_HOT,       Shape::Chevron,    Dir::Down,
      kFaceHot,       kBorderHot,     kHeading,      kGlyphHot,      kNone,          kNone},
  {teExplorerBar, EBP_NORMALGROUPEXPAND,      EBHP_PRESSED,   Shape::Chevron,    Dir::Down,
      kFacePressed,   kBorderAccent,  kHeading,      kGlyphHot,      kNone,          kNone},
  {teExplorerBar, EBP_NORMALGROUPHEAD,        kAnyState,      Shape::Gradient,   Dir::None,
      kGroupHead, kBorderSoft, kHeading, kNone, kWhite, kGroupHeadBottom},
  {teExplorerBar, EBP_SPECIALGROUPBACKGROUND, kAnyState,      Shape::Box,        Dir::None,
      kSpecialGroup,  kSpecialBorder, kSpecialText,  kNone,          kNone,          kNone},
  {teExplorerBar, EBP_SPECIALGROUPCOLLAPSE,   EBHP_NORMAL,    Shape::Chevron,    Dir::Up,
      kSpecialHead,   kWhite,         kWhite,        kWhite,         kNone,          kNone},
  {teExplorerBar, EBP_SPECIALGROUPCOLLAPSE,   EBHP_HOT,       Shape::Chevron,    Dir::Up,
      kSpecialHeadTop, kWhite,         kWhite,        kWhite,         kNone,          kNone},
  {teExplorerBar, EBP_SPECIALGROUPCOLLAPSE,   EBHP_PRESSED,   Shape::Chevron,    Dir::Up,
      kSpecialHeadBottom, kWhite,         kWhite,        kWhite,         kNone,          kNone},
  {teExplorerBar, EBP_SPECIALGROUPEXPAND,     EBHP_NORMAL,    Shape::Chevron,    Dir::Down,
      kSpecialHead,   kWhite,         kWhite,        kWhite,         kNone,          kNone},
  {teExplorerBar, EBP_SPECIALGROUPEXPAND,     EBHP_HOT,       Shape::Chevron,    Dir::Down,
      kSpecialHeadTop, kWhite,         kWhite,        kWhite,         kNone,          kNone},
  {teExplorerBar, EBP_SPECIALGROUPEXPAND,     EBHP_PRESSED,   Shape::Chevron,    Dir::Down,
      kSpecialHeadBottom, kWhite,         kWhite,        kWhite,         kNone,          kNone},
  {teExplorerBar, EBP_SPECIALGROUPHEAD,       kAnyState,      Shape::Gradient,   Dir::None,
      kSpecialHead, kSpecialHeadBottom, kWhite, kNone, kSpecialHeadTop, kSpecialHeadBottom},

  {teScrollBar,   0,                          kAnyState,      Shape::Fill,       Dir::None,
      kTrack,         kNone,          kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_THUMBBTNHORZ,           SCRBS_NORMAL,   Shape::Box,        Dir::None,
      kThumb,         kThumbBorder,   kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_THUMBBTNHORZ,           SCRBS_HOT,      Shape::Box,        Dir::None,
      kThumbHot,      kBorderHot,     kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_THUMBBTNHORZ,           SCRBS_PRESSED,  Shape::Box,        Dir::None,
      kThumbPressed,  kBorderAccent,  kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_THUMBBTNHORZ,           SCRBS_DISABLED, Shape::Box,        Dir::None,
      kFaceDisabled,  kBorderDisabled, kTextDisabled, kNone,          kNone,          kNone},
  {teScrollBar,   SBP_THUMBBTNVERT,           SCRBS_NORMAL,   Shape::Box,        Dir::None,
      kThumb,         kThumbBorder,   kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_THUMBBTNVERT,           SCRBS_HOT,      Shape::Box,        Dir::None,
      kThumbHot,      kBorderHot,     kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_THUMBBTNVERT,           SCRBS_PRESSED,  Shape::Box,        Dir::None,
      kThumbPressed,  kBorderAccent,  kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_THUMBBTNVERT,           SCRBS_DISABLED, Shape::Box,        Dir::None,
      kFaceDisabled,  kBorderDisabled, kTextDisabled, kNone,          kNone,          kNone},
  {teScrollBar,   SBP_LOWERTRACKHORZ,         SCRBS_NORMAL,   Shape::Fill,       Dir::None,
      kTrack,         kNone,          kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_LOWERTRACKHORZ,         SCRBS_HOT,      Shape::Fill,       Dir::None,
      kTrackHot,      kNone,          kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_LOWERTRACKHORZ,         SCRBS_PRESSED,  Shape::Fill,       Dir::None,
      kTrackPressed,  kNone,          kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_LOWERTRACKHORZ,         SCRBS_DISABLED, Shape::Fill,       Dir::None,
      kFaceDisabled,  kNone,          kTextDisabled, kNone,          kNone,          kNone},
  {teScrollBar,   SBP_UPPERTRACKHORZ,         SCRBS_NORMAL,   Shape::Fill,       Dir::None,
      kTrack,         kNone,          kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_UPPERTRACKHORZ,         SCRBS_HOT,      Shape::Fill,       Dir::None,
      kTrackHot,      kNone,          kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_UPPERTRACKHORZ,         SCRBS_PRESSED,  Shape::Fill,       Dir::None,
      kTrackPressed,  kNone,          kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_UPPERTRACKHORZ,         SCRBS_DISABLED, Shape::Fill,       Dir::None,
      kFaceDisabled,  kNone,          kTextDisabled, kNone,          kNone,          kNone},
  {teScrollBar,   SBP_LOWERTRACKVERT,         SCRBS_NORMAL,   Shape::Fill,       Dir::None,
      kTrack,         kNone,          kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_LOWERTRACKVERT,         SCRBS_HOT,      Shape::Fill,       Dir::None,
      kTrackHot,      kNone,          kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_LOWERTRACKVERT,         SCRBS_PRESSED,  Shape::Fill,       Dir::None,
      kTrackPressed,  kNone,          kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_LOWERTRACKVERT,         SCRBS_DISABLED, Shape::Fill,       Dir::None,
      kFaceDisabled,  kNone,          kTextDisabled, kNone,          kNone,          kNone},
  {teScrollBar,   SBP_UPPERTRACKVERT,         SCRBS_NORMAL,   Shape::Fill,       Dir::None,
      kTrack,         kNone,          kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_UPPERTRACKVERT,         SCRBS_HOT,      Shape::Fill,       Dir::None,
      kTrackHot,      kNone,          kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_UPPERTRACKVERT,         SCRBS_PRESSED,  Shape::Fill,       Dir::None,
      kTrackPressed,  kNone,          kText,         kNone,          kNone,          kNone},
  {teScrollBar,   SBP_UPPERTRACKVERT,         SCRBS_DISABLED, Shape::Fill,       Dir::None,
      kFaceDisabled,  kNone,          kTextDisabled, kNone,          kNone,          kNone},
  {teScrollBar,   SBP_GRIPPERHORZ,            SCRBS_DISABLED, Shape::Gripper,    Dir::None,
      kNone,          kNone,          kText,         kGlyphDisabled, kNone,          kNone},
  {teScrollBar,   SBP_GRIPPERHORZ,            kAnyState,      Shape::Gripper,    Dir::None,
      kNone,          kNone,          kText,         kGlyph,         kNone,          kNone},
  {teScrollBar,   SBP_GRIPPERVERT,            SCRBS_DISABLED, Shape::Gripper,    Dir::None,
      kNone,          kNone,          kText,         kGlyphDisabled, kNone,          kNone},
  {teScrollBar,   SBP_GRIPPERVERT,            kAnyState,      Shape::Gripper,    Dir::None,
      kNone,          kNone,          kText,         kGlyph,         kNone,          kNone},

  {teSpin,        0,                          kAnyState,      Shape::Box,        Dir::None,
      kFace,          kBorder,        kText,         kNone,          kNone,          kNone},
};
// clang-format on

// The arrow buttons (spin buttons and scroll-bar arrows) share the combo-box button's colours.
struct ArrowStateColors {
  COLORREF fill, border, glyph;
};
constexpr ArrowStateColors kArrowStates[4] = {
    {kFace, kBorder, kGlyph},
    {kFaceHot, kBorderHot, kGlyphHot},
    {kFacePressed, kBorderAccent, kGlyphHot},
    {kFaceDisabled, kBorderDisabled, kGlyphDisabled},
};

// A part's resolved look: its row, or for an arrow button a row made from kArrowStates.
struct Look {
  Shape shape = Shape::Fill;
  Dir dir = Dir::None;
  COLORREF fill = kNone, border = kNone, text = kNone, glyph = kNone, gradient1 = kNone,
           gradient2 = kNone;
  bool found = false;
};

// 0 normal, 1 hot, 2 pressed, 3 disabled for a state numbered 1..4 within groups of four.
int ArrowStateIndex(int state) { return (state - 1) % 4; }

Look LookUp(TThemedElement element, int part, int state) {
  Look look;
  auto fromArrow = [&](Dir dir, int stateInGroup) {
    if (stateInGroup < 1 || stateInGroup > 4) return;
    const ArrowStateColors& c = kArrowStates[ArrowStateIndex(stateInGroup)];
    look = Look{Shape::Arrow, dir, c.fill, c.border, kText, c.glyph, kNone, kNone, true};
  };
  if (element == teSpin && part >= SPNP_UP && part <= SPNP_DOWNHORZ) {
    static constexpr Dir dirs[] = {Dir::Up, Dir::Down, Dir::Right, Dir::Left};
    fromArrow(dirs[part - 1], state);
    return look;
  }
  if (element == teScrollBar && part == SBP_ARROWBTN) {
    if (state < 1 || state > 16) return look;
    static constexpr Dir dirs[] = {Dir::Up, Dir::Down, Dir::Left, Dir::Right};
    fromArrow(dirs[(state - 1) / 4], (state - 1) % 4 + 1);
    return look;
  }
  const PaletteRow* any = nullptr;
  for (const PaletteRow& row : kPalette) {
    if (row.element != element || row.part != part) continue;
    if (row.state == state) {
      any = &row;
      break;
    }
    if (row.state == kAnyState && !any) any = &row;
  }
  if (!any) return look;
  return Look{any->shape, any->dir,       any->fill,      any->border, any->text,
              any->glyph, any->gradient1, any->gradient2, true};
}

// ---- Painting helpers (all through the raster engine) ----

void Fill(HDC dc, const RECT& r, COLORREF color) {
  if (color == kNone || r.right <= r.left || r.bottom <= r.top) return;
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void FillXY(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
  Fill(dc, RECT{left, top, right, bottom}, color);
}

void Frame(HDC dc, const RECT& r, COLORREF color) {
  if (color == kNone || r.right <= r.left || r.bottom <= r.top) return;
  HBRUSH brush = CreateSolidBrush(color);
  FrameRect(dc, &r, brush);
  DeleteObject(brush);
}

RECT Deflate(RECT r, int d) { return RECT{r.left + d, r.top + d, r.right - d, r.bottom - d}; }

// Two-colour ring one pixel wide: top and left in a, right and bottom in b, as the platform's
// 3D edges are drawn (the top-right and bottom-left corner pixels belong to b).
void Ring(HDC dc, const RECT& r, COLORREF a, COLORREF b) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  FillXY(dc, r.left, r.top, r.right - 1, r.top + 1, a);
  FillXY(dc, r.left, r.top, r.left + 1, r.bottom - 1, a);
  FillXY(dc, r.right - 1, r.top, r.right, r.bottom, b);
  FillXY(dc, r.left, r.bottom - 1, r.right, r.bottom, b);
}

void VerticalGradient(HDC dc, const RECT& r, COLORREF top, COLORREF bottom) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  GradientFillRect(dc, r, top, bottom, GRADIENT_FILL_RECT_V);
}

// A solid triangle pointing in dir, centred in r (the centre at r.left + width / 2 and
// r.top + height / 2, the even-size middle taken towards the right and bottom), with half-width
// a = min(width, height) / 4 clamped to 1..4 and a + 1 rows. Drawn row by row so its pixels do
// not depend on polygon rules: a 16 x 20 combo button covers (8, 10), a 13 x 10 spin button
// covers (6, 4), the points the library samples for the arrow colour.
void Arrow(HDC dc, const RECT& r, Dir dir, COLORREF color, int shrink = 0) {
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0 || color == kNone || dir == Dir::None) return;
  int a = std::clamp(std::min(w, h) / 4 - shrink, 1, 4);
  int cx = r.left + w / 2, cy = r.top + h / 2;
  int rows = a + 1;
  if (dir == Dir::Up || dir == Dir::Down) {
    int y0 = r.top + (h - rows) / 2;
    for (int i = 0; i < rows; ++i) {
      int half = dir == Dir::Down ? a - i : i;
      FillXY(dc, cx - half, y0 + i, cx + half + 1, y0 + i + 1, color);
    }
  } else {
    int x0 = r.left + (w - rows) / 2;
    for (int i = 0; i < rows; ++i) {
      int half = dir == Dir::Right ? a - i : i;
      FillXY(dc, x0 + i, cy - half, x0 + i + 1, cy + half + 1, color);
    }
  }
}

void Gripper(HDC dc, const RECT& r, bool horizontalBar, COLORREF color, COLORREF light) {
  int cx = r.left + (r.right - r.left) / 2, cy = r.top + (r.bottom - r.top) / 2;
  for (int i = -1; i <= 1; ++i) {
    if (horizontalBar) {
      // A horizontal thumb gets vertical grip lines.
      int x = cx + 2 * i;
      FillXY(dc, x, cy - 3, x + 1, cy + 3, color);
      if (light != kNone) FillXY(dc, x + 1, cy - 3, x + 2, cy + 3, light);
    } else {
      int y = cy + 2 * i;
      FillXY(dc, cx - 3, y, cx + 3, y + 1, color);
      if (light != kNone) FillXY(dc, cx - 3, y + 1, cx + 3, y + 2, light);
    }
  }
}

void DrawStyled(HDC dc, TThemedElement element, int part, const Look& look, const RECT& r) {
  switch (look.shape) {
    case Shape::Box:
      Fill(dc, r, look.fill);
      Frame(dc, r, look.border);
      break;
    case Shape::PushButton: {
      // The corners stay as they were, which softens the outline on any background.
      int w = r.right - r.left, h = r.bottom - r.top;
      if (w <= 2 || h <= 2) {
        Fill(dc, r, look.border);
        break;
      }
      Fill(dc, Deflate(r, 1), look.fill);
      FillXY(dc, r.left + 1, r.top, r.right - 1, r.top + 1, look.border);
      FillXY(dc, r.left + 1, r.bottom - 1, r.right - 1, r.bottom, look.border);
      FillXY(dc, r.left, r.top + 1, r.left + 1, r.bottom - 1, look.border);
      FillXY(dc, r.right - 1, r.top + 1, r.right, r.bottom - 1, look.border);
      break;
    }
    case Shape::Frame: Frame(dc, r, look.border); break;
    case Shape::Fill: Fill(dc, r, look.fill); break;
    case Shape::Gradient:
      if (look.gradient1 != kNone && look.gradient2 != kNone)
        VerticalGradient(dc, r, look.gradient1, look.gradient2);
      else Fill(dc, r, look.fill);
      Frame(dc, r, look.border);
      break;
    case Shape::Arrow:
      Fill(dc, r, look.fill);
      Frame(dc, r, look.border);
      Arrow(dc, r, look.dir, look.glyph);
      break;
    case Shape::Chevron:
      Fill(dc, r, look.fill);
      Frame(dc, r, look.border);
      Arrow(dc, Deflate(r, 1), look.dir, look.glyph, 1);
      break;
    case Shape::Gripper:
      Gripper(dc, r, element == teScrollBar && part == SBP_GRIPPERHORZ, look.glyph, kNone);
      break;
  }
}

// ---- The classic look, in the current system colours ----

COLORREF Sys(int index) { return GetSysColor(index); }

void RaisedEdge(HDC dc, const RECT& r) {
  Ring(dc, r, Sys(COLOR_3DLIGHT), Sys(COLOR_3DDKSHADOW));
  Ring(dc, Deflate(r, 1), Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW));
}

void SunkenEdge(HDC dc, const RECT& r) {
  Ring(dc, r, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
  Ring(dc, Deflate(r, 1), Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT));
}

// A classic push-button face: raised, or with a dark and a shadow ring when pressed.
void ClassicButton(HDC dc, const RECT& r, bool pressed) {
  Fill(dc, r, Sys(COLOR_BTNFACE));
  if (pressed) {
    Frame(dc, r, Sys(COLOR_3DDKSHADOW));
    Frame(dc, Deflate(r, 1), Sys(COLOR_BTNSHADOW));
  } else {
    RaisedEdge(dc, r);
  }
}

void ClassicArrowButton(HDC dc, const RECT& r, Dir dir, int stateIndex) {
  bool pressed = stateIndex == 2, disabled = stateIndex == 3;
  ClassicButton(dc, r, pressed);
  RECT inner = Deflate(r, 2);
  if (pressed) inner = RECT{inner.left + 1, inner.top + 1, inner.right + 1, inner.bottom + 1};
  if (disabled) {
    RECT emboss{inner.left + 1, inner.top + 1, inner.right + 1, inner.bottom + 1};
    Arrow(dc, emboss, dir, Sys(COLOR_BTNHIGHLIGHT), 1);
    Arrow(dc, inner, dir, Sys(COLOR_GRAYTEXT), 1);
  } else {
    Arrow(dc, inner, dir, Sys(COLOR_BTNTEXT), 1);
  }
}

void DrawClassic(HDC dc, TThemedElement element, int part, int state, const Look& look,
                 const RECT& r) {
  switch (element) {
    case teEdit:
      if (part == EP_CARET) {
        Fill(dc, r, Sys(COLOR_WINDOWTEXT));
        return;
      }
      SunkenEdge(dc, r);
      Fill(dc, Deflate(r, 2),
           (state == ETS_DISABLED || state == ETS_READONLY) ? Sys(COLOR_BTNFACE)
                                                            : Sys(COLOR_WINDOW));
      return;
    case teButton:
      if (part == BP_GROUPBOX) {
        // Etched: a shadow line with a highlight line one pixel inside and below it.
        RECT outer{r.left, r.top, r.right - 1, r.bottom - 1};
        Frame(dc, RECT{outer.left + 1, outer.top + 1, outer.right + 1, outer.bottom + 1},
              Sys(COLOR_BTNHIGHLIGHT));
        Frame(dc, outer, Sys(COLOR_BTNSHADOW));
        return;
      }
      if (part == BP_PUSHBUTTON && state == PBS_DEFAULTED) {
        Frame(dc, r, Sys(COLOR_WINDOWFRAME));
        ClassicButton(dc, Deflate(r, 1), false);
        return;
      }
      ClassicButton(dc, r, part == BP_PUSHBUTTON && state == PBS_PRESSED);
      return;
    case teComboBox:
    case teSpin:
      if (look.shape == Shape::Arrow) {
        ClassicArrowButton(dc, r, look.dir, ArrowStateIndex(state));
        return;
      }
      if (element == teComboBox) {
        SunkenEdge(dc, r);
        Fill(dc, Deflate(r, 2), Sys(COLOR_WINDOW));
      } else {
        Fill(dc, r, Sys(COLOR_BTNFACE));
      }
      return;
    case teScrollBar:
      if (look.shape == Shape::Arrow) {
        ClassicArrowButton(dc, r, look.dir, (state - 1) % 4);
        return;
      }
      if (part == SBP_THUMBBTNHORZ || part == SBP_THUMBBTNVERT) {
        ClassicButton(dc, r, false);
        return;
      }
      if (part == SBP_GRIPPERHORZ || part == SBP_GRIPPERVERT) {
        Gripper(dc, r, part == SBP_GRIPPERHORZ, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
        return;
      }
      Fill(dc, r,
           (part != 0 && ArrowStateIndex(state) == 2) ? Sys(COLOR_3DDKSHADOW)
                                                      : Sys(COLOR_SCROLLBAR));
      return;
    case teExplorerBar:
      switch (part) {
        case 0: Fill(dc, r, Sys(COLOR_APPWORKSPACE)); return;
        case EBP_NORMALGROUPHEAD:
        case EBP_HEADERBACKGROUND: ClassicButton(dc, r, state == EBHP_PRESSED); return;
        case EBP_SPECIALGROUPHEAD: Fill(dc, r, Sys(COLOR_HIGHLIGHT)); return;
        case EBP_NORMALGROUPCOLLAPSE:
        case EBP_NORMALGROUPEXPAND:
        case EBP_SPECIALGROUPCOLLAPSE:
        case EBP_SPECIALGROUPEXPAND:
          ClassicArrowButton(dc, r, look.dir, state == EBHP_PRESSED ? 2 : 0);
          return;
        default:
          Fill(dc, r, Sys(COLOR_WINDOW));
          Frame(dc, r, Sys(COLOR_BTNSHADOW));
          return;
      }
    case teElementCount: return;
  }
}

void DrawPart(HDC dc, TThemedElement element, int part, int state, const RECT& rect,
              const RECT* clip, bool classic) {
  if (!dc || element >= teElementCount) return;
  Look look = LookUp(element, part, state);
  if (!look.found) return;
  int saved = 0;
  if (clip) {
    saved = SaveDC(dc);
    IntersectClipRect(dc, clip->left, clip->top, clip->right, clip->bottom);
  }
  if (classic) DrawClassic(dc, element, part, state, look, rect);
  else DrawStyled(dc, element, part, look, rect);
  if (clip) RestoreDC(dc, saved);
}

HRESULT ColorOf(TThemedElement element, int part, int state, int propId, COLORREF* out) {
  if (element >= teElementCount || !out) return E_INVALIDARG;
  Look look = LookUp(element, part, state);
  if (!look.found) return E_FAIL;
  COLORREF c = kNone;
  switch (propId) {
    case TMT_BORDERCOLOR: c = look.border; break;
    case TMT_FILLCOLOR: c = look.fill; break;
    case TMT_TEXTCOLOR: c = look.text; break;
    case TMT_GRADIENTCOLOR1: c = look.gradient1; break;
    case TMT_GRADIENTCOLOR2: c = look.gradient2; break;
    case TMT_GLYPHCOLOR: c = look.glyph; break;
    default: break;
  }
  if (c == kNone) return E_FAIL;
  *out = c;
  return S_OK;
}

// ---- The switch ----

std::optional<bool>& EnabledState() {
  static std::optional<bool> enabled;
  return enabled;
}

bool StylesOn() {
  std::optional<bool>& enabled = EnabledState();
  if (!enabled) {
    const char* classic = std::getenv("KORV_CLASSIC_LOOK");
    enabled = !(classic && *classic && std::string_view(classic) != "0");
  }
  return *enabled;
}

HTHEME HandleOf(TThemedElement element) { return HTHEME(element) + 1; }
bool ElementOf(HTHEME theme, TThemedElement* element) {
  if (theme == 0 || theme > HTHEME(teElementCount)) return false;
  *element = TThemedElement(theme - 1);
  return true;
}

TThemedElementDetails Details(TThemedElement element, int part, int state) {
  return TThemedElementDetails{element, part, state};
}

}  // namespace

bool TThemeServices::ThemesEnabled() const { return StylesOn(); }

TThemedElementDetails TThemeServices::GetElementDetails(TThemedButton d) const {
  if (d >= tbPushButtonNormal && d <= tbPushButtonDefaulted)
    return Details(teButton, BP_PUSHBUTTON, d - tbPushButtonNormal + PBS_NORMAL);
  if (d >= tbGroupBoxNormal && d <= tbGroupBoxDisabled)
    return Details(teButton, BP_GROUPBOX, d - tbGroupBoxNormal + GBS_NORMAL);
  return Details(teButton, 0, 0);
}

TThemedElementDetails TThemeServices::GetElementDetails(TThemedComboBox d) const {
  if (d >= tcDropDownButtonNormal && d <= tcDropDownButtonDisabled)
    return Details(teComboBox, CP_DROPDOWNBUTTON, d - tcDropDownButtonNormal + CBXS_NORMAL);
  return Details(teComboBox, 0, 0);
}

TThemedElementDetails TThemeServices::GetElementDetails(TThemedEdit d) const {
  if (d >= teEditTextNormal && d <= teEditTextAssist)
    return Details(teEdit, EP_EDITTEXT, d - teEditTextNormal + ETS_NORMAL);
  if (d == teEditCaret) return Details(teEdit, EP_CARET, 0);
  return Details(teEdit, 0, 0);
}

TThemedElementDetails TThemeServices::GetElementDetails(TThemedExplorerBar d) const {
  struct Range {
    TThemedExplorerBar first, last;
    int part;
  };
  static constexpr Range ranges[] = {
      {tebHeaderBackgroundNormal, tebHeaderBackgroundPressed, EBP_HEADERBACKGROUND},
      {tebNormalGroupBackground, tebNormalGroupBackground, EBP_NORMALGROUPBACKGROUND},
      {tebNormalGroupCollapseNormal, tebNormalGroupCollapsePressed, EBP_NORMALGROUPCOLLAPSE},
      {tebNormalGroupExpandNormal, tebNormalGroupExpandPressed, EBP_NORMALGROUPEXPAND},
      {tebNormalGroupHead, tebNormalGroupHead, EBP_NORMALGROUPHEAD},
      {tebSpecialGroupBackground, tebSpecialGroupBackground, EBP_SPECIALGROUPBACKGROUND},
      {tebSpecialGroupCollapseNormal, tebSpecialGroupCollapsePressed, EBP_SPECIALGROUPCOLLAPSE},
      {tebSpecialGroupExpandNormal, tebSpecialGroupExpandPressed, EBP_SPECIALGROUPEXPAND},
      {tebSpecialGroupHead, tebSpecialGroupHead, EBP_SPECIALGROUPHEAD},
  };
  for (const Range& r : ranges) {
    if (d < r.first || d > r.last) continue;
    // Parts with a single look have no states.
    int state = r.first == r.last ? 0 : d - r.first + 1;
    return Details(teExplorerBar, r.part, state);
  }
  return Details(teExplorerBar, 0, 0);
}

TThemedElementDetails TThemeServices::GetElementDetails(TThemedScrollBar d) const {
  if (d >= tsArrowBtnUpNormal && d <= tsArrowBtnRightDisabled)
    return Details(teScrollBar, SBP_ARROWBTN, d - tsArrowBtnUpNormal + 1);
  if (d >= tsThumbBtnHorzNormal && d <= tsGripperVertDisabled) {
    int index = d - tsThumbBtnHorzNormal;
    return Details(teScrollBar, SBP_THUMBBTNHORZ + index / 4, index % 4 + 1);
  }
  return Details(teScrollBar, 0, 0);
}

TThemedElementDetails TThemeServices::GetElementDetails(TThemedSpin d) const {
  if (d >= tsUpNormal && d <= tsDownHorzDisabled) {
    int index = d - tsUpNormal;
    return Details(teSpin, SPNP_UP + index / 4, index % 4 + 1);
  }
  return Details(teSpin, 0, 0);
}

HTHEME TThemeServices::Theme(TThemedElement element) const {
  if (!ThemesEnabled() || element >= teElementCount) return 0;
  return HandleOf(element);
}

void TThemeServices::DrawElement(HDC dc, const TThemedElementDetails& details, const RECT& rect,
                                 const RECT* clip) const {
  DrawPart(dc, details.Element, details.Part, details.State, rect, clip, !ThemesEnabled());
}

void TThemeServices::DrawText(HDC dc, const TThemedElementDetails& details, const String& text,
                              RECT rect, UINT flags) const {
  if (!dc) return;
  COLORREF color = 0;
  if (!ThemesEnabled() ||
      ColorOf(details.Element, details.Part, details.State, TMT_TEXTCOLOR, &color) != S_OK) {
    bool disabled = (details.Element == teButton && details.State == PBS_DISABLED &&
                     details.Part == BP_PUSHBUTTON) ||
                    (details.Element == teEdit && details.State == ETS_DISABLED);
    color = GetSysColor(disabled                    ? COLOR_GRAYTEXT
                        : details.Element == teEdit ? COLOR_WINDOWTEXT
                                                    : COLOR_BTNTEXT);
  }
  COLORREF oldColor = SetTextColor(dc, color);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags);
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldColor);
}

RECT TThemeServices::ContentRect(HDC, const TThemedElementDetails& details,
                                 const RECT& bounds) const {
  Look look = LookUp(details.Element, details.Part, details.State);
  if (!look.found || look.shape == Shape::Fill || look.shape == Shape::Gripper) return bounds;
  // The classic edges are two pixels deep, the styled borders one.
  int d = ThemesEnabled() ? 1 : 2;
  if (look.shape == Shape::Gradient && look.border == kNone && ThemesEnabled()) d = 0;
  return Deflate(bounds, d);
}

bool TThemeServices::HasTransparentParts(const TThemedElementDetails& details) const {
  if (!ThemesEnabled()) return details.Element == teButton && details.Part == BP_GROUPBOX;
  Look look = LookUp(details.Element, details.Part, details.State);
  return look.found && (look.shape == Shape::PushButton || look.shape == Shape::Frame ||
                        look.shape == Shape::Gripper);
}

HRESULT TThemeServices::GetThemeColor(const TThemedElementDetails& details, int propId,
                                      TColor& color) const {
  if (!ThemesEnabled()) return E_FAIL;
  COLORREF c = 0;
  HRESULT hr = ColorOf(details.Element, details.Part, details.State, propId, &c);
  if (hr == S_OK) color = c;
  return hr;
}

void TThemeServices::UpdateThemes() {
  EnabledState().reset();
  StylesOn();
  if (OnThemeChange) OnThemeChange();
}

TThemeServices* ThemeServices() {
  static TThemeServices services;
  return &services;
}

void SetThemesEnabledForTesting(bool enabled) {
  bool before = StylesOn();
  EnabledState() = enabled;
  if (before != enabled && ThemeServices()->OnThemeChange) ThemeServices()->OnThemeChange();
}

BOOL IsThemeActive() { return StylesOn() ? TRUE : FALSE; }

HTHEME OpenThemeData(HWND, const WCHAR* classList) {
  if (!StylesOn() || !classList) return 0;
  static constexpr struct {
    const char* name;
    TThemedElement element;
  } classes[] = {{"BUTTON", teButton},           {"COMBOBOX", teComboBox},   {"EDIT", teEdit},
                 {"EXPLORERBAR", teExplorerBar}, {"SCROLLBAR", teScrollBar}, {"SPIN", teSpin}};
  String list(classList);
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(u';', start);
    if (end == String::npos) end = list.size();
    String name = list.substr(start, end - start);
    for (auto& c : classes) {
      std::string_view want(c.name);
      if (name.size() != want.size()) continue;
      bool same = true;
      for (size_t i = 0; i < name.size() && same; ++i) {
        char16_t ch = name[i];
        if (ch >= u'a' && ch <= u'z') ch = char16_t(ch - u'a' + u'A');
        same = ch == char16_t(want[i]);
      }
      if (same) return HandleOf(c.element);
    }
    start = end + 1;
  }
  return 0;
}

HRESULT CloseThemeData(HTHEME theme) {
  TThemedElement element;
  return ElementOf(theme, &element) ? S_OK : E_INVALIDARG;
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect,
                            const RECT* clip) {
  TThemedElement element;
  if (!ElementOf(theme, &element) || !rect) return E_INVALIDARG;
  if (!LookUp(element, partId, stateId).found) return E_FAIL;
  DrawPart(dc, element, partId, stateId, *rect, clip, false);
  return S_OK;
}

HRESULT GetThemeColor(HTHEME theme, int partId, int stateId, int propId, COLORREF* color) {
  TThemedElement element;
  if (!ElementOf(theme, &element)) return E_INVALIDARG;
  return ColorOf(element, partId, stateId, propId, color);
}
