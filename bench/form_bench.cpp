// The class library's costs: a form of 30 standard controls created from its description and
// painted once, a full repaint of a 1050 x 600 form, and 100000 messages posted and dispatched
// through the library's dispatch (window procedure, WindowProc, Dispatch).
#include <benchmark/benchmark.h>

#include <string>

#include "BenchSupport.h"

namespace {

// Ten rows of a label, an edit and, alternately, a combo box or a button.
String ThirtyControls(int width, int height) {
  std::string d = "object BenchForm: TForm\n  Left = 0\n  Top = 0\n  BorderStyle = bsSingle\n";
  d += "  ClientWidth = " + std::to_string(width) + "\n  ClientHeight = " + std::to_string(height) +
       "\n  Position = poDesigned\n  Color = clBtnFace\n";
  for (int i = 0; i < 10; ++i) {
    std::string n = std::to_string(i);
    std::string top = std::to_string(8 + i * 30);
    d += "  object Label" + n + ": TLabel\n    Left = 8\n    Top = " + top +
         "\n    Caption = 'Setting " + n + " (mm)'\n  end\n";
    d += "  object Edit" + n + ": TEdit\n    Left = 120\n    Top = " + top +
         "\n    Width = 90\n    Height = 21\n    Text = '" + n +
         "'\n    TabOrder = " + std::to_string(i * 2) + "\n  end\n";
    if (i % 2 == 0) {
      d += "  object Combo" + n + ": TComboBox\n    Left = 220\n    Top = " + top +
           "\n    Width = 89\n    TabOrder = " + std::to_string(i * 2 + 1) +
           "\n    Text = 'Portrait'\n    Items.Strings = (\n      'Portrait'\n      "
           "'Landscape')\n  end\n";
    } else {
      d += "  object Button" + n + ": TButton\n    Left = 220\n    Top = " + top +
           "\n    Caption = 'Preview'\n    TabOrder = " + std::to_string(i * 2 + 1) + "\n  end\n";
    }
  }
  d += "end\n";
  return FromUtf8(d);
}

void Start() {
  StartInMemory();
  RegisterClassLibrary();
  RegisterStdCtrlsClasses();
}

void BM_FormOf30ControlsCreatedAndPainted(benchmark::State& state) {
  Start();
  TimeDescribedForm(state, ThirtyControls(340, 310), 30);
  StopInMemory();
}
BENCHMARK(BM_FormOf30ControlsCreatedAndPainted)->Unit(benchmark::kMillisecond);

void BM_FullRepaintOf1050x600Form(benchmark::State& state) {
  Start();
  TForm* form = MakeDescribedForm(ThirtyControls(1050, 600));
  HWND h = form->Handle();
  for (auto _ : state) {
    RedrawWindow(h, nullptr, 0,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    UserFlushSurfaces();
  }
  StopInMemory();
}
BENCHMARK(BM_FullRepaintOf1050x600Form)->Unit(benchmark::kMicrosecond);

class TCountingForm : public TForm {
 public:
  using TForm::TForm;
  void Dispatch(TMessage& message) override {
    if (message.Msg == WM_USER + 1) {
      ++count;
      return;
    }
    TForm::Dispatch(message);
  }
  long count = 0;
};

void BM_PostAndDispatch100000ThroughTheLibrary(benchmark::State& state) {
  Start();
  auto* form = CreateBareForm<TCountingForm>(Application);
  HWND h = form->Handle();
  for (auto _ : state) {
    form->count = 0;
    for (int i = 0; i < 100000; ++i) PostMessageW(h, WM_USER + 1, WPARAM(i), 0);
    MSG m;
    while (PeekMessageW(&m, 0, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    if (form->count != 100000) state.SkipWithError("messages lost");
  }
  state.SetItemsProcessed(state.iterations() * 100000);
  StopInMemory();
}
BENCHMARK(BM_PostAndDispatch100000ThroughTheLibrary)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
