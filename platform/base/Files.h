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

// Whole-file reading; false when the file cannot be read.
bool ReadFileBytes(const String& path, std::string& bytes);
// Writes a temporary file beside Path and renames it over, so a failed or interrupted write
// leaves the previous file whole; false on failure with nothing left behind.
bool WriteFileReplacing(const String& path, const std::string& bytes);

// Makes the next WriteFileReplacing calls fail half-way, as a full disk would.
void SetWriteFailureForTesting(bool fail);
