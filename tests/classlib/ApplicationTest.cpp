// The application's key routing (key preview, dialog keys, characters), the wheel and hints.
#include "CoreTestSupport.h"
#include "HostWindows.h"

TEST_F(CoreTest, KeysGoThroughPreviewHandlersAndDialogKeys) {
  TForm* form = ShownForm();
  auto* a = new TTestWin(form);
  a->SetParent(form);
  auto* b = new TTestWin(form);
  b->SetParent(form);
  b->SetTop(30);
  a->SetFocus();
  Application->ProcessMessages();
  ASSERT_TRUE(a->Focused());
  std::vector<std::string> log;
  a->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    log.push_back("a down " + std::to_string(key));
  };
  a->OnKeyPress = [&](TObject*, Char& c) { log.push_back(std::string("a press ") + char(c)); };
  PressKey('A');
  EXPECT_EQ(log, (std::vector<std::string>{"a down 65", "a press a"}));

  // The form sees keys first with KeyPreview; a cleared key never reaches the control's
  // OnKeyDown (its character was already translated, as on the platform).
  log.clear();
  form->SetKeyPreview(true);
  form->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    log.push_back("form down " + std::to_string(key));
    if (key == 'B') key = 0;
  };
  PressKey('B');
  PressKey('C');
  EXPECT_EQ(log, (std::vector<std::string>{"form down 66", "a press b", "form down 67", "a down 67",
                                           "a press c"}));

  // Enter and Escape are dialog keys: the form's children are asked in turn.
  log.clear();
  int answered = 0;
  TWndMethod old = b->WindowProc;
  b->WindowProc = [&](TMessage& m) {
    if (m.Msg == CM_DIALOGKEY && m.WParam == VK_RETURN) {
      ++answered;
      m.Result = 1;
      return;
    }
    old(m);
  };
  PressKey(VK_RETURN);
  EXPECT_EQ(answered, 1);
  // A control that wants the key keeps it from the form.
  a->WindowProc = [&, aOld = a->WindowProc](TMessage& m) {
    if (m.Msg == CM_WANTSPECIALKEY) {
      m.Result = 1;
      return;
    }
    aOld(m);
  };
  PressKey(VK_RETURN);
  EXPECT_EQ(answered, 1);
  PressKey(VK_TAB);  // wanted too: the focus stays
  EXPECT_TRUE(a->Focused());
  b->WindowProc = old;
}

TEST_F(CoreTest, WheelStepsReachTheControlThenItsParent) {
  TForm* form = ShownForm();
  auto* a = new TTestWin(form);
  a->SetParent(form);
  int ups = 0, downs = 0, parentWheel = 0;
  a->OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool& handled) {
    ++ups;
    handled = true;
  };
  a->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool&) { ++downs; };
  form->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
    parentWheel += delta;
    handled = true;
  };
  SendMessageW(a->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 2 * WHEEL_DELTA), MAKELPARAM(5, 5));
  EXPECT_EQ(ups, 2);
  EXPECT_EQ(parentWheel, 0);
  // Not handled by the control: its parent gets the wheel.
  SendMessageW(a->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(5, 5));
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(parentWheel, -WHEEL_DELTA);
}

TEST_F(CoreTest, HintShowsAfterThePauseWithoutTakingActivation) {
  TForm* form = ShownForm();
  auto* a = new TTestWin(form);
  a->SetParent(form);
  a->SetBounds(10, 10, 50, 20);
  a->SetHint(u"Zoom In|Makes the page larger");
  a->SetShowHint(true);
  Application->SetHintPause(10);
  HWND active = GetActiveWindow();
  POINT p = {20, 15};
  ClientToScreen(form->Handle(), &p);
  SetCursorPos(p.x, p.y);
  SendMessageW(a->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 5));
  EXPECT_EQ(Application->HintControl(), a);
  EXPECT_EQ(Application->Hint(), u"Makes the page larger");
  ASSERT_TRUE(RunUntil([] {
    THintWindow* h = Application->HintWindow();
    return h && h->HandleAllocated() && IsWindowVisible(h->Handle());
  }));
  THintWindow* h = Application->HintWindow();
  EXPECT_EQ(h->GetText(), u"Zoom In");
  EXPECT_TRUE(GetWindowLongW(h->Handle(), GWL_EXSTYLE) & LONG(WS_EX_NOACTIVATE));
  EXPECT_EQ(GetActiveWindow(), active);
  // A key press puts it away.
  PressKey('X');
  EXPECT_FALSE(h->HandleAllocated());
}

namespace {

bool HintShown() {
  THintWindow* h = Application->HintWindow();
  return h && h->HandleAllocated() && IsWindowVisible(h->Handle());
}

// A control with a hint under the cursor, on a shown form, its hint pause 10 ms.
TTestWin* HintedControl(TForm* form) {
  auto* a = new TTestWin(form);
  a->SetParent(form);
  a->SetBounds(10, 10, 50, 20);
  a->SetHint(u"Print");
  a->SetShowHint(true);
  Application->SetHintPause(10);
  POINT p = {20, 15};
  ClientToScreen(form->Handle(), &p);
  SetCursorPos(p.x, p.y);
  return a;
}

}  // namespace

// A press anywhere in the application puts the hint away, also one still waiting for its
// pause, and moving on the same control does not bring it back.
TEST_F(CoreTest, ButtonPressPutsTheHintAwayForGood) {
  TForm* form = ShownForm();
  TTestWin* a = HintedControl(form);
  StopClockForTesting(true);
  auto after = [](DWORD ms) {
    AdvanceClockForTesting(ms);
    Application->ProcessMessages();
    return HintShown();
  };
  for (bool shownFirst : {true, false}) {
    SCOPED_TRACE(shownFirst ? "shown" : "waiting");
    SendMessageW(a->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 5));
    ASSERT_EQ(Application->HintControl(), a);
    if (shownFirst) ASSERT_TRUE(after(10));
    PostMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 150));
    Application->ProcessMessages();
    EXPECT_FALSE(HintShown());
    SendMessageW(a->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(11, 5));
    EXPECT_FALSE(after(1000));
    // Leaving the control and coming back shows it again.
    SendMessageW(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(150, 150));
    SendMessageW(a->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 5));
    EXPECT_TRUE(after(10));
    Application->CancelHint();
  }
}

// The hint of a control under the cursor never stays over a modal window that opens, nor
// comes up over it when its pause ends while the window is open.
TEST_F(CoreTest, ModalWindowPutsTheHintAway) {
  TForm* form = ShownForm();
  TTestWin* a = HintedControl(form);
  for (bool shownFirst : {true, false}) {
    SCOPED_TRACE(shownFirst ? "shown" : "waiting");
    SendMessageW(a->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 5));
    if (shownFirst) ASSERT_TRUE(RunUntil(HintShown));
    TForm* dialog = CreateBareForm<TForm>(Application);
    dialog->SetBounds(300, 300, 200, 100);
    bool hintWhileModal = false;
    int ticks = 0;
    auto* timer = new TTimer(dialog);
    timer->SetInterval(10);
    timer->SetOnTimer([&](TObject*) {
      hintWhileModal = hintWhileModal || HintShown();
      if (++ticks == 10) dialog->SetModalResult(mrOk);
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_FALSE(hintWhileModal);
    delete dialog;
    Application->CancelHint();
  }
}

TEST_F(CoreTest, ReleasedComponentsGoWithTheNextLoopUnlessTheirOwnerFreesThemFirst) {
  struct Tracked : TComponent {
    Tracked(TComponent* owner, int& gone) : TComponent(owner), gone_(gone) {}
    ~Tracked() override { ++gone_; }
    int& gone_;
  };
  int gone = 0;
  auto* owner = new TComponent(nullptr);
  auto* early = new Tracked(owner, gone);
  ReleaseComponent(early);
  ReleaseComponent(early);  // asked twice, freed once
  EXPECT_EQ(gone, 0);
  Application->ProcessMessages();
  EXPECT_EQ(gone, 1);
  EXPECT_EQ(owner->ComponentCount(), 0);

  // The owner goes first: the queued release finds nothing left to free.
  auto* late = new Tracked(owner, gone);
  ReleaseComponent(late);
  delete owner;
  EXPECT_EQ(gone, 2);
  Application->ProcessMessages();
  EXPECT_EQ(gone, 2);
}

// The program's own minimise goes through the window manager, as the user's does, and restore
// gives the main form back as it was.
TEST_F(CoreTest, MinimiseAndRestoreOfTheApplicationGoThroughTheWindowManager) {
  TForm* main = ShownForm();
  Application->SetMainForm(main);
  main->SetWindowState(wsMaximized);
  std::vector<std::string> events;
  Application->OnMinimize = [&](TObject*) { events.push_back("minimize"); };
  Application->OnRestore = [&](TObject*) { events.push_back("restore"); };
  Application->Minimize();
  HostSurfaceInfo info;
  ASSERT_TRUE(HostSurfaceInfoForTesting(main->Handle(), &info));
  EXPECT_TRUE(info.minimized);
  EXPECT_TRUE(HostSurfaceVisibleForTesting(main->Handle()));  // on the task bar, not withdrawn
  EXPECT_EQ(main->WindowState(), wsMinimized);
  Application->Minimize();  // already there: nothing more
  Application->Restore();
  ASSERT_TRUE(HostSurfaceInfoForTesting(main->Handle(), &info));
  EXPECT_FALSE(info.minimized);
  EXPECT_TRUE(info.maximized);
  EXPECT_EQ(main->WindowState(), wsMaximized);
  Application->Restore();
  EXPECT_EQ(events, (std::vector<std::string>{"minimize", "restore"}));
}
