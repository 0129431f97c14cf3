#pragma once
// What the benchmark programs share: the library on surfaces in memory only, forms read from a
// description and painted, a sandboxed home, and the print dialog answered with the PDF printer.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <functional>
#include <string>

#include "Forms.h"
#include "PrintDialogs.h"
#include "Printers.h"
#include "StdCtrls.h"
#include "Streaming.h"
#include "SystemControls.h"  // the platform's window classes
#include "User.h"
#include "UserDriver.h"

// Surfaces in memory only: the library's cost, not Qt's.
inline void StartInMemory() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  UserSetHostDriver(nullptr);
  UserResetForTesting();
}

inline void StopInMemory() {
  ResetApplicationForTesting();
  UserResetForTesting();
}

// A form read from its description and shown, with every pending paint done (the children's
// included) and flushed.
inline TForm* MakeDescribedForm(const String& text) {
  TForm* form = CreateBareForm<TForm>(Application);
  ReadComponentText(text, u"BenchForm.form", form);
  form->Show();
  RedrawWindow(form->Handle(), nullptr, 0, RDW_UPDATENOW | RDW_ALLCHILDREN);
  UserFlushSurfaces();
  return form;
}

// Each iteration: the form of text read, shown and painted; deleting it is not timed.
inline void TimeDescribedForm(benchmark::State& state, const String& text, int controls) {
  for (auto _ : state) {
    TForm* form = MakeDescribedForm(text);
    if (form->ControlCount() != controls) state.SkipWithError("controls missing");
    state.PauseTiming();
    delete form;
    state.ResumeTiming();
  }
}

// A fresh temporary folder made the home and the configuration folder, so that settings, the
// documents folder and the printer list stay out of the user's own; empty when none was made.
inline std::string SandboxedHome(const char* prefix) {
  std::string dir = std::string("/tmp/") + prefix + "-XXXXXX";
  if (!mkdtemp(dir.data())) return {};
  setenv("HOME", dir.c_str(), 1);
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  return dir;
}

// Each iteration: print() answered by the print dialog with the PDF printer writing to file, and
// every other modal window (the question before replacing the file) with Yes. Removing the
// previous file is not timed.
inline void TimePrintingToPdf(benchmark::State& state, TPrintDialog* dialog,
                              const std::string& file, const std::function<void()>& print) {
  SetModalLoopHook([dialog, file](HWND w) {
    TForm* form = dialog->Form();
    if (!form || w != form->Handle()) {
      SendMessageW(w, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), LPARAM(GetDlgItem(w, IDYES)));
      return;
    }
    auto* p = static_cast<TComboBox*>(form->FindComponent(u"PrinterComboBox"));
    p->SetItemIndex(p->Items()->IndexOf(PdfPrinterName));
    static_cast<TEdit*>(form->FindComponent(u"FileEdit"))->SetText(FromUtf8(file));
    static_cast<TButton*>(form->FindComponent(u"OKButton"))->Click();
  });
  for (auto _ : state) {
    state.PauseTiming();
    std::remove(file.c_str());
    state.ResumeTiming();
    print();
  }
  SetModalLoopHook(ModalLoopHook());
}
