// The framed edit: colour states through real focus and pointer messages, stored rules, the
// obsolete stored names, Enter as Tab, the frame and the drop button.
#include <functional>
#include <memory>

#include "ClassLibTestSupport.h"
#include "Colors.h"
#include "FormDescriptions.h"
#include "RzEditTestSupport.h"
#include "Streaming.h"
#include "SystemControls.h"
#include "TypInfo.h"

namespace {

// An edit whose drop-down steps are logged and whose protected parts the tests reach.
class TProbeEdit : public TRzEdit {
 public:
  using TRzCustomEdit::PerformDropDown;
  using TRzCustomEdit::SetDropButtonVisible;
  using TRzEdit::TRzEdit;
  std::vector<std::string> log;
  bool failDropDown = false;

 protected:
  void DropDown() override {
    log.push_back(FButtonStateText() + " drop");
    if (failDropDown) throw Exception(u"no list");
    TRzEdit::DropDown();
  }
  void CloseUp() override {
    log.push_back(FButtonStateText() + " close");
    TRzEdit::CloseUp();
  }

 private:
  std::string FButtonStateText() { return ButtonState() == bsDown ? "down" : "up"; }
};

String Describe(TComponent* root) { return WriteComponentText(root); }

void ReadInto(const String& text, TComponent* instance) {
  ReadComponentText(text, u"Edit.form", instance);
}

}  // namespace

// ---- Colour states ----

TEST_F(RzEditTest, StateColourFollowsDisabledFocusedReadOnlyNormalInThatOrder) {
  TForm* form = BareForm();
  auto* edit = Place<TRzEdit>(form, 10, 10);
  auto* other = Place<TRzEdit>(form, 10, 40);
  edit->SetColor(clYellow);
  edit->SetFocusColor(clAqua);
  edit->SetReadOnlyColor(clLime);
  edit->SetDisabledColor(clSilver);
  EXPECT_EQ(edit->Color(), clYellow) << "normal";

  edit->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(edit->Color(), clAqua) << "focused";
  edit->SetReadOnly(true);
  EXPECT_EQ(edit->Color(), clAqua) << "focused wins over read-only";
  edit->SetReadOnlyColorOnFocus(true);
  edit->SetReadOnly(false);
  edit->SetReadOnly(true);
  EXPECT_EQ(edit->Color(), clLime) << "read-only colour kept while focused";

  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(edit->Color(), clLime) << "read-only";
  edit->SetEnabled(false);
  EXPECT_EQ(edit->Color(), clSilver) << "disabled wins over everything";
  edit->SetDisabledColor(clGray);
  EXPECT_EQ(edit->Color(), clGray) << "a new disabled colour shows at once while disabled";
  edit->SetEnabled(true);
  edit->SetReadOnly(false);
  EXPECT_EQ(edit->Color(), clYellow) << "back to the normal colour";
  edit->SetDisabledColor(clMaroon);
  EXPECT_EQ(edit->Color(), clYellow) << "a disabled colour shows nothing while enabled";

  // The window is painted in the state colour.
  HWND h = edit->Handle();
  RECT client;
  GetClientRect(h, &client);
  form->Update();
  EXPECT_EQ(WindowPixel(h, 2 + client.right - 3, 4), COLORREF(clYellow));
}

TEST_F(RzEditTest, ReadOnlyBoxShowsAColourWrittenFromOutsideUntilItsStateIsAppliedAgain) {
  TForm* form = BareForm();
  auto* box = Place<TRzEdit>(form, 10, 10);
  auto* other = Place<TRzEdit>(form, 10, 60);
  other->SetFocus();
  box->SetReadOnly(true);
  box->SetColor(clInfoBk);
  Application->ProcessMessages();

  box->SetColor(clGreen);
  EXPECT_EQ(box->Color(), clGreen) << "shows at once on a read-only box";
  EXPECT_EQ(box->FocusColor(), clGreen) << "the focus colour followed the normal colour";

  MoveTo(box->Handle(), 20, 8);
  EXPECT_EQ(box->Color(), clInfoBk) << "the pointer entering applies the read-only colour";
  MoveTo(form->Handle(), 200, 150);
  box->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(box->Color(), clGreen) << "focused: the focus colour";
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(box->Color(), clInfoBk) << "left: the read-only colour again";

  box->SetColor(clRed);
  EXPECT_EQ(box->Color(), clRed) << "the next outside write shows again";
}

TEST_F(RzEditTest, FocusColourSetApartIsNotCarriedAlongByLaterColourWrites) {
  TRzEdit edit(nullptr);
  edit.SetColor(clYellow);
  EXPECT_EQ(edit.FocusColor(), clYellow);
  edit.SetFocusColor(clAqua);
  edit.SetColor(clLime);
  EXPECT_EQ(edit.FocusColor(), clAqua);
  EXPECT_EQ(edit.NormalColor(), clLime);
}

// ---- Stored form ----

TEST_F(RzEditTest, DisabledEditKeepsItsColourInTheStoredForm) {
  TForm* form = BareForm();
  auto* edit = Place<TRzEdit>(form, 10, 10);
  edit->SetName(u"Edit1");
  edit->SetColor(clYellow);
  edit->SetEnabled(false);
  ASSERT_EQ(edit->Color(), clBtnFace);
  String text = Describe(edit);
  EXPECT_NE(text.find(u"Color = clYellow"), String::npos) << ToUtf8(text);
  EXPECT_EQ(text.find(u"clBtnFace"), String::npos) << "the disabled colour is not the colour";

  TForm* second = BareForm();
  auto* copy = new TRzEdit(second);
  copy->SetParent(second);
  ReadInto(text, copy);
  EXPECT_EQ(copy->NormalColor(), clYellow);
  EXPECT_EQ(copy->Color(), clBtnFace) << "read back disabled";
  copy->SetEnabled(true);
  EXPECT_EQ(copy->Color(), clYellow);
}

TEST_F(RzEditTest, StoredRulesOfFocusColourAndGovernedSettings) {
  TRzEdit edit(nullptr);
  edit.SetName(u"Edit1");
  edit.SetFocusColor(TColor(ColorToRGB(clWindow)));
  String text = Describe(&edit);
  EXPECT_EQ(text.find(u"FocusColor"), String::npos) << "equal to Color in RGB terms";

  edit.SetColor(clYellow);
  edit.SetFocusColor(clWindow);
  text = Describe(&edit);
  EXPECT_NE(text.find(u"FocusColor = clWindow"), String::npos)
      << "kept even at its default, or reading Color would carry it along\n"
      << ToUtf8(text);
  TRzEdit copy(nullptr);
  ReadInto(text, &copy);
  EXPECT_EQ(copy.FocusColor(), clWindow);
  EXPECT_EQ(copy.NormalColor(), clYellow);

  TRzFrameController controller(nullptr);
  edit.SetFrameColor(clRed);
  edit.SetFrameController(&controller);
  edit.SetFrameControllerNotifications(TRzFrameControllerNotifications{fcpColor});
  edit.SetFrameColor(clRed);
  edit.SetColor(clYellow);
  text = Describe(&edit);
  EXPECT_EQ(text.find(u"  Color ="), String::npos) << "governed by the controller";
  EXPECT_NE(text.find(u"FrameColor = clRed"), String::npos) << "not governed";
  edit.SetFrameController(nullptr);
}

TEST_F(RzEditTest, FrameHotTrackTurnsTheFrameOnWithAllSides) {
  TRzEdit edit(nullptr);
  edit.SetFrameSides(TSides{sdTop});
  edit.SetFrameHotTrack(true);
  EXPECT_TRUE(edit.FrameVisible());
  EXPECT_TRUE(edit.Ctl3D());
  EXPECT_EQ(edit.FrameSides(), sdAllSides);
}

TEST_F(RzEditTest, ObsoleteFrameNamesLoadAndAreNotWrittenAgain) {
  const String old =
      u"object Edit1: TRzEdit\n"
      u"  FrameFlat = True\n"
      u"  FrameFlatStyle = fsFlat\n"
      u"end\n";
  TRzEdit edit(nullptr);
  ReadInto(old, &edit);
  EXPECT_TRUE(edit.FrameHotTrack());
  EXPECT_TRUE(edit.FrameVisible());
  EXPECT_EQ(edit.FrameStyle(), fsStatus);
  EXPECT_EQ(edit.FrameHotStyle(), fsLowered);
  String text = Describe(&edit);
  EXPECT_EQ(text.find(u"FrameFlat"), String::npos) << ToUtf8(text);
  EXPECT_NE(text.find(u"FrameHotTrack = True"), String::npos);

  TRzEdit focusStyled(nullptr);
  ReadInto(u"object Edit2: TRzEdit\n  FrameFocusStyle = fsGroove\nend\n", &focusStyled);
  EXPECT_EQ(focusStyled.FrameHotStyle(), fsGroove);
  TRzEdit unknown(nullptr);
  ReadInto(u"object Edit3: TRzEdit\n  FrameFocusStyle = fsSparkly\nend\n", &unknown);
  EXPECT_EQ(unknown.FrameHotStyle(), fsFlatBold) << "an unknown name keeps the style";
}

// ---- Keys ----

TEST_F(RzEditTest, EnterMovesOnLikeTabWhenAsked) {
  TForm* form = BareForm();
  auto* first = Place<TRzEdit>(form, 10, 10);
  auto* second = Place<TRzEdit>(form, 10, 40);
  first->SetTabOnEnter(true);
  first->SetText(u"ab");
  int presses = 0;
  first->OnKeyPress = [&](TObject*, Char&) { ++presses; };
  first->SetFocus();
  Application->ProcessMessages();
  Key(VK_RETURN, u"\r");
  EXPECT_TRUE(second->Focused());
  EXPECT_EQ(first->Text(), u"ab") << "Enter never reached the edit";
  EXPECT_EQ(presses, 0) << "nor its key handling";
  Key(VK_RETURN, u"\r");
  EXPECT_TRUE(second->Focused()) << "without TabOnEnter Enter stays";
}

// ---- Frame controller ----

TEST_F(RzEditTest, FrameControllerPushesToRegisteredEditsAndForgetsTheGone) {
  auto controller = std::make_unique<TRzFrameController>(nullptr);
  controller->SetFrameColor(clRed);
  TRzEdit a(nullptr), b(nullptr);
  a.SetFrameController(controller.get());
  EXPECT_EQ(a.FrameColor(), clRed) << "registration pushes every setting";
  b.SetFrameControllerNotifications(TRzFrameControllerNotifications{fcpFrameStyle});
  b.SetFrameController(controller.get());
  EXPECT_EQ(b.FrameColor(), clBtnShadow) << "b accepts only the frame style";
  EXPECT_EQ(controller->ControlCount(), 2);

  controller->SetFrameStyle(fsGroove);
  controller->SetFocusColor(clAqua);
  controller->SetFrameHotTrack(true);
  EXPECT_EQ(a.FrameStyle(), fsGroove);
  EXPECT_EQ(a.FocusColor(), clAqua);
  EXPECT_TRUE(a.FrameVisible());
  EXPECT_EQ(b.FrameStyle(), fsGroove);
  EXPECT_NE(b.FocusColor(), clAqua);
  EXPECT_FALSE(b.FrameHotTrack());

  {
    TRzEdit gone(nullptr);
    gone.SetFrameController(controller.get());
    EXPECT_EQ(controller->ControlCount(), 3);
  }
  EXPECT_EQ(controller->ControlCount(), 2) << "a destroyed edit unregisters";
  controller.reset();
  EXPECT_EQ(a.FrameController(), nullptr) << "a destroyed controller is forgotten";
  EXPECT_EQ(b.FrameController(), nullptr);
}

// ---- Frame and drop button, as painted ----

namespace {

// A copy of picture to paint what is expected over.
std::unique_ptr<CanvasPicture> CopyOf(const PixelCanvas& picture) {
  auto copy = std::make_unique<CanvasPicture>(picture.width(), picture.height());
  BitBlt(copy->dc(), 0, 0, picture.width(), picture.height(), picture.dc(), 0, 0, SRCCOPY);
  return copy;
}

const Legend kFrameLegend = {{'r', clRed}, {'b', clBlue}, {'y', clYellow}};

}  // namespace

TEST_F(RzEditTest, OwnFrameIsPaintedInEachStyleAndFollowsTheHotState) {
  TForm* form = BareForm();
  auto* edit = Place<TRzEdit>(form, 10, 10);
  edit->SetAutoSize(false);
  edit->SetBounds(10, 10, 10, 7);
  edit->SetFramingPreference(fpCustomFraming);
  edit->SetColor(clYellow);
  edit->SetFrameColor(clRed);
  edit->SetFrameVisible(true);
  HWND h = edit->Handle();
  auto looks = [&](const std::vector<std::string>& rows) {
    form->Update();
    return LooksLike(*WindowPicture(h), kFrameLegend, rows);
  };
  const std::vector<std::string> flat = {"rrrrrrrrrr", "ryyyyyyyyr", "ryyyyyyyyr", "ryyyyyyyyr",
                                         "ryyyyyyyyr", "ryyyyyyyyr", "rrrrrrrrrr"};
  EXPECT_TRUE(looks(flat)) << "one line, then the colour up to the text";
  edit->SetFrameStyle(fsFlatBold);
  EXPECT_TRUE(looks({"rrrrrrrrrr", "rrrrrrrrrr", "rryyyyyyrr", "rryyyyyyrr", "rryyyyyyrr",
                     "rrrrrrrrrr", "rrrrrrrrrr"}));
  edit->SetFrameSides(TSides{sdLeft, sdBottom});
  EXPECT_TRUE(looks({"rryyyyyyyy", "rryyyyyyyy", "rryyyyyyyy", "rryyyyyyyy", "rryyyyyyyy",
                     "rrrrrrrrrr", "rrrrrrrrrr"}))
      << "only the left and bottom sides";

  // The three-dimensional styles in shades of the colour, as the frame painter draws them.
  edit->SetFrameSides(sdAllSides);
  for (TFrameStyle style : {fsGroove, fsBump, fsLowered, fsRaised, fsStatus, fsPopup}) {
    edit->SetFrameStyle(style);
    form->Update();
    auto actual = WindowPicture(h);
    auto expected = CopyOf(*actual);
    PaintEditFrame(expected->Canvas(), actual->width(), actual->height(), clRed, clYellow, style,
                   sdAllSides, true);
    EXPECT_TRUE(SamePixels(*actual, *expected)) << int(style);
  }

  edit->SetFrameStyle(fsFlat);
  edit->SetFrameHotTrack(true);
  edit->SetFrameHotStyle(fsFlatBold);
  edit->SetFrameHotColor(clBlue);
  EXPECT_TRUE(looks(flat));
  MoveTo(h, 5, 3);
  EXPECT_TRUE(looks({"bbbbbbbbbb", "bbbbbbbbbb", "bbyyyyyybb", "bbyyyyyybb", "bbyyyyyybb",
                     "bbbbbbbbbb", "bbbbbbbbbb"}))
      << "hot under the pointer";
  MoveTo(form->Handle(), 250, 150);
  EXPECT_TRUE(looks(flat));

  edit->SetFramingPreference(fpXPThemes);
  SetThemesEnabledForTesting(true);
  RedrawWindow(h, nullptr, 0, RDW_INVALIDATE | RDW_FRAME);
  form->Update();
  EXPECT_NE(WindowPicture(h)->Row(0, kFrameLegend), flat[0])
      << "with visual styles the platform draws the border";
}

// Each frame setter repaints the frame of a shown edit at once; the hot ones while it is hot.
TEST_F(RzEditTest, FrameSettersRepaintTheShownFrame) {
  const std::vector<std::string> redFlat = {"rrrrrrrrrr", "ryyyyyyyyr", "ryyyyyyyyr", "ryyyyyyyyr",
                                            "ryyyyyyyyr", "ryyyyyyyyr", "rrrrrrrrrr"};
  const std::vector<std::string> redBold = {"rrrrrrrrrr", "rrrrrrrrrr", "rryyyyyyrr", "rryyyyyyrr",
                                            "rryyyyyyrr", "rrrrrrrrrr", "rrrrrrrrrr"};
  struct Row {
    const char* setter;
    bool hot;
    std::function<void(TRzEdit*)> set;
    std::vector<std::string> after;
  };
  const std::vector<Row> rows = {
      {"FrameColor",
       false,
       [](TRzEdit* e) { e->SetFrameColor(clBlue); },
       {"bbbbbbbbbb", "byyyyyyyyb", "byyyyyyyyb", "byyyyyyyyb", "byyyyyyyyb", "byyyyyyyyb",
        "bbbbbbbbbb"}},
      {"FrameStyle", false, [](TRzEdit* e) { e->SetFrameStyle(fsFlatBold); }, redBold},
      {"FrameSides",
       false,
       [](TRzEdit* e) {
         e->SetFrameSides(TSides{sdLeft, sdBottom});
       },
       {"ryyyyyyyyy", "ryyyyyyyyy", "ryyyyyyyyy", "ryyyyyyyyy", "ryyyyyyyyy", "ryyyyyyyyy",
        "rrrrrrrrrr"}},
      {"FrameHotColor",
       true,
       [](TRzEdit* e) { e->SetFrameHotColor(clBlue); },
       {"bbbbbbbbbb", "byyyyyyyyb", "byyyyyyyyb", "byyyyyyyyb", "byyyyyyyyb", "byyyyyyyyb",
        "bbbbbbbbbb"}},
      {"FrameHotStyle", true, [](TRzEdit* e) { e->SetFrameHotStyle(fsFlatBold); }, redBold},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.setter);
    TForm* form = BareForm();
    auto* edit = Place<TRzEdit>(form, 10, 10);
    edit->SetAutoSize(false);
    edit->SetBounds(10, 10, 10, 7);
    edit->SetFramingPreference(fpCustomFraming);
    edit->SetColor(clYellow);
    edit->SetFrameColor(clRed);
    edit->SetFrameVisible(true);
    if (row.hot) {
      edit->SetFrameHotTrack(true);
      edit->SetFrameHotColor(clRed);
      edit->SetFrameHotStyle(fsFlat);
    }
    HWND h = edit->Handle();
    MoveTo(row.hot ? h : form->Handle(), row.hot ? 5 : 250, row.hot ? 3 : 150);
    form->Update();
    ASSERT_TRUE(LooksLike(*WindowPicture(h), kFrameLegend, redFlat));
    row.set(edit);
    form->Update();
    EXPECT_TRUE(LooksLike(*WindowPicture(h), kFrameLegend, row.after));
    delete form;
  }
}

TEST_F(RzEditTest, DropButtonStripIsReservedAndPaintedInBothLooks) {
  for (bool themed : {false, true}) {
    SCOPED_TRACE(themed ? "visual styles" : "classic");
    SetThemesEnabledForTesting(themed);
    TForm* form = BareForm();
    auto* edit = Place<TProbeEdit>(form, 10, 10, 80);
    edit->SetDropButtonVisible(true);
    HWND h = edit->Handle();
    form->Update();
    RECT client;
    GetClientRect(h, &client);
    int strip = GetSystemMetrics(SM_CXVSCROLL) - (themed ? 1 : 0);
    EXPECT_EQ(client.right, 80 - 4 - strip);

    // The button covers the strip, drawn as the look draws a combo box's button.
    auto up = WindowPicture(h);
    auto expected = CopyOf(*up);
    TRect button = Rect(0, 0, 80, edit->Height());
    InflateRect(&button, -(themed ? 1 : 2), -(themed ? 1 : 2));
    button.left = button.right - GetSystemMetrics(SM_CXVSCROLL);
    if (themed) {
      TRect grown = button;
      grown.top -= 1;
      grown.bottom += 1;
      grown.right += 1;
      ThemeServices()->DrawElement(expected->dc(),
                                   ThemeServices()->GetElementDetails(tcDropDownButtonNormal),
                                   grown, &button);
    } else {
      RECT r = button;
      DrawFrameControl(expected->dc(), &r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
    }
    EXPECT_TRUE(SamePixels(*up, *expected));

    // Pressed for the length of the drop-down.
    std::unique_ptr<PixelCanvas> pressed;
    edit->OnDropDown = [&](TObject*) {
      form->Update();
      pressed = WindowPicture(h);
    };
    edit->SetFocus();
    Application->ProcessMessages();
    auto focused = WindowPicture(h);
    Key(VK_F4);
    EXPECT_EQ(edit->log, (std::vector<std::string>{"down drop", "down close"}));
    ASSERT_NE(pressed, nullptr);
    EXPECT_FALSE(SamePixels(*pressed, *focused)) << "the pressed face differs";
    form->Update();
    EXPECT_TRUE(SamePixels(*WindowPicture(h), *focused)) << "up again";
    delete form;
  }
}

TEST_F(RzEditTest, FlatDropButtonTakesTheStateColourUntilHot) {
  SetThemesEnabledForTesting(false);
  TForm* form = BareForm();
  auto* edit = Place<TProbeEdit>(form, 10, 10, 80);
  auto* other = Place<TRzEdit>(form, 10, 60);
  edit->SetColor(clYellow);
  edit->SetFlatButtons(true);
  edit->SetDropButtonVisible(true);
  other->SetFocus();
  Application->ProcessMessages();
  HWND h = edit->Handle();
  form->Update();
  int x = 80 - 2 - GetSystemMetrics(SM_CXVSCROLL);
  EXPECT_EQ(WindowPixel(h, x, 2), COLORREF(clYellow)) << "a flat button in the state colour";
  edit->SetFlatButtonColor(clAqua);
  MoveTo(h, 20, 10);
  form->Update();
  EXPECT_NE(WindowPixel(h, x, 2), COLORREF(clYellow)) << "hot: a border in shades of aqua";
  EXPECT_EQ(WindowPixel(h, x + 4, 4), COLORREF(clAqua)) << "and an aqua face";
}

// ---- Drop-down sequence ----

TEST_F(RzEditTest, DropDownStartsFromItsKeysAndFromAClickOnTheStrip) {
  TForm* form = BareForm();
  auto* edit = Place<TProbeEdit>(form, 10, 10, 80);
  auto* other = Place<TRzEdit>(form, 10, 60);
  edit->SetText(u"abc");
  edit->SetFocus();
  Application->ProcessMessages();
  Key(VK_F4);
  Key(VK_DOWN, u"", kHostAlt);
  EXPECT_TRUE(edit->log.empty()) << "no button, no drop-down";

  edit->SetDropButtonVisible(true);
  edit->SetFocus();
  Application->ProcessMessages();
  Key(VK_F4);
  Key(VK_DOWN, u"", kHostAlt);
  Key(VK_DOWN, u"", kHostAlt | kHostControl);
  Key(VK_F4, u"", kHostShift);
  EXPECT_EQ(edit->log.size(), 4u) << "F4 and Alt+Down alone";
  EXPECT_EQ(edit->ButtonState(), bsUp);

  other->SetFocus();
  Application->ProcessMessages();
  edit->SetSelStart(1);
  edit->log.clear();
  HWND h = edit->Handle();
  Click(h, 80 - 8, 10);
  EXPECT_TRUE(edit->Focused()) << "the click focused the edit first";
  EXPECT_EQ(edit->log, (std::vector<std::string>{"down drop", "down close"}));
  EXPECT_EQ(GetCapture(), HWND(0)) << "the release let the pointer go";
  Click(h, 80 - 8, 10, true);
  EXPECT_EQ(edit->log.size(), 2u) << "a right click on the strip does nothing";

  edit->failDropDown = true;
  EXPECT_THROW(edit->PerformDropDown(), Exception);
  EXPECT_FALSE(edit->DroppedDown()) << "cleared although the drop-down failed";
  EXPECT_EQ(edit->ButtonState(), bsDown);
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(edit->ButtonState(), bsUp) << "losing the focus releases the button";
}

TEST_F(RzEditTest, ReadOnlyHidesAWantedDropButtonAndEditingBringsItBack) {
  TForm* form = BareForm();
  auto* edit = Place<TProbeEdit>(form, 10, 10, 80);
  edit->SetDropButtonVisible(true);
  HWND h = edit->Handle();
  RECT withButton;
  GetClientRect(edit->Handle(), &withButton);
  edit->SetReadOnly(true);
  EXPECT_FALSE(edit->ShowDropButton());
  RECT without;
  GetClientRect(edit->Handle(), &without);
  EXPECT_GT(without.right, withButton.right) << "the strip was given back";
  edit->SetReadOnly(false);
  EXPECT_TRUE(edit->ShowDropButton());
  (void)h;
}

TEST_F(RzEditTest, ValidationErrorHookNamesTheErrorOrLeavesItToTheMask) {
  TRzEdit edit(nullptr);
  edit.SetEditMask(u"000;0;_");
  edit.SetText(u"1");
  try {
    edit.ValidateEdit();
    FAIL() << "an incomplete mask is an error";
  } catch (const EDBEditError& e) {
    EXPECT_EQ(e.Message(), u"Invalid input value.  Use escape key to abandon changes");
  }
  edit.OnValidateError = [](TObject*, String& message) { message = u"Three digits, please"; };
  try {
    edit.ValidateEdit();
    FAIL() << "the hook's message is raised";
  } catch (const EDBEditError& e) {
    EXPECT_EQ(e.Message(), u"Three digits, please");
  }
}

TEST_F(RzEditTest, DescribedEditFindsItsFrameControllerByName) {
  const String description =
      u"object Form1: TForm\n"
      u"  object Controller: TRzFrameController\n"
      u"    FrameColor = clRed\n"
      u"    FrameVisible = True\n"
      u"  end\n"
      u"  object Edit1: TRzEdit\n"
      u"    FrameController = Controller\n"
      u"  end\n"
      u"end\n";
  std::unique_ptr<TComponent> root(ReadComponentText(description, u"Framed.form", nullptr));
  auto* edit = dynamic_cast<TRzEdit*>(root->FindComponent(u"Edit1"));
  auto* controller = dynamic_cast<TRzFrameController*>(root->FindComponent(u"Controller"));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->FrameController(), controller);
  EXPECT_EQ(edit->FrameColor(), clRed);
  EXPECT_TRUE(edit->FrameVisible());
  String written = WriteComponentText(root.get());
  EXPECT_NE(written.find(u"FrameController = Controller"), String::npos) << ToUtf8(written);
  std::size_t edit1 = written.find(u"object Edit1");
  String editBlock = written.substr(edit1, written.find(u"  end", edit1) - edit1);
  EXPECT_EQ(editBlock.find(u"FrameColor"), String::npos) << "the controller's, not the edit's";
}
