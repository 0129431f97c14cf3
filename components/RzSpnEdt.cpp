// Unit RzSpnEdt: spin buttons.
#include "RzSpnEdt.h"

#include <algorithm>
#include <cmath>

#include "Forms.h"
#include "GraphicsTypeInfo.h"
#include "Numbers.h"
#include "RzOldPropReader.h"
#include "Streaming.h"
#include "SystemControls.h"
#include "Themes.h"
#include "User.h"

// ---- TRzSpinButtons ----

TRzSpinButtons::TRzSpinButtons(TComponent* owner) : TWinControl(owner) {
  RegisterRzSpnEdtClasses();
  TControlStyle style = ControlStyle();
  style.Exclude(csAcceptsControls);
  style.Exclude(csSetCaption);
  SetControlStyle(style);
  SetColor(clBtnFace);
  SetParentColor(true);
  FUpRightButton = CreateButton();
  FDownLeftButton = CreateButton();
  SetGlyphUpRight(nullptr);
  SetGlyphDownLeft(nullptr);
  SetBounds(Left(), Top(), 16, 25);
}

TRzSpinButtons::~TRzSpinButtons() {
  // The buttons' glyphs report to this control, which is half gone by the time they are freed.
  for (TRzControlButton* b : {FUpRightButton, FDownLeftButton})
    if (b) b->Glyph()->OnChange = nullptr;
}

String TRzSpinButtons::ClassName() const { return u"TRzSpinButtons"; }

TRzControlButton* TRzSpinButtons::CreateButton() {
  auto* button = new TRzControlButton(this);
  button->OnClick = [this](TObject* sender) { ButtonClick(sender); };
  button->OnMouseDown = [this](TObject* sender, TMouseButton b, TShiftState shift, int x, int y) {
    ButtonMouseDown(sender, b, shift, x, y);
  };
  button->SetVisible(true);
  button->SetEnabled(true);
  button->SetRepeatClicks(true);
  button->Glyph()->OnChange = [this](TObject* sender) { GlyphChanged(sender); };
  button->SetNumGlyphs(2);
  button->SetParent(this);
  return button;
}

void TRzSpinButtons::ButtonClick(TObject* sender) {
  if (sender == FUpRightButton) DoUpRightClick();
  else DoDownLeftClick();
}

void TRzSpinButtons::DoUpRightClick() {
  if (OnUpRightClick) OnUpRightClick(this);
}

void TRzSpinButtons::DoDownLeftClick() {
  if (OnDownLeftClick) OnDownLeftClick(this);
}

void TRzSpinButtons::ButtonMouseDown(TObject*, TMouseButton button, TShiftState, int, int) {
  if (button != mbLeft) return;
  auto focusedWindow = [](TWinControl* c) {
    return c->HandleAllocated() && GetFocus() == c->Handle();
  };
  // A press that cannot bring the focus where it belongs goes no further: no pressed look,
  // no click, no repeat.
  if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() &&
      !focusedWindow(FFocusControl)) {
    FFocusControl->SetFocus();
    if (!FFocusControl->Focused()) Abort();
    return;
  }
  if (TabStop() && !focusedWindow(this) && CanFocus()) {
    SetFocus();
    if (!Focused()) Abort();
  }
}

TRzControlButtonStyle TRzSpinButtons::ArrowStyle(TRzControlButton* button) const {
  if (button == FUpRightButton) return FDirection == sdUpDown ? cbsUp : cbsRight;
  return FDirection == sdUpDown ? cbsDown : cbsLeft;
}

void TRzSpinButtons::GlyphChanged(TObject* sender) {
  TRzControlButton* button = nullptr;
  if (FUpRightButton && sender == FUpRightButton->Glyph()) button = FUpRightButton;
  if (FDownLeftButton && sender == FDownLeftButton->Glyph()) button = FDownLeftButton;
  if (!button) return;
  const bool custom = !button->Glyph()->Empty();
  (button == FUpRightButton ? FCustomUpRightGlyph : FCustomDownLeftGlyph) = custom;
  button->SetStyle(custom ? cbsNone : ArrowStyle(button));
}

void TRzSpinButtons::SetGlyph(TRzControlButton* button, const TBitmap* value) {
  bool& custom = button == FUpRightButton ? FCustomUpRightGlyph : FCustomDownLeftGlyph;
  button->SetGlyph(value);  // reports to GlyphChanged
  if (value) {
    custom = true;
    button->SetStyle(cbsNone);
  } else {
    custom = false;
    button->SetStyle(ArrowStyle(button));
  }
}

void TRzSpinButtons::SetGlyphUpRight(const TBitmap* value) { SetGlyph(FUpRightButton, value); }

void TRzSpinButtons::SetGlyphDownLeft(const TBitmap* value) { SetGlyph(FDownLeftButton, value); }

void TRzSpinButtons::SetDirection(TSpinDirection value) {
  if (value == FDirection) return;
  FDirection = value;
  SetGlyphUpRight(nullptr);
  SetGlyphDownLeft(nullptr);
  Invalidate();
}

void TRzSpinButtons::SetOrientation(RzSpnEdt::TOrientation value) {
  if (value == FOrientation) return;
  FOrientation = value;
  if (!ComponentState().Contains(csLoading))
    SetWidth(value == orVertical ? Width() / 2 : Width() * 2);
  Invalidate();
}

void TRzSpinButtons::SetEnabled(bool value) {
  if (value == Enabled()) return;
  TWinControl::SetEnabled(value);
  FUpRightButton->SetEnabled(value);
  FDownLeftButton->SetEnabled(value);
}

void TRzSpinButtons::SetColor(TColor value) {
  TWinControl::SetColor(value);
  if (FUpRightButton) FUpRightButton->SetColor(value);
  if (FDownLeftButton) FDownLeftButton->SetColor(value);
}

void TRzSpinButtons::SetFlat(bool value) {
  if (value == FFlat) return;
  FFlat = value;
  FUpRightButton->SetFlat(value);
  FDownLeftButton->SetFlat(value);
}

void TRzSpinButtons::SetDelay(WORD value) {
  FUpRightButton->SetDelay(value);
  FDownLeftButton->SetDelay(value);
}

void TRzSpinButtons::SetInitialDelay(WORD value) {
  FUpRightButton->SetInitialDelay(value);
  FDownLeftButton->SetInitialDelay(value);
}

void TRzSpinButtons::SetFocusControl(TWinControl* value) {
  if (value == FFocusControl) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = value;
  if (value) value->FreeNotification(this);
}

void TRzSpinButtons::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == FFocusControl) FFocusControl = nullptr;
}

void TRzSpinButtons::GetChildren(const TGetChildProc& proc, TComponent* root) {
  TWinControl::GetChildren(
      [&](TComponent* child) {
        if (child != FUpRightButton && child != FDownLeftButton) proc(child);
      },
      root);
}

// ---- Layout ----

void TRzSpinButtons::LayoutButtons(int width, int height) {
  if (!FUpRightButton || ComponentState().Contains(csLoading)) return;
  if (FOrientation == orVertical) {
    const int h = height / 2;
    FUpRightButton->SetBounds(0, 0, width, h);
    FDownLeftButton->SetBounds(0, h, width, height - h);
  } else {
    const int w = width / 2;
    FDownLeftButton->SetBounds(0, 0, w, height);
    FUpRightButton->SetBounds(w, 0, width - w, height);
  }
}

void TRzSpinButtons::SetBounds(int left, int top, int width, int height) {
  LayoutButtons(width, height);
  TWinControl::SetBounds(left, top, width, height);
}

void TRzSpinButtons::RelayoutAtCurrentSize() {
  const int w = Width(), h = Height();
  LayoutButtons(w, h);
  if (w != Width() || h != Height()) TWinControl::SetBounds(Left(), Top(), w, h);
}

void TRzSpinButtons::Loaded() {
  TWinControl::Loaded();
  RelayoutAtCurrentSize();
}

// ---- Keys and messages ----

void TRzSpinButtons::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_UP) FUpRightButton->Click();
  else if (key == VK_DOWN) FDownLeftButton->Click();
  TWinControl::KeyDown(key, shift);
}

void TRzSpinButtons::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_SIZE:
      TWinControl::Dispatch(message);
      RelayoutAtCurrentSize();
      message.Result = 0;
      return;
    case WM_GETDLGCODE: message.Result = DLGC_WANTARROWS; return;
    case CM_COLORCHANGED:
      // Also when the colour comes from the parent.
      TWinControl::Dispatch(message);
      if (FUpRightButton) FUpRightButton->SetColor(Color());
      if (FDownLeftButton) FDownLeftButton->SetColor(Color());
      return;
  }
  TWinControl::Dispatch(message);
}

// ---- TRzSpinEdit ----

namespace {

bool ThemesOn() { return ThemeServices()->ThemesEnabled(); }

// The nearest integer (halves to even), held inside the 64-bit range.
std::int64_t RoundClamped(Extended v) {
  if (std::isnan(v)) return 0;
  constexpr Extended kLimit = 9223372036854775807.0L;
  if (v >= kLimit) return INT64_MAX;
  if (v <= -kLimit) return INT64_MIN;
  return Round(v);
}

}  // namespace

TRzSpinEdit::TRzSpinEdit(TComponent* owner) : TRzCustomEdit(owner) {
  RegisterRzSpnEdtClasses();
  FButtons = new TRzSpinButtons(this);
  FButtons->SetParent(this);
  FButtons->SetBounds(0, 0, 17, 17);
  FButtons->SetVisible(true);
  FButtons->SetFocusControl(this);
  FButtons->OnUpRightClick = [this](TObject* sender) { ClickUp(sender); };
  FButtons->OnDownLeftClick = [this](TObject* sender) { ClickDown(sender); };
  TControlStyle style = ControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
  SetFlatButtonColor(clBtnFace);
  SetWidth(47);
  SetAlignment(taRightJustify);
  SetValue(0);
}

TRzSpinEdit::~TRzSpinEdit() = default;

String TRzSpinEdit::ClassName() const { return u"TRzSpinEdit"; }

TRzControlButton* TRzSpinEdit::GetButton(int index) const {
  return index == 1 ? FButtons->DownLeftButton() : FButtons->UpRightButton();
}

// ---- Value ----

Extended TRzSpinEdit::TextValue() {
  Extended v = 0;
  if (!TryStrToFloat(Text(), v) || std::isnan(v)) return FMin;
  return v;
}

Extended TRzSpinEdit::Value() {
  if (!Text().empty()) return TextValue();
  if (FAllowBlank) return FBlankValue;
  SetText(FloatToStr(FMin));
  return TextValue();
}

Extended TRzSpinEdit::ClampValue(Extended value) {
  if (FMin == FMax && !FCheckRange) return value;
  // Not a number is no place in the range; the lower bound stands in for it.
  if (std::isnan(value) || value < FMin) return FMin;
  if (value > FMax) return FMax;
  return value;
}

void TRzSpinEdit::SetValue(Extended value) {
  const bool tracked = Parent() != nullptr;
  bool nothingSelected = false;
  int caret = 0, oldLength = 0;
  if (tracked) {
    nothingSelected = SelLength() == 0;
    caret = SelStart();
    oldLength = static_cast<int>(Text().size());
  }
  const String text = FloatToStrF(ClampValue(value), ffFixed, 18, FDecimals);
  SetText(text);
  if (tracked && nothingSelected) {
    const int newLength = static_cast<int>(text.size());
    if (newLength > oldLength) ++caret;
    if (newLength < oldLength) --caret;
    // A caret at the start of a text that shrank stays at the start.
    SetSelStart(std::clamp(caret, 0, newLength));
  }
}

std::int64_t TRzSpinEdit::IntValue() { return RoundClamped(Value()); }

void TRzSpinEdit::SetIntValue(std::int64_t value) { SetValue(static_cast<Extended>(value)); }

// ---- Setters of bounds and format ----

void TRzSpinEdit::SetDecimals(BYTE value) {
  value = std::min(value, MaxDecimals);
  if (value == FDecimals) return;
  FDecimals = value;
  SetValue(Value());
}

void TRzSpinEdit::SetCheckRange(bool value) {
  if (value == FCheckRange) return;
  FCheckRange = value;
  SetValue(Value());
}

void TRzSpinEdit::SetMin(Extended value) {
  if (value == FMin) return;
  FMin = value;
  if (FMin > FMax) FMax = FMin;
  SetValue(Value());
  Invalidate();
}

void TRzSpinEdit::SetMax(Extended value) {
  if (value == FMax) return;
  FMax = value;
  if (!(FMax >= FMin)) FMin = FMax;
  SetValue(Value());
  Invalidate();
}

void TRzSpinEdit::SetIntegersOnly(bool value) {
  if (value == FIntegersOnly) return;
  FIntegersOnly = value;
  if (value) {
    SetDecimals(0);
    SetValue(static_cast<Extended>(RoundClamped(Value())));
  }
}

void TRzSpinEdit::SetButtonWidth(int value) {
  if (value == FButtonWidth) return;
  FButtonWidth = std::max(value, 0);
  FButtons->SetWidth(Orientation() == orVertical ? FButtonWidth : 2 * FButtonWidth);
  PositionButtons();
  Invalidate();
}

void TRzSpinEdit::SetOrientation(RzSpnEdt::TOrientation value) {
  FButtons->SetOrientation(value);
  PositionButtons();
  Invalidate();
}

void TRzSpinEdit::SetFlatButtons(bool value) {
  TRzCustomEdit::SetFlatButtons(value);
  FButtons->SetFlat(value);
  PositionButtons();
}

void TRzSpinEdit::SetFrameStyle(TFrameStyle value) {
  TRzCustomEdit::SetFrameStyle(value);
  PositionButtons();
}

// ---- Steps ----

bool TRzSpinEdit::AllowValueChange(Extended newValue) {
  bool allow = true;
  if (OnChanging) OnChanging(this, newValue, allow);
  return allow;
}

void TRzSpinEdit::NotifyButtonClick(TSpinButtonType button) {
  if (OnButtonClick) OnButtonClick(this, button);
}

void TRzSpinEdit::StepUp(Extended amount) {
  if (ReadOnly()) {
    InvalidKeyBeep();
    return;
  }
  const Extended next = Value() + amount;
  if (!AllowValueChange(next)) return;
  SetValue(next);
  NotifyButtonClick(sbUp);
}

void TRzSpinEdit::StepDown(Extended amount) {
  if (ReadOnly()) {
    InvalidKeyBeep();
    return;
  }
  const Extended next = Value() - amount;
  if (!AllowValueChange(next)) return;
  SetValue(next);
  NotifyButtonClick(sbDown);
}

void TRzSpinEdit::ClickUp(TObject*) { StepUp(FIncrement); }

void TRzSpinEdit::ClickDown(TObject*) { StepDown(FIncrement); }

bool TRzSpinEdit::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
  TRzCustomEdit::DoMouseWheelDown(shift, mousePos);
  StepDown(shift.Contains(ssCtrl) ? FPageSize : FIncrement);
  return true;
}

bool TRzSpinEdit::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
  TRzCustomEdit::DoMouseWheelUp(shift, mousePos);
  StepUp(shift.Contains(ssCtrl) ? FPageSize : FIncrement);
  return true;
}

// ---- Keys ----

void TRzSpinEdit::KeyDown(WORD& key, TShiftState shift) {
  TRzCustomEdit::KeyDown(key, shift);
  if (!FAllowKeyEdit && key == VK_DELETE) {
    key = 0;
    InvalidKeyBeep();
  }
  switch (key) {
    case VK_UP: StepUp(FIncrement); break;
    case VK_DOWN: StepDown(FIncrement); break;
    case VK_PRIOR: StepUp(FPageSize); break;
    case VK_NEXT: StepDown(FPageSize); break;
    default: return;
  }
  // The edit never sees them, so the caret stays.
  key = 0;
}

void TRzSpinEdit::KeyPress(Char& key) {
  TRzCustomEdit::KeyPress(key);
  if (key != 0 && !IsKeyAccepted(key)) {
    key = 0;
    InvalidKeyBeep();
  }
}

bool TRzSpinEdit::IsKeyAccepted(Char key) {
  const Char separator = FormatSettings.DecimalSeparator;
  const bool control = key < 32 && key != Char(VK_RETURN);
  bool accepted = (key >= u'0' && key <= u'9') || key == u'+' || key == u'-' ||
                  (!FIntegersOnly && key == separator) || control;
  if (accepted && !control) {
    const String text = Text();
    if (key == separator) {
      const bool textHasOne = text.find(separator) != String::npos;
      accepted =
          SelLength() == 0 ? !textHasOne : !textHasOne || SelText().find(separator) != String::npos;
    } else if (key == u'+' || key == u'-') {
      accepted = (SelStart() == 0 && text.find_first_of(u"+-") == String::npos) ||
                 SelLength() == static_cast<int>(text.size());
    }
  }
  if (!FAllowKeyEdit) accepted = key < 32 && key != Char(VK_BACK) && accepted;
  return accepted;
}

// ---- Focus ----

void TRzSpinEdit::CMEnter(TMessage& message) {
  TRzCustomEdit::CMEnter(message);
  UpdateTextMargins();
  if (AutoSelect() && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
}

void TRzSpinEdit::CMExit(TMessage& message) {
  TRzCustomEdit::CMExit(message);
  UpdateTextMargins();
  if (FAllowBlank && Text().empty()) return;
  SetValue(TextValue());
}

void TRzSpinEdit::SetHotState(bool byMouse, bool active) {
  TRzCustomEdit::SetHotState(byMouse, active);
  if (!FlatButtons() || !FButtons) return;
  const bool lit = active || Focused();
  if (ThemesOn()) {
    FButtons->SetFlat(!lit);
    FButtons->SetColor(Color());
  } else {
    FButtons->SetColor(lit ? FlatButtonColor() : Color());
  }
}

// ---- Layout ----

void TRzSpinEdit::GetTextArea(TRect& rect) {
  TRzCustomEdit::GetTextArea(rect);
  if (!ReadOnly()) rect.right -= FButtons->Width() + 2;
}

void TRzSpinEdit::ReadOnlyChanged() {
  TRzCustomEdit::ReadOnlyChanged();
  FButtons->SetVisible(!ReadOnly());
  PositionButtons();
}

void TRzSpinEdit::UpdateTextMargins() {
  if (!HandleAllocated()) return;
  int left = 0, right = 0;
  if (ReadOnly()) {
    // both 0
  } else if (Loading()) {
    return;
  } else if (UseRightToLeftReading()) {
    left = FButtons->Width() + 2;
  } else {
    right = FButtons->Width() + 2;
  }
  SendMessageW(Handle(), EM_SETMARGINS, EC_LEFTMARGIN, MAKELONG(left, 0));
  SendMessageW(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELONG(0, right));
}

void TRzSpinEdit::PositionButtons() {
  if (Loading()) return;
  const int minimum = MinimumEditHeight(Font());
  if (Height() < minimum) {
    SetHeight(minimum);
    return;
  }
  if (!FButtons) return;
  const int w = FButtons->Width(), W = Width(), H = Height();
  struct Place {
    int left, top, height;
  };
  auto themed = [&]() -> Place {
    if (!RunningOnOsLevel(olWinVista)) return {W - w - 3, -1, H - 2};
    return {W - w - 3, Orientation() == orVertical ? 0 : -1, H - 3};
  };
  const Place classic{W - w - 4, 0, H - 4};
  Place p;
  if (UseRightToLeftReading()) p = {0, 0, H - 4};
  else if (FrameVisible() || Ctl3D()) p = ThemesOn() ? themed() : classic;
  else p = {W - w - 1, 1, H - 2};
  FButtons->SetBounds(p.left, p.top, w, p.height);
  UpdateTextMargins();
}

void TRzSpinEdit::CreateParams(TCreateParams& params) {
  TRzCustomEdit::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
}

void TRzSpinEdit::CreateWnd() {
  TRzCustomEdit::CreateWnd();
  UpdateTextMargins();
}

void TRzSpinEdit::Loaded() {
  TRzCustomEdit::Loaded();
  PositionButtons();
}

void TRzSpinEdit::GetChildren(const TGetChildProc&, TComponent*) {}

void TRzSpinEdit::DefineProperties(TFiler* filer) {
  TRzCustomEdit::DefineProperties(filer);
  filer->DefineProperty(u"FlatButtonParentColor", TRzOldPropReader::ReadOldBooleanProp, nullptr,
                        false);
}

void TRzSpinEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_SIZE:
      TRzCustomEdit::Dispatch(message);
      PositionButtons();
      return;
    case WM_PASTE:
    case WM_CUT:
      if (FAllowKeyEdit && !ReadOnly()) TRzCustomEdit::Dispatch(message);
      return;
    case CM_ENABLEDCHANGED:
      TRzCustomEdit::Dispatch(message);
      UpdateTextMargins();
      FButtons->SetEnabled(Enabled());
      if (FlatButtons()) FButtons->SetColor(Color());
      return;
    case CM_FONTCHANGED:
      TRzCustomEdit::Dispatch(message);
      UpdateTextMargins();
      FButtons->SetEnabled(Enabled());
      return;
    case CM_COLORCHANGED:
      TRzCustomEdit::Dispatch(message);
      if (FButtons) FButtons->SetColor(Color());
      return;
  }
  TRzCustomEdit::Dispatch(message);
}

// ---- Published tables ----

const TTypeInfo* TypeInfoTSpinDirection() {
  static const TTypeInfo t =
      TTypeInfo::Enumeration(u"TSpinDirection", {u"sdUpDown", u"sdLeftRight"});
  return &t;
}

const TTypeInfo* TypeInfoTSpinButtonType() {
  static const TTypeInfo t = TTypeInfo::Enumeration(u"TSpinButtonType", {u"sbUp", u"sbDown"});
  return &t;
}

const TTypeInfo* TypeInfoTOrientation() {
  static const TTypeInfo t =
      TTypeInfo::Enumeration(u"TOrientation", {u"orHorizontal", u"orVertical"});
  return &t;
}

void RegisterRzSpnEdtClasses() {
  static const bool registered = [] {
    RegisterRzButtonClasses();
    Published<TRzSpinButtons>(u"TRzSpinButtons", u"TWinControl")
        .Creatable()
        .Ord(
            u"About", TypeInfoTRzAboutInfo(), [](TRzSpinButtons*) { return aiAbout; },
            [](TRzSpinButtons*, TRzAboutInfo) {})
        .Stored(false)
        .Ord(u"Color", TypeInfoTColor(), &TControl::Color, &TRzSpinButtons::SetColor, clBtnFace)
        .StoredIf(&TControl::IsColorStored)
        .Ord(u"Delay", TypeInfoWord(), &TRzSpinButtons::Delay, &TRzSpinButtons::SetDelay, 100)
        .Ord(u"Direction", TypeInfoTSpinDirection(), &TRzSpinButtons::Direction,
             &TRzSpinButtons::SetDirection, sdUpDown)
        .Bool(u"Flat", &TRzSpinButtons::Flat, &TRzSpinButtons::SetFlat, false)
        .Object(u"FocusControl", &TRzSpinButtons::FocusControl, &TRzSpinButtons::SetFocusControl)
        .Object(u"GlyphUpRight", &TRzSpinButtons::GlyphUpRight, &TRzSpinButtons::SetGlyphUpRight)
        .StoredIf(&TRzSpinButtons::CustomUpRightGlyph)
        .Object(u"GlyphDownLeft", &TRzSpinButtons::GlyphDownLeft, &TRzSpinButtons::SetGlyphDownLeft)
        .StoredIf(&TRzSpinButtons::CustomDownLeftGlyph)
        .Ord(u"InitialDelay", TypeInfoWord(), &TRzSpinButtons::InitialDelay,
             &TRzSpinButtons::SetInitialDelay, 400)
        .Ord(u"NumGlyphsUpRight", TypeInfoTNumGlyphs(), &TRzSpinButtons::NumGlyphsUpRight,
             &TRzSpinButtons::SetNumGlyphsUpRight, 2)
        .StoredIf(&TRzSpinButtons::CustomUpRightGlyph)
        .Ord(u"NumGlyphsDownLeft", TypeInfoTNumGlyphs(), &TRzSpinButtons::NumGlyphsDownLeft,
             &TRzSpinButtons::SetNumGlyphsDownLeft, 2)
        .StoredIf(&TRzSpinButtons::CustomDownLeftGlyph)
        .Ord(u"Orientation", TypeInfoTOrientation(), &TRzSpinButtons::Orientation,
             &TRzSpinButtons::SetOrientation, orVertical)
        .Bool(u"TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false)
        .Event(u"OnUpRightClick", &TRzSpinButtons::OnUpRightClick)
        .Event(u"OnDownLeftClick", &TRzSpinButtons::OnDownLeftClick);

    RegisterRzEditClasses();
    static const TTypeInfo changingEvent = TTypeInfo::Method(u"TSpinChangingEvent");
    static const TTypeInfo buttonEvent = TTypeInfo::Method(u"TSpinButtonEvent");
    auto custom = [](bool (TRzSpinButtons::*flag)() const) {
      return [flag](TRzSpinEdit* e) { return (e->Buttons()->*flag)(); };
    };
    // Bounds and format are declared before Value, so a stored Value is read under them.
    Published<TRzSpinEdit>(u"TRzSpinEdit", u"TRzCustomEdit")
        .Creatable()
        .Ord(u"About", TypeInfoTRzAboutInfo(), &TRzCustomEdit::About, &TRzCustomEdit::SetAbout)
        .Stored(false)
        .Bool(u"AllowBlank", &TRzSpinEdit::AllowBlank, &TRzSpinEdit::SetAllowBlank, false)
        .Float(u"BlankValue", &TRzSpinEdit::BlankValue, &TRzSpinEdit::SetBlankValue, 0.0)
        .Bool(u"AllowKeyEdit", &TRzSpinEdit::AllowKeyEdit, &TRzSpinEdit::SetAllowKeyEdit, false)
        .Object(u"ButtonDownGlyph", &TRzSpinEdit::ButtonDownGlyph, &TRzSpinEdit::SetButtonDownGlyph)
        .StoredIf(custom(&TRzSpinButtons::CustomDownLeftGlyph))
        .Ord(u"ButtonDownNumGlyphs", TypeInfoTNumGlyphs(), &TRzSpinEdit::ButtonDownNumGlyphs,
             &TRzSpinEdit::SetButtonDownNumGlyphs, 2)
        .StoredIf(custom(&TRzSpinButtons::CustomDownLeftGlyph))
        .Object(u"ButtonUpGlyph", &TRzSpinEdit::ButtonUpGlyph, &TRzSpinEdit::SetButtonUpGlyph)
        .StoredIf(custom(&TRzSpinButtons::CustomUpRightGlyph))
        .Ord(u"ButtonUpNumGlyphs", TypeInfoTNumGlyphs(), &TRzSpinEdit::ButtonUpNumGlyphs,
             &TRzSpinEdit::SetButtonUpNumGlyphs, 2)
        .StoredIf(custom(&TRzSpinButtons::CustomUpRightGlyph))
        .Int(u"ButtonWidth", &TRzSpinEdit::ButtonWidth, &TRzSpinEdit::SetButtonWidth, 17)
        .Bool(u"CheckRange", &TRzSpinEdit::CheckRange, &TRzSpinEdit::SetCheckRange, false)
        .Ord(u"Decimals", TypeInfoByte(), &TRzSpinEdit::Decimals, &TRzSpinEdit::SetDecimals, 0)
        .Ord(u"Direction", TypeInfoTSpinDirection(), &TRzSpinEdit::Direction,
             &TRzSpinEdit::SetDirection, sdUpDown)
        .Ord(u"FlatButtonColor", TypeInfoTColor(), &TRzCustomEdit::FlatButtonColor,
             &TRzCustomEdit::SetFlatButtonColor, clBtnFace)
        .Float(u"Increment", &TRzSpinEdit::Increment, &TRzSpinEdit::SetIncrement, 1.0)
        .Bool(u"IntegersOnly", &TRzSpinEdit::IntegersOnly, &TRzSpinEdit::SetIntegersOnly, true)
        // No default: written whatever its value, 0 included.
        .Float(u"Max", &TRzSpinEdit::Max, &TRzSpinEdit::SetMax)
        .Float(u"Min", &TRzSpinEdit::Min, &TRzSpinEdit::SetMin, 0.0)
        .Ord(u"Orientation", TypeInfoTOrientation(), &TRzSpinEdit::Orientation,
             &TRzSpinEdit::SetOrientation, orVertical)
        .Float(u"PageSize", &TRzSpinEdit::PageSize, &TRzSpinEdit::SetPageSize, 10.0)
        .Float(u"Value", &TRzSpinEdit::Value, &TRzSpinEdit::SetValue, 0.0)
        .Event(u"OnChanging", &TRzSpinEdit::OnChanging, &changingEvent)
        .Event(u"OnButtonClick", &TRzSpinEdit::OnButtonClick, &buttonEvent)
        .Ord(u"Alignment", TypeInfoTAlignment(), &TCustomEdit::Alignment,
             &TRzSpinEdit::SetAlignment, taRightJustify)
        .Bool(u"BeepOnInvalidKey", &TRzSpinEdit::BeepOnInvalidKey,
              &TRzSpinEdit::SetBeepOnInvalidKey, true)
        .Bool(u"FlatButtons", &TRzSpinEdit::FlatButtons, &TRzSpinEdit::SetFlatButtons, false)
        .Str(u"Text", &TControl::Text, &TControl::SetText)
        .Stored(false);
    return true;
  }();
  (void)registered;
}
