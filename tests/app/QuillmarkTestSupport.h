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
