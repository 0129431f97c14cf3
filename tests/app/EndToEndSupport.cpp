#include "EndToEndSupport.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

bool Have(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

int RunUnderXvfb(const std::string& t, const std::string& script) {
  const std::string command =
      "env -u DISPLAY -u WAYLAND_DISPLAY HOME=" + Quote(t + "/home") +
      " XDG_CONFIG_HOME=" + Quote(t + "/home/.config") +
      " XDG_DATA_HOME=" + Quote(t + "/home/.local/share") +
      " KORV_COMMON_APPDATA=" + Quote(t + "/common") +
      " LC_ALL=en_GB.UTF-8 QT_QPA_PLATFORM=xcb EXE=" + Quote(QUILLMARK_EXE) + " T=" + Quote(t) +
      " xvfb-run -a -s '-screen 0 1024x768x24' sh -c " + Quote(script) + " >/dev/null 2>&1";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
