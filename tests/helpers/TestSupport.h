#pragma once
// Shared test helpers: temporary folders, scoped environment variables and exception messages.
#include <functional>
#include <optional>
#include <string>
#include <vector>

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
// The whole file (operating-system path); empty when it cannot be read.
std::string ReadFile(const std::string& path);
// s as one word of a shell command line.
std::string ShellQuote(const std::string& s);
// "xvfb-run" with a free display of 1024 x 768 at 24 bits, looked for from a number of this
// process's own, so that tests running side by side do not race for the same display.
std::string XvfbRun();

// Runs this test program again for the tests filter names, after prefix (a command such as
// "env QT_SCALE_FACTOR=2", which runs it), its output thrown away: for a test that needs a
// process of its own. Its exit status, -1 when it did not end normally.
int RunSelf(const std::string& prefix, const std::string& filter);

// Runs F in a forked child that an alarm ends after Seconds, so a call that would block for
// ever (a FIFO opened for reading) fails the test instead of hanging it. Returns what F
// returned (empty when all was well), or how the child ended when it did not return.
std::string InChild(unsigned seconds, const std::function<std::string()>& f);

// What can stand where a settings file is expected, each made real: a FIFO, a symbolic link to
// /dev/zero, a bound AF_UNIX socket, a folder, and a (sparse) file one byte over 16 MB.
enum class NotASettingsFile { Fifo, LinkToDevZero, Socket, Folder, Oversized };
constexpr NotASettingsFile kNotSettingsFiles[] = {
    NotASettingsFile::Fifo, NotASettingsFile::LinkToDevZero, NotASettingsFile::Socket,
    NotASettingsFile::Folder, NotASettingsFile::Oversized};
const char* NameOf(NotASettingsFile kind);
// Makes one at Path (operating-system form); false when it could not be made.
bool MakeNotASettingsFile(NotASettingsFile kind, const std::string& path);
// What stands at Path now, described as NameOf does, "regular file" or "missing": a test checks
// that nothing replaced it.
std::string KindAt(const std::string& path);

// Counts the renames onto a name in a folder (inotify), each the mark of a file replaced whole:
// how many times a file was written, whatever process wrote it.
class RenameCounter {
 public:
  explicit RenameCounter(const std::string& folder);
  ~RenameCounter();
  RenameCounter(const RenameCounter&) = delete;
  RenameCounter& operator=(const RenameCounter&) = delete;
  // Renames onto Name since the counter was made.
  int Count(const std::string& name);

 private:
  int fd_ = -1;
  std::vector<std::string> names_;
};
