#include "RzGrafx.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "Exceptions.h"
#include "Forms.h"
#include "ScopeGuard.h"
#include "User.h"

// ---- Gradient arithmetic ----

int GradientMinRun(BYTE Steps, bool BoxRoutine) {
  if (Steps <= 1) return 1;
  if (Steps <= 8) return Steps;
  return (BoxRoutine ? 256 : 255) / Steps + 1;
}

TGradientStepper::TGradientStepper(TColor Base, TColor Target, int Count) {
  const TColor base = ColorToRGB(Base), target = ColorToRGB(Target);
  for (int i = 0; i < 3; ++i) {
    const std::int64_t b = std::int64_t((base >> (8 * i)) & 0xFF) << 16;
    const std::int64_t t = std::int64_t((target >> (8 * i)) & 0xFF) << 16;
    Acc_[i] = b;
    Inc_[i] = Count > 0 ? (t - b) / Count : 0;  // truncates toward zero, as div does
  }
}

TColor TGradientStepper::Advance() {
  for (int i = 0; i < 3; ++i) Acc_[i] += Inc_[i];
  return Color();
}

TColor TGradientStepper::Color() const {
  TColor c = 0;
  for (int i = 0; i < 3; ++i) {
    const std::int64_t v = std::clamp<std::int64_t>(Acc_[i] >> 16, 0, 255);
    c |= TColor(v) << (8 * i);
  }
  return c;
}

namespace {

// Takes positions into one band: every position advances the colour (and, through step, the
// caller's edges); the band ends once it holds minRun positions and the colour has changed,
// or when done() says so. Returns the colour the band is painted in, the one it started with;
// cur is left at the colour the next band starts with.
template <class Step, class Done>
TColor TakeBand(TGradientStepper& stepper, TColor& cur, int minRun, Step step, Done done) {
  const TColor band = cur;
  int n = 0;
  do {
    cur = stepper.Advance();
    step();
    ++n;
  } while (!((cur != band && n >= minRun) || done()));
  return band;
}

// An edge from a 16.16 accumulator: its upper 16 bits as an unsigned number, so an
// accumulator that went below zero reads as 32768 or more.
int UnsignedEdge(std::int64_t acc) { return int(std::uint32_t(acc) >> 16); }

}  // namespace

std::vector<TGradientBand> BandsGradientPlan(int Split, int Length, TColor StartColor,
                                             TColor StopColor, BYTE Steps) {
  const TColor start = ColorToRGB(StartColor), stop = ColorToRGB(StopColor);
  const int minRun = GradientMinRun(Steps, false);
  std::vector<TGradientBand> bands;
  // Positions high - 1 down to low with base at high - 1; a pass paints at least one band
  // even when it has no positions.
  auto pass = [&](int high, int low, TColor base, TColor target, int count) {
    TGradientStepper stepper(base, target, count);
    TColor cur = stepper.Color();
    int pos = high - 1;
    do {
      const int top = pos;
      const TColor band = TakeBand(
          stepper, cur, minRun, [&] { --pos; }, [&] { return pos < low; });
      bands.push_back({pos + 1, top + 1, band});
    } while (pos >= low);
  };
  const int high = Split < 0 ? Length : Split + 1;
  pass(high, 0, stop, start, high);
  if (Split > 0) pass(Length, Split + 1, start, stop, Length - Split - 1);
  return bands;
}

std::vector<TGradientRect> BoxGradientQuadrantPlan(int Width, int Height, int XMargin, int YMargin,
                                                   TColor StartColor, TColor StopColor,
                                                   BYTE Steps) {
  const TColor start = ColorToRGB(StartColor), stop = ColorToRGB(StopColor);
  if (start == stop || Width <= 4 || Height <= 4)
    return {{RECT{0, 0, Width + 1, Height + 1}, start}};

  const int cx = (Width - 1) / 2, cy = (Height - 1) / 2;
  const int x = cx - XMargin, y = cy - YMargin;
  const int count = std::max(x, y) + 1;
  TGradientStepper stepper(stop, start, count);
  std::int64_t xa = std::int64_t(x) * 65536, ya = std::int64_t(y) * 65536;
  const std::int64_t dx = count > 0 ? xa / count : 0, dy = count > 0 ? ya / count : 0;
  auto bothNegative = [&] { return xa < 0 && ya < 0; };
  // Both accumulators run out together after count + 1 positions; margins larger than the
  // quadrant would let one stay put for ever, so the walk is capped well past that.
  const int limit = 2 * std::max(count, 0) + 2;
  int taken = 0;

  std::vector<TGradientRect> rects;
  auto paint = [&](RECT r, TColor c) {
    // An edge that wrapped past zero makes an inverted rectangle: nothing to paint.
    if (r.left < r.right && r.top < r.bottom) rects.push_back({r, c});
  };
  const int minRun = GradientMinRun(Steps, true);
  TColor cur = stepper.Color();
  int px = cx + 1, py = cy + 1;
  while (taken < limit) {
    const TColor band = TakeBand(
        stepper, cur, minRun,
        [&] {
          xa -= dx;
          ya -= dy;
          ++taken;
        },
        [&] { return bothNegative() || taken >= limit; });
    if (bothNegative()) break;
    const int ex = UnsignedEdge(xa), ey = UnsignedEdge(ya);
    if (ey != py) paint(RECT{ex, ey, cx + 1, py}, band);
    if (ex != px) paint(RECT{ex, py, px, cy + 1}, band);
    px = ex;
    py = ey;
  }
  return rects;
}

std::vector<TGradientQuad> DiagonalGradientPlan(int SignedWidth, int Height, TColor StartColor,
                                                TColor StopColor, BYTE Steps) {
  std::vector<TGradientQuad> quads;
  // An empty side would never end the walk (its step is 0) and has nothing to fill.
  if (SignedWidth == 0 || SignedWidth == INT_MIN || Height <= 0) return quads;
  const TColor start = ColorToRGB(StartColor), stop = ColorToRGB(StopColor);
  const bool up = SignedWidth > 0;
  const int w = std::abs(SignedWidth), h = Height;
  const int x0 = up ? 0 : w;
  const int count = int(std::sqrt(double(w) * w + double(h) * h)) + 1;
  const int half = count / 2;  // at least 1: both sides are 1 or more
  TGradientStepper stepper(up ? start : stop, up ? stop : start, count);
  const std::int64_t dx = ((std::int64_t(w) << 16) / half) * (up ? 1 : -1);
  const std::int64_t dy = (std::int64_t(h) << 16) / half;
  const int minRun = GradientMinRun(Steps, false);

  POINT p[4] = {{x0, 0}, {x0, h}, {x0, h}, {0, h}};
  auto paint = [&](TColor c) { quads.push_back({{p[0], p[1], p[2], p[3]}, c}); };
  TColor cur = stepper.Color();
  std::int64_t xa = 0, ya = 0;
  auto walk = [&] {
    return TakeBand(
        stepper, cur, minRun,
        [&] {
          xa += dx;
          ya -= dy;
        },
        [&] { return ya < 0; });
  };

  // Phase 1: bands between the anchor side and the bottom edge.
  xa = std::int64_t(x0) << 16;
  ya = std::int64_t(h) << 16;
  TColor band = cur;
  do {
    band = walk();
    if (ya >= 0) {
      p[0].y = LONG(ya >> 16);
      p[3].x = LONG(xa >> 16);
      if (p[0].y < p[1].y || p[3].x != p[2].x) paint(band);
      p[1].y = p[0].y;
      p[2].x = p[3].x;
    }
  } while (ya >= 0);
  p[0].y = 0;
  p[3].x = up ? w : 0;
  if (p[0].y < p[1].y || p[3].x != p[2].x) paint(band);
  p[1].y = p[0].y;
  p[2].x = p[3].x;

  // Phase 2: bands between the top edge and the far side; the colour carries on.
  xa = std::int64_t(x0) << 16;
  ya = std::int64_t(h) << 16;
  do {
    band = walk();
    if (ya >= 0) {
      p[0].x = LONG(xa >> 16);
      p[3].y = LONG(ya >> 16);
      if (p[0].x != p[1].x || p[3].y < p[2].y) paint(band);
      p[1].x = p[0].x;
      p[2].y = p[3].y;
    }
  } while (ya >= 0);
  // The far corner takes the colour one step on, which may lie past the second colour; the
  // stepper clamps such a channel.
  p[0].x = up ? w : 0;
  p[3].y = 0;
  if (p[0].x != p[1].x || p[3].y < p[2].y) paint(cur);
  return quads;
}

std::vector<TDoublingCopy> DoublingPlan(int Width, int Height, int FilledWidth, int FilledHeight) {
  std::vector<TDoublingCopy> copies;
  // An empty block never grows.
  if (FilledWidth <= 0 || FilledHeight <= 0) return copies;
  int fw = FilledWidth, fh = FilledHeight;
  bool vertical = fh < Height;
  while (fh < Height || fw < Width) {
    if (vertical) {
      const int n = std::min(fh, Height - fh);
      copies.push_back({0, fh, fw, n});
      fh += n;
      vertical = fw >= Width;
    } else {
      const int n = std::min(fw, Width - fw);
      copies.push_back({fw, 0, n, fh});
      fw += n;
      vertical = fh < Height;
    }
  }
  return copies;
}

// ---- Painting on a device context ----

namespace {

// Each band gets a brush of its own, deleted as soon as it has painted.
void PaintRect(HDC dc, const RECT& r, TColor color) {
  const HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

}  // namespace

void FillBandsGradient(HDC DC, int SplitX, int SplitY, int Length, TColor StartColor,
                       TColor StopColor, BYTE Steps) {
  const bool columns = SplitX != 0;
  for (const TGradientBand& b :
       BandsGradientPlan(columns ? SplitX : SplitY, Length, StartColor, StopColor, Steps)) {
    const RECT r = columns ? RECT{b.First, 0, b.Last, 8} : RECT{0, b.First, 8, b.Last};
    PaintRect(DC, r, b.Color);
  }
}

void FillBoxGradientQuadrant(HDC DC, int Width, int Height, int XMargin, int YMargin,
                             TColor StartColor, TColor StopColor, BYTE Steps) {
  for (const TGradientRect& r :
       BoxGradientQuadrantPlan(Width, Height, XMargin, YMargin, StartColor, StopColor, Steps))
    PaintRect(DC, r.Rect, r.Color);
}

void MirrorQuadrant(HDC DC, int X, int Y, int Width, int Height, DWORD Rop) {
  const int hw = Width / 2, hh = Height / 2;
  const int odd = hw % 2 != 0 ? 1 : 0;
  StretchBlt(DC, X, Y + Height - 1, hw + 1, -hh, DC, X, Y, hw, hh, Rop);
  StretchBlt(DC, X + Width - 1, Y, -(hw + odd), Height, DC, X, Y, hw - odd, Height, Rop);
}

void FillByDoubling(HDC DC, int Width, int Height, int FilledWidth, int FilledHeight, DWORD Rop) {
  for (const TDoublingCopy& c : DoublingPlan(Width, Height, FilledWidth, FilledHeight))
    BitBlt(DC, c.X, c.Y, c.Width, c.Height, DC, 0, 0, Rop);
}

void FillDiagonalGradient(HDC DC, int SignedWidth, int Height, TColor StartColor, TColor StopColor,
                          BYTE Steps) {
  for (const TGradientQuad& q :
       DiagonalGradientPlan(SignedWidth, Height, StartColor, StopColor, Steps)) {
    const HBRUSH brush = CreateSolidBrush(q.Color);
    const HGDIOBJ old = SelectObject(DC, brush);
    Polygon(DC, q.Points, 4);
    SelectObject(DC, old);
    DeleteObject(brush);
  }
}

// ---- Canvas routines ----

void RenderGradientBitmap(TCanvas* Canvas, const TRect& Bounds, TGradientDirection Direction,
                          TColor StartColor, TColor StopColor, BYTE Steps) {
  const TColor start = ColorToRGB(StartColor), stop = ColorToRGB(StopColor);
  TBitmap bitmap;
  const long long w = std::llabs((long long)Bounds.right - Bounds.left);
  const long long h = std::llabs((long long)Bounds.bottom - Bounds.top);
  if (w == 0 || h == 0) return;
  if (w > INT_MAX || h > INT_MAX) throw EOutOfMemory("Out of system resources");
  const int W = int(w), H = int(h);
  bitmap.SetSize(W, H);
  TCanvas* c = bitmap.Canvas();
  c->Pen()->SetWidth(1);
  c->Pen()->SetStyle(psClear);
  c->Pen()->SetMode(pmCopy);
  c->Brush()->SetStyle(bsSolid);
  auto fill = [&](TColor color) {
    c->Brush()->SetColor(color);
    c->FillRect(Rect(0, 0, W, H));
  };
  const HDC dc = c->Handle();
  // The canvas selects its pen only for its own drawing calls; the polygons drawn on the raw
  // device context below must see the clear pen too.
  SelectObject(dc, c->Pen()->Handle());

  switch (Direction) {
    case gdDiagonalUp:
    case gdDiagonalDown:
      if (start == stop) fill(start);
      else FillDiagonalGradient(dc, Direction == gdDiagonalUp ? W : -W, H, start, stop, Steps);
      break;
    case gdHorizontalEnd:
    case gdHorizontalCenter:
      FillBandsGradient(dc, 0, Direction == gdHorizontalEnd ? -1 : H / 2, H, start, stop, Steps);
      FillByDoubling(dc, W, H, 8, H, SRCCOPY);
      break;
    case gdVerticalEnd:
    case gdVerticalCenter: {
      // SplitX 0 would turn the strip into rows; a one-column centre split paints the same
      // single StopColor column as one pass does.
      const int split = Direction == gdVerticalEnd || W / 2 == 0 ? -1 : W / 2;
      FillBandsGradient(dc, split, 0, W, start, stop, Steps);
      FillByDoubling(dc, W, H, W, 8, SRCCOPY);
      break;
    }
    case gdHorizontalBox:
      fill(start);
      FillBoxGradientQuadrant(dc, W, H, W / 4, 0, start, stop, Steps);
      MirrorQuadrant(dc, 0, 0, W, H, SRCCOPY);
      break;
    case gdVerticalBox:
      FillBoxGradientQuadrant(dc, W, H, 0, H / 4, start, stop, Steps);
      MirrorQuadrant(dc, 0, 0, W, H, SRCCOPY);
      break;
    case gdSquareBox:
      fill(start);
      FillBoxGradientQuadrant(dc, W, H, 0, 0, start, stop, Steps);
      MirrorQuadrant(dc, 0, 0, W, H, SRCCOPY);
      break;
    case gdBigSquareBox:
      FillBoxGradientQuadrant(dc, W, H, W / 4, H / 4, start, stop, Steps);
      MirrorQuadrant(dc, 0, 0, W, H, SRCCOPY);
      break;
  }
  Canvas->Draw(Bounds.left, Bounds.top, &bitmap);
}

void FillGradientRect(TCanvas* Canvas, const TRect& Bounds, TGradientDirection Direction,
                      TColor StartColor, TColor StopColor, BYTE Steps) {
  switch (Direction) {
    case gdHorizontalEnd:
      Canvas->GradientFill(Bounds, StartColor, StopColor, GRADIENT_FILL_RECT_V);
      break;
    case gdVerticalEnd:
      Canvas->GradientFill(Bounds, StartColor, StopColor, GRADIENT_FILL_RECT_H);
      break;
    default: RenderGradientBitmap(Canvas, Bounds, Direction, StartColor, StopColor, Steps); break;
  }
}

void StretchDrawTransparent(TCanvas* Canvas, TBitmap* Bitmap, const TRect& DestRect,
                            const TRect& SrcRect, TColor TransparentColor) {
  const int dw = RectWidth(DestRect), dh = RectHeight(DestRect);
  const int sw = RectWidth(SrcRect), sh = RectHeight(SrcRect);
  // Nothing to draw, and no bitmap can be made that size.
  if (!Bitmap || dw <= 0 || dh <= 0) return;
  TBitmap mask, image;
  image.SetSize(dw, dh);
  mask.SetMonochrome(true);
  mask.SetSize(dw, dh);
  // Every handle is taken before the background colour is set: asking a canvas for its
  // handle may select its brush again, which resets that colour.
  const HDC srcDC = Bitmap->Canvas()->Handle();
  const HDC imageDC = image.Canvas()->Handle();
  const HDC maskDC = mask.Canvas()->Handle();
  const HDC destDC = Canvas->Handle();
  StretchBlt(imageDC, 0, 0, dw, dh, srcDC, SrcRect.left, SrcRect.top, sw, sh, SRCCOPY);
  SetBkColor(imageDC, ColorToRGB(TransparentColor));
  BitBlt(maskDC, 0, 0, dw, dh, imageDC, 0, 0, SRCCOPY);
  TransparentStretchBlt(destDC, 0, 0, dw, dh, imageDC, 0, 0, dw, dh, maskDC, 0, 0);
}

void CopyParentBackground(TControl* Control, HDC DC, bool InvalidateParent) {
  TWinControl* parent = Control ? Control->Parent() : nullptr;
  if (!parent) return;
  const bool designing = Control->ComponentState().Contains(csDesigning);
  const int saved = SaveDC(DC);
  ScopeGuard restore([DC, saved] { RestoreDC(DC, saved); });
  POINT origin{};
  GetViewportOrgEx(DC, &origin);
  SetViewportOrgEx(DC, origin.x - Control->Left(), origin.y - Control->Top(), nullptr);
  IntersectClipRect(DC, 0, 0, parent->ClientWidth(), parent->ClientHeight());
  const auto dcParam = static_cast<WPARAM>(DC);
  if (designing) {
    // A parent that fails to paint must not stop the designer.
    try {
      parent->Perform(WM_ERASEBKGND, dcParam, 0);
      parent->Perform(WM_PRINTCLIENT, dcParam, PRF_CLIENT);
    } catch (...) {
    }
  } else {
    parent->Perform(WM_ERASEBKGND, dcParam, 0);
    parent->Perform(WM_PRINTCLIENT, dcParam, PRF_CLIENT);
  }
  if (InvalidateParent && !designing && !dynamic_cast<TCustomControl*>(parent) &&
      !dynamic_cast<TCustomForm*>(parent))
    parent->Invalidate();
}
