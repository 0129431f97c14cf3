#pragma once
// The print-preview window and page-drawing engine. A caller describes a document through the
// drawing calls below (lengths in twips, origin at the top-left of the printable area); each
// call appends one element to the current page's display list. The lists are replayed on the
// screen at a zoom and on the printer when printing.
#include <cstdint>
#include <memory>
#include <vector>

#include "Forms.h"
#include "Graphics.h"

class TPanel;
class TSpeedButton;
class TLabel;
class TComboBox;
class TEdit;
class TUpDown;
class TScrollBox;
class TImage;
class TPrintDialog;

enum TOrientation : std::uint8_t { oPortrait, oLandscape };

enum TPrintOp : std::uint8_t {
  poMoveTo,
  poLineTo,
  poTextOut,
  poFontName,
  poFontSize,
  poLineWidth,
  poCentreText,
  poRightText,
  poColour
};

struct TPrintElement {
  TPrintOp PrintOperation = poMoveTo;
  TPoint Coordinates;
  String Contents;
};

using TPageItems = std::vector<TPrintElement>;
using TFullPrint = std::vector<TPageItems>;

// The one document the engine serves; page n is Pages[n - 1].
extern TFullPrint Pages;
extern int CurrentPage;  // the page drawing calls append to
extern int PageCount;
extern int DisplayedPage;  // the page the window shows

class TPreviewForm : public TForm {
 public:
  explicit TPreviewForm(TComponent* owner);
  ~TPreviewForm() override;
  String ClassName() const override;

  // ---- The document ----
  void begindoc(TOrientation Orientation, bool WithShow);
  void NewPage();
  void enddoc();
  void SetOrientation(TOrientation Orientation);

  // ---- Drawing (twips) ----
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void TextOut(int x, int y, const String& s);
  void CentreText(int x, int y, const String& s);
  void RightText(int x, int y, const String& s);
  void FontName(const String& s);
  void FontSize(int i);
  void LineWidth(int i);
  void Colour(TColor cl);
  void DrawBox(int left, int top, int right, int bottom);

  // ---- Measurement (twips) ----
  int PageWidth();
  int PageHeight();
  int TextWidth(const String& s);
  int TextHeight(const String& s);
  double TwipsPerMM() const { return 56.7; }

  // ---- Rendering ----
  void RenderElement(int x, int y, TPrintOp op, TCanvas* canvas, const String& s);
  void DrawCentredText(int x, int y, const String& s, TCanvas* canvas);
  void DrawRightText(int x, int y, const String& s, TCanvas* canvas);
  void ShowElement(const TPrintElement& element);
  // Sets the zoom and builds the page's bitmap at it, or, while the window is not shown, leaves
  // the bitmap to be built when it is.
  void SetZoom(const String& text);
  void DrawPage();
  void ShowPage(int n);
  TPoint GetDeviceResolution(TCanvas* canvas);

  // ---- Printing ----
  void PrintPage(int n);
  void PrintElement(const TPrintElement& element);

  // ---- Event handlers ----
  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void ZoomComboBoxChange(TObject* Sender);
  void SBZoomInClick(TObject* Sender);
  void SBZoomOutClick(TObject* Sender);
  void SBFirstPageClick(TObject* Sender);
  void SBPrevPageClick(TObject* Sender);
  void SBNextPageClick(TObject* Sender);
  void SBLastPageClick(TObject* Sender);
  void SBPrintClick(TObject* Sender);
  void SBDoneClick(TObject* Sender);
  void PageEditChange(TObject* Sender);
  void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

  // ---- Measurement fields ----
  TPoint PrinterRes;
  double FPageHeight = 0;  // inches
  double FPageWidth = 0;
  TPoint ScreenRes;
  double ZoomFactor = 1.0;

  // ---- Controls of the window description ----
  TPanel* Panel2 = nullptr;
  TSpeedButton* SBZoomIn = nullptr;
  TSpeedButton* SBZoomOut = nullptr;
  TSpeedButton* SBZoomPageWidth = nullptr;
  TSpeedButton* SBZoomPage = nullptr;
  TSpeedButton* SBFirstPage = nullptr;
  TSpeedButton* SBPrevPage = nullptr;
  TSpeedButton* SBNextPage = nullptr;
  TSpeedButton* SBLastPage = nullptr;
  TSpeedButton* SBPrint = nullptr;
  TSpeedButton* SBDone = nullptr;
  TLabel* Label1 = nullptr;
  TComboBox* ZoomComboBox = nullptr;
  TLabel* Label2 = nullptr;
  TEdit* PageEdit = nullptr;
  TUpDown* UpDown1 = nullptr;
  TLabel* PageLabel = nullptr;
  TScrollBox* ScrollBox1 = nullptr;
  TImage* Image1 = nullptr;
  TPrintDialog* PrintDialog = nullptr;

 protected:
  void DoShow() override;

 private:
  void AddElement(const TPrintElement& element);
  void BuildPage();
  void AddElement(TPrintOp op, int x, int y, const String& s = String());
  // Sets the page box's text and makes sure its change handler saw the new text.
  void SetPageEditText(const String& text);
  void AssignGlyphs();
  void DrawElement(const TPrintElement& element, TCanvas* canvas, double zoom);
  // Makes the page's device-pixel copy, blank, at w x h logical pixels, or drops it at scale 1.
  void PrepareFinePage(int w, int h);

  TPoint printRes_;           // the resolution of the job being printed
  unsigned pageDraws_ = 0;    // how often DrawPage ran, so a page change draws once
  bool pagePending_ = false;  // the page's bitmap waits for the window to be shown
  // On a screen of a scale above 1, the page drawn again at the zoom times the scale, which
  // the window system shows in device pixels over the page's bitmap.
  std::unique_ptr<TBitmap> finePage_;
  double fineScale_ = 1;
};

// The one preview window, owned by the application.
extern TPreviewForm* PreviewForm;

void RegisterPreviewClasses();

// Starts the application with only the preview window, as the program entry creates it (the
// class library registered, Application->CreateForm), for tests and tools without the main
// window. Does nothing when the window exists.
void CreatePreviewApplication();
// Destroys the window and the application again (with ResetApplicationForTesting).
void ResetPreviewForTesting();
