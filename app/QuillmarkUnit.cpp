#include "QuillmarkUnit.h"

#include <cstdio>

#include "EnvironmentUnit.h"
#include "Files.h"
#include "IniFiles.h"
#include "KorPrev.h"
#include "Numbers.h"
#include "QuillmarkSettings.h"
#include "RzCommon.h"
#include "RzEdit.h"
#include "RzSpnEdt.h"
#include "SessionEnd.h"
#include "StdCtrls.h"
#include "TypInfo.h"

TQuillmarkForm* QuillmarkForm = nullptr;

namespace {

// Outlives the main window, whose destruction writes the settings.
bool gSettingsLost = false;

TOrientation OrientationOfIndex(int index) { return index == 0 ? oPortrait : oLandscape; }

}  // namespace

TQuillmarkForm::TQuillmarkForm(TComponent* owner) : TForm(owner) {}

TQuillmarkForm::~TQuillmarkForm() {
  if (QuillmarkForm == this) QuillmarkForm = nullptr;
}

String TQuillmarkForm::ClassName() const { return u"TQuillmarkForm"; }

// ---- Layout ----

TStaveLayout TQuillmarkForm::Layout() const {
  TStaveLayout l;
  l.NStaves = NStaves;
  l.StaveH = StaveH;
  l.GapH = GapH;
  l.GroupGap = GroupGap;
  l.GroupStaves = GroupStaves < 1 ? 1 : GroupStaves;
  l.TopMargin = TopMargin;
  return l;
}

void TQuillmarkForm::Recalculate() {
  // The spins' change events also come while the description is read, before every control
  // is there.
  if (ComponentState().Contains(csLoading) || !StavesSpin || !GroupsSpin || !StaveHeightSpin ||
      !GapHeightSpin || !TopMarginSpin || !SpaceRequiredEdit)
    return;
  TStaveLayout l =
      MakeStaveLayout(StavesSpin->Value(), GroupsSpin->Value(), StaveHeightSpin->Value(),
                      GapHeightSpin->Value(), TopMarginSpin->Value());
  NStaves = l.NStaves;
  StaveH = l.StaveH;
  GapH = l.GapH;
  GroupStaves = l.GroupStaves;
  GroupGap = l.GroupGap;
  TopMargin = l.TopMargin;
  SpaceRequired = ::SpaceRequired(l);
  SpaceRequiredEdit->SetValue(SpaceRequired);
  try {
    if (auto color = SpaceRequiredColor(PageLength, TwipsPerMM, SpaceRequired))
      ShowSpaceRequiredColor(*color);
  } catch (const Exception&) {
    // The number is shown already; a colour that cannot be shown is no reason to stop.
  }
}

void TQuillmarkForm::ShowSpaceRequiredColor(TColor color) {
  // The box is read-only: its state colours would put the read-only colour back the moment the
  // pointer passes over it or the focus moves, so the result colour is every state's colour.
  SpaceRequiredEdit->SetColor(color);
  SpaceRequiredEdit->SetFocusColor(color);
  SpaceRequiredEdit->SetReadOnlyColor(color);
}

double TQuillmarkForm::StaveTop(int n) const { return ::StaveTop(Layout(), n); }

void TQuillmarkForm::DrawStave(double top) {
  const TStaveLayout l = Layout();
  for (int k = 0; k < 5; ++k) {
    int y = StaveLineY(l, top, k, TwipsPerMM);
    PreviewForm->MoveTo(0, y);
    PreviewForm->LineTo(PageWidth, y);
  }
}

void TQuillmarkForm::TakePageMeasurement() {
  TwipsPerMM = PreviewForm->TwipsPerMM();
  PageLength = PreviewForm->PageHeight();
  PageWidth = PreviewForm->PageWidth();
  PageLengthEdit->SetValue(static_cast<Extended>(PageLength) / TwipsPerMM);
}

void TQuillmarkForm::ApplyOrientation(int index) {
  PreviewForm->SetOrientation(OrientationOfIndex(index));
  TakePageMeasurement();
  Recalculate();
}

// ---- Event handlers ----

void TQuillmarkForm::FormCreate(TObject*) {
  Activated = false;
  EnvironmentUnitInitialization(Application->Handle());
  IniPath = Environment.UserAppDataPath + u"Korv\\Quillmark\\";
  if (!SettingsFolderKnown()) return;
  // A folder that cannot be made shows at exit, when the settings cannot be written.
  try {
    ForceDirectories(IniPath);
  } catch (const Exception&) {
  }
}

bool TQuillmarkForm::SettingsFolderKnown() const {
  // Without the per-user folder the path would be relative, and the settings would be read from
  // and written into whatever folder the program was started in.
  return !Environment.UserAppDataPath.empty();
}

void TQuillmarkForm::FormActivate(TObject*) {
  if (Activated) return;
  Activated = true;
  const TQuillmarkSettings defaults = ControlSettings();
  TQuillmarkSettings s = defaults;
  if (SettingsFolderKnown()) {
    TIniFile ini(IniPath + kSettingsFileName);
    s = ReadQuillmarkSettings(ini, defaults);
  }
  // A text that names no item would leave no item chosen and the page silently landscape.
  if (OrientationComboBox->Items()->IndexOf(s.Orientation) >= 0)
    OrientationComboBox->SetText(s.Orientation);
  TopMarginSpin->SetValue(s.TopMargin);
  StavesSpin->SetValue(s.Staves);
  GroupsSpin->SetValue(s.Groups);
  StaveHeightSpin->SetValue(s.StaveHeight);
  GapHeightSpin->SetValue(s.GapHeight);
  LineWidthSpin->SetValue(s.LineWidth);
  ApplyOrientation(OrientationComboBox->ItemIndex());
}

void TQuillmarkForm::FormDestroy(TObject*) { SaveSettings(SessionEndRequested()); }

TQuillmarkSettings TQuillmarkForm::ControlSettings() {
  TQuillmarkSettings s;
  s.Orientation = OrientationComboBox->Text();
  s.TopMargin = static_cast<int>(Trunc(TopMarginSpin->Value()));
  s.Staves = static_cast<int>(Trunc(StavesSpin->Value()));
  s.Groups = static_cast<int>(Trunc(GroupsSpin->Value()));
  s.StaveHeight = StaveHeightSpin->Value();
  s.GapHeight = GapHeightSpin->Value();
  s.LineWidth = LineWidthSpin->Value();
  return s;
}

void TQuillmarkForm::SaveSettings(bool toStandardError) {
  // Before the first activation the controls hold the description's values, not the user's:
  // writing them would replace the stored settings with defaults nobody saw.
  if (!Activated) return;
  try {
    const String file = IniPath + kSettingsFileName;
    if (!SettingsFolderKnown())
      throw EIniFileException(Format(u"Unable to write to %s", {FromUtf8(ToOsPath(file))}));
    TIniFile ini(file);
    WriteQuillmarkSettings(ini, ControlSettings());
  } catch (const Exception& e) {
    gSettingsLost = true;
    if (!toStandardError) throw;
    std::fprintf(stderr, "quillmark: %s\n", ToUtf8(e.Message()).c_str());
  }
}

int QuillmarkExitStatus() { return gSettingsLost ? 1 : 0; }

void TQuillmarkForm::OrientationComboBoxChange(TObject*) {
  if (ComponentState().Contains(csLoading) || !PreviewForm) return;
  ApplyOrientation(OrientationComboBox->ItemIndex());
}

void TQuillmarkForm::StavesSpinChange(TObject*) { Recalculate(); }
void TQuillmarkForm::GroupsSpinChange(TObject*) { Recalculate(); }
void TQuillmarkForm::StaveHeightSpinChange(TObject*) { Recalculate(); }
void TQuillmarkForm::GapHeightSpinChange(TObject*) { Recalculate(); }
void TQuillmarkForm::LineWidthSpinChange(TObject*) { Recalculate(); }
void TQuillmarkForm::TopMarginSpinChange(TObject*) { Recalculate(); }

void TQuillmarkForm::Button1Click(TObject*) {
  PreviewForm->begindoc(OrientationOfIndex(OrientationComboBox->ItemIndex()), true);
  // begindoc has just measured the current printer; the print dialog may have chosen another
  // one since the last orientation step, and lines drawn to the old width would miss the page.
  TakePageMeasurement();
  Recalculate();
  PreviewForm->LineWidth(LineWidthTwips(LineWidthSpin->Value(), TwipsPerMM));
  for (int i = 1; i <= NStaves; ++i) DrawStave(StaveTop(i));
  PreviewForm->enddoc();
}

// ---- Registration ----

void RegisterQuillmarkClasses() {
  static const bool registered = [] {
    RegisterClassLibrary();
    RegisterPreviewClasses();
    RegisterRzEditClasses();
    RegisterRzSpnEdtClasses();
    Published<TQuillmarkForm>(u"TQuillmarkForm", u"TForm")
        .Creatable()
        .Field(u"StavesSpin", &TQuillmarkForm::StavesSpin)
        .Field(u"GroupsSpin", &TQuillmarkForm::GroupsSpin)
        .Field(u"StaveHeightSpin", &TQuillmarkForm::StaveHeightSpin)
        .Field(u"LineWidthSpin", &TQuillmarkForm::LineWidthSpin)
        .Field(u"OrientationComboBox", &TQuillmarkForm::OrientationComboBox)
        .Field(u"Button1", &TQuillmarkForm::Button1)
        .Field(u"PageLengthEdit", &TQuillmarkForm::PageLengthEdit)
        .Field(u"GapHeightSpin", &TQuillmarkForm::GapHeightSpin)
        .Field(u"SpaceRequiredEdit", &TQuillmarkForm::SpaceRequiredEdit)
        .Field(u"TopMarginSpin", &TQuillmarkForm::TopMarginSpin)
        .Field(u"Edit1", &TQuillmarkForm::Edit1)
        .Field(u"Label1", &TQuillmarkForm::Label1)
        .Field(u"Label2", &TQuillmarkForm::Label2)
        .Field(u"Label3", &TQuillmarkForm::Label3)
        .Field(u"Label4", &TQuillmarkForm::Label4)
        .Field(u"Label5", &TQuillmarkForm::Label5)
        .Field(u"Label6", &TQuillmarkForm::Label6)
        .Field(u"Label7", &TQuillmarkForm::Label7)
        .Method(u"FormCreate", &TQuillmarkForm::FormCreate)
        .Method(u"FormActivate", &TQuillmarkForm::FormActivate)
        .Method(u"FormDestroy", &TQuillmarkForm::FormDestroy)
        .Method(u"OrientationComboBoxChange", &TQuillmarkForm::OrientationComboBoxChange)
        .Method(u"StavesSpinChange", &TQuillmarkForm::StavesSpinChange)
        .Method(u"GroupsSpinChange", &TQuillmarkForm::GroupsSpinChange)
        .Method(u"StaveHeightSpinChange", &TQuillmarkForm::StaveHeightSpinChange)
        .Method(u"GapHeightSpinChange", &TQuillmarkForm::GapHeightSpinChange)
        .Method(u"LineWidthSpinChange", &TQuillmarkForm::LineWidthSpinChange)
        .Method(u"TopMarginSpinChange", &TQuillmarkForm::TopMarginSpinChange)
        .Method(u"Button1Click", &TQuillmarkForm::Button1Click);
    return true;
  }();
  (void)registered;
}

void StartQuillmarkApplication() {
  gSettingsLost = false;
  RzCommonInit();
  EnvironmentUnitInitialization(Application->Handle());
  RegisterQuillmarkClasses();
  Application->Initialize();
  Application->SetMainFormOnTaskBar(true);
  Application->CreateForm(QuillmarkForm);
  Application->CreateForm(PreviewForm);
}
