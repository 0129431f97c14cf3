#pragma once
// Unit RzGrafx: two-colour gradient fills in ten directions, painted as merged bands into a
// scratch bitmap and put on the canvas in one draw, and a transparent stretching bitmap copy.
//
// Colour arithmetic is integer 16.16 fixed point: each channel is an accumulator (channel shl
// 16) stepped by ((target - base) shl 16) div Count, and a position's colour is formed from
// the accumulators' integer parts. Adjacent positions are merged into bands by a run rule
// (GradientMinRun) so a fill needs one brush per distinct colour, or fewer.
#include <cstdint>
#include <vector>

#include "Colors.h"
#include "Gdi.h"
#include "Graphics.h"
#include "RzCommon.h"

// ---- Painting routines ----

// gdHorizontalEnd and gdVerticalEnd go to the canvas's platform gradient fill with Bounds
// unchanged (Steps unused); every other direction to RenderGradientBitmap.
void FillGradientRect(TCanvas* Canvas, const TRect& Bounds, TGradientDirection Direction,
                      TColor StartColor, TColor StopColor, BYTE Steps);
// Paints the gradient into a scratch bitmap of |width| x |height| and draws it at
// (Bounds.Left, Bounds.Top); an empty rectangle draws nothing.
void RenderGradientBitmap(TCanvas* Canvas, const TRect& Bounds, TGradientDirection Direction,
                          TColor StartColor, TColor StopColor, BYTE Steps);

// Straight bands in a strip 8 pixels across. Columns when SplitX is not 0, else rows, with
// Split the value of that axis: -1 is one pass StopColor..StartColor over Length (StopColor at
// the far end); 0 or more splits after position Split (StopColor there, StartColor at both
// ends).
void FillBandsGradient(HDC DC, int SplitX, int SplitY, int Length, TColor StartColor,
                       TColor StopColor, BYTE Steps);
// The top-left quadrant of concentric rectangles, StopColor at the inner edges (CX + 1,
// CY + 1) shrunk by the margins, StartColor towards (0, 0).
void FillBoxGradientQuadrant(HDC DC, int Width, int Height, int XMargin, int YMargin,
                             TColor StartColor, TColor StopColor, BYTE Steps);
// Mirrors the top-left quadrant of (X, Y, Width, Height) into the other three with two
// stretch blits.
void MirrorQuadrant(HDC DC, int X, int Y, int Width, int Height, DWORD Rop);
// Replicates the filled block (0, 0, FilledWidth, FilledHeight) over Width x Height by copies
// that double it, alternating between down and across.
void FillByDoubling(HDC DC, int Width, int Height, int FilledWidth, int FilledHeight, DWORD Rop);
// Diagonal bands as filled quadrilaterals over |SignedWidth| x Height: StartColor bottom-left
// to StopColor top-right when SignedWidth > 0, StartColor top-left to StopColor bottom-right
// otherwise. Uses the DC's pen, so a null pen gives unoutlined bands.
void FillDiagonalGradient(HDC DC, int SignedWidth, int Height, TColor StartColor, TColor StopColor,
                          BYTE Steps);

// Draws SrcRect of Bitmap, scaled to DestRect's size, at the canvas origin, leaving out the
// pixels of TransparentColor (only DestRect's size is used).
// Paints the parent's background, as it lies under Control, into DC; then invalidates the
// parent unless it paints itself whole anyway (a form or a custom control).
void CopyParentBackground(TControl* Control, HDC DC, bool InvalidateParent);
void StretchDrawTransparent(TCanvas* Canvas, TBitmap* Bitmap, const TRect& DestRect,
                            const TRect& SrcRect, TColor TransparentColor);

// ---- Gradient arithmetic, without a device context ----
// The painting routines above are these plans carried out, one brush per entry.

// The least number of positions in a merged band: Steps 0 and 1 give 1, 2..8 give Steps,
// larger values (255 div Steps) + 1, or (256 div Steps) + 1 for the box routine.
int GradientMinRun(BYTE Steps, bool BoxRoutine);

// One 16.16 fixed-point colour walk from Base towards Target in Count steps (no steps when
// Count <= 0). Colours are resolved to RGB first.
class TGradientStepper {
 public:
  TGradientStepper(TColor Base, TColor Target, int Count);
  // Advances every channel one step and returns the colour now held.
  TColor Advance();
  // The colour now held. A channel stepped beyond 0..255 (only the diagonal routine steps
  // past its target) is clamped, so a colour is always a valid RGB value.
  TColor Color() const;

 private:
  // 64 bits, so stepping on past Count can never overflow.
  std::int64_t Acc_[3];
  std::int64_t Inc_[3];
};

// Positions [First, Last) painted in Color.
struct TGradientBand {
  int First;
  int Last;
  TColor Color;
  friend bool operator==(const TGradientBand&, const TGradientBand&) = default;
};
// The bands of FillBandsGradient along its axis, pass 1 then pass 2, each pass in the order
// painted (from its far end inwards).
std::vector<TGradientBand> BandsGradientPlan(int Split, int Length, TColor StartColor,
                                             TColor StopColor, BYTE Steps);

struct TGradientRect {
  RECT Rect;
  TColor Color;
};
// The rectangles FillBoxGradientQuadrant fills, in order.
std::vector<TGradientRect> BoxGradientQuadrantPlan(int Width, int Height, int XMargin, int YMargin,
                                                   TColor StartColor, TColor StopColor, BYTE Steps);

struct TGradientQuad {
  POINT Points[4];
  TColor Color;
};
// The quadrilaterals FillDiagonalGradient fills, in order; none when a side is 0 or less.
std::vector<TGradientQuad> DiagonalGradientPlan(int SignedWidth, int Height, TColor StartColor,
                                                TColor StopColor, BYTE Steps);

// One copy of the block (0, 0, Width, Height) to (X, Y).
struct TDoublingCopy {
  int X;
  int Y;
  int Width;
  int Height;
  friend bool operator==(const TDoublingCopy&, const TDoublingCopy&) = default;
};
// The copies FillByDoubling makes, in order; none when the filled block is empty.
std::vector<TDoublingCopy> DoublingPlan(int Width, int Height, int FilledWidth, int FilledHeight);
