#include "PreviewTestSupport.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "Controls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "SystemControls.h"  // the platform window classes
#include "TestSupport.h"
#include "User.h"
#include "UserDriver.h"

std::vector<TPrinterDevice> PreviewTest::DriverPrinters() {
  return {FakePrinter(u"Fake Printer", 600, 4800, 6300, true)};
}

void PreviewTest::SetUp() {
  UserSetHostDriver(nullptr);
  UserResetForTesting();
  SetPrinterDriverForTesting(std::make_unique<FakePrinterDriver>(DriverPrinters(), printed));
  Printer()->SetPrinterIndex(-1);
  Printer()->SetOrientation(poPortrait);
  CreatePreviewApplication();
  form = PreviewForm;
  ASSERT_NE(form, nullptr);
  Application->OnException = [this](TObject*, const Exception& e) {
    handled.push_back({e.Message(), dynamic_cast<const EConvertError*>(&e) != nullptr});
  };
}

void PreviewTest::TearDown() {
  ResetPreviewForTesting();
  UserResetForTesting();
  SetPrinterDriverForTesting(std::make_unique<FakePrinterDriver>(std::vector<TPrinterDevice>{}));
}

TBitmap* PreviewTest::Bitmap() { return form->Image1->Picture()->Bitmap(); }

TColor PreviewTest::Pixel(int x, int y) { return Bitmap()->Canvas()->Pixels(x, y) & 0xFFFFFF; }

std::vector<int> PreviewTest::DarkRows(int x) {
  std::vector<int> rows;
  for (int y = 0; y < Bitmap()->Height(); ++y)
    if (Pixel(x, y) != 0xFFFFFF) rows.push_back(y);
  return rows;
}

ModalAnswer::ModalAnswer(std::function<void(HWND)> answer)
    : previous_(SetModalLoopHook(std::move(answer))) {}

ModalAnswer::~ModalAnswer() { SetModalLoopHook(previous_); }

String WindowCaption(HWND window) {
  WCHAR text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

bool IsMessageBox(HWND window) {
  // A message box holds its text in a static control; our forms hold none.
  bool found = false;
  for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    WCHAR cls[64] = {};
    GetClassNameW(c, cls, 64);
    if (String(cls) == u"STATIC") found = true;
  }
  return found && !FindControl(window);
}

String MessageBoxText(HWND window) {
  for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    WCHAR cls[64] = {};
    GetClassNameW(c, cls, 64);
    if (String(cls) == u"STATIC") return WindowCaption(c);
  }
  return String();
}

void PressMessageBoxButton(HWND window, int id) {
  HWND button = GetDlgItem(window, id);
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(button));
}

int PdfPageCount(const std::string& path) {
  std::string out;
  if (RunCommand("pdfinfo '" + path + "' 2>/dev/null", &out) != 0) return -1;
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("Pages:", 0) == 0) return std::stoi(line.substr(6));
  return -1;
}

std::vector<int> PdfDarkRows(const std::string& path, int page, int dpi, int x) {
  std::vector<int> rows;
  TempDir dir;
  const std::string stem = dir.os() + "/page";
  const std::string cmd = "pdftoppm -r " + std::to_string(dpi) + " -gray -f " +
                          std::to_string(page) + " -l " + std::to_string(page) + " -singlefile '" +
                          path + "' '" + stem + "' 2>/dev/null";
  if (RunCommand(cmd) != 0) return rows;
  std::ifstream in(stem + ".pgm", std::ios::binary);
  std::string magic;
  int w = 0, h = 0, max = 0;
  in >> magic >> w >> h >> max;
  in.get();
  if (magic != "P5" || w <= x || h <= 0) return rows;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(w) * h);
  in.read(reinterpret_cast<char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
  for (int y = 0; y < h; ++y)
    if (pixels[static_cast<std::size_t>(y) * w + x] < 128) rows.push_back(y);
  return rows;
}

void PreviewTest::ThreePages() {
  form->begindoc(oPortrait, true);
  for (int p = 1; p <= 3; ++p) {
    if (p > 1) form->NewPage();
    form->MoveTo(0, 1440 * p);
    form->LineTo(2880, 1440 * p);
  }
  form->enddoc();
}
