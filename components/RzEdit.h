#pragma once
// The library's framed single-line edits: the base with colour states, its own flat frame in
// the non-client area, an optional drop-down button and the frame-controller link; the plain
// framed edit; and the numeric edit, whose value lives in its text.
#include <cstdint>
#include <functional>
#include <memory>

#include "Buttons.h"  // TButtonState
#include "Mask.h"
#include "RzCommon.h"

class TRzCalculatorColors;

// ErrorMsg comes in empty; a handler that fills it raises EDBEditError with that text.
using TRzValidateErrorEvent = std::function<void(TObject* sender, String& errorMsg)>;

class TRzCustomEdit : public TCustomMaskEdit {
 public:
  explicit TRzCustomEdit(TComponent* owner);
  ~TRzCustomEdit() override;
  String ClassName() const override;
  void Dispatch(TMessage& message) override;

  // True with fpXPThemes while the platform's visual styles are on.
  virtual bool UseThemes();
  bool UseRightToLeftLayout() const { return UseRightToLeftAlignment(); }
  TAlignment GetControlsAlignment() const { return FAlignment; }

  // ---- Colours ----
  // What a stored form keeps as Color: the learnt normal colour while disabled, so the
  // disabled colour never replaces it.
  TColor StoredColor() const;
  TColor NormalColor() const { return FNormalColor; }
  TColor FocusColor() const { return FFocusColor; }
  virtual void SetFocusColor(TColor value);
  TColor DisabledColor() const { return FDisabledColor; }
  virtual void SetDisabledColor(TColor value);
  TColor ReadOnlyColor() const { return FReadOnlyColor; }
  virtual void SetReadOnlyColor(TColor value);
  bool ReadOnlyColorOnFocus() const { return FReadOnlyColorOnFocus; }
  void SetReadOnlyColorOnFocus(bool value) { FReadOnlyColorOnFocus = value; }
  void SetReadOnly(bool value) override;

  // ---- Frame ----
  TColor FrameColor() const { return FFrameColor; }
  virtual void SetFrameColor(TColor value);
  TColor FrameHotColor() const { return FFrameHotColor; }
  virtual void SetFrameHotColor(TColor value);
  bool FrameHotTrack() const { return FFrameHotTrack; }
  virtual void SetFrameHotTrack(bool value);
  TFrameStyle FrameHotStyle() const { return FFrameHotStyle; }
  virtual void SetFrameHotStyle(TFrameStyle value);
  TSides FrameSides() const { return FFrameSides; }
  virtual void SetFrameSides(TSides value);
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  virtual void SetFrameStyle(TFrameStyle value);
  bool FrameVisible() const { return FFrameVisible; }
  virtual void SetFrameVisible(bool value);
  TFramingPreference FramingPreference() const { return FFramingPreference; }
  virtual void SetFramingPreference(TFramingPreference value);
  TRzFrameController* FrameController() const { return FFrameController; }
  virtual void SetFrameController(TRzFrameController* value);
  TRzFrameControllerNotifications FrameControllerNotifications() const {
    return FFrameControllerNotifications;
  }
  void SetFrameControllerNotifications(TRzFrameControllerNotifications value) {
    FFrameControllerNotifications = value;
  }
  // A frame controller is assigned and accepted for that setting.
  bool Governed(TRzFrameControllerProperty prop) const;

  // ---- Keys and text ----
  void SetAlignment(TAlignment value) override;
  bool TabOnEnter() const { return FTabOnEnter; }
  void SetTabOnEnter(bool value) { FTabOnEnter = value; }
  bool BeepOnInvalidKey() const { return FBeepOnInvalidKey; }
  void SetBeepOnInvalidKey(bool value) { FBeepOnInvalidKey = value; }
  bool TextHintVisibleOnFocus() const { return FTextHintVisibleOnFocus; }
  void SetTextHintVisibleOnFocus(bool value);
  TRzAboutInfo About() const { return FAboutInfo; }
  void SetAbout(TRzAboutInfo value) { FAboutInfo = value; }

  // ---- Drop button ----
  bool DropButtonVisible() const { return FDropButtonVisible; }
  bool ShowDropButton() const { return FShowDropButton; }
  bool FlatButtons() const { return FFlatButtons; }
  virtual void SetFlatButtons(bool value);
  TColor FlatButtonColor() const { return FFlatButtonColor; }
  void SetFlatButtonColor(TColor value);
  TButtonState ButtonState() const { return FButtonState; }
  bool DroppedDown() const { return FDroppedDown; }

  // The colour the state rule chooses now (disabled, focused, read-only, normal).
  TColor StateColor();
  // The hot state: focused or the pointer over the control.
  bool Hot() const { return FInControl || FOverControl; }

  TRzValidateErrorEvent OnValidateError;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

 protected:
  // ---- Operations derived edits override ----
  virtual void ApplyStateColor();
  virtual void SetHotState(bool byMouse, bool active);
  virtual void InvalidateFrame();
  virtual void GetTextArea(TRect& rect);
  virtual String ReadText();
  virtual void HideDropButton();
  virtual void RestoreDropButton();
  virtual void DrawDropButton(TCanvas* canvas, TRect& rect);
  virtual void SetButtonState(TButtonState state);
  virtual void SetDropButtonVisible(bool value);
  virtual void SetShowDropButton(bool value);
  virtual bool IsReadOnly();
  virtual void ReadOnlyChanged();
  virtual void DropDown();
  virtual void CloseUp();

  void InvalidKeyBeep();
  void RepaintNonClient();
  void PerformDropDown();
  void ReleaseDropButton();

  void DefineProperties(TFiler* filer) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void CreateParams(TCreateParams& params) override;
  void DoSetTextHint(const String& value) override;
  void ValidateError() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(Char& key) override;

  // Message handlers, each ending in the inherited handling where it runs at all.
  virtual void CMEnter(TMessage& message);
  virtual void CMExit(TMessage& message);
  void CMColorChanged(TMessage& message);
  void CMParentColorChanged(TMessage& message);
  void CMEnabledChanged(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void WMSize(TMessage& message);
  void WMNCCalcSize(TMessage& message);
  void WMNCHitTest(TMessage& message);
  void WMNCPaint(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMLButtonDown(TMessage& message);
  void WMLButtonUp(TMessage& message);
  void WMLButtonDblClk(TMessage& message);
  void WMRButtonDown(TMessage& message);
  void WMSetCursor(TMessage& message);

  bool Loading() const { return ComponentState().Contains(csLoading); }
  // The width of the strip the drop button takes from the client area.
  int DropButtonStripWidth();

  TRzAboutInfo FAboutInfo = aiAbout;
  std::unique_ptr<TControlCanvas> FCanvas;
  bool FInControl = false;
  bool FOverControl = false;
  bool FFrameVisible = false;

 private:
  void LearnColor();

  TAlignment FAlignment = taLeftJustify;
  bool FTabOnEnter = false;
  bool FBeepOnInvalidKey = true;
  bool FUpdatingColor = false;
  TColor FDisabledColor = clBtnFace;
  TColor FFocusColor = clWindow;
  TColor FNormalColor = clWindow;
  TColor FFrameColor = clBtnShadow;
  TColor FFrameHotColor = clBtnShadow;
  TRzFrameController* FFrameController = nullptr;
  TRzFrameControllerNotifications FFrameControllerNotifications;
  bool FFrameHotTrack = false;
  TFrameStyle FFrameHotStyle = fsFlatBold;
  TSides FFrameSides = sdAllSides;
  TFrameStyle FFrameStyle = fsFlat;
  TFramingPreference FFramingPreference = fpXPThemes;
  TColor FReadOnlyColor = clInfoBk;
  bool FReadOnlyColorOnFocus = false;
  bool FTextHintVisibleOnFocus = false;
  bool FDropButtonVisible = false;
  bool FShowDropButton = false;
  bool FMouseOverButton = false;
  bool FFlatButtons = false;
  TColor FFlatButtonColor = clBtnFace;
  bool FDroppedDown = false;
  TButtonState FButtonState = bsUp;
};

class TRzEdit : public TRzCustomEdit {
 public:
  explicit TRzEdit(TComponent* owner);
  String ClassName() const override;
};

// ---- Numeric edit ----
using TRzRangeErrorEvent = std::function<void(TObject* sender, Extended enteredValue,
                                              Extended adjustedValue, bool& autoCorrect)>;

class TRzNumericEdit : public TRzEdit {
 public:
  explicit TRzNumericEdit(TComponent* owner);
  ~TRzNumericEdit() override;
  String ClassName() const override;
  void Dispatch(TMessage& message) override;

  bool AllowBlank() const { return FAllowBlank; }
  void SetAllowBlank(bool value) { FAllowBlank = value; }
  bool AllowScientificNotation() const { return FAllowScientificNotation; }
  void SetAllowScientificNotation(bool value) { FAllowScientificNotation = value; }
  Extended BlankValue() const { return FBlankValue; }
  void SetBlankValue(Extended value) { FBlankValue = value; }
  bool CalculatorVisible() const { return DropButtonVisible(); }
  void SetCalculatorVisible(bool value) { SetDropButtonVisible(value); }
  bool CalculatorBoldButtons() const { return FCalculatorBoldButtons; }
  void SetCalculatorBoldButtons(bool value) { FCalculatorBoldButtons = value; }
  TRzCalculatorColors* CalculatorColors() const { return FCalculatorColors.get(); }
  virtual void SetCalculatorColors(const TRzCalculatorColors* value);
  bool CheckRange() const { return FCheckRange; }
  void SetCheckRange(bool value) { FCheckRange = value; }
  bool IntegersOnly() const { return FIntegersOnly; }
  virtual void SetIntegersOnly(bool value);
  Extended Min() const { return FMin; }
  virtual void SetMin(Extended value);
  Extended Max() const { return FMax; }
  virtual void SetMax(Extended value);
  const String& DisplayFormat() const { return FDisplayFormat; }
  virtual void SetDisplayFormat(const String& value);
  virtual Extended Value();
  virtual void SetValue(Extended value);
  virtual std::int64_t IntValue();
  virtual void SetIntValue(std::int64_t value);
  // The value accepted at the last exit differs from the value at entry.
  bool Modified() const { return FModified; }

  virtual String FormatNumber(Extended value);
  virtual Extended ParseNumber();

  TRzRangeErrorEvent OnRangeError;

 protected:
  virtual bool AcceptsChar(Char key);
  // Drops a calculator down below the edit and takes its accepted result as the value.
  virtual void ShowCalculator();
  virtual Extended RangeCheck(bool& failed, Extended value);
  virtual void RangeError(bool& autoCorrect, Extended enteredValue, Extended adjustedValue);

  void Loaded() override;
  void Change() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(Char& key) override;
  void DropDown() override;
  void CMEnter(TMessage& message) override;
  void CMExit(TMessage& message) override;

  bool FLoading = false;

 private:
  bool FAllowBlank = false;
  bool FAllowScientificNotation = true;
  Extended FBlankValue = 0;
  bool FCheckRange = false;
  bool FIntegersOnly = true;
  Extended FMin = 0;
  Extended FMax = 0;
  String FDisplayFormat = u",0;(,0)";
  Extended FFieldValue = 0;
  bool FModified = false;
  bool FCalculatorBoldButtons = false;
  std::unique_ptr<TRzCalculatorColors> FCalculatorColors;
  bool FDecimalPressed = false;
  bool FKeepEnteredText = false;
};

// Registers the tables of the framed edits (and the calculator colours they own).
void RegisterRzEditClasses();
