// Framed panels and the calculator: a 1050 x 600 panel with a gradient fill and borders
// repainted, and a numeric edit's calculator dropped down to its first painted frame.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

#include "Forms.h"
#include "HostWindows.h"
#include "RzEdit.h"
#include "RzPanel.h"
#include "RzPopups.h"
#include "UserDriver.h"

namespace {

using Clock = std::chrono::steady_clock;

void StartOffscreen() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  UserSetHostDriver(HostQtWindowDriver());
  RegisterClassLibrary();
}

void Stop() {
  SetModalLoopHook(ModalLoopHook());
  ResetApplicationForTesting();
  UserResetForTesting();
}

void BM_GradientPanelRepaint(benchmark::State& state) {
  StartOffscreen();
  TForm* form = CreateBareForm<TForm>(Application);
  form->SetPosition(poDesigned);
  form->SetBounds(0, 0, 1070, 640);
  auto* panel = new TRzCustomPanel(form);
  panel->SetParent(form);
  panel->SetBounds(0, 0, 1050, 600);
  panel->SetBorderOuter(fsGroove);
  panel->SetBorderInner(fsFlat);
  panel->SetBorderWidth(2);
  panel->SetVisualStyle(vsGradient);
  panel->SetGradientColorStyle(gcsCustom);
  panel->SetGradientColorStart(clWhite);
  panel->SetGradientColorStop(0x00C08040);
  panel->SetGradientDirection(static_cast<TGradientDirection>(state.range(0)));
  panel->SetCaption(u"Staves");
  long paints = 0;
  panel->OnPaint = [&paints](TObject*) { ++paints; };
  form->Show();
  UpdateWindow(form->Handle());
  paints = 0;
  for (auto _ : state) {
    panel->Invalidate();
    UpdateWindow(panel->Handle());
    UserFlushSurfaces();
  }
  if (paints != long(state.iterations())) state.SkipWithError("the panel was not repainted");
  Stop();
}
// Straight bands through the platform's fill, and the box gradient through the scratch bitmap.
BENCHMARK(BM_GradientPanelRepaint)
    ->Arg(gdHorizontalEnd)
    ->Arg(gdVerticalCenter)
    ->Arg(gdSquareBox)
    ->Unit(benchmark::kMillisecond);

void BM_CalculatorDropDownToFirstFrame(benchmark::State& state) {
  StartOffscreen();
  TForm* form = CreateBareForm<TForm>(Application);
  form->SetPosition(poDesigned);
  form->SetBounds(100, 100, 300, 200);
  auto* edit = new TRzNumericEdit(form);
  edit->SetParent(form);
  edit->SetBounds(20, 20, 120, 21);
  edit->SetCalculatorVisible(true);
  form->Show();
  edit->SetFocus();
  Clock::time_point start;
  double seconds = 0;
  long painted = 0;
  SetModalLoopHook([&](HWND popup) {
    auto* calculator = static_cast<TWinControl*>(FindControl(popup)->Controls(0));
    RedrawWindow(popup, nullptr, 0, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT dirty;
    if (calculator->HandleAllocated() && !GetUpdateRect(calculator->Handle(), &dirty, FALSE))
      ++painted;
    UserFlushSurfaces();
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  for (auto _ : state) {
    start = Clock::now();
    edit->Perform(WM_KEYDOWN, VK_F4, 0);
    state.SetIterationTime(seconds);
  }
  if (painted != long(state.iterations())) state.SkipWithError("the calculator was not painted");
  Stop();
}
BENCHMARK(BM_CalculatorDropDownToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
