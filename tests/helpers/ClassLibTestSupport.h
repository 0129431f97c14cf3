#pragma once
// Test helpers for the class library and the layers above it: a class-library canvas drawing
// into a pixel picture, and a printer driver of known figures that keeps what it is handed.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "GdiRecording.h"
#include "Graphics.h"
#include "PixelPicture.h"
#include "Printers.h"

// A PixelCanvas with a TCanvas attached to its DC, for painters that take a TCanvas:
//
//   CanvasPicture pic(10, 10, clFuchsia);
//   PaintDropDownArrow(pic.Canvas(), Rect(0, 0, 10, 10), alClassic, true);
//   EXPECT_TRUE(LooksLike(pic, SystemLegend(clFuchsia), {...}));
class CanvasPicture : public PixelCanvas {
 public:
  CanvasPicture(int width, int height, TColor fill = 0xFFFFFF);
  ~CanvasPicture() override;
  TCanvas* Canvas() { return &canvas_; }

 private:
  TCanvas canvas_;
};

// Runs painter with canvas (a control's) drawing into target, then detaches it again.
template <class Painter>
void PaintInto(TCanvas* canvas, const PixelCanvas& target, Painter painter) {
  canvas->SetHandle(target.dc());
  painter();
  canvas->SetHandle(0);
}

struct SubmittedJob {
  String printer;
  GdiRecording recording;
  int copies = 0;
  String title;
};

// What a FakePrinterDriver was handed and how it behaves; the test keeps it after handing the
// driver over to SetPrinterDriverForTesting.
struct FakePrinterState {
  std::vector<SubmittedJob> jobs;
  // Printers() raises EPrinter("the print server is down").
  bool down = false;
  // Every job is refused with "The queue refused the job", as a stopped queue does.
  bool refuseAll = false;
  // Jobs for these printers are refused with "The printer "<name>" refused the job".
  std::vector<String> refusing;
};

class FakePrinterDriver : public TPrinterDriver {
 public:
  explicit FakePrinterDriver(
      std::vector<TPrinterDevice> printers,
      std::shared_ptr<FakePrinterState> state = std::make_shared<FakePrinterState>())
      : printers_(std::move(printers)), state_(std::move(state)) {}
  std::vector<TPrinterDevice> Printers() override;
  void Submit(const String& printer, const GdiRecording& job, int copies,
              const String& title) override;
  const std::shared_ptr<FakePrinterState>& state() const { return state_; }

 private:
  std::vector<TPrinterDevice> printers_;
  std::shared_ptr<FakePrinterState> state_;
};

// A print server that answers only when released: every Printers() of a HeldPrinterDriver
// waits for Release() (at most 20 s, so a test that forgets still ends).
class PrintServerGate {
 public:
  void Release();
  // Blocks until released or the 20 s are over; true when released.
  bool Wait();

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool open_ = false;
};

// A FakePrinterDriver behind a print server that may keep it waiting: the printer object asks
// it on a thread of its own. Release the gate before the test ends.
class HeldPrinterDriver : public FakePrinterDriver {
 public:
  HeldPrinterDriver(std::vector<TPrinterDevice> printers, std::shared_ptr<PrintServerGate> gate,
                    std::shared_ptr<FakePrinterState> state = std::make_shared<FakePrinterState>())
      : FakePrinterDriver(std::move(printers), std::move(state)), gate_(std::move(gate)) {}
  std::vector<TPrinterDevice> Printers() override;
  bool MayWait() const override { return true; }

 private:
  std::shared_ptr<PrintServerGate> gate_;
};

// A printer with square pixels and a printable area of width x height pixels (portrait), set in
// a paper a quarter inch larger on every side.
TPrinterDevice FakePrinter(const String& name, int dpi, int width, int height, bool isDefault);
