// The control core: lazy windows, alignment and anchors, tab order, colours and fonts, mouse
// tracking, message order, docking and scrolling.
#include <set>

#include "CoreTestSupport.h"
#include "SystemControls.h"  // the platform window classes

namespace {

RECT WindowBoundsInParent(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  MapWindowPoints(0, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void ExpectRect(const TRect& r, int l, int t, int rr, int b) {
  EXPECT_EQ(r.left, l);
  EXPECT_EQ(r.top, t);
  EXPECT_EQ(r.right, rr);
  EXPECT_EQ(r.bottom, b);
}

}  // namespace

TEST_F(CoreTest, StateSetBeforeTheWindowExistsAppearsInIt) {
  TForm* form = CreateBareForm<TForm>(Application);
  auto* c = new TTestWin(form);
  c->SetParent(form);
  c->SetBounds(5, 6, 70, 25);
  c->SetText(u"lazy");
  c->SetEnabled(false);
  EXPECT_FALSE(c->HandleAllocated());
  // Text messages work without a window.
  EXPECT_EQ(c->Perform(WM_GETTEXTLENGTH), 4);
  c->Perform(WM_SETTEXT, 0, LPARAM(u"still lazy"));
  EXPECT_EQ(c->GetText(), u"still lazy");
  EXPECT_FALSE(c->HandleAllocated());

  form->Show();
  ASSERT_TRUE(c->HandleAllocated());
  HWND h = c->Handle();
  ExpectRect(WindowBoundsInParent(h), 5, 6, 75, 31);
  WCHAR buf[32];
  GetWindowTextW(h, buf, 32);
  EXPECT_EQ(String(buf), u"still lazy");
  EXPECT_FALSE(IsWindowEnabled(h));
  EXPECT_TRUE(IsWindowVisible(h));

  // Recreating keeps the text and the bounds in a new window.
  c->SetText(u"kept");
  c->RecreateWnd();
  EXPECT_FALSE(IsWindow(h));
  ASSERT_TRUE(c->HandleAllocated());
  EXPECT_NE(c->Handle(), h);
  GetWindowTextW(c->Handle(), buf, 32);
  EXPECT_EQ(String(buf), u"kept");
  ExpectRect(WindowBoundsInParent(c->Handle()), 5, 6, 75, 31);
  EXPECT_TRUE(IsWindowVisible(c->Handle()));
}

TEST_F(CoreTest, AlignFollowsThePlatformOrderWithExactRectangles) {
  TForm* form = CreateBareForm<TForm>(Application);
  form->SetClientWidth(300);
  form->SetClientHeight(200);
  auto make = [&](TAlign a, int w, int h, int top = 0) {
    auto* c = new TTestWin(form);
    c->SetBounds(0, top, w, h);
    c->SetAlign(a);
    c->SetParent(form);
    return c;
  };
  // Created out of the platform's order on purpose: client first, bottom before top.
  TTestWin* client = make(alClient, 10, 10);
  TTestWin* bottom = make(alBottom, 10, 30);
  TTestWin* top2 = make(alTop, 10, 15, 50);
  TTestWin* top1 = make(alTop, 10, 20, 0);
  TTestWin* left = make(alLeft, 40, 10);
  TTestWin* right = make(alRight, 50, 10);
  // Without any window the layout is already there.
  EXPECT_FALSE(form->HandleAllocated());
  auto check = [&] {
    ExpectRect(top1->BoundsRect(), 0, 0, 300, 20);
    ExpectRect(top2->BoundsRect(), 0, 20, 300, 35);
    ExpectRect(bottom->BoundsRect(), 0, 170, 300, 200);
    ExpectRect(left->BoundsRect(), 0, 35, 40, 170);
    ExpectRect(right->BoundsRect(), 250, 35, 300, 170);
    ExpectRect(client->BoundsRect(), 40, 35, 250, 170);
  };
  check();
  form->Show();
  check();
  ExpectRect(WindowBoundsInParent(client->Handle()), 40, 35, 250, 170);

  // A resize realigns through the window's WM_SIZE.
  form->SetClientWidth(400);
  ExpectRect(right->BoundsRect(), 350, 35, 400, 170);
  ExpectRect(client->BoundsRect(), 40, 35, 350, 170);
  // Hiding an aligned control gives its room to the others.
  top2->Hide();
  ExpectRect(left->BoundsRect(), 0, 20, 40, 170);
}

TEST_F(CoreTest, AnchorsKeepTheirDistancesOnResize) {
  TForm* form = CreateBareForm<TForm>(Application);
  form->SetClientWidth(300);
  form->SetClientHeight(200);
  auto* corner = new TTestWin(form);
  corner->SetParent(form);
  corner->SetBounds(250, 150, 20, 20);
  corner->SetAnchors(TAnchors{akRight, akBottom});
  auto* stretch = new TTestWin(form);
  stretch->SetParent(form);
  stretch->SetBounds(10, 10, 280, 20);
  stretch->SetAnchors(TAnchors{akLeft, akTop, akRight});
  auto* fixed = new TTestWin(form);
  fixed->SetParent(form);
  fixed->SetBounds(10, 40, 20, 20);

  form->SetClientWidth(400);
  form->SetClientHeight(250);
  ExpectRect(corner->BoundsRect(), 350, 200, 370, 220);
  ExpectRect(stretch->BoundsRect(), 10, 10, 390, 30);
  ExpectRect(fixed->BoundsRect(), 10, 40, 30, 60);
  // The same with the windows there.
  form->Show();
  form->SetClientWidth(320);
  form->SetClientHeight(210);
  ExpectRect(corner->BoundsRect(), 270, 160, 290, 180);
  ExpectRect(WindowBoundsInParent(corner->Handle()), 270, 160, 290, 180);
  ExpectRect(stretch->BoundsRect(), 10, 10, 310, 30);
}

TEST_F(CoreTest, TabAndShiftTabFollowTabOrderSkippingDisabledAndHidden) {
  TForm* form = ShownForm();
  std::vector<TTestWin*> c;
  for (int i = 0; i < 5; ++i) {
    auto* w = new TTestWin(form);
    w->SetName(String(u"W") + Char(u'0' + i));
    w->SetParent(form);
    w->SetBounds(10, 10 + 25 * i, 50, 20);
    c.push_back(w);
  }
  // Tab order: W3, W0, W4, W1, W2; W4 disabled, W1 hidden.
  c[3]->SetTabOrder(0);
  c[4]->SetTabOrder(2);
  EXPECT_EQ(c[0]->TabOrder(), 1);
  EXPECT_EQ(c[1]->TabOrder(), 3);
  c[4]->SetEnabled(false);
  c[1]->SetVisible(false);
  c[3]->SetFocus();
  Application->ProcessMessages();
  ASSERT_TRUE(c[3]->Focused());

  PressKey(VK_TAB);
  EXPECT_TRUE(c[0]->Focused());
  PressKey(VK_TAB);
  EXPECT_TRUE(c[2]->Focused());
  PressKey(VK_TAB);
  EXPECT_TRUE(c[3]->Focused());  // wraps around
  PressKey(VK_TAB, true);
  EXPECT_TRUE(c[2]->Focused());
  PressKey(VK_TAB, true);
  EXPECT_TRUE(c[0]->Focused());
  EXPECT_EQ(form->ActiveControl(), c[0]);
  EXPECT_EQ(Screen->ActiveControl(), c[0]);
}

TEST_F(CoreTest, FocusChangeSendsExitAndEnterAfterTheWindowMessages) {
  TForm* form = ShownForm();
  std::vector<std::string> log;
  auto* panel = new TTestWin(form);
  panel->SetName(u"Panel");
  panel->SetParent(form);
  panel->SetBounds(0, 0, 200, 100);
  auto* a = new TTestWin(form);
  a->SetName(u"A");
  a->SetParent(panel);
  auto* b = new TTestWin(form);
  b->SetName(u"B");
  b->SetParent(form);
  b->SetBounds(0, 120, 50, 20);
  int enters = 0, exits = 0;
  a->OnExit = [&](TObject*) { ++exits; };
  b->OnEnter = [&](TObject*) { ++enters; };
  a->SetFocus();
  Application->ProcessMessages();
  for (TTestWin* w : {panel, a, b}) w->log = &log;

  b->SetFocus();
  EXPECT_EQ(log, (std::vector<std::string>{"A WM_KILLFOCUS", "B WM_SETFOCUS", "A CM_EXIT",
                                           "Panel CM_EXIT", "B CM_ENTER"}));
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(enters, 1);
  log.clear();
  a->SetFocus();
  EXPECT_EQ(log, (std::vector<std::string>{"B WM_KILLFOCUS", "A WM_SETFOCUS", "B CM_EXIT",
                                           "Panel CM_ENTER", "A CM_ENTER"}));
  // A control that cannot take the focus says so.
  b->SetEnabled(false);
  EXPECT_THROW(b->SetFocus(), EInvalidOperation);
  for (TTestWin* w : {panel, a, b}) w->log = nullptr;
}

TEST_F(CoreTest, CreationShowingAndPaintingInThePlatformOrder) {
  std::vector<SpiedMessage> seen;
  // WINDOWPOS flags are read while the message is delivered (the structure lives no longer).
  std::vector<UINT> posFlags;
  SetMessageSpy([&](const SpiedMessage& m) {
    seen.push_back(m);
    posFlags.push_back(m.message == WM_WINDOWPOSCHANGED && m.lParam
                           ? reinterpret_cast<const WINDOWPOS*>(m.lParam)->flags
                           : 0);
  });
  TForm* form = CreateBareForm<TForm>(Application);
  form->SetPosition(poDesigned);
  auto* child = new TTestWin(form);
  child->SetParent(form);
  auto* shape = new TTestGraphic(form);
  shape->SetParent(form);
  shape->SetBounds(60, 0, 20, 20);
  form->Show();
  HWND f = form->Handle(), c = child->Handle();
  auto index = [&](HWND h, UINT msg, std::size_t from = 0) -> long {
    for (std::size_t i = from; i < seen.size(); ++i)
      if (seen[i].hwnd == h && seen[i].message == msg) return long(i);
    return -1;
  };
  // The form's window first, then the child's, shown only once everything is in place.
  long formCreate = index(f, WM_CREATE), childCreate = index(c, WM_CREATE);
  ASSERT_GE(formCreate, 0);
  ASSERT_GT(childCreate, formCreate);
  long childShown = -1;
  for (std::size_t i = 0; i < seen.size() && childShown < 0; ++i) {
    if (seen[i].hwnd == c && seen[i].message == WM_WINDOWPOSCHANGED &&
        (posFlags[i] & SWP_SHOWWINDOW))
      childShown = long(i);
  }
  EXPECT_GT(childShown, childCreate);
  EXPECT_GT(index(f, WM_SHOWWINDOW), childShown);
  // Sizing on creation: WM_SIZE reaches the child before it is shown.
  EXPECT_LT(index(c, WM_SIZE), childShown);

  seen.clear();
  posFlags.clear();
  InvalidateRect(f, nullptr, TRUE);
  RedrawWindow(f, nullptr, 0, RDW_FRAME | RDW_INVALIDATE);
  UpdateWindow(f);
  // BeginPaint in WM_PAINT sends the non-client painting first, then the erase.
  long paint = index(f, WM_PAINT), nc = index(f, WM_NCPAINT), erase = index(f, WM_ERASEBKGND);
  ASSERT_GE(paint, 0);
  EXPECT_LT(paint, nc);
  EXPECT_LT(nc, erase);
  // The windowless child is painted by its parent, inside the parent's WM_PAINT.
  EXPECT_EQ(shape->paints, 1);
  SetMessageSpy(nullptr);
  // And its pixels are on the surface.
  HDC dc = GetDC(f);
  EXPECT_EQ(GetPixel(dc, 65, 5), COLORREF(0x0000FF));
  ReleaseDC(f, dc);
}

TEST_F(CoreTest, ColourAndFontFollowTheParentUntilSetThemselves) {
  TForm* form = CreateBareForm<TForm>(Application);
  auto* panel = new TTestWin(form);
  panel->SetParent(form);
  auto* child = new TTestWin(form);
  child->SetParent(panel);
  std::vector<std::string> log;
  child->SetName(u"Child");
  child->log = &log;
  EXPECT_TRUE(child->ParentColor());
  EXPECT_EQ(child->Color(), form->Color());

  panel->SetColor(clYellow);
  EXPECT_FALSE(panel->ParentColor());
  EXPECT_EQ(child->Color(), clYellow);
  EXPECT_TRUE(child->ParentColor());
  EXPECT_EQ(log, std::vector<std::string>{"Child CM_COLORCHANGED"});
  // Writing the current colour does nothing.
  log.clear();
  child->SetColor(clYellow);
  EXPECT_TRUE(log.empty());
  child->SetColor(clGreen);
  EXPECT_FALSE(child->ParentColor());
  panel->SetColor(clRed);
  EXPECT_EQ(child->Color(), clGreen);
  child->SetParentColor(true);
  EXPECT_EQ(child->Color(), clRed);
  EXPECT_EQ(child->Brush()->Color(), clRed);

  form->Font()->SetName(u"Arial");
  EXPECT_EQ(child->Font()->Name(), u"Arial");
  child->Font()->SetHeight(-20);
  EXPECT_FALSE(child->ParentFont());
  form->Font()->SetName(u"Verdana");
  EXPECT_EQ(child->Font()->Name(), u"Arial");
  EXPECT_EQ(panel->Font()->Name(), u"Verdana");
  child->log = nullptr;
}

TEST_F(CoreTest, MouseEntersLeavesAndClicksWindowlessControls) {
  TForm* form = ShownForm();
  auto* shape = new TTestGraphic(form);
  shape->SetParent(form);
  shape->SetBounds(10, 10, 30, 30);
  int clicks = 0;
  TPoint down{-1, -1};
  shape->OnClick = [&](TObject*) { ++clicks; };
  shape->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { down = {x, y}; };
  HWND f = form->Handle();
  SendMessageW(f, WM_MOUSEMOVE, 0, MAKELPARAM(15, 15));
  EXPECT_EQ(shape->enters, 1);
  EXPECT_EQ(MouseControl(), shape);
  SendMessageW(f, WM_MOUSEMOVE, 0, MAKELPARAM(16, 15));
  EXPECT_EQ(shape->enters, 1);
  ClickAt(f, 20, 25);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(down.x, 10);
  EXPECT_EQ(down.y, 15);
  SendMessageW(f, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
  EXPECT_EQ(shape->leaves, 1);
  EXPECT_EQ(MouseControl(), form);
  // Pressed inside, released outside: no click.
  SendMessageW(f, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  EXPECT_TRUE(shape->MouseCapture());
  SendMessageW(f, WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(shape->MouseCapture());
}

TEST_F(CoreTest, DockTreeLaysOutDockedControlsWithGrabbers) {
  TForm* form = CreateBareForm<TForm>(Application);
  form->SetClientWidth(300);
  form->SetClientHeight(200);
  auto* site = new TTestWin(form);
  site->SetParent(form);
  site->SetAlign(alClient);
  site->SetDockSite(true);
  site->SetUseDockManager(true);
  ASSERT_NE(site->DockManager(), nullptr);
  auto* a = new TTestWin(form);
  auto* b = new TTestWin(form);
  ASSERT_TRUE(a->ManualDock(site));
  ASSERT_TRUE(b->ManualDock(site, nullptr, alRight));
  EXPECT_EQ(site->DockClientCount(), 2);
  EXPECT_EQ(a->HostDockSite(), site);
  auto* tree = dynamic_cast<TDockTree*>(site->DockManager());
  ASSERT_NE(tree, nullptr);
  int g = tree->GrabberSize();
  ExpectRect(a->BoundsRect(), 0, g, 150, 200);
  ExpectRect(b->BoundsRect(), 150, g, 300, 200);
  TRect zone;
  tree->GetControlBounds(b, zone);
  ExpectRect(zone, 150, 0, 300, 200);
  // Undocking gives the whole site to the one left.
  a->ManualDock(nullptr);
  EXPECT_EQ(site->DockClientCount(), 1);
  ExpectRect(b->BoundsRect(), 0, g, 300, 200);
  // A replaced window procedure sees the site's messages and can be put back.
  int seen = 0;
  TWndMethod old = site->WindowProc;
  site->WindowProc = [&](TMessage& m) {
    if (m.Msg == CM_COLORCHANGED) ++seen;
    old(m);
  };
  site->SetColor(clAqua);
  site->WindowProc = old;
  site->SetColor(clLime);
  EXPECT_EQ(seen, 1);
}

TEST_F(CoreTest, ScrollBoxScrollsItsChildrenOverTheirExtent) {
  TForm* form = ShownForm(300, 300);
  auto* box = new TScrollBox(form);
  box->SetParent(form);
  box->SetBorderStyle(bsNone);
  box->SetBounds(0, 0, 100, 100);
  auto* inner = new TTestWin(form);
  inner->SetParent(box);
  inner->SetBounds(0, 300, 50, 100);
  Application->ProcessMessages();
  EXPECT_EQ(box->VertScrollBar()->Range(), 400);
  EXPECT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
  EXPECT_FALSE(box->HorzScrollBar()->IsScrollBarVisible());
  box->VertScrollBar()->SetPosition(50);
  EXPECT_EQ(inner->Top(), 250);
  EXPECT_EQ(GetScrollPos(box->Handle(), SB_VERT), 50);
  // Scroll messages from the bar move it too, clamped to the range.
  SendMessageW(box->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
  int page = box->ClientHeight();
  EXPECT_EQ(box->VertScrollBar()->Position(), 400 - page);
  EXPECT_EQ(inner->Top(), 300 - (400 - page));
  box->ScrollInView(inner);
  EXPECT_GE(inner->Top(), 0);
}

namespace {

// A platform button wrapped as a control: its notifications come back reflected.
class TWrappedButton : public TWinControl {
 public:
  using TWinControl::TWinControl;
  String ClassName() const override { return u"TWrappedButton"; }
  int commands = 0;
  void Dispatch(TMessage& m) override {
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) ++commands;
    TWinControl::Dispatch(m);
  }

 protected:
  void CreateParams(TCreateParams& p) override {
    TWinControl::CreateParams(p);
    CreateSubClass(p, u"BUTTON");
  }
};

// A platform edit wrapped as a control.
class TWrappedEdit : public TWinControl {
 public:
  using TWinControl::TWinControl;
  String ClassName() const override { return u"TWrappedEdit"; }

 protected:
  void CreateParams(TCreateParams& p) override {
    TWinControl::CreateParams(p);
    CreateSubClass(p, u"EDIT");
  }
};

}  // namespace

TEST_F(CoreTest, PlatformControlsReflectNotificationsAndColours) {
  TForm* form = ShownForm();
  auto* button = new TWrappedButton(form);
  button->SetParent(form);
  button->SetBounds(10, 10, 80, 24);
  button->SetText(u"Press");
  auto* edit = new TWrappedEdit(form);
  edit->SetParent(form);
  edit->SetBounds(10, 50, 100, 22);
  edit->SetColor(clYellow);
  edit->SetText(u"typed");
  Application->ProcessMessages();
  // The window's own procedure holds the text now.
  WCHAR buf[16];
  GetWindowTextW(edit->Handle(), buf, 16);
  EXPECT_EQ(String(buf), u"typed");
  SendMessageW(edit->Handle(), WM_SETTEXT, 0, LPARAM(u"changed"));
  EXPECT_EQ(edit->GetText(), u"changed");

  ClickAt(button->Handle(), 5, 5);
  EXPECT_EQ(button->commands, 1);
  // The edit asks its parent for colours; the parent hands the question to the edit control.
  HDC dc = GetDC(edit->Handle());
  LRESULT brush = SendMessageW(form->Handle(), WM_CTLCOLOREDIT, WPARAM(dc), LPARAM(edit->Handle()));
  EXPECT_EQ(HBRUSH(brush), edit->Brush()->Handle());
  EXPECT_EQ(GetBkColor(dc), ColorToRGB(clYellow));
  ReleaseDC(edit->Handle(), dc);
  // Recreated, it is still the same platform control with the same text.
  edit->RecreateWnd();
  GetWindowTextW(edit->Handle(), buf, 16);
  EXPECT_EQ(String(buf), u"changed");
  WCHAR cls[16];
  GetClassNameW(edit->Handle(), cls, 16);
  EXPECT_EQ(String(cls), u"TWrappedEdit");
}

TEST_F(CoreTest, ConstraintsAndResizeHandlersLimitTheSize) {
  TForm* form = CreateBareForm<TForm>(Application);
  auto* c = new TTestWin(form);
  c->SetParent(form);
  c->Constraints()->SetMinWidth(30);
  c->Constraints()->SetMaxHeight(40);
  c->SetBounds(0, 0, 10, 100);
  EXPECT_EQ(c->Width(), 30);
  EXPECT_EQ(c->Height(), 40);
  int resizes = 0;
  c->OnResize = [&](TObject*) { ++resizes; };
  c->OnCanResize = [](TObject*, int& w, int&, bool& resize) { resize = w < 200; };
  c->SetWidth(150);
  EXPECT_EQ(c->Width(), 150);
  EXPECT_EQ(resizes, 1);
  c->SetWidth(250);
  EXPECT_EQ(c->Width(), 150);
  EXPECT_EQ(resizes, 1);
  // An auto-sizing container fits its children.
  auto* box = new TTestWin(form);
  box->SetParent(form);
  auto* inner = new TTestWin(form);
  inner->SetParent(box);
  inner->SetBounds(5, 5, 60, 30);
  box->SetAutoSize(true);
  EXPECT_EQ(box->Width(), 65);
  EXPECT_EQ(box->Height(), 35);
}

TEST_F(CoreTest, ZOrderAndHitTestingFollowTheControlList) {
  TForm* form = ShownForm();
  auto* back = new TTestGraphic(form);
  back->SetParent(form);
  back->SetBounds(0, 0, 40, 40);
  auto* front = new TTestGraphic(form);
  front->SetParent(form);
  front->SetBounds(20, 20, 40, 40);
  EXPECT_EQ(form->ControlAtPos(Point(25, 25), false), front);
  back->BringToFront();
  EXPECT_EQ(form->Controls(form->ControlCount() - 1), back);
  EXPECT_EQ(form->ControlAtPos(Point(25, 25), false), back);
  back->SetEnabled(false);
  EXPECT_EQ(form->ControlAtPos(Point(25, 25), false), front);
  EXPECT_EQ(form->ControlAtPos(Point(25, 25), true), back);
  back->Hide();
  EXPECT_EQ(form->ControlAtPos(Point(5, 5), true), nullptr);

  auto* w1 = new TTestWin(form);
  w1->SetParent(form);
  auto* w2 = new TTestWin(form);
  w2->SetParent(form);
  Application->ProcessMessages();
  // The window created last is on top; SendToBack puts it below its sibling.
  EXPECT_EQ(GetWindow(w1->Handle(), GW_HWNDPREV), w2->Handle());
  w2->SendToBack();
  EXPECT_EQ(GetWindow(w2->Handle(), GW_HWNDPREV), w1->Handle());
}

TEST_F(CoreTest, MovingAndDeletingControlsKeepsWindowsAndFocusNotesRight) {
  TForm* form = ShownForm();
  auto* left = new TTestWin(form);
  left->SetParent(form);
  left->SetBounds(0, 0, 100, 100);
  auto* right = new TTestWin(form);
  right->SetParent(form);
  right->SetBounds(100, 0, 100, 100);
  auto* moving = new TTestWin(form);
  moving->SetParent(left);
  moving->SetText(u"mover");
  Application->ProcessMessages();
  HWND old = moving->Handle();
  moving->SetParent(right);
  EXPECT_FALSE(IsWindow(old));
  ASSERT_TRUE(moving->HandleAllocated());
  EXPECT_EQ(GetParent(moving->Handle()), right->Handle());
  EXPECT_EQ(moving->GetText(), u"mover");
  EXPECT_TRUE(IsWindowVisible(moving->Handle()));

  moving->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(Screen->ActiveControl(), moving);
  // Deleting a parent deletes its children, and the form forgets its focused control.
  HWND h = moving->Handle();
  delete right;
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(form->ActiveControl(), nullptr);
  TWinControl* now = Screen->ActiveControl();
  EXPECT_TRUE(now == nullptr || now == form) << "a deleted control stayed active";
  EXPECT_EQ(form->ControlCount(), 1);
  // The focus can go elsewhere afterwards.
  left->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(left->Focused());
}
