// The program entry: the unit initialisations, the application with the main window first and
// the preview window second, the message loop, and the end (settings written) before the host
// goes away. The command line is not read.
#include <cstdio>

#include "Display.h"
#include "Forms.h"
#include "ProgramIdentity.h"
#include "QuillmarkUnit.h"
#include "SessionEnd.h"
#include "UserDriver.h"

int main() {
  SetProgramName("quillmark");  // the desktop entry's name: window class, application id
  const char* message = nullptr;
  if (!DisplayAvailable(ProcessDisplayEnvironment(), &message)) {
    std::fprintf(stderr, "%s\n", message);
    return 1;
  }
  InstallSessionEndHandlers();
  // The windows are gone with the display; what the user set is not.
  UserSetDisplayLostHandler([] {
    if (QuillmarkForm) QuillmarkForm->SaveSettings(true);
  });

  StartQuillmarkApplication();
  WatchSessionEnd();
  Application->Run();

  DoneApplication();
  return QuillmarkExitStatus();
}
