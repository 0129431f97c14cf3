#include "PrintDialogs.h"

#include "Files.h"
#include "Forms.h"
#include "Numbers.h"
#include "Printers.h"
#include "ScopeGuard.h"
#include "ShellFolders.h"
#include "StdCtrls.h"
#include "TypInfo.h"

namespace {

constexpr int kMaxCopies = 9999;
// How long opening the dialog waits for the print server's printers: a server on this machine
// answers in a few milliseconds; one that takes longer is shown as slow, not waited for.
constexpr int kServerWaitMs = 400;

const Char* const kAllPages = u"All pages";
const Char* const kPageRange = u"Pages";
const Char* const kSelection = u"Selection";

int Ask(HWND owner, const String& text, UINT flags) {
  return MessageBoxW(owner, text.c_str(), u"Print", flags);
}

}  // namespace

String NewDocumentFileName(const String& base) {
  Char folder[MAX_PATH] = {};
  String dir;
  if (SHGetSpecialFolderPathW(0, folder, CSIDL_PERSONAL, TRUE)) dir = folder;
  dir = IncludeTrailingPathDelimiter(dir.empty() ? GetCurrentDir() : dir);
  String name = dir + base + u".pdf";
  for (int n = 2; FileExists(name); ++n) name = dir + base + u" (" + IntToStr(n) + u").pdf";
  return name;
}

// ---- The dialog's form ----

class TPrintDialog::DialogForm : public TForm {
 public:
  explicit DialogForm(TComponent* owner) : TForm(owner) {}
  String ClassName() const override { return u"TPrintDialogForm"; }

  void Build(TPrintDialog* dialog);

  TComboBox* PrinterComboBox = nullptr;
  TComboBox* RangeComboBox = nullptr;
  TEdit* FromEdit = nullptr;
  TEdit* ToEdit = nullptr;
  TEdit* CopiesEdit = nullptr;
  TEdit* FileEdit = nullptr;
  TLabel* FileLabel = nullptr;
  TLabel* ServerLabel = nullptr;
  TButton* OKButton = nullptr;
  TButton* CancelButton = nullptr;

  // What OK accepted.
  String printerName;
  TPrintRange range = prAllPages;
  int fromPage = 0;
  int toPage = 0;
  int copies = 1;
  String fileName;

 private:
  template <class T>
  T* Add(const Char* name, int left, int top, int width, int height) {
    T* c = new T(this);
    c->SetName(name);
    c->SetBounds(left, top, width, height);
    c->SetParent(this);
    return c;
  }
  TLabel* AddLabel(const Char* name, const Char* caption, int left, int top);
  void PrinterChange(TObject*);
  void RangeChange(TObject*);
  void OKClick(TObject*);
  bool ReadPage(TEdit* edit, int& page);
  void Refuse(TWinControl* control, const String& text);
  TPrintRange Range() const;
  // The output file is asked for the PDF printer alone, when printing to a file is offered.
  bool FileOffered() const;

  TPrintDialog* dialog_ = nullptr;
  std::vector<TPrintRange> ranges_;  // what each item of RangeComboBox stands for
};

TLabel* TPrintDialog::DialogForm::AddLabel(const Char* name, const Char* caption, int left,
                                           int top) {
  TLabel* l = Add<TLabel>(name, left, top + 3, 74, 16);
  // A fixed size, set again: while it sized itself the empty caption left it no width.
  l->SetAutoSize(false);
  l->SetBounds(left, top + 3, 74, 16);
  l->SetCaption(caption);
  return l;
}

void TPrintDialog::DialogForm::Build(TPrintDialog* dialog) {
  dialog_ = dialog;
  SetCaption(u"Print");
  SetBorderStyle(bsDialog);
  SetBorderIcons(TBorderIcons{biSystemMenu});
  SetPosition(poScreenCenter);
  SetClientWidth(372);
  SetClientHeight(212);
  Font()->SetName(u"MS Sans Serif");
  Font()->SetHeight(-11);

  TPrinter* printer = Printer();
  printer->AwaitPrinters(kServerWaitMs, true);
  AddLabel(u"PrinterLabel", u"Printer:", 12, 14);
  PrinterComboBox = Add<TComboBox>(u"PrinterComboBox", 92, 14, 268, 21);
  PrinterComboBox->SetStyle(csDropDownList);
  PrinterComboBox->Items()->AddStrings(printer->Printers());
  // A printer only measured on, before the server named its default, is not the user's choice.
  PrinterComboBox->SetItemIndex(printer->PrinterChosen() ? printer->PrinterIndex()
                                                         : printer->DefaultPrinterIndex());
  PrinterComboBox->OnChange = [this](TObject* s) { PrinterChange(s); };

  AddLabel(u"RangeLabel", u"Print range:", 12, 44);
  RangeComboBox = Add<TComboBox>(u"RangeComboBox", 92, 44, 120, 21);
  RangeComboBox->SetStyle(csDropDownList);
  ranges_ = {prAllPages};
  RangeComboBox->Items()->Add(kAllPages);
  if (dialog->Options().Contains(poPageNums)) {
    ranges_.push_back(prPageNums);
    RangeComboBox->Items()->Add(kPageRange);
  }
  if (dialog->Options().Contains(poSelection)) {
    ranges_.push_back(prSelection);
    RangeComboBox->Items()->Add(kSelection);
  }
  int rangeIndex = 0;
  for (std::size_t i = 0; i < ranges_.size(); ++i)
    if (ranges_[i] == dialog->PrintRange()) rangeIndex = static_cast<int>(i);
  RangeComboBox->SetItemIndex(rangeIndex);
  RangeComboBox->OnChange = [this](TObject* s) { RangeChange(s); };

  AddLabel(u"FromLabel", u"From:", 12, 74);
  FromEdit = Add<TEdit>(u"FromEdit", 92, 74, 50, 21);
  FromEdit->SetText(IntToStr(dialog->FromPage()));
  Add<TLabel>(u"ToLabel", 156, 77, 24, 16)->SetCaption(u"To:");
  ToEdit = Add<TEdit>(u"ToEdit", 184, 74, 50, 21);
  ToEdit->SetText(IntToStr(dialog->ToPage()));

  AddLabel(u"CopiesLabel", u"Copies:", 12, 104);
  CopiesEdit = Add<TEdit>(u"CopiesEdit", 92, 104, 50, 21);
  CopiesEdit->SetText(IntToStr(dialog->Copies() < 1 ? 1 : dialog->Copies()));

  FileLabel = AddLabel(u"FileLabel", u"Output file:", 12, 134);
  FileEdit = Add<TEdit>(u"FileEdit", 92, 134, 268, 21);
  String file = dialog->FileName();
  if (file.empty() || FileExists(file))
    file = NewDocumentFileName(printer->Title().empty() ? String(u"Document") : printer->Title());
  FileEdit->SetText(FromUtf8(ToOsPath(file)));

  // Between the file and the buttons: why the print server's printers are missing.
  ServerLabel = Add<TLabel>(u"ServerLabel", 12, 159, 348, 14);
  ServerLabel->SetAutoSize(false);
  ServerLabel->SetBounds(12, 159, 348, 14);
  ServerLabel->SetCaption(printer->PrintersProblem());
  ServerLabel->SetVisible(!ServerLabel->Caption().empty());

  OKButton = Add<TButton>(u"OKButton", 204, 176, 75, 25);
  OKButton->SetCaption(u"OK");
  OKButton->SetDefault(true);
  OKButton->OnClick = [this](TObject* s) { OKClick(s); };
  CancelButton = Add<TButton>(u"CancelButton", 285, 176, 75, 25);
  CancelButton->SetCaption(u"Cancel");
  CancelButton->SetCancel(true);
  CancelButton->SetModalResult(mrCancel);

  int tab = 0;
  for (TWinControl* c :
       std::initializer_list<TWinControl*>{PrinterComboBox, RangeComboBox, FromEdit, ToEdit,
                                           CopiesEdit, FileEdit, OKButton, CancelButton}) {
    c->SetTabStop(true);
    c->SetTabOrder(tab++);
  }
  SetActiveControl(PrinterComboBox);
  PrinterChange(nullptr);
  RangeChange(nullptr);
}

TPrintRange TPrintDialog::DialogForm::Range() const {
  int i = RangeComboBox->ItemIndex();
  return i >= 0 && i < static_cast<int>(ranges_.size()) ? ranges_[static_cast<std::size_t>(i)]
                                                        : prAllPages;
}

bool TPrintDialog::DialogForm::FileOffered() const {
  return PrinterComboBox->Text() == PdfPrinterName && dialog_->Options().Contains(poPrintToFile);
}

void TPrintDialog::DialogForm::PrinterChange(TObject*) {
  const bool offered = FileOffered();
  FileEdit->SetEnabled(offered && !dialog_->Options().Contains(poDisablePrintToFile));
  FileEdit->SetVisible(offered);
  FileLabel->SetVisible(offered);
}

void TPrintDialog::DialogForm::RangeChange(TObject*) {
  const bool pages = Range() == prPageNums;
  FromEdit->SetEnabled(pages);
  ToEdit->SetEnabled(pages);
}

void TPrintDialog::DialogForm::Refuse(TWinControl* control, const String& text) {
  Ask(Handle(), text, MB_OK | MB_ICONWARNING);
  if (control->CanFocus()) control->SetFocus();
}

bool TPrintDialog::DialogForm::ReadPage(TEdit* edit, int& page) {
  if (TryStrToInt(Trim(edit->Text()), page) && page >= dialog_->MinPage() &&
      page <= dialog_->MaxPage())
    return true;
  Refuse(edit, Format(u"Enter a page number between %d and %d.",
                      {std::int64_t(dialog_->MinPage()), std::int64_t(dialog_->MaxPage())}));
  return false;
}

void TPrintDialog::DialogForm::OKClick(TObject*) {
  const TPrintRange r = Range();
  int from = dialog_->FromPage();
  int to = dialog_->ToPage();
  if (r == prPageNums && (!ReadPage(FromEdit, from) || !ReadPage(ToEdit, to))) return;
  int n = 0;
  if (!TryStrToInt(Trim(CopiesEdit->Text()), n) || n < 1 || n > kMaxCopies) {
    Refuse(CopiesEdit,
           Format(u"Enter a number of copies between 1 and %d.", {std::int64_t(kMaxCopies)}));
    return;
  }
  String file;
  if (FileOffered()) {
    const String text = Trim(FileEdit->Text());
    if (text.empty()) {
      Refuse(FileEdit, u"Enter the name of the file to print to.");
      return;
    }
    file = FromOsPath(ToUtf8(text));
    if (ExtractFileName(file).empty()) {
      Refuse(FileEdit, Format(u"\"%s\" is not a file name.", {text}));
      return;
    }
    const String dir = ExtractFileDir(file);
    if (!dir.empty() && !DirectoryExists(dir)) {
      Refuse(FileEdit, Format(u"The folder \"%s\" does not exist.", {FromUtf8(ToOsPath(dir))}));
      return;
    }
    if (DirectoryExists(file)) {
      Refuse(FileEdit, Format(u"\"%s\" is a folder.", {text}));
      return;
    }
    if (FileExists(file) &&
        Ask(Handle(), Format(u"%s already exists.\nDo you want to replace it?", {text}),
            MB_YESNO | MB_ICONWARNING) != IDYES) {
      if (FileEdit->CanFocus()) FileEdit->SetFocus();
      return;
    }
  }
  printerName = PrinterComboBox->Text();
  range = r;
  fromPage = from;
  toPage = to;
  copies = n;
  fileName = file;
  SetModalResult(mrOk);
}

// ---- TPrintDialog ----

TPrintDialog::TPrintDialog(TComponent* owner) : TComponent(owner) {}

TPrintDialog::~TPrintDialog() = default;

String TPrintDialog::ClassName() const { return u"TPrintDialog"; }

bool TPrintDialog::Execute() {
  TPrinter* printer = Printer();
  TCustomForm* active = Screen->ActiveForm();
  HWND owner = active && active->HandleAllocated() ? active->Handle() : 0;
  if (printer->Printers()->Count() == 0) {
    if (options_.Contains(poWarning))
      Ask(owner, u"No printers are installed. Install a printer and try again.",
          MB_OK | MB_ICONWARNING);
    return false;
  }
  std::unique_ptr<DialogForm> form(CreateBareForm<DialogForm>(nullptr));
  form->Build(this);
  form_ = form.get();
  TModalResult result;
  {
    ScopeGuard closed([this] { form_ = nullptr; });
    result = form->ShowModal();
  }
  if (result != mrOk) return false;
  printRange_ = form->range;
  fromPage_ = form->fromPage;
  toPage_ = form->toPage;
  copies_ = form->copies;
  // By name: the list may have grown while the dialog was open.
  int index = printer->Printers()->IndexOf(form->printerName);
  if (index >= 0) printer->SetPrinterIndex(index);
  printer->SetCopies(copies_);
  if (printer->IsPdfPrinter()) {
    fileName_ = form->fileName;
    printer->SetFileName(fileName_);
  }
  return true;
}

// ---- Published ----

const TTypeInfo* TypeInfoTPrintDialogOption() {
  static const TTypeInfo t = TTypeInfo::Enumeration(
      u"TPrintDialogOption", {u"poPrintToFile", u"poPageNums", u"poSelection", u"poWarning",
                              u"poHelp", u"poDisablePrintToFile"});
  return &t;
}

const TTypeInfo* TypeInfoTPrintDialogOptions() {
  static const TTypeInfo t = TTypeInfo::Set(u"TPrintDialogOptions", TypeInfoTPrintDialogOption());
  return &t;
}

const TTypeInfo* TypeInfoTPrintRange() {
  static const TTypeInfo t =
      TTypeInfo::Enumeration(u"TPrintRange", {u"prAllPages", u"prSelection", u"prPageNums"});
  return &t;
}

void RegisterPrintDialogClasses() {
  static const bool registered = [] {
    Published<TPrintDialog>(u"TPrintDialog", u"TComponent")
        .Creatable()
        .Int(u"Copies", &TPrintDialog::Copies, &TPrintDialog::SetCopies, 1)
        .Ord(u"Options", TypeInfoTPrintDialogOptions(), &TPrintDialog::Options,
             &TPrintDialog::SetOptions, TPrintDialogOptions())
        .Int(u"MinPage", &TPrintDialog::MinPage, &TPrintDialog::SetMinPage, 0)
        .Int(u"MaxPage", &TPrintDialog::MaxPage, &TPrintDialog::SetMaxPage, 0)
        .Int(u"FromPage", &TPrintDialog::FromPage, &TPrintDialog::SetFromPage, 0)
        .Int(u"ToPage", &TPrintDialog::ToPage, &TPrintDialog::SetToPage, 0)
        .Ord(u"PrintRange", TypeInfoTPrintRange(), &TPrintDialog::PrintRange,
             &TPrintDialog::SetPrintRange, prAllPages);
    return true;
  }();
  (void)registered;
}
