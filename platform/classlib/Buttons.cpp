#include "Buttons.h"

#include <algorithm>
#include <vector>

#include "GraphicsTypeInfo.h"
#include "Themes.h"

namespace {

// Pixels at least this light vanish from a disabled glyph, as paper and glass do.
bool IsDarkForEmboss(TColor rgb) {
  int luminance = (GetRValue(rgb) * 30 + GetGValue(rgb) * 59 + GetBValue(rgb) * 11) / 100;
  return luminance < 176;
}

// The face of a button held down by its group: a checkerboard of face and highlight.
void FillDithered(TCanvas* canvas, const TRect& r) {
  TBitmap pattern(8, 8);
  const TColor face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) pattern.Canvas()->SetPixels(x, y, (x + y) % 2 ? face : light);
  canvas->Brush()->SetBitmap(&pattern);
  canvas->FillRect(r);
  canvas->Brush()->SetBitmap(nullptr);
  canvas->Brush()->SetStyle(bsSolid);
}

// The caption's accelerator ("&Go" answers G and g; "&&" is a plain ampersand).
bool IsAccel(Char key, const String& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != u'&') continue;
    if (caption[i + 1] == u'&') {
      ++i;
      continue;
    }
    auto upper = [](Char c) { return c >= u'a' && c <= u'z' ? Char(c - 32) : c; };
    return upper(caption[i + 1]) == upper(key);
  }
  return false;
}

}  // namespace

void DrawDisabledGlyph(TBitmap* glyph, const TRect& sourceRect, TCanvas* dest, int destX, int destY,
                       TColor transparentColor) {
  const int w = RectWidth(sourceRect), h = RectHeight(sourceRect);
  if (!glyph || w <= 0 || h <= 0) return;
  const TColor key = ColorToRGB(transparentColor);
  TCanvas* source = glyph->Canvas();
  std::vector<bool> dark(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      TColor c = source->Pixels(sourceRect.left + x, sourceRect.top + y);
      dark[static_cast<std::size_t>(y) * w + x] =
          c != key && c != CLR_INVALID && IsDarkForEmboss(c);
    }
  const TColor highlight = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
  // Highlights first, so a shadow pixel always wins where the two meet.
  for (int y = 0; y + 1 < h; ++y)
    for (int x = 0; x + 1 < w; ++x)
      if (dark[static_cast<std::size_t>(y) * w + x])
        dest->SetPixels(destX + x + 1, destY + y + 1, highlight);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (dark[static_cast<std::size_t>(y) * w + x]) dest->SetPixels(destX + x, destY + y, shadow);
}

// ---- TSpeedButton ----

TSpeedButton::TSpeedButton(TComponent* owner)
    : TGraphicControl(owner), glyph_(std::make_unique<TBitmap>()) {
  SetControlStyle(TControlStyle{csCaptureMouse, csDoubleClicks, csReplicatable});
  SetBounds(0, 0, 23, 22);
  SetParentFont(true);
  glyph_->OnChange = [this](TObject*) { Invalidate(); };
}

TSpeedButton::~TSpeedButton() { glyph_->OnChange = nullptr; }

String TSpeedButton::ClassName() const { return u"TSpeedButton"; }

void TSpeedButton::SetGlyph(const TBitmap* glyph) {
  glyph_->Assign(glyph);
  glyph_->OnChange = [this](TObject*) { Invalidate(); };
  // A strip of square images says how many it holds.
  if (glyph && glyph_->Height() > 0 && glyph_->Width() % glyph_->Height() == 0) {
    int n = glyph_->Width() / glyph_->Height();
    if (n >= 1 && n <= 4) numGlyphs_ = n;
  }
  Invalidate();
}

void TSpeedButton::SetNumGlyphs(TNumGlyphs value) {
  value = std::clamp(value, 1, 4);
  if (numGlyphs_ == value) return;
  numGlyphs_ = value;
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout value) {
  if (layout_ == value) return;
  layout_ = value;
  Invalidate();
}

void TSpeedButton::SetMargin(int value) {
  value = std::max(-1, value);
  if (margin_ == value) return;
  margin_ = value;
  Invalidate();
}

void TSpeedButton::SetSpacing(int value) {
  if (spacing_ == value) return;
  spacing_ = value;
  Invalidate();
}

void TSpeedButton::SetFlat(bool value) {
  if (flat_ == value) return;
  flat_ = value;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool value) {
  if (transparent_ == value) return;
  transparent_ = value;
  TControlStyle style = ControlStyle();
  if (value) {
    style.Exclude(csOpaque);
  } else {
    style.Include(csOpaque);
  }
  SetControlStyle(style);
  Invalidate();
}

void TSpeedButton::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;
  if (value == down_) return;
  // The last button down of a group that must keep one down stays down.
  if (down_ && !allowAllUp_ && !ComponentState().Contains(csLoading)) return;
  down_ = value;
  state_ = value ? bsExclusive : bsUp;
  Invalidate();
  if (value) UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int value) {
  value = std::max(0, value);
  if (groupIndex_ == value) return;
  groupIndex_ = value;
  if (groupIndex_ == 0 && down_) {
    down_ = false;
    state_ = bsUp;
    Invalidate();
  }
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool value) {
  if (allowAllUp_ == value) return;
  allowAllUp_ = value;
  UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || !Parent()) return;
  TMessage msg;
  msg.Msg = CM_BUTTONPRESSED;
  msg.WParam = static_cast<WPARAM>(groupIndex_);
  msg.LParam = reinterpret_cast<LPARAM>(this);
  // Every sibling hears it; none answers, so the broadcast reaches them all.
  Parent()->Broadcast(msg);
}

void TSpeedButton::ButtonPressed(TMessage& message) {
  auto* sender = reinterpret_cast<TSpeedButton*>(message.LParam);
  if (static_cast<int>(message.WParam) != groupIndex_ || sender == this || !sender) return;
  if (sender->down_ && down_) {
    down_ = false;
    state_ = bsUp;
    Invalidate();
  }
  // The group shares one AllowAllUp.
  allowAllUp_ = sender->allowAllUp_;
}

void TSpeedButton::Loaded() {
  TGraphicControl::Loaded();
  if (down_) UpdateExclusive();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_BUTTONPRESSED: ButtonPressed(message); return;
    case CM_DIALOGCHAR:
      if (Enabled() && Visible() && Parent() && Parent()->Showing() &&
          IsAccel(static_cast<Char>(message.WParam), GetText())) {
        Click();
        message.Result = 1;
        return;
      }
      TGraphicControl::Dispatch(message);
      return;
    case CM_ENABLEDCHANGED:
      if (!Enabled()) {
        mouseInControl_ = false;
        dragging_ = false;
        state_ = bsDisabled;
      } else {
        state_ = down_ ? bsExclusive : bsUp;
      }
      TGraphicControl::Dispatch(message);
      Invalidate();
      return;
    case CM_MOUSEENTER:
      TGraphicControl::Dispatch(message);
      if (!mouseInControl_ && Enabled()) {
        mouseInControl_ = true;
        Invalidate();
      }
      return;
    case CM_MOUSELEAVE:
      TGraphicControl::Dispatch(message);
      if (mouseInControl_) {
        mouseInControl_ = false;
        Invalidate();
      }
      return;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_SYSCOLORCHANGE:
      TGraphicControl::Dispatch(message);
      Invalidate();
      return;
    default: TGraphicControl::Dispatch(message);
  }
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  if (!down_) {
    state_ = bsDown;
    Invalidate();
  }
  dragging_ = true;
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!dragging_) return;
  TButtonState next = down_ ? bsExclusive : bsUp;
  if (Inside(x, y) && !down_) next = bsDown;
  if (next != state_) {
    state_ = next;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!dragging_ || button != mbLeft) return;
  dragging_ = false;
  const bool click = Inside(x, y);
  if (groupIndex_ == 0) {
    state_ = bsUp;
    Invalidate();
  } else if (click) {
    const bool wasDown = down_;
    SetDown(!down_);
    // Still down (the group keeps one): back to the held look.
    if (down_) state_ = bsExclusive;
    if (wasDown == down_) Invalidate();
  } else {
    state_ = down_ ? bsExclusive : bsUp;
    Invalidate();
  }
  if (click) Click();
}

// ---- Painting ----

void TSpeedButton::PaintFrame(TCanvas* canvas, TRect& r, bool pressed) {
  const bool hot = mouseInControl_ && Enabled();
  const bool held = state_ == bsExclusive;
  if (ThemeServices()->ThemesEnabled()) {
    if (!transparent_ || !flat_) {
      canvas->Brush()->SetColor(Color());
      canvas->FillRect(r);
    }
    if (flat_ && !hot && !pressed && !held) return;
    TThemedButton part = !Enabled()        ? tbPushButtonDisabled
                         : pressed || held ? tbPushButtonPressed
                         : hot             ? tbPushButtonHot
                                           : tbPushButtonNormal;
    ThemeServices()->DrawElement(canvas->Handle(), ThemeServices()->GetElementDetails(part), r);
    InflateRect(&r, -1, -1);
    return;
  }
  if (!flat_) {
    canvas->Brush()->SetColor(clBtnFace);
    canvas->FillRect(r);
    DrawEdge(canvas->Handle(), &r, pressed || held ? EDGE_SUNKEN : EDGE_RAISED,
             BF_RECT | BF_ADJUST);
    if (held && !pressed) FillDithered(canvas, r);
    return;
  }
  if (!transparent_ || pressed || held) {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
  }
  if (held && !pressed && !hot) {
    TRect inner = r;
    InflateRect(&inner, -1, -1);
    FillDithered(canvas, inner);
  }
  if (pressed || held) {
    DrawEdge(canvas->Handle(), &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  } else if (hot) {
    DrawEdge(canvas->Handle(), &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
  } else {
    InflateRect(&r, -1, -1);
  }
}

void TSpeedButton::DrawGlyph(TCanvas* canvas, int x, int y, TButtonState state) {
  const int n = numGlyphs_;
  const int w = glyph_->Width() / n, h = glyph_->Height();
  const TColor key = glyph_->TransparentColor();
  int index = static_cast<int>(state);
  if (index >= n) index = 0;
  if (state == bsDisabled && n == 1) {
    DrawDisabledGlyph(glyph_.get(), Rect(0, 0, w, h), canvas, x, y, key);
    return;
  }
  TBitmap piece(w, h);
  piece.Canvas()->CopyRect(Rect(0, 0, w, h), glyph_->Canvas(), Bounds(index * w, 0, w, h));
  piece.SetTransparentMode(tmFixed);
  piece.SetTransparentColor(key);
  piece.SetTransparent(true);
  canvas->Draw(x, y, &piece);
}

void TSpeedButton::PaintContent(TCanvas* canvas, const TRect& client, bool pressed) {
  const String caption = GetText();
  TPoint glyphSize{0, 0}, textSize{0, 0};
  if (!glyph_->Empty()) glyphSize = Point(glyph_->Width() / numGlyphs_, glyph_->Height());
  canvas->SetFont(Font());
  TRect textBounds = Rect(0, 0, RectWidth(client), 0);
  if (!caption.empty()) {
    DrawTextW(canvas->Handle(), caption.c_str(), static_cast<int>(caption.size()), &textBounds,
              DT_CALCRECT | DT_SINGLELINE);
    textSize = Point(RectWidth(textBounds), RectHeight(textBounds));
  }
  const TPoint clientSize{RectWidth(client), RectHeight(client)};
  const bool horizontal = layout_ == blGlyphLeft || layout_ == blGlyphRight;
  TPoint glyphPos{0, 0}, textPos{0, 0};
  if (horizontal) {
    glyphPos.y = (clientSize.y - glyphSize.y + 1) / 2;
    textPos.y = (clientSize.y - textSize.y + 1) / 2;
  } else {
    glyphPos.x = (clientSize.x - glyphSize.x + 1) / 2;
    textPos.x = (clientSize.x - textSize.x + 1) / 2;
  }
  const int along = horizontal ? clientSize.x : clientSize.y;
  const int glyphAlong = horizontal ? glyphSize.x : glyphSize.y;
  const int textAlong = horizontal ? textSize.x : textSize.y;
  int spacing = spacing_, margin = margin_;
  if (textAlong == 0 || glyphAlong == 0) spacing = 0;
  if (margin == -1) {
    if (spacing == -1) {
      margin = (along - glyphAlong - textAlong) / 3;
      spacing = margin;
    } else {
      margin = (along - (glyphAlong + spacing + textAlong) + 1) / 2;
    }
  } else if (spacing == -1) {
    spacing = (along - (margin + glyphAlong) - textAlong) / 2;
  }
  switch (layout_) {
    case blGlyphLeft:
      glyphPos.x = margin;
      textPos.x = glyphPos.x + glyphSize.x + spacing;
      break;
    case blGlyphRight:
      glyphPos.x = clientSize.x - margin - glyphSize.x;
      textPos.x = glyphPos.x - spacing - textSize.x;
      break;
    case blGlyphTop:
      glyphPos.y = margin;
      textPos.y = glyphPos.y + glyphSize.y + spacing;
      break;
    case blGlyphBottom:
      glyphPos.y = clientSize.y - margin - glyphSize.y;
      textPos.y = glyphPos.y - spacing - textSize.y;
      break;
  }
  const int shift = pressed || state_ == bsExclusive ? 1 : 0;
  const int ox = client.left + shift, oy = client.top + shift;

  TButtonState imageState = !Enabled() ? bsDisabled : state_;
  if (!glyph_->Empty()) DrawGlyph(canvas, ox + glyphPos.x, oy + glyphPos.y, imageState);
  if (caption.empty()) return;
  TRect textRect = Bounds(ox + textPos.x, oy + textPos.y, textSize.x, textSize.y);
  canvas->Brush()->SetStyle(bsClear);
  const UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  if (Enabled()) {
    DrawTextW(canvas->Handle(), caption.c_str(), static_cast<int>(caption.size()), &textRect,
              flags);
  } else if (ThemeServices()->ThemesEnabled()) {
    canvas->Font()->SetColor(clGrayText);
    DrawTextW(canvas->Handle(), caption.c_str(), static_cast<int>(caption.size()), &textRect,
              flags);
  } else {
    // Classic disabled text: a highlight copy under a shadow copy.
    TRect raised = textRect;
    OffsetRect(&raised, 1, 1);
    canvas->Font()->SetColor(clBtnHighlight);
    DrawTextW(canvas->Handle(), caption.c_str(), static_cast<int>(caption.size()), &raised, flags);
    canvas->Font()->SetColor(clBtnShadow);
    DrawTextW(canvas->Handle(), caption.c_str(), static_cast<int>(caption.size()), &textRect,
              flags);
  }
  canvas->Brush()->SetStyle(bsSolid);
}

void TSpeedButton::Paint() {
  TCanvas* canvas = TGraphicControl::Canvas();
  if (!Enabled()) {
    state_ = bsDisabled;
    dragging_ = false;
  } else if (state_ == bsDisabled) {
    state_ = down_ ? bsExclusive : bsUp;
  }
  const bool pressed = state_ == bsDown;
  TRect r = Rect(0, 0, Width(), Height());
  canvas->Brush()->SetStyle(bsSolid);
  PaintFrame(canvas, r, pressed);
  PaintContent(canvas, Rect(0, 0, Width(), Height()), pressed);
}

// ---- Property types and table ----

const TTypeInfo* TypeInfoTButtonLayout() {
  static const TTypeInfo t = TTypeInfo::Enumeration(
      u"TButtonLayout", {u"blGlyphLeft", u"blGlyphRight", u"blGlyphTop", u"blGlyphBottom"});
  return &t;
}

const TTypeInfo* TypeInfoTNumGlyphs() {
  static const TTypeInfo t = TTypeInfo::Integer(u"TNumGlyphs", otSByte);
  return &t;
}

void RegisterButtonsClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  Published<TSpeedButton>(u"TSpeedButton", u"TGraphicControl")
      .Creatable()
      .Str(
          u"Caption", [](TSpeedButton* b) { return b->GetText(); }, &TControl::SetText)
      .Bool(u"AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp, false)
      .Int(u"GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex, 0)
      .Bool(u"Down", &TSpeedButton::Down, &TSpeedButton::SetDown, false)
      .Bool(u"Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat, false)
      .Object(u"Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph)
      .StoredIf([](TSpeedButton* b) { return !b->Glyph()->Empty(); })
      .Ord(u"Layout", TypeInfoTButtonLayout(), &TSpeedButton::Layout, &TSpeedButton::SetLayout,
           blGlyphLeft)
      .Int(u"Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin, -1)
      .Ord(u"NumGlyphs", TypeInfoTNumGlyphs(), &TSpeedButton::NumGlyphs,
           &TSpeedButton::SetNumGlyphs, 1)
      .Int(u"Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing, 4)
      .Bool(u"Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent, true);
}
