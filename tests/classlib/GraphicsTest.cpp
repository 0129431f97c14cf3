#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "Exceptions.h"
#include "GdiSurface.h"
#include "Graphics.h"

namespace {

// A readable picture of a canvas area for failure messages: one letter per distinct colour.
std::string Grid(TCanvas* c, int w, int h) {
  std::vector<TColor> seen;
  std::string out;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      TColor p = c->Pixels(x, y);
      size_t i = 0;
      while (i < seen.size() && seen[i] != p) ++i;
      if (i == seen.size()) seen.push_back(p);
      out += p == clWhite ? '.' : char('A' + i % 26);
    }
    out += '\n';
  }
  return out;
}

int CountOf(TCanvas* c, int w, int h, TColor color) {
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) n += c->Pixels(x, y) == color;
  return n;
}

// Text is blended by coverage: count the pixels that lean clearly towards a channel.
int CountLeaning(TCanvas* c, int w, int h, int channel) {
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      TColor p = c->Pixels(x, y);
      int v[3] = {GetRValue(p), GetGValue(p), GetBValue(p)};
      int others = 0;
      for (int i = 0; i < 3; ++i)
        if (i != channel) others = std::max(others, v[i]);
      n += v[channel] - others > 0x60;
    }
  return n;
}

TEST(MulDivTest, RoundsHalfAwayFromZeroAndRefusesWhatItCannotGive) {
  EXPECT_EQ(MulDiv(8, 96, 72), 11);    // 10.67
  EXPECT_EQ(MulDiv(-11, 72, 96), -8);  // -8.25
  EXPECT_EQ(MulDiv(3, 1, 2), 2);       // 1.5
  EXPECT_EQ(MulDiv(-3, 1, 2), -2);     // -1.5
  EXPECT_EQ(MulDiv(5, 1, -2), -3);     // -2.5
  EXPECT_EQ(MulDiv(-5, -1, -2), -3);   // -2.5
  EXPECT_EQ(MulDiv(1, 1, 3), 0);
  EXPECT_EQ(MulDiv(2, 1, 3), 1);
  EXPECT_EQ(MulDiv(1, 2, 0), -1);
  EXPECT_EQ(MulDiv(INT_MAX, 2, 1), -1);
  EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);  // the product needs 64 bits
}

TEST(FontTest, SizeAndHeightFollowTheResolution) {
  TFont f;
  EXPECT_EQ(f.Name(), u"Tahoma");
  EXPECT_EQ(f.Height(), -11);
  EXPECT_EQ(f.Size(), 8);
  EXPECT_EQ(f.PixelsPerInch(), 96);
  EXPECT_EQ(f.Charset(), DEFAULT_CHARSET);
  EXPECT_EQ(f.Pitch(), fpDefault);
  EXPECT_TRUE(f.Style().Empty());

  f.SetSize(12);
  EXPECT_EQ(f.Height(), -16);
  f.SetHeight(13);  // a cell height reads as a negative size
  EXPECT_EQ(f.Size(), -10);

  TFont printer;
  printer.SetPixelsPerInch(600);
  printer.SetSize(8);
  EXPECT_EQ(printer.Height(), -67);
  EXPECT_EQ(printer.Size(), 8);
  printer.SetPixelsPerInch(96);  // the height stays, so the size changes
  EXPECT_EQ(printer.Height(), -67);
  EXPECT_EQ(printer.Size(), 50);

  // Assigning across resolutions keeps the point size, within one resolution the height.
  TFont screen, onPrinter;
  screen.SetSize(10);
  screen.SetStyle(fsBold | fsItalic);
  screen.SetColor(clRed);
  screen.SetName(u"Arial");
  onPrinter.SetPixelsPerInch(600);
  onPrinter.Assign(&screen);
  EXPECT_EQ(onPrinter.Size(), 10);
  EXPECT_EQ(onPrinter.Height(), -83);
  EXPECT_EQ(onPrinter.PixelsPerInch(), 600);
  EXPECT_EQ(onPrinter.Name(), u"Arial");
  EXPECT_EQ(onPrinter.Color(), clRed);
  EXPECT_TRUE(onPrinter.Style().Contains(fsItalic));
  TFont other;
  other.SetHeight(-15);
  screen.Assign(&other);
  EXPECT_EQ(screen.Height(), -15);
}

TEST(FontTest, ChangesAreReportedOnceAndReachTheHandle) {
  TFont f;
  int changes = 0;
  f.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &f);
    ++changes;
  };
  f.SetSize(8);  // no change
  f.SetName(u"Tahoma");
  EXPECT_EQ(changes, 0);
  f.SetStyle(TFontStyles{fsBold});
  f.SetColor(clBlue);
  EXPECT_EQ(changes, 2);

  LOGFONTW lf;
  ASSERT_EQ(GetObjectW(f.Handle(), sizeof(lf), &lf), int(sizeof(lf)));
  EXPECT_EQ(lf.lfHeight, -11);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfItalic, 0);
  EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(std::u16string(lf.lfFaceName), u"Tahoma");

  f.SetStyle(fsItalic | fsUnderline);
  f.SetPitch(fpFixed);
  f.SetOrientation(450);
  ASSERT_EQ(GetObjectW(f.Handle(), sizeof(lf), &lf), int(sizeof(lf)));
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(lf.lfUnderline, 1);
  EXPECT_EQ(lf.lfPitchAndFamily & 3, FIXED_PITCH);
  EXPECT_EQ(lf.lfEscapement, 450);
}

TEST(FontTest, AssignedHandleIsTakenOverWithItsAttributes) {
  int fontsBefore = GdiObjectCount(OBJ_FONT);
  {
    LOGFONTW lf;
    lf.lfHeight = -20;
    lf.lfEscapement = 900;
    lf.lfWeight = FW_BOLD;
    lf.lfStrikeOut = 1;
    lf.lfCharSet = SYMBOL_CHARSET;
    lf.lfPitchAndFamily = VARIABLE_PITCH;
    std::u16string name = u"Verdana";
    std::copy(name.begin(), name.end(), lf.lfFaceName);
    HFONT rotated = CreateFontIndirectW(&lf);
    TFont f;
    f.SetHandle(rotated);
    EXPECT_EQ(f.Handle(), rotated);
    EXPECT_EQ(f.Height(), -20);
    EXPECT_EQ(f.Orientation(), 900);
    EXPECT_EQ(f.Name(), u"Verdana");
    EXPECT_EQ(f.Charset(), SYMBOL_CHARSET);
    EXPECT_EQ(f.Pitch(), fpVariable);
    EXPECT_TRUE(f.Style().Contains(fsBold));
    EXPECT_TRUE(f.Style().Contains(fsStrikeOut));
    EXPECT_FALSE(f.Style().Contains(fsItalic));
    f.SetSize(20);  // a change replaces (and frees) the taken handle
    EXPECT_NE(f.Handle(), 0u);
  }
  EXPECT_EQ(GdiObjectCount(OBJ_FONT), fontsBefore);
}

TEST(CanvasTest, ShapesReachTheBitmapsPixelsExactly) {
  TBitmap b(10, 8);
  TCanvas* c = b.Canvas();
  EXPECT_EQ(CountOf(c, 10, 8, clWhite), 80) << "a new bitmap is white";

  c->Pen()->SetColor(clRed);
  c->MoveTo(1, 1);
  c->LineTo(6, 1);
  for (int x = 1; x <= 5; ++x) EXPECT_EQ(c->Pixels(x, 1), clRed) << x;
  EXPECT_EQ(c->Pixels(6, 1), clWhite) << "the end point is left out";
  EXPECT_EQ(c->PenPos(), (TPoint{6, 1}));

  c->Brush()->SetColor(clBlue);
  c->Rectangle(2, 3, 7, 7);
  EXPECT_EQ(c->Pixels(2, 3), clRed);
  EXPECT_EQ(c->Pixels(6, 6), clRed);
  EXPECT_EQ(c->Pixels(4, 3), clRed);
  EXPECT_EQ(c->Pixels(3, 4), clBlue);
  EXPECT_EQ(c->Pixels(5, 5), clBlue);
  EXPECT_EQ(c->Pixels(7, 5), clWhite);
  EXPECT_EQ(c->Pixels(4, 7), clWhite);
  EXPECT_EQ(CountOf(c, 10, 8, clBlue), 6) << Grid(c, 10, 8);

  c->Brush()->SetColor(clLime);
  c->FillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(c->Pixels(1, 1), clLime);
  EXPECT_EQ(c->Pixels(2, 1), clRed);
  EXPECT_EQ(c->Pixels(0, 2), clWhite);

  c->SetPixels(9, 7, clYellow);
  EXPECT_EQ(c->Pixels(9, 7), clYellow);
  c->SetPixels(8, 7, clBtnFace);  // system colours are resolved
  EXPECT_EQ(c->Pixels(8, 7), ColorToRGB(clBtnFace));
  EXPECT_EQ(c->Pixels(10, 0), CLR_INVALID);
  EXPECT_EQ(c->Pixels(-1, 0), CLR_INVALID);

  c->Brush()->SetColor(clNavy);
  c->FrameRect(Rect(0, 4, 2, 8));
  EXPECT_EQ(c->Pixels(0, 4), clNavy);
  EXPECT_EQ(c->Pixels(1, 7), clNavy);
}

TEST(CanvasTest, PenAndBrushChangesTakeEffectAtTheNextDrawing) {
  TBitmap b(8, 8);
  TCanvas* c = b.Canvas();
  c->Pen()->SetColor(clRed);
  c->MoveTo(0, 0);
  c->LineTo(8, 0);
  c->Pen()->SetColor(clLime);
  c->MoveTo(0, 1);
  c->LineTo(8, 1);
  EXPECT_EQ(c->Pixels(3, 0), clRed);
  EXPECT_EQ(c->Pixels(3, 1), clLime);

  // Xor twice restores what was there.
  c->Pen()->SetMode(pmXor);
  c->Pen()->SetColor(clWhite);
  c->MoveTo(0, 1);
  c->LineTo(8, 1);
  EXPECT_EQ(c->Pixels(3, 1), RGB(0xFF, 0x00, 0xFF));
  c->MoveTo(0, 1);
  c->LineTo(8, 1);
  EXPECT_EQ(c->Pixels(3, 1), clLime);
  c->Pen()->SetMode(pmCopy);

  // A clear pen leaves the outline alone and a clear brush the inside.
  c->Pen()->SetStyle(psClear);
  c->Brush()->SetColor(clBlue);
  c->Rectangle(0, 2, 4, 6);
  EXPECT_EQ(c->Pixels(0, 2), clBlue);
  EXPECT_EQ(c->Pixels(1, 3), clBlue);
  c->Pen()->SetStyle(psSolid);
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetStyle(bsClear);
  c->Rectangle(4, 2, 8, 6);
  EXPECT_EQ(c->Pixels(4, 2), clBlack);
  EXPECT_EQ(c->Pixels(5, 3), clWhite);

  // Setting a colour on a clear brush makes it solid again.
  c->Brush()->SetColor(clYellow);
  EXPECT_EQ(c->Brush()->Style(), bsSolid);
  c->FillRect(Rect(5, 3, 7, 5));
  EXPECT_EQ(c->Pixels(5, 3), clYellow);

  // Width is part of the pen.
  c->Pen()->SetWidth(3);
  c->MoveTo(0, 7);
  c->LineTo(4, 7);
  EXPECT_EQ(c->Pixels(2, 6), clBlack);
}

TEST(CanvasTest, HandleCarriesTheCanvasObjectsForPlatformCalls) {
  TBitmap b(8, 4);
  TCanvas* c = b.Canvas();
  c->Pen()->SetColor(clRed);
  c->Brush()->SetColor(clBlue);
  c->Font()->SetColor(clGreen);
  HDC dc = c->Handle();
  ::Rectangle(dc, 0, 0, 4, 4);
  EXPECT_EQ(c->Pixels(0, 0), clRed);
  EXPECT_EQ(c->Pixels(1, 1), clBlue);
  EXPECT_EQ(GetTextColor(dc), clGreen);
  EXPECT_EQ(GetBkColor(dc), clBlue);
  c->Brush()->SetColor(clLime);
  ::Rectangle(c->Handle(), 4, 0, 8, 4);
  EXPECT_EQ(c->Pixels(5, 1), clLime);
}

TEST(CanvasTest, PatternBrushRepeatsItsBitmap) {
  TBitmap pattern(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if ((x + y) % 2) pattern.Canvas()->SetPixels(x, y, clBlack);
  TBitmap b(16, 4);
  b.Canvas()->Brush()->SetBitmap(&pattern);
  b.Canvas()->FillRect(Rect(0, 0, 16, 4));
  for (int x = 0; x < 16; ++x) EXPECT_EQ(b.Canvas()->Pixels(x, 1), x % 2 ? clWhite : clBlack);
}

TEST(CanvasTest, TextTakesTheFontAndTheBrushBackground) {
  TBitmap b(80, 24);
  TCanvas* c = b.Canvas();
  c->Font()->SetColor(clRed);
  c->Brush()->SetColor(clYellow);
  c->TextOut(2, 2, u"HIH");
  int w = c->TextWidth(u"HIH"), h = c->TextHeight(u"HIH");
  EXPECT_GT(w, 5);
  EXPECT_GT(h, 5);
  EXPECT_EQ(c->PenPos(), (TPoint{2 + w, 2}));
  EXPECT_EQ(c->Pixels(2, 2), clYellow) << "a solid brush fills the text cell";
  EXPECT_GT(CountLeaning(c, 80, 24, 0), 5) << Grid(c, 80, 24);

  // The new colour and size apply to the next text.
  c->Font()->SetColor(clBlue);
  c->Font()->SetSize(16);
  EXPECT_GT(c->TextWidth(u"HIH"), w);
  c->Brush()->SetStyle(bsClear);
  c->TextOut(40, 2, u"H");
  EXPECT_EQ(c->Pixels(40, 2), clWhite) << "a clear brush draws text transparently";
  EXPECT_GT(CountLeaning(c, 80, 24, 2), 5) << Grid(c, 80, 24);
  c->Brush()->SetColor(clLime);  // solid again: the cell is filled again
  c->TextOut(60, 2, u"H");
  EXPECT_EQ(c->Pixels(60, 2), clLime);

  // TextRect clips to its rectangle.
  TBitmap t(40, 20);
  t.Canvas()->Font()->SetColor(clBlack);
  t.Canvas()->Brush()->SetColor(clLime);
  t.Canvas()->TextRect(Rect(0, 0, 6, 20), 0, 0, u"WWWW");
  EXPECT_EQ(t.Canvas()->Pixels(5, 19), clLime);
  for (int y = 0; y < 20; ++y) EXPECT_EQ(t.Canvas()->Pixels(6, y), clWhite) << y;
}

// A 2 x 2 picture: red green / blue yellow.
void FourColours(TBitmap& b) {
  b.SetSize(2, 2);
  b.Canvas()->SetPixels(0, 0, clRed);
  b.Canvas()->SetPixels(1, 0, clLime);
  b.Canvas()->SetPixels(0, 1, clBlue);
  b.Canvas()->SetPixels(1, 1, clYellow);
}

TEST(CanvasTest, DrawStretchDrawAndCopyRectPlacePixels) {
  TBitmap src;
  FourColours(src);
  TBitmap b(8, 8);
  TCanvas* c = b.Canvas();
  c->Draw(3, 4, &src);
  EXPECT_EQ(c->Pixels(3, 4), clRed);
  EXPECT_EQ(c->Pixels(4, 4), clLime);
  EXPECT_EQ(c->Pixels(3, 5), clBlue);
  EXPECT_EQ(c->Pixels(4, 5), clYellow);
  EXPECT_EQ(CountOf(c, 8, 8, clWhite), 60);

  c->StretchDraw(Rect(0, 0, 4, 4), &src);
  EXPECT_EQ(c->Pixels(1, 1), clRed);
  EXPECT_EQ(c->Pixels(2, 1), clLime);
  EXPECT_EQ(c->Pixels(1, 2), clBlue);
  EXPECT_EQ(c->Pixels(3, 3), clYellow);

  TBitmap dst(4, 4);
  dst.Canvas()->CopyRect(Rect(1, 1, 3, 3), c, Rect(3, 4, 5, 6));
  EXPECT_EQ(dst.Canvas()->Pixels(1, 1), clRed);
  EXPECT_EQ(dst.Canvas()->Pixels(2, 2), clYellow);
  EXPECT_EQ(dst.Canvas()->Pixels(0, 0), clWhite);
  dst.Canvas()->SetCopyMode(cmNotSrcCopy);
  dst.Canvas()->CopyRect(Rect(0, 0, 1, 1), c, Rect(3, 4, 4, 5));
  EXPECT_EQ(dst.Canvas()->Pixels(0, 0), clAqua);  // not red

  c->Draw(0, 0, nullptr);  // nothing, no failure
  TBitmap empty;
  c->Draw(0, 0, &empty);
}

TEST(CanvasTest, TransparentBitmapLeavesItsTransparentColourOut) {
  TBitmap src(3, 3);
  src.Canvas()->Brush()->SetColor(clFuchsia);
  src.Canvas()->FillRect(Rect(0, 0, 3, 3));
  src.Canvas()->SetPixels(1, 1, clBlue);
  src.Canvas()->SetPixels(2, 0, clRed);
  EXPECT_EQ(src.TransparentMode(), tmAuto);
  EXPECT_EQ(src.TransparentColor(), clFuchsia) << "the bottom-left pixel";

  TBitmap b(5, 5);
  b.Canvas()->Brush()->SetColor(clGreen);
  b.Canvas()->FillRect(Rect(0, 0, 5, 5));
  src.SetTransparent(true);
  b.Canvas()->Draw(1, 1, &src);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clGreen);
  EXPECT_EQ(b.Canvas()->Pixels(2, 2), clBlue);
  EXPECT_EQ(b.Canvas()->Pixels(3, 1), clRed);
  EXPECT_EQ(CountOf(b.Canvas(), 5, 5, clFuchsia), 0);

  // A fixed colour replaces the automatic one; fixing keeps the colour it had.
  src.SetTransparentColor(clBlue);
  EXPECT_EQ(src.TransparentMode(), tmFixed);
  b.Canvas()->FillRect(Rect(0, 0, 5, 5));
  b.Canvas()->Draw(1, 1, &src);
  EXPECT_EQ(b.Canvas()->Pixels(2, 2), clGreen);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clFuchsia);
  src.SetTransparentMode(tmAuto);
  EXPECT_EQ(src.TransparentColor(), clFuchsia);
  src.SetTransparentMode(tmFixed);
  src.Canvas()->SetPixels(0, 2, clBlack);
  EXPECT_EQ(src.TransparentColor(), clFuchsia);

  // BrushCopy puts the brush where the bitmap has the colour.
  TBitmap d(3, 3);
  d.Canvas()->Brush()->SetColor(clLime);
  d.Canvas()->BrushCopy(Rect(0, 0, 3, 3), &src, Rect(0, 0, 3, 3), clFuchsia);
  EXPECT_EQ(d.Canvas()->Pixels(0, 0), clLime);
  EXPECT_EQ(d.Canvas()->Pixels(1, 1), clBlue);
  EXPECT_EQ(d.Canvas()->Pixels(0, 2), clBlack);
}

TEST(BitmapTest, MonochromeBitmapsAreWhiteAndKeepBlackAndWhite) {
  TBitmap m;
  m.SetMonochrome(true);
  m.SetSize(4, 4);
  EXPECT_EQ(m.PixelFormat(), pf1bit);
  EXPECT_EQ(CountOf(m.Canvas(), 4, 4, clWhite), 16);
  EXPECT_EQ(m.TransparentColor(), clWhite);
  BITMAP info;
  ASSERT_GT(GetObjectW(m.Handle(), sizeof(info), &info), 0);
  EXPECT_EQ(info.bmBitsPixel, 1);

  // Converting maps white to white and every other colour to black.
  TBitmap c(3, 1);
  c.Canvas()->SetPixels(1, 0, clRed);
  c.Canvas()->SetPixels(2, 0, clSilver);
  c.SetPixelFormat(pf1bit);
  EXPECT_TRUE(c.Monochrome());
  EXPECT_EQ(c.Canvas()->Pixels(0, 0), clWhite);
  EXPECT_EQ(c.Canvas()->Pixels(1, 0), clBlack);
  EXPECT_EQ(c.Canvas()->Pixels(2, 0), clBlack);

  // Drawn on colour, whatever the target's font and brush colours.
  TBitmap target(3, 1);
  target.Canvas()->Font()->SetColor(clRed);
  target.Canvas()->Brush()->SetColor(clBlue);
  target.Canvas()->FillRect(Rect(0, 0, 3, 1));
  target.Canvas()->Draw(0, 0, &c);
  EXPECT_EQ(target.Canvas()->Pixels(0, 0), clWhite);
  EXPECT_EQ(target.Canvas()->Pixels(1, 0), clBlack);

  c.SetPixelFormat(pf24bit);
  EXPECT_FALSE(c.Monochrome());
  EXPECT_EQ(c.PixelFormat(), pf24bit);
  c.Canvas()->SetPixels(0, 0, clRed);
  EXPECT_EQ(c.Canvas()->Pixels(0, 0), clRed);
}

TEST(BitmapTest, ResizeAssignAndChangeNotification) {
  TBitmap b(2, 2);
  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };
  b.Canvas()->SetPixels(1, 1, clRed);
  EXPECT_GE(changes, 1) << "drawing on its canvas changes the bitmap";

  b.SetSize(4, 3);
  EXPECT_EQ(b.Width(), 4);
  EXPECT_EQ(b.Height(), 3);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed) << "resizing keeps the pixels";
  EXPECT_EQ(b.Canvas()->Pixels(3, 2), clWhite) << "new pixels are white";

  TBitmap copy;
  copy.Assign(&b);
  EXPECT_EQ(copy.Width(), 4);
  EXPECT_EQ(copy.Canvas()->Pixels(1, 1), clRed);
  copy.Canvas()->SetPixels(1, 1, clBlue);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed) << "a copy, not a shared image";
  EXPECT_NE(copy.Handle(), b.Handle());

  b.SetWidth(0);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Handle(), 0u);
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());

  HBITMAP taken = b.ReleaseHandle();
  EXPECT_EQ(taken, 0u);
  TBitmap owner;
  owner.SetHandle(CreateBitmap(5, 6, 1, 32, nullptr));
  EXPECT_EQ(owner.Width(), 5);
  EXPECT_EQ(owner.Height(), 6);
  EXPECT_FALSE(owner.Monochrome());
}

TEST(BitmapTest, NoObjectsAreLeft) {
  int before = GdiObjectCount(0);
  {
    TBitmap b(6, 6);
    b.Canvas()->Pen()->SetColor(clRed);
    b.Canvas()->Brush()->SetColor(clBlue);
    b.Canvas()->Rectangle(0, 0, 6, 6);
    b.Canvas()->Font()->SetSize(12);
    b.Canvas()->TextWidth(u"x");
    b.SetMonochrome(true);
    b.SetSize(9, 9);
    b.Canvas()->Pen()->SetColor(clBlack);
    b.Canvas()->LineTo(3, 3);
    TBitmap copy;
    copy.Assign(&b);
    copy.SetTransparent(true);
    TBitmap target(9, 9);
    target.Canvas()->Draw(0, 0, &copy);
    target.Canvas()->BrushCopy(Rect(0, 0, 9, 9), &b, Rect(0, 0, 9, 9), clWhite);
  }
  EXPECT_EQ(GdiObjectCount(0), before);
}

TEST(CanvasTest, GradientFillRunsFromStartToStop) {
  TBitmap b(5, 5);
  TCanvas* c = b.Canvas();
  ASSERT_TRUE(c->GradientFill(Rect(0, 0, 5, 5), clBlack, clWhite, GRADIENT_FILL_RECT_H));
  EXPECT_EQ(c->Pixels(0, 2), clBlack);
  for (int x = 1; x < 5; ++x) {
    EXPECT_GT(GetRValue(c->Pixels(x, 2)), GetRValue(c->Pixels(x - 1, 2))) << x;
    EXPECT_EQ(c->Pixels(x, 0), c->Pixels(x, 4)) << "constant down a column";
  }
  ASSERT_TRUE(c->GradientFill(Rect(0, 0, 5, 5), clRed, clBlue, GRADIENT_FILL_RECT_V));
  EXPECT_EQ(c->Pixels(3, 0), clRed);
  EXPECT_GT(GetBValue(c->Pixels(3, 4)), GetBValue(c->Pixels(3, 1)));
  EXPECT_EQ(c->Pixels(0, 3), c->Pixels(4, 3));
}

class FakeControl : public TCanvasDCProvider {
 public:
  FakeControl() : surface(GdiCreateBitmap32(10, 10)) {}
  ~FakeControl() override { DeleteObject(surface); }
  HDC AcquireCanvasDC() override {
    ++acquired;
    return GdiCreateSurfaceDC(surface, POINT{0, 0}, RECT{0, 0, 10, 10});
  }
  void ReleaseCanvasDC(HDC dc) override {
    ++released;
    DeleteDC(dc);
  }
  HBITMAP surface;
  int acquired = 0, released = 0;
};

TEST(CanvasTest, ControlCanvasBorrowsItsDeviceContextOnDemand) {
  TCanvas plain;
  EXPECT_THROW(plain.MoveTo(0, 0), EInvalidOperation);

  FakeControl control;
  {
    TControlCanvas c;
    c.SetProvider(&control);
    EXPECT_FALSE(c.HandleAllocated());
    c.Brush()->SetColor(clRed);
    c.FillRect(Rect(0, 0, 3, 3));
    c.FillRect(Rect(3, 3, 4, 4));
    EXPECT_EQ(control.acquired, 1);
    c.FreeHandle();
    EXPECT_EQ(control.released, 1);
    EXPECT_FALSE(c.HandleAllocated());
    EXPECT_EQ(c.Pixels(1, 1), clRed) << "drawing reached the control's surface";
    EXPECT_EQ(control.acquired, 2);

    // A device context attached from outside stays the caller's.
    HDC own = GdiCreateSurfaceDC(control.surface, POINT{0, 0}, RECT{0, 0, 10, 10});
    c.SetHandle(own);
    EXPECT_EQ(control.released, 1);
    c.FreeHandle();
    EXPECT_EQ(control.released, 2);
    EXPECT_EQ(c.Handle(), own);
    c.SetHandle(0);
    DeleteDC(own);
  }
  EXPECT_EQ(control.released, control.acquired);
}

TEST(PictureTest, HoldsAnOwnedBitmapAndReportsItsChanges) {
  TPicture p;
  int changes = 0;
  p.OnChange = [&](TObject*) { ++changes; };
  EXPECT_EQ(p.Graphic(), nullptr);
  p.Bitmap()->SetSize(3, 2);
  EXPECT_EQ(p.Width(), 3);
  EXPECT_EQ(p.Height(), 2);
  int afterSize = changes;
  EXPECT_GE(afterSize, 2);
  p.Bitmap()->Canvas()->SetPixels(0, 0, clRed);
  EXPECT_GT(changes, afterSize);

  TBitmap outside;
  FourColours(outside);
  p.SetBitmap(&outside);
  outside.Canvas()->SetPixels(0, 0, clBlack);
  EXPECT_EQ(p.Bitmap()->Canvas()->Pixels(0, 0), clRed) << "the picture keeps its own copy";
  EXPECT_EQ(p.Bitmap()->Canvas()->Pixels(1, 1), clYellow);
  p.Assign(nullptr);
  EXPECT_EQ(p.Graphic(), nullptr);
}

}  // namespace
