#include "QuillmarkTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ClassLibTestSupport.h"
#include "EnvironmentUnit.h"
#include "Printers.h"
#include "RzEdit.h"
#include "RzSpnEdt.h"
#include "SessionEnd.h"
#include "User.h"
#include "UserDriver.h"

void QuillmarkTest::SetUp() {
  UserSetHostDriver(nullptr);
  UserResetForTesting();
  ResetEnvironmentForTesting();
  // No printers beside the built-in PDF printer.
  SetPrinterDriverForTesting(std::make_unique<FakePrinterDriver>(std::vector<TPrinterDevice>{}));
  Printer()->SetPrinterIndex(0);
  Printer()->SetOrientation(poPortrait);
}

void QuillmarkTest::Start() {
  StartQuillmarkApplication();
  form = QuillmarkForm;
  TApplication::SetMessageBoxHandler([this](HWND, const String& text, const String&, UINT) {
    messageBoxes.push_back(ToUtf8(text));
    return IDOK;
  });
}

void QuillmarkTest::ShowMain() {
  form->Show();
  Application->ProcessMessages();
}

void QuillmarkTest::End() {
  ended = true;
  DoneApplication();
  form = nullptr;
}

void QuillmarkTest::TearDown() {
  ResetPreviewForTesting();
  QuillmarkForm = nullptr;
  UserResetForTesting();
  ResetEnvironmentForTesting();
  SetPrinterDriverForTesting(nullptr);
}

std::string QuillmarkTest::SettingsFolder() const {
  return home.dir().os() + "/home/.config/Korv/Quillmark";
}

void QuillmarkTest::WriteSettings(const std::string& text) const {
  std::filesystem::create_directories(SettingsFolder());
  std::ofstream(SettingsFile(), std::ios::binary) << text;
}

std::string QuillmarkTest::ReadSettings() const {
  std::ifstream in(SettingsFile(), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string QuillmarkTest::SpaceText() const { return ToUtf8(form->SpaceRequiredEdit->Text()); }
std::string QuillmarkTest::PageText() const { return ToUtf8(form->PageLengthEdit->Text()); }

int RunUnderXvfb(const std::string& t, const std::string& script) {
  const std::string command =
      "env -u DISPLAY -u WAYLAND_DISPLAY HOME=" + ShellQuote(t + "/home") +
      " XDG_CONFIG_HOME=" + ShellQuote(t + "/home/.config") +
      " XDG_DATA_HOME=" + ShellQuote(t + "/home/.local/share") +
      " KORV_COMMON_APPDATA=" + ShellQuote(t + "/common") +
      " LC_ALL=en_GB.UTF-8 QT_QPA_PLATFORM=xcb EXE=" + ShellQuote(QUILLMARK_EXE) +
      " T=" + ShellQuote(t) + " " + XvfbRun() + " sh -c " + ShellQuote(script) + " >/dev/null 2>&1";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
