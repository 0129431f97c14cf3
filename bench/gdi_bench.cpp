// The raster engine against Qt's raster painter and against plain memset / memcpy of the same
// bytes, side by side on one 1600 x 2300 32-bit surface. Prints the ratios at the end.
//
//   cmake -S . -B build-bench -G Ninja -DKORV_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   ninja -C build-bench gdi_bench && ./build-bench/bench/gdi_bench
#include <benchmark/benchmark.h>

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTransform>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "Gdi.h"
#include "GdiSurface.h"
#include "HostApp.h"

namespace {

constexpr int W = 1600, H = 2300;
constexpr int kLines = 40, kRuns = 100, kBox = 400;
const char16_t kText[] = u"The quick brown fox jumps over the lazy dog 0123";

struct Korv {
  HBITMAP bmp = 0, srcBmp = 0;
  HDC dc = 0, src = 0;
  HFONT font = 0;
  HPEN pen1 = 0, pen5 = 0;
  HBRUSH brush = 0;
};
Korv* korv;
QImage* qimg;
QImage* qsrc;
std::vector<std::uint32_t>* raw;
std::vector<std::uint32_t>* rawSrc;
int textW = 0, textH = 0;

// ---- solid fill ----
void Fill_Korv(benchmark::State& st) {
  RECT r{0, 0, W, H};
  for (auto _ : st) {
    FillRect(korv->dc, &r, korv->brush);
    benchmark::ClobberMemory();
  }
}
void Fill_Qt(benchmark::State& st) {
  QPainter p(qimg);
  for (auto _ : st) {
    p.fillRect(QRect(0, 0, W, H), QColor(0x33, 0x66, 0x99));
    benchmark::ClobberMemory();
  }
}
void Fill_Mem(benchmark::State& st) {
  for (auto _ : st) {
    std::memset(raw->data(), 0x33, std::size_t(W) * H * 4);
    benchmark::ClobberMemory();
  }
}

// ---- horizontal lines, 1 and 5 pixels ----
void Lines_Korv(benchmark::State& st, HPEN pen) {
  SelectObject(korv->dc, pen);
  for (auto _ : st) {
    for (int i = 0; i < kLines; ++i) {
      MoveToEx(korv->dc, 0, 40 + 50 * i, nullptr);
      LineTo(korv->dc, W, 40 + 50 * i);
    }
    benchmark::ClobberMemory();
  }
}
void Lines1_Korv(benchmark::State& st) { Lines_Korv(st, korv->pen1); }
void Lines5_Korv(benchmark::State& st) { Lines_Korv(st, korv->pen5); }
void Lines_Qt(benchmark::State& st, int width) {
  QPainter p(qimg);
  QPen pen(QColor(0, 0, 0));
  pen.setWidth(width);
  pen.setCapStyle(width > 1 ? Qt::RoundCap : Qt::FlatCap);
  p.setPen(pen);
  for (auto _ : st) {
    for (int i = 0; i < kLines; ++i) p.drawLine(0, 40 + 50 * i, W, 40 + 50 * i);
    benchmark::ClobberMemory();
  }
}
void Lines1_Qt(benchmark::State& st) { Lines_Qt(st, 1); }
void Lines5_Qt(benchmark::State& st) { Lines_Qt(st, 5); }
void Lines_Mem(benchmark::State& st, int rows) {
  for (auto _ : st) {
    for (int i = 0; i < kLines; ++i)
      for (int k = 0; k < rows; ++k)
        std::memset(raw->data() + std::size_t(40 + 50 * i + k) * W, 0, std::size_t(W) * 4);
    benchmark::ClobberMemory();
  }
}
void Lines1_Mem(benchmark::State& st) { Lines_Mem(st, 1); }
void Lines5_Mem(benchmark::State& st) { Lines_Mem(st, 5); }

// ---- 400 x 400 gradients ----
void Gradient_Korv(benchmark::State& st, ULONG mode) {
  TRIVERTEX v[2];
  v[0].x = 100;
  v[0].y = 100;
  v[0].Red = 0xE300;
  v[0].Green = 0xEF00;
  v[0].Blue = 0xFF00;
  v[1].x = 100 + kBox;
  v[1].y = 100 + kBox;
  v[1].Red = 0x9900;
  v[1].Green = 0xBB00;
  v[1].Blue = 0xEA00;
  GRADIENT_RECT gr{0, 1};
  for (auto _ : st) {
    GradientFill(korv->dc, v, 2, &gr, 1, mode);
    benchmark::ClobberMemory();
  }
}
void GradientH_Korv(benchmark::State& st) { Gradient_Korv(st, GRADIENT_FILL_RECT_H); }
void GradientV_Korv(benchmark::State& st) { Gradient_Korv(st, GRADIENT_FILL_RECT_V); }
void Gradient_Qt(benchmark::State& st, bool horizontal) {
  QPainter p(qimg);
  QLinearGradient g(QPointF(100, 100),
                    horizontal ? QPointF(100 + kBox, 100) : QPointF(100, 100 + kBox));
  g.setColorAt(0, QColor(0xE3, 0xEF, 0xFF));
  g.setColorAt(1, QColor(0x99, 0xBB, 0xEA));
  for (auto _ : st) {
    p.fillRect(QRect(100, 100, kBox, kBox), g);
    benchmark::ClobberMemory();
  }
}
void GradientH_Qt(benchmark::State& st) { Gradient_Qt(st, true); }
void GradientV_Qt(benchmark::State& st) { Gradient_Qt(st, false); }
void Box_Mem(benchmark::State& st) {
  for (auto _ : st) {
    for (int y = 0; y < kBox; ++y)
      std::memset(raw->data() + std::size_t(100 + y) * W + 100, 0x55, std::size_t(kBox) * 4);
    benchmark::ClobberMemory();
  }
}
void GradientH_Mem(benchmark::State& st) { Box_Mem(st); }
void GradientV_Mem(benchmark::State& st) { Box_Mem(st); }

// ---- 400 x 400 mirrored stretch ----
void Mirror_Korv(benchmark::State& st) {
  for (auto _ : st) {
    StretchBlt(korv->dc, 600 + kBox - 1, 700, -kBox, kBox, korv->src, 0, 0, kBox, kBox, SRCCOPY);
    benchmark::ClobberMemory();
  }
}
void Mirror_Qt(benchmark::State& st) {
  QPainter p(qimg);
  p.setTransform(QTransform(-1, 0, 0, 1, 600 + kBox, 700));
  for (auto _ : st) {
    p.drawImage(0, 0, *qsrc);
    benchmark::ClobberMemory();
  }
}
void Mirror_Mem(benchmark::State& st) {
  for (auto _ : st) {
    for (int y = 0; y < kBox; ++y)
      std::memcpy(raw->data() + std::size_t(700 + y) * W + 600,
                  rawSrc->data() + std::size_t(y) * kBox, std::size_t(kBox) * 4);
    benchmark::ClobberMemory();
  }
}

// ---- 100 text runs ----
void Text_Korv(benchmark::State& st) {
  SelectObject(korv->dc, korv->font);
  SetBkMode(korv->dc, TRANSPARENT);
  int n = int(std::char_traits<char16_t>::length(kText));
  for (auto _ : st) {
    for (int i = 0; i < kRuns; ++i) TextOutW(korv->dc, 20 + (i % 3) * 500, 20 + i * 22, kText, n);
    benchmark::ClobberMemory();
  }
}
void Text_Qt(benchmark::State& st) {
  QPainter p(qimg);
  QFont f(QStringLiteral("Liberation Sans"));
  f.setPixelSize(13);
  p.setFont(f);
  p.setPen(QColor(0, 0, 0));
  QString s = QString::fromUtf16(kText);
  for (auto _ : st) {
    for (int i = 0; i < kRuns; ++i) p.drawText(20 + (i % 3) * 500, 20 + i * 22 + 12, s);
    benchmark::ClobberMemory();
  }
}
void Text_Mem(benchmark::State& st) {
  for (auto _ : st) {
    for (int i = 0; i < kRuns; ++i)
      for (int y = 0; y < textH; ++y)
        std::memset(raw->data() + std::size_t(20 + i * 22 + y) * W + 20 + (i % 3) * 500, 0,
                    std::size_t(textW) * 4);
    benchmark::ClobberMemory();
  }
}

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> times;  // name -> ns per iteration
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    // Single runs, or the median when repetitions are asked for.
    for (const Run& r : runs) {
      if (r.error_occurred) continue;
      bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
      if (r.run_type != Run::RT_Iteration && !median) continue;
      if (r.run_type == Run::RT_Iteration && r.repetitions > 1) continue;
      times[r.run_name.function_name] =
          r.GetAdjustedRealTime() * 1e9 / benchmark::GetTimeUnitMultiplier(r.time_unit);
    }
  }
};

}  // namespace

#define SIDE_BY_SIDE(name) \
  BENCHMARK(name##_Korv);  \
  BENCHMARK(name##_Qt);    \
  BENCHMARK(name##_Mem)

SIDE_BY_SIDE(Fill);
SIDE_BY_SIDE(Lines1);
SIDE_BY_SIDE(Lines5);
SIDE_BY_SIDE(GradientH);
SIDE_BY_SIDE(GradientV);
SIDE_BY_SIDE(Mirror);
SIDE_BY_SIDE(Text);

int main(int argc, char** argv) {
  HostEnsureApplication();
  korv = new Korv;
  korv->bmp = GdiCreateBitmap32(W, H);
  korv->dc = CreateCompatibleDC(0);
  SelectObject(korv->dc, korv->bmp);
  korv->srcBmp = GdiCreateBitmap32(kBox, kBox);
  korv->src = CreateCompatibleDC(0);
  SelectObject(korv->src, korv->srcBmp);
  korv->pen1 = CreatePen(PS_SOLID, 1, 0);
  korv->pen5 = CreatePen(PS_SOLID, 5, 0);
  korv->brush = CreateSolidBrush(RGB(0x33, 0x66, 0x99));
  korv->font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
  qimg = new QImage(W, H, QImage::Format_RGB32);
  qimg->fill(Qt::white);
  qsrc = new QImage(kBox, kBox, QImage::Format_RGB32);
  qsrc->fill(QColor(10, 20, 30));
  raw = new std::vector<std::uint32_t>(std::size_t(W) * H);
  rawSrc = new std::vector<std::uint32_t>(std::size_t(kBox) * kBox, 0x123456);
  {
    SelectObject(korv->dc, korv->font);
    SIZE sz;
    GetTextExtentPoint32W(korv->dc, kText, int(std::char_traits<char16_t>::length(kText)), &sz);
    textW = sz.cx;
    textH = sz.cy;
  }
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%-10s %12s %12s %12s %10s %10s\n", "work", "korv us", "qt us", "mem us",
              "korv/mem", "korv/qt");
  for (const char* name :
       {"Fill", "Lines1", "Lines5", "GradientH", "GradientV", "Mirror", "Text"}) {
    auto t = [&](const char* kind) {
      auto it = reporter.times.find(std::string(name) + "_" + kind);
      return it == reporter.times.end() ? 0.0 : it->second / 1000.0;
    };
    double k = t("Korv"), q = t("Qt"), m = t("Mem");
    std::printf("%-10s %12.1f %12.1f %12.1f %10.2f %10.2f\n", name, k, q, m, m > 0 ? k / m : 0,
                q > 0 ? k / q : 0);
  }
  benchmark::Shutdown();
  return 0;
}
