#include "IniFiles.h"

#include <cerrno>
#include <cmath>
#include <exception>

#include "Files.h"
#include "IniDocument.h"
#include "Numbers.h"
#include "ScopeGuard.h"

using korv_ini::Document;
using korv_ini::TextEncoding;

namespace {

// The platform's private-profile read buffer holds 2048 characters with the terminator.
constexpr std::size_t kProfileValueLimit = 2047;

void Fill(TStrings* strings, const std::vector<String>& lines) {
  UpdateScope scope(strings);
  strings->Clear();
  for (const String& s : lines) strings->Add(s);
}

[[noreturn]] void WriteError(const String& fileName, const String& why) {
  throw EIniFileException(Format(u"Unable to write to %s: %s", {DisplayPath(fileName), why}));
}

void WriteText(const String& fileName, const String& text, TextEncoding encoding,
               const std::string& tail = std::string()) {
  std::string bytes;
  // Text outside a single-byte file's code page would be lost; such a file becomes UTF-8.
  if (!korv_ini::EncodeText(text, encoding, bytes, tail))
    korv_ini::EncodeText(text, TextEncoding::Utf8, bytes);
  TFileError error;
  if (!WriteFileReplacing(fileName, bytes, &error)) WriteError(fileName, error.reason);
}

// The file as a document; a missing file is an empty one. False, with an empty document and
// the reason, when the file is there but cannot be read or is no text: such a file must never
// be written over, since its contents were never seen.
bool ReadDocument(const String& fileName, Document& doc, TFileError& error) {
  doc = Document();
  std::string bytes;
  if (!ReadFileBytes(fileName, bytes, &error)) return error.Missing();
  TextEncoding encoding;
  std::string tail;
  String text = korv_ini::DecodeText(bytes, encoding, &tail);
  // Zero characters are in no text file; bytes that decode to them are not text we know.
  if (text.find(u'\0') != String::npos) {
    error.code = EILSEQ;
    error.reason = u"not text in an encoding this program reads";
    return false;
  }
  doc = Document(text);
  doc.encoding = encoding;
  doc.tail = std::move(tail);
  return true;
}

String LimitValue(String v) {
  if (v.size() > kProfileValueLimit) {
    std::size_t n = kProfileValueLimit;
    // Never keep half of a surrogate pair.
    if (v[n - 1] >= 0xD800 && v[n - 1] <= 0xDBFF) --n;
    v.resize(n);
  }
  return v;
}

}  // namespace

// ---- TCustomIniFile -------------------------------------------------------------------

TCustomIniFile::TCustomIniFile(const String& fileName) : fileName_(fileName) {}
TCustomIniFile::~TCustomIniFile() = default;
String TCustomIniFile::ClassName() const { return u"TCustomIniFile"; }

bool TCustomIniFile::SectionExists(const String& section) {
  TStringList names;
  ReadSection(section, &names);
  return names.Count() > 0;
}

bool TCustomIniFile::ValueExists(const String& section, const String& ident) {
  TStringList names;
  ReadSection(section, &names);
  return names.IndexOf(ident) >= 0;
}

int TCustomIniFile::ReadInteger(const String& section, const String& ident, int def) {
  return StrToIntDef(ReadString(section, ident, String()), def);
}

void TCustomIniFile::WriteInteger(const String& section, const String& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const String& section, const String& ident, bool def) {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const String& section, const String& ident, bool value) {
  WriteString(section, ident, value ? u"1" : u"0");
}

TDateTime TCustomIniFile::ReadDate(const String& section, const String& ident, TDateTime def) {
  String s = ReadString(section, ident, String());
  TDateTime v;
  return !s.empty() && TryStrToDate(s, v) ? v : def;
}

TDateTime TCustomIniFile::ReadDateTime(const String& section, const String& ident, TDateTime def) {
  String s = ReadString(section, ident, String());
  TDateTime v;
  return !s.empty() && TryStrToDateTime(s, v) ? v : def;
}

TDateTime TCustomIniFile::ReadTime(const String& section, const String& ident, TDateTime def) {
  String s = ReadString(section, ident, String());
  TDateTime v;
  return !s.empty() && TryStrToTime(s, v) ? v : def;
}

void TCustomIniFile::WriteDate(const String& section, const String& ident, TDateTime value) {
  WriteString(section, ident, DateToStr(value));
}

void TCustomIniFile::WriteDateTime(const String& section, const String& ident, TDateTime value) {
  WriteString(section, ident, DateTimeToStr(value));
}

void TCustomIniFile::WriteTime(const String& section, const String& ident, TDateTime value) {
  WriteString(section, ident, TimeToStr(value));
}

double TCustomIniFile::ReadFloat(const String& section, const String& ident, double def) {
  String s = ReadString(section, ident, String());
  Extended v;
  if (s.empty() || !TryStrToFloat(s, v)) return def;
  // Within the extended range but beyond a double's is as unreadable as garbage.
  auto d = static_cast<double>(v);
  return std::isfinite(d) ? d : def;
}

void TCustomIniFile::WriteFloat(const String& section, const String& ident, double value) {
  WriteString(section, ident, FloatToStr(value));
}

int TCustomIniFile::ReadBinaryStream(const String& section, const String& ident, TStream* value) {
  String text = ReadString(section, ident, String());
  if (text.empty() || !value) return 0;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    int hi = HexDigitValue(text[i]), lo = HexDigitValue(text[i + 1]);
    if (hi < 0 || lo < 0) break;
    bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
  }
  if (bytes.empty()) return 0;
  const std::int64_t start = value->Position();
  value->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
  value->SetPosition(start);
  return static_cast<int>(bytes.size());
}

void TCustomIniFile::WriteBinaryStream(const String& section, const String& ident, TStream* value) {
  static const char16_t kDigits[] = u"0123456789ABCDEF";
  String text;
  if (value) {
    std::int64_t n = value->Size() - value->Position();
    if (n > 0) {
      std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
      value->ReadBuffer(bytes.data(), static_cast<int>(n));
      text.reserve(bytes.size() * 2);
      for (std::uint8_t b : bytes) {
        text.push_back(kDigits[b >> 4]);
        text.push_back(kDigits[b & 15]);
      }
    }
  }
  WriteString(section, ident, text);
}

// ---- TIniFile -------------------------------------------------------------------------

TIniFile::TIniFile(const String& fileName) : TCustomIniFile(fileName) {}
TIniFile::~TIniFile() = default;
String TIniFile::ClassName() const { return u"TIniFile"; }

Document TIniFile::Load(bool forWrite) const {
  if (batch_) {
    if (forWrite && !batchReadable_) ReadGuard(batchError_);
    return *batch_;
  }
  Document doc;
  TFileError error;
  // Rewriting a file that is there but unreadable would throw its contents away.
  if (!ReadDocument(FileName(), doc, error) && forWrite) ReadGuard(error);
  return doc;
}

void TIniFile::ReadGuard(const TFileError& error) const {
  WriteError(FileName(), u"it could not be read (" + error.reason + u"), so it is left as it is");
}

template <class Edit>
void TIniFile::Change(Edit&& edit) {
  Document doc = Load(true);
  if (!edit(doc)) return;
  if (!batch_) return Save(doc);
  *batch_ = std::move(doc);
  batchChanged_ = true;
}

void TIniFile::BeginUpdate() {
  if (updates_++ > 0) return;
  auto batch = std::make_unique<Document>();
  batchReadable_ = ReadDocument(FileName(), *batch, batchError_);
  batchChanged_ = false;
  batchUncaught_ = std::uncaught_exceptions();
  batch_ = std::move(batch);
}

void TIniFile::EndUpdate() {
  if (updates_ == 0 || --updates_ > 0) return;
  auto batch = std::move(batch_);
  // Leaving because something failed: the changes made so far are not the whole update.
  if (batchChanged_ && std::uncaught_exceptions() <= batchUncaught_) Save(*batch);
}

void TIniFile::Save(const Document& doc) const {
  WriteText(FileName(), doc.Serialize(false), doc.encoding, doc.tail);
}

bool TIniFile::SectionExists(const String& section) { return Load(false).HasSection(section); }

bool TIniFile::ValueExists(const String& section, const String& ident) {
  String raw;
  return Load(false).FindValue(section, ident, raw);
}

String TIniFile::ReadString(const String& section, const String& ident, const String& def) {
  String raw;
  if (!Load(false).FindValue(section, ident, raw)) return def;
  return LimitValue(korv_ini::CookValue(raw));
}

void TIniFile::WriteString(const String& section, const String& ident, const String& value) {
  Change([&](Document& doc) { return doc.Set(section, ident, value); });
}

void TIniFile::ReadSection(const String& section, TStrings* strings) {
  Fill(strings, Load(false).KeyNames(section));
}

void TIniFile::ReadSections(TStrings* strings) { Fill(strings, Load(false).SectionNames()); }

void TIniFile::ReadSectionValues(const String& section, TStrings* strings) {
  Document doc = Load(false);
  std::vector<String> lines;
  for (const String& name : doc.KeyNames(section)) {
    String raw;
    doc.FindValue(section, name, raw);
    lines.push_back(name + u"=" + LimitValue(korv_ini::CookValue(raw)));
  }
  Fill(strings, lines);
}

void TIniFile::EraseSection(const String& section) {
  Change([&](Document& doc) { return doc.EraseSection(section); });
}

void TIniFile::DeleteKey(const String& section, const String& ident) {
  Change([&](Document& doc) { return doc.DeleteKey(section, ident); });
}

void TIniFile::UpdateFile() {
  if (!batch_ || !batchChanged_) return;
  Save(*batch_);
  batchChanged_ = false;
}

// ---- TMemIniFile ----------------------------------------------------------------------

TMemIniFile::TMemIniFile(const String& fileName) : TMemIniFile(fileName, TIniEncoding::Default) {}

TMemIniFile::TMemIniFile(const String& fileName, TIniEncoding encoding)
    : TCustomIniFile(fileName), doc_(std::make_unique<Document>()), encoding_(encoding) {
  Load();
}

TMemIniFile::~TMemIniFile() = default;
String TMemIniFile::ClassName() const { return u"TMemIniFile"; }

void TMemIniFile::Load() {
  TFileError error;
  // What is no file at all (a FIFO, a folder) reads as missing; UpdateFile is refused there.
  if (!ReadDocument(FileName(), *doc_, error) && !error.notAFile)
    throw EFOpenError(
        Format(u"Cannot open file \"%s\": %s", {DisplayPath(FileName()), error.reason}));
}

bool TMemIniFile::SectionExists(const String& section) { return doc_->HasSection(section); }

bool TMemIniFile::ValueExists(const String& section, const String& ident) {
  String raw;
  return doc_->FindValue(section, ident, raw);
}

String TMemIniFile::ReadString(const String& section, const String& ident, const String& def) {
  String raw;
  return doc_->FindValue(section, ident, raw) ? korv_ini::CookValue(raw) : def;
}

void TMemIniFile::WriteString(const String& section, const String& ident, const String& value) {
  doc_->Set(section, ident, value);
}

void TMemIniFile::ReadSection(const String& section, TStrings* strings) {
  Fill(strings, doc_->KeyNames(section));
}

void TMemIniFile::ReadSections(TStrings* strings) { Fill(strings, doc_->SectionNames()); }

void TMemIniFile::ReadSectionValues(const String& section, TStrings* strings) {
  std::vector<String> lines;
  for (const String& name : doc_->KeyNames(section)) {
    String raw;
    doc_->FindValue(section, name, raw);
    lines.push_back(name + u"=" + korv_ini::CookValue(raw));
  }
  Fill(strings, lines);
}

void TMemIniFile::EraseSection(const String& section) { doc_->EraseSection(section); }

void TMemIniFile::DeleteKey(const String& section, const String& ident) {
  doc_->DeleteKey(section, ident);
}

void TMemIniFile::UpdateFile() {
  TextEncoding encoding = TextEncoding::Utf8;
  if (encoding_ == TIniEncoding::UTF8) encoding = TextEncoding::Utf8Bom;
  else if (encoding_ == TIniEncoding::Unicode) encoding = TextEncoding::Utf16LE;
  WriteText(FileName(), doc_->Serialize(true), encoding);
}

void TMemIniFile::Clear() { doc_->Clear(); }

void TMemIniFile::GetStrings(TStrings* list) const {
  std::vector<String> lines;
  for (const auto& line : doc_->Lines()) lines.push_back(line.text);
  Fill(list, lines);
}

void TMemIniFile::SetStrings(const TStrings* list) {
  String text;
  const int n = list ? list->Count() : 0;
  for (int i = 0; i < n; ++i) text += list->Strings(i) + u"\r\n";
  *doc_ = Document(text);
}

void TMemIniFile::Rename(const String& fileName, bool reload) {
  SetFileName(fileName);
  if (reload) Load();
}
