// Forms from descriptions, modality, closing, activation, the application loop, the timer and
// the screen.
#include <cstring>
#include <set>

#include "CoreTestSupport.h"
#include "FormDescriptions.h"
#include "Streaming.h"

namespace {

// Descriptions registered at run time, each for a class of its own.
template <int N>
class TBadForm : public TForm {
 public:
  using TForm::TForm;
  String ClassName() const override { return String(u"TBadForm") + Char(u'0' + N); }
};

const char kUnknownProperty[] =
    "object BadForm1: TBadForm1\n"
    "  Caption = 'x'\n"
    "  object W: TTestWin\n"
    "    MakeWindow = True\n"
    "    Colour = clRed\n"
    "  end\n"
    "end\n";
const char kMisspeltEnum[] =
    "object BadForm2: TBadForm2\n"
    "  object W: TTestWin\n"
    "    MakeWindow = True\n"
    "    Align = alClinet\n"
    "  end\n"
    "end\n";
const char kTruncated[] =
    "object BadForm3: TBadForm3\n"
    "  object W: TTestWin\n"
    "    MakeWindow = True\n"
    "    Left = 3\n";

void RegisterBadDescriptions() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormDescription("BadForm1.form", kUnknownProperty, std::strlen(kUnknownProperty));
  RegisterFormDescription("BadForm2.form", kMisspeltEnum, std::strlen(kMisspeltEnum));
  Published<TBadForm<1>>(u"TBadForm1", u"TForm").Creatable();
  Published<TBadForm<2>>(u"TBadForm2", u"TForm").Creatable();
}

}  // namespace

TEST_F(CoreTest, FormIsBuiltFromItsDescriptionAndWritesItBack) {
  TControlsTestForm* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(Application->MainForm(), form);
  EXPECT_EQ(form->created, 1);
  ASSERT_NE(form->Edit1, nullptr);
  ASSERT_NE(form->Shape1, nullptr);
  ASSERT_NE(form->Timer1, nullptr);
  EXPECT_EQ(form->Caption(), u"Controls");
  EXPECT_EQ(form->ClientWidth(), 300);
  EXPECT_EQ(form->ClientHeight(), 200);
  EXPECT_EQ(form->BorderStyle(), bsSingle);
  EXPECT_EQ(form->Edit1->GetText(), u"first");
  EXPECT_EQ(form->Edit1->Parent(), form);
  EXPECT_EQ(form->Shape1->Parent(), form->ScrollBox1);
  // Stored tab orders are applied once the block is read.
  EXPECT_EQ(form->Edit2->TabOrder(), 0);
  EXPECT_EQ(form->Edit1->TabOrder(), 1);
  // Aligned to the bottom of the client area, and the parent's colour is not the child's.
  EXPECT_EQ(form->ScrollBox1->Top(), 100);
  EXPECT_EQ(form->ScrollBox1->Color(), clSkyBlue);
  EXPECT_EQ(form->Shape1->Color(), clSkyBlue);
  EXPECT_FALSE(form->Timer1->Enabled());
  EXPECT_EQ(form->Timer1->Interval(), 20u);
  EXPECT_FALSE(form->HandleAllocated());
  // The click handler was bound by name.
  form->Edit1->Click();
  EXPECT_EQ(form->clicks, 1);

  String text = WriteComponentText(form);
  EXPECT_NE(text.find(u"ClientWidth = 300"), String::npos);
  EXPECT_NE(text.find(u"OnClick = Edit1Click"), String::npos);
  EXPECT_NE(text.find(u"object Timer1: TTimer"), String::npos);
  EXPECT_EQ(text.find(u"Visible"), String::npos);
  // Read back into a fresh form, it writes the same text.
  auto* again = new TControlsTestForm(nullptr);
  ReadComponentText(text, u"again.form", again);
  EXPECT_EQ(WriteComponentText(again), text);
  again->BeforeDestruction();
  delete again;
}

TEST_F(CoreTest, FailedDescriptionsNameFileAndLineAndLeaveNoWindow) {
  RegisterBadDescriptions();
  struct Case {
    const char16_t* cls;
    const char16_t* file;
    int line;
  };
  for (Case c :
       {Case{u"TBadForm1", u"BadForm1.form", 5}, Case{u"TBadForm2", u"BadForm2.form", 4}}) {
    std::set<HWND> created;
    SetMessageSpy([&](const SpiedMessage& m) { created.insert(m.hwnd); });
    String name = c.cls;
    try {
      TComponent* f = FindClass(name)->Create(Application);
      auto* form = dynamic_cast<TCustomForm*>(f);
      try {
        form->AfterConstruction();
      } catch (...) {
        delete form;
        throw;
      }
      ADD_FAILURE() << "no error for " << ToUtf8(name);
    } catch (const EDescriptionError& e) {
      EXPECT_EQ(e.FileName(), c.file);
      EXPECT_LE(std::abs(e.Line() - c.line), 1) << ToUtf8(e.Message());
      EXPECT_NE(e.Message().find(c.file), String::npos);
    }
    SetMessageSpy(nullptr);
    EXPECT_FALSE(created.empty()) << "the description made no window to undo";
    for (HWND h : created) {
      if (h != Application->Handle()) {
        EXPECT_FALSE(IsWindow(h));
      }
    }
    EXPECT_EQ(Screen->FormCount(), 0);
  }
  EXPECT_EQ(Application->MainForm(), nullptr);
  // A truncated file fails while it is parsed, before anything is made.
  TForm* bare = CreateBareForm<TForm>(Application);
  try {
    ReadComponentText(FromUtf8(kTruncated), u"BadForm3.form", bare);
    ADD_FAILURE() << "no error for the truncated file";
  } catch (const EDescriptionError& e) {
    EXPECT_EQ(e.FileName(), u"BadForm3.form");
    EXPECT_GE(e.Line(), 4);
    EXPECT_EQ(bare->ControlCount(), 0);
    EXPECT_FALSE(bare->HandleAllocated());
  }
}

TEST_F(CoreTest, ShowModalIsAnsweredFromTheHookAndDisablesOtherForms) {
  TForm* main = ShownForm();
  TForm* dialog = CreateBareForm<TForm>(Application);
  bool mainEnabledInside = true;
  int hookCalls = 0;
  SetModalLoopHook([&](HWND h) {
    ++hookCalls;
    EXPECT_EQ(h, dialog->Handle());
    mainEnabledInside = IsWindowEnabled(main->Handle());
    EXPECT_TRUE(IsWindowVisible(h));
    dialog->SetModalResult(mrOk);
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(hookCalls, 1);
  EXPECT_FALSE(mainEnabledInside);
  EXPECT_TRUE(IsWindowEnabled(main->Handle()));
  EXPECT_FALSE(dialog->Visible());

  // Answered through the queue: a posted close cancels, OnCloseQuery may refuse once.
  int queries = 0;
  dialog->OnCloseQuery = [&](TObject*, bool& can) { can = ++queries > 1; };
  SetModalLoopHook([&](HWND h) {
    PostMessageW(h, WM_CLOSE, 0, 0);
    PostMessageW(h, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(queries, 2);
  EXPECT_THROW(main->ShowModal(), EInvalidOperation);  // already visible
}

TEST_F(CoreTest, CloseHidesOrFreesAndTheMainFormEndsTheApplication) {
  TForm* main = ShownForm();
  Application->SetMainForm(main);
  auto* other = CreateNewForm<TControlsTestForm>(Application);
  bool destroyed = false;
  other->destroyedFlag = &destroyed;
  int onDestroy = 0;
  other->OnDestroy = [&](TObject*) { ++onDestroy; };
  other->Show();
  EXPECT_TRUE(IsWindowVisible(other->Handle()));
  other->Close();  // caHide
  EXPECT_FALSE(other->Visible());
  EXPECT_FALSE(IsWindowVisible(other->Handle()));
  other->OnClose = [](TObject*, TCloseAction& a) { a = caFree; };
  other->Show();
  other->Close();
  EXPECT_FALSE(destroyed);  // released once the queue gets there
  Application->ProcessMessages();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(onDestroy, 1);

  EXPECT_FALSE(Application->Terminated());
  main->Close();
  Application->ProcessMessages();
  EXPECT_TRUE(Application->Terminated());
}

TEST_F(CoreTest, ActivationFocusesTheActiveControlAndFiresOnActivate) {
  auto* form = CreateNewForm<TControlsTestForm>(Application);
  int activations = 0;
  form->OnActivate = [&](TObject*) { ++activations; };
  form->SetActiveControl(form->Edit1);
  form->Show();
  Application->ProcessMessages();
  EXPECT_TRUE(form->Active());
  EXPECT_EQ(activations, 1);
  EXPECT_TRUE(form->Edit1->Focused());
  EXPECT_EQ(Screen->ActiveForm(), form);
  // Without an active control the first in tab order takes the focus.
  auto* second = CreateNewForm<TControlsTestForm>(Application);
  second->Show();
  Application->ProcessMessages();
  EXPECT_TRUE(second->Edit2->Focused());
  EXPECT_EQ(Screen->ActiveForm(), second);
  EXPECT_FALSE(form->Active());
}

TEST_F(CoreTest, ExceptionsInHandlersReachTheApplicationAndTheLoopGoesOn) {
  TForm* form = ShownForm();
  auto* button = new TTestWin(form);
  button->SetParent(form);
  button->SetBounds(10, 10, 40, 20);
  int clicks = 0;
  button->OnClick = [&](TObject*) {
    if (++clicks == 1) throw EConvertError(u"'abc' is not a valid integer value");
  };
  std::vector<String> reported;
  TObject* reportedSender = nullptr;
  Application->OnException = [&](TObject* sender, const Exception& e) {
    reported.push_back(e.Message());
    reportedSender = sender;
  };
  ClickAt(button->Handle(), 5, 5);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0], u"'abc' is not a valid integer value");
  EXPECT_EQ(reportedSender, button);
  ClickAt(button->Handle(), 5, 5);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(reported.size(), 1u);

  // Without a handler the message box shows the text, titled by the application.
  Application->OnException = nullptr;
  Application->SetTitle(u"Quillmark");
  String text, caption;
  UINT flags = 0;
  TApplication::SetMessageBoxHandler([&](HWND, const String& t, const String& c, UINT f) {
    text = t;
    caption = c;
    flags = f;
    return 1;
  });
  button->OnClick = [](TObject*) { throw Exception(u"Disk full"); };
  ClickAt(button->Handle(), 5, 5);
  EXPECT_EQ(text, u"Disk full.");
  EXPECT_EQ(caption, u"Quillmark");
  EXPECT_EQ(flags & MB_ICONERROR, MB_ICONERROR);
}

TEST_F(CoreTest, TimerFiresUnderTheLoopAndRearmsOnChange) {
  auto* timer = new TTimer(Application);
  EXPECT_TRUE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), 1000u);
  EXPECT_FALSE(timer->Armed());  // no handler, no timer
  int fired = 0;
  timer->SetInterval(10);
  timer->SetOnTimer([&](TObject*) { ++fired; });
  EXPECT_TRUE(timer->Armed());
  EXPECT_TRUE(RunUntil([&] { return fired >= 3; }));
  timer->SetEnabled(false);
  EXPECT_FALSE(timer->Armed());
  int before = fired;
  RunUntil([] { return false; }, 60);
  EXPECT_EQ(fired, before);
  timer->SetEnabled(true);
  EXPECT_TRUE(RunUntil([&] { return fired > before; }));
  timer->SetInterval(0);
  EXPECT_FALSE(timer->Armed());
}

TEST_F(CoreTest, ScreenKnowsMonitorsWorkAreaAndCentresForms) {
  ASSERT_GE(Screen->MonitorCount(), 1);
  TMonitor* m = Screen->MonitorFromPoint(Point(10, 10), mdNearest);
  ASSERT_NE(m, nullptr);
  EXPECT_TRUE(m->Primary());
  TRect work = m->WorkareaRect();
  EXPECT_GT(RectWidth(work), 0);
  EXPECT_EQ(Screen->MonitorFromPoint(Point(-5000, -5000), mdNull), nullptr);
  EXPECT_EQ(Screen->MonitorFromPoint(Point(-5000, -5000), mdNearest), m);
  TRect d = Screen->DesktopRect();

  TForm* form = CreateBareForm<TForm>(Application);
  form->SetBounds(0, 0, 200, 100);
  form->SetPosition(poDesktopCenter);
  form->Show();
  EXPECT_EQ(form->Left(), RectWidth(d) / 2 + d.left - 100);
  EXPECT_EQ(form->Top(), RectHeight(d) / 2 + d.top - 50);
  // Maximised fills the work area of its monitor.
  form->SetWindowState(wsMaximized);
  RECT r;
  GetWindowRect(form->Handle(), &r);
  RECT inner = r;
  TRect client = form->ClientRect();
  EXPECT_GE(RectWidth(inner), RectWidth(work));
  EXPECT_LE(RectWidth(client), RectWidth(work));
  EXPECT_EQ(form->WindowState(), wsMaximized);
}

namespace {
// A borderless top-level window owned by a form, as a drop-down uses one.
class TTestPopup : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  String ClassName() const override { return u"TTestPopup"; }
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_MOUSEACTIVATE) {
      m.Result = MA_NOACTIVATE;
      return;
    }
    TCustomControl::Dispatch(m);
  }

 protected:
  void CreateParams(TCreateParams& p) override {
    TCustomControl::CreateParams(p);
    p.Style = WS_POPUP;
  }
};
}  // namespace

TEST_F(CoreTest, PopupWindowsOwnedByAFormUseScreenCoordinates) {
  TForm* form = ShownForm();
  auto* box = new TTestWin(form);
  box->SetParent(form);
  auto* item = new TTestWin(form);
  item->SetParent(box);
  item->SetText(u"item");
  Application->ProcessMessages();
  HWND active = GetActiveWindow();
  ASSERT_EQ(active, form->Handle());

  auto* popup = new TTestPopup(form);
  popup->SetVisible(false);
  popup->SetParent(form);
  item->SetParent(popup);
  popup->SetBounds(300, 250, 120, 80);
  SetWindowPos(popup->Handle(), HWND_TOP, 300, 250, 120, 80, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  popup->SetVisible(true);
  EXPECT_EQ(GetActiveWindow(), active);
  EXPECT_EQ(GetWindow(popup->Handle(), GW_OWNER), form->Handle());
  RECT r;
  GetWindowRect(popup->Handle(), &r);
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.top, 250);
  EXPECT_EQ(popup->Left(), 300);
  EXPECT_TRUE(IsWindowVisible(item->Handle()));
  EXPECT_EQ(GetParent(item->Handle()), popup->Handle());
  EXPECT_EQ(item->GetText(), u"item");
  // Back into the form, and the popup's window goes with its parent.
  item->SetParent(box);
  HWND h = popup->Handle();
  popup->SetParent(nullptr);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_TRUE(IsWindowVisible(item->Handle()));
  EXPECT_EQ(GetParent(item->Handle()), box->Handle());
  delete popup;
}

TEST_F(CoreTest, RunShowsTheMainFormAndEndsWhenItCloses) {
  TControlsTestForm* form = nullptr;
  Application->Initialize();
  Application->SetMainFormOnTaskBar(true);
  Application->CreateForm(form);
  TForm* second = nullptr;
  Application->CreateForm(second);
  EXPECT_EQ(Application->MainForm(), form);
  int shown = 0;
  form->OnShow = [&](TObject*) {
    ++shown;
    PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
  };
  Application->Run();
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(Application->Terminated());
  // The main form is on the task bar; the others are owned by it.
  EXPECT_TRUE(GetWindowLongW(form->Handle(), GWL_EXSTYLE) & LONG(WS_EX_APPWINDOW));
  EXPECT_EQ(GetWindow(second->Handle(), GW_OWNER), form->Handle());
  form->OnShow = nullptr;
}
