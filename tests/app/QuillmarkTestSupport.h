#pragma once
// The program as its entry starts it, without the message loop: the main window and the preview
// window created by the application, in a sandboxed home, with the built-in PDF printer on A4
// as the only printer.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Forms.h"
#include "KorPrev.h"
#include "QuillmarkUnit.h"
#include "TestSupport.h"

class QuillmarkTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The entry's steps up to the message loop.
  void Start();
  // Shows the main window and lets it be activated, as Run does.
  void ShowMain();
  // The end: the windows are destroyed (settings written); messages boxes are collected.
  void End();

  // The settings file and its folder, in the operating system's form.
  std::string SettingsFolder() const;
  std::string SettingsFile() const { return SettingsFolder() + "/Quillmark.ini"; }
  void WriteSettings(const std::string& text) const;
  std::string ReadSettings() const;

  // The texts of the numeric boxes as shown.
  std::string SpaceText() const;
  std::string PageText() const;

  SandboxedHome home;
  // A4 for the PDF printer, whatever the machine's locale.
  ScopedEnv paper{"LC_ALL", "en_GB.UTF-8"};
  TQuillmarkForm* form = nullptr;
  std::vector<std::string> messageBoxes;
  bool ended = false;
};

// Runs a shell script beside the real program under Xvfb (a free display, 1024 x 768, no window
// manager) in a home of its own under folder: the script finds the executable in $EXE and the
// folder in $T. Returns the script's exit status, -1 when it did not exit.
int RunUnderXvfb(const std::string& folder, const std::string& script);
