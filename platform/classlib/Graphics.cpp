#include "Graphics.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  std::int64_t product = std::int64_t(number) * numerator;
  std::int64_t d = denominator;
  if (d < 0) {
    product = -product;
    d = -d;
  }
  // Truncating division after adding half the divisor towards the sign: half away from zero.
  std::int64_t result = product >= 0 ? (product + d / 2) / d : (product - d / 2) / d;
  if (result > INT_MAX || result < INT_MIN) return -1;
  return static_cast<int>(result);
}

// ---- TGraphicsObject ----

String TGraphicsObject::ClassName() const { return u"TGraphicsObject"; }

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

// ---- TFont ----

TFont::TFont() = default;

TFont::~TFont() { FreeHandle(); }

String TFont::ClassName() const { return u"TFont"; }

void TFont::FreeHandle() {
  if (handle_) DeleteObject(handle_);
  handle_ = 0;
}

void TFont::Changed() { TGraphicsObject::Changed(); }

void TFont::Assign(const TPersistent* source) {
  if (auto* font = dynamic_cast<const TFont*>(source)) {
    if (font == this) return;
    name_ = font->name_;
    style_ = font->style_;
    charset_ = font->charset_;
    pitch_ = font->pitch_;
    orientation_ = font->orientation_;
    color_ = font->color_;
    // A font moving to a device of another resolution keeps its point size.
    if (pixelsPerInch_ != font->pixelsPerInch_) height_ = -MulDiv(font->Size(), pixelsPerInch_, 72);
    else height_ = font->height_;
    FreeHandle();
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

LOGFONTW TFont::LogFont() const {
  LOGFONTW lf;
  lf.lfHeight = height_;
  lf.lfWidth = 0;
  lf.lfEscapement = orientation_;
  lf.lfOrientation = orientation_;
  lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = style_.Contains(fsItalic) ? 1 : 0;
  lf.lfUnderline = style_.Contains(fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = style_.Contains(fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = charset_;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = pitch_ == fpVariable ? VARIABLE_PITCH
                        : pitch_ == fpFixed  ? FIXED_PITCH
                                             : DEFAULT_PITCH;
  size_t n = std::min<size_t>(name_.size(), LF_FACESIZE - 1);
  std::copy_n(name_.begin(), n, lf.lfFaceName);
  lf.lfFaceName[n] = 0;
  return lf;
}

HFONT TFont::Handle() {
  if (!handle_) {
    LOGFONTW lf = LogFont();
    handle_ = CreateFontIndirectW(&lf);
  }
  return handle_;
}

void TFont::SetHandle(HFONT font) {
  if (font == handle_) return;
  FreeHandle();
  LOGFONTW lf;
  if (font && GetObjectW(font, sizeof(lf), &lf) == int(sizeof(lf))) {
    height_ = lf.lfHeight;
    orientation_ = lf.lfEscapement;
    charset_ = lf.lfCharSet;
    TFontStyles style;
    if (lf.lfWeight >= FW_BOLD) style.Include(fsBold);
    if (lf.lfItalic) style.Include(fsItalic);
    if (lf.lfUnderline) style.Include(fsUnderline);
    if (lf.lfStrikeOut) style.Include(fsStrikeOut);
    style_ = style;
    BYTE pitch = lf.lfPitchAndFamily & 0x03;
    pitch_ = pitch == VARIABLE_PITCH ? fpVariable : pitch == FIXED_PITCH ? fpFixed : fpDefault;
    size_t n = 0;
    while (n < size_t(LF_FACESIZE) && lf.lfFaceName[n]) ++n;
    name_.assign(lf.lfFaceName, n);
  }
  handle_ = font;
  Changed();
}

void TFont::SetName(const String& name) {
  if (name.empty() || name == name_) return;
  name_ = name;
  FreeHandle();
  Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, pixelsPerInch_); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixelsPerInch_, 72)); }

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  FreeHandle();
  Changed();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  FreeHandle();
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;  // not part of the handle
  Changed();
}

void TFont::SetCharset(TFontCharset charset) {
  if (charset == charset_) return;
  charset_ = charset;
  FreeHandle();
  Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == pitch_) return;
  pitch_ = pitch;
  FreeHandle();
  Changed();
}

void TFont::SetOrientation(int tenths) {
  if (tenths == orientation_) return;
  orientation_ = tenths;
  FreeHandle();
  Changed();
}

// ---- TPen ----

TPen::TPen() = default;

TPen::~TPen() { FreeHandle(); }

String TPen::ClassName() const { return u"TPen"; }

void TPen::FreeHandle() {
  if (handle_) DeleteObject(handle_);
  handle_ = 0;
}

void TPen::Changed() { TGraphicsObject::Changed(); }

void TPen::Assign(const TPersistent* source) {
  if (auto* pen = dynamic_cast<const TPen*>(source)) {
    if (pen == this) return;
    color_ = pen->color_;
    width_ = pen->width_;
    style_ = pen->style_;
    mode_ = pen->mode_;
    FreeHandle();
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

HPEN TPen::Handle() {
  // The style values are the platform's PS_ numbers.
  if (!handle_) handle_ = CreatePen(int(style_), width_, ColorToRGB(color_));
  return handle_;
}

void TPen::SetHandle(HPEN pen) {
  if (pen == handle_) return;
  FreeHandle();
  LOGPEN lp;
  if (pen && GetObjectW(pen, sizeof(lp), &lp) == int(sizeof(lp))) {
    color_ = lp.lopnColor;
    width_ = lp.lopnWidth.x;
    UINT style = lp.lopnStyle & PS_STYLE_MASK;
    style_ = style <= PS_ALTERNATE ? TPenStyle(style) : psSolid;
  }
  handle_ = pen;
  Changed();
}

void TPen::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  FreeHandle();
  Changed();
}

void TPen::SetWidth(int width) {
  if (width < 0 || width == width_) return;
  width_ = width;
  FreeHandle();
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == style_) return;
  style_ = style;
  FreeHandle();
  Changed();
}

void TPen::SetMode(TPenMode mode) {
  if (mode == mode_) return;
  mode_ = mode;
  Changed();
}

// ---- TBrush ----

TBrush::TBrush() = default;

TBrush::~TBrush() { FreeHandle(); }

String TBrush::ClassName() const { return u"TBrush"; }

void TBrush::FreeHandle() {
  if (handle_) DeleteObject(handle_);
  handle_ = 0;
}

void TBrush::Changed() { TGraphicsObject::Changed(); }

void TBrush::Assign(const TPersistent* source) {
  if (auto* brush = dynamic_cast<const TBrush*>(source)) {
    if (brush == this) return;
    color_ = brush->color_;
    style_ = brush->style_;
    bitmap_ = brush->bitmap_;
    FreeHandle();
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

HBRUSH TBrush::Handle() {
  if (handle_) return handle_;
  if (bitmap_ && !bitmap_->Empty()) {
    handle_ = CreatePatternBrush(bitmap_->Handle());
    return handle_;
  }
  LOGBRUSH lb;
  lb.lbColor = ColorToRGB(color_);
  if (style_ == bsSolid) {
    lb.lbStyle = BS_SOLID;
  } else if (style_ == bsClear) {
    lb.lbStyle = BS_NULL;
  } else {
    lb.lbStyle = BS_HATCHED;
    lb.lbHatch = ULONG_PTR(style_ - bsHorizontal);  // HS_HORIZONTAL .. HS_DIAGCROSS
  }
  handle_ = CreateBrushIndirect(&lb);
  return handle_;
}

void TBrush::SetHandle(HBRUSH brush) {
  if (brush == handle_) return;
  FreeHandle();
  LOGBRUSH lb;
  if (brush && GetObjectW(brush, sizeof(lb), &lb) == int(sizeof(lb))) {
    color_ = lb.lbColor;
    if (lb.lbStyle == BS_NULL) style_ = bsClear;
    else if (lb.lbStyle == BS_HATCHED && lb.lbHatch <= ULONG_PTR(HS_DIAGCROSS))
      style_ = TBrushStyle(bsHorizontal + lb.lbHatch);
    else style_ = bsSolid;
  }
  bitmap_ = nullptr;
  handle_ = brush;
  Changed();
}

void TBrush::SetColor(TColor color) {
  if (color == color_ && style_ != bsClear) return;
  color_ = color;
  if (style_ == bsClear) style_ = bsSolid;
  FreeHandle();
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == style_) return;
  style_ = style;
  FreeHandle();
  Changed();
}

void TBrush::SetBitmap(TBitmap* bitmap) {
  if (bitmap == bitmap_) return;
  bitmap_ = bitmap;
  FreeHandle();
  Changed();
}

// ---- TGraphic ----

String TGraphic::ClassName() const { return u"TGraphic"; }

void TGraphic::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  Changed();
}

void TGraphic::Changed() {
  modified_ = true;
  if (OnChange) OnChange(this);
}

// ---- TCanvas ----

namespace {

constexpr int kPenModes[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                             R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                             R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                             R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};

}  // namespace

TCanvas::TCanvas()
    : pen_(std::make_unique<TPen>()),
      brush_(std::make_unique<TBrush>()),
      font_(std::make_unique<TFont>()) {
  // A changed object is selected again before the next drawing that needs it; the stock
  // object taking its place lets the old handle go at once.
  pen_->OnChange = [this](TObject*) {
    if (valid_ & kPen) {
      SelectObject(handle_, GetStockObject(BLACK_PEN));
      valid_ &= ~unsigned(kPen);
    }
  };
  brush_->OnChange = [this](TObject*) {
    if (valid_ & kBrush) {
      SelectObject(handle_, GetStockObject(HOLLOW_BRUSH));
      valid_ &= ~unsigned(kBrush);
    }
  };
  font_->OnChange = [this](TObject*) {
    if (valid_ & kFont) {
      SelectObject(handle_, GetStockObject(SYSTEM_FONT));
      valid_ &= ~unsigned(kFont);
    }
  };
}

TCanvas::~TCanvas() {
  DeselectHandles();
  // The objects are destroyed after this body; their callbacks must not reach a dead canvas.
  pen_->OnChange = nullptr;
  brush_->OnChange = nullptr;
  font_->OnChange = nullptr;
}

String TCanvas::ClassName() const { return u"TCanvas"; }

void TCanvas::CreateHandle() {}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

HDC TCanvas::Handle() {
  // Whoever takes the handle draws on it directly, so pen, brush and font must be in it.
  Changing();
  RequiredState(kPen | kBrush | kFont);
  return handle_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == handle_) return;
  DeselectHandles();
  handle_ = dc;
  valid_ = 0;
}

void TCanvas::DeselectHandles() {
  if (handle_ && valid_) {
    if (valid_ & kPen) SelectObject(handle_, GetStockObject(BLACK_PEN));
    if (valid_ & kBrush) SelectObject(handle_, GetStockObject(HOLLOW_BRUSH));
    if (valid_ & kFont) SelectObject(handle_, GetStockObject(SYSTEM_FONT));
  }
  valid_ = 0;
}

void TCanvas::RequiredState(unsigned needs) {
  if (!handle_) {
    CreateHandle();
    if (!handle_) throw EInvalidOperation("Canvas does not allow drawing");
  }
  if ((needs & kPen) && !(valid_ & kPen)) SelectPen();
  if ((needs & kBrush) && !(valid_ & kBrush)) SelectBrush();
  if ((needs & kFont) && !(valid_ & kFont)) SelectFont();
}

void TCanvas::SelectPen() {
  SelectObject(handle_, pen_->Handle());
  SetROP2(handle_, kPenModes[pen_->Mode()]);
  valid_ |= kPen;
}

void TCanvas::SelectBrush() {
  SelectObject(handle_, brush_->Handle());
  COLORREF color = ColorToRGB(brush_->Color()) & 0x00FFFFFF;
  // Text and hatches are opaque over a solid brush only, their background the brush colour.
  if (brush_->Style() == bsSolid) {
    SetBkColor(handle_, color);
    SetBkMode(handle_, OPAQUE);
  } else {
    SetBkColor(handle_, ~color & 0x00FFFFFF);
    SetBkMode(handle_, TRANSPARENT);
  }
  valid_ |= kBrush;
}

void TCanvas::SelectFont() {
  SelectObject(handle_, font_->Handle());
  SetTextColor(handle_, ColorToRGB(font_->Color()));
  valid_ |= kFont;
}

TPoint TCanvas::PenPos() {
  RequiredState(kHandle);
  TPoint p;
  GetCurrentPositionEx(handle_, &p);
  return p;
}

void TCanvas::MoveTo(int x, int y) {
  RequiredState(kHandle);
  MoveToEx(handle_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  RequiredState(kPen | kBrush);
  ::LineTo(handle_, x, y);
  Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  Polyline(points.data(), static_cast<int>(points.size()));
}

void TCanvas::Polyline(const TPoint* points, int count) {
  if (!points || count <= 0) return;
  Changing();
  RequiredState(kPen | kBrush);
  ::Polyline(handle_, points, count);
  Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  Polygon(points.data(), static_cast<int>(points.size()));
}

void TCanvas::Polygon(const TPoint* points, int count) {
  if (!points || count <= 0) return;
  Changing();
  RequiredState(kPen | kBrush);
  ::Polygon(handle_, points, count);
  Changed();
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  Changing();
  RequiredState(kPen | kBrush);
  ::Rectangle(handle_, left, top, right, bottom);
  Changed();
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int width, int height) {
  Changing();
  RequiredState(kPen | kBrush);
  ::RoundRect(handle_, left, top, right, bottom, width, height);
  Changed();
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  Changing();
  RequiredState(kPen | kBrush);
  ::Ellipse(handle_, left, top, right, bottom);
  Changed();
}

void TCanvas::FillRect(const TRect& r) {
  Changing();
  RequiredState(kBrush);
  ::FillRect(handle_, &r, brush_->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& r) {
  Changing();
  RequiredState(kBrush);
  ::FrameRect(handle_, &r, brush_->Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
  Changing();
  RequiredState(kBrush);
  ::DrawFocusRect(handle_, &r);
  Changed();
}

TColor TCanvas::Pixels(int x, int y) {
  RequiredState(kHandle);
  return GetPixel(handle_, x, y);
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  Changing();
  RequiredState(kPen);
  SetPixel(handle_, x, y, ColorToRGB(color));
  Changed();
}

void TCanvas::TextOut(int x, int y, const String& text) {
  Changing();
  RequiredState(kFont | kBrush);
  ExtTextOutW(handle_, x, y, 0, nullptr, text.c_str(), UINT(text.size()), nullptr);
  MoveTo(x + TextWidth(text), y);
  Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const String& text) {
  Changing();
  RequiredState(kFont | kBrush);
  UINT options = ETO_CLIPPED;
  if (brush_->Style() != bsClear) options |= ETO_OPAQUE;
  ExtTextOutW(handle_, x, y, options, &r, text.c_str(), UINT(text.size()), nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const String& text) {
  RequiredState(kFont);
  TSize size;
  GetTextExtentPoint32W(handle_, text.c_str(), int(text.size()), &size);
  return size;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  StretchDraw(Bounds(x, y, graphic->Width(), graphic->Height()), graphic);
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState(kHandle);
  graphic->Draw(this, r);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect) {
  if (!source) return;
  Changing();
  RequiredState(kFont | kBrush);
  HDC src = source->Handle();
  StretchBlt(handle_, dest.left, dest.top, RectWidth(dest), RectHeight(dest), src, sourceRect.left,
             sourceRect.top, RectWidth(sourceRect), RectHeight(sourceRect), copyMode_);
  Changed();
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& sourceRect, TColor color) {
  if (!bitmap || bitmap->Empty()) return;
  int sw = RectWidth(sourceRect), sh = RectHeight(sourceRect);
  if (sw <= 0 || sh <= 0) return;
  Changing();
  RequiredState(kBrush);
  HDC src = bitmap->Canvas()->Handle();
  // Mask white where the bitmap has the colour; those pixels show the brush.
  HDC maskDC = CreateCompatibleDC(0);
  HBITMAP mask = CreateBitmap(sw, sh, 1, 1, nullptr);
  HGDIOBJ oldMask = SelectObject(maskDC, mask);
  COLORREF oldBk = SetBkColor(src, ColorToRGB(color));
  BitBlt(maskDC, 0, 0, sw, sh, src, sourceRect.left, sourceRect.top, SRCCOPY);
  SetBkColor(src, oldBk);
  ::FillRect(handle_, &dest, brush_->Handle());
  TransparentStretchBlt(handle_, dest.left, dest.top, RectWidth(dest), RectHeight(dest), src,
                        sourceRect.left, sourceRect.top, sw, sh, maskDC, 0, 0);
  SelectObject(maskDC, oldMask);
  DeleteObject(mask);
  DeleteDC(maskDC);
  Changed();
}

bool TCanvas::GradientFill(const TRect& r, TColor start, TColor stop, ULONG mode) {
  Changing();
  RequiredState(kHandle);
  bool ok = ::GradientFillRect(handle_, r, ColorToRGB(start), ColorToRGB(stop), mode) != FALSE;
  Changed();
  return ok;
}

TRect TCanvas::ClipRect() {
  RequiredState(kHandle);
  TRect r;
  GetClipBox(handle_, &r);
  return r;
}

// ---- TControlCanvas ----

TControlCanvas::~TControlCanvas() { FreeHandle(); }

String TControlCanvas::ClassName() const { return u"TControlCanvas"; }

void TControlCanvas::SetProvider(TCanvasDCProvider* provider) {
  if (provider == provider_) return;
  FreeHandle();
  provider_ = provider;
}

void TControlCanvas::CreateHandle() {
  if (!provider_) return;
  HDC dc = provider_->AcquireCanvasDC();
  if (!dc) return;
  acquired_ = dc;
  SetHandle(dc);
}

void TControlCanvas::FreeHandle() {
  if (!acquired_) return;
  HDC dc = acquired_;
  acquired_ = 0;
  if (AttachedHandle() == dc) SetHandle(0);
  if (provider_) provider_->ReleaseCanvasDC(dc);
}

// ---- TBitmap ----

class TBitmap::BitmapCanvas : public TCanvas {
 public:
  explicit BitmapCanvas(TBitmap* owner) : owner_(owner) {
    OnChange = [owner](TObject*) { owner->Changed(); };
  }
  String ClassName() const override { return u"TBitmapCanvas"; }

 protected:
  void CreateHandle() override { SetHandle(owner_->MemoryDC()); }

 private:
  TBitmap* owner_;
};

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

TBitmap::~TBitmap() {
  FreeDC();
  if (bitmap_) DeleteObject(bitmap_);
}

String TBitmap::ClassName() const { return u"TBitmap"; }

void TBitmap::Changed() { TGraphic::Changed(); }

HDC TBitmap::MemoryDC() {
  if (!dc_) {
    dc_ = CreateCompatibleDC(0);
    oldBitmap_ = bitmap_ ? SelectObject(dc_, bitmap_) : 0;
  }
  return dc_;
}

void TBitmap::FreeDC() {
  if (!dc_) return;
  if (canvas_) canvas_->SetHandle(0);
  if (oldBitmap_) SelectObject(dc_, oldBitmap_);
  DeleteDC(dc_);
  dc_ = 0;
  oldBitmap_ = 0;
}

void TBitmap::Recreate(int width, int height, bool monochrome) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  HBITMAP fresh = 0;
  if (width > 0 && height > 0) {
    fresh = CreateBitmap(width, height, 1, monochrome ? 1 : 32, nullptr);
    if (!fresh) throw EOutOfMemory("Out of system resources");
    HDC dc = CreateCompatibleDC(0);
    HGDIOBJ old = SelectObject(dc, fresh);
    PatBlt(dc, 0, 0, width, height, WHITENESS);
    if (bitmap_) {
      // Colour to monochrome maps white to 1 and everything else to 0.
      HDC src = MemoryDC();
      COLORREF oldBk = SetBkColor(src, RGB(255, 255, 255));
      BitBlt(dc, 0, 0, std::min(width, width_), std::min(height, height_), src, 0, 0, SRCCOPY);
      SetBkColor(src, oldBk);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  FreeDC();
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = fresh;
  width_ = fresh ? width : 0;
  height_ = fresh ? height : 0;
  monochrome_ = monochrome;
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  Recreate(width, height, monochrome_);
  Changed();
}

void TBitmap::SetMonochrome(bool monochrome) {
  if (monochrome == monochrome_) return;
  Recreate(width_, height_, monochrome);
  Changed();
}

TPixelFormat TBitmap::PixelFormat() const { return monochrome_ ? pf1bit : pixelFormat_; }

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == pf1bit) {
    SetMonochrome(true);
    return;
  }
  bool changed = format != pixelFormat_;
  pixelFormat_ = format;
  if (monochrome_) SetMonochrome(false);
  else if (changed) Changed();
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<BitmapCanvas>(this);
  return canvas_.get();
}

HBITMAP TBitmap::Handle() { return bitmap_; }

void TBitmap::SetHandle(HBITMAP bitmap) {
  if (bitmap == bitmap_) return;
  FreeDC();
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = 0;
  width_ = height_ = 0;
  BITMAP info;
  if (bitmap && GetObjectW(bitmap, sizeof(info), &info) > 0) {
    bitmap_ = bitmap;
    width_ = info.bmWidth;
    height_ = std::abs(info.bmHeight);
    monochrome_ = info.bmBitsPixel == 1 && info.bmPlanes == 1;
  }
  Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
  FreeDC();
  HBITMAP h = bitmap_;
  bitmap_ = 0;
  width_ = height_ = 0;
  Changed();
  return h;
}

TColor TBitmap::TransparentColor() {
  if (transparentMode_ == tmFixed && transparentColor_ != clDefault)
    return ColorToRGB(transparentColor_);
  if (Empty()) return clDefault;
  if (monochrome_) return clWhite;
  return Canvas()->Pixels(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  if (color == transparentColor_ && (color == clDefault) == (transparentMode_ == tmAuto)) return;
  transparentColor_ = color;
  transparentMode_ = color == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == transparentMode_) return;
  if (mode == tmAuto) SetTransparentColor(clDefault);
  else SetTransparentColor(TransparentColor());  // the automatic colour becomes the fixed one
}

void TBitmap::Assign(const TPersistent* source) {
  if (!source) {
    Recreate(0, 0, monochrome_);
    Changed();
    return;
  }
  auto* src = dynamic_cast<const TBitmap*>(source);
  if (!src) {
    TGraphic::Assign(source);
    return;
  }
  if (src == this) return;
  auto* from = const_cast<TBitmap*>(src);
  // Recreate copies from our own pixels; start empty so only the source's show.
  Recreate(0, 0, from->monochrome_);
  Recreate(from->width_, from->height_, from->monochrome_);
  if (bitmap_) {
    HDC dst = MemoryDC();
    HDC s = from->MemoryDC();
    COLORREF oldBk = SetBkColor(s, RGB(255, 255, 255));
    BitBlt(dst, 0, 0, width_, height_, s, 0, 0, SRCCOPY);
    SetBkColor(s, oldBk);
  }
  pixelFormat_ = from->pixelFormat_;
  transparentColor_ = from->transparentColor_;
  transparentMode_ = from->transparentMode_;
  if (Transparent() != from->Transparent()) TGraphic::SetTransparent(from->Transparent());
  Changed();
}

void TBitmap::Draw(TCanvas* canvas, const TRect& rect) {
  if (!canvas || Empty()) return;
  HDC dst = canvas->Handle();
  HDC src = MemoryDC();
  // A monochrome bitmap keeps its black and white whatever the target's text and background.
  COLORREF oldText = 0, oldBk = 0;
  if (monochrome_) {
    oldText = SetTextColor(dst, RGB(0, 0, 0));
    oldBk = SetBkColor(dst, RGB(255, 255, 255));
  }
  if (Transparent()) {
    TColor color = TransparentColor();
    TransparentBlt(dst, rect.left, rect.top, RectWidth(rect), RectHeight(rect), src, 0, 0, width_,
                   height_, ColorToRGB(color) & 0x00FFFFFF);
  } else {
    StretchBlt(dst, rect.left, rect.top, RectWidth(rect), RectHeight(rect), src, 0, 0, width_,
               height_, canvas->CopyMode());
  }
  if (monochrome_) {
    SetTextColor(dst, oldText);
    SetBkColor(dst, oldBk);
  }
}

// ---- The BMP file ----
// Fields are little-endian whatever the host's byte order, so they are put together byte by
// byte rather than copied as structures.

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;

[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic(u"Bitmap image is not valid"); }

std::uint32_t Le32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}
std::uint16_t Le16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
}
void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}

// The info header with room for a full colour table, for SetDIBits and GetDIBits.
struct DibInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(this); }
};

}  // namespace

void TBitmap::SaveToStream(TStream* stream) {
  const int bpp = monochrome_ ? 1 : pixelFormat_ == pf32bit ? 32 : 24;
  const int colors = bpp == 1 ? 2 : 0;
  const std::uint32_t stride = std::uint32_t(((width_ * bpp + 31) / 32) * 4);
  const std::uint32_t imageSize = stride * std::uint32_t(height_);
  const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize + 4 * colors;
  std::vector<std::uint8_t> out;
  out.reserve(offset + imageSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, offset + imageSize);
  Put32(out, 0);  // reserved
  Put32(out, offset);
  Put32(out, kInfoHeaderSize);
  Put32(out, std::uint32_t(width_));
  Put32(out, std::uint32_t(height_));  // positive: bottom-up rows
  Put16(out, 1);
  Put16(out, std::uint16_t(bpp));
  Put32(out, BI_RGB);
  Put32(out, imageSize);
  Put32(out, 0);  // pixels per metre, horizontally and vertically: not recorded
  Put32(out, 0);
  Put32(out, std::uint32_t(colors));
  Put32(out, 0);
  if (colors) {
    Put32(out, 0x000000);
    Put32(out, 0xFFFFFF);
  }
  out.resize(offset + imageSize);
  if (bitmap_ && imageSize) {
    DibInfo info{};
    info.header.biWidth = width_;
    info.header.biHeight = height_;
    info.header.biBitCount = WORD(bpp);
    info.header.biCompression = BI_RGB;
    if (GetDIBits(0, bitmap_, 0, UINT(height_), out.data() + offset, info.Info(), DIB_RGB_COLORS) !=
        height_)
      throw EWriteError(u"Bitmap pixels could not be read");
  }
  stream->WriteBuffer(out.data(), int(out.size()));
}

void TBitmap::LoadFromStream(TStream* stream) {
  const std::int64_t available = stream->Size() - stream->Position();
  if (available < kFileHeaderSize + kInfoHeaderSize || available > INT_MAX) InvalidBitmap();
  std::vector<std::uint8_t> data(static_cast<std::size_t>(available));
  stream->ReadBuffer(data.data(), int(data.size()));
  const std::uint8_t* p = data.data();
  if (p[0] != 'B' || p[1] != 'M') InvalidBitmap();
  const std::uint32_t offset = Le32(p + 10);
  const std::uint8_t* h = p + kFileHeaderSize;
  // Later headers (V4, V5) begin with the same forty bytes.
  const std::uint32_t headerSize = Le32(h);
  const std::int32_t width = std::int32_t(Le32(h + 4));
  const std::int32_t height = std::int32_t(Le32(h + 8));
  const int planes = Le16(h + 12), bpp = Le16(h + 14);
  const std::uint32_t compression = Le32(h + 16), colorsUsed = Le32(h + 32);
  if (headerSize < kInfoHeaderSize || headerSize > data.size() - kFileHeaderSize) InvalidBitmap();
  if (planes != 1 || compression != BI_RGB) InvalidBitmap();
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) InvalidBitmap();
  if (width < 0 || height == INT32_MIN || width > 0x7FFF || std::abs(height) > 0x7FFF)
    InvalidBitmap();
  const int rows = std::abs(height);
  int colors = 0;
  if (bpp <= 8) {
    if (colorsUsed > (1u << bpp)) InvalidBitmap();
    colors = colorsUsed ? int(colorsUsed) : 1 << bpp;
  }
  const std::uint64_t tableEnd = std::uint64_t(kFileHeaderSize) + headerSize + 4u * colors;
  const std::uint64_t stride = ((std::uint64_t(width) * bpp + 31) / 32) * 4;
  if (tableEnd > data.size() || offset < tableEnd ||
      std::uint64_t(offset) + stride * rows > data.size())
    InvalidBitmap();

  DibInfo info{};
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biBitCount = WORD(bpp);
  info.header.biCompression = BI_RGB;
  info.header.biClrUsed = DWORD(colors);
  const std::uint8_t* table = h + headerSize;
  for (int i = 0; i < colors; ++i)
    info.colors[i] = RGBQUAD{table[4 * i], table[4 * i + 1], table[4 * i + 2], 0};
  // A black-and-white table is a monochrome bitmap; any other table gives colours.
  auto isBlackOrWhite = [&](int i) {
    std::uint32_t c = Le32(table + 4 * i) & 0xFFFFFF;
    return c == 0 || c == 0xFFFFFF;
  };
  const bool mono = bpp == 1 && colors == 2 && isBlackOrWhite(0) && isBlackOrWhite(1);

  Recreate(0, 0, mono);
  Recreate(width, rows, mono);
  if (bitmap_) {
    FreeDC();  // the pixels are set outside the canvas's device context
    SetDIBits(0, bitmap_, 0, UINT(rows), p + offset, info.Info(), DIB_RGB_COLORS);
  }
  switch (bpp) {
    case 1: pixelFormat_ = mono ? pf1bit : pfCustom; break;
    case 4: pixelFormat_ = pf4bit; break;
    case 8: pixelFormat_ = pf8bit; break;
    case 16: pixelFormat_ = pf15bit; break;
    case 24: pixelFormat_ = pf24bit; break;
    default: pixelFormat_ = pf32bit; break;
  }
  Changed();
}

// ---- TPicture ----

TPicture::TPicture() = default;

TPicture::~TPicture() {
  if (graphic_) graphic_->OnChange = nullptr;
}

String TPicture::ClassName() const { return u"TPicture"; }

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::Hook() {
  if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
}

void TPicture::Assign(const TPersistent* source) {
  if (!source) {
    SetGraphic(nullptr);
    return;
  }
  if (auto* picture = dynamic_cast<const TPicture*>(source)) {
    SetGraphic(picture->Graphic());
    return;
  }
  if (auto* graphic = dynamic_cast<const TGraphic*>(source)) {
    SetGraphic(graphic);
    return;
  }
  TPersistent::Assign(source);
}

void TPicture::SetGraphic(const TGraphic* graphic) {
  if (graphic && graphic == graphic_.get()) return;
  std::unique_ptr<TGraphic> copy;
  if (graphic) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Assign(graphic);  // a graphic of another kind raises here
    copy = std::move(bitmap);
  }
  if (graphic_) graphic_->OnChange = nullptr;
  graphic_ = std::move(copy);
  Hook();
  Changed();
}

TBitmap* TPicture::Bitmap() {
  auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get());
  if (!bitmap) {
    if (graphic_) graphic_->OnChange = nullptr;
    auto fresh = std::make_unique<TBitmap>();
    bitmap = fresh.get();
    graphic_ = std::move(fresh);
    Hook();
    Changed();
  }
  return bitmap;
}

// ---- Transparent stretch blit ----

bool TransparentStretchBlt(HDC dstDC, int dstX, int dstY, int dstW, int dstH, HDC srcDC, int srcX,
                           int srcY, int srcW, int srcH, HDC maskDC, int maskX, int maskY) {
  // dst ^ src, masked (white keeps the XOR, black clears it), ^ src again: the destination
  // where the mask is white, the source where it is black.
  COLORREF oldText = SetTextColor(dstDC, RGB(0, 0, 0));
  COLORREF oldBk = SetBkColor(dstDC, RGB(255, 255, 255));
  bool ok = StretchBlt(dstDC, dstX, dstY, dstW, dstH, srcDC, srcX, srcY, srcW, srcH, SRCINVERT) &&
            StretchBlt(dstDC, dstX, dstY, dstW, dstH, maskDC, maskX, maskY, srcW, srcH, SRCAND) &&
            StretchBlt(dstDC, dstX, dstY, dstW, dstH, srcDC, srcX, srcY, srcW, srcH, SRCINVERT);
  SetTextColor(dstDC, oldText);
  SetBkColor(dstDC, oldBk);
  return ok;
}
