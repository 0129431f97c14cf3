#pragma once
// The printer object of the class library. A job is recorded on a recording device context at
// the printer's resolution and rendered only at EndDoc, as vector drawing, to a PDF file or to
// a CUPS queue; Abort discards it, so a job that only measures leaves nothing behind.
//
// The built-in "Print to PDF" printer is always first in the list: 600 pixels per inch, A4
// (4961 x 7016 pixels) or, where the locale's territory uses it, Letter (5100 x 6600), with a
// quarter-inch margin (150 pixels) on every side. It is the default unless CUPS names one.
//
// Nothing waits on the print server: a driver that may wait is asked on a thread of its own,
// and until it answers the list holds the PDF printer (and the printers found before). The
// printer a page was measured on stays selected (it is pinned by the measurement), so a default
// named later by the server never changes a measured page under the user; the print dialog
// then offers that default, and choosing it there is what changes the printer.
#include <memory>
#include <vector>

#include "Classes.h"
#include "GdiRecording.h"
#include "Graphics.h"

enum TPrinterOrientation : std::uint8_t { poPortrait, poLandscape };

extern const Char* const PdfPrinterName;  // "Print to PDF"

// One printer as a driver reports it; device is its portrait page.
struct TPrinterDevice {
  String name;
  bool isDefault = false;
  GdiDeviceInfo device;
};

// Where the printers other than the built-in one come from and where their jobs go.
class TPrinterDriver {
 public:
  virtual ~TPrinterDriver() = default;
  // May raise; a failure reads as no printers, its message as the reason.
  virtual std::vector<TPrinterDevice> Printers() = 0;
  // True when Printers() may wait on something outside the program (a print server): the
  // printer object then asks on a thread of its own, and only when the list is wanted.
  virtual bool MayWait() const { return false; }
  // Hands a finished job over (all its pages, copies as asked); raises EPrinter on failure.
  virtual void Submit(const String& printer, const GdiRecording& job, int copies,
                      const String& title) = 0;
};

// The CUPS queues, through the graphics layer.
std::unique_ptr<TPrinterDriver> CreateHostPrinterDriver();
// Replaces the driver (null: the host's again); the global printer, when it exists, aborts a
// job in progress and reads its printer list anew.
void SetPrinterDriverForTesting(std::unique_ptr<TPrinterDriver> driver);

// The paper of the PDF printer: Letter when the locale (LC_ALL, else LC_PAPER, else LANG)
// names a territory that uses it (US, CA, MX and a few more), else A4.
bool LocaleUsesLetterPaper();
GdiDeviceInfo PdfPrinterDevice();

class TPrinter : public TObject {
 public:
  TPrinter();
  ~TPrinter() override;
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;
  String ClassName() const override;

  // "Print to PDF" first, then the driver's printers as far as they are known; asks the driver
  // (without waiting for it) when it has not been asked yet.
  TStrings* Printers();
  // Reads the driver's printers again (until a driver that may wait answers, the list holds the
  // PDF printer alone); the selection returns to the default.
  void Refresh();
  // Waits at most timeoutMs for the driver's printers, asking it when it has not been asked
  // (or, with again, when no asking is under way); true when its answer is in the list.
  bool AwaitPrinters(int timeoutMs, bool again = false);
  // Why the list may lack the driver's printers: it has not answered yet, or could not list
  // them (the print server does not answer or cannot be reached). Empty when it is complete.
  String PrintersProblem();
  // The selected printer's index; setting -1 selects the default. EPrinter while printing or
  // for an index outside the list. Measuring or printing on the default selects it for good.
  int PrinterIndex();
  void SetPrinterIndex(int index);
  // The default printer's index: the driver's default when known, else the PDF printer.
  int DefaultPrinterIndex();
  // Whether a printer was chosen (SetPrinterIndex with an index), not just measured on.
  bool PrinterChosen() const { return chosen_; }
  bool IsPdfPrinter();

  // Swaps the page's width and height; a change while printing applies to the next job.
  TPrinterOrientation Orientation() const { return orientation_; }
  void SetOrientation(TPrinterOrientation orientation);

  // EPrinter("Printing in progress") when a job is open.
  void BeginDoc();
  // The next three raise EPrinter("Printer is not currently printing") without a job.
  void NewPage();
  // Renders the job: the PDF printer writes its file, another printer gets the job. The job is
  // closed first, so a failure (EPrinter) leaves the printer not printing.
  void EndDoc();
  // Discards the job: no file, nothing sent.
  void Abort();
  bool Printing() const { return jobDC_ != 0; }
  bool Aborted() const { return aborted_; }
  int PageNumber() const { return pageNumber_; }

  // Draws on the job while printing; measures on the printer otherwise. Its font's
  // PixelsPerInch is the printer's, so a 12-point font on a 600-dpi printer is 100 pixels high.
  TCanvas* Canvas();
  // The job's device context while printing, else one for measuring (the same capabilities).
  HDC Handle();
  // The printable area in device pixels.
  int PageWidth();
  int PageHeight();

  const String& Title() const { return title_; }
  void SetTitle(const String& title) { title_ = title; }
  int Copies() const { return copies_; }
  void SetCopies(int copies) { copies_ = copies < 1 ? 1 : copies; }
  // The PDF printer's output for the next job (the platform's path form). Empty: a new file
  // "<Title or Document>.pdf" in the documents folder, " (2)", " (3)" ... added rather than
  // overwrite an existing file. Cleared when a job ends.
  const String& FileName() const { return fileName_; }
  void SetFileName(const String& fileName) { fileName_ = fileName; }
  // The file the last job of the PDF printer wrote; empty when none.
  const String& LastFileName() const { return lastFileName_; }

 private:
  class PrinterCanvas;
  struct Lookup;
  void EnsureLoaded();
  void StartLookup();
  bool TakeLookup();
  void Pin();
  void CheckPrinting(bool printing) const;
  GdiDeviceInfo CurrentDevice();
  void ReleaseInfoDC();
  String OutputFileName();

  std::vector<TPrinterDevice> devices_;  // [0] is the PDF printer
  bool loaded_ = false;
  std::shared_ptr<Lookup> lookup_;  // the driver's answer being awaited
  bool asked_ = false;              // the driver was asked since the last Refresh
  String problem_;                  // why the last answer had no printers
  int index_ = -1;                  // into devices_; -1: not chosen yet (the default)
  bool chosen_ = false;
  TPrinterOrientation orientation_ = poPortrait;
  std::unique_ptr<TStringList> names_;
  std::unique_ptr<PrinterCanvas> canvas_;
  HDC infoDC_ = 0;
  GdiDeviceInfo infoDevice_;
  HDC jobDC_ = 0;
  int jobIndex_ = 0;
  bool aborted_ = false;
  int pageNumber_ = 0;
  String title_;
  int copies_ = 1;
  String fileName_;
  String lastFileName_;
};

// The global printer object, created on first use.
TPrinter* Printer();
// Installs another printer object and returns the previous one (either may be null).
std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> printer);

// Renders pages (1-based numbers; empty: all) of a recording, repeated for copies, as a vector
// PDF written through a temporary file beside fileName (the platform's path form). Raises
// EPrinter naming the file when it cannot be written; nothing half-written remains.
void RenderRecordingToPdf(const GdiRecording& recording, const std::vector<int>& pages, int copies,
                          const String& fileName, const String& title = String());
// Hands those pages to a CUPS queue. Raises EPrinter.
void SubmitRecordingToPrinter(const String& printerName, const GdiRecording& recording,
                              const std::vector<int>& pages, int copies, const String& title);
