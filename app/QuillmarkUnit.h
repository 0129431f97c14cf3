#pragma once
// The main window: the settings of one page of staves in millimetres, the space they need
// against the printable page length, the settings file, and the "Preview" sequence that draws
// the page through the preview window.
#include "Forms.h"
#include "QuillmarkSettings.h"
#include "StaveLayout.h"

class TRzSpinEdit;
class TRzNumericEdit;
class TComboBox;
class TButton;
class TEdit;
class TLabel;

class TQuillmarkForm : public TForm {
 public:
  explicit TQuillmarkForm(TComponent* owner);
  ~TQuillmarkForm() override;
  String ClassName() const override;

  // ---- Event handlers ----
  void FormCreate(TObject* Sender);
  void FormActivate(TObject* Sender);
  void FormDestroy(TObject* Sender);
  void OrientationComboBoxChange(TObject* Sender);
  void StavesSpinChange(TObject* Sender);
  void GroupsSpinChange(TObject* Sender);
  void StaveHeightSpinChange(TObject* Sender);
  void GapHeightSpinChange(TObject* Sender);
  void LineWidthSpinChange(TObject* Sender);
  void TopMarginSpinChange(TObject* Sender);
  void Button1Click(TObject* Sender);

  // ---- Layout fields (set by the orientation step and Recalculate) ----
  double TwipsPerMM = 0;
  int PageLength = 0;  // twips
  int PageWidth = 0;   // twips
  double SpaceRequired = 0;
  int NStaves = 0;
  double StaveH = 0;
  double GapH = 0;
  double GroupGap = 0;
  int GroupStaves = 0;
  int TopMargin = 0;

  bool Activated = false;
  String IniPath;  // the settings folder, ending in "\"

  // ---- Controls of the window description ----
  TRzSpinEdit* StavesSpin = nullptr;
  TRzSpinEdit* GroupsSpin = nullptr;
  TRzSpinEdit* StaveHeightSpin = nullptr;
  TRzSpinEdit* LineWidthSpin = nullptr;
  TComboBox* OrientationComboBox = nullptr;
  TButton* Button1 = nullptr;
  TRzNumericEdit* PageLengthEdit = nullptr;
  TRzSpinEdit* GapHeightSpin = nullptr;
  TRzNumericEdit* SpaceRequiredEdit = nullptr;
  TRzSpinEdit* TopMarginSpin = nullptr;
  TEdit* Edit1 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label3 = nullptr;
  TLabel* Label4 = nullptr;
  TLabel* Label5 = nullptr;
  TLabel* Label6 = nullptr;
  TLabel* Label7 = nullptr;

  // The page of staves the layout fields describe (also what the tests draw).
  TStaveLayout Layout() const;

  // The controls' values as the settings file holds them.
  TQuillmarkSettings ControlSettings();
  // Writes them to the settings file, from the first activation on. When they cannot be
  // written the exit status says so, and the message goes to the user (raised), or with
  // toStandardError to standard error: while the session ends or after the display went away,
  // nobody is there to answer a message box and waiting on one would hold up the logout.
  void SaveSettings(bool toStandardError);

 private:
  void Recalculate();
  double StaveTop(int n) const;
  void DrawStave(double top);
  void ApplyOrientation(int index);
  bool SettingsFolderKnown() const;
  // Takes the page the preview engine measured last and shows its length.
  void TakePageMeasurement();
  // Shows the space-required colour as its own, so the edit's state colours keep it.
  void ShowSpaceRequiredColor(TColor color);
};

// The one main window, owned by the application.
extern TQuillmarkForm* QuillmarkForm;

// The classes the program's window descriptions name: the class library's, the component
// library's, the preview's and the main window's.
void RegisterQuillmarkClasses();

// The start-up up to the message loop, in its order: the component library's colour-scheme
// detection and the environment record (with the application's window) before any window, the
// application object on the task bar, the main window first and the preview window second.
void StartQuillmarkApplication();

// The program's exit status: 1 when the settings could not be written, else 0.
int QuillmarkExitStatus();
