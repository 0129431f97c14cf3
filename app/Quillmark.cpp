// The program entry: the unit initialisations, the application with the main window first and
// the preview window second, the message loop, and the end (settings written) before the host
// goes away. The command line is not read.
#include <cstdio>
#include <cstdlib>

#include "Forms.h"
#include "ProgramIdentity.h"
#include "QuillmarkUnit.h"
#include "SessionEnd.h"

// fontconfig and D-Bus (under a real display) keep caches for the life of the process.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\nleak:libdbus-1\n";
}

int main() {
  SetProgramName("quillmark");  // the desktop entry's name: window class, application id
  const char* message = nullptr;
  if (!DisplayAvailable(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                        std::getenv("WAYLAND_DISPLAY"), "/tmp/.X11-unix", &message)) {
    std::fprintf(stderr, "%s\n", message);
    return 1;
  }
  InstallSessionEndHandlers();

  StartQuillmarkApplication();
  CreateSessionEndWatch(Application);
  Application->Run();

  DoneApplication();
  return 0;
}
