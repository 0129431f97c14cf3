// The preview engine on a document of 3 pages of 40 staff lines: begindoc with its printer
// measurement, a zoom change and a page change at 200% (each clears the bitmap and replays the
// page), and printing every page to the PDF printer through the print dialog. Targets: zoom and
// page changes under 5 ms, printing under 50 ms, a vector PDF under 20 KB.
//
//   cmake -S . -B build-bench -G Ninja -DKORV_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   ninja -C build-bench preview_bench && ./build-bench/bench/preview_bench
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchSupport.h"
#include "Files.h"
#include "KorPrev.h"

namespace {

std::string gDir;
// The temporary folder goes at exit, also when the library exits early (--help).
struct RemoveDirAtExit {
  ~RemoveDirAtExit() {
    std::error_code ignored;
    if (!gDir.empty()) std::filesystem::remove_all(gDir, ignored);
  }
} gRemoveDir;

// 8 staves of 5 lines, 0.2 mm (11 twips) apart by 2 mm, on each of 3 pages.
void DrawDocument() {
  TPreviewForm* f = PreviewForm;
  f->begindoc(oPortrait, true);
  for (int page = 1; page <= 3; ++page) {
    if (page > 1) f->NewPage();
    f->LineWidth(20);
    for (int staff = 0; staff < 8; ++staff)
      for (int line = 0; line < 5; ++line) {
        const int y = 1000 + staff * 1800 + line * 113;
        f->MoveTo(0, y);
        f->LineTo(f->PageWidth(), y);
      }
  }
  f->enddoc();
}

void BM_BeginDoc(benchmark::State& state) {
  for (auto _ : state) PreviewForm->begindoc(oPortrait, true);
  DrawDocument();
}
BENCHMARK(BM_BeginDoc)->Unit(benchmark::kMillisecond);

void BM_ZoomChangeAt200(benchmark::State& state) {
  DrawDocument();
  PreviewForm->SetZoom(u"200%");
  for (auto _ : state) PreviewForm->SetZoom(u"200%");
}
BENCHMARK(BM_ZoomChangeAt200)->Unit(benchmark::kMillisecond);

void BM_PageChangeAt200(benchmark::State& state) {
  DrawDocument();
  PreviewForm->SetZoom(u"200%");
  int page = 1;
  for (auto _ : state) {
    page = page == 1 ? 2 : 1;
    PreviewForm->ShowPage(page);
  }
}
BENCHMARK(BM_PageChangeAt200)->Unit(benchmark::kMillisecond);

void BM_PrintAllPagesToPdf(benchmark::State& state) {
  DrawDocument();
  const std::string file = gDir + "/staves.pdf";
  TimePrintingToPdf(state, PreviewForm->PrintDialog, file,
                    [] { PreviewForm->SBPrintClick(nullptr); });
  struct stat st {};
  stat(file.c_str(), &st);
  state.counters["pdf_bytes"] = static_cast<double>(st.st_size);
  std::string cmd = "pdfimages -list '" + file + "' 2>/dev/null | tail -n +3 | wc -l";
  if (FILE* p = popen(cmd.c_str(), "r")) {
    int images = -1;
    if (fscanf(p, "%d", &images) == 1) state.counters["pdf_images"] = images;
    pclose(p);
  }
}
BENCHMARK(BM_PrintAllPagesToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  gDir = SandboxedHome("preview-bench");
  if (gDir.empty()) return 1;
  UserSetHostDriver(nullptr);
  CreatePreviewApplication();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  ResetPreviewForTesting();
  return 0;
}
