#include "CoreTestSupport.h"

#include <map>

#include "FormDescriptions.h"
#include "GraphicsTypeInfo.h"
#include "TypInfo.h"

TTestWin::TTestWin(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 50, 20);
  SetTabStop(true);
}

void TTestWin::WndProc(TMessage& m) {
  if (log) {
    const char* what = nullptr;
    switch (m.Msg) {
      case CM_ENTER: what = "CM_ENTER"; break;
      case CM_EXIT: what = "CM_EXIT"; break;
      case WM_SETFOCUS: what = "WM_SETFOCUS"; break;
      case WM_KILLFOCUS: what = "WM_KILLFOCUS"; break;
      case CM_COLORCHANGED: what = "CM_COLORCHANGED"; break;
      case CM_MOUSEENTER: what = m.LParam ? nullptr : "CM_MOUSEENTER"; break;
      case CM_MOUSELEAVE: what = m.LParam ? nullptr : "CM_MOUSELEAVE"; break;
    }
    if (what) log->push_back(ToUtf8(Name()) + " " + what);
  }
  TCustomControl::WndProc(m);
}

void TTestWin::Paint() {
  ++paints;
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

TTestGraphic::TTestGraphic(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 30, 30); }

void TTestGraphic::Dispatch(TMessage& m) {
  if (m.Msg == CM_MOUSEENTER && m.LParam == 0) ++enters;
  if (m.Msg == CM_MOUSELEAVE && m.LParam == 0) ++leaves;
  TGraphicControl::Dispatch(m);
}

void TTestGraphic::Paint() {
  ++paints;
  Canvas()->Brush()->SetColor(clRed);
  Canvas()->FillRect(Rect(0, 0, Width(), Height()));
}

TControlsTestForm::~TControlsTestForm() {
  if (destroyedFlag) *destroyedFlag = true;
}

void RegisterCoreTestClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassLibrary();
  Published<TTestWin>(u"TTestWin", u"TCustomControl")
      .Creatable()
      .Str(u"Caption", &TControl::Caption, &TControl::SetCaption)
      .Bool(u"TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, true)
      .Bool(u"MakeWindow", &TTestWin::MakeWindow, &TTestWin::SetMakeWindow, false);
  Published<TTestGraphic>(u"TTestGraphic", u"TGraphicControl").Creatable();
  Published<TControlsTestForm>(u"TControlsTestForm", u"TForm")
      .Creatable()
      .Field(u"Edit1", &TControlsTestForm::Edit1)
      .Field(u"Edit2", &TControlsTestForm::Edit2)
      .Field(u"ScrollBox1", &TControlsTestForm::ScrollBox1)
      .Field(u"Shape1", &TControlsTestForm::Shape1)
      .Field(u"Timer1", &TControlsTestForm::Timer1)
      .Method(u"FormCreate", &TControlsTestForm::FormCreate)
      .Method(u"Edit1Click", &TControlsTestForm::Edit1Click);
}

void CoreTest::SetUp() {
  ResetApplicationForTesting();
  UserResetForTesting();
  RegisterCoreTestClasses();
}

void CoreTest::TearDown() {
  SetModalLoopHook(nullptr);
  SetMessageSpy(nullptr);
  ResetApplicationForTesting();
  UserResetForTesting();
}

TForm* CoreTest::ShownForm(int clientWidth, int clientHeight) {
  TForm* form = CreateBareForm<TForm>(Application);
  form->SetPosition(poDesigned);
  form->SetBounds(20, 20, 200, 200);
  form->SetClientWidth(clientWidth);
  form->SetClientHeight(clientHeight);
  form->Show();
  Application->ProcessMessages();
  return form;
}

bool CoreTest::RunUntil(const std::function<bool()>& done, int ms) {
  auto saved = Application->OnIdle;
  Application->OnIdle = [](TObject*, bool& d) { d = false; };
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  bool ok = done();
  while (!ok && std::chrono::steady_clock::now() < deadline) {
    Application->HandleMessage();
    ok = done();
  }
  Application->OnIdle = saved;
  return ok;
}

void CoreTest::PressKey(int vk, bool shift) {
  BYTE state[256];
  GetKeyboardState(state);
  BYTE saved = state[VK_SHIFT];
  if (shift) {
    state[VK_SHIFT] = 0x80;
    SetKeyboardState(state);
  }
  HWND target = GetFocus();
  PostMessageW(target, WM_KEYDOWN, WPARAM(vk), 1);
  PostMessageW(target, WM_KEYUP, WPARAM(vk), LPARAM(0xC0000001u));
  // The key state is read as messages are retrieved: keep Shift down until they are handled.
  Application->ProcessMessages();
  if (shift) {
    GetKeyboardState(state);
    state[VK_SHIFT] = saved;
    SetKeyboardState(state);
  }
}

void CoreTest::ClickAt(HWND hwnd, int x, int y) {
  PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  Application->ProcessMessages();
}
