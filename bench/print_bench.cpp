// Printing to the built-in PDF printer: a job of 3 pages of 40 staff lines each, recorded at
// 600 dpi and rendered as a vector PDF at EndDoc, written through a temporary file. Target:
// under 50 ms a job; the file's size is reported as a counter.
//
//   cmake -S . -B build-bench -G Ninja -DKORV_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   ninja -C build-bench print_bench && ./build-bench/bench/print_bench
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "Files.h"
#include "Printers.h"

namespace {

void DrawStaffPage(TCanvas* c, int width) {
  c->Pen()->SetWidth(8);  // 20 twips at 600 dpi
  for (int staff = 0; staff < 8; ++staff)
    for (int line = 0; line < 5; ++line) {
      int y = 300 + staff * 800 + line * 100;
      c->MoveTo(0, y);
      c->LineTo(width, y);
    }
}

void BM_PrintThreePagesToPdf(benchmark::State& state) {
  char dir[] = "/tmp/print-bench-XXXXXX";
  if (!mkdtemp(dir)) {
    state.SkipWithError("no temporary folder");
    return;
  }
  std::string file = std::string(dir) + "/staves.pdf";
  TPrinter printer;
  printer.SetPrinterIndex(0);
  printer.SetTitle(u"Staff paper");
  for (auto _ : state) {
    printer.SetFileName(FromOsPath(file));
    printer.BeginDoc();
    for (int page = 0; page < 3; ++page) {
      if (page) printer.NewPage();
      DrawStaffPage(printer.Canvas(), printer.PageWidth());
    }
    printer.EndDoc();
  }
  struct stat st {};
  stat(file.c_str(), &st);
  state.counters["pdf_bytes"] = double(st.st_size);
  std::remove(file.c_str());
  rmdir(dir);
}
BENCHMARK(BM_PrintThreePagesToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
