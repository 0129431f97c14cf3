// Screenshots of the preview window on a real display, for a person to look at. Runs only when
// KORV_SCREENSHOT_DIR names a folder and a display is there, e.g.
//   KORV_SCREENSHOT_DIR=/tmp xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb
//     build/tests/test_preview --gtest_filter='*Screenshot*'
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "Forms.h"
#include "HostWindows.h"
#include "PngFile.h"
#include "Printers.h"
#include "StdCtrls.h"
#include "TestSupport.h"
#include "UserDriver.h"
#include "KorPrev.h"
#include "PrintDialogs.h"
#include "User.h"

namespace {

void Pump(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    Application->ProcessMessages();
    if (UserGetHostDriver()) UserGetHostDriver()->ProcessEvents(10);
  }
}

bool Shoot(const std::string& path) {
  const TRect r = Screen->DesktopRect();
  std::vector<std::uint32_t> pixels;
  if (!HostGrabScreenForTesting(r, &pixels)) return false;
  TBitmap shot(RectWidth(r), RectHeight(r));
  for (int y = 0; y < RectHeight(r); ++y)
    for (int x = 0; x < RectWidth(r); ++x) {
      const std::uint32_t p = pixels[static_cast<std::size_t>(y) * RectWidth(r) + x];
      // 0x00RRGGBB to the platform's 0x00BBGGRR.
      shot.Canvas()->SetPixels(
          x, y, static_cast<TColor>(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF)));
    }
  return SaveBitmapPng(&shot, path);
}

TEST(PreviewScreenshot, AtFullSizeAndAtThirtyFivePercent) {
  const char* dir = std::getenv("KORV_SCREENSHOT_DIR");
  if (!dir || !std::getenv("DISPLAY")) GTEST_SKIP() << "set KORV_SCREENSHOT_DIR under a display";
  SandboxedHome home;  // the print dialog's default file lies in the documents folder
  UserSetHostDriver(HostQtWindowDriver());
  UserResetForTesting();
  CreatePreviewApplication();
  TPreviewForm* f = PreviewForm;
  f->begindoc(oPortrait, true);
  f->FontName(u"Arial");
  f->FontSize(16);
  f->CentreText(f->PageWidth() / 2, 300, u"Quillmark staff paper");
  for (int staff = 0; staff < 6; ++staff)
    for (int line = 0; line < 5; ++line) {
      const int y = 1200 + staff * 1600 + line * 142;
      f->MoveTo(0, y);
      f->LineTo(f->PageWidth(), y);
    }
  f->LineWidth(45);
  f->DrawBox(0, 0, f->PageWidth(), f->PageHeight());
  f->NewPage();
  f->enddoc();
  Pump(800);
  EXPECT_TRUE(Shoot(std::string(dir) + "/preview-100.png"));
  f->ZoomComboBox->SetItemIndex(0);
  f->ZoomComboBoxChange(f->ZoomComboBox);
  Pump(500);
  EXPECT_TRUE(Shoot(std::string(dir) + "/preview-35.png"));
  // The print dialog over it, shot from the modal-loop hook, then cancelled.
  ModalLoopHook previous = SetModalLoopHook([&](HWND w) {
    TForm* dialog = f->PrintDialog->Form();
    if (!dialog || w != dialog->Handle()) return;
    Pump(400);
    EXPECT_TRUE(Shoot(std::string(dir) + "/preview-print-dialog.png"));
    static_cast<TButton*>(dialog->FindComponent(u"CancelButton"))->Click();
  });
  f->SBPrintClick(nullptr);
  SetModalLoopHook(previous);
  ResetPreviewForTesting();
  UserResetForTesting();
  UserSetHostDriver(nullptr);
}

}  // namespace
