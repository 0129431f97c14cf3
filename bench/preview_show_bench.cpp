// "Preview" pressed to the maximised preview painted and handed to the host, on a 1920 x 1080
// screen of Qt's offscreen platform (the host's flush is part of the figure, unlike the
// in-memory benchmarks; or, with QT_QPA_PLATFORM=xcb, on an X display of that size); and the
// host's flush of one whole 1920 x 1080 surface alone.
// Target: under 10 ms for the first.
//
//   cmake -S . -B build-bench -G Ninja -DKORV_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   ninja -C build-bench preview_show_bench && ./build-bench/bench/preview_show_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "HostWindows.h"
#include "KorPrev.h"
#include "QuillmarkUnit.h"

namespace {

std::string gDir;

void BM_PreviewPressedToPaintedMaximised(benchmark::State& state) {
  UserSetHostDriver(HostQtWindowDriver());
  UserResetForTesting();
  StartQuillmarkApplication();
  QuillmarkForm->Show();
  Application->ProcessMessages();
  UpdateWindow(QuillmarkForm->Handle());
  for (auto _ : state) {
    QuillmarkForm->Button1Click(QuillmarkForm->Button1);
    Application->ProcessMessages();
    RedrawWindow(PreviewForm->Handle(), nullptr, 0, RDW_UPDATENOW | RDW_ALLCHILDREN);
    UserFlushSurfaces();
    state.PauseTiming();
    RECT r;
    GetClientRect(PreviewForm->Handle(), &r);
    state.counters["client_width"] = r.right;
    state.counters["client_height"] = r.bottom;
    if (!IsZoomed(PreviewForm->Handle())) state.SkipWithError("the preview is not maximised");
    PreviewForm->Hide();  // the next press shows it for the first time again
    Application->ProcessMessages();
    state.ResumeTiming();
  }
  ResetPreviewForTesting();
  QuillmarkForm = nullptr;
  UserResetForTesting();
  UserSetHostDriver(nullptr);
}
BENCHMARK(BM_PreviewPressedToPaintedMaximised)->Unit(benchmark::kMillisecond);

// The host's part alone: a whole 1920 x 1080 surface flushed to a shown window.
void BM_HostFlushOfAWholeScreen(benchmark::State& state) {
  HostWindowDriver* host = HostQtWindowDriver();
  HostSurfaceParams p;
  p.rect = RECT{0, 0, 1920, 1080};
  p.decorated = true;
  const HostSurfaceId id = 0x7FFF0000;
  host->CreateSurface(id, p);
  host->ShowSurface(id, true, false);
  host->ProcessEvents(0);
  std::vector<std::uint32_t> pixels(std::size_t(1920) * 1080, 0x00336699u);
  for (auto _ : state)
    host->FlushSurface(id, pixels.data(), 1920, 1080, 1920 * 4, RECT{0, 0, 1920, 1080});
  host->DestroySurface(id);
}
BENCHMARK(BM_HostFlushOfAWholeScreen)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("LC_ALL", "en_GB.UTF-8", 1);
  gDir = SandboxedHome("preview-show-bench");
  if (gDir.empty()) return 1;
  setenv("XDG_DATA_HOME", gDir.c_str(), 1);
  // One screen of 1920 x 1080 at 96 dpi.
  const std::string config = gDir + "/screen.json";
  if (FILE* f = std::fopen(config.c_str(), "w")) {
    std::fputs(
        "{\"screens\":[{\"name\":\"bench\",\"x\":0,\"y\":0,\"width\":1920,\"height\":1080,"
        "\"logicalDpi\":96,\"logicalBaseDpi\":96,\"dpr\":1}]}",
        f);
    std::fclose(f);
  }
  // Under a display: QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24" ...
  setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::system(("rm -rf '" + gDir + "'").c_str());
  return 0;
}
