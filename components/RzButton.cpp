// Unit RzButton: the control button.
#include "RzButton.h"

#include "Forms.h"
#include "GraphicsTypeInfo.h"
#include "RzGrafx.h"
#include "ScopeGuard.h"
#include "User.h"

namespace {

bool ThemesOn() { return ThemeServices()->ThemesEnabled(); }

TArrowDirection ArrowOf(TRzControlButtonStyle style) {
  switch (style) {
    case cbsUp: return adUp;
    case cbsDown: return adDown;
    case cbsLeft: return adLeft;
    default: return adRight;
  }
}

// The spin part for an arrow style; states run normal, hot, pressed, disabled from it.
TThemedSpin FirstSpinPart(TRzControlButtonStyle style) {
  switch (style) {
    case cbsUp: return tsUpNormal;
    case cbsDown: return tsDownNormal;
    case cbsLeft: return tsDownHorzNormal;
    default: return tsUpHorzNormal;
  }
}

enum class Look : std::uint8_t { Normal, Hot, Pressed, Disabled };

template <class Part>
Part Nth(Part first, Look look) {
  return static_cast<Part>(static_cast<int>(first) + static_cast<int>(look));
}

}  // namespace

TRzControlButton::TRzControlButton(TComponent* owner)
    : TGraphicControl(owner), FGlyph(std::make_unique<TBitmap>()) {
  RegisterRzButtonClasses();
  // Only capture: the press, release and click are this button's own.
  SetControlStyle(TControlStyle{csCaptureMouse});
  SetBounds(Left(), Top(), 17, 21);
  SetColor(clBtnFace);
  SetDragMode(dmManual);
  FGlyph->OnChange = [this](TObject* sender) { GlyphBitmapChanged(sender); };
}

TRzControlButton::~TRzControlButton() {
  // Handlers may point back into a container that is going too.
  FGlyph->OnChange = nullptr;
}

String TRzControlButton::ClassName() const { return u"TRzControlButton"; }

void TRzControlButton::Click() { TGraphicControl::Click(); }

HPALETTE TRzControlButton::GetPalette() const { return FGlyph->Palette(); }

void TRzControlButton::SetFlat(bool value) {
  if (value == FFlat) return;
  FFlat = value;
  Repaint();
}

void TRzControlButton::SetGlyph(const TBitmap* value) { FGlyph->Assign(value); }

void TRzControlButton::SetNumGlyphs(TNumGlyphs value) {
  if (value < 1) value = 1;
  if (value > 4) value = 4;
  if (value == FNumGlyphs) return;
  FNumGlyphs = value;
  Invalidate();
}

void TRzControlButton::SetStyle(TRzControlButtonStyle value) {
  if (value == FStyle) return;
  FStyle = value;
  Invalidate();
}

TPoint TRzControlButton::GlyphCellSize() const {
  if (!FGlyph) return TPoint{0, 0};
  return TPoint{FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
}

void TRzControlButton::GlyphBitmapChanged(TObject*) {
  const int w = FGlyph->Width(), h = FGlyph->Height();
  if (h != 0 && w % h == 0) {
    const int n = w / h;
    SetNumGlyphs(n >= 1 && n <= 4 ? n : 1);
  }
  Invalidate();
}

// ---- Painting ----

void TRzControlButton::Paint() {
  TRect r = Rect(0, 0, Width(), Height());
  switch (FStyle) {
    case cbsNone: {
      PaintFace(r);
      if (FGlyph->Empty()) return;
      InflateRect(&r, -1, -1);
      const TPoint cell = GlyphCellSize();
      r = CenteredBounds(r, cell.x, cell.y);
      OffsetRect(&r, 1, 1);
      if (FDown) OffsetRect(&r, 1, ThemesOn() ? 0 : 1);
      PaintGlyph(r);
      break;
    }
    case cbsLeft:
    case cbsUp:
    case cbsRight:
    case cbsDown: PaintArrowButton(r); break;
    case cbsDropDown: PaintDropDownButton(r); break;
  }
}

void TRzControlButton::DrawThemedThroughScratch(const TThemedElementDetails& details,
                                                const TRect& fill, const TRect& part) {
  TBitmap scratch(Width(), Height());
  scratch.Canvas()->Brush()->SetColor(Color());
  scratch.Canvas()->FillRect(fill);
  ThemeServices()->DrawElement(scratch.Canvas()->Handle(), details, part);
  Canvas()->Draw(0, 0, &scratch);
}

void TRzControlButton::PaintClassicFrame(TRect& r, TFrameStyle raisedStyle) {
  if (FFlat) {
    if (FDown || (FMouseOverButton && Enabled()) || Designing())
      r = PaintStyledBorder(Canvas(), r, FDown ? fsStatus : fsPopup);
  } else if (FDown) {
    r = PaintOutline(Canvas(), r, clBtnShadow);
  } else {
    r = PaintStyledBorder(Canvas(), r, raisedStyle);
  }
}

void TRzControlButton::PaintFace(TRect& r) {
  const bool hot = FMouseOverButton && !Designing();
  if (ThemesOn()) {
    Look look = Look::Normal;
    bool drawPart = true;
    if (!FFlat) {
      look = !Enabled() ? Look::Disabled : FDown ? Look::Pressed : hot ? Look::Hot : Look::Normal;
    } else if (FDown) {
      look = Look::Pressed;
    } else if (hot && Enabled()) {
      look = Look::Hot;
    } else {
      drawPart = false;
    }
    if (drawPart) {
      TThemeServices* themes = ThemeServices();
      if (RunningOnOsLevel(olWinVista)) {
        TRect part = r;
        InflateRect(&part, 1, 1);
        DrawThemedThroughScratch(themes->GetElementDetails(Nth(tbPushButtonNormal, look)), r, part);
      } else {
        const TRect part = Rect(r.left - 1, r.top - 2, r.right + 2, r.bottom + 2);
        DrawThemedThroughScratch(themes->GetElementDetails(Nth(tsThumbBtnHorzNormal, look)), r,
                                 part);
      }
    } else {
      Canvas()->Brush()->SetColor(Color());
      Canvas()->FillRect(r);
    }
    InflateRect(&r, -2, -2);
    return;
  }
  PaintClassicFrame(r, fsRaised);
  Canvas()->Brush()->SetColor(FFlat ? Color() : clBtnFace);
  Canvas()->FillRect(r);
}

void TRzControlButton::PaintArrowButton(TRect& r) {
  const TArrowDirection direction = ArrowOf(FStyle);
  const bool hot = FMouseOverButton && !Designing();
  if (ThemesOn()) {
    TThemeServices* themes = ThemeServices();
    const TThemedSpin first = FirstSpinPart(FStyle);
    if (!FFlat) {
      const Look look = !Enabled() ? Look::Disabled
                        : FDown    ? Look::Pressed
                        : hot      ? Look::Hot
                                   : Look::Normal;
      themes->DrawElement(Canvas()->Handle(), themes->GetElementDetails(Nth(first, look)), r);
      if (RunningOnOsLevel(olWinVista) && RectHeight(r) < 10) {
        Canvas()->Pen()->SetColor(ThemedPartColor(tckSpinBorder));
        Canvas()->MoveTo(r.left + 1, r.top);
        Canvas()->LineTo(r.right - 1, r.top);
      }
    } else if (FDown || (hot && Enabled())) {
      const Look look = FDown ? Look::Pressed : Look::Hot;
      themes->DrawElement(Canvas()->Handle(), themes->GetElementDetails(Nth(first, look)), r);
    } else {
      Canvas()->Brush()->SetColor(Color());
      Canvas()->FillRect(r);
      PaintDirectionArrow(Canvas(), r, RunningOnOsLevel(olWinVista) ? alThemedVista : alThemedXP,
                          direction, Enabled());
    }
    InflateRect(&r, -2, -2);
    return;
  }
  PaintClassicFrame(r, fsButtonUp);
  // Inside a spin edit the arrows keep the button face whatever colour the edit gives them.
  bool inSpinEdit = false;
  if (TComponent* owner = Owner())
    if (TComponent* outer = owner->Owner())
      if (const TClassInfo* info = GetClassInfo(outer))
        inSpinEdit = info->InheritsFrom(u"TRzSpinEdit");
  Canvas()->Brush()->SetColor(!FFlat && inSpinEdit ? clBtnFace : Color());
  Canvas()->FillRect(r);
  PaintDirectionArrow(Canvas(), r, alClassic, direction, Enabled());
}

void TRzControlButton::PaintDropDownButton(TRect& r) {
  if (ThemesOn()) {
    InflateRect(&r, 1, 1);
    TThemeServices* themes = ThemeServices();
    const bool hotLook = FDown || (FMouseOverButton && Enabled()) || Designing();
    if (hotLook) {
      themes->DrawElement(
          Canvas()->Handle(),
          themes->GetElementDetails(FDown ? tcDropDownButtonPressed : tcDropDownButtonHot), r);
    } else if (FFlat) {
      Canvas()->Brush()->SetColor(Color());
      Canvas()->FillRect(r);
      PaintDropDownArrow(Canvas(), r, alThemedXP, Enabled());
    } else {
      themes->DrawElement(
          Canvas()->Handle(),
          themes->GetElementDetails(Enabled() ? tcDropDownButtonNormal : tcDropDownButtonDisabled),
          r);
    }
    InflateRect(&r, -2, -2);
    return;
  }
  PaintClassicFrame(r, fsButtonUp);
  Canvas()->Brush()->SetColor(FFlat ? Color() : clBtnFace);
  Canvas()->FillRect(r);
  PaintDropDownArrow(Canvas(), r, alClassic, Enabled());
}

void TRzControlButton::PaintGlyph(const TRect& r) {
  const int w = RectWidth(r), h = RectHeight(r);
  if (w <= 0 || h <= 0) return;
  TRect source = Rect(0, 0, w, h);
  if (FNumGlyphs >= 3 && FDown) source = Rect(2 * w, 0, 3 * w, h);
  else if (FNumGlyphs >= 2 && !Enabled()) source = Rect(w, 0, 2 * w, h);
  // The face under the glyph is copied first, so the cell is put down in one draw.
  TBitmap scratch(w, h);
  scratch.Canvas()->CopyRect(Rect(0, 0, w, h), Canvas(), r);
  StretchDrawTransparent(scratch.Canvas(), FGlyph.get(), Rect(0, 0, w, h), source,
                         FGlyph->TransparentColor());
  Canvas()->Draw(r.left, r.top, &scratch);
}

// ---- Press, release and repeat ----

void TRzControlButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button == mbLeft && Enabled()) {
    if (!FDown) {
      FDown = true;
      Invalidate();
    }
    FDragging = true;
  }
  if (FRepeatClicks) {
    if (!FRepeatTimer) {
      FRepeatTimer = new TTimer(this);
      FRepeatTimer->SetOnTimer([this](TObject* sender) { RepeatTimerExpired(sender); });
    }
    FRepeatTimer->SetInterval(FInitialDelay);
    FRepeatTimer->SetEnabled(true);
  }
}

void TRzControlButton::RepeatTimerExpired(TObject*) {
  FRepeatTimer->SetInterval(FDelay);
  if (FDown && MouseCapture()) {
    // A failing click must not leave the timer clicking on.
    ScopeGuard stopOnFailure([this] { FRepeatTimer->SetEnabled(false); });
    Click();
    stopOnFailure.Dismiss();
  }
}

void TRzControlButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  // However the release ends, even by a click handler that raises, the repeats stop.
  ScopeGuard stopRepeats([this] {
    if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
  });
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!FDragging) return;
  FDragging = false;
  const bool inside = x >= 0 && x < ClientWidth() && y >= 0 && y < ClientHeight();
  FDown = false;
  FMouseOverButton = false;
  Repaint();
  ScopeGuard restoreHot([this] { UpdateHotState(); });
  if (inside) Click();
}

void TRzControlButton::UpdateHotState() {
  if (!((FFlat || ThemesOn()) && Enabled())) return;
  POINT p{};
  GetCursorPos(&p);
  if (FindDragTarget(TPoint{p.x, p.y}, true) == this) Perform(CM_MOUSEENTER);
  else Perform(CM_MOUSELEAVE);
}

void TRzControlButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_MOUSEENTER:
      if (Designing()) return;
      FMouseOverButton = true;
      TGraphicControl::Dispatch(message);
      if (FFlat || ThemesOn()) Refresh();
      return;
    case CM_MOUSELEAVE:
      FMouseOverButton = false;
      TGraphicControl::Dispatch(message);
      if (FFlat || ThemesOn()) Refresh();
      return;
  }
  TGraphicControl::Dispatch(message);
}

// ---- Published table ----

const TTypeInfo* TypeInfoTRzControlButtonStyle() {
  static const TTypeInfo t = TTypeInfo::Enumeration(
      u"TRzControlButtonStyle",
      {u"cbsNone", u"cbsLeft", u"cbsUp", u"cbsRight", u"cbsDown", u"cbsDropDown"});
  return &t;
}

void RegisterRzButtonClasses() {
  static const bool registered = [] {
    RegisterClassLibrary();
    RegisterButtonsClasses();
    Published<TRzControlButton>(u"TRzControlButton", u"TGraphicControl")
        .Creatable()
        .Str(
            u"Caption", [](TRzControlButton* b) { return b->GetText(); }, &TControl::SetText)
        .Ord(u"Color", TypeInfoTColor(), &TControl::Color, &TControl::SetColor, clBtnFace)
        .StoredIf(&TControl::IsColorStored)
        .Bool(u"ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false)
        .Bool(u"Flat", &TRzControlButton::Flat, &TRzControlButton::SetFlat, false)
        .Object(u"Glyph", &TRzControlButton::Glyph, &TRzControlButton::SetGlyph)
        .StoredIf([](TRzControlButton* b) { return !b->Glyph()->Empty(); })
        .Ord(u"NumGlyphs", TypeInfoTNumGlyphs(), &TRzControlButton::NumGlyphs,
             &TRzControlButton::SetNumGlyphs, 1)
        .Ord(u"Delay", TypeInfoWord(), &TRzControlButton::Delay, &TRzControlButton::SetDelay, 100)
        .Ord(u"InitialDelay", TypeInfoWord(), &TRzControlButton::InitialDelay,
             &TRzControlButton::SetInitialDelay, 400)
        .Bool(u"RepeatClicks", &TRzControlButton::RepeatClicks, &TRzControlButton::SetRepeatClicks,
              false)
        .Ord(u"Style", TypeInfoTRzControlButtonStyle(), &TRzControlButton::Style,
             &TRzControlButton::SetStyle, cbsNone);
    return true;
  }();
  (void)registered;
}
