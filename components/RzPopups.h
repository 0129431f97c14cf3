#pragma once
// The popup unit: the calculator's colour set (owned by every numeric edit and by the
// calculator itself).
#include <cstdint>
#include <memory>

#include "Classes.h"
#include "Controls.h"
#include "RzPanel.h"

// The eight colours of a calculator's faces and captions. The calculator it belongs to (not
// owned, possibly none) is repainted on every change.
class TRzCalculatorColors : public TPersistent {
 public:
  enum Index : int {
    ciNumberFont,
    ciNumberBtns,
    ciOperatorFont,
    ciOperatorBtns,
    ciCommandFont,
    ciCommandBtns,
    ciDisplayFont,
    ciDisplay
  };
  static constexpr int kCount = 8;

  explicit TRzCalculatorColors(TControl* calculator);
  ~TRzCalculatorColors() override;
  String ClassName() const override;
  // Copies the eight colours from another colour set; anything else goes to the inherited rule.
  void Assign(const TPersistent* source) override;

  TControl* Calculator() const { return FCalculator; }
  // clNone outside 0..7.
  virtual TColor GetColor(int index) const;
  // No comparison with the old value: every write repaints the calculator.
  virtual void SetColor(int index, TColor value);

  TColor NumberFont() const { return GetColor(ciNumberFont); }
  TColor NumberBtns() const { return GetColor(ciNumberBtns); }
  TColor OperatorFont() const { return GetColor(ciOperatorFont); }
  TColor OperatorBtns() const { return GetColor(ciOperatorBtns); }
  TColor CommandFont() const { return GetColor(ciCommandFont); }
  TColor CommandBtns() const { return GetColor(ciCommandBtns); }
  TColor DisplayFont() const { return GetColor(ciDisplayFont); }
  TColor Display() const { return GetColor(ciDisplay); }

 private:
  TColor FColors[kCount];
  TControl* FCalculator;
};

// ---- Popups ----

// The close request a popup window is posted.
constexpr UINT WM_RZ_POPUPCLOSE = 0x2423;

// The common base of the popup panel and the popup window.
class TRzCustomPopup : public TRzCustomPanel {
 public:
  explicit TRzCustomPopup(TComponent* owner);
  String ClassName() const override;
  TControl* PopupControl() const { return FPopupControl; }

 protected:
  void AdjustClientRect(TRect& rect) override;
  void AlignControls(TControl* control, TRect& rect) override;
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  TControl* FPopupControl = nullptr;
};

class TRzPopup;

// An invisible container on a form whose children Popup shows in a temporary top-level
// window next to a control, until Close accepts or anything else dismisses it.
class TRzPopupPanel : public TRzCustomPopup {
 public:
  explicit TRzPopupPanel(TComponent* owner);
  ~TRzPopupPanel() override;
  String ClassName() const override;

  // True when accepted by Close; false when dismissed or already open. x and y are offsets
  // from the control's top-left corner on the screen, or both -1 for the place below it.
  bool Popup(TControl* popupControl);
  bool Popup(TControl* popupControl, int x, int y);
  // Accepts and closes the open popup; shaped as an event handler for a child's event.
  void Close(TObject* sender);
  bool Active() const { return FPopup != nullptr; }

  TNotifyEvent OnClose;
  TNotifyEvent OnPopup;

 protected:
  void DestroyWnd() override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void DoClose();
  virtual void DoPopup();

 private:
  TRzPopup* FPopup = nullptr;
  TWinControl* FRestoreFocus = nullptr;
  // Cleared when the panel goes, so a Popup call still on the stack knows not to touch it.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// The temporary borderless window a popup panel's children are shown in.
class TRzPopup : public TRzCustomPopup {
 public:
  explicit TRzPopup(TComponent* owner);
  ~TRzPopup() override;
  String ClassName() const override;
  void WndProc(TMessage& message) override;

  // Places, shows and runs the popup; true when accepted.
  bool Popup(TControl* popupControl, TAlignment alignment, int popupX, int popupY);
  TWinControl* Target() const { return FTarget; }
  // Where Popup puts a w x h window for a control whose screen rectangle is c, inside the
  // work area (x and y both -1 for the place below it).
  static TPoint PlaceFor(const TRect& c, int w, int h, TAlignment alignment, int popupX, int popupY,
                         const TRect& workArea);

 protected:
  void CreateParams(TCreateParams& params) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TRzPopupPanel;
  void RunLoop();
  // True when the popup must post its own close request once hidden.
  bool LoopUntilClosed();
  void HideAndReturnChildren();
  void PostCloseRequest();

  TRzPopupPanel* FPopupPanel;
  TWinControl* FTarget = nullptr;
  bool FCancel = false;
  bool FLooping = false;
  // The close request reached the window while the loop ran, through another pump.
  bool FCloseRequested = false;
};

// ---- Calculator ----

enum TRzCalculatorArea : std::uint8_t {
  ccBtn0,
  ccBtn1,
  ccBtn2,
  ccBtn3,
  ccBtn4,
  ccBtn5,
  ccBtn6,
  ccBtn7,
  ccBtn8,
  ccBtn9,
  ccDecimal,
  ccAdd,
  ccSubtract,
  ccMultiply,
  ccDivide,
  ccClear,
  ccEqual,
  ccSet,
  ccValue
};
constexpr int kCalculatorAreaCount = ccValue + 1;

enum TRzCalculatorOperation : std::uint8_t {
  calcNone,
  calcAdd,
  calcSubtract,
  calcMultiply,
  calcDivide
};

// A four-function calculator drawn as one control: a display above a five-by-five grid of
// buttons, worked by mouse and keys. In popup mode a set button accepts the result.
class TRzCalculator : public TRzCustomPanel {
 public:
  explicit TRzCalculator(TComponent* owner);
  ~TRzCalculator() override;
  String ClassName() const override;
  void Dispatch(TMessage& message) override;

  void Clear();
  TRzCalculatorArea HitTest(int x, int y);
  // The area's rectangle in the current layout (empty for ccSet outside popup mode).
  TRect AreaRect(TRzCalculatorArea area);
  // What the display shows now.
  String DisplayText() const;

  Extended Result() const { return FResult; }
  virtual void SetResult(Extended value);
  // The nearest integer, halves to even.
  int IntResult() const;
  void SetIntResult(int value) { SetResult(value); }
  void SetIsPopup(bool value);
  bool IsPopup() const { return FIsPopup; }
  bool ErrorOccurred() const { return FErrorOccurred; }
  bool BoldButtons() const { return FBoldButtons; }
  virtual void SetBoldButtons(bool value);
  bool ThemeAware() const { return FThemeAware; }
  virtual void SetThemeAware(bool value);
  TRzCalculatorColors* CalculatorColors() const { return FCalculatorColors.get(); }
  virtual void SetCalculatorColors(const TRzCalculatorColors* value);

  void Click() override;

  TNotifyEvent OnChange;
  TNotifyEvent OnSetBtnClick;

 protected:
  bool CanAutoSize(int& newWidth, int& newHeight) override;
  void ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) override;
  void AdjustClientRect(TRect& rect) override;
  void CreateHandle() override;
  void Paint() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoEnter() override;
  void DoExit() override;

  virtual void DrawDisplay(const TRect& r, TColor frameColor);
  virtual void DrawButton(const TRect& r, TRzCalculatorArea area);
  virtual void SetOverArea(TRzCalculatorArea area);
  virtual void SetPressedArea(TRzCalculatorArea area);
  virtual void Changed();
  virtual void SetButtonClicked();

 private:
  void MeasureFont();
  void Layout(TRect (&areas)[kCalculatorAreaCount]);
  void EnterDigit(int digit);
  void DecimalPoint();
  void SelectOperation(TRzCalculatorOperation op);
  void Compute();
  void Equals();
  void Accept();
  void ShowEntry();
  void ShowResult();
  void ResetEntry();
  void Error();
  // Result and entry both value, no operation pending, no error.
  void Restart(Extended value);

  TRzCalculatorArea FPressedArea = ccValue;
  TRzCalculatorArea FOverArea = ccValue;
  bool FIsPopup = false;
  TRect FMouseOverRect{0, 0, 0, 0};
  TPoint FCharSize{0, 0};
  Extended FNumber = 0;
  int FDecimalPlaces = 0;
  TRzCalculatorOperation FCurrentOperation = calcNone;
  Extended FResult = 0;
  bool FFirstDigit = true;
  bool FFirstNumber = true;
  bool FShowResult = true;
  bool FErrorOccurred = false;
  bool FBoldButtons = false;
  std::unique_ptr<TRzCalculatorColors> FCalculatorColors;
  bool FThemeAware = true;
};

// Registers the tables of TRzCalculatorColors, the popup panel and the calculator.
void RegisterRzPopupsClasses();
