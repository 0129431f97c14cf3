// The framed controls' costs: a form of 20 spin edits and 10 numeric edits created from its
// description and painted once, and one up-arrow step of a focused spin edit, through its
// OnChange, to the repainted control.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchSupport.h"
#include "RzSpnEdt.h"

namespace {

// Ten rows of two spin edits and a read-only numeric edit.
String ThirtyEdits() {
  std::string d =
      "object BenchForm: TForm\n  Left = 0\n  Top = 0\n  BorderStyle = bsSingle\n"
      "  ClientWidth = 330\n  ClientHeight = 310\n  Position = poDesigned\n"
      "  Color = clBtnFace\n";
  for (int i = 0; i < 10; ++i) {
    const std::string n = std::to_string(i), top = std::to_string(8 + i * 30);
    for (int k = 0; k < 2; ++k) {
      d += "  object Spin" + n + "_" + std::to_string(k) +
           ": TRzSpinEdit\n    Left = " + std::to_string(8 + k * 100) + "\n    Top = " + top +
           "\n    Width = 73\n    Height = 21\n    Decimals = 1\n    Increment = 0.5\n"
           "    IntegersOnly = False\n    Max = 100.0\n    Min = 0.0\n    Value = 10.0\n"
           "    TabOrder = " +
           std::to_string(i * 3 + k) + "\n  end\n";
    }
    d += "  object Number" + n + ": TRzNumericEdit\n    Left = 208\n    Top = " + top +
         "\n    Width = 89\n    Height = 21\n    Color = clInfoBk\n    ReadOnly = True\n"
         "    Value = 1234.0\n    TabOrder = " +
         std::to_string(i * 3 + 2) + "\n  end\n";
  }
  d += "end\n";
  return FromUtf8(d);
}

void Start() {
  StartInMemory();
  RegisterRzSpnEdtClasses();
}

void BM_FormOf20SpinAnd10NumericEditsCreatedAndPainted(benchmark::State& state) {
  Start();
  TimeDescribedForm(state, ThirtyEdits(), 30);
  StopInMemory();
}
BENCHMARK(BM_FormOf20SpinAnd10NumericEditsCreatedAndPainted)->Unit(benchmark::kMillisecond);

void BM_UpArrowStepOfAFocusedSpinEdit(benchmark::State& state) {
  Start();
  TForm* form = MakeDescribedForm(ThirtyEdits());
  auto* spin = static_cast<TRzSpinEdit*>(form->FindComponent(u"Spin0_0"));
  spin->SetFocus();
  long changes = 0;
  spin->OnChange = [&](TObject*) { ++changes; };
  const HWND h = spin->Handle();
  for (auto _ : state) {
    // Stays inside the range, so every step changes the text.
    if (spin->Value() >= 99) {
      state.PauseTiming();
      spin->SetValue(0);
      UpdateWindow(h);
      state.ResumeTiming();
    }
    SendMessageW(h, WM_KEYDOWN, VK_UP, 0);
    UpdateWindow(h);
    UserFlushSurfaces();
  }
  if (changes == 0) state.SkipWithError("no change seen");
  StopInMemory();
}
BENCHMARK(BM_UpArrowStepOfAFocusedSpinEdit)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
