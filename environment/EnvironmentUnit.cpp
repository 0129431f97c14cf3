#include "EnvironmentUnit.h"

#include <memory>
#include <string>

#include "DateTime.h"
#include "Files.h"
#include "IniFiles.h"
#include "Registry.h"
#include "SpecialFolderUnit.h"
#include "SysInfo.h"
#include "genutils.h"

TEnvironment Environment;

namespace {

#define KORV_STR2(x) #x
#define KORV_STR(x) KORV_STR2(x)
#if defined(__clang__)
constexpr const char* kCompiler = "CLG" KORV_STR(__clang_major__);
#else
constexpr const char* kCompiler = "GCC" KORV_STR(__GNUC__);
#endif
static_assert(std::char_traits<char>::length(kCompiler) == 5, "the build tag is five characters");

// A value beginning with "$" is relative to the executable's folder.
String ApplyDollarRule(const String& value) {
  if (!value.empty() && value[0] == u'$') return JoinPath(Environment.ExePath, value.substr(1));
  return value;
}

// Cuts a registered open command after the first ".exe"; a command without it stays whole.
String CutAfterExe(const String& command, bool closeQuote) {
  int p = Pos(u".exe", command);
  if (p == 0) return command;
  String r = Copy(command, 1, p + 3);
  if (closeQuote) r += u'"';
  return r;
}

String ReadOpenCommand(TRegistry& reg, const String& key) {
  // Both look-ups start at the root: a key left open by the first would make the second
  // path relative to it, and the second program would never be found.
  reg.CloseKey();
  if (!reg.OpenKey(key, false)) return String();
  return reg.ReadString(u"");
}

}  // namespace

String JoinPath(const String& base, const String& relative) {
  if (base.empty()) return relative;
  String b = AddTrailingBackslash(base);
  if (relative.empty()) return b;
  // Exactly one leading "\" is dropped; a second one stays.
  return b + (relative[0] == u'\\' ? relative.substr(1) : relative);
}

String FindSpreadsheetProgram() {
  auto reg = std::make_unique<TRegistry>(KEY_READ);
  reg->SetRootKey(HKEY_LOCAL_MACHINE);
  String candidate = CutAfterExe(
      ReadOpenCommand(*reg, u"software\\classes\\applications\\excel.exe\\shell\\open\\command"),
      false);
  if (candidate.empty()) {
    candidate = CutAfterExe(
        ReadOpenCommand(*reg, u"software\\classes\\applications\\scalc.exe\\shell\\open\\command"),
        true);
  }
  return candidate;
}

void InitEnvironment(std::uint32_t handle) {
  if (!Environment.ExePath.empty()) return;
  Environment.Handle = handle;
  String exe = GetExeName();
  Environment.ExePath = ExtractFilePath(exe);
  Environment.ExeFile = ExtractFileName(exe);

  TSearchRec rec;
  if (FindFirst(Environment.ExePath + Environment.ExeFile, faAnyFile, rec) == 0)
    Environment.ExeDate = FormatDateTime(u"yyyymmdd:hhmm", rec.TimeStamp);
  else Environment.ExeDate.clear();

  auto ini = std::make_unique<TIniFile>(Environment.ExePath + u"Environment.ini");
  // Each default is looked up (and its folder created) whether or not the key is present.
  String common = GetCommonAppDataFolder(handle);
  Environment.CommonAppDataPath = ApplyDollarRule(
      AddTrailingBackslash(ini->ReadString(u"Paths", u"CommonAppDataPath", common)));
  String user = GetUserAppDataFolder(handle);
  Environment.UserAppDataPath =
      ApplyDollarRule(AddTrailingBackslash(ini->ReadString(u"Paths", u"UserAppDataPath", user)));
  ForceDirectories(Environment.CommonAppDataPath + u"Korv\\Calderix");
  // Documents follow the same key: an override moves both folders together.
  String docs = GetMyDocumentsFolder(handle);
  Environment.MyDocuments =
      ApplyDollarRule(AddTrailingBackslash(ini->ReadString(u"Paths", u"UserAppDataPath", docs)));
  Environment.EXCELPath = FindSpreadsheetProgram();

  Char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  Environment.ComputerName = GetComputerNameW(name, &size) ? String(name) : String();
  Environment.Compiler = FromUtf8(kCompiler);
}

void EnvironmentUnitInitialization(std::uint32_t applicationHandle) {
  InitEnvironment(applicationHandle);
}

void ResetEnvironmentForTesting() { Environment = TEnvironment(); }
