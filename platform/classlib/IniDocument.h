#pragma once
// The text model under TIniFile and TMemIniFile: a file's lines, kept exactly, each classified
// as a section header, a key or anything else. Public for the INI classes and their fuzzer.
#include <string>
#include <string_view>
#include <vector>

#include "Strings.h"

namespace korv_ini {

// The UTF-16 forms carry their byte-order mark; the NoMark ones are the same without it.
enum class TextEncoding {
  Utf8,
  Utf8Bom,
  Utf16LE,
  Utf16BE,
  Utf16LENoMark,
  Utf16BENoMark,
  Windows1252
};

// By byte-order mark, else UTF-16 without one when at least half the characters have their
// zero byte on the same side, else UTF-8 when the bytes are valid UTF-8, else Windows-1252.
TextEncoding DetectEncoding(std::string_view bytes);
bool IsUtf16(TextEncoding encoding);
// Encoding the text again in the same encoding, with the tail, gives the same bytes: bytes
// that are not UTF-8 in a file marked as UTF-8 are held in the text (readers of names and values
// see U+FFFD), and the stray last byte of an odd-length UTF-16 file goes to tail.
String DecodeText(std::string_view bytes, TextEncoding& encoding, std::string* tail = nullptr);
// False when the text has a character the encoding cannot hold (Windows-1252 only). The tail's
// bytes follow the text.
bool EncodeText(const String& text, TextEncoding encoding, std::string& bytes,
                std::string_view tail = {});

class Document {
 public:
  struct Line {
    String text;
    String lineBreak;  // empty only on a last line without one
  };

  Document() = default;
  explicit Document(const String& text);

  // Where the file came from; the INI classes write it back this way.
  TextEncoding encoding = TextEncoding::Utf8;
  // Bytes after the last whole character (DecodeText), written back after the text.
  std::string tail;

  // The whole text; with ForceCrLf every line ends in "\r\n".
  String Serialize(bool forceCrLf) const;
  const std::vector<Line>& Lines() const { return lines_; }
  void SetLines(std::vector<Line> lines);
  void Clear() { SetLines({}); }

  bool HasSection(const String& section) const;
  // The raw text after "=" of the section's first key of that name.
  bool FindValue(const String& section, const String& ident, String& raw) const;
  std::vector<String> SectionNames() const;
  std::vector<String> KeyNames(const String& section) const;

  // Each returns whether the text changed.
  bool Set(const String& section, const String& ident, const String& value);
  bool EraseSection(const String& section);
  bool DeleteKey(const String& section, const String& ident);

 private:
  enum class Kind { Other, Section, Key };
  struct Info {
    Kind kind = Kind::Other;
    String name;                 // section or key name, trimmed, as written
    String folded;               // name for case-insensitive matching
    std::size_t valueStart = 0;  // key: index in the line's text just after "="
  };
  static Info Classify(const String& text);
  // Index of the first header of Section, or npos.
  std::size_t FindSection(const String& folded) const;
  // One past the last line belonging to the section whose header is at Header.
  std::size_t SectionEnd(std::size_t header) const;
  std::size_t FindKey(std::size_t header, const String& folded) const;
  void InsertLine(std::size_t at, const String& text);
  const String& NewLine() const;

  std::vector<Line> lines_;
  std::vector<Info> info_;
  String newLine_;  // the file's first line break, used for lines added to it
};

// The comparison form of a section or key name: blanks trimmed, letters upper-cased.
String FoldName(const String& name);
// The value as a reader sees it: blanks trimmed and one pair of matching quotes removed.
String CookValue(const String& raw);

}  // namespace korv_ini
