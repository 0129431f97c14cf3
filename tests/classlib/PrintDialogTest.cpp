// The print dialog, answered from the modal-loop hook.
#include <gtest/gtest.h>

#include <chrono>

#include "ClassLibTestSupport.h"
#include "Files.h"
#include "Forms.h"
#include "PrintDialogs.h"
#include "Printers.h"
#include "ScopeGuard.h"
#include "StdCtrls.h"
#include "SystemControls.h"  // the platform window classes
#include "TestSupport.h"
#include "UserDriver.h"

namespace {

class PrintDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UserSetHostDriver(nullptr);
    UserResetForTesting();
    SetPrinterDriverForTesting(std::make_unique<FakePrinterDriver>(
        std::vector<TPrinterDevice>{FakePrinter(u"Office Laser", 300, 2400, 3150, true)}));
    Printer()->SetPrinterIndex(-1);
    Printer()->SetFileName(String());
    RegisterClassLibrary();
    RegisterPrintDialogClasses();
    dialog = new TPrintDialog(Application);
    dialog->SetOptions({poPrintToFile, poPageNums, poSelection, poWarning});
    dialog->SetMinPage(1);
    dialog->SetMaxPage(5);
    dialog->SetFromPage(1);
    dialog->SetToPage(5);
  }
  void TearDown() override {
    SetModalLoopHook(ModalLoopHook());
    ResetApplicationForTesting();
    UserResetForTesting();
    SetPrinterDriverForTesting(nullptr);
  }

  // The hook: the dialog's turns go to answer (once per entry of its modal loop), message boxes
  // are recorded and answered with boxAnswer.
  void Answer(std::function<void(TForm* form)> answer) {
    SetModalLoopHook([this, answer](HWND w) {
      TForm* form = dialog->Form();
      if (form && w == form->Handle()) {
        ++dialogTurns;
        answer(form);
        return;
      }
      WCHAR text[512] = {};
      for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        WCHAR cls[32] = {};
        GetClassNameW(c, cls, 32);
        if (String(cls) == u"STATIC") GetWindowTextW(c, text, 512);
      }
      boxes.push_back(ToUtf8(text));
      const int id = boxAnswers.empty() ? IDOK : boxAnswers.front();
      if (!boxAnswers.empty()) boxAnswers.erase(boxAnswers.begin());
      SendMessageW(w, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(w, id)));
    });
  }

  template <class T>
  static T* Get(TForm* form, const char16_t* name) {
    T* c = dynamic_cast<T*>(form->FindComponent(name));
    EXPECT_NE(c, nullptr) << ToUtf8(name);
    return c;
  }
  static void Choose(TForm* form, const char16_t* combo, const char16_t* item) {
    auto* c = Get<TComboBox>(form, combo);
    c->SetItemIndex(c->Items()->IndexOf(item));
    if (c->OnChange) c->OnChange(c);  // as the user's pick does
  }
  static void SetText(TForm* form, const char16_t* edit, const String& text) {
    Get<TEdit>(form, edit)->SetText(text);
  }
  static void Press(TForm* form, const char16_t* button) { Get<TButton>(form, button)->Click(); }

  SandboxedHome home;
  TPrintDialog* dialog = nullptr;
  int dialogTurns = 0;
  std::vector<std::string> boxes;
  std::vector<int> boxAnswers;
};

TEST_F(PrintDialogTest, OffersThePrintersRangesAndADefaultFile) {
  std::vector<std::string> printers, ranges;
  std::string file;
  bool fileShown = false;
  Answer([&](TForm* form) {
    auto* p = Get<TComboBox>(form, u"PrinterComboBox");
    for (int i = 0; i < p->Items()->Count(); ++i)
      printers.push_back(ToUtf8(p->Items()->Strings(i)));
    auto* r = Get<TComboBox>(form, u"RangeComboBox");
    for (int i = 0; i < r->Items()->Count(); ++i) ranges.push_back(ToUtf8(r->Items()->Strings(i)));
    file = ToUtf8(Get<TEdit>(form, u"FileEdit")->Text());
    fileShown = Get<TEdit>(form, u"FileEdit")->Visible();
    Press(form, u"CancelButton");
  });
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(dialogTurns, 1);
  EXPECT_EQ(printers, (std::vector<std::string>{"Print to PDF", "Office Laser"}));
  EXPECT_EQ(ranges, (std::vector<std::string>{"All pages", "Pages", "Selection"}));
  EXPECT_FALSE(fileShown) << "the default printer is the CUPS one";
  EXPECT_EQ(dialog->Form(), nullptr);

  dialog->SetOptions({poPrintToFile});
  Answer([&](TForm* form) {
    Choose(form, u"PrinterComboBox", PdfPrinterName);
    ranges.clear();
    auto* r = Get<TComboBox>(form, u"RangeComboBox");
    for (int i = 0; i < r->Items()->Count(); ++i) ranges.push_back(ToUtf8(r->Items()->Strings(i)));
    Press(form, u"CancelButton");
  });
  dialog->Execute();
  EXPECT_EQ(ranges, (std::vector<std::string>{"All pages"}));
}

TEST_F(PrintDialogTest, OkPutsTheChoiceIntoThePrinter) {
  const std::string out = home.dir().os() + "/score.pdf";
  Answer([&](TForm* form) {
    Choose(form, u"PrinterComboBox", PdfPrinterName);
    Choose(form, u"RangeComboBox", u"Pages");
    SetText(form, u"FromEdit", u"2");
    SetText(form, u"ToEdit", u"4");
    SetText(form, u"CopiesEdit", u"3");
    SetText(form, u"FileEdit", FromUtf8(out));
    Press(form, u"OKButton");
  });
  ASSERT_TRUE(dialog->Execute());
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(dialog->PrintRange(), prPageNums);
  EXPECT_EQ(dialog->FromPage(), 2);
  EXPECT_EQ(dialog->ToPage(), 4);
  EXPECT_EQ(dialog->Copies(), 3);
  EXPECT_TRUE(Printer()->IsPdfPrinter());
  EXPECT_EQ(Printer()->Copies(), 3);
  EXPECT_EQ(ToOsPath(Printer()->FileName()), out);

  Answer([&](TForm* form) {
    Choose(form, u"PrinterComboBox", u"Office Laser");
    Choose(form, u"RangeComboBox", u"Selection");
    Press(form, u"OKButton");
  });
  ASSERT_TRUE(dialog->Execute());
  EXPECT_EQ(dialog->PrintRange(), prSelection);
  EXPECT_EQ(Printer()->PrinterIndex(), 1);
  EXPECT_EQ(ToUtf8(Printer()->Printers()->Strings(1)), "Office Laser");
}

TEST_F(PrintDialogTest, InvalidNumbersKeepTheDialogOpen) {
  int turn = 0;
  Answer([&](TForm* form) {
    Choose(form, u"RangeComboBox", u"Pages");
    SetText(form, u"FromEdit", u"0");
    Press(form, u"OKButton");  // refused: below MinPage
    SetText(form, u"FromEdit", u"2");
    SetText(form, u"ToEdit", u"six");
    Press(form, u"OKButton");  // refused: not a number
    SetText(form, u"ToEdit", u"6");
    Press(form, u"OKButton");  // refused: above MaxPage
    SetText(form, u"ToEdit", u"5");
    SetText(form, u"CopiesEdit", u"0");
    Press(form, u"OKButton");  // refused: no copies
    EXPECT_EQ(form->ModalResult(), mrNone);
    SetText(form, u"CopiesEdit", u"1");
    ++turn;
    Press(form, u"OKButton");
  });
  ASSERT_TRUE(dialog->Execute());
  EXPECT_EQ(turn, 1);
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0], "Enter a page number between 1 and 5.");
  EXPECT_EQ(boxes[1], "Enter a page number between 1 and 5.");
  EXPECT_EQ(boxes[2], "Enter a page number between 1 and 5.");
  EXPECT_EQ(boxes[3], "Enter a number of copies between 1 and 9999.");
  EXPECT_EQ(dialog->FromPage(), 2);
  EXPECT_EQ(dialog->ToPage(), 5);
}

TEST_F(PrintDialogTest, AnExistingFileIsReplacedOnlyWhenTheUserSaysYes) {
  const String existing = home.dir().write("old.pdf", "keep me");
  Answer([&](TForm* form) {
    Choose(form, u"PrinterComboBox", PdfPrinterName);
    SetText(form, u"FileEdit", FromUtf8(ToOsPath(existing)));
    boxAnswers = {IDNO};
    Press(form, u"OKButton");
    EXPECT_EQ(form->ModalResult(), mrNone);
    boxAnswers = {IDYES};
    Press(form, u"OKButton");
  });
  ASSERT_TRUE(dialog->Execute());
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[0].find("already exists"), std::string::npos) << boxes[0];
  EXPECT_EQ(Printer()->FileName(), existing);
  EXPECT_EQ(home.dir().read("old.pdf"), "keep me") << "the dialog itself writes nothing";
}

TEST_F(PrintDialogTest, TheDefaultFileIsANewOneInTheDocumentsFolder) {
  const String first = NewDocumentFileName(u"Document");
  EXPECT_EQ(ExtractFileName(first), u"Document.pdf");
  ASSERT_TRUE(ForceDirectories(ExtractFileDir(first)));
  ASSERT_TRUE(WriteFileReplacing(first, "x"));
  const String second = NewDocumentFileName(u"Document");
  EXPECT_EQ(ExtractFileName(second), u"Document (2).pdf");
  EXPECT_EQ(ExtractFileDir(second), ExtractFileDir(first));

  String offered;
  Answer([&](TForm* form) {
    Choose(form, u"PrinterComboBox", PdfPrinterName);
    offered = Get<TEdit>(form, u"FileEdit")->Text();
    Press(form, u"OKButton");
  });
  ASSERT_TRUE(dialog->Execute());
  EXPECT_EQ(FromOsPath(ToUtf8(offered)), second);
  EXPECT_TRUE(boxes.empty()) << "a new file needs no question";
}

TEST_F(PrintDialogTest, AMissingFolderIsRefused) {
  Answer([&](TForm* form) {
    Choose(form, u"PrinterComboBox", PdfPrinterName);
    SetText(form, u"FileEdit", FromUtf8(home.dir().os() + "/no/such/folder/x.pdf"));
    Press(form, u"OKButton");
    Press(form, u"CancelButton");
  });
  EXPECT_FALSE(dialog->Execute());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("does not exist"), std::string::npos) << boxes[0];
}

}  // namespace

// A print server slow to answer: the dialog opens without waiting for it and says so; one that
// answers later is asked again when the dialog opens next, and its default is offered then.
TEST_F(PrintDialogTest, ASlowPrintServerIsNamedAndItsDefaultOfferedOnceItAnswers) {
  auto gate = std::make_shared<PrintServerGate>();
  ScopeGuard released([gate] { gate->Release(); });
  SetPrinterDriverForTesting(std::make_unique<HeldPrinterDriver>(
      std::vector<TPrinterDevice>{FakePrinter(u"Office Laser", 300, 2400, 3150, true)}, gate));
  EXPECT_EQ(Printer()->PageWidth(), Printer()->PageWidth());  // measured on the PDF printer
  EXPECT_EQ(Printer()->PrinterIndex(), 0);
  std::vector<std::string> printers;
  std::string line, chosen;
  bool lineShown = false;
  auto look = [&](TForm* form) {
    auto* p = Get<TComboBox>(form, u"PrinterComboBox");
    printers.clear();
    for (int i = 0; i < p->Items()->Count(); ++i)
      printers.push_back(ToUtf8(p->Items()->Strings(i)));
    chosen = ToUtf8(p->Text());
    auto* l = Get<TLabel>(form, u"ServerLabel");
    line = ToUtf8(l->Caption());
    lineShown = l->Visible();
    Press(form, u"CancelButton");
  };
  Answer(look);
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(dialog->Execute());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(printers, (std::vector<std::string>{"Print to PDF"}));
  EXPECT_TRUE(lineShown);
  EXPECT_NE(line.find("print server has not answered"), std::string::npos) << line;

  gate->Release();
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(printers, (std::vector<std::string>{"Print to PDF", "Office Laser"}));
  EXPECT_FALSE(lineShown) << line;
  EXPECT_EQ(chosen, "Office Laser") << "the server's default, though the page was measured on PDF";
  EXPECT_EQ(Printer()->PrinterIndex(), 0) << "Cancel changes no printer";
}

TEST_F(PrintDialogTest, AnUnreachablePrintServerIsNamed) {
  auto driver = std::make_unique<FakePrinterDriver>(std::vector<TPrinterDevice>{});
  driver->state()->down = true;
  SetPrinterDriverForTesting(std::move(driver));
  std::string line;
  Answer([&](TForm* form) {
    auto* l = Get<TLabel>(form, u"ServerLabel");
    if (l->Visible()) line = ToUtf8(l->Caption());
    Press(form, u"CancelButton");
  });
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(line, "the print server is down");
}
