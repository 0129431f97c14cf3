#pragma once
// Controls, a form class with a description and a fixture for the tests of the control core,
// forms and the application.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "Controls.h"
#include "Forms.h"
#include "Timer.h"
#include "UserDriver.h"

// A windowed control that logs the control messages it sees ("Edit1 CM_ENTER").
class TTestWin : public TCustomControl {
 public:
  explicit TTestWin(TComponent* owner);
  String ClassName() const override { return u"TTestWin"; }
  void WndProc(TMessage& m) override;
  // Asks for its window while a description is read, so failed reads have windows to undo.
  bool MakeWindow() const { return false; }
  void SetMakeWindow(bool v) {
    if (v) HandleNeeded();
  }
  std::vector<std::string>* log = nullptr;
  int paints = 0;
  using TWinControl::AlignControls;
  using TWinControl::GetClientRect;

 protected:
  void Paint() override;
};

// A windowless control that counts clicks and paints.
class TTestGraphic : public TGraphicControl {
 public:
  explicit TTestGraphic(TComponent* owner);
  String ClassName() const override { return u"TTestGraphic"; }
  void Dispatch(TMessage& m) override;
  int paints = 0;
  int enters = 0;
  int leaves = 0;

 protected:
  void Paint() override;
};

class TControlsTestForm : public TForm {
 public:
  using TForm::TForm;
  ~TControlsTestForm() override;
  String ClassName() const override { return u"TControlsTestForm"; }
  TTestWin* Edit1 = nullptr;
  TTestWin* Edit2 = nullptr;
  TScrollBox* ScrollBox1 = nullptr;
  TTestGraphic* Shape1 = nullptr;
  TTimer* Timer1 = nullptr;
  int created = 0;
  int clicks = 0;
  bool* destroyedFlag = nullptr;
  void FormCreate(TObject*) { ++created; }
  void Edit1Click(TObject*) { ++clicks; }
};

void RegisterCoreTestClasses();

// Every test starts with a fresh window system, application and screen.
class CoreTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A bare form, shown, with a client area of the given size.
  TForm* ShownForm(int clientWidth = 300, int clientHeight = 200);
  // Runs the application's loop until done() or the deadline (the loop never waits).
  bool RunUntil(const std::function<bool()>& done, int ms = 2000);
  // Posts a key press to the focused window and processes it as the loop does.
  void PressKey(int vk, bool shift = false);
  // A click on a window, posted and processed.
  void ClickAt(HWND hwnd, int x, int y);
};
