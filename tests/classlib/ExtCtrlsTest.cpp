#include <gtest/gtest.h>

#include <memory>

#include "ClassLibTestSupport.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Themes.h"
#include "UserDriver.h"

namespace {

struct TestPanel : TPanel {
  using TPanel::AdjustClientRect;
  using TPanel::Paint;
  using TPanel::TPanel;
};

struct TestImage : TImage {
  using TImage::Paint;
  using TImage::TImage;
  TCanvas* ControlCanvas() { return TGraphicControl::Canvas(); }
};

class ExtCtrlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClassLibrary();
    RegisterExtCtrlsClasses();
    SetThemesEnabledForTesting(false);
  }
  void TearDown() override {
    SetThemesEnabledForTesting(true);
    ResetApplicationForTesting();
    UserResetForTesting();
  }
  void Paint(TestPanel& panel, PixelCanvas& target) {
    PaintInto(panel.Canvas(), target, [&] { panel.Paint(); });
  }
  const Legend legend{{'W', clBtnHighlight}, {'S', clBtnShadow}, {'F', clBtnFace},
                      {'r', clRed},          {'b', clBlue},      {'k', clBlack}};
};

TEST_F(ExtCtrlsTest, AChildlessPanelPaintsItselfInItsWindow) {
  TForm* form = CreateBareForm<TForm>(Application);
  form->SetPosition(poDesigned);
  form->SetBounds(0, 0, 200, 150);
  form->SetColor(clRed);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 60, 40);
  form->Show();
  UpdateWindow(form->Handle());
  HDC dc = GetDC(panel->Handle());
  EXPECT_EQ(GetPixel(dc, 0, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(GetPixel(dc, 59, 39), ColorToRGB(clBtnShadow));
  EXPECT_EQ(GetPixel(dc, 5, 20), ColorToRGB(clBtnFace));
  ReleaseDC(panel->Handle(), dc);
}

TEST_F(ExtCtrlsTest, RaisedOuterBevelTakesLightTopLeftAndDarkFarEdges) {
  TestPanel panel(nullptr);
  panel.SetBounds(0, 0, 8, 5);
  PixelCanvas target(8, 5, clBlue);
  Paint(panel, target);
  EXPECT_EQ(target.Row(0, legend), "WWWWWWWS");
  EXPECT_EQ(target.Row(1, legend), "WFFFFFFS");
  EXPECT_EQ(target.Row(3, legend), "WFFFFFFS");
  EXPECT_EQ(target.Row(4, legend), "SSSSSSSS");
}

TEST_F(ExtCtrlsTest, BothBevelsWithABandBetween) {
  TestPanel panel(nullptr);
  panel.SetBounds(0, 0, 12, 12);
  panel.SetBevelInner(bvLowered);
  panel.SetBevelWidth(2);
  panel.SetBorderWidth(1);
  panel.SetColor(clRed);
  PixelCanvas target(12, 12, clBlue);
  Paint(panel, target);
  // Two raised rings, one ring of the panel's colour, two lowered rings, then the face.
  EXPECT_EQ(target.Column(0, legend), "WWWWWWWWWWWS");
  EXPECT_EQ(target.Row(2, legend), "WWrrrrrrrrSS");
  EXPECT_EQ(target.Row(3, legend), "WWrSSSSSWrSS");
  EXPECT_EQ(target.Row(4, legend), "WWrSSSSWWrSS");
  EXPECT_EQ(target.Row(5, legend), "WWrSSrrWWrSS");
  EXPECT_EQ(target.Row(7, legend), "WWrSWWWWWrSS");
  EXPECT_EQ(target.Row(8, legend), "WWrWWWWWWrSS");
  EXPECT_EQ(target.Row(9, legend), "WWrrrrrrrrSS");
}

TEST_F(ExtCtrlsTest, BevelsTakeRoomFromTheClientArea) {
  TestPanel panel(nullptr);
  panel.SetBounds(0, 0, 100, 60);
  TRect r = Rect(0, 0, 100, 60);
  panel.AdjustClientRect(r);
  EXPECT_EQ(r, Rect(1, 1, 99, 59));

  panel.SetBevelInner(bvLowered);
  panel.SetBevelWidth(2);
  panel.SetBorderWidth(3);
  r = Rect(0, 0, 100, 60);
  panel.AdjustClientRect(r);
  EXPECT_EQ(r, Rect(7, 7, 93, 53));

  // A child aligned to the client area fills what is left.
  TPanel child(nullptr);
  child.SetParent(&panel);
  child.SetAlign(alClient);
  EXPECT_EQ(child.BoundsRect(), Rect(7, 7, 93, 53));
  panel.SetBevelOuter(bvNone);
  EXPECT_EQ(child.BoundsRect(), Rect(5, 5, 95, 55));
  child.SetParent(nullptr);
}

TEST_F(ExtCtrlsTest, CaptionFollowsAlignmentAndEnabledState) {
  TestPanel panel(nullptr);
  panel.SetBounds(0, 0, 120, 40);
  panel.SetBevelOuter(bvNone);
  panel.Font()->SetColor(clBlack);
  panel.SetCaption(u"Caption");
  {
    PixelCanvas target(120, 40, clBlue);
    Paint(panel, target);
    TRect ink = target.InkBox(ColorToRGB(clBtnFace));
    ASSERT_GT(RectWidth(ink), 20);
    EXPECT_LT(target.Darkest(), 100);
    // Centred both ways (to within the glyphs' own side bearings).
    EXPECT_NEAR(ink.left, 120 - ink.right, 3);
    EXPECT_NEAR(ink.top, 40 - ink.bottom, 4);
  }
  panel.SetAlignment(taLeftJustify);
  panel.SetVerticalAlignment(taAlignTop);
  {
    PixelCanvas target(120, 40, clBlue);
    Paint(panel, target);
    TRect ink = target.InkBox(ColorToRGB(clBtnFace));
    EXPECT_LE(ink.left, 2);
    EXPECT_LE(ink.top, 4);
  }
  panel.SetEnabled(false);
  {
    PixelCanvas target(120, 40, clBlue);
    Paint(panel, target);
    // Grey text: nothing darker than the grey itself.
    EXPECT_GT(RectWidth(target.InkBox(ColorToRGB(clBtnFace))), 20);
    COLORREF grey = ColorToRGB(clGrayText);
    EXPECT_GE(target.Darkest(), GetRValue(grey) + GetGValue(grey) + GetBValue(grey));
  }
  panel.SetEnabled(true);
  panel.SetShowCaption(false);
  {
    PixelCanvas target(120, 40, clBlue);
    Paint(panel, target);
    EXPECT_EQ(target.Count(ColorToRGB(clBtnFace)), 120 * 40);
  }
}

TEST_F(ExtCtrlsTest, ThemedPanelShowsItsParentsBackground) {
  TestPanel parent(nullptr);
  parent.SetColor(clRed);
  TestPanel panel(nullptr);
  panel.SetParent(&parent);
  panel.SetBounds(0, 0, 10, 10);
  SetThemesEnabledForTesting(true);
  {
    PixelCanvas target(10, 10, clBlue);
    Paint(panel, target);
    EXPECT_EQ(target.Row(5, legend), "WrrrrrrrrS");
  }
  panel.SetParentBackground(false);
  {
    PixelCanvas target(10, 10, clBlue);
    Paint(panel, target);
    EXPECT_EQ(target.Row(5, legend), "WFFFFFFFFS");
  }
  panel.SetParentBackground(true);
  SetThemesEnabledForTesting(false);
  {
    PixelCanvas target(10, 10, clBlue);
    Paint(panel, target);
    EXPECT_EQ(target.Row(5, legend), "WFFFFFFFFS");
  }
  panel.SetParent(nullptr);
}

TEST_F(ExtCtrlsTest, PanelDockSiteLaysOutInsertedControls) {
  TestPanel panel(nullptr);
  panel.SetBounds(0, 0, 200, 100);
  EXPECT_EQ(panel.DockManager(), nullptr);
  panel.SetDockSite(true);
  ASSERT_NE(panel.DockManager(), nullptr);
  TPanel docked(nullptr);
  docked.SetBounds(0, 0, 50, 50);
  panel.DockManager()->InsertControl(&docked, alClient, nullptr);
  TRect zone{};
  panel.DockManager()->GetControlBounds(&docked, zone);
  EXPECT_GT(RectWidth(zone), 0);
  EXPECT_GT(RectHeight(zone), 0);
  // The grabber bar is reserved above the docked control of an unaligned site.
  TRect placed = docked.BoundsRect();
  EXPECT_GT(placed.top, zone.top);
  EXPECT_EQ(placed.left, zone.left);
  EXPECT_LE(placed.right, 200);
  EXPECT_LE(placed.bottom, 100);
  panel.DockManager()->RemoveControl(&docked);
  panel.SetDockSite(false);
  EXPECT_EQ(panel.DockManager(), nullptr);
}

TEST_F(ExtCtrlsTest, ResizingRepaintsOnlyTheMovedEdgesUnlessToldOtherwise) {
  std::unique_ptr<TForm> form(CreateBareForm<TForm>(nullptr));
  form->SetBounds(0, 0, 300, 200);
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(0, 0, 100, 50);
  panel->SetFullRepaint(false);
  form->Show();
  UpdateWindow(form->Handle());
  UpdateWindow(panel->Handle());
  panel->SetWidth(120);
  RECT dirty{};
  ASSERT_TRUE(GetUpdateRect(panel->Handle(), &dirty, FALSE));
  EXPECT_GE(dirty.left, 90);
  EXPECT_EQ(dirty.right, 120);

  panel->SetFullRepaint(true);
  UpdateWindow(panel->Handle());
  panel->SetWidth(130);
  ASSERT_TRUE(GetUpdateRect(panel->Handle(), &dirty, FALSE));
  EXPECT_EQ(dirty.left, 0);
}

// ---- TImage ----

TEST_F(ExtCtrlsTest, ImageCanvasMakesABitmapOfTheControlsSize) {
  TestImage image(nullptr);
  image.SetBounds(0, 0, 30, 20);
  EXPECT_EQ(image.Picture()->Graphic(), nullptr);
  image.Canvas()->Brush()->SetColor(clRed);
  image.Canvas()->FillRect(Rect(0, 0, 5, 5));
  ASSERT_NE(image.Picture()->Graphic(), nullptr);
  EXPECT_EQ(image.Picture()->Width(), 30);
  EXPECT_EQ(image.Picture()->Height(), 20);
}

TEST_F(ExtCtrlsTest, ImageResizedByCodeKeepsItsDrawing) {
  TestImage image(nullptr);
  image.SetBounds(0, 0, 20, 10);
  int changes = 0;
  image.Canvas();  // the bitmap exists before the drawing counts
  image.Picture()->OnChange = [&](TObject*) { ++changes; };
  image.Canvas()->Brush()->SetColor(clRed);
  image.Canvas()->FillRect(Rect(2, 2, 6, 6));
  EXPECT_GT(changes, 0);

  // Grown the way the preview grows its page: control first, then the bitmap.
  image.SetHeight(30);
  image.Picture()->Bitmap()->SetHeight(30);
  image.SetWidth(40);
  image.Picture()->Bitmap()->SetWidth(40);
  image.Canvas()->Brush()->SetColor(clBlue);
  image.Canvas()->FillRect(Rect(30, 20, 40, 30));

  PixelCanvas target(40, 30, clBlack);
  PaintInto(image.ControlCanvas(), target, [&] { image.Paint(); });
  EXPECT_EQ(target.Find(ColorToRGB(clRed)), Rect(2, 2, 6, 6));
  EXPECT_EQ(target.Find(ColorToRGB(clBlue)), Rect(30, 20, 40, 30));
  EXPECT_EQ(target.At(20, 5), ColorToRGB(clWhite));
  EXPECT_EQ(target.Count(ColorToRGB(clBlack)), 0);
}

TEST_F(ExtCtrlsTest, DrawingOnAShownImageAsksForAndGetsARepaint) {
  std::unique_ptr<TForm> form(CreateBareForm<TForm>(nullptr));
  form->SetBounds(0, 0, 200, 150);
  auto* image = new TImage(form.get());
  image->SetParent(form.get());
  image->SetBounds(10, 20, 50, 40);
  image->Canvas();
  form->Show();
  UpdateWindow(form->Handle());
  RECT dirty{};
  EXPECT_FALSE(GetUpdateRect(form->Handle(), &dirty, FALSE));

  image->Canvas()->Brush()->SetColor(clRed);
  image->Canvas()->FillRect(Rect(0, 0, 5, 5));
  ASSERT_TRUE(GetUpdateRect(form->Handle(), &dirty, FALSE));
  EXPECT_LE(dirty.left, 10);
  EXPECT_LE(dirty.top, 20);
  EXPECT_GE(dirty.right, 15);
  EXPECT_GE(dirty.bottom, 25);

  PixelCanvas target(200, 150, clBlue);
  form->PaintTo(target.dc(), 0, 0);
  EXPECT_EQ(target.Find(ColorToRGB(clRed)), Rect(10, 20, 15, 25));
  EXPECT_EQ(target.At(30, 30), ColorToRGB(clWhite));
}

TEST_F(ExtCtrlsTest, ImageStretchCentreAndProportion) {
  TestImage image(nullptr);
  image.SetBounds(0, 0, 100, 50);
  TBitmap picture(20, 10);
  image.Picture()->SetBitmap(&picture);
  EXPECT_EQ(image.DestRect(), Rect(0, 0, 20, 10));
  image.SetCenter(true);
  EXPECT_EQ(image.DestRect(), Rect(40, 20, 60, 30));
  image.SetStretch(true);
  EXPECT_EQ(image.DestRect(), Rect(0, 0, 100, 50));
  image.SetProportional(true);
  image.SetBounds(0, 0, 100, 80);
  EXPECT_EQ(image.DestRect(), Rect(0, 15, 100, 65));
  image.SetStretch(false);
  // Proportional alone only shrinks.
  EXPECT_EQ(image.DestRect(), Rect(40, 35, 60, 45));
}

TEST_F(ExtCtrlsTest, ImageAutoSizeTakesThePicturesSize) {
  TestImage image(nullptr);
  image.SetAutoSize(true);
  TBitmap picture(33, 17);
  image.Picture()->SetBitmap(&picture);
  EXPECT_EQ(image.Width(), 33);
  EXPECT_EQ(image.Height(), 17);
}

TEST_F(ExtCtrlsTest, TransparentImageLeavesItsKeyColourUnpainted) {
  TestImage image(nullptr);
  image.SetBounds(0, 0, 4, 4);
  image.Canvas()->Brush()->SetColor(clLime);
  image.Canvas()->FillRect(Rect(0, 0, 4, 4));
  image.Canvas()->SetPixels(1, 1, clRed);
  image.SetTransparent(true);
  PixelCanvas target(4, 4, clBlue);
  PaintInto(image.ControlCanvas(), target, [&] { image.Paint(); });
  EXPECT_EQ(target.At(1, 1), ColorToRGB(clRed));
  EXPECT_EQ(target.At(2, 2), ColorToRGB(clBlue));
}

TEST_F(ExtCtrlsTest, BevelFrameAndLines) {
  struct TestBevel : TBevel {
    using TBevel::Paint;
    using TBevel::TBevel;
  } bevel(nullptr);
  bevel.SetBounds(0, 0, 6, 4);
  PixelCanvas target(6, 4, clBlue);
  PaintInto(bevel.Canvas(), target, [&] { bevel.Paint(); });
  EXPECT_EQ(target.Row(0, legend), "SSSSSW");
  EXPECT_EQ(target.Row(1, legend), "SbbbbW");
  EXPECT_EQ(target.Row(3, legend), "WWWWWW");
  bevel.SetShape(bsTopLine);
  PixelCanvas line(6, 4, clBlue);
  PaintInto(bevel.Canvas(), line, [&] { bevel.Paint(); });
  EXPECT_EQ(line.Row(0, legend), "SSSSSS");
  EXPECT_EQ(line.Row(1, legend), "WWWWWW");
  EXPECT_EQ(line.Row(2, legend), "bbbbbb");
}

}  // namespace
