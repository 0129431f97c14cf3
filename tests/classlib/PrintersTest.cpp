#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "ClassLibTestSupport.h"
#include "Exceptions.h"
#include "Files.h"
#include "PdfTools.h"
#include "Printers.h"
#include "PrivateCups.h"
#include "TestSupport.h"

namespace {

// A printer of 600 pixels per inch with 4960 x 7000 printable pixels, one that refuses every
// job, and (with down) a print server that fails.
std::unique_ptr<FakePrinterDriver> FakeDriver(bool withDefault = true, bool down = false) {
  TPrinterDevice fake{u"Fake 600", withDefault, {}};
  fake.device.dpiX = fake.device.dpiY = 600;
  fake.device.width = 4960;
  fake.device.height = 7000;
  fake.device.physicalWidth = 5100;
  fake.device.physicalHeight = 7200;
  fake.device.offsetX = 70;
  fake.device.offsetY = 100;
  TPrinterDevice refusing{u"Refusing", false, fake.device};
  auto driver = std::make_unique<FakePrinterDriver>(std::vector<TPrinterDevice>{fake, refusing});
  driver->state()->down = down;
  driver->state()->refusing = {u"Refusing"};
  return driver;
}

// Each test gets its own printer object, a sandboxed documents folder and A4.
class PrintersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto driver = FakeDriver();
    printed = driver->state();
    SetPrinterDriverForTesting(std::move(driver));
    printer = std::make_unique<TPrinter>();
  }
  void TearDown() override {
    printer.reset();
    SetPrinterDriverForTesting(nullptr);
  }
  std::string Documents() const { return home.dir().os() + "/home/Documents"; }
  void UsePdf() { printer->SetPrinterIndex(0); }
  void DrawLines(int count) {
    TCanvas* c = printer->Canvas();
    c->Pen()->SetWidth(8);
    for (int i = 0; i < count; ++i) {
      c->MoveTo(0, 100 + i * 160);
      c->LineTo(printer->PageWidth(), 100 + i * 160);
    }
  }

  SandboxedHome home;
  ScopedEnv lcAll{"LC_ALL", std::nullopt}, lcPaper{"LC_PAPER", std::nullopt},
      lang{"LANG", "de_DE.UTF-8"};
  std::shared_ptr<FakePrinterState> printed;
  std::unique_ptr<TPrinter> printer;
};

#define REQUIRE_PDF_TOOLS() \
  if (!pdftools::Available()) GTEST_SKIP() << "poppler-utils (pdfinfo, pdftoppm) not installed"

}  // namespace

TEST_F(PrintersTest, ListHasThePdfPrinterFirstAndTheDriversDefault) {
  TStrings* names = printer->Printers();
  ASSERT_EQ(names->Count(), 3);
  EXPECT_EQ(names->Strings(0), u"Print to PDF");
  EXPECT_EQ(names->Strings(1), u"Fake 600");
  EXPECT_EQ(printer->PrinterIndex(), 1);
  EXPECT_FALSE(printer->IsPdfPrinter());
  printer->SetPrinterIndex(0);
  EXPECT_TRUE(printer->IsPdfPrinter());
  printer->SetPrinterIndex(-1);
  EXPECT_EQ(printer->PrinterIndex(), 1);
  EXPECT_THROW(printer->SetPrinterIndex(3), EPrinter);
  EXPECT_THROW(printer->SetPrinterIndex(-2), EPrinter);

  // Without a default from the driver, or with a driver that fails, the PDF printer is it.
  SetPrinterDriverForTesting(FakeDriver(false));
  printer->Refresh();
  EXPECT_EQ(printer->PrinterIndex(), 0);
  SetPrinterDriverForTesting(FakeDriver(true, true));
  printer->Refresh();
  EXPECT_EQ(printer->Printers()->Count(), 1);
  EXPECT_EQ(printer->PrinterIndex(), 0);
}

TEST_F(PrintersTest, DeviceCapsOfTheFakeDriverInBothOrientations) {
  HDC dc = printer->Handle();
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 600);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 4960);
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 7000);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 5100);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), 7200);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), 70);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETY), 100);
  EXPECT_EQ(GetDeviceCaps(printer->Canvas()->Handle(), HORZRES), 4960);
  EXPECT_EQ(printer->PageWidth(), 4960);
  EXPECT_EQ(printer->PageHeight(), 7000);

  printer->SetOrientation(poLandscape);
  EXPECT_EQ(printer->PageWidth(), 7000);
  EXPECT_EQ(printer->PageHeight(), 4960);
  HDC wide = printer->Canvas()->Handle();  // the canvas follows the new page
  EXPECT_EQ(GetDeviceCaps(wide, HORZRES), 7000);
  EXPECT_EQ(GetDeviceCaps(wide, PHYSICALWIDTH), 7200);
  EXPECT_EQ(GetDeviceCaps(wide, PHYSICALOFFSETX), 100);

  // While printing, the job's context answers the same.
  printer->BeginDoc();
  EXPECT_EQ(GetDeviceCaps(printer->Canvas()->Handle(), VERTRES), 4960);
  EXPECT_EQ(GetDeviceCaps(printer->Handle(), LOGPIXELSX), 600);
  printer->Abort();
}

TEST_F(PrintersTest, CanvasFontsAreMeasuredAtThePrintersResolution) {
  TCanvas* c = printer->Canvas();
  c->Font()->SetName(u"Arial");
  c->Font()->SetSize(12);
  EXPECT_EQ(c->Font()->PixelsPerInch(), 600);
  EXPECT_EQ(c->Font()->Height(), -100);
  int h12 = c->TextHeight(u"Staff");
  int w12 = c->TextWidth(u"Staff");
  EXPECT_GT(h12, 100);
  EXPECT_LT(h12, 130);
  c->Font()->SetSize(24);
  EXPECT_NEAR(c->TextWidth(u"Staff"), 2 * w12, 4);
  EXPECT_EQ(c->TextWidth(u""), 0);
}

TEST_F(PrintersTest, JobStateAndItsErrors) {
  EXPECT_FALSE(printer->Printing());
  EXPECT_THROW(printer->NewPage(), EPrinter);
  EXPECT_THROW(printer->EndDoc(), EPrinter);
  try {
    printer->Abort();
    FAIL();
  } catch (const EPrinter& e) {
    EXPECT_EQ(e.Message(), u"Printer is not currently printing");
  }
  printer->BeginDoc();
  EXPECT_TRUE(printer->Printing());
  EXPECT_FALSE(printer->Aborted());
  EXPECT_EQ(printer->PageNumber(), 1);
  try {
    printer->BeginDoc();
    FAIL();
  } catch (const EPrinter& e) {
    EXPECT_EQ(e.Message(), u"Printing in progress");
  }
  EXPECT_THROW(printer->SetPrinterIndex(0), EPrinter);
  printer->NewPage();
  EXPECT_EQ(printer->PageNumber(), 2);
  printer->Abort();
  EXPECT_FALSE(printer->Printing());
  EXPECT_TRUE(printer->Aborted());
  EXPECT_EQ(printer->PageNumber(), 0);
  printer->BeginDoc();
  EXPECT_FALSE(printer->Aborted());
  printer->Abort();
}

TEST_F(PrintersTest, AnAbortedMeasuringJobLeavesNothing) {
  for (int index : {0, 1}) {
    printer->SetPrinterIndex(index);
    printer->BeginDoc();
    printer->Canvas()->MoveTo(0, 0);
    EXPECT_EQ(GetDeviceCaps(printer->Canvas()->Handle(), LOGPIXELSX), 600);
    DrawLines(3);
    printer->Abort();
  }
  EXPECT_TRUE(printed->jobs.empty());
  EXPECT_FALSE(std::filesystem::exists(Documents()) && !std::filesystem::is_empty(Documents()));
  EXPECT_TRUE(printer->LastFileName().empty());
}

TEST_F(PrintersTest, AJobForAQueueIsHandedToTheDriver) {
  printer->SetTitle(u"Staves");
  printer->SetCopies(2);
  printer->SetOrientation(poLandscape);
  printer->BeginDoc();
  DrawLines(40);
  printer->NewPage();
  DrawLines(40);
  printer->EndDoc();
  ASSERT_EQ(printed->jobs.size(), 1u);
  const SubmittedJob& s = printed->jobs.front();
  EXPECT_EQ(s.printer, u"Fake 600");
  EXPECT_EQ(s.recording.PageCount(), 2);
  EXPECT_EQ(s.copies, 2);
  EXPECT_EQ(s.title, u"Staves");
  EXPECT_EQ(s.recording.device.width, 7000);  // landscape
  EXPECT_FALSE(std::filesystem::exists(Documents()));

  // A queue that refuses the job: the message comes through, the printer is free again.
  printer->SetPrinterIndex(2);
  printer->BeginDoc();
  EXPECT_THROW(printer->EndDoc(), EPrinter);
  EXPECT_FALSE(printer->Printing());
}

TEST_F(PrintersTest, ThreePagesToPdfInTheDocumentsFolderNeverOverwriting) {
  REQUIRE_PDF_TOOLS();
  UsePdf();
  printer->SetTitle(u"Staff/paper");
  for (int job = 0; job < 2; ++job) {
    printer->BeginDoc();
    for (int page = 0; page < 3; ++page) {
      if (page) printer->NewPage();
      DrawLines(40);
    }
    printer->EndDoc();
  }
  EXPECT_EQ(printer->LastFileName(), FromOsPath(Documents() + "/Staff_paper (2).pdf"));
  std::string first = Documents() + "/Staff_paper.pdf";
  ASSERT_TRUE(std::filesystem::exists(first));
  EXPECT_EQ(pdftools::Pages(first), 3);
  EXPECT_NE(pdftools::Info(first, "Page size").find("595 x 842"), std::string::npos);
  EXPECT_TRUE(printed->jobs.empty());

  // A chosen file name is used once.
  TempDir out;
  printer->SetFileName(out.path() + u"chosen.pdf");
  printer->SetTitle(u"");
  printer->BeginDoc();
  printer->EndDoc();
  EXPECT_TRUE(std::filesystem::exists(out.os() + "/chosen.pdf"));
  EXPECT_TRUE(printer->FileName().empty());
  printer->BeginDoc();
  printer->EndDoc();
  EXPECT_EQ(printer->LastFileName(), FromOsPath(Documents() + "/Document.pdf"));
}

TEST_F(PrintersTest, ALineLandsWhereItWasDrawn) {
  REQUIRE_PDF_TOOLS();
  UsePdf();
  TempDir out;
  printer->SetFileName(out.path() + u"line.pdf");
  printer->BeginDoc();
  TCanvas* c = printer->Canvas();
  c->Pen()->SetWidth(12);
  c->MoveTo(0, 1200);
  c->LineTo(printer->PageWidth(), 1200);
  c->Pen()->SetWidth(1);
  c->MoveTo(3000, 2400);
  c->LineTo(3000, 4800);
  printer->EndDoc();
  auto g = pdftools::Render(out.os() + "/line.pdf", 1, 100, out.os() + "/line");
  ASSERT_TRUE(g);
  // (device + 150-pixel margin) at 600 dpi, drawn at 100 dpi.
  int row = (1200 + 150) / 6, column = (3000 + 150) / 6;
  EXPECT_GT(g->InkInRow(row), 700);
  EXPECT_LT(g->InkInRow(row - 3), 5);
  EXPECT_LT(g->InkInRow(row + 3), 5);
  EXPECT_TRUE(g->Ink(column, 500));
  EXPECT_FALSE(g->Ink(column - 2, 500));
  EXPECT_FALSE(g->Ink(column + 2, 500));
}

TEST_F(PrintersTest, PageRangesOfARecording) {
  REQUIRE_PDF_TOOLS();
  HDC dc = GdiCreateRecordingDC(PdfPrinterDevice());
  StartDocW(dc, nullptr);
  for (int page = 0; page < 3; ++page) {
    StartPage(dc);
    MoveToEx(dc, 0, 100 * (page + 1), nullptr);
    LineTo(dc, 1000, 100 * (page + 1));
  }
  EndDoc(dc);
  GdiRecording rec = GdiTakeRecording(dc);
  DeleteDC(dc);
  TempDir out;
  RenderRecordingToPdf(rec, {2, 3}, 1, out.path() + u"range.pdf");
  EXPECT_EQ(pdftools::Pages(out.os() + "/range.pdf"), 2);
  auto g = pdftools::Render(out.os() + "/range.pdf", 1, 100, out.os() + "/range");
  ASSERT_TRUE(g);
  EXPECT_GT(g->InkInRow((200 + 150) / 6), 100);  // page 2's line
  RenderRecordingToPdf(rec, {3}, 2, out.path() + u"twice.pdf");
  EXPECT_EQ(pdftools::Pages(out.os() + "/twice.pdf"), 2);
  EXPECT_THROW(RenderRecordingToPdf(rec, {4}, 1, out.path() + u"none.pdf"), EPrinter);
  EXPECT_FALSE(std::filesystem::exists(out.os() + "/none.pdf"));
}

TEST_F(PrintersTest, LandscapePdfSwapsThePage) {
  REQUIRE_PDF_TOOLS();
  UsePdf();
  EXPECT_EQ(printer->PageWidth(), 4961 - 300);
  EXPECT_EQ(printer->PageHeight(), 7016 - 300);
  printer->SetOrientation(poLandscape);
  EXPECT_EQ(printer->PageWidth(), 7016 - 300);
  EXPECT_EQ(printer->PageHeight(), 4961 - 300);
  TempDir out;
  printer->SetFileName(out.path() + u"wide.pdf");
  printer->BeginDoc();
  DrawLines(2);
  printer->EndDoc();
  EXPECT_NE(pdftools::Info(out.os() + "/wide.pdf", "Page size").find("842 x 595"),
            std::string::npos);
}

TEST_F(PrintersTest, AnUnwritableFileRaisesAndLeavesNothing) {
  UsePdf();
  TempDir out;
  String target = out.path() + u"missing\\staves.pdf";
  printer->SetFileName(target);
  printer->BeginDoc();
  DrawLines(4);
  try {
    printer->EndDoc();
    FAIL() << "no exception";
  } catch (const EPrinter& e) {
    EXPECT_NE(e.Message().find(u"staves.pdf"), String::npos) << e.what();
  }
  EXPECT_FALSE(printer->Printing());
  EXPECT_TRUE(std::filesystem::is_empty(out.os()));
  EXPECT_TRUE(printer->LastFileName().empty());
  // The printer is usable again at once.
  printer->SetFileName(out.path() + u"staves.pdf");
  printer->BeginDoc();
  printer->EndDoc();
  EXPECT_TRUE(std::filesystem::exists(out.os() + "/staves.pdf"));
}

TEST(PrinterPaper, LetterOrA4FromTheLocale) {
  ScopedEnv all("LC_ALL", std::nullopt), paper("LC_PAPER", std::nullopt),
      lang("LANG", "en_GB.UTF-8");
  EXPECT_FALSE(LocaleUsesLetterPaper());
  EXPECT_EQ(PdfPrinterDevice().physicalWidth, 4961);
  {
    ScopedEnv us("LC_PAPER", "en_US.UTF-8");
    EXPECT_TRUE(LocaleUsesLetterPaper());
    GdiDeviceInfo d = PdfPrinterDevice();
    EXPECT_EQ(d.dpiX, 600);
    EXPECT_EQ(d.physicalWidth, 5100);
    EXPECT_EQ(d.physicalHeight, 6600);
    EXPECT_EQ(d.width, 4800);
    EXPECT_EQ(d.offsetX, 150);
    ScopedEnv c("LC_ALL", "C");  // overrides every category
    EXPECT_FALSE(LocaleUsesLetterPaper());
  }
  for (const char* letter : {"fr_CA.UTF-8", "es_MX", "en_US@euro", "en_us.utf8"}) {
    ScopedEnv l("LANG", letter);
    EXPECT_TRUE(LocaleUsesLetterPaper()) << letter;
  }
  for (const char* a4 : {"de_DE.UTF-8", "C", "POSIX", "en", "en_AU.UTF-8"}) {
    ScopedEnv l("LANG", a4);
    EXPECT_FALSE(LocaleUsesLetterPaper()) << a4;
  }
}

TEST(PrinterPaper, ThePdfPrinterPrintsLetterWhereTheLocaleSaysSo) {
  if (!pdftools::Available()) GTEST_SKIP() << "poppler-utils not installed";
  ScopedEnv all("LC_ALL", std::nullopt), paper("LC_PAPER", "en_US.UTF-8");
  SetPrinterDriverForTesting(FakeDriver(false));
  TPrinter printer;
  EXPECT_EQ(printer.PageWidth(), 4800);
  TempDir out;
  printer.SetFileName(out.path() + u"letter.pdf");
  printer.BeginDoc();
  printer.EndDoc();
  SetPrinterDriverForTesting(nullptr);
  EXPECT_NE(pdftools::Info(out.os() + "/letter.pdf", "Page size").find("612 x 792"),
            std::string::npos);
}

TEST(PrinterGlobal, SetPrinterSwapsTheGlobalObject) {
  SetPrinterDriverForTesting(FakeDriver());
  auto mine = std::make_unique<TPrinter>();
  TPrinter* raw = mine.get();
  std::unique_ptr<TPrinter> old = SetPrinter(std::move(mine));
  EXPECT_EQ(Printer(), raw);
  // A new driver reaches the global printer: a job in progress is aborted, the list re-read.
  Printer()->BeginDoc();
  SetPrinterDriverForTesting(FakeDriver(false, true));
  EXPECT_FALSE(Printer()->Printing());
  EXPECT_EQ(Printer()->Printers()->Count(), 1);
  SetPrinterDriverForTesting(nullptr);
  std::unique_ptr<TPrinter> back = SetPrinter(std::move(old));
  EXPECT_EQ(back.get(), raw);
}

TEST(PrinterCups, AQueueOfAPrivateCupsServerPrintsThroughTheHost) {
  if (!PrivateCups::Installed()) GTEST_SKIP() << "cupsd not installed (or not running as root)";
  PrivateCups cups("Music_Room");
  ASSERT_TRUE(cups.Ready());
  SetPrinterDriverForTesting(nullptr);
  TPrinter printer;
  ASSERT_TRUE(printer.AwaitPrinters(10000)) << ToUtf8(printer.PrintersProblem());
  ASSERT_EQ(printer.Printers()->Count(), 2);
  EXPECT_EQ(printer.Printers()->Strings(1), u"Music_Room");
  EXPECT_EQ(printer.PrinterIndex(), 0);  // the server names no default
  printer.SetPrinterIndex(1);
  int dpi = GetDeviceCaps(printer.Handle(), LOGPIXELSX);
  EXPECT_GT(dpi, 0);
  EXPECT_GT(printer.PageWidth(), 8 * dpi / 2);

  printer.BeginDoc();  // a job drawn and aborted: nothing reaches the queue
  printer.Canvas()->LineTo(dpi, dpi);
  printer.Abort();

  printer.SetTitle(u"Staff paper");
  printer.BeginDoc();
  printer.Canvas()->MoveTo(0, dpi);
  printer.Canvas()->LineTo(printer.PageWidth(), dpi);
  printer.NewPage();
  printer.EndDoc();
  ASSERT_TRUE(cups.WaitForJob());
  // The queue hands jobs on in order: had the aborted one been sent, it would be counted here.
  EXPECT_EQ(cups.JobsHandedOn(), 1);
  EXPECT_EQ(cups.JobInfo().rfind("Staff paper\n1\n", 0), 0u) << cups.JobInfo();
  if (pdftools::Available()) {
    EXPECT_EQ(pdftools::Pages(cups.Output()), 2);
  }
}

// A print server that keeps the printer object waiting: the list, the default and a measured
// page are there at once, and the page measured stays the user's when the server answers.
class PrinterLookupTest : public ::testing::Test {
 protected:
  void TearDown() override {
    gate->Release();
    SetPrinterDriverForTesting(nullptr);
  }
  void UseHeldDriver(bool down = false) {
    auto driver = std::make_unique<HeldPrinterDriver>(
        std::vector<TPrinterDevice>{FakePrinter(u"Office Laser", 300, 2400, 3150, true)}, gate);
    driver->state()->down = down;
    SetPrinterDriverForTesting(std::move(driver));
  }
  static long Millis(std::chrono::steady_clock::time_point since) {
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::steady_clock::now() - since)
                    .count());
  }

  SandboxedHome home;
  ScopedEnv lcAll{"LC_ALL", "de_DE.UTF-8"};
  std::shared_ptr<PrintServerGate> gate = std::make_shared<PrintServerGate>();
};

TEST_F(PrinterLookupTest, AServerThatDoesNotAnswerHoldsNothingAndTheMeasuredPageStays) {
  UseHeldDriver();
  TPrinter printer;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(printer.Printers()->Count(), 1);
  EXPECT_EQ(printer.PrinterIndex(), 0);
  EXPECT_EQ(printer.PageWidth(), 4961 - 300);  // measured on the PDF printer's A4
  EXPECT_FALSE(printer.AwaitPrinters(50));
  EXPECT_LT(Millis(start), 1000);
  EXPECT_NE(printer.PrintersProblem().find(u"not answered"), String::npos);

  gate->Release();
  ASSERT_TRUE(printer.AwaitPrinters(5000));
  EXPECT_EQ(printer.Printers()->Count(), 2);
  EXPECT_EQ(printer.PrintersProblem(), u"");
  EXPECT_EQ(printer.DefaultPrinterIndex(), 1);
  // The page was measured on the PDF printer: it stays so until a printer is chosen.
  EXPECT_EQ(printer.PrinterIndex(), 0);
  EXPECT_FALSE(printer.PrinterChosen());
  EXPECT_EQ(printer.PageWidth(), 4961 - 300);
  printer.SetPrinterIndex(1);
  EXPECT_TRUE(printer.PrinterChosen());
  EXPECT_EQ(printer.PageWidth(), 2400);
}

TEST_F(PrinterLookupTest, ADefaultKnownBeforeAnyMeasurementIsTheDefault) {
  UseHeldDriver();
  TPrinter printer;
  printer.Printers();  // asks the server
  gate->Release();
  ASSERT_TRUE(printer.AwaitPrinters(5000));
  EXPECT_EQ(printer.PrinterIndex(), 1);
  EXPECT_EQ(printer.PageWidth(), 2400);
}

TEST_F(PrinterLookupTest, MeasuringAloneNeverAsksTheServerAndAFailureIsNamed) {
  UseHeldDriver(true);
  TPrinter printer;
  EXPECT_EQ(printer.PageHeight(), 7016 - 300);
  gate->Release();
  // Not asked yet: nothing to wait for until the list is wanted.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(printer.Printers()->Count(), 1);
  ASSERT_TRUE(printer.AwaitPrinters(5000));
  EXPECT_EQ(printer.PrintersProblem(), u"the print server is down");
  EXPECT_EQ(printer.Printers()->Count(), 1);
}

TEST_F(PrinterLookupTest, TheChosenPrinterFollowsItsNameWhenTheListChanges) {
  std::vector<TPrinterDevice> two{FakePrinter(u"Office Laser", 300, 2400, 3150, true),
                                  FakePrinter(u"Plotter", 600, 4000, 6000, false)};
  SetPrinterDriverForTesting(std::make_unique<FakePrinterDriver>(two));
  TPrinter printer;
  printer.SetPrinterIndex(2);
  std::swap(two[0], two[1]);
  SetPrinterDriverForTesting(std::make_unique<HeldPrinterDriver>(two, gate));
  gate->Release();
  ASSERT_TRUE(printer.AwaitPrinters(5000, true));
  EXPECT_EQ(printer.Printers()->Strings(1), u"Plotter");
  EXPECT_EQ(printer.PrinterIndex(), 1);
  EXPECT_EQ(printer.PageWidth(), 4000);
}
