#include "TestSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "Files.h"

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "korvtest-XXXXXX").string();
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
  path_ = buf.data();
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

String TempDir::path() const { return FromOsPath(path_ + "/"); }

String TempDir::write(const std::string& name, const std::string& bytes) const {
  std::filesystem::path p = std::filesystem::path(path_) / name;
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
  return FromOsPath(p.string());
}

std::string TempDir::read(const std::string& name) const {
  std::ifstream in(std::filesystem::path(path_) / name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
  if (const char* v = std::getenv(name)) old_ = v;
  if (value) setenv(name, value->c_str(), 1);
  else unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
  if (old_) setenv(name_.c_str(), old_->c_str(), 1);
  else unsetenv(name_.c_str());
}

SandboxedHome::SandboxedHome()
    : home_("HOME", dir_.os() + "/home"),
      config_("XDG_CONFIG_HOME", dir_.os() + "/home/.config"),
      data_("XDG_DATA_HOME", dir_.os() + "/home/.local/share"),
      common_("KORV_COMMON_APPDATA", dir_.os() + "/common") {}

int RunCommand(const std::string& command, std::string* out) {
  FILE* p = popen(command.c_str(), "r");
  if (!p) return -1;
  std::string text;
  char buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
  int status = pclose(p);
  if (out) *out = text;
  return status;
}

bool HaveTool(const char* name) {
  return RunCommand(std::string("command -v ") + name + " >/dev/null 2>&1") == 0;
}

std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}
