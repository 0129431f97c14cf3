#include <gtest/gtest.h>

#include <memory>

#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "Streaming.h"
#include "UserDriver.h"

namespace {

// The shape of the preview window's tool bar and page: a panel with speed buttons, an edit
// with its up-down, and a scroll box holding an image.
const char16_t* const kDescription =
    uR"(object PanelForm: TForm
  Left = 0
  Top = 0
  Width = 600
  Height = 300
  Caption = 'Panels'
  object Panel2: TPanel
    Left = 0
    Top = 0
    Width = 600
    Height = 45
    Align = alTop
    ShowHint = True
    TabOrder = 0
    object SBZoomIn: TSpeedButton
      Left = 9
      Top = 9
      Width = 27
      Height = 27
      Hint = 'Zoom In'
      NumGlyphs = 2
    end
    object SBZoomPage: TSpeedButton
      Left = 89
      Top = 9
      Width = 27
      Height = 27
      Hint = 'Zoom Whole Page'
      Visible = False
      NumGlyphs = 2
    end
    object PageEdit: TEdit
      Left = 459
      Top = 12
      Width = 54
      Height = 22
      TabOrder = 0
      Text = '1'
    end
    object UpDown1: TUpDown
      Left = 513
      Top = 12
      Width = 15
      Height = 22
      Associate = PageEdit
      Min = 1
      Max = 0
      Position = 1
      TabOrder = 1
    end
  end
  object ScrollBox1: TScrollBox
    Left = 0
    Top = 45
    Width = 600
    Height = 255
    Align = alClient
    Color = clSkyBlue
    ParentColor = False
    TabOrder = 1
    object Image1: TImage
      Left = 0
      Top = 0
      Width = 1000
      Height = 435
    end
  end
end
)";

class PanelDescriptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClassLibrary();
    RegisterExtCtrlsClasses();
    RegisterButtonsClasses();
    RegisterComCtrlsClasses();
    RegisterStdCtrlsClasses();
  }
  void TearDown() override {
    ResetApplicationForTesting();
    UserResetForTesting();
  }
};

TEST_F(PanelDescriptionTest, LoadsAndWritesBackThePreviewsControls) {
  std::unique_ptr<TForm> form(CreateBareForm<TForm>(nullptr));
  ReadComponentText(kDescription, u"Panels.form", form.get());

  auto* panel = dynamic_cast<TPanel*>(form->FindComponent(u"Panel2"));
  auto* zoomIn = dynamic_cast<TSpeedButton*>(form->FindComponent(u"SBZoomIn"));
  auto* zoomPage = dynamic_cast<TSpeedButton*>(form->FindComponent(u"SBZoomPage"));
  auto* edit = dynamic_cast<TEdit*>(form->FindComponent(u"PageEdit"));
  auto* upDown = dynamic_cast<TUpDown*>(form->FindComponent(u"UpDown1"));
  auto* image = dynamic_cast<TImage*>(form->FindComponent(u"Image1"));
  ASSERT_TRUE(panel && zoomIn && zoomPage && edit && upDown && image);

  EXPECT_EQ(zoomIn->Parent(), panel);
  EXPECT_EQ(zoomIn->Hint(), u"Zoom In");
  EXPECT_EQ(zoomIn->NumGlyphs(), 2);
  EXPECT_FALSE(zoomPage->Visible());
  EXPECT_EQ(upDown->Associate(), edit);
  EXPECT_EQ(upDown->Min(), 1);
  EXPECT_EQ(upDown->Max(), 0);
  EXPECT_EQ(upDown->Position(), 1);
  // Already against the edit, which keeps its width.
  EXPECT_EQ(upDown->BoundsRect(), Rect(513, 12, 528, 12 + edit->Height()));
  EXPECT_EQ(edit->Width(), 54);
  EXPECT_EQ(image->BoundsRect(), Rect(0, 0, 1000, 435));

  String text = WriteComponentText(form.get());
  for (const char16_t* line :
       {u"Associate = PageEdit", u"Min = 1", u"Max = 0", u"Position = 1", u"NumGlyphs = 2",
        u"Hint = 'Zoom Whole Page'", u"object Image1: TImage"}) {
    EXPECT_NE(text.find(line), String::npos) << std::string(line, line + 20);
  }
  // Defaults are not written.
  EXPECT_EQ(text.find(u"BevelOuter"), String::npos);
  EXPECT_EQ(text.find(u"Spacing"), String::npos);
  EXPECT_EQ(text.find(u"Glyph."), String::npos);
}

}  // namespace
