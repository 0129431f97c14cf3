#include "ExtCtrls.h"

#include <algorithm>

#include "GraphicsTypeInfo.h"
#include "ScopeGuard.h"
#include "Themes.h"

// ---- Frame3D ----

void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
  canvas->Pen()->SetWidth(1);
  for (; width > 0 && rect.right > rect.left && rect.bottom > rect.top; --width) {
    const int l = rect.left, t = rect.top, r = rect.right - 1, b = rect.bottom - 1;
    // Top-left first; the bottom-right lines then take both far corners.
    canvas->Pen()->SetColor(topColor);
    canvas->MoveTo(l, b);
    canvas->LineTo(l, t);
    canvas->LineTo(r, t);
    canvas->Pen()->SetColor(bottomColor);
    canvas->MoveTo(r, t);
    canvas->LineTo(r, b);
    canvas->LineTo(l - 1, b);
    InflateRect(&rect, -1, -1);
  }
}

namespace {

void BevelColors(TBevelCut cut, TColor face, TColor& top, TColor& bottom) {
  switch (cut) {
    case bvLowered:
      top = clBtnShadow;
      bottom = clBtnHighlight;
      break;
    case bvRaised:
      top = clBtnHighlight;
      bottom = clBtnShadow;
      break;
    default: top = bottom = face; break;
  }
}

}  // namespace

// ---- TCustomPanel ----

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                csDoubleClicks, csReplicatable, csParentBackground, csPannable});
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
  SetUseDockManager(true);
}

TCustomPanel::~TCustomPanel() = default;

String TCustomPanel::ClassName() const { return u"TCustomPanel"; }

void TCustomPanel::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_BORDERCHANGED: CMBorderChanged(message); return;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_PARENTCOLORCHANGED:
      TCustomControl::Dispatch(message);
      Invalidate();
      return;
    case WM_WINDOWPOSCHANGED: {
      // Before the base handling updates the bounds, so the old size is still known.
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(message.LParam);
      if (pos && HandleAllocated() && !(pos->flags & SWP_NOSIZE)) {
        if (fullRepaint_ || !GetText().empty()) {
          Invalidate();
        } else {
          // Only the far bevels move: repaint the strips they leave and reach.
          const int extent = BorderExtent() + 1;
          if (pos->cx != Width()) {
            TRect strip = Rect(std::min(pos->cx, Width()) - extent, 0, std::max(pos->cx, Width()),
                               std::max(pos->cy, Height()));
            InvalidateRect(WindowHandle(), &strip, TRUE);
          }
          if (pos->cy != Height()) {
            TRect strip = Rect(0, std::min(pos->cy, Height()) - extent, std::max(pos->cx, Width()),
                               std::max(pos->cy, Height()));
            InvalidateRect(WindowHandle(), &strip, TRUE);
          }
        }
      }
      TCustomControl::Dispatch(message);
      return;
    }
    default: TCustomControl::Dispatch(message);
  }
}

void TCustomPanel::CMBorderChanged(TMessage& message) {
  (void)message;
  Realign();
  Invalidate();
}

int TCustomPanel::BorderExtent() const {
  int extent = borderWidth_;
  if (bevelOuter_ != bvNone) extent += bevelWidth_;
  if (bevelInner_ != bvNone) extent += bevelWidth_;
  return extent;
}

void TCustomPanel::SetAlignment(TAlignment value) {
  if (alignment_ == value) return;
  alignment_ = value;
  Invalidate();
}

void TCustomPanel::SetVerticalAlignment(TVerticalAlignment value) {
  if (verticalAlignment_ == value) return;
  verticalAlignment_ = value;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
  if (bevelInner_ == value) return;
  bevelInner_ = value;
  Perform(CM_BORDERCHANGED);
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
  if (bevelOuter_ == value) return;
  bevelOuter_ = value;
  Perform(CM_BORDERCHANGED);
}

void TCustomPanel::SetBevelWidth(int value) {
  value = std::max(1, value);
  if (bevelWidth_ == value) return;
  bevelWidth_ = value;
  Perform(CM_BORDERCHANGED);
}

void TCustomPanel::SetBorderWidth(int value) {
  value = std::max(0, value);
  if (borderWidth_ == value) return;
  borderWidth_ = value;
  Perform(CM_BORDERCHANGED);
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
  if (value != bsSingle) value = bsNone;
  if (borderStyle_ == value) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomPanel::SetShowCaption(bool value) {
  if (showCaption_ == value) return;
  showCaption_ = value;
  Invalidate();
}

void TCustomPanel::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (borderStyle_ == bsSingle) {
    if (Ctl3D()) {
      params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
      params.Style |= WS_BORDER;
    }
  }
  // Resizing repaints what changed (see WM_WINDOWPOSCHANGED), not the whole window.
  params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomPanel::AdjustClientRect(TRect& rect) {
  TCustomControl::AdjustClientRect(rect);
  const int extent = BorderExtent();
  InflateRect(&rect, -extent, -extent);
}

TColor TCustomPanel::BackgroundColor() const {
  if (Parent() && ParentBackground() && ThemeServices()->ThemesEnabled()) return Parent()->Color();
  return Color();
}

void TCustomPanel::Paint() {
  TCanvas* canvas = TCustomControl::Canvas();
  const TColor face = BackgroundColor();
  TRect r = Rect(0, 0, Width(), Height());
  TColor top = face, bottom = face;
  if (bevelOuter_ != bvNone) {
    BevelColors(bevelOuter_, face, top, bottom);
    Frame3D(canvas, r, top, bottom, bevelWidth_);
  }
  Frame3D(canvas, r, face, face, borderWidth_);
  if (bevelInner_ != bvNone) {
    BevelColors(bevelInner_, face, top, bottom);
    Frame3D(canvas, r, top, bottom, bevelWidth_);
  }
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(face);
  canvas->FillRect(r);

  const String caption = showCaption_ ? GetText() : String();
  if (caption.empty()) return;
  canvas->SetFont(Font());
  if (!Enabled()) canvas->Font()->SetColor(clGrayText);
  canvas->Brush()->SetStyle(bsClear);
  UINT flags = DT_EXPANDTABS | DT_SINGLELINE;
  flags |= alignment_ == taLeftJustify    ? DT_LEFT
           : alignment_ == taRightJustify ? DT_RIGHT
                                          : DT_CENTER;
  flags |= verticalAlignment_ == taAlignTop      ? DT_TOP
           : verticalAlignment_ == taAlignBottom ? DT_BOTTOM
                                                 : DT_VCENTER;
  DrawTextW(canvas->Handle(), caption.c_str(), static_cast<int>(caption.size()), &r, flags);
  canvas->Brush()->SetStyle(bsSolid);
}

TPanel::TPanel(TComponent* owner) : TCustomPanel(owner) {}

String TPanel::ClassName() const { return u"TPanel"; }

// ---- TImage ----

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
  SetControlStyle(ControlStyle() | TControlStyle{csReplicatable, csPannable});
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { picture_->OnChange = nullptr; }

String TImage::ClassName() const { return u"TImage"; }

TCanvas* TImage::Canvas() {
  if (!picture_->Graphic()) {
    TBitmap blank(Width(), Height());
    picture_->SetGraphic(&blank);
  }
  auto* bitmap = dynamic_cast<TBitmap*>(picture_->Graphic());
  if (!bitmap) throw EInvalidOperation(u"Can only modify an image if it contains a bitmap");
  return bitmap->Canvas();
}

void TImage::SetStretch(bool value) {
  if (stretch_ == value) return;
  stretch_ = value;
  PictureChanged();
}

void TImage::SetCenter(bool value) {
  if (center_ == value) return;
  center_ = value;
  PictureChanged();
}

void TImage::SetProportional(bool value) {
  if (proportional_ == value) return;
  proportional_ = value;
  PictureChanged();
}

void TImage::SetTransparent(bool value) {
  if (transparent_ == value) return;
  transparent_ = value;
  PictureChanged();
}

TRect TImage::DestRect() {
  int w = picture_->Width(), h = picture_->Height();
  const int cw = ClientWidth(), ch = ClientHeight();
  if (stretch_ || (proportional_ && (w > cw || h > ch))) {
    if (proportional_ && w > 0 && h > 0) {
      const double aspect = double(w) / h;
      if (w > h) {
        w = cw;
        h = int(cw / aspect);
        if (h > ch) {
          h = ch;
          w = int(ch * aspect);
        }
      } else {
        h = ch;
        w = int(ch * aspect);
        if (w > cw) {
          w = cw;
          h = int(cw / aspect);
        }
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r = Rect(0, 0, w, h);
  if (center_) OffsetRect(&r, (cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic* graphic = picture_->Graphic();
  if (!graphic || graphic->Empty()) return;
  TCanvas* canvas = TGraphicControl::Canvas();
  drawing_ = true;
  ScopeGuard doneDrawing([this] { drawing_ = false; });
  // The graphic's flag reports its own change; keep that from asking for another paint.
  if (graphic->Transparent() != transparent_) graphic->SetTransparent(transparent_);
  canvas->StretchDraw(DestRect(), graphic);
}

bool TImage::CanAutoSize(int& newWidth, int& newHeight) {
  if (picture_->Width() <= 0 || picture_->Height() <= 0) return false;
  newWidth = picture_->Width();
  newHeight = picture_->Height();
  return true;
}

void TImage::PictureChanged() {
  if (drawing_) return;
  if (AutoSize() && picture_->Width() > 0 && picture_->Height() > 0)
    SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
  // An untransparent picture that covers the control paints every pixel of it.
  TGraphic* graphic = picture_->Graphic();
  bool opaque = graphic && !graphic->Empty() && !transparent_ &&
                (stretch_ || (graphic->Width() >= Width() && graphic->Height() >= Height()));
  TControlStyle style = ControlStyle();
  if (opaque) {
    style.Include(csOpaque);
  } else {
    style.Exclude(csOpaque);
  }
  SetControlStyle(style);
  Invalidate();
}

// ---- TBevel ----

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() | TControlStyle{csReplicatable});
  SetBounds(0, 0, 50, 50);
}

String TBevel::ClassName() const { return u"TBevel"; }

void TBevel::SetShape(TBevelShape value) {
  if (shape_ == value) return;
  shape_ = value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
  if (style_ == value) return;
  style_ = value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* canvas = TGraphicControl::Canvas();
  const TColor dark = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  const TColor light = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  const int w = Width(), h = Height();
  auto line = [canvas](TColor color, int x1, int y1, int x2, int y2) {
    canvas->Pen()->SetColor(color);
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y2);
  };
  canvas->Pen()->SetWidth(1);
  TRect r = Rect(0, 0, w, h);
  switch (shape_) {
    case bsBox: Frame3D(canvas, r, dark, light, 1); break;
    case bsFrame: {
      // An etched frame: a dark ring with a light one one pixel down and right.
      TRect outer = Rect(1, 1, w, h);
      Frame3D(canvas, outer, light, light, 1);
      TRect inner = Rect(0, 0, w - 1, h - 1);
      Frame3D(canvas, inner, dark, dark, 1);
      break;
    }
    case bsTopLine:
      line(dark, 0, 0, w, 0);
      line(light, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(dark, 0, h - 2, w, h - 2);
      line(light, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(dark, 0, 0, 0, h);
      line(light, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(dark, w - 2, 0, w - 2, h);
      line(light, w - 1, 0, w - 1, h);
      break;
    case bsSpacer: break;
  }
}

// ---- Property types and tables ----

const TTypeInfo* TypeInfoTBevelCut() {
  static const TTypeInfo t =
      TTypeInfo::Enumeration(u"TBevelCut", {u"bvNone", u"bvLowered", u"bvRaised", u"bvSpace"});
  return &t;
}

const TTypeInfo* TypeInfoTVerticalAlignment() {
  static const TTypeInfo t = TTypeInfo::Enumeration(
      u"TVerticalAlignment", {u"taAlignTop", u"taAlignBottom", u"taVerticalCenter"});
  return &t;
}

const TTypeInfo* TypeInfoTBevelShape() {
  static const TTypeInfo t =
      TTypeInfo::Enumeration(u"TBevelShape", {u"bsBox", u"bsFrame", u"bsTopLine", u"bsBottomLine",
                                              u"bsLeftLine", u"bsRightLine", u"bsSpacer"});
  return &t;
}

const TTypeInfo* TypeInfoTBevelStyle() {
  static const TTypeInfo t = TTypeInfo::Enumeration(u"TBevelStyle", {u"bsLowered", u"bsRaised"});
  return &t;
}

void RegisterExtCtrlsClasses() {
  static bool done = false;
  if (done) return;
  done = true;

  Published<TPicture>(u"TPicture", u"TPersistent");

  Published<TCustomPanel>(u"TCustomPanel", u"TCustomControl")
      .Ord(u"Alignment", TypeInfoTAlignment(), &TCustomPanel::Alignment,
           &TCustomPanel::SetAlignment, taCenter)
      .Ord(u"BevelInner", TypeInfoTBevelCut(), &TCustomPanel::BevelInner,
           &TCustomPanel::SetBevelInner, bvNone)
      .Ord(u"BevelOuter", TypeInfoTBevelCut(), &TCustomPanel::BevelOuter,
           &TCustomPanel::SetBevelOuter, bvRaised)
      .Int(u"BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth, 1)
      .Int(u"BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth, 0)
      .Ord(u"BorderStyle", TypeInfoTBorderStyle(), &TCustomPanel::BorderStyle,
           &TCustomPanel::SetBorderStyle, bsNone)
      .Str(
          u"Caption", [](TCustomPanel* p) { return p->GetText(); }, &TControl::SetText)
      .Ord(u"Color", TypeInfoTColor(), &TControl::Color, &TControl::SetColor, clBtnFace)
      .StoredIf(&TControl::IsColorStored)
      .Bool(u"FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint, true)
      .Bool(u"Locked", &TCustomPanel::Locked, &TCustomPanel::SetLocked, false)
      .Bool(u"ParentBackground", &TWinControl::ParentBackground, &TWinControl::SetParentBackground,
            true)
      .Bool(u"ShowCaption", &TCustomPanel::ShowCaption, &TCustomPanel::SetShowCaption, true)
      .Ord(u"VerticalAlignment", TypeInfoTVerticalAlignment(), &TCustomPanel::VerticalAlignment,
           &TCustomPanel::SetVerticalAlignment, taVerticalCenter)
      .Bool(u"DockSite", &TWinControl::DockSite, &TWinControl::SetDockSite, false)
      .Bool(u"UseDockManager", &TWinControl::UseDockManager, &TWinControl::SetUseDockManager, true);
  Published<TPanel>(u"TPanel", u"TCustomPanel").Creatable();

  Published<TImage>(u"TImage", u"TGraphicControl")
      .Creatable()
      .Bool(u"AutoSize", &TControl::AutoSize, &TControl::SetAutoSize, false)
      .Bool(u"Center", &TImage::Center, &TImage::SetCenter, false)
      .Bool(u"IncrementalDisplay", &TImage::IncrementalDisplay, &TImage::SetIncrementalDisplay,
            false)
      .Object(u"Picture", &TImage::Picture, &TImage::SetPicture)
      .Bool(u"Proportional", &TImage::Proportional, &TImage::SetProportional, false)
      .Bool(u"Stretch", &TImage::Stretch, &TImage::SetStretch, false)
      .Bool(u"Transparent", &TImage::Transparent, &TImage::SetTransparent, false)
      .Event(u"OnProgress", &TImage::OnProgress);

  Published<TBevel>(u"TBevel", u"TGraphicControl")
      .Creatable()
      .Ord(u"Shape", TypeInfoTBevelShape(), &TBevel::Shape, &TBevel::SetShape, bsBox)
      .Ord(u"Style", TypeInfoTBevelStyle(), &TBevel::Style, &TBevel::SetStyle, bsLowered);
}
