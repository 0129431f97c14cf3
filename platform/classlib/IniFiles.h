#pragma once
// INI files: sections of name=value lines, with typed reads that fall back to a default.
//
// Reading: sections and names match case-insensitively (ignoring surrounding blanks), the first
// section of a name is the section and the first key of a name is the key; a value loses its
// surrounding blanks and one pair of matching surrounding quotes (' or "). Lines before the
// first section, comments (";") and lines without "=" are never keys, but they are kept when
// the file is written again. Files are decoded by their byte-order mark (UTF-16 LE, UTF-16 BE,
// UTF-8), else as UTF-16 without a mark when its zero bytes say so, else as UTF-8 when the bytes
// are valid UTF-8, else as Windows-1252. Line breaks "\r\n", "\n" and "\r" are all accepted.
// Bytes that decode to zero characters are no text: such a file reads as empty and is never
// written over.
//
// Writing: a file is always replaced whole (a temporary file beside it, then a rename), so a
// failed write leaves the old file as it was and raises EIniFileException("Unable to write to
// <path as the system names it>: <why>"); a symbolic link stays a link to the file it names.
// Line breaks inside written names and values become blanks, so a value can
// never add lines or sections to the file.
#include <memory>

#include "Classes.h"
#include "DateTime.h"
#include "Files.h"
#include "Strings.h"

class TCustomIniFile : public TObject {
 public:
  explicit TCustomIniFile(const String& fileName);
  ~TCustomIniFile() override;
  String ClassName() const override;
  const String& FileName() const { return fileName_; }

  // True when ReadSection lists at least one name.
  virtual bool SectionExists(const String& section);
  // True when ReadSection lists Ident.
  virtual bool ValueExists(const String& section, const String& ident);

  virtual String ReadString(const String& section, const String& ident, const String& def) = 0;
  virtual void WriteString(const String& section, const String& ident, const String& value) = 0;
  // Decimal or "0x"/"$" hexadecimal; anything else gives Def.
  virtual int ReadInteger(const String& section, const String& ident, int def);
  virtual void WriteInteger(const String& section, const String& ident, int value);
  // An integer, non-zero being true; written as "1" or "0".
  virtual bool ReadBool(const String& section, const String& ident, bool def);
  virtual void WriteBool(const String& section, const String& ident, bool value);
  // The locale's date, date-time and time forms (FormatSettings); unreadable text gives Def.
  virtual TDateTime ReadDate(const String& section, const String& ident, TDateTime def);
  virtual TDateTime ReadDateTime(const String& section, const String& ident, TDateTime def);
  virtual TDateTime ReadTime(const String& section, const String& ident, TDateTime def);
  virtual void WriteDate(const String& section, const String& ident, TDateTime value);
  virtual void WriteDateTime(const String& section, const String& ident, TDateTime value);
  virtual void WriteTime(const String& section, const String& ident, TDateTime value);
  // The general float form with the locale's decimal separator; unreadable text gives Def.
  virtual double ReadFloat(const String& section, const String& ident, double def);
  virtual void WriteFloat(const String& section, const String& ident, double value);
  // Hexadecimal text, two digits per byte. Reading decodes the whole pairs up to the first
  // character that is not a hex digit, writes those bytes to Value at its position, leaves the
  // position where they begin and returns their count (0 for a missing value). Writing stores
  // Value's bytes from its position to its end in upper-case digits.
  virtual int ReadBinaryStream(const String& section, const String& ident, TStream* value);
  virtual void WriteBinaryStream(const String& section, const String& ident, TStream* value);

  // The key names of a section, each once, in file order (Strings is cleared first).
  virtual void ReadSection(const String& section, TStrings* strings) = 0;
  // The section names, each once, in file order.
  virtual void ReadSections(TStrings* strings) = 0;
  // "name=value" for each key of a section, as ReadString reads it.
  virtual void ReadSectionValues(const String& section, TStrings* strings) = 0;
  virtual void EraseSection(const String& section) = 0;
  virtual void DeleteKey(const String& section, const String& ident) = 0;
  virtual void UpdateFile() = 0;
  // An update: the changes between the two are made in memory and written together at the
  // outermost EndUpdate, one read and one write of the file (UpdateScope pairs them). Classes
  // that write at once anyway take the pair as a no-op.
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}

 protected:
  void SetFileName(const String& fileName) { fileName_ = fileName; }

 private:
  String fileName_;
};

namespace korv_ini {
class Document;
}

// The private-profile file: every read parses the file as it is on disk now, every change
// rewrites it at once (outside an update), in the encoding it had (a new file: UTF-8 without a
// byte-order mark; a Windows-1252 file that is given text outside that code page becomes UTF-8, so
// nothing written is lost). All other lines are kept byte for byte, their line breaks included. A
// value read is at most 2047 characters long, as the platform's read buffer holds; a missing or
// unreadable file reads as empty; a file that is there but cannot be read or decoded is never
// written over (EIniFileException saying why).
//
// Within BeginUpdate/EndUpdate the file is read once, at BeginUpdate; reads and changes use
// that copy, and the outermost EndUpdate writes it back once when something changed (UpdateFile
// writes it sooner). An EndUpdate reached while an exception leaves the scope writes nothing,
// so an update is on disk whole or not at all.
class TIniFile : public TCustomIniFile {
 public:
  explicit TIniFile(const String& fileName);
  ~TIniFile() override;
  String ClassName() const override;

  // A section exists when its header line is present, keys or not.
  bool SectionExists(const String& section) override;
  bool ValueExists(const String& section, const String& ident) override;
  String ReadString(const String& section, const String& ident, const String& def) override;
  // Replaces the first key's value in place; a new key goes at the end of its section, a new
  // section at the end of the file.
  void WriteString(const String& section, const String& ident, const String& value) override;
  void ReadSection(const String& section, TStrings* strings) override;
  void ReadSections(TStrings* strings) override;
  void ReadSectionValues(const String& section, TStrings* strings) override;
  // Removes every section of that name with all its lines; a file left unchanged is not
  // written.
  void EraseSection(const String& section) override;
  // Removes every key of that name from the section.
  void DeleteKey(const String& section, const String& ident) override;
  // Outside an update changes are on disk already; within one, writes them now.
  void UpdateFile() override;
  void BeginUpdate() override;
  void EndUpdate() override;

 private:
  korv_ini::Document Load(bool forWrite) const;
  void Save(const korv_ini::Document& doc) const;
  [[noreturn]] void ReadGuard(const TFileError& error) const;
  // Loads for writing, applies Edit and saves (or keeps in the update) when it changed something.
  template <class Edit>
  void Change(Edit&& edit);

  int updates_ = 0;
  std::unique_ptr<korv_ini::Document> batch_;
  bool batchReadable_ = true;
  bool batchChanged_ = false;
  int batchUncaught_ = 0;
  TFileError batchError_;
};

// Encodings for TMemIniFile's writes. Default is this platform's default text encoding,
// UTF-8 without a byte-order mark; UTF8 is UTF-8 with the mark EF BB BF; Unicode is UTF-16
// little-endian with the mark FF FE.
enum class TIniEncoding { Default, UTF8, Unicode };

// The whole file in memory: read once on creation (a missing file, or a FIFO, device, socket or
// folder in its place, is empty; a file that is there but cannot be read or decoded raises
// EFOpenError saying why), written only by UpdateFile, in Encoding() whatever
// the file had, with "\r\n" line breaks. Comments and other lines are kept.
class TMemIniFile : public TCustomIniFile {
 public:
  explicit TMemIniFile(const String& fileName);
  TMemIniFile(const String& fileName, TIniEncoding encoding);
  ~TMemIniFile() override;
  String ClassName() const override;

  TIniEncoding Encoding() const { return encoding_; }
  void SetEncoding(TIniEncoding encoding) { encoding_ = encoding; }

  bool SectionExists(const String& section) override;
  bool ValueExists(const String& section, const String& ident) override;
  String ReadString(const String& section, const String& ident, const String& def) override;
  void WriteString(const String& section, const String& ident, const String& value) override;
  void ReadSection(const String& section, TStrings* strings) override;
  void ReadSections(TStrings* strings) override;
  void ReadSectionValues(const String& section, TStrings* strings) override;
  void EraseSection(const String& section) override;
  void DeleteKey(const String& section, const String& ident) override;
  void UpdateFile() override;

  // Forgets every line.
  void Clear();
  // The file's lines as they would be written.
  void GetStrings(TStrings* list) const;
  // Replaces the contents with these lines, parsed as a file's.
  void SetStrings(const TStrings* list);
  // Moves to another file name, loading that file when Reload is set.
  void Rename(const String& fileName, bool reload);

 private:
  void Load();
  std::unique_ptr<korv_ini::Document> doc_;
  TIniEncoding encoding_ = TIniEncoding::Default;
};
