#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "PreviewGlyphs.h"
#include "StdCtrls.h"
#include "Themes.h"
#include "UserDriver.h"

namespace {

struct ButtonPlace {
  const char16_t* name;
  int left, width;
};
const ButtonPlace kButtons[] = {{u"SBZoomIn", 9, 27},         {u"SBZoomOut", 36, 27},
                                {u"SBZoomPageWidth", 62, 28}, {u"SBZoomPage", 89, 27},
                                {u"SBFirstPage", 116, 27},    {u"SBPrevPage", 142, 28},
                                {u"SBNextPage", 169, 27},     {u"SBLastPage", 196, 27},
                                {u"SBPrint", 222, 28},        {u"SBDone", 249, 27}};

class ToolbarLookTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterClassLibrary(); }
  void TearDown() override {
    SetThemesEnabledForTesting(true);
    ResetApplicationForTesting();
    UserResetForTesting();
  }

  // The preview's tool bar painted into a bitmap: Previous Page disabled, Next Page hot.
  std::unique_ptr<TBitmap> PaintToolbar() {
    std::unique_ptr<TForm> form(CreateBareForm<TForm>(nullptr));
    form->SetBounds(0, 0, 560, 120);
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 540, 45);
    for (const ButtonPlace& place : kButtons) {
      auto* button = new TSpeedButton(form.get());
      button->SetParent(panel);
      button->SetBounds(place.left, 9, place.width, 27);
      button->SetGlyph(PreviewGlyph(place.name).get());
      if (String(place.name) == u"SBPrevPage") button->SetEnabled(false);
      if (String(place.name) == u"SBNextPage") button->Perform(CM_MOUSEENTER, 0, 0);
    }
    auto* edit = new TEdit(form.get());
    edit->SetParent(panel);
    edit->SetBounds(300, 12, 54, 22);
    edit->SetText(u"1");
    auto* upDown = new TUpDown(form.get());
    upDown->SetParent(panel);
    upDown->SetBounds(354, 12, 15, 22);
    upDown->SetMin(1);
    upDown->SetMax(3);
    upDown->SetPosition(1);
    upDown->SetAssociate(edit);
    form->Show();
    auto bitmap = std::make_unique<TBitmap>(540, 45);
    panel->PaintTo(bitmap->Canvas()->Handle(), 0, 0);
    return bitmap;
  }
};

TEST_F(ToolbarLookTest, GlyphsShowOnTheirButtons) {
  for (bool themed : {false, true}) {
    SCOPED_TRACE(themed ? "themed" : "classic");
    SetThemesEnabledForTesting(themed);
    auto bar = PaintToolbar();
    // The magnifier's glass and the exit arrow are there; the disabled button has no blue.
    auto has = [&](int left, int width, TColor color) {
      for (int y = 9; y < 36; ++y)
        for (int x = left; x < left + width; ++x)
          if (bar->Canvas()->Pixels(x, y) == color) return true;
      return false;
    };
    EXPECT_TRUE(has(9, 27, RGB(205, 232, 255)));
    EXPECT_TRUE(has(249, 27, RGB(200, 24, 24)));
    EXPECT_TRUE(has(169, 27, RGB(24, 70, 150)));
    EXPECT_FALSE(has(142, 28, RGB(24, 70, 150)));
    EXPECT_FALSE(has(0, 540, PreviewGlyphBackground));
  }
}

}  // namespace
