#include "ClassLibTestSupport.h"

#include <algorithm>

CanvasPicture::CanvasPicture(int width, int height, TColor fill)
    : PixelCanvas(width, height, fill) {
  canvas_.SetHandle(dc());
}

// The DC goes with the base class, so the canvas lets go of it first.
CanvasPicture::~CanvasPicture() { canvas_.SetHandle(0); }

std::vector<TPrinterDevice> FakePrinterDriver::Printers() {
  if (state_->down) throw EPrinter(u"the print server is down");
  return printers_;
}

void FakePrinterDriver::Submit(const String& printer, const GdiRecording& job, int copies,
                               const String& title) {
  if (state_->refuseAll) throw EPrinter(u"The queue refused the job");
  if (std::find(state_->refusing.begin(), state_->refusing.end(), printer) !=
      state_->refusing.end())
    throw EPrinter(u"The printer \"" + printer + u"\" refused the job");
  state_->jobs.push_back(SubmittedJob{printer, job, copies, title});
}

void PrintServerGate::Release() {
  std::lock_guard<std::mutex> lock(mutex_);
  open_ = true;
  released_.notify_all();
}

bool PrintServerGate::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  return released_.wait_for(lock, std::chrono::seconds(20), [this] { return open_; });
}

std::vector<TPrinterDevice> HeldPrinterDriver::Printers() {
  if (!gate_->Wait()) throw EPrinter(u"the print server never answered");
  return FakePrinterDriver::Printers();
}

TPrinterDevice FakePrinter(const String& name, int dpi, int width, int height, bool isDefault) {
  TPrinterDevice p;
  p.name = name;
  p.isDefault = isDefault;
  p.device.dpiX = dpi;
  p.device.dpiY = dpi;
  p.device.width = width;
  p.device.height = height;
  p.device.offsetX = dpi / 4;
  p.device.offsetY = dpi / 4;
  p.device.physicalWidth = width + dpi / 2;
  p.device.physicalHeight = height + dpi / 2;
  return p;
}
