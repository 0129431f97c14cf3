#include "Printers.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "Exceptions.h"
#include "Files.h"
#include "ShellFolders.h"

const Char* const PdfPrinterName = u"Print to PDF";

namespace {

constexpr int kPdfDpi = 600;
constexpr int kPdfMargin = 150;  // a quarter of an inch

String Quoted(const String& s) { return u"\"" + s + u"\""; }

// ---- Drivers ----

class HostPrinterDriver : public TPrinterDriver {
 public:
  std::vector<TPrinterDevice> Printers() override {
    std::vector<TPrinterDevice> out;
    String error;
    for (GdiPrinterInfo& info : GdiEnumPrinters(&error))
      out.push_back(TPrinterDevice{std::move(info.name), info.isDefault, info.device});
    if (out.empty() && !error.empty()) throw EPrinter(error);
    return out;
  }
  bool MayWait() const override { return true; }
  void Submit(const String& printer, const GdiRecording& job, int copies,
              const String& title) override {
    SubmitRecordingToPrinter(printer, job, {}, copies, title);
  }
};

// Shared, so a lookup still running on its thread keeps the driver it asks.
std::shared_ptr<TPrinterDriver>& DriverSlot() {
  static auto* slot = new std::shared_ptr<TPrinterDriver>();
  return *slot;
}

const std::shared_ptr<TPrinterDriver>& Driver() {
  auto& slot = DriverSlot();
  if (!slot) slot = CreateHostPrinterDriver();
  return slot;
}

// Never destroyed: it holds device contexts, which must not outlive the graphics layer.
TPrinter*& GlobalPrinter() {
  static TPrinter* printer = nullptr;
  return printer;
}

bool ValidDevice(const GdiDeviceInfo& d) {
  return d.dpiX > 0 && d.dpiY > 0 && d.width > 0 && d.height > 0;
}

bool SameDevice(const GdiDeviceInfo& a, const GdiDeviceInfo& b) {
  return a.dpiX == b.dpiX && a.dpiY == b.dpiY && a.width == b.width && a.height == b.height &&
         a.physicalWidth == b.physicalWidth && a.physicalHeight == b.physicalHeight &&
         a.offsetX == b.offsetX && a.offsetY == b.offsetY && a.technology == b.technology &&
         a.bitsPerPixel == b.bitsPerPixel;
}

GdiDeviceInfo Oriented(GdiDeviceInfo d, TPrinterOrientation orientation) {
  if (orientation == poLandscape) {
    std::swap(d.dpiX, d.dpiY);
    std::swap(d.width, d.height);
    std::swap(d.physicalWidth, d.physicalHeight);
    std::swap(d.offsetX, d.offsetY);
  }
  return d;
}

bool TerritoryUsesLetter(const std::string& locale) {
  std::size_t under = locale.find('_');
  if (under == std::string::npos) return false;
  std::string territory = locale.substr(under + 1);
  territory = territory.substr(0, territory.find_first_of(".@"));
  for (char& c : territory) c = char(std::toupper(static_cast<unsigned char>(c)));
  static const char* const letter[] = {"US", "CA", "MX", "PR", "PH", "CL", "CO",
                                       "CR", "GT", "NI", "PA", "SV", "VE", "DO"};
  return std::any_of(std::begin(letter), std::end(letter),
                     [&](const char* t) { return territory == t; });
}

// A title as a file name: no path delimiters or control characters.
String FileNameFrom(const String& title) {
  String s = Trim(title);
  for (Char& c : s)
    if (c == u'/' || c == u'\\' || c < 0x20) c = u'_';
  if (s.size() > 200) s.resize(200);
  while (!s.empty() && (s.back() == u'.' || s.back() == u' ')) s.pop_back();
  return s.empty() || s.front() == u'.' ? String(u"Document") + s : s;
}

}  // namespace

std::unique_ptr<TPrinterDriver> CreateHostPrinterDriver() {
  return std::make_unique<HostPrinterDriver>();
}

void SetPrinterDriverForTesting(std::unique_ptr<TPrinterDriver> driver) {
  TPrinter* printer = GlobalPrinter();
  if (printer && printer->Printing()) printer->Abort();
  DriverSlot() = std::move(driver);
  if (printer) printer->Refresh();
}

bool LocaleUsesLetterPaper() {
  for (const char* name : {"LC_ALL", "LC_PAPER", "LANG"}) {
    const char* v = std::getenv(name);
    if (v && *v) return TerritoryUsesLetter(v);
  }
  return false;
}

GdiDeviceInfo PdfPrinterDevice() {
  GdiDeviceInfo d;
  d.dpiX = d.dpiY = kPdfDpi;
  bool letter = LocaleUsesLetterPaper();
  d.physicalWidth = letter ? 5100 : 4961;  // 8.5 x 11 inches; 210 x 297 mm
  d.physicalHeight = letter ? 6600 : 7016;
  d.offsetX = d.offsetY = kPdfMargin;
  d.width = d.physicalWidth - 2 * kPdfMargin;
  d.height = d.physicalHeight - 2 * kPdfMargin;
  return d;
}

void RenderRecordingToPdf(const GdiRecording& recording, const std::vector<int>& pages, int copies,
                          const String& fileName, const String& title) {
  GdiPrintToFile(recording, pages, copies, fileName, title);
}

void SubmitRecordingToPrinter(const String& printerName, const GdiRecording& recording,
                              const std::vector<int>& pages, int copies, const String& title) {
  GdiPrintToQueue(printerName, recording, pages, copies, title);
}

// ---- The printer object ----

// Its device context comes from the printer; its font follows the printer's resolution.
class TPrinter::PrinterCanvas : public TCanvas {
 public:
  explicit PrinterCanvas(TPrinter* printer) : printer_(printer) {}
  String ClassName() const override { return u"TPrinterCanvas"; }
  HDC Attached() const { return AttachedHandle(); }
  // Keeps the font's point size over a change of resolution.
  void MatchResolution(int dpi) {
    if (dpi <= 0 || Font()->PixelsPerInch() == dpi) return;
    int size = Font()->Size();
    Font()->SetPixelsPerInch(dpi);
    Font()->SetSize(size);
  }

 protected:
  void CreateHandle() override {
    HDC dc = printer_->Handle();
    MatchResolution(GetDeviceCaps(dc, LOGPIXELSY));
    SetHandle(dc);
  }

 private:
  TPrinter* printer_;
};

TPrinter::TPrinter()
    : names_(std::make_unique<TStringList>()), canvas_(std::make_unique<PrinterCanvas>(this)) {}

TPrinter::~TPrinter() {
  canvas_->SetHandle(0);
  if (jobDC_) {
    ::AbortDoc(jobDC_);
    DeleteDC(jobDC_);
  }
  if (infoDC_) DeleteDC(infoDC_);
}

String TPrinter::ClassName() const { return u"TPrinter"; }

// One asking of the driver; the thread that asks fills it in, the printer object takes it.
struct TPrinter::Lookup {
  std::mutex mutex;
  std::condition_variable answered;
  bool done = false;
  std::vector<TPrinterDevice> devices;
  String problem;

  void Run(TPrinterDriver& driver) {
    std::vector<TPrinterDevice> found;
    String why;
    try {
      found = driver.Printers();
    } catch (const Exception& e) {
      why = e.Message();
    } catch (...) {
      why = u"The printers cannot be listed";
    }
    std::lock_guard<std::mutex> lock(mutex);
    devices = std::move(found);
    problem = std::move(why);
    done = true;
    answered.notify_all();
  }
};

void TPrinter::EnsureLoaded() {
  if (!loaded_) {
    devices_.assign(1, TPrinterDevice{PdfPrinterName, false, PdfPrinterDevice()});
    names_->Clear();
    names_->Add(PdfPrinterName);
    loaded_ = true;
  }
  // A driver that answers at once is asked at once; one that may wait only when the list is
  // wanted (StartLookup), so measuring on the default never starts a print server's lookup.
  if (!asked_ && !Driver()->MayWait()) StartLookup();
  TakeLookup();
}

void TPrinter::StartLookup() {
  asked_ = true;
  std::shared_ptr<TPrinterDriver> driver = Driver();
  auto lookup = std::make_shared<Lookup>();
  lookup_ = lookup;
  if (!driver->MayWait()) {
    lookup->Run(*driver);
    TakeLookup();
    return;
  }
  // Detached: a server that never answers must not hold the program's end either.
  std::thread([driver, lookup] { lookup->Run(*driver); }).detach();
}

bool TPrinter::TakeLookup() {
  if (!lookup_) return true;
  if (Printing()) return false;  // the job's printer index must stay valid until it ends
  std::vector<TPrinterDevice> found;
  {
    std::lock_guard<std::mutex> lock(lookup_->mutex);
    if (!lookup_->done) return false;
    found = std::move(lookup_->devices);
    problem_ = std::move(lookup_->problem);
  }
  lookup_.reset();
  String selected = index_ >= 0 ? devices_[std::size_t(index_)].name : String();
  devices_.resize(1);
  for (TPrinterDevice& d : found)
    if (ValidDevice(d.device) && !d.name.empty()) devices_.push_back(std::move(d));
  names_->Clear();
  for (const TPrinterDevice& d : devices_) names_->Add(d.name);
  if (index_ >= 0) {
    // The selection follows its printer by name; one that went away leaves the default.
    index_ = -1;
    for (std::size_t i = 0; i < devices_.size(); ++i)
      if (devices_[i].name == selected) index_ = int(i);
    if (index_ < 0) chosen_ = false;
  }
  return true;
}

void TPrinter::Refresh() {
  CheckPrinting(false);
  ReleaseInfoDC();
  index_ = -1;
  chosen_ = false;
  problem_.clear();
  asked_ = false;
  loaded_ = false;  // until the driver answers again, its earlier list may no longer hold
  lookup_.reset();
  EnsureLoaded();
  if (!asked_) StartLookup();
}

bool TPrinter::AwaitPrinters(int timeoutMs, bool again) {
  EnsureLoaded();
  if (!asked_ || (again && !lookup_ && !Printing())) StartLookup();
  if (lookup_ && !Printing()) {
    std::unique_lock<std::mutex> lock(lookup_->mutex);
    lookup_->answered.wait_for(lock, std::chrono::milliseconds(std::max(timeoutMs, 0)),
                               [this] { return lookup_->done; });
  }
  return TakeLookup();
}

String TPrinter::PrintersProblem() {
  EnsureLoaded();
  if (lookup_) return u"The print server has not answered yet; its printers are not listed";
  return problem_;
}

TStrings* TPrinter::Printers() {
  EnsureLoaded();
  if (!asked_) StartLookup();
  return names_.get();
}

int TPrinter::DefaultPrinterIndex() {
  EnsureLoaded();
  for (std::size_t i = 1; i < devices_.size(); ++i)
    if (devices_[i].isDefault) return int(i);
  return 0;
}

int TPrinter::PrinterIndex() {
  EnsureLoaded();
  return index_ >= 0 ? index_ : DefaultPrinterIndex();
}

void TPrinter::SetPrinterIndex(int index) {
  CheckPrinting(false);
  EnsureLoaded();
  if (index < -1 || index >= int(devices_.size())) throw EPrinter("Printer selected is not valid");
  index_ = index;
  chosen_ = index >= 0;
  ReleaseInfoDC();
}

void TPrinter::Pin() {
  if (index_ < 0) index_ = PrinterIndex();
}

bool TPrinter::IsPdfPrinter() { return PrinterIndex() == 0; }

void TPrinter::SetOrientation(TPrinterOrientation orientation) {
  orientation_ = orientation == poPortrait ? poPortrait : poLandscape;
  if (!Printing()) ReleaseInfoDC();  // the canvas measures on the new page from now on
}

void TPrinter::CheckPrinting(bool printing) const {
  if (Printing() == printing) return;
  if (printing) throw EPrinter("Printer is not currently printing");
  throw EPrinter("Printing in progress");
}

GdiDeviceInfo TPrinter::CurrentDevice() {
  Pin();  // a page measured on the default stays that printer's
  int index = PrinterIndex();
  return Oriented(devices_[std::size_t(index)].device, orientation_);
}

void TPrinter::ReleaseInfoDC() {
  if (!infoDC_) return;
  if (canvas_->Attached() == infoDC_) canvas_->SetHandle(0);
  DeleteDC(infoDC_);
  infoDC_ = 0;
}

HDC TPrinter::Handle() {
  if (jobDC_) return jobDC_;
  GdiDeviceInfo device = CurrentDevice();
  if (infoDC_ && SameDevice(device, infoDevice_)) return infoDC_;
  ReleaseInfoDC();
  infoDC_ = GdiCreateRecordingDC(device);
  if (!infoDC_)
    throw EPrinter(u"The printer " + Quoted(devices_[std::size_t(PrinterIndex())].name) +
                   u" cannot be opened");
  infoDevice_ = device;
  return infoDC_;
}

TCanvas* TPrinter::Canvas() {
  // Set at once, so a size given before the first drawing is already in printer pixels.
  canvas_->MatchResolution(jobDC_ ? GetDeviceCaps(jobDC_, LOGPIXELSY) : CurrentDevice().dpiY);
  return canvas_.get();
}

int TPrinter::PageWidth() { return GetDeviceCaps(Handle(), HORZRES); }

int TPrinter::PageHeight() { return GetDeviceCaps(Handle(), VERTRES); }

void TPrinter::BeginDoc() {
  CheckPrinting(false);
  int index = PrinterIndex();
  GdiDeviceInfo device = CurrentDevice();
  HDC dc = GdiCreateRecordingDC(device);
  DOCINFOW doc;
  doc.lpszDocName = title_.c_str();
  if (!dc || ::StartDocW(dc, &doc) <= 0 || ::StartPage(dc) <= 0) {
    if (dc) DeleteDC(dc);
    throw EPrinter(u"The printer " + Quoted(devices_[std::size_t(index)].name) +
                   u" cannot start a job");
  }
  canvas_->SetHandle(0);
  jobDC_ = dc;
  jobIndex_ = index;
  aborted_ = false;
  pageNumber_ = 1;
}

void TPrinter::NewPage() {
  CheckPrinting(true);
  ::EndPage(jobDC_);
  ::StartPage(jobDC_);
  canvas_->SetHandle(0);  // selected afresh on the new page
  ++pageNumber_;
}

void TPrinter::EndDoc() {
  CheckPrinting(true);
  ::EndPage(jobDC_);
  ::EndDoc(jobDC_);
  GdiRecording job = GdiTakeRecording(jobDC_);
  canvas_->SetHandle(0);
  DeleteDC(jobDC_);
  jobDC_ = 0;
  pageNumber_ = 0;
  aborted_ = false;
  String file = std::move(fileName_);
  fileName_.clear();
  const TPrinterDevice& target = devices_[std::size_t(jobIndex_)];
  if (jobIndex_ == 0) {
    if (file.empty()) file = OutputFileName();
    RenderRecordingToPdf(job, {}, copies_, file, title_);
    lastFileName_ = file;
  } else {
    Driver()->Submit(target.name, job, copies_, title_);
  }
}

void TPrinter::Abort() {
  CheckPrinting(true);
  ::AbortDoc(jobDC_);
  canvas_->SetHandle(0);
  DeleteDC(jobDC_);
  jobDC_ = 0;
  pageNumber_ = 0;
  aborted_ = true;
}

String TPrinter::OutputFileName() {
  Char folder[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(0, folder, CSIDL_PERSONAL, TRUE))
    throw EPrinter("The documents folder cannot be found or created for the PDF output");
  String dir = IncludeTrailingPathDelimiter(String(folder));
  String stem = dir + FileNameFrom(title_.empty() ? String(u"Document") : title_);
  String name = stem + u".pdf";
  for (int n = 2; FileExists(name); ++n) name = stem + u" (" + IntToStr(n) + u").pdf";
  return name;
}

TPrinter* Printer() {
  TPrinter*& printer = GlobalPrinter();
  if (!printer) printer = new TPrinter;
  return printer;
}

std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> printer) {
  std::unique_ptr<TPrinter> old(GlobalPrinter());
  GlobalPrinter() = printer.release();
  return old;
}
