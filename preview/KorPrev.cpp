#include "KorPrev.h"

#include <cmath>

#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Numbers.h"
#include "PreviewGlyphs.h"
#include "PrintDialogs.h"
#include "Printers.h"
#include "StdCtrls.h"
#include "TypInfo.h"
#include "User.h"

TFullPrint Pages;
int CurrentPage = 0;
int PageCount = 0;
int DisplayedPage = 0;

TPreviewForm* PreviewForm = nullptr;

namespace {

constexpr Extended kTwipsPerInch = 1440;

int TruncInt(Extended value) { return static_cast<int>(Trunc(value)); }

}  // namespace

TPreviewForm::TPreviewForm(TComponent* owner) : TForm(owner) {}

TPreviewForm::~TPreviewForm() {
  if (PreviewForm == this) PreviewForm = nullptr;
  if (finePage_ && ScrollBox1 && ScrollBox1->HandleAllocated())
    UserSetDeviceLayer(ScrollBox1->Handle(), 0, nullptr);
}

String TPreviewForm::ClassName() const { return u"TPreviewForm"; }

// ---- The document ----

void TPreviewForm::begindoc(TOrientation Orientation, bool WithShow) {
  SBPrint->SetEnabled(false);
  TPrinter* printer = Printer();
  printer->SetOrientation(Orientation == oPortrait ? poPortrait : poLandscape);
  try {
    printer->BeginDoc();
  } catch (const Exception&) {
    HWND owner = HandleAllocated() ? Handle() : 0;
    MessageBoxW(owner, u"Unable to Open Printer", u"Error", MB_OK | MB_ICONERROR);
  }
  printer->Canvas()->MoveTo(0, 0);
  PrinterRes = GetDeviceResolution(printer->Canvas());
  printer->Abort();
  while (printer->Printing()) Application->ProcessMessages();

  FPageHeight = static_cast<double>(printer->PageHeight()) / PrinterRes.y;
  FPageWidth = static_cast<double>(printer->PageWidth()) / PrinterRes.x;

  ZoomComboBox->SetItemIndex(ZoomComboBox->Items()->IndexOf(u"100%"));
  CurrentPage = 1;
  DisplayedPage = 1;
  Pages.assign(1, TPageItems());
  SetZoom(u"100%");
  SetPageEditText(u"1");
  PageCount = 1;
  UpDown1->SetMax(1);
  CurrentPage = 1;
  DisplayedPage = 1;
  AddElement(poFontSize, 12, 0);
  AddElement(poLineWidth, 20, 0);
  if (WithShow) Show();
}

void TPreviewForm::NewPage() {
  if (PageCount < 1) throw EInvalidOperation(u"No document has been started");
  ++CurrentPage;
  ++PageCount;
  // The up-down's numbers are 16 bits wide.
  UpDown1->SetMax(static_cast<SmallInt>(PageCount < 32767 ? PageCount : 32767));
  PageLabel->SetCaption(IntToStr(DisplayedPage) + u" of " + IntToStr(PageCount));
  Pages.resize(static_cast<std::size_t>(CurrentPage));
  Pages.back().clear();
  AddElement(poFontSize, 12, 0);
  AddElement(poLineWidth, 20, 0);
}

void TPreviewForm::enddoc() { SBPrint->SetEnabled(true); }

void TPreviewForm::SetOrientation(TOrientation Orientation) {
  begindoc(Orientation, false);
  enddoc();
}

void TPreviewForm::AddElement(const TPrintElement& element) {
  // Drawing before the first begindoc has no page to go to.
  if (CurrentPage < 1 || CurrentPage > static_cast<int>(Pages.size()))
    throw EInvalidOperation(u"No document has been started");
  Pages[static_cast<std::size_t>(CurrentPage - 1)].push_back(element);
  if (CurrentPage == DisplayedPage) ShowElement(element);
}

void TPreviewForm::AddElement(TPrintOp op, int x, int y, const String& s) {
  TPrintElement e;
  e.PrintOperation = op;
  e.Coordinates = TPoint{x, y};
  e.Contents = s;
  AddElement(e);
}

// ---- Drawing ----

void TPreviewForm::MoveTo(int x, int y) { AddElement(poMoveTo, x, y); }
void TPreviewForm::LineTo(int x, int y) { AddElement(poLineTo, x, y); }
void TPreviewForm::TextOut(int x, int y, const String& s) { AddElement(poTextOut, x, y, s); }
void TPreviewForm::CentreText(int x, int y, const String& s) { AddElement(poCentreText, x, y, s); }
void TPreviewForm::RightText(int x, int y, const String& s) { AddElement(poRightText, x, y, s); }
void TPreviewForm::FontName(const String& s) { AddElement(poFontName, 0, 0, s); }

void TPreviewForm::FontSize(int i) {
  Printer()->Canvas()->Font()->SetSize(i);
  AddElement(poFontSize, i, 0);
}

void TPreviewForm::LineWidth(int i) { AddElement(poLineWidth, i, 0); }
void TPreviewForm::Colour(TColor cl) { AddElement(poColour, static_cast<int>(cl), 0); }

void TPreviewForm::DrawBox(int left, int top, int right, int bottom) {
  AddElement(poMoveTo, left, top);
  AddElement(poLineTo, right, top);
  AddElement(poLineTo, right, bottom);
  AddElement(poLineTo, left, bottom);
  AddElement(poLineTo, left, top);
}

// ---- Measurement ----

int TPreviewForm::PageWidth() {
  return TruncInt(static_cast<Extended>(FPageWidth) * kTwipsPerInch);
}
int TPreviewForm::PageHeight() {
  return TruncInt(static_cast<Extended>(FPageHeight) * kTwipsPerInch);
}

int TPreviewForm::TextWidth(const String& s) {
  int w = Printer()->Canvas()->TextWidth(s);
  return TruncInt(static_cast<Extended>(w) / PrinterRes.x * kTwipsPerInch + 0.5L);
}

int TPreviewForm::TextHeight(const String& s) {
  int h = Printer()->Canvas()->TextHeight(s);
  return TruncInt(static_cast<Extended>(h) / PrinterRes.y * kTwipsPerInch + 0.5L);
}

TPoint TPreviewForm::GetDeviceResolution(TCanvas* canvas) {
  HDC dc = canvas->Handle();
  return TPoint{GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)};
}

// ---- Rendering ----

void TPreviewForm::RenderElement(int x, int y, TPrintOp op, TCanvas* canvas, const String& s) {
  switch (op) {
    case poMoveTo: canvas->MoveTo(x, y); break;
    case poLineTo: canvas->LineTo(x, y); break;
    case poTextOut: canvas->TextOut(x, y, s); break;
    case poFontName: canvas->Font()->SetName(s); break;
    case poFontSize: canvas->Font()->SetSize(x); break;
    case poLineWidth: canvas->Pen()->SetWidth(x); break;
    case poCentreText: DrawCentredText(x, y, s, canvas); break;
    case poRightText: DrawRightText(x, y, s, canvas); break;
    case poColour: canvas->Pen()->SetColor(static_cast<TColor>(x)); break;
  }
}

void TPreviewForm::DrawCentredText(int x, int y, const String& s, TCanvas* canvas) {
  int w = canvas->TextWidth(s);
  canvas->TextOut(x - w / 2, y, s);
}

void TPreviewForm::DrawRightText(int x, int y, const String& s, TCanvas* canvas) {
  int w = canvas->TextWidth(s);
  canvas->TextOut(x - w, y, s);
}

void TPreviewForm::ShowElement(const TPrintElement& element) {
  if (pagePending_ || !Showing()) {
    pagePending_ = true;  // drawn with the whole page when the window is shown
    return;
  }
  DrawElement(element, Image1->Canvas(), ZoomFactor);
  if (finePage_) DrawElement(element, finePage_->Canvas(), ZoomFactor * fineScale_);
}

void TPreviewForm::DrawElement(const TPrintElement& element, TCanvas* canvas, double zoom) {
  const Extended X = element.Coordinates.x;
  const Extended Y = element.Coordinates.y;
  switch (element.PrintOperation) {
    case poFontSize: RenderElement(TruncInt(X * zoom), 0, poFontSize, canvas, String()); break;
    case poColour: RenderElement(element.Coordinates.x, 0, poColour, canvas, String()); break;
    default: {
      int x = TruncInt(X / kTwipsPerInch * zoom * ScreenRes.x);
      int y = TruncInt(Y / kTwipsPerInch * zoom * ScreenRes.y);
      RenderElement(x, y, element.PrintOperation, canvas, element.Contents);
      break;
    }
  }
}

void TPreviewForm::SetZoom(const String& text) {
  const int p = Pos(u"%", text);
  // Read before anything changes, so a conversion error leaves the zoom as it was.
  const double zoom =
      p > 0 ? static_cast<double>(static_cast<Extended>(StrToInt(Copy(text, 1, p - 1))) / 100)
            : 1.0;
  ZoomFactor = zoom;
  BuildPage();
}

void TPreviewForm::BuildPage() {
  // A hidden window's page is built when it is shown: the main window measures through a
  // preview nobody may ever open.
  if (!Showing()) {
    pagePending_ = true;
    return;
  }
  pagePending_ = false;
  TBitmap* bitmap = Image1->Picture()->Bitmap();
  // The bitmap takes both sides at once: an empty bitmap given only a height stays empty.
  int h = TruncInt(static_cast<Extended>(FPageHeight) * ZoomFactor * ScreenRes.y);
  if (Image1->Height() < h) Image1->SetHeight(h);
  int w = TruncInt(static_cast<Extended>(FPageWidth) * ZoomFactor * ScreenRes.x);
  if (Image1->Width() < w) Image1->SetWidth(w);
  bitmap->SetSize(w, h);
  DrawPage();
  h = TruncInt(static_cast<Extended>(FPageHeight) * ZoomFactor * ScreenRes.y);
  w = TruncInt(static_cast<Extended>(FPageWidth) * ZoomFactor * ScreenRes.x);
  if (Image1->Height() > h) Image1->SetHeight(h);
  if (Image1->Width() > w) Image1->SetWidth(w);
  bitmap->SetSize(w, h);
}

void TPreviewForm::DrawPage() {
  const int h = TruncInt(static_cast<Extended>(FPageHeight) * ZoomFactor * ScreenRes.y);
  const int w = TruncInt(static_cast<Extended>(FPageWidth) * ZoomFactor * ScreenRes.x);
  ++pageDraws_;
  if (!Showing()) {
    pagePending_ = true;
    return;
  }
  TCanvas* canvas = Image1->Canvas();
  canvas->Brush()->SetColor(static_cast<TColor>(0xFFFFFF));
  canvas->FillRect(Rect(0, 0, w, h));
  PrepareFinePage(w, h);
  if (DisplayedPage < 1 || DisplayedPage > static_cast<int>(Pages.size())) return;
  // Copied: a handler run by the drawing must not pull the list from under the loop.
  const TPageItems items = Pages[static_cast<std::size_t>(DisplayedPage - 1)];
  for (const TPrintElement& e : items) ShowElement(e);
}

void TPreviewForm::PrepareFinePage(int w, int h) {
  const HWND box = ScrollBox1->Handle();
  const double scale = UserDeviceScale(box);
  if (scale <= 1) {
    if (finePage_) UserSetDeviceLayer(box, 0, nullptr);
    finePage_.reset();
    return;
  }
  if (!finePage_) {
    finePage_ = std::make_unique<TBitmap>();
    // A colour or font name set on an earlier page carries over, as on the page's bitmap.
    finePage_->Canvas()->Pen()->SetColor(Image1->Canvas()->Pen()->Color());
    finePage_->Canvas()->Font()->Assign(Image1->Canvas()->Font());
  }
  fineScale_ = scale;
  const int fw = static_cast<int>(std::ceil(w * scale)),
            fh = static_cast<int>(std::ceil(h * scale));
  finePage_->SetSize(fw, fh);
  finePage_->Canvas()->Brush()->SetColor(static_cast<TColor>(0xFFFFFF));
  finePage_->Canvas()->FillRect(Rect(0, 0, fw, fh));
  const RECT at{Image1->Left(), Image1->Top(), Image1->Left() + w, Image1->Top() + h};
  UserSetDeviceLayer(box, finePage_->Handle(), &at);
}

void TPreviewForm::ShowPage(int n) {
  DisplayedPage = n;
  PageLabel->SetCaption(IntToStr(n) + u" of " + IntToStr(PageCount));
  // A new text in the page box runs its change handler, which shows the page itself.
  const unsigned drawn = pageDraws_;
  SetPageEditText(IntToStr(n));
  if (pageDraws_ == drawn) DrawPage();
}

void TPreviewForm::SetPageEditText(const String& text) {
  if (PageEdit->Text() == text) return;
  PageEdit->SetText(text);
}

// ---- Zoom and navigation ----

void TPreviewForm::ZoomComboBoxChange(TObject*) { SetZoom(ZoomComboBox->Text()); }

void TPreviewForm::SBZoomInClick(TObject*) {
  if (ZoomComboBox->ItemIndex() < ZoomComboBox->Items()->Count() - 1)
    ZoomComboBox->SetItemIndex(ZoomComboBox->ItemIndex() + 1);
  SetZoom(ZoomComboBox->Text());
}

void TPreviewForm::SBZoomOutClick(TObject*) {
  if (ZoomComboBox->ItemIndex() > 0) ZoomComboBox->SetItemIndex(ZoomComboBox->ItemIndex() - 1);
  SetZoom(ZoomComboBox->Text());
}

void TPreviewForm::Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState, int, int) {
  if (Button == mbLeft) SBZoomOutClick(Sender);
  else if (Button == mbRight) SBZoomInClick(Sender);
}

void TPreviewForm::SBFirstPageClick(TObject*) { ShowPage(1); }
void TPreviewForm::SBLastPageClick(TObject*) { ShowPage(PageCount); }

void TPreviewForm::SBPrevPageClick(TObject*) {
  if (DisplayedPage > 1) ShowPage(DisplayedPage - 1);
}

void TPreviewForm::SBNextPageClick(TObject*) {
  if (DisplayedPage < PageCount) ShowPage(DisplayedPage + 1);
}

void TPreviewForm::PageEditChange(TObject*) {
  const int n = StrToInt(PageEdit->Text());
  // Without a document every number is out of range and the clamping would never settle.
  if (PageCount < 1) return;
  if (n < 1) SetPageEditText(u"1");
  else if (n > PageCount) SetPageEditText(IntToStr(PageCount));
  else ShowPage(n);
}

// ---- Printing ----

void TPreviewForm::SBPrintClick(TObject*) {
  TPrinter* printer = Printer();
  // Only a failure part-way through an earlier print leaves a job open; it cannot be finished.
  if (printer->Printing()) printer->Abort();
  PrintDialog->SetMinPage(1);
  PrintDialog->SetFromPage(1);
  PrintDialog->SetMaxPage(PageCount);
  PrintDialog->SetToPage(PageCount);
  if (!PrintDialog->Execute()) return;
  if (PageCount == 1) {
    printer->BeginDoc();
    printRes_ = GetDeviceResolution(printer->Canvas());
    PrintPage(1);
    printer->EndDoc();
    return;
  }
  int first = 1;
  int last = PageCount;
  switch (PrintDialog->PrintRange()) {
    case prAllPages: break;
    case prPageNums:
      first = PrintDialog->FromPage();
      last = PrintDialog->ToPage();
      break;
    case prSelection: first = last = DisplayedPage; break;
  }
  if (first > last) return;
  printer->BeginDoc();
  printRes_ = GetDeviceResolution(printer->Canvas());
  for (int p = first; p <= last; ++p) {
    PrintPage(p);
    if (p != last) printer->NewPage();
    else printer->EndDoc();
  }
}

void TPreviewForm::PrintPage(int n) {
  if (n < 1 || n > static_cast<int>(Pages.size())) return;
  for (const TPrintElement& e : Pages[static_cast<std::size_t>(n - 1)]) PrintElement(e);
}

void TPreviewForm::PrintElement(const TPrintElement& element) {
  // The job's own resolution: the same as the measured one unless another printer was chosen
  // in the dialog, whose pixels would otherwise give the page at the wrong scale.
  const TPoint res = printRes_.x > 0 ? printRes_ : PrinterRes;
  TCanvas* canvas = Printer()->Canvas();
  const TPrintOp op = element.PrintOperation;
  if (op == poFontSize || op == poColour) {
    RenderElement(element.Coordinates.x, 0, op, canvas, String());
    return;
  }
  const int x = TruncInt(static_cast<Extended>(element.Coordinates.x) / kTwipsPerInch * res.x);
  const int y = TruncInt(static_cast<Extended>(element.Coordinates.y) / kTwipsPerInch * res.y);
  RenderElement(x, y, op, canvas, element.Contents);
}

void TPreviewForm::SBDoneClick(TObject*) {
  if (Printer()->Printing()) Printer()->Abort();
  Hide();
}

void TPreviewForm::FormClose(TObject*, TCloseAction& Action) {
  if (Printer()->Printing()) Printer()->Abort();
  Action = caHide;
}

// ---- Creation ----

void TPreviewForm::DoShow() {
  if (pagePending_) BuildPage();
  TForm::DoShow();
}

void TPreviewForm::FormCreate(TObject*) {
  // The screen's resolution as the window system knows it: asking the window's own canvas
  // would create the hidden window and its surface for one number.
  ScreenRes = TPoint{Screen->PixelsPerInch(), Screen->PixelsPerInch()};
  Pages.assign(1, TPageItems());
  AssignGlyphs();
}

void TPreviewForm::AssignGlyphs() {
  for (TSpeedButton* b : {SBZoomIn, SBZoomOut, SBZoomPageWidth, SBZoomPage, SBFirstPage, SBPrevPage,
                          SBNextPage, SBLastPage, SBPrint, SBDone}) {
    if (!b) continue;
    std::unique_ptr<TBitmap> glyph = PreviewGlyph(b->Name());
    if (!glyph) continue;
    b->SetGlyph(glyph.get());
    b->SetNumGlyphs(2);
  }
}

void RegisterPreviewClasses() {
  static const bool registered = [] {
    Published<TPreviewForm>(u"TPreviewForm", u"TForm")
        .Creatable()
        .Field(u"Panel2", &TPreviewForm::Panel2)
        .Field(u"SBZoomIn", &TPreviewForm::SBZoomIn)
        .Field(u"SBZoomOut", &TPreviewForm::SBZoomOut)
        .Field(u"SBZoomPageWidth", &TPreviewForm::SBZoomPageWidth)
        .Field(u"SBZoomPage", &TPreviewForm::SBZoomPage)
        .Field(u"SBFirstPage", &TPreviewForm::SBFirstPage)
        .Field(u"SBPrevPage", &TPreviewForm::SBPrevPage)
        .Field(u"SBNextPage", &TPreviewForm::SBNextPage)
        .Field(u"SBLastPage", &TPreviewForm::SBLastPage)
        .Field(u"SBPrint", &TPreviewForm::SBPrint)
        .Field(u"SBDone", &TPreviewForm::SBDone)
        .Field(u"Label1", &TPreviewForm::Label1)
        .Field(u"ZoomComboBox", &TPreviewForm::ZoomComboBox)
        .Field(u"Label2", &TPreviewForm::Label2)
        .Field(u"PageEdit", &TPreviewForm::PageEdit)
        .Field(u"UpDown1", &TPreviewForm::UpDown1)
        .Field(u"PageLabel", &TPreviewForm::PageLabel)
        .Field(u"ScrollBox1", &TPreviewForm::ScrollBox1)
        .Field(u"Image1", &TPreviewForm::Image1)
        .Field(u"PrintDialog", &TPreviewForm::PrintDialog)
        .Method(u"FormCreate", &TPreviewForm::FormCreate)
        .Method(u"FormClose", &TPreviewForm::FormClose)
        .Method(u"ZoomComboBoxChange", &TPreviewForm::ZoomComboBoxChange)
        .Method(u"SBZoomInClick", &TPreviewForm::SBZoomInClick)
        .Method(u"SBZoomOutClick", &TPreviewForm::SBZoomOutClick)
        .Method(u"SBFirstPageClick", &TPreviewForm::SBFirstPageClick)
        .Method(u"SBPrevPageClick", &TPreviewForm::SBPrevPageClick)
        .Method(u"SBNextPageClick", &TPreviewForm::SBNextPageClick)
        .Method(u"SBLastPageClick", &TPreviewForm::SBLastPageClick)
        .Method(u"SBPrintClick", &TPreviewForm::SBPrintClick)
        .Method(u"SBDoneClick", &TPreviewForm::SBDoneClick)
        .Method(u"PageEditChange", &TPreviewForm::PageEditChange)
        .Method(u"Image1MouseDown", &TPreviewForm::Image1MouseDown);
    RegisterClassLibrary();
    return true;
  }();
  (void)registered;
}
