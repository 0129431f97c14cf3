#pragma once
// Unit RzSpnEdt: a pair of auto-repeating arrow buttons (TRzSpinButtons) that turn their clicks
// into up/right and down/left events, stacked or side by side; and the spin edit (TRzSpinEdit),
// a framed edit holding one number that those buttons, the arrow and page keys and the wheel
// step between Min and Max.
#include <cstdint>
#include <functional>

#include "Controls.h"
#include "RzButton.h"
#include "RzEdit.h"
#include "TypInfo.h"

enum TSpinDirection : std::uint8_t { sdUpDown, sdLeftRight };
enum TSpinButtonType : std::uint8_t { sbUp, sbDown };

// The preview engine has a TOrientation of its own (portrait, landscape), so this one lives in
// the unit's name: RzSpnEdt::TOrientation. Its values stay bare (orVertical), as the two share
// none.
namespace RzSpnEdt {
enum TOrientation : std::uint8_t { orHorizontal, orVertical };
}  // namespace RzSpnEdt
using RzSpnEdt::orHorizontal;
using RzSpnEdt::orVertical;

const TTypeInfo* TypeInfoTSpinDirection();
const TTypeInfo* TypeInfoTSpinButtonType();
const TTypeInfo* TypeInfoTOrientation();

class TRzSpinButtons : public TWinControl {
 public:
  explicit TRzSpinButtons(TComponent* owner);
  ~TRzSpinButtons() override;
  String ClassName() const override;
  void Dispatch(TMessage& message) override;
  void SetBounds(int left, int top, int width, int height) override;
  // The two buttons belong to the control and are never written as children.
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

  TSpinDirection Direction() const { return FDirection; }
  virtual void SetDirection(TSpinDirection value);
  RzSpnEdt::TOrientation Orientation() const { return FOrientation; }
  // Halves the width for orVertical and doubles it for orHorizontal (not while loading).
  virtual void SetOrientation(RzSpnEdt::TOrientation value);
  // Also the two buttons'.
  void SetEnabled(bool value) override;
  void SetColor(TColor value) override;
  bool Flat() const { return FFlat; }
  virtual void SetFlat(bool value);
  WORD Delay() const { return FUpRightButton->Delay(); }
  void SetDelay(WORD value);
  WORD InitialDelay() const { return FUpRightButton->InitialDelay(); }
  void SetInitialDelay(WORD value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* value);

  // A bitmap (even an empty one) replaces the arrow; null brings the arrow back.
  virtual TBitmap* GlyphUpRight() const { return FUpRightButton->Glyph(); }
  virtual void SetGlyphUpRight(const TBitmap* value);
  virtual TBitmap* GlyphDownLeft() const { return FDownLeftButton->Glyph(); }
  virtual void SetGlyphDownLeft(const TBitmap* value);
  virtual TNumGlyphs NumGlyphsUpRight() const { return FUpRightButton->NumGlyphs(); }
  virtual void SetNumGlyphsUpRight(TNumGlyphs value) { FUpRightButton->SetNumGlyphs(value); }
  virtual TNumGlyphs NumGlyphsDownLeft() const { return FDownLeftButton->NumGlyphs(); }
  virtual void SetNumGlyphsDownLeft(TNumGlyphs value) { FDownLeftButton->SetNumGlyphs(value); }

  TRzControlButton* UpRightButton() const { return FUpRightButton; }
  TRzControlButton* DownLeftButton() const { return FDownLeftButton; }
  bool CustomUpRightGlyph() const { return FCustomUpRightGlyph; }
  bool CustomDownLeftGlyph() const { return FCustomDownLeftGlyph; }

  TNotifyEvent OnUpRightClick;
  TNotifyEvent OnDownLeftClick;

 protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  virtual TRzControlButton* CreateButton();
  virtual void ButtonClick(TObject* sender);
  virtual void ButtonMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x,
                               int y);
  virtual void GlyphChanged(TObject* sender);
  virtual void LayoutButtons(int width, int height);
  virtual void DoUpRightClick();
  virtual void DoDownLeftClick();

 private:
  void SetGlyph(TRzControlButton* button, const TBitmap* value);
  // The arrow style of a button without a bitmap of its own.
  TRzControlButtonStyle ArrowStyle(TRzControlButton* button) const;
  void RelayoutAtCurrentSize();

  TSpinDirection FDirection = sdUpDown;
  RzSpnEdt::TOrientation FOrientation = orVertical;
  TRzControlButton* FUpRightButton = nullptr;
  TRzControlButton* FDownLeftButton = nullptr;
  TWinControl* FFocusControl = nullptr;
  bool FFlat = false;
  bool FCustomUpRightGlyph = false;
  bool FCustomDownLeftGlyph = false;
};

using TSpinChangingEvent =
    std::function<void(TObject* sender, Extended newValue, bool& allowChange)>;
using TSpinButtonEvent = std::function<void(TObject* sender, TSpinButtonType button)>;

// The text is the value: reading Value parses it, writing Value formats it with Decimals
// places, so the number kept is always the one shown.
class TRzSpinEdit : public TRzCustomEdit {
 public:
  // The fixed format shows at most this many decimals.
  static constexpr BYTE MaxDecimals = 18;

  explicit TRzSpinEdit(TComponent* owner);
  ~TRzSpinEdit() override;
  String ClassName() const override;
  void Dispatch(TMessage& message) override;

  bool AllowBlank() const { return FAllowBlank; }
  void SetAllowBlank(bool value) { FAllowBlank = value; }
  Extended BlankValue() const { return FBlankValue; }
  void SetBlankValue(Extended value) { FBlankValue = value; }
  bool AllowKeyEdit() const { return FAllowKeyEdit; }
  void SetAllowKeyEdit(bool value) { FAllowKeyEdit = value; }
  virtual TBitmap* ButtonDownGlyph() const { return FButtons->GlyphDownLeft(); }
  virtual void SetButtonDownGlyph(const TBitmap* value) { FButtons->SetGlyphDownLeft(value); }
  virtual TNumGlyphs ButtonDownNumGlyphs() const { return FButtons->NumGlyphsDownLeft(); }
  virtual void SetButtonDownNumGlyphs(TNumGlyphs value) { FButtons->SetNumGlyphsDownLeft(value); }
  virtual TBitmap* ButtonUpGlyph() const { return FButtons->GlyphUpRight(); }
  virtual void SetButtonUpGlyph(const TBitmap* value) { FButtons->SetGlyphUpRight(value); }
  virtual TNumGlyphs ButtonUpNumGlyphs() const { return FButtons->NumGlyphsUpRight(); }
  virtual void SetButtonUpNumGlyphs(TNumGlyphs value) { FButtons->SetNumGlyphsUpRight(value); }
  int ButtonWidth() const { return FButtonWidth; }
  virtual void SetButtonWidth(int value);
  bool CheckRange() const { return FCheckRange; }
  virtual void SetCheckRange(bool value);
  BYTE Decimals() const { return FDecimals; }
  // Clamped to MaxDecimals.
  virtual void SetDecimals(BYTE value);
  virtual TSpinDirection Direction() const { return FButtons->Direction(); }
  virtual void SetDirection(TSpinDirection value) { FButtons->SetDirection(value); }
  Extended Increment() const { return FIncrement; }
  void SetIncrement(Extended value) { FIncrement = value; }
  bool IntegersOnly() const { return FIntegersOnly; }
  virtual void SetIntegersOnly(bool value);
  Extended Min() const { return FMin; }
  virtual void SetMin(Extended value);
  Extended Max() const { return FMax; }
  virtual void SetMax(Extended value);
  virtual RzSpnEdt::TOrientation Orientation() const { return FButtons->Orientation(); }
  virtual void SetOrientation(RzSpnEdt::TOrientation value);
  Extended PageSize() const { return FPageSize; }
  void SetPageSize(Extended value) { FPageSize = value; }
  virtual Extended Value();
  virtual void SetValue(Extended value);
  virtual std::int64_t IntValue();
  virtual void SetIntValue(std::int64_t value);
  void SetFlatButtons(bool value) override;
  void SetFrameStyle(TFrameStyle value) override;

  TRzSpinButtons* Buttons() const { return FButtons; }
  // Index 1 is the down/left button, any other the up/right one.
  virtual TRzControlButton* GetButton(int index) const;
  TRzControlButton* UpRightButton() const { return GetButton(0); }
  TRzControlButton* DownLeftButton() const { return GetButton(1); }

  // One step, with OnChanging, OnChange (when the text changes) and OnButtonClick.
  virtual void StepUp(Extended amount);
  virtual void StepDown(Extended amount);
  // The value brought into Min..Max, unless the two are equal and CheckRange is off.
  virtual Extended ClampValue(Extended value);
  virtual bool IsKeyAccepted(Char key);

  TSpinChangingEvent OnChanging;
  TSpinButtonEvent OnButtonClick;

 protected:
  void DefineProperties(TFiler* filer) override;
  void Loaded() override;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void SetHotState(bool byMouse, bool active) override;
  void GetTextArea(TRect& rect) override;
  void ReadOnlyChanged() override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  bool DoMouseWheelDown(TShiftState shift, TPoint mousePos) override;
  bool DoMouseWheelUp(TShiftState shift, TPoint mousePos) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(Char& key) override;
  void CMEnter(TMessage& message) override;
  void CMExit(TMessage& message) override;

  virtual void PositionButtons();
  virtual void UpdateTextMargins();
  virtual void ClickUp(TObject* sender);
  virtual void ClickDown(TObject* sender);
  virtual bool AllowValueChange(Extended newValue);
  virtual void NotifyButtonClick(TSpinButtonType button);

 private:
  // The text as a number; Min when it is not one.
  Extended TextValue();

  bool FAllowKeyEdit = false;
  bool FAllowBlank = false;
  Extended FBlankValue = 0;
  TRzSpinButtons* FButtons = nullptr;
  int FButtonWidth = 17;
  bool FCheckRange = false;
  BYTE FDecimals = 0;
  Extended FIncrement = 1.0;
  bool FIntegersOnly = true;
  Extended FMin = 0;
  Extended FMax = 100;
  Extended FPageSize = 10.0;
};

// Registers the tables of this unit (and of the units it stands on); runs once.
void RegisterRzSpnEdtClasses();
