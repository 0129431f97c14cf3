// Draws the print preview into PNG files for a person to look at: the speed buttons' glyphs
// eight times enlarged, the tool bar in the classic and the themed look (three times), and,
// under a display, the window at 100 % and at 35 % and with the print dialog over it.
// scripts/preview-shots.sh builds it and runs it under Xvfb.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ExtCtrls.h"
#include "Forms.h"
#include "HostWindows.h"
#include "KorPrev.h"
#include "PngFile.h"
#include "PreviewGlyphs.h"
#include "PrintDialogs.h"
#include "StdCtrls.h"
#include "Themes.h"
#include "UserDriver.h"

namespace {

const char16_t* const kButtons[] = {
    u"SBZoomIn",   u"SBZoomOut",  u"SBZoomPageWidth", u"SBZoomPage", u"SBFirstPage",
    u"SBPrevPage", u"SBNextPage", u"SBLastPage",      u"SBPrint",    u"SBDone"};

std::string gFolder;
int gFailures = 0;

void Save(TBitmap* bitmap, const std::string& name, int scale = 1) {
  const std::string path = gFolder + "/" + name;
  if (SaveBitmapPng(bitmap, path, scale)) {
    std::printf("%s\n", path.c_str());
  } else {
    std::fprintf(stderr, "preview_shots: cannot write %s\n", path.c_str());
    ++gFailures;
  }
}

void Pump(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    Application->ProcessMessages();
    if (UserGetHostDriver()) UserGetHostDriver()->ProcessEvents(10);
  }
}

void Shoot(const std::string& name) {
  const TRect r = Screen->DesktopRect();
  std::vector<std::uint32_t> pixels;
  if (!HostGrabScreenForTesting(r, &pixels)) {
    std::fprintf(stderr, "preview_shots: the screen cannot be read for %s\n", name.c_str());
    ++gFailures;
    return;
  }
  TBitmap shot(RectWidth(r), RectHeight(r));
  for (int y = 0; y < RectHeight(r); ++y)
    for (int x = 0; x < RectWidth(r); ++x) {
      const std::uint32_t p = pixels[static_cast<std::size_t>(y) * RectWidth(r) + x];
      // 0x00RRGGBB to the platform's 0x00BBGGRR.
      shot.Canvas()->SetPixels(
          x, y, static_cast<TColor>(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF)));
    }
  Save(&shot, name);
}

void Glyphs() {
  TBitmap sheet(2 * PreviewGlyphSize + 4, 10 * (PreviewGlyphSize + 4));
  sheet.Canvas()->Brush()->SetColor(clBtnFace);
  sheet.Canvas()->FillRect(Rect(0, 0, sheet.Width(), sheet.Height()));
  int y = 2;
  for (const char16_t* name : kButtons) {
    auto glyph = PreviewGlyph(name);
    glyph->SetTransparent(true);
    sheet.Canvas()->Draw(2, y, glyph.get());
    y += PreviewGlyphSize + 4;
  }
  Save(&sheet, "preview-glyphs.png", 8);
}

// A page of staves with a title and a frame, and an empty second page.
void Document(TPreviewForm* f) {
  f->begindoc(oPortrait, true);
  f->FontName(u"Arial");
  f->FontSize(16);
  f->CentreText(f->PageWidth() / 2, 300, u"Quillmark staff paper");
  for (int staff = 0; staff < 6; ++staff)
    for (int line = 0; line < 5; ++line) {
      const int y = 1200 + staff * 1600 + line * 142;
      f->MoveTo(0, y);
      f->LineTo(f->PageWidth(), y);
    }
  f->LineWidth(45);
  f->DrawBox(0, 0, f->PageWidth(), f->PageHeight());
  f->NewPage();
  f->enddoc();
}

void Toolbars() {
  for (bool themed : {false, true}) {
    SetThemesEnabledForTesting(themed);
    CreatePreviewApplication();
    Document(PreviewForm);
    TPanel* bar = PreviewForm->Panel2;
    TBitmap bitmap(bar->Width(), bar->Height());
    bar->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
    Save(&bitmap, themed ? "toolbar-themed.png" : "toolbar-classic.png", 3);
    ResetPreviewForTesting();
  }
  SetThemesEnabledForTesting(true);
}

void Screenshots() {
  UserSetHostDriver(HostQtWindowDriver());
  CreatePreviewApplication();
  TPreviewForm* f = PreviewForm;
  Document(f);
  Pump(800);
  Shoot("preview-100.png");
  f->ZoomComboBox->SetItemIndex(0);
  f->ZoomComboBoxChange(f->ZoomComboBox);
  Pump(500);
  Shoot("preview-35.png");
  // The print dialog over it, shot from the modal-loop hook, then cancelled.
  ModalLoopHook previous = SetModalLoopHook([&](HWND w) {
    TForm* dialog = f->PrintDialog->Form();
    if (!dialog || w != dialog->Handle()) return;
    Pump(400);
    Shoot("preview-print-dialog.png");
    static_cast<TButton*>(dialog->FindComponent(u"CancelButton"))->Click();
  });
  f->SBPrintClick(nullptr);
  SetModalLoopHook(previous);
  ResetPreviewForTesting();
}

// The settings and the print dialog's documents folder go to a temporary home, removed at the
// end, so a run leaves nothing in the user's own.
class TemporaryHome {
 public:
  TemporaryHome() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "preview-shots.XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return;
    path_ = tmpl;
    setenv("HOME", path_.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (path_ + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (path_ + "/data").c_str(), 1);
    setenv("KORV_COMMON_APPDATA", (path_ + "/common").c_str(), 1);
  }
  ~TemporaryHome() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  bool ok() const { return !path_.empty(); }

 private:
  std::string path_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: preview_shots <folder>\n");
    return 2;
  }
  gFolder = argv[1];
  std::error_code made;
  std::filesystem::create_directories(gFolder, made);
  // Without a display only what needs no screen is drawn.
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const bool display = std::getenv("DISPLAY") && (!platform || std::strcmp(platform, "offscreen"));
  if (!display) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  TemporaryHome home;
  if (!home.ok()) {
    std::fprintf(stderr, "preview_shots: no temporary folder\n");
    return 1;
  }
  Glyphs();
  Toolbars();
  if (display) Screenshots();
  else std::fprintf(stderr, "preview_shots: no display, so no screenshots\n");
  return gFailures ? 1 : 0;
}
