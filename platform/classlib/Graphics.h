#pragma once
// The class library's canvas classes: fonts, pens and brushes as persistent objects that own
// their GDI handles, the canvas that selects them into a device context when drawing needs
// them, graphics (bitmaps) and the picture that holds one.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "Classes.h"
#include "Gdi.h"

// ---- Rectangles and points ----
using TRect = RECT;
using TPoint = POINT;
using TSize = SIZE;

inline TRect Rect(int left, int top, int right, int bottom) {
  return TRect{left, top, right, bottom};
}
inline TRect Bounds(int left, int top, int width, int height) {
  return TRect{left, top, left + width, top + height};
}
inline TPoint Point(int x, int y) { return TPoint{x, y}; }
inline int RectWidth(const TRect& r) { return r.right - r.left; }
inline int RectHeight(const TRect& r) { return r.bottom - r.top; }

// number * numerator / denominator through 64 bits, rounded half away from zero; -1 when the
// denominator is 0 or the result does not fit 32 bits (the platform's MulDiv).
int MulDiv(int number, int numerator, int denominator);

// ---- Small sets of enumeration values (the library's "set of" types) ----
template <typename E>
class TEnumSet {
 public:
  constexpr TEnumSet() = default;
  constexpr TEnumSet(E e) : bits_(Bit(e)) {}  // NOLINT: a single value reads as a set
  constexpr TEnumSet(std::initializer_list<E> values) {
    for (E e : values) bits_ |= Bit(e);
  }
  static constexpr TEnumSet FromBits(std::uint32_t bits) {
    TEnumSet s;
    s.bits_ = bits;
    return s;
  }
  constexpr std::uint32_t Bits() const { return bits_; }
  constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TEnumSet& Include(E e) {
    bits_ |= Bit(e);
    return *this;
  }
  constexpr TEnumSet& Exclude(E e) {
    bits_ &= ~Bit(e);
    return *this;
  }
  constexpr TEnumSet operator|(TEnumSet o) const { return FromBits(bits_ | o.bits_); }
  constexpr TEnumSet operator&(TEnumSet o) const { return FromBits(bits_ & o.bits_); }
  constexpr TEnumSet operator-(TEnumSet o) const { return FromBits(bits_ & ~o.bits_); }
  constexpr TEnumSet& operator|=(TEnumSet o) {
    bits_ |= o.bits_;
    return *this;
  }
  constexpr TEnumSet& operator-=(TEnumSet o) {
    bits_ &= ~o.bits_;
    return *this;
  }
  friend constexpr bool operator==(TEnumSet, TEnumSet) = default;

 private:
  static constexpr std::uint32_t Bit(E e) { return std::uint32_t(1) << static_cast<int>(e); }
  std::uint32_t bits_ = 0;
};

// ---- Value types of the canvas objects ----
// Scoped, because "fs" also prefixes frame and form styles elsewhere; the constants keep the
// library's spelling at call sites: TFontStyles{fsBold, fsItalic}, style.Contains(fsBold).
enum class TFontStyle : std::uint8_t { Bold, Italic, Underline, StrikeOut };
using TFontStyles = TEnumSet<TFontStyle>;
constexpr TFontStyle fsBold = TFontStyle::Bold;
constexpr TFontStyle fsItalic = TFontStyle::Italic;
constexpr TFontStyle fsUnderline = TFontStyle::Underline;
constexpr TFontStyle fsStrikeOut = TFontStyle::StrikeOut;
constexpr TFontStyles operator|(TFontStyle a, TFontStyle b) { return TFontStyles{a, b}; }

enum TFontPitch : std::uint8_t { fpDefault, fpVariable, fpFixed };
using TFontCharset = std::uint8_t;

enum TPenStyle : std::uint8_t {
  psSolid,
  psDash,
  psDot,
  psDashDot,
  psDashDotDot,
  psClear,
  psInsideFrame,
  psUserStyle,
  psAlternate
};

enum TPenMode : std::uint8_t {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};

enum TBrushStyle : std::uint8_t {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};

// Canvas copy modes are raster operations.
using TCopyMode = DWORD;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

// The screen's logical resolution, the default of every font's PixelsPerInch.
constexpr int ScreenPixelsPerInch = 96;

class TBitmap;
class TCanvas;

KORV_EXCEPTION(EInvalidGraphic, Exception);

// ---- Graphics objects ----
class TGraphicsObject : public TPersistent {
 public:
  String ClassName() const override;
  TNotifyEvent OnChange;

 protected:
  virtual void Changed();
};

// The default font is Tahoma, 8 points (height -11 at 96 pixels per inch), black, default
// character set and pitch.
class TFont : public TGraphicsObject {
 public:
  TFont();
  ~TFont() override;
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;
  String ClassName() const override;

  // Copies the face, height, style, colour, character set, pitch and orientation; when the two
  // fonts have different PixelsPerInch the point size is kept rather than the height.
  void Assign(const TPersistent* source) override;

  // Created from the attributes on first use; owned by the font and replaced on every change.
  HFONT Handle();
  // Takes over the handle: the attributes are read from its LOGFONT and the font frees it.
  void SetHandle(HFONT font);
  bool HandleAllocated() const { return handle_ != 0; }

  const String& Name() const { return name_; }
  void SetName(const String& name);
  // Points: -MulDiv(Height, 72, PixelsPerInch) (a positive cell height gives a negative size).
  int Size() const;
  void SetSize(int points);
  // Negative: the character height in pixels; positive: the cell height.
  int Height() const { return height_; }
  void SetHeight(int height);
  // Does not change Height, so the point size follows.
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int ppi) { pixelsPerInch_ = ppi; }
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset charset);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);
  // Tenths of a degree, counter-clockwise.
  int Orientation() const { return orientation_; }
  void SetOrientation(int tenths);

  // The LOGFONT the handle is created from.
  LOGFONTW LogFont() const;

 protected:
  void Changed() override;

 private:
  void FreeHandle();
  String name_ = u"Tahoma";
  int height_ = -11;
  int pixelsPerInch_ = ScreenPixelsPerInch;
  TFontStyles style_;
  TColor color_ = clWindowText;
  TFontCharset charset_ = DEFAULT_CHARSET;
  TFontPitch pitch_ = fpDefault;
  int orientation_ = 0;
  HFONT handle_ = 0;
};

// Black, width 1, solid, pmCopy.
class TPen : public TGraphicsObject {
 public:
  TPen();
  ~TPen() override;
  TPen(const TPen&) = delete;
  TPen& operator=(const TPen&) = delete;
  String ClassName() const override;
  void Assign(const TPersistent* source) override;

  HPEN Handle();
  void SetHandle(HPEN pen);  // takes it over; colour, width and style read from its LOGPEN
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  // The canvas applies it with SetROP2; it is not part of the handle.
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode mode);

 protected:
  void Changed() override;

 private:
  void FreeHandle();
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
  HPEN handle_ = 0;
};

// White and solid. With a Bitmap the brush is a pattern brush of its top-left 8 x 8 pixels.
class TBrush : public TGraphicsObject {
 public:
  TBrush();
  ~TBrush() override;
  TBrush(const TBrush&) = delete;
  TBrush& operator=(const TBrush&) = delete;
  String ClassName() const override;
  void Assign(const TPersistent* source) override;

  HBRUSH Handle();
  void SetHandle(HBRUSH brush);  // takes it over; colour and style read from its LOGBRUSH
  TColor Color() const { return color_; }
  void SetColor(TColor color);  // also makes a clear brush solid, as the library does
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);
  // Not owned; the brush copies the pattern when its handle is made.
  TBitmap* Bitmap() const { return bitmap_; }
  void SetBitmap(TBitmap* bitmap);

 protected:
  void Changed() override;

 private:
  void FreeHandle();
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  TBitmap* bitmap_ = nullptr;
  HBRUSH handle_ = 0;
};

// ---- Graphics ----
class TGraphic : public TPersistent {
 public:
  String ClassName() const override;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;
  virtual bool Empty() const { return Width() == 0 || Height() == 0; }
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool transparent);
  // Draws the whole graphic scaled into rect on canvas (TCanvas::Draw and StretchDraw call it).
  virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;

  TNotifyEvent OnChange;
  bool Modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }

 protected:
  virtual void Changed();

 private:
  bool transparent_ = false;
  bool modified_ = false;
};

// ---- The canvas ----
class TCanvas : public TPersistent {
 public:
  TCanvas();
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  String ClassName() const override;

  // The device context, created on demand through CreateHandle, with the canvas's pen, brush
  // and font selected (and text colour, background colour and mode, ROP2 set from them), so
  // platform calls on it draw as the canvas would. A canvas that cannot make one raises
  // EInvalidOperation("Canvas does not allow drawing").
  HDC Handle();
  // Attaches a device context the caller keeps owning (0 detaches). The canvas's pen, brush and
  // font are deselected from the previous one first.
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return handle_ != 0; }

  TPen* Pen() { return pen_.get(); }
  TBrush* Brush() { return brush_.get(); }
  TFont* Font() { return font_.get(); }
  // Assigning copies the attributes (the canvas keeps its own objects).
  void SetPen(const TPen* pen) { pen_->Assign(pen); }
  void SetBrush(const TBrush* brush) { brush_->Assign(brush); }
  void SetFont(const TFont* font) { font_->Assign(font); }

  TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode mode) { copyMode_ = mode; }

  TPoint PenPos();
  void SetPenPos(TPoint p) { MoveTo(p.x, p.y); }
  void MoveTo(int x, int y);
  // The end point is not drawn; the pen position moves to it.
  void LineTo(int x, int y);
  void Polyline(const std::vector<TPoint>& points);
  void Polyline(const TPoint* points, int count);
  void Polygon(const std::vector<TPoint>& points);
  void Polygon(const TPoint* points, int count);
  // Pen outline and brush fill, right and bottom exclusive.
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const TRect& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
  void RoundRect(int left, int top, int right, int bottom, int width, int height);
  void Ellipse(int left, int top, int right, int bottom);
  void Ellipse(const TRect& r) { Ellipse(r.left, r.top, r.right, r.bottom); }
  // The brush only.
  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  void DrawFocusRect(const TRect& r);

  // CLR_INVALID (as a TColor, -1) outside the surface or the clip region.
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);

  // With a solid brush the text cell is filled with the brush colour; with a clear brush the
  // text is drawn transparently. TextOut moves the pen position to the end of the text.
  void TextOut(int x, int y, const String& text);
  // Clipped to r; a non-clear brush fills r first.
  void TextRect(const TRect& r, int x, int y, const String& text);
  TSize TextExtent(const String& text);
  int TextWidth(const String& text) { return TextExtent(text).cx; }
  int TextHeight(const String& text) { return TextExtent(text).cy; }

  // The graphic at its own size with its top-left corner at (x, y); nothing for null or empty.
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& r, TGraphic* graphic);
  // StretchBlt from source's sourceRect into dest with CopyMode.
  void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);
  // Copies sourceRect of bitmap into dest, its pixels of colour color replaced by the brush.
  void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& sourceRect, TColor color);
  // The platform's GradientFill over r from start (top-left) to stop (bottom-right);
  // mode is GRADIENT_FILL_RECT_H (left to right) or GRADIENT_FILL_RECT_V (top to bottom).
  bool GradientFill(const TRect& r, TColor start, TColor stop, ULONG mode);

  // What drawing can reach, in logical units.
  TRect ClipRect();

  // Single-threaded: counted, nothing else.
  void Lock() { ++lockCount_; }
  void Unlock() { --lockCount_; }
  bool TryLock() {
    ++lockCount_;
    return true;
  }
  int LockCount() const { return lockCount_; }

  // Fired around every drawing operation.
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  // Called by Handle() when no device context is attached; the base class has none to give.
  virtual void CreateHandle();
  virtual void Changed();
  virtual void Changing();
  // Selects stock objects so the canvas's own handles can be freed while the DC lives on.
  void DeselectHandles();
  // The attached device context, 0 when none (never creates one).
  HDC AttachedHandle() const { return handle_; }

 private:
  enum Need : unsigned { kHandle = 0, kPen = 1, kBrush = 2, kFont = 4 };
  void RequiredState(unsigned needs);
  void SelectPen();
  void SelectBrush();
  void SelectFont();

  HDC handle_ = 0;
  unsigned valid_ = 0;  // which objects are selected into handle_ as they are now
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
  std::unique_ptr<TFont> font_;
  TCopyMode copyMode_ = cmSrcCopy;
  int lockCount_ = 0;
};

// Where a control canvas gets its device context from (the control, later).
class TCanvasDCProvider {
 public:
  virtual ~TCanvasDCProvider() = default;
  virtual HDC AcquireCanvasDC() = 0;
  virtual void ReleaseCanvasDC(HDC dc) = 0;
};

// A canvas that asks its provider for a device context when drawing needs one and gives it back
// in FreeHandle (or when the provider changes or the canvas goes). A DC attached with
// SetHandle stays the caller's.
class TControlCanvas : public TCanvas {
 public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  String ClassName() const override;
  TCanvasDCProvider* Provider() const { return provider_; }
  void SetProvider(TCanvasDCProvider* provider);
  void FreeHandle();

 protected:
  void CreateHandle() override;

 private:
  TCanvasDCProvider* provider_ = nullptr;
  HDC acquired_ = 0;
};

// ---- Bitmaps ----
enum TPixelFormat : std::uint8_t {
  pfDevice,
  pf1bit,
  pf4bit,
  pf8bit,
  pf15bit,
  pf16bit,
  pf24bit,
  pf32bit,
  pfCustom
};
enum TTransparentMode : std::uint8_t { tmAuto, tmFixed };

// A bitmap with its own memory DC for its canvas. New pixels are white, monochrome ones too;
// resizing keeps the overlapping pixels. Colour bitmaps are held in 32 bits whatever format
// was asked for (PixelFormat reports the one asked); pf1bit is Monochrome.
class TBitmap : public TGraphic {
 public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  String ClassName() const override;

  // From another TBitmap: an independent copy of its pixels and settings; from nullptr: empty.
  void Assign(const TPersistent* source) override;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetWidth(int width) override { SetSize(width, height_); }
  void SetHeight(int height) override { SetSize(width_, height); }
  void SetSize(int width, int height);

  bool Monochrome() const { return monochrome_; }
  void SetMonochrome(bool monochrome);
  TPixelFormat PixelFormat() const;
  void SetPixelFormat(TPixelFormat format);

  // Drawing on it reports the bitmap's OnChange.
  TCanvas* Canvas();
  // 0 while the bitmap is empty.
  HBITMAP Handle();
  // Takes over a bitmap handle (0 empties the bitmap).
  void SetHandle(HBITMAP bitmap);
  // Gives the handle to the caller; the bitmap becomes empty.
  HBITMAP ReleaseHandle();
  HPALETTE Palette() const { return 0; }

  // tmAuto: the bottom-left pixel (white for a monochrome bitmap); tmFixed: the colour set.
  TColor TransparentColor();
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode mode);

  // The BMP file: file header, info header, colour table and bottom-up rows. Written in 1 bit
  // (monochrome), 32 bits (pf32bit) or 24 bits; read from 1, 4, 8, 16 (5-5-5), 24 and 32 bits
  // uncompressed, from the stream's position to its end. Malformed data raises EInvalidGraphic
  // and leaves the bitmap as it was.
  void LoadFromStream(TStream* stream);
  void SaveToStream(TStream* stream);

  // Nothing to give back on this platform.
  void Dormant() {}
  void FreeImage() {}

  void Draw(TCanvas* canvas, const TRect& rect) override;

 protected:
  void Changed() override;

 private:
  class BitmapCanvas;
  void Recreate(int width, int height, bool monochrome);
  HDC MemoryDC();
  void FreeDC();
  HBITMAP bitmap_ = 0;
  HDC dc_ = 0;
  HBITMAP oldBitmap_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool monochrome_ = false;
  TPixelFormat pixelFormat_ = pfDevice;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
  std::unique_ptr<TCanvas> canvas_;
  friend class BitmapCanvas;
};

// Holds one graphic (owned). Bitmap() makes the graphic a bitmap when it is not one.
class TPicture : public TPersistent {
 public:
  TPicture();
  ~TPicture() override;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;
  String ClassName() const override;
  void Assign(const TPersistent* source) override;

  TGraphic* Graphic() const { return graphic_.get(); }
  // Copies graphic (a TBitmap) into a new owned one; nullptr clears.
  void SetGraphic(const TGraphic* graphic);
  TBitmap* Bitmap();
  void SetBitmap(const TBitmap* bitmap) { SetGraphic(bitmap); }
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

  TNotifyEvent OnChange;

 private:
  void Changed();
  void Hook();
  std::unique_ptr<TGraphic> graphic_;
};

// Draws srcDC's source rectangle scaled into the destination through maskDC: mask pixels that
// are white leave the destination as it was, black ones take the source. The mask is read at
// the source's scale from (maskX, maskY).
bool TransparentStretchBlt(HDC dstDC, int dstX, int dstY, int dstW, int dstH, HDC srcDC, int srcX,
                           int srcY, int srcW, int srcH, HDC maskDC, int maskX, int maskY);
