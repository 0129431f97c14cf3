#pragma once
// The popup unit: the calculator's colour set (owned by every numeric edit and by the
// calculator itself).
#include <cstdint>

#include "Classes.h"
#include "Controls.h"

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

// Registers the table of TRzCalculatorColors.
void RegisterRzPopupsClasses();
