#include <gtest/gtest.h>

#include <memory>

#include "ClassLibTestSupport.h"
#include "Forms.h"
#include "Registry.h"
#include "RzPanel.h"
#include "Streaming.h"
#include "TestSupport.h"
#include "Themes.h"
#include "TypInfo.h"
#include "UserDriver.h"

// A colour no painter uses.
constexpr TColor kBackground = 0x00FF00FF;

namespace {

struct TestPanel : TRzCustomPanel {
  using TRzCustomPanel::Paint;
  using TRzCustomPanel::TRzCustomPanel;
  void Draw(CanvasPicture& pic) {
    Canvas()->SetHandle(pic.Canvas()->Handle());
    Paint();
    Canvas()->SetHandle(0);
  }
};

class RzPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClassLibrary();
    SetThemesEnabledForTesting(false);
  }
  void TearDown() override {
    SetThemesEnabledForTesting(true);
    ResetApplicationForTesting();
    UserResetForTesting();
  }
  DistinctSystemColors colors_;
  Legend legend_ = With(SystemLegend(kBackground), {{'r', clRed}, {'b', clBlue}});
};

TEST_F(RzPanelTest, ChildrenAlignInsideTheDefaultRaisedBorder) {
  TestPanel panel(nullptr);
  panel.SetBounds(0, 0, 60, 40);
  auto* child = new TestPanel(&panel);
  child->SetParent(&panel);
  child->SetAlign(alClient);
  EXPECT_RECT(child->BoundsRect(), 2, 2, 58, 38);

  // The band takes room too; a side left out takes none.
  panel.SetBorderWidth(3);
  panel.SetBorderSides({sdLeft, sdTop});
  EXPECT_RECT(child->BoundsRect(), 5, 5, 57, 37);
}

TEST_F(RzPanelTest, EachStyleTakesTheRoomItPaints) {
  const TFrameStyleEx styles[] = {fsNone,   fsFlat,     fsGroove, fsBump,  fsLowered, fsButtonDown,
                                  fsRaised, fsButtonUp, fsStatus, fsPopup, fsFlatBold};
  const int widths[] = {0, 1, 2, 2, 2, 2, 2, 2, 3, 3, 2};
  for (int i = 0; i < int(std::size(styles)); ++i) {
    for (TSides sides : {sdAllSides, TSides{sdTop, sdRight}}) {
      TestPanel panel(nullptr);
      panel.SetBounds(0, 0, 12, 10);
      panel.SetBevelWidth(3);
      panel.SetColor(clWindow);
      panel.SetFlatColor(clRed);
      panel.SetBorderOuter(styles[i]);
      panel.SetBorderSides(sides);
      TRect room = Rect(0, 0, 12, 10);
      panel.AdjustRectForBorders(room, true);
      const int w = widths[i];
      EXPECT_RECT(room, sides.Contains(sdLeft) ? w : 0, w, 12 - w,
                  sides.Contains(sdBottom) ? 10 - w : 10)
          << "style " << int(styles[i]);
      CanvasPicture pic(12, 10, kBackground);
      panel.Draw(pic);
      EXPECT_EQ(RectText(pic.Find(clWindow)), RectText(room)) << "style " << int(styles[i]);
    }
  }
}

TEST_F(RzPanelTest, FlatBordersTakeTheAdjustedFlatColour) {
  TestPanel panel(nullptr);
  panel.SetBounds(0, 0, 5, 4);
  panel.SetColor(clBlue);
  panel.SetFlatColor(clRed);
  panel.SetBorderOuter(fsFlat);
  panel.SetFlatColorAdjustment(0);
  CanvasPicture pic(5, 4, kBackground);
  panel.Draw(pic);
  EXPECT_TRUE(LooksLike(pic, legend_, {"rrrrr", "rbbbr", "rbbbr", "rrrrr"}));

  // The constructor's adjustment lightens the line.
  TestPanel lighter(nullptr);
  lighter.SetBounds(0, 0, 5, 4);
  lighter.SetFlatColor(clRed);
  lighter.SetBorderOuter(fsFlat);
  CanvasPicture pic2(5, 4, kBackground);
  lighter.Draw(pic2);
  EXPECT_EQ(pic2.At(0, 0), ShiftColorLightness(clRed, 30));
  EXPECT_NE(pic2.At(0, 0), ColorToRGB(clRed));
}

TEST_F(RzPanelTest, RoundedBorderFillsUnderItsCutCorners) {
  TestPanel panel(nullptr);
  panel.SetBounds(0, 0, 7, 6);
  panel.SetColor(clBlue);
  panel.SetFlatColor(clRed);
  panel.SetFlatColorAdjustment(0);
  panel.SetBorderOuter(fsFlatRounded);
  CanvasPicture pic(7, 6, kBackground);
  panel.Draw(pic);
  // The outline cuts its corners (the parent's colour shows there); the fill reaches under
  // it and its own corner pixels take the outline colour.
  EXPECT_TRUE(
      LooksLike(pic, legend_, {"ffrrrff", "frbbbrf", "rbbbbbr", "rbbbbbr", "frbbbrf", "ffrrrff"}));
  TRect room = Rect(0, 0, 7, 6);
  panel.AdjustRectForBorders(room, true);
  EXPECT_RECT(room, 2, 2, 5, 4);
}

TEST_F(RzPanelTest, GridLinesAndDotsFallOnTheSpacing) {
  TestPanel panel(nullptr);
  panel.SetBounds(0, 0, 18, 11);
  panel.SetBorderOuter(fsFlat);
  panel.SetFlatColor(clBlue);
  panel.SetFlatColorAdjustment(0);
  panel.SetColor(clWindow);
  panel.SetGridColor(clRed);
  panel.SetGridSize(8, 4);
  panel.SetShowGrid(true);
  panel.SetGridStyle(gsSolidLines);
  CanvasPicture solid(18, 11, kBackground);
  panel.Draw(solid);
  // Inner width 16: vertical lines at inner x 7 and 15; inner height 9: rows 3 and 7.
  EXPECT_TRUE(LooksLike(
      solid, legend_,
      {"bbbbbbbbbbbbbbbbbb", "bwwwwwwwrwwwwwwwrb", "bwwwwwwwrwwwwwwwrb", "bwwwwwwwrwwwwwwwrb",
       "brrrrrrrrrrrrrrrrb", "bwwwwwwwrwwwwwwwrb", "bwwwwwwwrwwwwwwwrb", "bwwwwwwwrwwwwwwwrb",
       "brrrrrrrrrrrrrrrrb", "bwwwwwwwrwwwwwwwrb", "bbbbbbbbbbbbbbbbbb"}));

  panel.SetGridStyle(gsDots);
  CanvasPicture dots(18, 11, kBackground);
  panel.Draw(dots);
  EXPECT_EQ(dots.Find(clRed).left, 8);
  EXPECT_EQ(dots.Rows(legend_)[4], "bwwwwwwwrwwwwwwwrb");
  EXPECT_EQ(dots.Rows(legend_)[3], "bwwwwwwwwwwwwwwwwb");

  panel.SetGridStyle(gsDottedLines);
  CanvasPicture dotted(18, 11, kBackground);
  panel.Draw(dotted);
  EXPECT_EQ(dotted.Rows(legend_)[4], "bwrwrwrwrwrwrwrwrb");
  EXPECT_EQ(dotted.Rows(legend_)[1], "bwwwwwwwwwwwwwwwwb");
  EXPECT_EQ(dotted.Rows(legend_)[2], "bwwwwwwwrwwwwwwwrb");

  // No spacing, no lines, and no division by zero either.
  panel.SetGridSize(0, 0);
  CanvasPicture none(18, 11, kBackground);
  panel.Draw(none);
  EXPECT_EQ(none.Find(clRed).right, 0);
}

TEST_F(RzPanelTest, GradientFillRunsFromStartToStop) {
  TestPanel panel(nullptr);
  panel.SetBounds(0, 0, 40, 10);
  panel.SetBorderOuter(fsNone);
  panel.SetVisualStyle(vsGradient);
  panel.SetGradientColorStyle(gcsCustom);
  panel.SetGradientColorStart(clRed);
  panel.SetGradientColorStop(clBlue);
  CanvasPicture pic(40, 10, kBackground);
  panel.Draw(pic);
  // Bands across: the top row in the start colour, the bottom one near the stop colour.
  for (int x : {0, 20, 39}) {
    EXPECT_EQ(pic.At(x, 0), ColorToRGB(clRed));
    EXPECT_EQ(pic.At(x, 9), pic.At(0, 9));
  }
  EXPECT_GT(GetBValue(pic.At(0, 9)), 200);
  EXPECT_LT(GetRValue(pic.At(0, 9)), 56);

  panel.SetGradientDirection(gdVerticalEnd);
  CanvasPicture vertical(40, 10, kBackground);
  panel.Draw(vertical);
  for (int y : {0, 5, 9}) {
    EXPECT_EQ(vertical.At(0, y), ColorToRGB(clRed));
    EXPECT_EQ(vertical.At(39, y), vertical.At(39, 0));
  }
  EXPECT_GT(GetBValue(vertical.At(39, 0)), 200);
  EXPECT_LT(GetRValue(vertical.At(39, 0)), 16);
}

TEST_F(RzPanelTest, CaptionIsPlacedByAlignmentAndGreyedWhenDisabled) {
  TestPanel panel(nullptr);
  panel.SetBounds(0, 0, 80, 40);
  panel.SetBorderOuter(fsNone);
  panel.SetColor(clWindow);
  panel.Font()->SetColor(clBlack);
  panel.SetCaption(u"Ab");
  auto ink = [&] {
    CanvasPicture pic(80, 40, kBackground);
    panel.Draw(pic);
    return pic.InkBox(clWindow);
  };
  const TRect centred = ink();
  EXPECT_NEAR((centred.left + centred.right) / 2, 40, 2);
  EXPECT_NEAR((centred.top + centred.bottom) / 2, 20, 3);

  panel.SetAlignment(taLeftJustify);
  panel.SetAlignmentVertical(avTop);
  const TRect topLeft = ink();
  EXPECT_LE(topLeft.left, 2);
  EXPECT_LE(topLeft.top, 4);
  panel.SetTextMargin(10);
  panel.SetTextMarginVertical(6);
  EXPECT_EQ(ink().left, topLeft.left + 10);
  EXPECT_EQ(ink().top, topLeft.top + 6);

  panel.SetAlignment(taRightJustify);
  panel.SetAlignmentVertical(avBottom);
  const TRect bottomRight = ink();
  EXPECT_GE(bottomRight.right, 80 - 12);
  EXPECT_GE(bottomRight.bottom, 40 - 10);

  // Disabled: the caption's darkest ink is the grey text colour, no longer black.
  auto darkest = [&] {
    CanvasPicture pic(80, 40, kBackground);
    panel.Draw(pic);
    int least = 765;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 80; ++x) {
        const TColor c = pic.At(x, y);
        least = std::min(least, GetRValue(c) + GetGValue(c) + GetBValue(c));
      }
    return least;
  };
  EXPECT_LT(darkest(), 100);
  panel.SetEnabled(false);
  const TColor grey = ColorToRGB(clGrayText);
  EXPECT_NEAR(darkest(), GetRValue(grey) + GetGValue(grey) + GetBValue(grey), 30);
}

TEST_F(RzPanelTest, WordWrapBreaksALongCaptionOverLines) {
  TestPanel panel(nullptr);
  panel.SetBounds(0, 0, 60, 80);
  panel.SetBorderOuter(fsNone);
  panel.SetColor(clWindow);
  panel.SetCaption(u"one two three four");
  auto inkHeight = [&] {
    CanvasPicture pic(60, 80, kBackground);
    panel.Draw(pic);
    return RectHeight(pic.InkBox(clWindow));
  };
  const int wrapped = inkHeight();
  panel.SetWordWrap(false);
  const int single = inkHeight();
  EXPECT_GT(wrapped, 2 * single);
}

TEST_F(RzPanelTest, TransparentPanelLeavesItsBackgroundAlone) {
  TestPanel panel(nullptr);
  panel.SetBounds(0, 0, 6, 5);
  panel.SetColor(clBlue);
  panel.SetBorderOuter(fsNone);
  EXPECT_TRUE(panel.ControlStyle().Contains(csOpaque));
  panel.SetTransparent(true);
  EXPECT_FALSE(panel.ControlStyle().Contains(csOpaque));
  CanvasPicture pic(6, 5, kBackground);
  panel.Draw(pic);
  EXPECT_EQ(pic.Find(clBlue).right, 0);

  // Erasing copies the parent's background and answers "erased"; without client painting the
  // base erase runs and answers as it does.
  TForm* form = CreateBareForm<TForm>(Application);
  form->SetColor(clRed);
  panel.SetParent(form);
  CanvasPicture erased(6, 5, kBackground);
  EXPECT_EQ(panel.Perform(WM_ERASEBKGND, WPARAM(erased.Canvas()->Handle()), 0), 1);
  EXPECT_EQ(erased.At(3, 2), ColorToRGB(clRed));
  panel.SetPaintClientArea(false);
  CanvasPicture base(6, 5, kBackground);
  panel.Perform(WM_ERASEBKGND, WPARAM(base.Canvas()->Handle()), 0);
  EXPECT_NE(base.At(3, 2), ColorToRGB(clRed));
  panel.SetParent(nullptr);
}

TEST_F(RzPanelTest, DisablingSavesChildStatesAndEnablingRestoresThem) {
  TestPanel panel(nullptr);
  auto* a = new TestPanel(&panel);
  auto* b = new TestPanel(&panel);
  auto* c = new TestPanel(&panel);
  for (TControl* x : {a, b, c}) x->SetParent(&panel);
  b->SetEnabled(false);
  panel.SetEnabled(false);
  EXPECT_FALSE(a->Enabled());
  EXPECT_FALSE(c->Enabled());
  ASSERT_EQ(panel.EnabledList()->Count(), 3);
  EXPECT_EQ(panel.EnabledList()->Strings(1), u"0");
  EXPECT_EQ(panel.EnabledList()->Objects(1), b);

  auto* late = new TestPanel(&panel);  // added while the panel was disabled
  late->SetEnabled(false);
  late->SetParent(&panel);
  panel.SetEnabled(true);
  EXPECT_TRUE(a->Enabled());
  EXPECT_FALSE(b->Enabled());
  EXPECT_TRUE(c->Enabled());
  EXPECT_TRUE(late->Enabled());
  EXPECT_EQ(panel.EnabledList()->Count(), 3);  // kept until the next disabling
}

TEST_F(RzPanelTest, BottomAndRightAlignedPanelsKeepTheirFarEdge) {
  TestPanel parent(nullptr);
  parent.SetBounds(0, 0, 200, 100);
  auto* bottom = new TestPanel(&parent);
  bottom->SetParent(&parent);
  bottom->SetAlign(alBottom);
  const int edge = bottom->Top() + bottom->Height();
  bottom->SetHeight(30);
  EXPECT_EQ(bottom->Top() + bottom->Height(), edge);
  EXPECT_EQ(bottom->Height(), 30);
  auto* right = new TestPanel(&parent);
  right->SetParent(&parent);
  right->SetAlign(alRight);
  const int rightEdge = right->Left() + right->Width();
  right->SetWidth(50);
  EXPECT_EQ(right->Left() + right->Width(), rightEdge);
}

class TStoredPanelForm : public TForm {
 public:
  using TForm::TForm;
  String ClassName() const override { return u"TStoredPanelForm"; }
};

TComponent* NewTestPanel(TComponent* owner) { return new TestPanel(owner); }

TEST_F(RzPanelTest, StoredAdjustmentOfZeroReloadsAsZero) {
  RegisterClass(u"TRzCustomPanel", NewTestPanel);
  auto roundTrip = [](int adjustment) {
    TestPanel panel(nullptr);
    panel.SetName(u"Panel1");
    panel.SetFlatColorAdjustment(adjustment);
    const String text = WriteComponentText(&panel);
    TestPanel back(nullptr);
    ReadComponentText(text, u"panel.form", &back);
    return std::make_pair(text, back.FlatColorAdjustment());
  };
  const auto [zeroText, zero] = roundTrip(0);
  EXPECT_EQ(zero, 0) << ToUtf8(zeroText);
  EXPECT_NE(zeroText.find(u"FlatColorAdjustment = 0"), String::npos);
  EXPECT_EQ(roundTrip(30).second, 30);
  EXPECT_EQ(roundTrip(-12).second, -12);
  // Never news: the unused base bevel.
  EXPECT_EQ(zeroText.find(u"BevelOuter"), String::npos);
}

TEST_F(RzPanelTest, ObsoleteStoredNamesAreReadAndNeverWritten) {
  TestPanel panel(nullptr);
  ReadComponentText(
      u"object Panel1: TRzCustomPanel\n"
      u"  FrameSides = [sdLeft, sdTop]\n"
      u"  ThemeAware = False\n"
      u"  UseGradients = True\n"
      u"  BorderOuter = fsFlatBold\n"
      u"end\n",
      u"panel.form", &panel);
  EXPECT_EQ(panel.VisualStyle(), vsGradient);
  EXPECT_EQ(panel.BorderOuter(), fsFlatBold);
  const String text = WriteComponentText(&panel);
  EXPECT_EQ(text.find(u"UseGradients"), String::npos);
  EXPECT_EQ(text.find(u"FrameSides"), String::npos);
  EXPECT_EQ(text.find(u"ThemeAware"), String::npos);

  TestPanel plain(nullptr);
  ReadComponentText(u"object Panel1: TRzCustomPanel\n  UseGradients = False\nend\n", u"panel.form",
                    &plain);
  EXPECT_EQ(plain.VisualStyle(), vsWinXP);
}

TEST_F(RzPanelTest, FrameControllerPushesItsFrameToThePanel) {
  TRzFrameController controller(nullptr);
  TestPanel panel(nullptr);
  panel.SetFrameController(&controller);
  EXPECT_EQ(controller.ControlCount(), 1);
  panel.SetFrameController(&controller);  // again: unregistered and registered afresh
  EXPECT_EQ(controller.ControlCount(), 1);

  // Nothing is taken over while the controller's frame is not visible.
  controller.SetFrameStyle(fsFlatBold);
  EXPECT_EQ(panel.BorderOuter(), fsRaised);

  controller.SetFrameVisible(true);
  controller.SetFrameColor(clRed);
  controller.SetFrameSides({sdTop, sdBottom});
  controller.SetColor(0x00408060);
  EXPECT_EQ(panel.BorderOuter(), fsFlatBold);
  EXPECT_EQ(panel.BorderSides(), (TSides{sdTop, sdBottom}));
  EXPECT_EQ(panel.FlatColor(), clRed);
  EXPECT_EQ(panel.FlatColorAdjustment(), 0);
  EXPECT_EQ(panel.Color(), TColor(0x00408060));
  EXPECT_EQ(panel.BorderHighlight(), LightenColor(0x00408060, 100));
  EXPECT_EQ(panel.BorderShadow(), DarkenColor(0x00408060, 50));

  // Unchosen notifications are left alone.
  panel.SetFrameControllerNotifications(TRzFrameControllerNotifications{fcpFrameColor});
  controller.SetFrameStyle(fsFlat);
  controller.SetFrameColor(clBlue);
  EXPECT_EQ(panel.BorderOuter(), fsFlatBold);
  EXPECT_EQ(panel.FlatColor(), clBlue);

  panel.SetFrameController(nullptr);
  EXPECT_EQ(controller.ControlCount(), 0);
}

TEST_F(RzPanelTest, ControllerGoneClearsThePanelsReference) {
  TestPanel panel(nullptr);
  {
    TRzFrameController controller(nullptr);
    panel.SetFrameController(&controller);
  }
  EXPECT_EQ(panel.FrameController(), nullptr);
  // And a panel that goes first unregisters itself.
  TRzFrameController controller(nullptr);
  {
    TestPanel shortLived(nullptr);
    shortLived.SetFrameController(&controller);
    EXPECT_EQ(controller.ControlCount(), 1);
  }
  EXPECT_EQ(controller.ControlCount(), 0);
}

TEST_F(RzPanelTest, ThemeChangeRereadsTheColourScheme) {
  SandboxedHome home;
  TForm* form = CreateBareForm<TForm>(Application);
  auto* panel = new TestPanel(form);
  panel->SetParent(form);
  form->Show();
  ASSERT_TRUE(panel->HandleAllocated());
  XpColorScheme = xcsBlue;
  TRegIniFile(u"\\Software\\Microsoft\\Windows\\CurrentVersion")
      .WriteString(u"ThemeManager", u"ColorName", u"Metallic");
  SetThemesEnabledForTesting(true);
  EXPECT_EQ(XpColorScheme, xcsSilver);
  XpColorScheme = xcsBlue;
}

}  // namespace

namespace {

class RzPanelDockTest : public RzPanelTest {
 protected:
  // A dock site of 100 x 60 without borders, so zones start at its corner.
  TestPanel* NewSite(TAlign align) {
    site_ = std::make_unique<TestPanel>(nullptr);
    site_->SetBorderOuter(fsNone);
    site_->SetBounds(0, 0, 100, 60);
    site_->SetAlign(align);
    site_->SetDockSite(true);
    return site_.get();
  }
  TRzPanelDockManager* Manager() {
    return dynamic_cast<TRzPanelDockManager*>(site_->DockManager());
  }
  std::unique_ptr<TestPanel> site_;
};

TEST_F(RzPanelDockTest, TheSiteMakesItsOwnManager) {
  TestPanel* site = NewSite(alNone);
  ASSERT_NE(Manager(), nullptr);
  EXPECT_EQ(Manager()->Panel(), site);
  EXPECT_EQ(Manager()->GrabberSize(), 14);
  EXPECT_EQ(Manager()->Font()->Name(), u"Verdana");
  EXPECT_EQ(Manager()->CloseFont()->Name(), u"Marlett");
  EXPECT_TRUE(site->DoubleBuffered());
  // Only a framed panel can be the site.
  TPanel plain(nullptr);
  EXPECT_THROW(TRzPanelDockManager{&plain}, EInvalidCast);
}

TEST_F(RzPanelDockTest, HorizontalBarAcrossTheTopOfAWindowedClient) {
  TestPanel* site = NewSite(alClient);
  auto* client = new TestPanel(site);
  client->SetCaption(u"Doc");
  site->DockDrop(client, alNone, nullptr);
  EXPECT_RECT(client->BoundsRect(), 0, 14, 100, 60);

  CanvasPicture pic(100, 60, kBackground);
  site->DockManager()->PaintSite(pic.Canvas()->Handle());
  // Without the focus: the inactive caption colours; the close glyph's cell at the right.
  const TColor bar = ColorToRGB(clInactiveCaption);
  EXPECT_EQ(pic.At(60, 0), bar);
  EXPECT_EQ(pic.At(60, 13), bar);
  EXPECT_EQ(pic.At(60, 14), ColorToRGB(kBackground));
  EXPECT_EQ(pic.At(97, 1), bar);
  // The caption's ink sits at the left of the bar, the glyph's at the right.
  auto inkIn = [&](int x0, int x1) {
    int n = 0;
    for (int y = 0; y < 14; ++y)
      for (int x = x0; x < x1; ++x) n += pic.At(x, y) != bar;
    return n;
  };
  EXPECT_GT(inkIn(2, 30), 0);
  EXPECT_EQ(inkIn(30, 80), 0);
  EXPECT_GT(inkIn(85, 98), 0);
}

TEST_F(RzPanelDockTest, VerticalBarUpTheLeftForATopAlignedSite) {
  TestPanel* site = NewSite(alTop);
  auto* client = new TestPanel(site);
  client->SetCaption(u"Doc");
  site->DockDrop(client, alNone, nullptr);
  EXPECT_RECT(client->BoundsRect(), 14, 0, 100, 60);

  CanvasPicture pic(100, 60, kBackground);
  site->DockManager()->PaintSite(pic.Canvas()->Handle());
  const TColor bar = ColorToRGB(clInactiveCaption);
  EXPECT_EQ(pic.At(0, 30), bar);
  EXPECT_EQ(pic.At(13, 30), bar);
  EXPECT_EQ(pic.At(14, 30), ColorToRGB(kBackground));
  // The text reads upwards from the bottom of the bar; its ink is taller than wide.
  const TRect ink = pic.InkBox(bar, Rect(0, 14, 14, 60));
  ASSERT_LT(ink.left, ink.right);
  EXPECT_GT(RectHeight(ink), RectWidth(ink));
  EXPECT_GT(ink.bottom, 45);
  // The close glyph stands upright in its cell at the top of the bar.
  const TRect glyph = pic.InkBox(bar, Rect(1, 1, 12, 12));
  EXPECT_LT(glyph.left, glyph.right);
}

TEST_F(RzPanelDockTest, DockedClientsStayInsideTheSitesBorders) {
  TestPanel* site = NewSite(alNone);
  site->SetBorderOuter(fsLowered);
  site->SetBorderWidth(1);
  auto* client = new TestPanel(site);
  site->DockDrop(client, alNone, nullptr);
  EXPECT_RECT(client->BoundsRect(), 3, 3 + 14, 97, 57);
}

TEST_F(RzPanelDockTest, WindowlessClientsArePaintedActive) {
  TestPanel* site = NewSite(alNone);
  auto* client = new TBevel(site);
  site->DockDrop(client, alNone, nullptr);
  CanvasPicture pic(100, 60, kBackground);
  site->DockManager()->PaintSite(pic.Canvas()->Handle());
  EXPECT_EQ(pic.At(50, 5), ColorToRGB(clActiveCaption));

  // Without caption bars the standard grabber is painted, in the same room.
  site->SetShowDockClientCaptions(false);
  CanvasPicture plain(100, 60, kBackground);
  site->DockManager()->PaintSite(plain.Canvas()->Handle());
  EXPECT_EQ(plain.At(50, 0), ColorToRGB(clBtnFace));
  EXPECT_EQ(client->Top(), 14);
}

TEST_F(RzPanelDockTest, CommandsRepaintTheSiteThroughTheHookedProcedure) {
  TestPanel* site = NewSite(alNone);
  std::vector<UINT> seen;
  TWndMethod below = site->WindowProc;
  site->WindowProc = [&seen, below](TMessage& m) {
    seen.push_back(m.Msg);
    below(m);
  };
  site->Perform(WM_COMMAND);
  site->Perform(WM_MOUSEACTIVATE);
  site->Perform(WM_SETFOCUS);
  EXPECT_EQ(seen, (std::vector<UINT>{WM_COMMAND, CM_INVALIDATE, WM_MOUSEACTIVATE, CM_INVALIDATE,
                                     WM_SETFOCUS}));
  EXPECT_FALSE(Manager()->Hooked());  // another hook sits on top now
}

TEST_F(RzPanelDockTest, ReleasingTheManagerRestoresOnlyItsOwnProcedure) {
  // Alone on the site: the procedure before it comes back.
  TestPanel* site = NewSite(alNone);
  EXPECT_TRUE(Manager()->Hooked());
  site->SetDockSite(false);
  EXPECT_EQ(site->DockManager(), nullptr);
  std::vector<UINT> seen;
  TWndMethod mine = site->WindowProc;
  site->WindowProc = [&seen, mine](TMessage& m) {
    seen.push_back(m.Msg);
    mine(m);
  };
  site->Perform(WM_COMMAND);
  EXPECT_EQ(seen, (std::vector<UINT>{WM_COMMAND}));

  // With a hook chained over it later, that hook stays and still reaches the panel.
  TestPanel* again = NewSite(alNone);
  seen.clear();
  TWndMethod below = again->WindowProc;
  again->WindowProc = [&seen, below](TMessage& m) {
    seen.push_back(m.Msg);
    below(m);
  };
  again->SetDockSite(false);
  again->Perform(WM_COMMAND);
  EXPECT_EQ(seen, (std::vector<UINT>{WM_COMMAND}));  // no longer repainted by the manager
  again->SetCaption(u"still heard");
  EXPECT_EQ(again->GetText(), u"still heard");
  EXPECT_GT(seen.size(), 1u);
}

}  // namespace

namespace {

TEST_F(RzPanelTest, ResizingRepaintsOnlyTheStripsTheFarBordersLeave) {
  TForm* form = CreateBareForm<TForm>(Application);
  form->SetBounds(0, 0, 300, 200);
  auto* panel = new TestPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 100, 60);
  panel->SetFullRepaint(false);
  form->Show();
  auto resizedUpdate = [&](int w, int h) {
    UpdateWindow(form->Handle());
    UpdateWindow(panel->Handle());
    panel->SetBounds(10, 10, w, h);
    RECT r{0, 0, 0, 0};
    GetUpdateRect(panel->Handle(), &r, FALSE);
    return r;
  };
  // Wider: from the old inner right edge, one pixel in, to the new edge.
  EXPECT_RECT(resizedUpdate(120, 60), 97, 0, 120, 60);
  // Narrower: the new far border is painted where it now lies.
  EXPECT_RECT(resizedUpdate(90, 60), 87, 0, 90, 60);
  // Lower: the bottom strip.
  EXPECT_RECT(resizedUpdate(90, 40), 0, 37, 90, 40);
  // With a caption the whole panel is repainted.
  panel->SetCaption(u"Staves");
  EXPECT_RECT(resizedUpdate(100, 60), 0, 0, 100, 60);
}

}  // namespace

namespace {

TEST_F(RzPanelTest, OfficeGradientAndFrameFollowTheSchemeOnlyWithVisualStyles) {
  TestPanel panel(nullptr);
  panel.SetBounds(0, 0, 30, 20);
  panel.SetBorderOuter(fsFlat);
  panel.SetVisualStyle(vsGradient);
  panel.SetGradientColorStyle(gcsMSOffice);
  panel.SetFlatColor(clRed);  // not used: a gradient panel takes the scheme's frame colour
  auto paint = [&] {
    auto pic = std::make_unique<CanvasPicture>(30, 20, kBackground);
    panel.Draw(*pic);
    return pic;
  };
  XpColorScheme = xcsOlive;
  SetThemesEnabledForTesting(true);
  auto themed = paint();
  EXPECT_EQ(themed->At(0, 0), ColorToRGB(XpSchemeColors[xcsOlive].FrameColor));
  EXPECT_EQ(themed->At(5, 1), ColorToRGB(XpSchemeColors[xcsOlive].GradientStart));
  SetThemesEnabledForTesting(false);
  auto classic = paint();
  EXPECT_EQ(classic->At(0, 0), ColorToRGB(LightenColor(clBtnShadow, 30)));
  EXPECT_EQ(classic->At(5, 1), ColorToRGB(clWindow));
  // A custom gradient keeps the panel's own flat colour in either look.
  panel.SetGradientColorStyle(gcsCustom);
  panel.SetFlatColorAdjustment(0);
  EXPECT_EQ(paint()->At(0, 0), ColorToRGB(clRed));
  XpColorScheme = xcsBlue;
}

}  // namespace
