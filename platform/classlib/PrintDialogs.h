#pragma once
// The print dialog: a modal form of our own built from the standard controls. It lists the
// printers, offers all pages, a page range or the selection, the number of copies and, for the
// PDF printer, the output file; OK puts the choice into the printer object.
//
// The range is a drop-down list ("All pages", "Pages", "Selection"; the last two only with
// poPageNums and poSelection), since the library has no radio buttons. The from and to boxes
// take part only while "Pages" is chosen.
#include <cstdint>

#include "Components.h"
#include "Graphics.h"
#include "TypInfo.h"

class TForm;
class TComboBox;
class TEdit;
class TButton;
class TLabel;

enum TPrintDialogOption : std::uint8_t {
  poPrintToFile,
  poPageNums,
  poSelection,
  poWarning,
  poHelp,
  poDisablePrintToFile
};
using TPrintDialogOptions = TEnumSet<TPrintDialogOption>;
enum TPrintRange : std::uint8_t { prAllPages, prSelection, prPageNums };

class TPrintDialog : public TComponent {
 public:
  explicit TPrintDialog(TComponent* owner);
  ~TPrintDialog() override;
  String ClassName() const override;

  int Copies() const { return copies_; }
  void SetCopies(int copies) { copies_ = copies; }
  TPrintDialogOptions Options() const { return options_; }
  void SetOptions(TPrintDialogOptions options) { options_ = options; }
  int MinPage() const { return minPage_; }
  void SetMinPage(int page) { minPage_ = page; }
  int MaxPage() const { return maxPage_; }
  void SetMaxPage(int page) { maxPage_ = page; }
  int FromPage() const { return fromPage_; }
  void SetFromPage(int page) { fromPage_ = page; }
  int ToPage() const { return toPage_; }
  void SetToPage(int page) { toPage_ = page; }
  TPrintRange PrintRange() const { return printRange_; }
  void SetPrintRange(TPrintRange range) { printRange_ = range; }
  // The PDF printer's output file chosen last (also offered first next time when it does not
  // exist yet).
  const String& FileName() const { return fileName_; }
  void SetFileName(const String& fileName) { fileName_ = fileName; }

  // Shows the dialog modally. True on OK: Printer()'s PrinterIndex, Copies and (for the PDF
  // printer) FileName are set, and so are this dialog's fields. With poWarning and no printer
  // a warning is shown and the result is false. Opening it asks the print server for its
  // printers again and waits a moment for them; a server slow to answer or out of reach is
  // named on a line of the dialog (ServerLabel) instead of being waited for.
  bool Execute();

  // The dialog's form while Execute runs (nullptr otherwise), so tests can answer it. Its
  // controls are named PrinterComboBox, RangeComboBox, FromEdit, ToEdit, CopiesEdit, FileEdit,
  // ServerLabel, OKButton and CancelButton.
  TForm* Form() const { return form_; }

 private:
  class DialogForm;
  TForm* form_ = nullptr;
  int copies_ = 1;
  TPrintDialogOptions options_;
  int minPage_ = 0;
  int maxPage_ = 0;
  int fromPage_ = 0;
  int toPage_ = 0;
  TPrintRange printRange_ = prAllPages;
  String fileName_;
};

// A file in the documents folder that does not exist yet: "<base>.pdf", else "<base> (2).pdf"...
String NewDocumentFileName(const String& base);

const TTypeInfo* TypeInfoTPrintDialogOptions();
const TTypeInfo* TypeInfoTPrintRange();

void RegisterPrintDialogClasses();
