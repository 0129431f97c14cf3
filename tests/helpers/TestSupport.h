#pragma once
// Shared test helpers: temporary folders, scoped environment variables and exception messages.
#include <optional>
#include <string>

#include "Exceptions.h"
#include "Strings.h"

// The message of the E that f raises; "<no exception>" when it raises none.
template <class E, class F>
String MessageOf(F&& f) {
  try {
    f();
  } catch (const E& e) {
    return e.Message();
  }
  return u"<no exception>";
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& os() const { return path_; }
  // The folder in the platform's path form, with its trailing "\".
  String path() const;
  // A file inside, written with the given bytes; returns its platform path.
  String write(const std::string& name, const std::string& bytes) const;
  std::string read(const std::string& name) const;

 private:
  std::string path_;
};

// Sets (or, with nullopt, unsets) an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value);
  ~ScopedEnv();

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// Points the per-user and common folders and the registry store at a temporary tree.
class SandboxedHome {
 public:
  SandboxedHome();
  const TempDir& dir() const { return dir_; }

 private:
  TempDir dir_;
  ScopedEnv home_, config_, data_, common_;
};

// Runs a command line; its exit status, with standard output in out.
int RunCommand(const std::string& command, std::string* out = nullptr);
// Whether a program is on PATH.
bool HaveTool(const char* name);
// s as one word of a shell command line.
std::string ShellQuote(const std::string& s);
