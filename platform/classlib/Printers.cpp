#include "Printers.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "Exceptions.h"
#include "Files.h"
#include "HostPrinters.h"
#include "ShellFolders.h"

const Char* const PdfPrinterName = u"Print to PDF";

namespace {

constexpr int kPdfDpi = 600;
constexpr int kPdfMargin = 150;  // a quarter of an inch

String Quoted(const String& s) { return u"\"" + s + u"\""; }

// ---- Recordings as the host's drawing operations ----

// The binary raster operations a vector device can honour; false: nothing to draw.
bool ApplyRop2(int rop2, HostColor* color) {
  switch (rop2) {
    case R2_NOP: return false;
    case R2_BLACK: *color = 0; break;
    case R2_WHITE: *color = 0xFFFFFF; break;
    case R2_NOTCOPYPEN: *color = ~*color & 0xFFFFFF; break;
    default: break;  // the mixing ones draw as copies: a page has no destination to mix with
  }
  return true;
}

HostPen PenOf(const GdiRecordOp& op) {
  HostPen p;
  UINT style = op.pen.lopnStyle;
  UINT dash = style & PS_STYLE_MASK;
  p.visible = dash != PS_NULL;
  p.width = std::max(0, int(op.pen.lopnWidth.x));
  p.color = op.pen.lopnColor & 0xFFFFFF;
  switch (dash) {
    case PS_DASH: p.dash = HostDash::Dash; break;
    case PS_DOT: p.dash = HostDash::Dot; break;
    case PS_DASHDOT: p.dash = HostDash::DashDot; break;
    case PS_DASHDOTDOT: p.dash = HostDash::DashDotDot; break;
    case PS_ALTERNATE: p.dash = HostDash::Alternate; break;
    case PS_INSIDEFRAME: p.insideFrame = true; break;
    default: break;
  }
  switch (style & PS_ENDCAP_MASK) {
    case PS_ENDCAP_FLAT: p.cap = HostLineCap::Flat; break;
    case PS_ENDCAP_SQUARE: p.cap = HostLineCap::Square; break;
    default: p.cap = HostLineCap::Round; break;
  }
  switch (style & PS_JOIN_MASK) {
    case PS_JOIN_BEVEL: p.join = HostLineJoin::Bevel; break;
    case PS_JOIN_MITER: p.join = HostLineJoin::Miter; break;
    default: p.join = HostLineJoin::Round; break;
  }
  if (p.visible) p.visible = ApplyRop2(op.rop2, &p.color);
  return p;
}

HostBrush BrushOf(const GdiRecordOp& op, bool withRop2) {
  HostBrush b;
  b.visible = op.brush.lbStyle != BS_NULL;
  b.color = op.brush.lbColor & 0xFFFFFF;
  if (op.brush.lbStyle == BS_HATCHED) b.hatch = int(op.brush.lbHatch);
  if (b.visible && withRop2) b.visible = ApplyRop2(op.rop2, &b.color);
  return b;
}

// As the graphics layer realises fonts for measuring, so text lands where it was measured.
HostFontRequest FontOf(const LOGFONTW& lf) { return HostFontRequestOf(lf); }

HostDrawOp Shape(const GdiRecordOp& op, HostDrawKind kind) {
  HostDrawOp h;
  h.kind = kind;
  h.clip = op.clip;
  h.pen = PenOf(op);
  h.brush = BrushOf(op, true);
  return h;
}

HostDrawOp FillOf(const GdiRecordOp& op, const RECT& r, HostBrush brush) {
  HostDrawOp h;
  h.kind = HostDrawKind::Fill;
  h.clip = op.clip;
  h.rect = r;
  h.brush = brush;
  return h;
}

// Appends the host form of op; what a vector page cannot express (inverting blits) is left out.
void Convert(const GdiRecordOp& op, std::vector<HostDrawOp>& out) {
  bool drawable = op.rop2 != R2_NOP;
  switch (op.kind) {
    case GdiOpKind::StartPage: return;
    case GdiOpKind::Polyline: {
      if (!drawable) return;
      HostDrawOp h = Shape(op, HostDrawKind::Polyline);
      h.points = op.points;
      out.push_back(std::move(h));
      return;
    }
    case GdiOpKind::Polygon: {
      if (!drawable) return;
      HostDrawOp h = Shape(op, HostDrawKind::Polygon);
      h.points = op.points;
      h.winding = op.fillMode == WINDING;
      out.push_back(std::move(h));
      return;
    }
    case GdiOpKind::Rectangle:
    case GdiOpKind::Ellipse: {
      if (!drawable) return;
      HostDrawOp h =
          Shape(op, op.kind == GdiOpKind::Ellipse ? HostDrawKind::Ellipse : HostDrawKind::Rectangle);
      h.rect = op.rect;
      if (op.kind == GdiOpKind::Rectangle) h.corner = {op.srcRect.right, op.srcRect.bottom};
      out.push_back(std::move(h));
      return;
    }
    case GdiOpKind::FillRect: out.push_back(FillOf(op, op.rect, BrushOf(op, false))); return;
    case GdiOpKind::PatBlt: {
      HostBrush b = BrushOf(op, false);
      switch ((op.rop >> 16) & 0xFF) {
        case 0xF0: break;  // the brush
        case 0x00: b = HostBrush{true, 0, -1}; break;
        case 0xFF: b = HostBrush{true, 0xFFFFFF, -1}; break;
        default: return;
      }
      out.push_back(FillOf(op, op.rect, b));
      return;
    }
    case GdiOpKind::SetPixel: {
      if (op.points.empty()) return;
      POINT p = op.points[0];
      out.push_back(FillOf(op, RECT{p.x, p.y, p.x + 1, p.y + 1},
                           HostBrush{true, op.textColor & 0xFFFFFF, -1}));
      return;
    }
    case GdiOpKind::Text: {
      HostDrawOp h;
      h.kind = HostDrawKind::Text;
      h.clip = op.clip;
      h.points = op.points;
      h.rect = op.rect;
      h.font = FontOf(op.font);
      h.escapement = op.font.lfEscapement;
      h.text = op.text;
      h.dx = op.dx;
      h.textColor = op.textColor & 0xFFFFFF;
      h.bkColor = op.bkColor & 0xFFFFFF;
      h.opaqueCell = op.bkMode == OPAQUE;
      h.opaqueRect = (op.options & ETO_OPAQUE) != 0;
      h.clipRect = (op.options & ETO_CLIPPED) != 0;
      switch (op.align & (TA_RIGHT | TA_CENTER)) {
        case TA_CENTER: h.alignH = HostTextH::Centre; break;
        case TA_RIGHT: h.alignH = HostTextH::Right; break;
        default: h.alignH = HostTextH::Left; break;
      }
      switch (op.align & TA_BASELINE) {
        case TA_BASELINE: h.alignV = HostTextV::Baseline; break;
        case TA_BOTTOM: h.alignV = HostTextV::Bottom; break;
        default: h.alignV = HostTextV::Top; break;
      }
      out.push_back(std::move(h));
      return;
    }
    case GdiOpKind::Image: {
      if (!op.image) return;
      HostDrawOp h;
      h.kind = HostDrawKind::Image;
      h.clip = op.clip;
      h.rect = op.rect;
      h.source = op.srcRect;
      auto img = std::make_shared<HostImage>();
      img->width = op.image->width;
      img->height = op.image->height;
      img->pixels.reserve(op.image->pixels.size());
      for (std::uint32_t px : op.image->pixels) img->pixels.push_back(px & 0xFFFFFF);
      h.image = std::move(img);
      h.hasTransparent = op.transparent != CLR_INVALID;
      h.transparent = op.transparent & 0xFFFFFF;
      out.push_back(std::move(h));
      return;
    }
  }
}

HostPaper PaperOf(const GdiDeviceInfo& d) {
  HostPaper p;
  p.dpiX = d.dpiX;
  p.dpiY = d.dpiY;
  p.width = d.physicalWidth ? d.physicalWidth : d.width;
  p.height = d.physicalHeight ? d.physicalHeight : d.height;
  p.printable = RECT{d.offsetX, d.offsetY, d.offsetX + d.width, d.offsetY + d.height};
  return p;
}

HostPrintJob MakeHostJob(const GdiRecording& recording, const std::vector<int>& pages,
                         int copies, const String& title) {
  HostPrintJob job;
  job.paper = PaperOf(recording.device);
  job.copies = std::max(copies, 1);
  job.title = title;
  int count = recording.PageCount();
  std::vector<int> list = pages;
  if (list.empty())
    for (int p = 1; p <= count; ++p) list.push_back(p);
  for (int p : list) {
    if (p < 1 || p > count)
      throw EPrinter(u"Page " + IntToStr(p) + u" is not in the document of " + IntToStr(count) +
                     u" pages");
    std::size_t first, last;
    recording.PageRange(p - 1, &first, &last);
    auto page = std::make_shared<HostPrintPage>();
    for (std::size_t i = first; i < last; ++i) Convert(recording.ops[i], page->ops);
    job.pages.push_back(std::move(page));
  }
  return job;
}

// ---- Drivers ----

class HostPrinterDriver : public TPrinterDriver {
 public:
  std::vector<TPrinterDevice> Printers() override {
    std::vector<TPrinterDevice> out;
    for (const HostPrinterInfo& info : HostEnumPrinters()) {
      const HostPaper& p = info.paper;
      TPrinterDevice d;
      d.name = info.name;
      d.isDefault = info.isDefault;
      d.device.dpiX = p.dpiX;
      d.device.dpiY = p.dpiY;
      d.device.width = p.printable.right - p.printable.left;
      d.device.height = p.printable.bottom - p.printable.top;
      d.device.physicalWidth = p.width;
      d.device.physicalHeight = p.height;
      d.device.offsetX = p.printable.left;
      d.device.offsetY = p.printable.top;
      out.push_back(std::move(d));
    }
    return out;
  }
  void Submit(const String& printer, const GdiRecording& job, int copies,
              const String& title) override {
    SubmitRecordingToPrinter(printer, job, {}, copies, title);
  }
};

std::unique_ptr<TPrinterDriver>& DriverSlot() {
  static auto* slot = new std::unique_ptr<TPrinterDriver>();
  return *slot;
}

TPrinterDriver& Driver() {
  auto& slot = DriverSlot();
  if (!slot) slot = CreateHostPrinterDriver();
  return *slot;
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

void RenderRecordingToPdf(const GdiRecording& recording, const std::vector<int>& pages,
                          int copies, const String& fileName, const String& title) {
  if (fileName.empty()) throw EPrinter("No file name was given for the PDF output");
  HostWritePdf(MakeHostJob(recording, pages, copies, title), fileName);
}

void SubmitRecordingToPrinter(const String& printerName, const GdiRecording& recording,
                              const std::vector<int>& pages, int copies, const String& title) {
  HostSubmitToPrinter(printerName, MakeHostJob(recording, pages, copies, title));
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

void TPrinter::LoadPrinters() {
  devices_.clear();
  devices_.push_back(TPrinterDevice{PdfPrinterName, false, PdfPrinterDevice()});
  try {
    for (TPrinterDevice& d : Driver().Printers())
      if (ValidDevice(d.device) && !d.name.empty()) devices_.push_back(std::move(d));
  } catch (...) {
    // The queues are out of reach; printing to PDF still works.
  }
  names_->Clear();
  for (const TPrinterDevice& d : devices_) names_->Add(d.name);
  loaded_ = true;
}

void TPrinter::Refresh() {
  CheckPrinting(false);
  ReleaseInfoDC();
  LoadPrinters();
  index_ = -1;
}

TStrings* TPrinter::Printers() {
  if (!loaded_) LoadPrinters();
  return names_.get();
}

int TPrinter::PrinterIndex() {
  if (!loaded_) LoadPrinters();
  if (index_ >= 0) return index_;
  for (std::size_t i = 1; i < devices_.size(); ++i)
    if (devices_[i].isDefault) return int(i);
  return 0;
}

void TPrinter::SetPrinterIndex(int index) {
  CheckPrinting(false);
  if (!loaded_) LoadPrinters();
  if (index < -1 || index >= int(devices_.size())) throw EPrinter("Printer selected is not valid");
  index_ = index;
  ReleaseInfoDC();
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
  if (!infoDC_) throw EPrinter(u"The printer " + Quoted(devices_[std::size_t(PrinterIndex())].name) +
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
    Driver().Submit(target.name, job, copies_, title_);
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
