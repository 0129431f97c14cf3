#include "RzPopups.h"

#include "GraphicsTypeInfo.h"
#include "TypInfo.h"

namespace {

constexpr TColor kDefaultColors[TRzCalculatorColors::kCount] = {
    clWindowText, clBtnFace, clWindowText, clBtnFace,
    clWindowText, clBtnFace, clWindowText, clWindow};

}  // namespace

TRzCalculatorColors::TRzCalculatorColors(TControl* calculator) : FCalculator(calculator) {
  for (int i = 0; i < kCount; ++i) FColors[i] = kDefaultColors[i];
}

TRzCalculatorColors::~TRzCalculatorColors() { FCalculator = nullptr; }

String TRzCalculatorColors::ClassName() const { return u"TRzCalculatorColors"; }

void TRzCalculatorColors::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TRzCalculatorColors*>(source)) {
    for (int i = 0; i < kCount; ++i) SetColor(i, other->GetColor(i));
    return;
  }
  TPersistent::Assign(source);
}

TColor TRzCalculatorColors::GetColor(int index) const {
  if (index < 0 || index >= kCount) return clNone;
  return FColors[index];
}

void TRzCalculatorColors::SetColor(int index, TColor value) {
  if (index < 0 || index >= kCount) return;
  FColors[index] = value;
  if (FCalculator) FCalculator->Invalidate();
}

void RegisterRzPopupsClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  Published<TRzCalculatorColors> table(u"TRzCalculatorColors", u"TPersistent");
  static const char16_t* const kNames[TRzCalculatorColors::kCount] = {
      u"NumberFont",  u"NumberBtns",  u"OperatorFont", u"OperatorBtns",
      u"CommandFont", u"CommandBtns", u"DisplayFont",  u"Display"};
  for (int i = 0; i < TRzCalculatorColors::kCount; ++i) {
    table.Ord(
        kNames[i], TypeInfoTColor(), [i](TRzCalculatorColors* c) { return c->GetColor(i); },
        [i](TRzCalculatorColors* c, TColor v) { c->SetColor(i, v); }, kDefaultColors[i]);
  }
}
