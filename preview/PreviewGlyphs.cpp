#include "PreviewGlyphs.h"

#include <functional>
#include <map>

#include "Buttons.h"

namespace {

constexpr TColor kInk = RGB(0, 0, 0);
constexpr TColor kPaper = RGB(255, 255, 255);
constexpr TColor kPrintLine = RGB(128, 128, 128);
constexpr TColor kArrow = RGB(24, 70, 150);
constexpr TColor kLens = RGB(205, 232, 255);
constexpr TColor kHandle = RGB(120, 72, 24);
constexpr TColor kCase = RGB(192, 192, 192);
constexpr TColor kCaseDark = RGB(96, 96, 96);
constexpr TColor kLamp = RGB(0, 176, 0);
constexpr TColor kFrame = RGB(92, 52, 16);
constexpr TColor kLeaf = RGB(176, 112, 48);
constexpr TColor kOpening = RGB(214, 236, 255);  // daylight through the doorway
constexpr TColor kKnob = RGB(255, 220, 0);
constexpr TColor kExit = RGB(200, 24, 24);

// Drawing helpers in image coordinates, every bound inclusive: a 16-pixel picture reads best
// when each pixel is placed on purpose.
class Painter {
 public:
  Painter(TCanvas* canvas, int originX) : c_(canvas), x0_(originX) {}

  void Fill(int left, int top, int right, int bottom, TColor color) {
    c_->Brush()->SetStyle(bsSolid);
    c_->Brush()->SetColor(color);
    c_->FillRect(Rect(x0_ + left, top, x0_ + right + 1, bottom + 1));
  }
  // A one-pixel outline filled with fill.
  void Box(int left, int top, int right, int bottom, TColor line, TColor fill) {
    c_->Pen()->SetColor(line);
    c_->Pen()->SetWidth(1);
    c_->Brush()->SetStyle(bsSolid);
    c_->Brush()->SetColor(fill);
    c_->Rectangle(x0_ + left, top, x0_ + right + 1, bottom + 1);
  }
  void Dot(int x, int y, TColor color) { c_->SetPixels(x0_ + x, y, color); }
  void Ellipse(int left, int top, int right, int bottom, TColor line, TColor fill) {
    c_->Pen()->SetColor(line);
    c_->Pen()->SetWidth(1);
    c_->Brush()->SetStyle(bsSolid);
    c_->Brush()->SetColor(fill);
    c_->Ellipse(x0_ + left, top, x0_ + right + 1, bottom + 1);
  }
  // A triangle pointing left (dir -1) or right (dir 1) with its tip column at tipX, centred on
  // rows 7 and 8, growing one row each way per column.
  void Triangle(int tipX, int dir, int columns, TColor color) {
    for (int k = 0; k < columns; ++k) Fill(tipX - dir * k, 7 - k, tipX - dir * k, 8 + k, color);
  }

 private:
  TCanvas* c_;
  int x0_;
};

void DrawMagnifier(Painter& p, bool plus) {
  p.Ellipse(1, 1, 10, 10, kInk, kLens);
  // A highlight on the glass.
  p.Dot(3, 3, kPaper);
  p.Dot(4, 3, kPaper);
  p.Dot(3, 4, kPaper);
  p.Fill(3, 5, 8, 6, kInk);
  if (plus) p.Fill(5, 3, 6, 8, kInk);
  for (int i = 0; i < 5; ++i) {
    p.Dot(10 + i, 10 + i, kHandle);
    p.Dot(11 + i, 10 + i, kHandle);
    p.Dot(10 + i, 11 + i, kHandle);
  }
  p.Dot(15, 15, kHandle);
}

void DrawPage(Painter& p, int left, int right) {
  p.Box(left, 1, right, 14, kInk, kPaper);
  // Folded corner.
  p.Fill(right - 2, 1, right, 1, PreviewGlyphBackground);
  p.Fill(right - 1, 2, right, 2, PreviewGlyphBackground);
  p.Dot(right, 3, PreviewGlyphBackground);
  p.Dot(right - 3, 1, kInk);
  p.Fill(right - 3, 2, right - 3, 4, kInk);
  p.Fill(right - 2, 4, right, 4, kInk);
  p.Dot(right - 2, 2, kInk);
  p.Dot(right - 1, 3, kInk);
}

void DrawZoomPage(Painter& p) {
  DrawPage(p, 3, 12);
  for (int y = 6; y <= 12; y += 2) p.Fill(5, y, 10, y, kPrintLine);
  p.Fill(5, 4, 7, 4, kPrintLine);
}

void DrawZoomPageWidth(Painter& p) {
  DrawPage(p, 4, 11);
  p.Fill(2, 7, 13, 8, kArrow);
  p.Triangle(0, -1, 3, kArrow);
  p.Triangle(15, 1, 3, kArrow);
}

void DrawFirstPage(Painter& p) {
  p.Fill(3, 3, 4, 12, kArrow);
  p.Triangle(6, -1, 5, kArrow);
}
void DrawPrevPage(Painter& p) { p.Triangle(5, -1, 5, kArrow); }
void DrawNextPage(Painter& p) { p.Triangle(10, 1, 5, kArrow); }
void DrawLastPage(Painter& p) {
  p.Triangle(9, 1, 5, kArrow);
  p.Fill(11, 3, 12, 12, kArrow);
}

void DrawPrinter(Painter& p) {
  // Paper going in.
  p.Box(4, 1, 11, 6, kInk, kPaper);
  // The case.
  p.Box(1, 6, 14, 11, kInk, kCase);
  p.Fill(2, 10, 13, 10, kCaseDark);
  p.Dot(12, 8, kLamp);
  // Paper coming out, printed.
  p.Box(4, 10, 11, 14, kInk, kPaper);
  p.Fill(5, 12, 10, 12, kPrintLine);
}

void DrawDoor(Painter& p) {
  p.Box(2, 1, 9, 14, kFrame, kOpening);
  // The open leaf, seen at an angle.
  for (int x = 3; x <= 6; ++x) p.Fill(x, 1 + (x - 2) / 2, x, 14 - (x - 3) / 2, kLeaf);
  p.Fill(7, 3, 7, 12, kFrame);
  p.Dot(6, 8, kKnob);
  // The way out.
  p.Fill(9, 7, 12, 8, kExit);
  p.Triangle(15, 1, 3, kExit);
  p.Fill(13, 5, 13, 10, kExit);
}

const std::map<String, std::function<void(Painter&)>>& Pictures() {
  static const std::map<String, std::function<void(Painter&)>> pictures = {
      {u"SBZoomIn", [](Painter& p) { DrawMagnifier(p, true); }},
      {u"SBZoomOut", [](Painter& p) { DrawMagnifier(p, false); }},
      {u"SBZoomPageWidth", DrawZoomPageWidth},
      {u"SBZoomPage", DrawZoomPage},
      {u"SBFirstPage", DrawFirstPage},
      {u"SBPrevPage", DrawPrevPage},
      {u"SBNextPage", DrawNextPage},
      {u"SBLastPage", DrawLastPage},
      {u"SBPrint", DrawPrinter},
      {u"SBDone", DrawDoor},
  };
  return pictures;
}

}  // namespace

std::unique_ptr<TBitmap> PreviewGlyph(const String& buttonName) {
  auto it = Pictures().find(buttonName);
  if (it == Pictures().end()) return nullptr;
  auto bitmap = std::make_unique<TBitmap>(2 * PreviewGlyphSize, PreviewGlyphSize);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Brush()->SetColor(PreviewGlyphBackground);
  canvas->FillRect(Rect(0, 0, bitmap->Width(), bitmap->Height()));
  Painter painter(canvas, 0);
  it->second(painter);
  // The picture may not cover the corner the transparent colour is read from.
  canvas->SetPixels(0, PreviewGlyphSize - 1, PreviewGlyphBackground);
  DrawDisabledGlyph(bitmap.get(), Rect(0, 0, PreviewGlyphSize, PreviewGlyphSize), bitmap->Canvas(),
                    PreviewGlyphSize, 0, PreviewGlyphBackground);
  return bitmap;
}
