// Custom glyphs in descriptions: the spin edit's up and down glyphs and the control button's
// glyph are written with their pixels and read back as custom glyphs, not as the arrows.
#include <gtest/gtest.h>

#include <memory>

#include "Forms.h"
#include "RzButton.h"
#include "RzSpnEdt.h"
#include "Streaming.h"
#include "UserDriver.h"

namespace {

class RzGlyphDescriptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UserResetForTesting();
    RegisterRzSpnEdtClasses();
  }
  void TearDown() override {
    ResetApplicationForTesting();
    UserResetForTesting();
  }
};

// A strip of Cells square cells, each pixel its own colour.
std::unique_ptr<TBitmap> Strip(int size, int cells, int seed) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(size * cells, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size * cells; ++x)
      bitmap->Canvas()->SetPixels(x, y, RGB(x * 13 + seed, y * 29, (x ^ y) * 7 + seed));
  return bitmap;
}

void ExpectSamePixels(TBitmap* got, TBitmap* want, const char* what) {
  ASSERT_EQ(got->Width(), want->Width()) << what;
  ASSERT_EQ(got->Height(), want->Height()) << what;
  int differ = 0;
  for (int y = 0; y < want->Height(); ++y)
    for (int x = 0; x < want->Width(); ++x)
      differ += got->Canvas()->Pixels(x, y) != want->Canvas()->Pixels(x, y);
  EXPECT_EQ(differ, 0) << what;
}

TEST_F(RzGlyphDescriptionTest, SpinEditGlyphsComeBackAsCustomGlyphs) {
  auto* form = CreateBareForm<TForm>(Application);
  form->SetName(u"F");
  auto* spin = new TRzSpinEdit(form);
  spin->SetName(u"Spin");
  spin->SetParent(form);
  auto up = Strip(7, 2, 1);
  auto down = Strip(6, 3, 50);
  spin->SetButtonUpGlyph(up.get());
  spin->SetButtonDownGlyph(down.get());
  spin->SetButtonDownNumGlyphs(3);
  const String written = WriteComponentText(form);
  EXPECT_NE(written.find(u"ButtonUpGlyph.Data = {"), String::npos) << ToUtf8(written);
  EXPECT_NE(written.find(u"ButtonDownGlyph.Data = {"), String::npos) << ToUtf8(written);
  delete form;

  auto* again = CreateBareForm<TForm>(Application);
  ReadComponentText(written, u"written", again);
  auto* back = static_cast<TRzSpinEdit*>(again->FindComponent(u"Spin"));
  ASSERT_NE(back, nullptr);
  EXPECT_TRUE(back->Buttons()->CustomUpRightGlyph());
  EXPECT_TRUE(back->Buttons()->CustomDownLeftGlyph());
  ExpectSamePixels(back->ButtonUpGlyph(), up.get(), "up");
  ExpectSamePixels(back->ButtonDownGlyph(), down.get(), "down");
  EXPECT_EQ(back->ButtonUpNumGlyphs(), 2);
  EXPECT_EQ(back->ButtonDownNumGlyphs(), 3);
  EXPECT_EQ(WriteComponentText(again), written);
}

TEST_F(RzGlyphDescriptionTest, SpinEditWithTheArrowsWritesNoGlyph) {
  auto* form = CreateBareForm<TForm>(Application);
  form->SetName(u"F");
  auto* spin = new TRzSpinEdit(form);
  spin->SetName(u"Spin");
  spin->SetParent(form);
  EXPECT_EQ(WriteComponentText(form).find(u"Glyph"), String::npos);
}

TEST_F(RzGlyphDescriptionTest, ControlButtonGlyphComesBack) {
  auto* form = CreateBareForm<TForm>(Application);
  form->SetName(u"F");
  auto* button = new TRzControlButton(form);
  button->SetName(u"Button");
  button->SetParent(form);
  auto glyph = Strip(9, 2, 3);
  button->SetGlyph(glyph.get());
  const String written = WriteComponentText(form);
  EXPECT_NE(written.find(u"    Glyph.Data = {"), String::npos) << ToUtf8(written);
  delete form;

  auto* again = CreateBareForm<TForm>(Application);
  ReadComponentText(written, u"written", again);
  auto* back = static_cast<TRzControlButton*>(again->FindComponent(u"Button"));
  ASSERT_NE(back, nullptr);
  ExpectSamePixels(back->Glyph(), glyph.get(), "glyph");
  EXPECT_EQ(back->NumGlyphs(), 2);
  EXPECT_EQ(WriteComponentText(again), written);
}

}  // namespace
