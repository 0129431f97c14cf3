// The main window through its real controls: start-up, the settings file, the page length and
// the space required with its colour, and the orientation.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "QuillmarkTestSupport.h"
#include "RzEdit.h"
#include "RzSpnEdt.h"
#include "SessionEnd.h"
#include "StdCtrls.h"
#include "Timer.h"
#include "User.h"

namespace {

const char* const kDefaultsFile =
    "[Previous]\r\nOrientation=Portrait\r\nTopMargin=10\r\nStaves=8\r\nGroups=1\r\n"
    "StaveHeight=10\r\nGapHeight=10\r\nLineWidth=0.2\r\n";

using MainWindowTest = QuillmarkTest;

TEST_F(MainWindowTest, FirstRunShowsTheDefaultsAndWritesThemAtExit) {
  Start();
  EXPECT_FALSE(form->Activated);
  ShowMain();
  ASSERT_TRUE(form->Activated);
  EXPECT_EQ(ToUtf8(form->OrientationComboBox->Text()), "Portrait");
  EXPECT_EQ(ToUtf8(form->StavesSpin->Text()), "8");
  EXPECT_EQ(ToUtf8(form->GroupsSpin->Text()), "1");
  EXPECT_EQ(ToUtf8(form->StaveHeightSpin->Text()), "10.0");
  EXPECT_EQ(ToUtf8(form->LineWidthSpin->Text()), "0.20");
  EXPECT_EQ(ToUtf8(form->GapHeightSpin->Text()), "10.0");
  EXPECT_EQ(ToUtf8(form->TopMarginSpin->Text()), "10");
  // A4 on the PDF printer, less a quarter inch each side: 284.3 mm of printable length.
  EXPECT_EQ(PageText(), "284");
  EXPECT_EQ(SpaceText(), "160");
  EXPECT_EQ(form->SpaceRequiredEdit->Color(), clGreen);
  End();
  EXPECT_EQ(ReadSettings(), kDefaultsFile);
  EXPECT_TRUE(messageBoxes.empty());
}

TEST_F(MainWindowTest, EditsKeepTheHeightsTheirFontsGaveThemWhenTheWindowWasLaidOut) {
  Start();
  ShowMain();
  // Tahoma 8 points: 13 + 8; the Arial banner: 14 + 8.
  EXPECT_EQ(form->StavesSpin->Height(), 21);
  EXPECT_EQ(form->SpaceRequiredEdit->Height(), 21);
  EXPECT_EQ(form->Edit1->Height(), 22);
  End();
}

TEST_F(MainWindowTest, StoredValuesComeBackClampedWhereOutOfRange) {
  WriteSettings(
      "[Previous]\nOrientation=Landscape\nTopMargin=5\nStaves=12\nGroups=3\nStaveHeight=7.5\n"
      "GapHeight=6\nLineWidth=0.35\n");
  Start();
  ShowMain();
  EXPECT_EQ(ToUtf8(form->OrientationComboBox->Text()), "Landscape");
  EXPECT_EQ(form->OrientationComboBox->ItemIndex(), 1);
  EXPECT_EQ(double(form->StavesSpin->Value()), 12.0);
  EXPECT_EQ(double(form->GroupsSpin->Value()), 3.0);
  EXPECT_EQ(ToUtf8(form->LineWidthSpin->Text()), "0.35");
  EXPECT_EQ(PageText(), "197");
  // 12 x 7.5 + 5 + 11 x 6 + (11 div 3) x 6 = 179 mm: does not fit 197.3 mm? It does.
  EXPECT_EQ(SpaceText(), "179");
  EXPECT_EQ(form->SpaceRequiredEdit->Color(), clGreen);
  End();

  WriteSettings("[Previous]\nStaves=20\nGroups=0\nStaveHeight=99\nLineWidth=0.01\n");
  Start();
  ShowMain();
  EXPECT_EQ(double(form->StavesSpin->Value()), 15.0);
  EXPECT_EQ(double(form->GroupsSpin->Value()), 1.0);
  EXPECT_EQ(double(form->StaveHeightSpin->Value()), 15.0);
  EXPECT_EQ(ToUtf8(form->LineWidthSpin->Text()), "0.20");
}

TEST_F(MainWindowTest, AnOrientationThatNamesNoItemKeepsTheWindowsOwn) {
  WriteSettings("[Previous]\nOrientation=Sideways\n");
  Start();
  ShowMain();
  EXPECT_EQ(ToUtf8(form->OrientationComboBox->Text()), "Portrait");
  EXPECT_EQ(form->OrientationComboBox->ItemIndex(), 0);
  EXPECT_EQ(PageText(), "284");
  End();

  // Another spelling of an item is that item.
  WriteSettings("[Previous]\nOrientation=landscape\n");
  Start();
  ShowMain();
  EXPECT_EQ(form->OrientationComboBox->ItemIndex(), 1);
  EXPECT_EQ(PageText(), "197");
}

TEST_F(MainWindowTest, ASecondActivationDoesNotReadTheFileAgain) {
  WriteSettings("[Previous]\nStaves=12\n");
  Start();
  ShowMain();
  ASSERT_EQ(double(form->StavesSpin->Value()), 12.0);
  WriteSettings("[Previous]\nStaves=4\n");
  PreviewForm->Show();
  Application->ProcessMessages();
  ASSERT_TRUE(PreviewForm->Active());
  PreviewForm->Hide();
  SetActiveWindow(form->Handle());
  Application->ProcessMessages();
  ASSERT_TRUE(form->Active());
  EXPECT_EQ(double(form->StavesSpin->Value()), 12.0);
}

TEST_F(MainWindowTest, BeforeTheOrientationIsAppliedTheNumberFollowsButTheColourStays) {
  Start();
  ASSERT_FALSE(form->Activated);
  form->StavesSpin->SetValue(15);
  EXPECT_EQ(SpaceText(), "300");
  EXPECT_EQ(form->SpaceRequiredEdit->Color(), clInfoBk);
  EXPECT_EQ(form->TwipsPerMM, 0.0);
}

TEST_F(MainWindowTest, TheTopMarginAloneUpdatesNumberAndColourAtOnce) {
  Start();
  ShowMain();
  ASSERT_EQ(form->SpaceRequiredEdit->Color(), clGreen);
  form->TopMarginSpin->SetValue(100);
  EXPECT_EQ(SpaceText(), "250");
  EXPECT_EQ(form->SpaceRequiredEdit->Color(), clGreen);
  form->StavesSpin->SetValue(15);  // 150 + 100 + 140 = 390 mm
  EXPECT_EQ(SpaceText(), "390");
  EXPECT_EQ(form->SpaceRequiredEdit->Color(), clRed);
  form->TopMarginSpin->SetValue(0);  // 290 mm
  EXPECT_EQ(form->SpaceRequiredEdit->Color(), clRed);
  form->StaveHeightSpin->SetValue(5);  // 75 + 0 + 140 = 215 mm
  EXPECT_EQ(SpaceText(), "215");
  EXPECT_EQ(form->SpaceRequiredEdit->Color(), clGreen);
}

TEST_F(MainWindowTest, TheResultColourSurvivesThePointerAndTheFocus) {
  Start();
  ShowMain();
  TRzNumericEdit* box = form->SpaceRequiredEdit;
  form->StavesSpin->SetValue(15);
  form->TopMarginSpin->SetValue(100);
  ASSERT_EQ(box->Color(), clRed);
  box->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(box->Color(), clRed);
  box->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(box->Color(), clRed);
  box->SetFocus();
  Application->ProcessMessages();
  ASSERT_TRUE(box->Focused());
  EXPECT_EQ(box->Color(), clRed);
  // A change while it has the focus shows at once, and stays when the focus leaves.
  form->TopMarginSpin->SetValue(0);
  form->StavesSpin->SetValue(8);
  EXPECT_EQ(box->Color(), clGreen);
  form->StavesSpin->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(box->Color(), clGreen);
  // The page-length box keeps the read-only colour rule.
  form->PageLengthEdit->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(form->PageLengthEdit->Color(), clInfoBk);
}

TEST_F(MainWindowTest, ChoosingLandscapeMeasuresAgainAndEmptiesTheShownPreview) {
  Start();
  ShowMain();
  form->Button1Click(form->Button1);
  ASSERT_TRUE(PreviewForm->Visible());
  ASSERT_GT(Pages.at(0).size(), 40u);
  // The user picks the next item with the arrow key.
  form->OrientationComboBox->SetFocus();
  Application->ProcessMessages();
  PostMessageW(GetFocus(), WM_KEYDOWN, VK_DOWN, 0);
  Application->ProcessMessages();
  ASSERT_EQ(form->OrientationComboBox->ItemIndex(), 1);
  EXPECT_EQ(PageText(), "197");
  EXPECT_TRUE(PreviewForm->Visible());
  ASSERT_EQ(Pages.size(), 1u);
  for (const TPrintElement& e : Pages[0]) EXPECT_NE(e.PrintOperation, poLineTo);
}

TEST_F(MainWindowTest, SettingsThatCannotBeWrittenAreReportedWithTheFileNameAndTheProgramEnds) {
  // "Korv" is a file, so the settings folder cannot be made beneath it.
  std::filesystem::create_directories(home.dir().os() + "/home/.config");
  std::ofstream(home.dir().os() + "/home/.config/Korv") << "in the way";
  Start();
  ShowMain();
  EXPECT_EQ(double(form->StavesSpin->Value()), 8.0);
  testing::internal::CaptureStderr();
  End();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_EQ(messageBoxes.size(), 1u);
  EXPECT_NE(messageBoxes[0].find("Unable to write to"), std::string::npos) << messageBoxes[0];
  // The file as the system names it, and why.
  EXPECT_NE(messageBoxes[0].find("/home/.config/Korv/Quillmark/Quillmark.ini: Not a directory"),
            std::string::npos)
      << messageBoxes[0];
  EXPECT_EQ(QuillmarkExitStatus(), 1);
}

TEST_F(MainWindowTest, WhileTheSessionEndsAFailedWriteGoesToStandardErrorNotToAMessageBox) {
  std::filesystem::create_directories(home.dir().os() + "/home/.config");
  std::ofstream(home.dir().os() + "/home/.config/Korv") << "in the way";
  InstallSessionEndHandlers();
  Start();
  ShowMain();
  std::raise(SIGTERM);
  testing::internal::CaptureStderr();
  End();
  const std::string err = testing::internal::GetCapturedStderr();
  ResetSessionEndForTesting();
  EXPECT_TRUE(messageBoxes.empty()) << messageBoxes[0];
  EXPECT_EQ(err.rfind("quillmark: Unable to write to", 0), 0u) << err;
  EXPECT_NE(err.find("Quillmark.ini"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_EQ(QuillmarkExitStatus(), 1);
}

TEST_F(MainWindowTest, WrittenSettingsLeaveTheExitStatusZero) {
  Start();
  ShowMain();
  End();
  EXPECT_EQ(QuillmarkExitStatus(), 0);
  EXPECT_NE(ReadSettings(), "");
}

TEST_F(MainWindowTest, WithoutAPerUserFolderNothingIsReadOrWrittenInTheCurrentFolder) {
  // The configuration home is a file: there is no per-user folder at all.
  home.dir().write("blocker", "not a folder");
  ScopedEnv config("XDG_CONFIG_HOME", home.dir().os() + "/blocker");
  TempDir cwd;
  std::filesystem::create_directories(cwd.os() + "/Korv/Quillmark");
  std::ofstream(cwd.os() + "/Korv/Quillmark/Quillmark.ini") << "[Previous]\nStaves=12\n";
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(cwd.os());
  Start();
  ShowMain();
  EXPECT_EQ(double(form->StavesSpin->Value()), 8.0);
  End();
  std::filesystem::current_path(previous);
  ASSERT_EQ(messageBoxes.size(), 1u);
  // The path as the system names it.
  EXPECT_NE(messageBoxes[0].find("Unable to write to Korv/Quillmark/Quillmark.ini"),
            std::string::npos)
      << messageBoxes[0];
  EXPECT_EQ(QuillmarkExitStatus(), 1);
  EXPECT_EQ(cwd.read("Korv/Quillmark/Quillmark.ini"), "[Previous]\nStaves=12\n");
}

TEST_F(MainWindowTest, AWindowNeverActivatedLeavesTheStoredSettingsAlone) {
  WriteSettings("[Previous]\nStaves=12\n");
  Start();
  End();
  EXPECT_EQ(ReadSettings(), "[Previous]\nStaves=12\n");
}

TEST_F(MainWindowTest, ASessionEndSignalClosesTheWindowAsAUserWouldAndTheSettingsAreWritten) {
  WriteSettings("[Previous]\nStaves=12\n");
  InstallSessionEndHandlers();
  Start();
  WatchSessionEnd();
  bool gaveUp = false;
  auto* guard = new TTimer(Application);
  guard->SetInterval(5000);
  guard->SetOnTimer([&](TObject*) {
    gaveUp = true;
    Application->Terminate();
  });
  std::raise(SIGTERM);
  Application->Run();
  EXPECT_FALSE(gaveUp);
  EXPECT_TRUE(form->Activated);
  End();
  ResetSessionEndForTesting();
  EXPECT_EQ(ReadSettings(),
            "[Previous]\nStaves=12\nOrientation=Portrait\nTopMargin=10\nGroups=1\n"
            "StaveHeight=10\nGapHeight=10\nLineWidth=0.2\n");
}

}  // namespace
