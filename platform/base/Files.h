#pragma once
// Paths, files and folders. Paths are kept in the platform's form with "\" as delimiter;
// "/" is accepted too, and "\" becomes "/" on the way to the operating system.
#include <cstdint>
#include <ctime>
#include <string>

#include "DateTime.h"
#include "Strings.h"

constexpr Char PathDelim = u'\\';

bool IsPathDelimiter(Char c);
// Operating-system form (UTF-8, "/" delimiters) and back.
std::string ToOsPath(const String& path);
String FromOsPath(const std::string& osPath);

String ExtractFilePath(const String& path);  // folder with its trailing delimiter
String ExtractFileDir(const String& path);   // folder without it
String ExtractFileName(const String& path);
String ExtractFileExt(const String& path);  // with the dot; empty when none
String ChangeFileExt(const String& path, const String& ext);
String IncludeTrailingPathDelimiter(const String& path);
String ExcludeTrailingPathDelimiter(const String& path);
String ExpandFileName(const String& path);
String GetCurrentDir();

bool FileExists(const String& path);
bool DirectoryExists(const String& path);
bool CreateDir(const String& path);
// Creates the folder and every missing parent; false when an empty path is given or a part
// cannot be created.
bool ForceDirectories(const String& path);
bool DeleteFile(const String& path);
bool RenameFile(const String& from, const String& to);

constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02;
constexpr int faSysFile = 0x04;
constexpr int faVolumeID = 0x08;
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;
constexpr int faNormal = 0x80;
constexpr int faTemporary = 0x100;
constexpr int faAnyFile = 0x1FF;

struct TSearchRec {
  String Name;
  std::int64_t Size = 0;
  int Attr = 0;
  TDateTime TimeStamp = 0;  // last write, local time
};

// Finds the first entry matching Path (wildcards "*" and "?" in its name part) whose
// attributes fit Attr; 0 on success, else a platform error code.
int FindFirst(const String& path, int attr, TSearchRec& found);

// Why a file could not be read or written, in words a message can give: the system's own
// ("Permission denied", "No space left on device") or, where the system has none, ours ("not a
// regular file but a named pipe").
struct TFileError {
  int code = 0;           // the errno value; 0 while nothing failed
  bool notAFile = false;  // a FIFO, device, socket or folder, refused without being opened
  String reason;
  // Nothing there to read: a new file may be written in its place.
  bool Missing() const;
};

// How a message shows a path: as the system names it ("/home/ann/.config/..."), never in the
// internal "\" form.
String DisplayPath(const String& path);
// The system's words for an errno value ("Permission denied").
String SystemErrorText(int code);

// The largest file the whole-file reader takes unless told otherwise: settings, INI and
// registry files are far smaller, and reading a huge one would only exhaust memory.
constexpr std::int64_t kMaxSettingsFileSize = std::int64_t(16) << 20;

// Whole-file reading of a regular file of at most Limit bytes; false when it cannot be read,
// with the reason in Error. A FIFO, device, socket or folder is refused at once, never waited
// on or read to its end: it is opened without blocking and judged by the opened descriptor.
bool ReadFileBytes(const String& path, std::string& bytes, TFileError* error = nullptr,
                   std::int64_t limit = kMaxSettingsFileSize);
// Writes a temporary file beside the file and renames it over, so a failed or interrupted write
// leaves the previous file whole; false on failure with nothing left behind and the reason in
// Error (errno is set too). A symbolic link stays a link: its target is replaced. A dangling
// link, a link loop, or a target that is not a regular file is refused and left alone.
// Temporaries are named "<name>.korv-tmp-<pid>-XXXXXX"; those of writers that are gone are
// removed by the next write beside them. A file-size limit fails the write (EFBIG) rather
// than ending the process: the first write sets SIGXFSZ to be ignored, unless the program
// handles it itself.
bool WriteFileReplacing(const String& path, const std::string& bytes, TFileError* error = nullptr);
// Sets SIGXFSZ to be ignored when it has its default action (which ends the process), so a
// write past a file-size limit fails with EFBIG. Once per process; writers call it.
void IgnoreFileSizeSignal();

// Makes the next WriteFileReplacing calls fail half-way, as a full disk would.
void SetWriteFailureForTesting(bool fail);
// Makes the next ReadFileBytes calls fail on a file that is there, as permission bits would
// for anyone but root.
void SetReadFailureForTesting(bool fail);
