#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Gdi.h"
#include "TestSupport.h"
#include "Themes.h"

namespace {

constexpr COLORREF kSentinel = RGB(0xFF, 0x00, 0xFF);

// A 32-bit bitmap in its own memory DC, filled with the sentinel so untouched pixels show.
class Surface {
 public:
  Surface(int w, int h) : w_(w), h_(h) {
    dc_ = CreateCompatibleDC(0);
    bmp_ = CreateBitmap(w, h, 1, 32, nullptr);
    old_ = SelectObject(dc_, bmp_);
    Clear();
  }
  ~Surface() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  void Clear() {
    HBRUSH b = CreateSolidBrush(kSentinel);
    RECT r{0, 0, w_, h_};
    FillRect(dc_, &r, b);
    DeleteObject(b);
  }
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  int CountOf(COLORREF c) const { return CountIn(c, RECT{0, 0, w_, h_}); }
  int CountIn(COLORREF c, const RECT& r) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += At(x, y) == c;
    return n;
  }
  // Glyph-coloured pixels per row (or per column).
  std::vector<int> Profile(COLORREF c, bool rows) const {
    std::vector<int> counts(rows ? h_ : w_, 0);
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        if (At(x, y) == c) ++counts[rows ? y : x];
    return counts;
  }
  // A text picture of the pixels for failure messages: '.' sentinel, letters by first use.
  std::string Grid() const {
    std::vector<COLORREF> seen;
    std::string out;
    for (int y = 0; y < h_; ++y) {
      for (int x = 0; x < w_; ++x) {
        COLORREF c = At(x, y);
        if (c == kSentinel) {
          out += '.';
          continue;
        }
        size_t i = 0;
        while (i < seen.size() && seen[i] != c) ++i;
        if (i == seen.size()) seen.push_back(c);
        out += char('A' + i % 26);
      }
      out += '\n';
    }
    return out;
  }
  int w() const { return w_; }
  int h() const { return h_; }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
};

class ThemeTest : public ::testing::Test {
 protected:
  void SetUp() override { SetThemesEnabledForTesting(true); }
  void TearDown() override {
    SetThemesEnabledForTesting(true);
    ThemeServices()->OnThemeChange = nullptr;
    ResetSysColors();
  }
  TThemeServices* ts = ThemeServices();

  COLORREF Prop(const TThemedElementDetails& d, int prop) {
    TColor c = 0x12345678;
    EXPECT_EQ(ts->GetThemeColor(d, prop, c), S_OK) << "part " << d.Part << " state " << d.State;
    return c;
  }
};

bool Dark(COLORREF c) { return GetRValue(c) < 0x80 && GetGValue(c) < 0x80 && GetBValue(c) < 0x80; }
int Luma(COLORREF c) { return (GetRValue(c) * 3 + GetGValue(c) * 6 + GetBValue(c)) / 10; }

TEST_F(ThemeTest, ElementDetailsCarryThePlatformPartAndStateNumbers) {
  struct Case {
    TThemedElementDetails got, want;
  } cases[] = {
      {ts->GetElementDetails(teEditRoot), {teEdit, 0, 0}},
      {ts->GetElementDetails(teEditTextNormal), {teEdit, EP_EDITTEXT, ETS_NORMAL}},
      {ts->GetElementDetails(teEditTextDisabled), {teEdit, EP_EDITTEXT, ETS_DISABLED}},
      {ts->GetElementDetails(teEditTextReadOnly), {teEdit, EP_EDITTEXT, ETS_READONLY}},
      {ts->GetElementDetails(tbPushButtonNormal), {teButton, BP_PUSHBUTTON, PBS_NORMAL}},
      {ts->GetElementDetails(tbPushButtonDefaulted), {teButton, BP_PUSHBUTTON, PBS_DEFAULTED}},
      {ts->GetElementDetails(tbGroupBoxNormal), {teButton, BP_GROUPBOX, GBS_NORMAL}},
      {ts->GetElementDetails(tsSpinRoot), {teSpin, 0, 0}},
      {ts->GetElementDetails(tsUpNormal), {teSpin, SPNP_UP, UPS_NORMAL}},
      {ts->GetElementDetails(tsDownNormal), {teSpin, SPNP_DOWN, UPS_NORMAL}},
      {ts->GetElementDetails(tsDownPressed), {teSpin, SPNP_DOWN, UPS_PRESSED}},
      {ts->GetElementDetails(tsUpHorzDisabled), {teSpin, SPNP_UPHORZ, UPS_DISABLED}},
      {ts->GetElementDetails(tsDownHorzHot), {teSpin, SPNP_DOWNHORZ, UPS_HOT}},
      {ts->GetElementDetails(tcDropDownButtonNormal), {teComboBox, CP_DROPDOWNBUTTON, CBXS_NORMAL}},
      {ts->GetElementDetails(tcDropDownButtonDisabled),
       {teComboBox, CP_DROPDOWNBUTTON, CBXS_DISABLED}},
      {ts->GetElementDetails(tsArrowBtnRightDisabled), {teScrollBar, SBP_ARROWBTN, 16}},
      {ts->GetElementDetails(tsThumbBtnHorzNormal), {teScrollBar, SBP_THUMBBTNHORZ, SCRBS_NORMAL}},
      {ts->GetElementDetails(tsThumbBtnHorzPressed),
       {teScrollBar, SBP_THUMBBTNHORZ, SCRBS_PRESSED}},
      {ts->GetElementDetails(tsThumbBtnVertDisabled),
       {teScrollBar, SBP_THUMBBTNVERT, SCRBS_DISABLED}},
      {ts->GetElementDetails(tsGripperVertHot), {teScrollBar, SBP_GRIPPERVERT, SCRBS_HOT}},
      {ts->GetElementDetails(tebExplorerBarRoot), {teExplorerBar, 0, 0}},
      {ts->GetElementDetails(tebNormalGroupBackground),
       {teExplorerBar, EBP_NORMALGROUPBACKGROUND, 0}},
      {ts->GetElementDetails(tebNormalGroupExpandHot), {teExplorerBar, EBP_NORMALGROUPEXPAND, 2}},
      {ts->GetElementDetails(tebSpecialGroupBackground),
       {teExplorerBar, EBP_SPECIALGROUPBACKGROUND, 0}},
      {ts->GetElementDetails(tebSpecialGroupHead), {teExplorerBar, EBP_SPECIALGROUPHEAD, 0}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(cases[i].got.Element, cases[i].want.Element) << "case " << i;
    EXPECT_EQ(cases[i].got.Part, cases[i].want.Part) << "case " << i;
    EXPECT_EQ(cases[i].got.State, cases[i].want.State) << "case " << i;
  }
}

TEST_F(ThemeTest, PartColoursTheLibraryAsksForAreDefinedAndReadable) {
  COLORREF editBorder = Prop(ts->GetElementDetails(teEditRoot), TMT_BORDERCOLOR);
  COLORREF spinBorder = Prop(ts->GetElementDetails(tsSpinRoot), TMT_BORDERCOLOR);
  COLORREF groupText = Prop(ts->GetElementDetails(tebNormalGroupBackground), TMT_TEXTCOLOR);
  COLORREF groupFill = Prop(ts->GetElementDetails(tebNormalGroupBackground), TMT_FILLCOLOR);
  COLORREF specialText = Prop(ts->GetElementDetails(tebSpecialGroupBackground), TMT_TEXTCOLOR);
  COLORREF specialFill = Prop(ts->GetElementDetails(tebSpecialGroupBackground), TMT_FILLCOLOR);
  COLORREF barGradient = Prop(ts->GetElementDetails(tebExplorerBarRoot), TMT_GRADIENTCOLOR1);
  COLORREF headFill = Prop(ts->GetElementDetails(tebSpecialGroupHead), TMT_FILLCOLOR);
  COLORREF groupBoxText = Prop(ts->GetElementDetails(tbGroupBoxNormal), TMT_TEXTCOLOR);

  // One look: the spin edit's border matches the edit's.
  EXPECT_EQ(editBorder, spinBorder);
  // Text stands out from what it is written on.
  EXPECT_GT(Luma(groupFill) - Luma(groupText), 100);
  EXPECT_GT(Luma(specialFill) - Luma(specialText), 100);
  EXPECT_TRUE(Dark(groupBoxText));
  EXPECT_NE(headFill, specialFill);
  EXPECT_NE(barGradient, RGB(255, 255, 255));

  // The uxtheme path reads the same table.
  COLORREF viaHandle = 0;
  EXPECT_EQ(GetThemeColor(ts->Theme(teEdit), 0, 0, TMT_BORDERCOLOR, &viaHandle), S_OK);
  EXPECT_EQ(viaHandle, editBorder);
}

TEST_F(ThemeTest, ColourQueriesFailWithoutChangingTheResult) {
  TColor c = 0x00123456;
  EXPECT_EQ(ts->GetThemeColor(ts->GetElementDetails(teEditRoot), TMT_EDGELIGHTCOLOR, c), E_FAIL);
  EXPECT_EQ(ts->GetThemeColor(ts->GetElementDetails(tbGroupBoxNormal), TMT_FILLCOLOR, c), E_FAIL);
  EXPECT_EQ(ts->GetThemeColor(TThemedElementDetails{teSpin, 9, 1}, TMT_FILLCOLOR, c), E_FAIL);
  EXPECT_EQ(c, 0x00123456u);

  SetThemesEnabledForTesting(false);
  EXPECT_EQ(ts->GetThemeColor(ts->GetElementDetails(teEditRoot), TMT_BORDERCOLOR, c), E_FAIL);
  EXPECT_EQ(c, 0x00123456u);
  EXPECT_EQ(ts->Theme(teEdit), 0u);
  EXPECT_EQ(OpenThemeData(0, u"EDIT"), 0u);
  COLORREF raw = 7;
  EXPECT_NE(GetThemeColor(0, 0, 0, TMT_BORDERCOLOR, &raw), S_OK);
  EXPECT_EQ(raw, 7u);
}

TEST_F(ThemeTest, OpenThemeDataFindsTheFirstKnownClass) {
  EXPECT_EQ(OpenThemeData(0, u"edit"), ts->Theme(teEdit));
  EXPECT_EQ(OpenThemeData(0, u"Unknown;Spin"), ts->Theme(teSpin));
  EXPECT_EQ(OpenThemeData(0, u"ExplorerBar"), ts->Theme(teExplorerBar));
  EXPECT_EQ(OpenThemeData(0, u"EDITX"), 0u);
  EXPECT_NE(ts->Theme(teSpin), ts->Theme(teComboBox));
  EXPECT_EQ(CloseThemeData(ts->Theme(teSpin)), S_OK);
}

TEST_F(ThemeTest, ArrowColourIsWhereTheLibrarySamplesIt) {
  const TThemedComboBox combo[] = {tcDropDownButtonNormal, tcDropDownButtonHot,
                                   tcDropDownButtonPressed, tcDropDownButtonDisabled};
  for (TThemedComboBox state : combo) {
    Surface s(17, 21);
    auto d = ts->GetElementDetails(state);
    ts->DrawElement(s.dc(), d, RECT{0, 0, 16, 20});
    COLORREF glyph = Prop(d, TMT_GLYPHCOLOR);
    EXPECT_EQ(s.At(8, 10), glyph) << "state " << d.State << "\n" << s.Grid();
    EXPECT_NE(s.At(2, 2), glyph);
  }
  // The normal arrow must not read as the window colour, or the library falls back to grey.
  EXPECT_TRUE(Dark(Prop(ts->GetElementDetails(tcDropDownButtonNormal), TMT_GLYPHCOLOR)));

  const TThemedSpin spin[] = {tsDownNormal, tsDownHot, tsDownPressed, tsDownDisabled};
  for (TThemedSpin state : spin) {
    Surface s(13, 10);
    auto d = ts->GetElementDetails(state);
    ts->DrawElement(s.dc(), d, RECT{0, 0, 13, 10});
    EXPECT_EQ(s.At(6, 4), Prop(d, TMT_GLYPHCOLOR)) << "state " << d.State << "\n" << s.Grid();
  }
}

TEST_F(ThemeTest, SpinArrowsPointTheWayTheirButtonsStepFromTheOutside) {
  COLORREF glyph = Prop(ts->GetElementDetails(tsUpNormal), TMT_GLYPHCOLOR);
  struct Case {
    TThemedSpin part;
    bool rows;         // the profile runs along rows (vertical arrows) or columns
    bool narrowsDown;  // the count falls as the index grows
  } cases[] = {
      {tsUpNormal, true, false},         // tip at the top
      {tsDownNormal, true, true},        // tip at the bottom
      {tsUpHorzNormal, false, true},     // right-hand button: tip at the right
      {tsDownHorzNormal, false, false},  // left-hand button: tip at the left
  };
  for (const Case& c : cases) {
    Surface s(17, 17);
    ts->DrawElement(s.dc(), ts->GetElementDetails(c.part), RECT{0, 0, 17, 17});
    std::vector<int> counts = s.Profile(glyph, c.rows);
    std::vector<int> lit;
    for (int n : counts)
      if (n) lit.push_back(n);
    ASSERT_GE(lit.size(), 2u) << s.Grid();
    EXPECT_EQ(c.narrowsDown ? lit.back() : lit.front(), 1) << s.Grid();
    EXPECT_GT(c.narrowsDown ? lit.front() : lit.back(), 1) << s.Grid();
  }
}

TEST_F(ThemeTest, ElementsPaintExactlyTheirRectangle) {
  const TThemedElementDetails parts[] = {
      ts->GetElementDetails(teEditRoot),           ts->GetElementDetails(teEditTextFocused),
      ts->GetElementDetails(tsSpinRoot),           ts->GetElementDetails(tsUpHot),
      ts->GetElementDetails(tcDropDownButtonHot),  ts->GetElementDetails(tsThumbBtnHorzNormal),
      ts->GetElementDetails(tsArrowBtnLeftNormal), ts->GetElementDetails(tebExplorerBarRoot),
      ts->GetElementDetails(tebSpecialGroupHead),  ts->GetElementDetails(tebNormalGroupBackground),
  };
  for (bool themed : {true, false}) {
    SetThemesEnabledForTesting(themed);
    for (const auto& d : parts) {
      Surface s(24, 24);
      ts->DrawElement(s.dc(), d, RECT{4, 3, 20, 21});
      int outside = 0, inside = 0;
      for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
          bool in = x >= 4 && x < 20 && y >= 3 && y < 21;
          bool untouched = s.At(x, y) == kSentinel;
          outside += !in && !untouched;
          inside += in && untouched;
        }
      EXPECT_EQ(outside, 0) << "themed " << themed << " part " << d.Part << "\n" << s.Grid();
      EXPECT_EQ(inside, 0) << "themed " << themed << " part " << d.Part << "\n" << s.Grid();
    }
  }
}

TEST_F(ThemeTest, StyledPartsHaveTheirBorderAndFill) {
  Surface s(20, 12);
  auto edit = ts->GetElementDetails(teEditTextNormal);
  ts->DrawElement(s.dc(), edit, RECT{0, 0, 20, 12});
  COLORREF border = Prop(edit, TMT_BORDERCOLOR), fill = Prop(edit, TMT_FILLCOLOR);
  EXPECT_EQ(s.At(0, 0), border);
  EXPECT_EQ(s.At(19, 11), border);
  EXPECT_EQ(s.At(10, 0), border);
  EXPECT_EQ(s.At(1, 1), fill);
  EXPECT_EQ(s.At(10, 6), fill);
  EXPECT_EQ(s.CountOf(border), 2 * 20 + 2 * 10);

  // The push button leaves its corners to whatever lies beneath.
  s.Clear();
  auto button = ts->GetElementDetails(tbPushButtonHot);
  ts->DrawElement(s.dc(), button, RECT{0, 0, 20, 12});
  EXPECT_TRUE(ts->HasTransparentParts(button));
  EXPECT_EQ(s.At(0, 0), kSentinel);
  EXPECT_EQ(s.At(19, 11), kSentinel);
  EXPECT_EQ(s.At(1, 0), Prop(button, TMT_BORDERCOLOR));
  EXPECT_EQ(s.At(5, 5), Prop(button, TMT_FILLCOLOR));

  // A group box is a frame only.
  s.Clear();
  ts->DrawElement(s.dc(), ts->GetElementDetails(tbGroupBoxNormal), RECT{0, 0, 20, 12});
  EXPECT_EQ(s.At(5, 5), kSentinel);
  EXPECT_NE(s.At(0, 5), kSentinel);

  // The bar background runs from its first gradient colour at the top downwards.
  Surface bar(4, 40);
  auto root = ts->GetElementDetails(tebExplorerBarRoot);
  ts->DrawElement(bar.dc(), root, RECT{0, 0, 4, 40});
  EXPECT_EQ(bar.At(1, 0), Prop(root, TMT_GRADIENTCOLOR1));
  EXPECT_NE(bar.At(1, 39), bar.At(1, 0));
  EXPECT_GE(Luma(bar.At(1, 0)), Luma(bar.At(1, 20)));
  EXPECT_GE(Luma(bar.At(1, 20)), Luma(bar.At(1, 39)));
}

TEST_F(ThemeTest, StatesLookDifferent) {
  auto colours = [&](TThemedSpin part) {
    Surface s(13, 10);
    ts->DrawElement(s.dc(), ts->GetElementDetails(part), RECT{0, 0, 13, 10});
    return std::vector<COLORREF>{s.At(1, 1), s.At(0, 0), s.At(6, 4)};  // fill, border, arrow
  };
  auto normal = colours(tsDownNormal), hot = colours(tsDownHot), pressed = colours(tsDownPressed),
       disabled = colours(tsDownDisabled);
  EXPECT_NE(normal, hot);
  EXPECT_NE(hot, pressed);
  EXPECT_NE(normal, disabled);
  // Disabled reads as faded: its arrow is lighter than the normal one.
  EXPECT_GT(Luma(disabled[2]), Luma(normal[2]));
}

TEST_F(ThemeTest, ClipLimitsDrawing) {
  Surface s(20, 10);
  RECT clip{0, 0, 8, 10};
  ts->DrawElement(s.dc(), ts->GetElementDetails(tsThumbBtnVertNormal), RECT{0, 0, 20, 10}, &clip);
  EXPECT_NE(s.At(7, 5), kSentinel);
  EXPECT_EQ(s.At(8, 5), kSentinel);
  EXPECT_EQ(s.At(19, 0), kSentinel);
  // The DC's own clipping is back as it was.
  RECT box;
  GetClipBox(s.dc(), &box);
  EXPECT_EQ(box, (RECT{0, 0, 20, 10}));
}

TEST_F(ThemeTest, ClassicLookUsesTheSystemColours) {
  SetThemesEnabledForTesting(false);
  Surface s(20, 14);
  ts->DrawElement(s.dc(), ts->GetElementDetails(teEditTextNormal), RECT{0, 0, 20, 14});
  EXPECT_EQ(s.At(0, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(s.At(19, 13), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(s.At(1, 1), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(s.At(10, 7), GetSysColor(COLOR_WINDOW));

  s.Clear();
  ts->DrawElement(s.dc(), ts->GetElementDetails(tbPushButtonNormal), RECT{0, 0, 20, 14});
  EXPECT_EQ(s.At(0, 0), GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(s.At(19, 13), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(s.At(1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(s.At(10, 7), GetSysColor(COLOR_BTNFACE));

  // A new scheme shows at the next drawing.
  int index = COLOR_BTNFACE;
  COLORREF teal = RGB(0, 0x80, 0x80);
  SetSysColors(1, &index, &teal);
  s.Clear();
  ts->DrawElement(s.dc(), ts->GetElementDetails(tbPushButtonNormal), RECT{0, 0, 20, 14});
  EXPECT_EQ(s.At(10, 7), teal);

  // Classic arrows (inside the two-pixel edge) are button text, greyed when disabled.
  Surface a(13, 10);
  RECT face{2, 2, 11, 8};
  ts->DrawElement(a.dc(), ts->GetElementDetails(tsDownNormal), RECT{0, 0, 13, 10});
  EXPECT_GT(a.CountIn(GetSysColor(COLOR_BTNTEXT), face), 0) << a.Grid();
  a.Clear();
  ts->DrawElement(a.dc(), ts->GetElementDetails(tsDownDisabled), RECT{0, 0, 13, 10});
  EXPECT_EQ(a.CountIn(GetSysColor(COLOR_BTNTEXT), face), 0) << a.Grid();
  EXPECT_GT(a.CountIn(GetSysColor(COLOR_GRAYTEXT), face), 0) << a.Grid();
}

TEST_F(ThemeTest, BothLooksDifferVisiblyForEveryPart) {
  const TThemedElementDetails parts[] = {
      ts->GetElementDetails(teEditTextNormal),  ts->GetElementDetails(tbPushButtonNormal),
      ts->GetElementDetails(tsUpNormal),        ts->GetElementDetails(tcDropDownButtonNormal),
      ts->GetElementDetails(tsThumbBtnHorzHot), ts->GetElementDetails(tebSpecialGroupHead),
  };
  for (const auto& d : parts) {
    Surface styled(18, 14), classic(18, 14);
    SetThemesEnabledForTesting(true);
    ts->DrawElement(styled.dc(), d, RECT{0, 0, 18, 14});
    SetThemesEnabledForTesting(false);
    ts->DrawElement(classic.dc(), d, RECT{0, 0, 18, 14});
    int differing = 0;
    for (int y = 0; y < 14; ++y)
      for (int x = 0; x < 18; ++x) differing += styled.At(x, y) != classic.At(x, y);
    EXPECT_GT(differing, 18) << "part " << d.Part << "\n" << styled.Grid() << classic.Grid();
  }
}

TEST_F(ThemeTest, SwitchReportsChangesOnce) {
  int changes = 0;
  ts->OnThemeChange = [&] { ++changes; };
  SetThemesEnabledForTesting(false);
  SetThemesEnabledForTesting(false);
  EXPECT_FALSE(ts->ThemesEnabled());
  EXPECT_FALSE(IsThemeActive());
  SetThemesEnabledForTesting(true);
  EXPECT_TRUE(ts->ThemesEnabled());
  EXPECT_EQ(changes, 2);

  {
    ScopedEnv classic("KORV_CLASSIC_LOOK", "1");
    ts->UpdateThemes();
    EXPECT_FALSE(ts->ThemesEnabled());
  }
  {
    ScopedEnv classic("KORV_CLASSIC_LOOK", "0");
    ts->UpdateThemes();
    EXPECT_TRUE(ts->ThemesEnabled());
  }
}

TEST_F(ThemeTest, BackgroundCallRefusesUnknownParts) {
  Surface s(8, 8);
  RECT r{0, 0, 8, 8};
  EXPECT_EQ(DrawThemeBackground(ts->Theme(teSpin), s.dc(), 7, 1, &r, nullptr), E_FAIL);
  EXPECT_EQ(DrawThemeBackground(0, s.dc(), SPNP_UP, 1, &r, nullptr), E_INVALIDARG);
  EXPECT_EQ(s.CountOf(kSentinel), 64);
  EXPECT_EQ(DrawThemeBackground(ts->Theme(teSpin), s.dc(), SPNP_UP, UPS_NORMAL, &r, nullptr), S_OK);
  EXPECT_EQ(s.CountOf(kSentinel), 0);
}

}  // namespace
