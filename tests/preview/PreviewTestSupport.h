#pragma once
// Helpers of the preview tests: a fixture that starts every test with a fresh application holding
// the preview window and a printer driver of known figures, and ways to answer modal windows
// from the modal-loop hook.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ClassLibTestSupport.h"
#include "KorPrev.h"
#include "Printers.h"
#include "TestSupport.h"

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The driver's printers; the default gives one of 600 pixels per inch whose printable page is
  // 8.0 x 10.5 inches, the default printer.
  virtual std::vector<TPrinterDevice> DriverPrinters();

  // The preview's bitmap.
  TBitmap* Bitmap();
  // The pixel of the preview's bitmap as 0x00BBGGRR.
  TColor Pixel(int x, int y);
  // Rows of column x that are not white.
  std::vector<int> DarkRows(int x);
  // Three pages, each with a line page-number inches down from 0 to 2 inches across.
  void ThreePages();

  // The documents folder (the print dialog's default file) and the settings stay in here.
  SandboxedHome home;
  // The jobs the driver was handed; refuseAll makes it refuse them.
  std::shared_ptr<FakePrinterState> printed = std::make_shared<FakePrinterState>();
  TPreviewForm* form = nullptr;
  // What reached the application's handler: the message, and whether it was a conversion error.
  struct Handled {
    String message;
    bool convertError = false;
  };
  std::vector<Handled> handled;
};

// Answers modal windows while it lives: each one entered is handed to the answer.
class ModalAnswer {
 public:
  explicit ModalAnswer(std::function<void(HWND window)> answer);
  ~ModalAnswer();
  ModalAnswer(const ModalAnswer&) = delete;
  ModalAnswer& operator=(const ModalAnswer&) = delete;

 private:
  ModalLoopHook previous_;
};

// A message box's text and caption, and a press of one of its buttons (IDOK, IDYES ...).
bool IsMessageBox(HWND window);
String MessageBoxText(HWND window);
String WindowCaption(HWND window);
void PressMessageBoxButton(HWND window, int id);

// The number of pages pdfinfo reports; -1 when it cannot read the file.
int PdfPageCount(const std::string& path);
// The rows of column x of page 1 rendered in grey at dpi that are darker than half grey.
std::vector<int> PdfDarkRows(const std::string& path, int page, int dpi, int x);
