#include "RzEdit.h"

#include <cmath>
#include <cstdint>
#include <exception>

#include "GraphicsTypeInfo.h"
#include "Numbers.h"
#include "RzOldPropReader.h"
#include "RzPopups.h"
#include "ScopeGuard.h"
#include "Streaming.h"
#include "SysInfo.h"
#include "SystemControls.h"
#include "Themes.h"

namespace {

bool ThemesOn() { return ThemeServices()->ThemesEnabled(); }

// The platform of the 4.0 rules (Enter swallowed in right-aligned edits, select all on entry).
bool RunningOnVersion40() { return Win32MajorVersion == 4 && Win32MinorVersion == 0; }

bool IsSign(Char c) { return c == u'+' || c == u'-'; }
bool IsExponent(Char c) { return c == u'E' || c == u'e'; }
bool IsDigit(Char c) { return c >= u'0' && c <= u'9'; }
bool HasSign(const String& s) { return s.find_first_of(u"+-") != String::npos; }

// The integer nearest to v, halves to the even neighbour, held inside the 64-bit range.
std::int64_t RoundToInt64(Extended v) {
  if (std::isnan(v)) return 0;
  constexpr Extended kLimit = 9223372036854775807.0L;
  if (v >= kLimit) return INT64_MAX;
  if (v <= -kLimit) return INT64_MIN;
  return static_cast<std::int64_t>(std::nearbyint(v));
}

}  // namespace

// ======================================================================================
// TRzCustomEdit
// ======================================================================================

TRzCustomEdit::TRzCustomEdit(TComponent* owner)
    : TCustomMaskEdit(owner), FFrameControllerNotifications(fcnAllNotifications) {
  TControlStyle style = ControlStyle();
  style.Include(csCaptureMouse);
  style.Exclude(csSetCaption);
  SetControlStyle(style);
  FCanvas = std::make_unique<TControlCanvas>();
}

TRzCustomEdit::~TRzCustomEdit() {
  if (FFrameController) FFrameController->RemoveControl(this);
}

String TRzCustomEdit::ClassName() const { return u"TRzCustomEdit"; }

bool TRzCustomEdit::UseThemes() { return FFramingPreference == fpXPThemes && ThemesOn(); }

// ---- Colour states ----

TColor TRzCustomEdit::StateColor() {
  if (!Enabled()) return FDisabledColor;
  if (Focused()) return (IsReadOnly() && FReadOnlyColorOnFocus) ? FReadOnlyColor : FFocusColor;
  if (IsReadOnly()) return FReadOnlyColor;
  return FNormalColor;
}

void TRzCustomEdit::ApplyStateColor() {
  if (Loading()) return;
  FUpdatingColor = true;
  ScopeGuard updated([this] { FUpdatingColor = false; });
  SetColor(StateColor());
}

TColor TRzCustomEdit::StoredColor() const { return Enabled() ? Color() : FNormalColor; }

void TRzCustomEdit::LearnColor() {
  if (FFocusColor == FNormalColor) FFocusColor = Color();
  FNormalColor = Color();
}

void TRzCustomEdit::CMColorChanged(TMessage& message) {
  TCustomMaskEdit::Dispatch(message);
  if (!FUpdatingColor) LearnColor();
  if (FFrameVisible && !UseThemes()) InvalidateFrame();
}

void TRzCustomEdit::CMParentColorChanged(TMessage& message) {
  TCustomMaskEdit::Dispatch(message);
  if (!FUpdatingColor && ParentColor()) LearnColor();
  if (FFrameVisible && !UseThemes()) InvalidateFrame();
}

void TRzCustomEdit::SetFocusColor(TColor value) {
  FFocusColor = value;
  if (Focused()) ApplyStateColor();
}

void TRzCustomEdit::SetDisabledColor(TColor value) {
  FDisabledColor = value;
  if (!Enabled()) ApplyStateColor();
}

void TRzCustomEdit::SetReadOnlyColor(TColor value) {
  FReadOnlyColor = value;
  if (IsReadOnly()) ApplyStateColor();
}

void TRzCustomEdit::SetReadOnly(bool value) {
  if (value == ReadOnly()) return;
  TCustomMaskEdit::SetReadOnly(value);
  ReadOnlyChanged();
}

bool TRzCustomEdit::IsReadOnly() { return ReadOnly(); }

void TRzCustomEdit::ReadOnlyChanged() {
  if (IsReadOnly()) {
    HideDropButton();
  } else if (FDropButtonVisible) {
    RestoreDropButton();
  }
  ApplyStateColor();
  RepaintNonClient();
}

bool TRzCustomEdit::Governed(TRzFrameControllerProperty prop) const {
  return FFrameController && FFrameControllerNotifications.Contains(prop);
}

// ---- Hot state and frame ----

void TRzCustomEdit::SetHotState(bool byMouse, bool active) {
  if (byMouse) {
    FOverControl = active;
  } else {
    FInControl = active;
  }
  if (FShowDropButton) {
    if ((FFlatButtons || FFrameHotTrack || ThemesOn()) && FButtonState != bsDown &&
        HandleAllocated()) {
      TRect r = ClientRect();
      if (!FFrameHotTrack) {
        int strip = GetSystemMetrics(SM_CXVSCROLL) + 2;
        if (UseRightToLeftLayout()) {
          r.right = r.left + strip;
        } else {
          r.left = r.right - strip;
        }
      }
      RedrawWindow(WindowHandle(), &r, 0, RDW_INVALIDATE | RDW_FRAME | RDW_NOERASE);
    }
  } else if (FFrameHotTrack) {
    InvalidateFrame();
  }
  ApplyStateColor();
}

void TRzCustomEdit::InvalidateFrame() {
  if (HandleAllocated()) RefreshNonClientFrame(WindowHandle(), ClientRect());
}

void TRzCustomEdit::RepaintNonClient() {
  if (HandleAllocated()) SendMessageW(WindowHandle(), WM_NCPAINT, 0, 0);
}

void TRzCustomEdit::GetTextArea(TRect& rect) { rect = ClientRect(); }

String TRzCustomEdit::ReadText() { return Text(); }

void TRzCustomEdit::SetFrameColor(TColor value) {
  if (value == FFrameColor) return;
  FFrameColor = value;
  InvalidateFrame();
}

void TRzCustomEdit::SetFrameHotColor(TColor value) {
  if (value == FFrameHotColor) return;
  FFrameHotColor = value;
  InvalidateFrame();
}

void TRzCustomEdit::SetFrameHotTrack(bool value) {
  if (value == FFrameHotTrack) return;
  FFrameHotTrack = value;
  if (value) {
    SetFrameVisible(true);
    if (!Loading()) FFrameSides = sdAllSides;
  }
  InvalidateFrame();
  Invalidate();
}

void TRzCustomEdit::SetFrameHotStyle(TFrameStyle value) {
  if (value == FFrameHotStyle) return;
  FFrameHotStyle = value;
  InvalidateFrame();
}

void TRzCustomEdit::SetFrameSides(TSides value) {
  if (value == FFrameSides) return;
  FFrameSides = value;
  InvalidateFrame();
}

void TRzCustomEdit::SetFrameStyle(TFrameStyle value) {
  if (value == FFrameStyle) return;
  FFrameStyle = value;
  InvalidateFrame();
}

void TRzCustomEdit::SetFrameVisible(bool value) {
  if (value == FFrameVisible) return;
  FFrameVisible = value;
  if (value) SetCtl3D(true);
  RecreateWnd();
}

void TRzCustomEdit::SetFramingPreference(TFramingPreference value) {
  if (value == FFramingPreference) return;
  FFramingPreference = value;
  if (value == fpCustomFraming) InvalidateFrame();
}

void TRzCustomEdit::SetFrameController(TRzFrameController* value) {
  if (FFrameController) FFrameController->RemoveControl(this);
  FFrameController = value;
  if (value) {
    value->AddControl(this);
    value->FreeNotification(this);
  }
}

void TRzCustomEdit::Notification(TComponent* component, TOperation operation) {
  TCustomMaskEdit::Notification(component, operation);
  if (operation == opRemove && component == FFrameController) FFrameController = nullptr;
}

// ---- Window ----

void TRzCustomEdit::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  TCustomMaskEdit::SetAlignment(value);
}

void TRzCustomEdit::CreateParams(TCreateParams& params) {
  TCustomMaskEdit::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
  params.Style &= ~(ES_CENTER | ES_RIGHT | ES_MULTILINE);
  if (FAlignment == taRightJustify) params.Style |= ES_RIGHT;
  if (FAlignment == taCenter) params.Style |= ES_CENTER;
}

void TRzCustomEdit::Loaded() {
  TCustomMaskEdit::Loaded();
  ApplyStateColor();
  SetHotState(false, false);
}

void TRzCustomEdit::DefineProperties(TFiler* filer) {
  TCustomMaskEdit::DefineProperties(filer);
  TRzOldPropReader::DefineOldFrameProps(
      filer, [this](bool flat) { SetFrameHotTrack(flat); }, FFrameStyle, FFrameHotStyle);
}

void TRzCustomEdit::SetTextHintVisibleOnFocus(bool value) {
  if (value == FTextHintVisibleOnFocus) return;
  FTextHintVisibleOnFocus = value;
  if (!Loading()) DoSetTextHint(TextHint());
}

void TRzCustomEdit::DoSetTextHint(const String& value) {
  if (RunningOnOsLevel(olWinXP) && ThemesOn() && HandleAllocated())
    SendMessageW(WindowHandle(), EM_SETCUEBANNER, FTextHintVisibleOnFocus ? 1 : 0,
                 LPARAM(value.c_str()));
}

void TRzCustomEdit::ValidateError() {
  if (OnValidateError) {
    String message;
    OnValidateError(this, message);
    if (!message.empty()) throw EDBEditError(message);
  }
  TCustomMaskEdit::ValidateError();
}

void TRzCustomEdit::InvalidKeyBeep() {
  if (FBeepOnInvalidKey) MessageBeep(0);
}

// ---- Keys and focus ----

void TRzCustomEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomMaskEdit::KeyDown(key, shift);
  if (!FShowDropButton || key == 0) return;
  TShiftState mods = shift & TShiftState{ssShift, ssAlt, ssCtrl};
  if ((key == VK_DOWN && mods == TShiftState{ssAlt}) || (key == VK_F4 && mods.Bits() == 0)) {
    PerformDropDown();
    key = 0;
  }
}

void TRzCustomEdit::KeyPress(Char& key) {
  if (FTabOnEnter && key == Char(VK_RETURN)) {
    key = 0;
    PostMessageW(Handle(), WM_KEYDOWN, VK_TAB, 0);
    return;
  }
  if (key == Char(VK_RETURN) && RunningOnVersion40() && FAlignment == taRightJustify) {
    key = 0;
    return;
  }
  TCustomMaskEdit::KeyPress(key);
}

void TRzCustomEdit::CMEnter(TMessage& message) {
  if (RunningOnVersion40() && AutoSelect() && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
  SetHotState(false, true);
  TCustomMaskEdit::Dispatch(message);
}

void TRzCustomEdit::CMExit(TMessage& message) {
  TCustomMaskEdit::Dispatch(message);
  SetHotState(false, false);
}

void TRzCustomEdit::CMEnabledChanged(TMessage& message) {
  TCustomMaskEdit::Dispatch(message);
  ApplyStateColor();
  RepaintNonClient();
}

void TRzCustomEdit::CMMouseEnter(TMessage& message) {
  if (ComponentState().Contains(csDesigning)) return;
  TCustomMaskEdit::Dispatch(message);
  if (message.LParam == 0) SetHotState(true, true);
}

void TRzCustomEdit::CMMouseLeave(TMessage& message) {
  TCustomMaskEdit::Dispatch(message);
  if (message.LParam == 0) SetHotState(true, false);
}

// ---- Non-client area ----

int TRzCustomEdit::DropButtonStripWidth() {
  return GetSystemMetrics(SM_CXVSCROLL) - (ThemesOn() ? 1 : 0);
}

void TRzCustomEdit::WMSize(TMessage& message) {
  TCustomMaskEdit::Dispatch(message);
  if (FFrameVisible && !UseThemes()) InvalidateFrame();
}

void TRzCustomEdit::WMNCCalcSize(TMessage& message) {
  if (FShowDropButton && message.LParam) {
    RECT* proposed = reinterpret_cast<RECT*>(message.LParam);
    if (UseRightToLeftLayout()) {
      proposed->left += DropButtonStripWidth();
    } else {
      proposed->right -= DropButtonStripWidth();
    }
  }
  TCustomMaskEdit::Dispatch(message);
}

void TRzCustomEdit::WMNCHitTest(TMessage& message) {
  TCustomMaskEdit::Dispatch(message);
  FMouseOverButton = message.Result == HTNOWHERE;
  if (FMouseOverButton) message.Result = HTCLIENT;
}

void TRzCustomEdit::WMNCPaint(TMessage& message) {
  TCustomMaskEdit::Dispatch(message);
  HWND hwnd = WindowHandle();
  HDC dc = GetWindowDC(hwnd);
  FCanvas->SetHandle(dc);
  ScopeGuard release([this, hwnd, dc] {
    FCanvas->SetHandle(0);
    ReleaseDC(hwnd, dc);
  });

  if (FFrameVisible && !UseThemes()) {
    bool hot = FFrameHotTrack && Hot();
    PaintEditFrame(FCanvas.get(), Width(), Height(), hot ? FFrameHotColor : FFrameColor, Color(),
                   hot ? FFrameHotStyle : FFrameStyle, FFrameSides, true);
    message.Result = 0;
  }
  DoSetTextHint(TextHint());
  if (!FShowDropButton) return;

  RECT window;
  GetWindowRect(hwnd, &window);
  TRect r = Rect(0, 0, window.right - window.left, window.bottom - window.top);
  if (BorderStyle() == bsSingle) {
    int border = ThemesOn() ? 1 : 2;
    InflateRect(&r, -border, -border);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
  TRect button = r;
  if (UseRightToLeftLayout()) {
    button.right = button.left + GetSystemMetrics(SM_CXVSCROLL);
  } else {
    button.left = button.right - GetSystemMetrics(SM_CXVSCROLL);
  }
  TRect drawn = button;
  DrawDropButton(FCanvas.get(), drawn);
  ExcludeClipRect(dc, drawn.left, drawn.top, drawn.right, drawn.bottom);
  FCanvas->FillRect(button);
  message.Result = 0;
}

// ---- Drop button ----

void TRzCustomEdit::DrawDropButton(TCanvas* canvas, TRect& rect) {
  bool down = FButtonState == bsDown;
  if (ThemesOn()) {
    if (FFlatButtons && !Hot()) {
      canvas->Brush()->SetColor(Color());
      canvas->FillRect(rect);
      PaintDropDownArrow(canvas, rect, alThemedXP, true);
      return;
    }
    TThemedComboBox part = !Enabled() ? tcDropDownButtonDisabled
                           : down     ? tcDropDownButtonPressed
                           : Hot()    ? tcDropDownButtonHot
                                      : tcDropDownButtonNormal;
    if (RunningOnOsLevel(olWinVista)) {
      rect.top -= 1;
      rect.bottom += 1;
      rect.right += 1;
    }
    ThemeServices()->DrawElement(canvas->Handle(), ThemeServices()->GetElementDetails(part), rect);
    return;
  }

  canvas->Brush()->SetColor(clBtnFace);
  UINT flags = DFCS_SCROLLCOMBOBOX | (down ? DFCS_PUSHED | DFCS_FLAT : 0);
  if (!FFlatButtons) {
    if (!Enabled()) flags |= DFCS_INACTIVE;
    DrawFrameControl(canvas->Handle(), &rect, DFC_SCROLL, flags);
  } else if (!Hot()) {
    canvas->Brush()->SetColor(StateColor());
    canvas->FillRect(rect);
    PaintDropDownArrow(canvas, rect, alClassic, Enabled());
  } else {
    canvas->Brush()->SetColor(FFlatButtonColor);
    TRect inner;
    if (FFlatButtonColor == clBtnFace) {
      inner = PaintSidesRepeated(canvas, rect, down ? clBtnShadow : clBtnHighlight,
                                 down ? clBtnHighlight : clBtnShadow, 1, sdAllSides);
    } else {
      inner = PaintColoredBorder(canvas, rect, FFlatButtonColor, down ? fsStatus : fsPopup);
    }
    canvas->FillRect(inner);
    if (down) OffsetRect(&inner, 1, 1);
    PaintDropDownArrow(canvas, inner, alClassic, Enabled());
  }
}

void TRzCustomEdit::HideDropButton() {
  if (FDropButtonVisible) SetShowDropButton(false);
}

void TRzCustomEdit::RestoreDropButton() {
  if (FDropButtonVisible) SetShowDropButton(true);
}

void TRzCustomEdit::SetButtonState(TButtonState state) {
  if (!FShowDropButton || state == FButtonState) return;
  FButtonState = state;
  RepaintNonClient();
}

void TRzCustomEdit::SetDropButtonVisible(bool value) {
  if (value == FDropButtonVisible) return;
  FDropButtonVisible = value;
  SetShowDropButton(value);
}

void TRzCustomEdit::SetShowDropButton(bool value) {
  if (value == FShowDropButton) return;
  FShowDropButton = value;
  RecreateWnd();
}

void TRzCustomEdit::SetFlatButtons(bool value) {
  if (value == FFlatButtons) return;
  FFlatButtons = value;
  RepaintNonClient();
}

void TRzCustomEdit::SetFlatButtonColor(TColor value) {
  if (value == FFlatButtonColor) return;
  FFlatButtonColor = value;
  RepaintNonClient();
}

void TRzCustomEdit::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TRzCustomEdit::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TRzCustomEdit::PerformDropDown() {
  if (!FShowDropButton) return;
  FDroppedDown = true;
  ScopeGuard dropped([this] { FDroppedDown = false; });
  SetCapture(Handle());
  SetButtonState(bsDown);
  DropDown();
  CloseUp();
  SetButtonState(bsUp);
}

void TRzCustomEdit::ReleaseDropButton() {
  if (!FDroppedDown) SetButtonState(bsUp);
  if (HandleAllocated() && GetCapture() == WindowHandle()) ReleaseCapture();
}

void TRzCustomEdit::WMLButtonDown(TMessage& message) {
  if (FShowDropButton && FMouseOverButton) {
    if (!Focused()) SetFocus();
    PerformDropDown();
    message.Result = 0;
    return;
  }
  TCustomMaskEdit::Dispatch(message);
  if (!Focused()) ReleaseDropButton();
}

void TRzCustomEdit::WMLButtonUp(TMessage& message) {
  ReleaseDropButton();
  TCustomMaskEdit::Dispatch(message);
}

void TRzCustomEdit::WMLButtonDblClk(TMessage& message) {
  if (FShowDropButton && FMouseOverButton) {
    WMLButtonDown(message);
    return;
  }
  TCustomMaskEdit::Dispatch(message);
}

void TRzCustomEdit::WMRButtonDown(TMessage& message) {
  if (FShowDropButton && FMouseOverButton) {
    message.Result = 0;
    return;
  }
  TCustomMaskEdit::Dispatch(message);
}

void TRzCustomEdit::WMSetCursor(TMessage& message) {
  if (FShowDropButton && FMouseOverButton)
    message.LParam = MAKELPARAM(HTNOWHERE, HIWORD(message.LParam));
  TCustomMaskEdit::Dispatch(message);
}

void TRzCustomEdit::WMKillFocus(TMessage& message) {
  TCustomMaskEdit::Dispatch(message);
  ReleaseDropButton();
}

void TRzCustomEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_COLORCHANGED: CMColorChanged(message); return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(message); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(message); return;
    case CM_ENTER: CMEnter(message); return;
    case CM_EXIT: CMExit(message); return;
    case CM_MOUSEENTER: CMMouseEnter(message); return;
    case CM_MOUSELEAVE: CMMouseLeave(message); return;
    case WM_SIZE: WMSize(message); return;
    case WM_NCCALCSIZE: WMNCCalcSize(message); return;
    case WM_NCHITTEST: WMNCHitTest(message); return;
    case WM_NCPAINT: WMNCPaint(message); return;
    case WM_KILLFOCUS: WMKillFocus(message); return;
    case WM_LBUTTONDOWN: WMLButtonDown(message); return;
    case WM_LBUTTONUP: WMLButtonUp(message); return;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(message); return;
    case WM_RBUTTONDOWN: WMRButtonDown(message); return;
    case WM_SETCURSOR: WMSetCursor(message); return;
    default: TCustomMaskEdit::Dispatch(message);
  }
}

// ======================================================================================
// TRzEdit
// ======================================================================================

TRzEdit::TRzEdit(TComponent* owner) : TRzCustomEdit(owner) {}

String TRzEdit::ClassName() const { return u"TRzEdit"; }

// ======================================================================================
// TRzNumericEdit
// ======================================================================================

TRzNumericEdit::TRzNumericEdit(TComponent* owner)
    : TRzEdit(owner), FCalculatorColors(std::make_unique<TRzCalculatorColors>(nullptr)) {
  SetBounds(Left(), Top(), 65, 21);
  SetAlignment(taRightJustify);
  SetValue(0);
  SetText(FormatNumber(0));
}

TRzNumericEdit::~TRzNumericEdit() = default;

String TRzNumericEdit::ClassName() const { return u"TRzNumericEdit"; }

String TRzNumericEdit::FormatNumber(Extended value) { return FormatFloat(FDisplayFormat, value); }

Extended TRzNumericEdit::ParseNumber() {
  String text = Trim(ReadText());
  if (text.empty()) return 0;
  bool negative = text[0] == u'-' || (text[0] == u'(' && text.find(u')') == text.size() - 1);
  Char decimal = FormatSettings.DecimalSeparator;
  String number;
  for (std::size_t i = 0; i < text.size(); ++i) {
    Char c = text[i];
    bool keep =
        IsDigit(c) || c == u'-' || c == decimal || (FAllowScientificNotation && IsExponent(c));
    if (keep && c == u'-' && FAllowScientificNotation) keep = i > 0 && IsExponent(text[i - 1]);
    if (keep) number += c;
  }
  if (number.empty()) return 0;
  if (negative && FirstNonBlankChar(number) != u'-') number.insert(number.begin(), u'-');
  return StrToFloatDef(number, 0);
}

Extended TRzNumericEdit::Value() {
  try {
    if (!ReadText().empty()) return ParseNumber();
    if (FAllowBlank) return FBlankValue;
    SetText(FormatNumber(FMin));
    return ParseNumber();
  } catch (const std::exception&) {
    return FMin;
  }
}

void TRzNumericEdit::SetValue(Extended value) {
  if (value != ParseNumber()) SetText(FormatNumber(value));
}

std::int64_t TRzNumericEdit::IntValue() { return RoundToInt64(Value()); }

void TRzNumericEdit::SetIntValue(std::int64_t value) { SetValue(static_cast<Extended>(value)); }

void TRzNumericEdit::SetIntegersOnly(bool value) {
  if (value == FIntegersOnly) return;
  FIntegersOnly = value;
  if (value) SetValue(static_cast<Extended>(RoundToInt64(Value())));
}

void TRzNumericEdit::SetMin(Extended value) {
  if (value == FMin) return;
  FMin = value;
  if (FMin > FMax) FMax = FMin;
  Invalidate();
}

void TRzNumericEdit::SetMax(Extended value) {
  if (value == FMax) return;
  FMax = value;
  if (FMax < FMin) FMin = FMax;
  Invalidate();
}

void TRzNumericEdit::SetDisplayFormat(const String& value) {
  if (value == FDisplayFormat) return;
  FDisplayFormat = value;
  SetValue(Value());
  if (!Loading()) SetText(FormatNumber(Value()));
}

void TRzNumericEdit::SetCalculatorColors(const TRzCalculatorColors* value) {
  FCalculatorColors->Assign(value);
}

void TRzNumericEdit::Change() {
  if (Loading() || FLoading) return;
  TRzEdit::Change();
}

void TRzNumericEdit::Loaded() {
  TRzEdit::Loaded();
  FLoading = true;
  ScopeGuard loaded([this] { FLoading = false; });
  FFieldValue = ParseNumber();
  SetText(FormatNumber(FFieldValue));
}

// ---- Range ----

void TRzNumericEdit::RangeError(bool& autoCorrect, Extended enteredValue, Extended adjustedValue) {
  if (OnRangeError) OnRangeError(this, enteredValue, adjustedValue, autoCorrect);
}

Extended TRzNumericEdit::RangeCheck(bool& failed, Extended value) {
  Extended result = value;
  if (FMin != FMax || FCheckRange) {
    bool autoCorrect = true;
    if (value < FMin || value > FMax) {
      Extended bound = value < FMin ? FMin : FMax;
      RangeError(autoCorrect, value, bound);
      if (autoCorrect) {
        result = bound;
      } else {
        failed = true;
      }
    }
  }
  FModified = result != FFieldValue;
  FFieldValue = result;
  return result;
}

void TRzNumericEdit::CMEnter(TMessage& message) {
  FModified = false;
  FFieldValue = ParseNumber();
  if (!FAllowBlank && !FKeepEnteredText) SetText(FormatNumber(FFieldValue));
  TRzEdit::CMEnter(message);
}

void TRzNumericEdit::CMExit(TMessage& message) {
  if (FAllowBlank && ReadText().empty()) {
    TRzEdit::CMExit(message);
    return;
  }
  Extended result = FMin;
  try {
    bool failed = false;
    result = RangeCheck(failed, ParseNumber());
    if (failed) {
      // Taking the focus back enters the control again; the text stays as typed.
      FKeepEnteredText = true;
      ScopeGuard kept([this] { FKeepEnteredText = false; });
      SetFocus();
      return;
    }
  } catch (const std::exception&) {
    result = FMin;
    SetValue(FMin);
  }
  SetText(FormatNumber(result));
  TRzEdit::CMExit(message);
}

// ---- Typing ----

void TRzNumericEdit::KeyDown(WORD& key, TShiftState shift) {
  TRzEdit::KeyDown(key, shift);
  FDecimalPressed = key == VK_DECIMAL;
}

void TRzNumericEdit::KeyPress(Char& key) {
  if (FDecimalPressed) {
    FDecimalPressed = false;
    key = FormatSettings.DecimalSeparator;
  }
  TRzEdit::KeyPress(key);
  if (key != 0 && !AcceptsChar(key)) {
    key = 0;
    InvalidKeyBeep();
  }
}

bool TRzNumericEdit::AcceptsChar(Char key) {
  Char decimal = FormatSettings.DecimalSeparator;
  bool inSet = IsDigit(key) || IsSign(key) || key == u'(' || key == u')';
  if (!FIntegersOnly)
    inSet = inSet || key == decimal || (FAllowScientificNotation && IsExponent(key));
  if (key < 32) inSet = key != Char(VK_RETURN);
  if (!inSet) return false;

  String text = ReadText();
  int start = SelStart();
  int length = SelLength();
  if (key == decimal && !FIntegersOnly) {
    bool textHasOne = text.find(decimal) != String::npos;
    if (length == 0) return !textHasOne;
    return !textHasOne || SelText().find(decimal) != String::npos;
  }

  bool atStart = start == 0 && length == 0 && !text.empty() && IsSign(text[0]);
  if (FIntegersOnly) {
    if (IsSign(key)) {
      return (start == 0 && !HasSign(text)) || (length > 0 && length == int(text.size())) ||
             (start == 0 && length > 0 && HasSign(SelText()));
    }
    return !atStart;
  }
  // Without IntegersOnly a sign still goes only where a number can carry one: in front, or
  // right after the exponent letter. "12-3" is no number.
  if (IsSign(key)) {
    if (start == 0) return length > 0 || text.empty() || !IsSign(text[0]);
    std::size_t after = std::size_t(start + length);
    return FAllowScientificNotation && IsExponent(text[std::size_t(start - 1)]) &&
           (after >= text.size() || !IsSign(text[after]));
  }
  return !atStart;
}

void TRzNumericEdit::DropDown() {
  if (IsReadOnly()) return;
  try {
    if (OnDropDown) OnDropDown(this);
    TNotifyEvent enter = OnEnter;
    TNotifyEvent exit = OnExit;
    OnEnter = nullptr;
    OnExit = nullptr;
    ScopeGuard reattach([this, &enter, &exit] {
      OnEnter = enter;
      OnExit = exit;
    });
    ShowCalculator();
  } catch (const std::exception&) {
    // A failed drop-down leaves the value as it was.
  }
}

void TRzNumericEdit::ShowCalculator() {
  const bool autoSelect = AutoSelect();
  SetAutoSelect(false);
  ScopeGuard restoreAutoSelect([this, autoSelect] { SetAutoSelect(autoSelect); });
  if (!Parent()) return;
  auto panel = std::make_unique<TRzPopupPanel>(this);
  auto* calculator = new TRzCalculator(panel.get());
  calculator->SetParent(panel.get());
  panel->SetParent(Parent());
  panel->Font()->SetName(Font()->Name());
  panel->Font()->SetColor(Font()->Color());
  panel->Font()->SetSize(Font()->Size());
  calculator->SetIsPopup(true);
  calculator->SetThemeAware(UseThemes());
  calculator->SetColor(Color());
  calculator->HandleNeeded();
  calculator->SetResult(Value());
  if ((FrameVisible() && !UseThemes() && FrameStyle() == fsFlat) || FrameStyle() == fsFlatBold) {
    calculator->SetBorderOuter(fsFlat);
    calculator->SetFlatColor(FrameColor());
  }
  calculator->SetVisible(true);
  calculator->SetCalculatorColors(CalculatorColors());
  calculator->SetBoldButtons(CalculatorBoldButtons());
  TRzPopupPanel* popup = panel.get();
  calculator->OnSetBtnClick = [popup](TObject* sender) { popup->Close(sender); };
  if (panel->Popup(this)) {
    // The accepted result meets the same range rule as typed text does on leaving.
    bool failed = false;
    const Extended value = RangeCheck(failed, calculator->Result());
    if (!failed) SetValue(value);
  }
}

void TRzNumericEdit::Dispatch(TMessage& message) {
  if ((message.Msg == WM_PASTE || message.Msg == WM_CUT) && IsReadOnly()) return;
  TRzEdit::Dispatch(message);
}

// ======================================================================================
// Published tables
// ======================================================================================

void RegisterRzEditClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassLibrary();
  RegisterRzCommonClasses();
  RegisterRzPopupsClasses();

  Published<TRzCustomEdit>(u"TRzCustomEdit", u"TCustomMaskEdit")
      .Ord(u"About", TypeInfoTRzAboutInfo(), &TRzCustomEdit::About, &TRzCustomEdit::SetAbout)
      .Stored(false)
      .Ord(u"Color", TypeInfoTColor(), &TRzCustomEdit::StoredColor, &TControl::SetColor, clWindow)
      .StoredIf([](TRzCustomEdit* e) { return !e->Governed(fcpColor) && e->IsColorStored(); })
      // Written whenever it differs from Color, so a focus colour left at clWindow beside
      // another Color is not lost on reading.
      .Ord(u"FocusColor", TypeInfoTColor(), &TRzCustomEdit::FocusColor,
           &TRzCustomEdit::SetFocusColor)
      .StoredIf([](TRzCustomEdit* e) {
        return !e->Governed(fcpFocusColor) &&
               ColorToRGB(e->FocusColor()) != ColorToRGB(e->StoredColor());
      })
      .Ord(u"DisabledColor", TypeInfoTColor(), &TRzCustomEdit::DisabledColor,
           &TRzCustomEdit::SetDisabledColor, clBtnFace)
      .StoredIf([](TRzCustomEdit* e) { return !e->Governed(fcpDisabledColor); })
      .Ord(u"ReadOnlyColor", TypeInfoTColor(), &TRzCustomEdit::ReadOnlyColor,
           &TRzCustomEdit::SetReadOnlyColor, clInfoBk)
      .StoredIf([](TRzCustomEdit* e) { return !e->Governed(fcpReadOnlyColor); })
      .Bool(u"ReadOnlyColorOnFocus", &TRzCustomEdit::ReadOnlyColorOnFocus,
            &TRzCustomEdit::SetReadOnlyColorOnFocus, false)
      .StoredIf([](TRzCustomEdit* e) { return !e->Governed(fcpReadOnlyColorOnFocus); })
      .Ord(u"FrameColor", TypeInfoTColor(), &TRzCustomEdit::FrameColor,
           &TRzCustomEdit::SetFrameColor, clBtnShadow)
      .StoredIf([](TRzCustomEdit* e) { return !e->Governed(fcpFrameColor); })
      .Ord(u"FrameHotColor", TypeInfoTColor(), &TRzCustomEdit::FrameHotColor,
           &TRzCustomEdit::SetFrameHotColor, clBtnShadow)
      .StoredIf([](TRzCustomEdit* e) { return !e->Governed(fcpFrameHotColor); })
      .Ord(u"FrameHotStyle", TypeInfoTFrameStyle(), &TRzCustomEdit::FrameHotStyle,
           &TRzCustomEdit::SetFrameHotStyle, fsFlatBold)
      .StoredIf([](TRzCustomEdit* e) { return !e->Governed(fcpFrameHotStyle); })
      .Bool(u"FrameHotTrack", &TRzCustomEdit::FrameHotTrack, &TRzCustomEdit::SetFrameHotTrack,
            false)
      .StoredIf([](TRzCustomEdit* e) { return !e->Governed(fcpFrameHotTrack); })
      .Ord(u"FrameSides", TypeInfoTSides(), &TRzCustomEdit::FrameSides,
           &TRzCustomEdit::SetFrameSides, sdAllSides)
      .StoredIf([](TRzCustomEdit* e) { return !e->Governed(fcpFrameSides); })
      .Ord(u"FrameStyle", TypeInfoTFrameStyle(), &TRzCustomEdit::FrameStyle,
           &TRzCustomEdit::SetFrameStyle, fsFlat)
      .StoredIf([](TRzCustomEdit* e) { return !e->Governed(fcpFrameStyle); })
      .Bool(u"FrameVisible", &TRzCustomEdit::FrameVisible, &TRzCustomEdit::SetFrameVisible, false)
      .StoredIf([](TRzCustomEdit* e) { return !e->Governed(fcpFrameVisible); })
      .Ord(u"FramingPreference", TypeInfoTFramingPreference(), &TRzCustomEdit::FramingPreference,
           &TRzCustomEdit::SetFramingPreference, fpXPThemes)
      .StoredIf([](TRzCustomEdit* e) { return !e->Governed(fcpFramingPreference); })
      .Object(u"FrameController", &TRzCustomEdit::FrameController,
              &TRzCustomEdit::SetFrameController)
      .Ord(u"FrameControllerNotifications", TypeInfoTRzFrameControllerNotifications(),
           &TRzCustomEdit::FrameControllerNotifications,
           &TRzCustomEdit::SetFrameControllerNotifications, fcnAllNotifications)
      .Bool(u"TabOnEnter", &TRzCustomEdit::TabOnEnter, &TRzCustomEdit::SetTabOnEnter, false)
      .Bool(u"TextHintVisibleOnFocus", &TRzCustomEdit::TextHintVisibleOnFocus,
            &TRzCustomEdit::SetTextHintVisibleOnFocus, false);
  Published<TRzEdit>(u"TRzEdit", u"TRzCustomEdit").Creatable();

  static const TTypeInfo rangeErrorEvent = TTypeInfo::Method(u"TRzRangeErrorEvent");
  Published<TRzNumericEdit>(u"TRzNumericEdit", u"TRzEdit")
      .Creatable()
      .Ord(u"Alignment", TypeInfoTAlignment(), &TCustomEdit::Alignment,
           &TRzNumericEdit::SetAlignment, taRightJustify)
      .Bool(u"AllowBlank", &TRzNumericEdit::AllowBlank, &TRzNumericEdit::SetAllowBlank, false)
      .Bool(u"AllowScientificNotation", &TRzNumericEdit::AllowScientificNotation,
            &TRzNumericEdit::SetAllowScientificNotation, true)
      .Bool(u"BeepOnInvalidKey", &TRzNumericEdit::BeepOnInvalidKey,
            &TRzNumericEdit::SetBeepOnInvalidKey, true)
      .Float(u"BlankValue", &TRzNumericEdit::BlankValue, &TRzNumericEdit::SetBlankValue, 0.0)
      .Bool(u"CalculatorVisible", &TRzNumericEdit::CalculatorVisible,
            &TRzNumericEdit::SetCalculatorVisible, false)
      .Bool(u"CalculatorBoldButtons", &TRzNumericEdit::CalculatorBoldButtons,
            &TRzNumericEdit::SetCalculatorBoldButtons, false)
      .Object(u"CalculatorColors", &TRzNumericEdit::CalculatorColors,
              &TRzNumericEdit::SetCalculatorColors)
      .Bool(u"CheckRange", &TRzNumericEdit::CheckRange, &TRzNumericEdit::SetCheckRange, false)
      .Bool(u"IntegersOnly", &TRzNumericEdit::IntegersOnly, &TRzNumericEdit::SetIntegersOnly, true)
      // Bounds and format come before Value, so a stored Value is read under them.
      .Float(u"Max", &TRzNumericEdit::Max, &TRzNumericEdit::SetMax, 0.0)
      .Float(u"Min", &TRzNumericEdit::Min, &TRzNumericEdit::SetMin, 0.0)
      .Str(u"DisplayFormat", &TRzNumericEdit::DisplayFormat, &TRzNumericEdit::SetDisplayFormat)
      .StoredIf([](TRzNumericEdit* e) { return e->DisplayFormat() != u",0;(,0)"; })
      .Float(u"Value", &TRzNumericEdit::Value, &TRzNumericEdit::SetValue, 0.0)
      .Str(u"Text", &TRzNumericEdit::Text, &TRzNumericEdit::SetText)
      .Stored(false)
      .Event(u"OnRangeError", &TRzNumericEdit::OnRangeError, &rangeErrorEvent);
}
