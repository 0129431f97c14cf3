#pragma once
// The common controls the class library wraps: the up-down control.
#include <cstdint>
#include <functional>

#include "Controls.h"

// The up-down's numbers are 16 bits wide, as the platform's control keeps them.
using SmallInt = std::int16_t;

enum TUDAlignButton : std::uint8_t { udLeft, udRight };
enum TUDOrientation : std::uint8_t { udHorizontal, udVertical };
enum TUDBtnType : std::uint8_t { btNext, btPrev };
enum TUpDownDirection : std::uint8_t { updNone, updUp, updDown };

using TUDClickEvent = std::function<void(TObject* sender, TUDBtnType button)>;
using TUDChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;
using TUDChangingEventEx = std::function<void(TObject* sender, bool& allowChange, SmallInt newValue,
                                              TUpDownDirection direction)>;

// Two arrows over the "msctls_updown32" window class that step Position between Min and Max.
// With an Associate (a windowed control beside it), the up-down sits against the associate's
// edge (right, or left with udLeft) at its height, and the associate's text shows Position.
// Pressing the arrow that points up (or right) moves Position towards Max, the other towards
// Min, whichever of the two is larger.
class TCustomUpDown : public TWinControl {
 public:
  explicit TCustomUpDown(TComponent* owner);
  ~TCustomUpDown() override;
  String ClassName() const override;
  void Dispatch(TMessage& message) override;

  // Not owned; cleared when it is freed.
  TWinControl* Associate() const { return associate_; }
  void SetAssociate(TWinControl* value);
  TUDAlignButton AlignButton() const { return alignButton_; }
  void SetAlignButton(TUDAlignButton value);
  TUDOrientation Orientation() const { return orientation_; }
  void SetOrientation(TUDOrientation value);
  SmallInt Min() const { return min_; }
  void SetMin(SmallInt value);
  SmallInt Max() const { return max_; }
  void SetMax(SmallInt value);
  int Increment() const { return increment_; }
  void SetIncrement(int value);
  // Read from the window while it exists (the user may have stepped it).
  SmallInt Position();
  void SetPosition(SmallInt value);
  bool Wrap() const { return wrap_; }
  void SetWrap(bool value);
  // Up and Down (Left and Right) in the associate step the position too.
  bool ArrowKeys() const { return arrowKeys_; }
  void SetArrowKeys(bool value);
  // Group the associate's digits with the locale's thousands separator.
  bool Thousands() const { return thousands_; }
  void SetThousands(bool value);

  // OnClick here tells which arrow was pressed; the plain click stays reachable.
  using TWinControl::Click;
  TUDClickEvent OnClick;
  TUDChangingEvent OnChanging;
  TUDChangingEventEx OnChangingEx;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;
  // OnChanging then OnChangingEx; false refuses the step.
  virtual bool CanChange();
  virtual bool DoCanChange(SmallInt newValue, SmallInt delta);
  virtual void Click(TUDBtnType button);

 private:
  void PlaceBesideAssociate();
  void PushRange();
  void ScrollNotify(TMessage& message);
  void DeltaPos(TMessage& message);

  TWinControl* associate_ = nullptr;
  TUDAlignButton alignButton_ = udRight;
  TUDOrientation orientation_ = udVertical;
  SmallInt min_ = 0;
  SmallInt max_ = 100;
  int increment_ = 1;
  SmallInt position_ = 0;
  bool wrap_ = false;
  bool arrowKeys_ = true;
  bool thousands_ = true;
  // The arrow of the step the window proposed last: true for the one pointing up (right).
  bool lastStepUp_ = true;
};

class TUpDown : public TCustomUpDown {
 public:
  explicit TUpDown(TComponent* owner);
  String ClassName() const override;
};

const TTypeInfo* TypeInfoTUDAlignButton();
const TTypeInfo* TypeInfoTUDOrientation();
const TTypeInfo* TypeInfoTUDClickEvent();
const TTypeInfo* TypeInfoTUDChangingEvent();
const TTypeInfo* TypeInfoTUDChangingEventEx();

// Registers the table of TCustomUpDown and TUpDown.
void RegisterComCtrlsClasses();
