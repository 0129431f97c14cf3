// The controls of the main and the preview window that the wheel turns, turned where the
// pointer is while the focus stays in another control.
#include <gtest/gtest.h>

#include "InputSupport.h"
#include "KorPrev.h"
#include "QuillmarkTestSupport.h"
#include "RzEdit.h"
#include "RzSpnEdt.h"
#include "StdCtrls.h"
#include "User.h"
#include "UserDriver.h"

namespace {

class WheelUnderPointerTest : public QuillmarkTest, public HostInput {
 protected:
  void Turn(HWND over, int notches) {
    HostEvent e = ClientPointerAt(over, 3, 3);
    e.type = HostEventType::Wheel;
    e.wheelDelta = 120 * notches;
    UserHandleHostEvent(e);
    Application->ProcessMessages();
  }
};

TEST_F(WheelUnderPointerTest, SpinEditsAndTheOrientationStepWithoutTheFocus) {
  Start();
  ShowMain();
  form->Edit1->SetFocus();
  Application->ProcessMessages();
  Turn(form->GroupsSpin->Handle(), 1);
  EXPECT_EQ(ToUtf8(form->GroupsSpin->Text()), "2");
  Turn(form->StavesSpin->Buttons()->Handle(), -1);
  EXPECT_EQ(ToUtf8(form->StavesSpin->Text()), "7");
  Turn(form->OrientationComboBox->Handle(), -1);
  EXPECT_EQ(ToUtf8(form->OrientationComboBox->Text()), "Landscape");
  EXPECT_EQ(GetFocus(), form->Edit1->Handle());
  End();
}

TEST_F(WheelUnderPointerTest, ThePreviewsZoomStepsUnderThePointer) {
  Start();
  ShowMain();
  form->Button1Click(form->Button1);
  ASSERT_TRUE(PreviewForm->Visible());
  PreviewForm->PageEdit->SetFocus();
  Application->ProcessMessages();
  const int at = PreviewForm->ZoomComboBox->ItemIndex();
  const double zoom = PreviewForm->ZoomFactor;
  Turn(PreviewForm->ZoomComboBox->Handle(), -1);
  EXPECT_EQ(PreviewForm->ZoomComboBox->ItemIndex(), at + 1);
  EXPECT_GT(PreviewForm->ZoomFactor, zoom);
  EXPECT_EQ(GetFocus(), PreviewForm->PageEdit->Handle());
  PreviewForm->Hide();
  End();
}

}  // namespace
