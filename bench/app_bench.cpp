// The program's own road: from the application object's creation to the main window's first
// painted frame (both windows from their descriptions, settings read, printer measured);
// "Preview" with the default settings to the painted preview at 100%; printing that page to
// PDF; and the whole quillmark process started, shown and ended. Targets: 50 ms, 20 ms, 20 ms,
// and far below the 2 to 3 s a music typesetter takes for the same blank page.
//
//   cmake -S . -B build-bench -G Ninja -DKORV_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   ninja -C build-bench app_bench quillmark && ./build-bench/bench/app_bench
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "BenchSupport.h"
#include "KorPrev.h"
#include "QuillmarkUnit.h"

extern char** environ;

namespace {

std::string gDir;
std::string gExe;

void StartProgram() {
  StartQuillmarkApplication();
  QuillmarkForm->Show();
  // Activation (settings read, printer measured) and the first paint.
  Application->ProcessMessages();
  UpdateWindow(QuillmarkForm->Handle());
}

void EndProgram() {
  ResetPreviewForTesting();
  QuillmarkForm = nullptr;
  UserResetForTesting();
}

void BM_StartToFirstFrame(benchmark::State& state) {
  for (auto _ : state) {
    StartProgram();
    state.PauseTiming();
    if (!QuillmarkForm->Activated) state.SkipWithError("the main window was not activated");
    EndProgram();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartToFirstFrame)->Unit(benchmark::kMillisecond);

void BM_PreviewDefaults(benchmark::State& state) {
  StartProgram();
  for (auto _ : state) {
    QuillmarkForm->Button1Click(QuillmarkForm->Button1);
    Application->ProcessMessages();
    UpdateWindow(PreviewForm->Handle());
  }
  state.counters["elements"] = static_cast<double>(Pages.at(0).size());
  EndProgram();
}
BENCHMARK(BM_PreviewDefaults)->Unit(benchmark::kMillisecond);

void BM_PrintDefaultsToPdf(benchmark::State& state) {
  StartProgram();
  QuillmarkForm->Button1Click(QuillmarkForm->Button1);
  const std::string file = gDir + "/staves.pdf";
  TimePrintingToPdf(state, PreviewForm->PrintDialog, file,
                    [] { PreviewForm->SBPrintClick(nullptr); });
  EndProgram();
}
BENCHMARK(BM_PrintDefaultsToPdf)->Unit(benchmark::kMillisecond);

// The real executable, headless: started, its window shown and activated, then ended as the
// desktop session ends it (the signal is watched every 100 ms, which is part of the figure).
void BM_WholeProcess(benchmark::State& state) {
  if (gExe.empty() || access(gExe.c_str(), X_OK) != 0) {
    state.SkipWithError("quillmark not built beside the benchmarks");
    return;
  }
  const std::string folder = gDir + "/Korv";
  std::system(("rm -rf '" + folder + "'").c_str());  // the in-process runs made it already
  for (auto _ : state) {
    pid_t pid = 0;
    char* argv[] = {gExe.data(), nullptr};
    if (posix_spawn(&pid, gExe.c_str(), nullptr, nullptr, argv, environ) != 0) {
      state.SkipWithError("cannot start quillmark");
      return;
    }
    // Wait for the settings folder (made by the main window's creation), then ask it to end.
    const std::string settings = folder + "/Quillmark";
    while (access(settings.c_str(), F_OK) != 0)
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("quillmark did not end cleanly");
      break;
    }
    state.PauseTiming();
    std::system(("rm -rf '" + folder + "'").c_str());
    state.ResumeTiming();
  }
}
BENCHMARK(BM_WholeProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("LC_ALL", "en_GB.UTF-8", 1);
  gDir = SandboxedHome("app-bench");
  if (gDir.empty()) return 1;
  setenv("XDG_DATA_HOME", gDir.c_str(), 1);
  std::string self = argv[0];
  gExe = self.substr(0, self.find_last_of('/') + 1) + "../quillmark";
  UserSetHostDriver(nullptr);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::system(("rm -rf '" + gDir + "'").c_str());
  return 0;
}
