#pragma once
// Form descriptions in the platform's text form, as a tree:
//
//   object PreviewForm: TPreviewForm
//     Caption = 'Print Preview - ' + 'Korvane'
//     Font.Name = 'MS Sans Serif'
//     OnCreate = FormCreate
//     object Panel2: TPanel
//       Align = alTop
//       BorderSides = [sdLeft, sdTop]
//       Items.Strings = ('35%' '50%')
//     end
//   end
//
// Values: integers (decimal, $hex), floats ("." always; E exponent; s, c, d suffixes for single,
// currency and date), strings ('' escapes, #nn codes, adjacent parts and "+" continuation),
// identifiers, sets [a, b], lists ( ... ), collections < item ... end > and binary { hex }.
// Blocks start with object, inherited or inline. Every node keeps its line for messages.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "Classes.h"
#include "Exceptions.h"

// The kinds of stored values, in the platform's order.
enum TValueType : std::uint8_t {
  vaNull,
  vaList,
  vaInt8,
  vaInt16,
  vaInt32,
  vaExtended,
  vaString,
  vaIdent,
  vaFalse,
  vaTrue,
  vaBinary,
  vaSet,
  vaLString,
  vaNil,
  vaCollection,
  vaSingle,
  vaCurrency,
  vaDate,
  vaWString,
  vaInt64,
  vaUTF8String,
  vaDouble
};

// A read error located in a description; the message reads "File(line): what went wrong".
class EDescriptionError : public EReadError {
 public:
  EDescriptionError(const String& fileName, int line, const String& detail);
  const String& FileName() const { return fileName_; }
  int Line() const { return line_; }
  // The message without the location.
  const String& Detail() const { return detail_; }

 private:
  String fileName_;
  int line_;
  String detail_;
};

struct TDescriptionProperty;

struct TDescriptionItem;

struct TDescriptionValue {
  TValueType Type = vaNull;
  int Line = 0;
  std::int64_t Int = 0;                      // integers
  Extended Float = 0;                        // floats
  String Text;                               // strings and identifiers (True, False, nil too)
  std::vector<String> Elements;              // sets
  std::vector<TDescriptionValue> Items;      // lists
  std::vector<TDescriptionItem> Collection;  // collections
  std::vector<std::uint8_t> Bytes;           // binary

  // The smallest integer kind that holds V.
  static TDescriptionValue Integer(std::int64_t v, int line = 0);
  static TDescriptionValue FloatValue(Extended v, TValueType type = vaExtended, int line = 0);
  // vaString for text of at most 255 units below 256, vaLString above that length, vaWString
  // for wider characters.
  static TDescriptionValue StringValue(const String& s, int line = 0);
  // vaTrue, vaFalse and vaNil for those words, vaIdent otherwise.
  static TDescriptionValue Ident(const String& s, int line = 0);
  bool IsInteger() const;
  bool IsFloat() const;
  bool IsString() const;
  bool IsIdent() const;
};

struct TDescriptionProperty {
  String Name;  // dotted for sub-objects: Font.Name
  int Line = 0;
  TDescriptionValue Value;
};

struct TDescriptionItem {
  int Line = 0;
  bool HasOrder = false;
  std::int64_t Order = 0;
  std::vector<TDescriptionProperty> Properties;
};

enum class TDescriptionBlock : std::uint8_t { Object, Inherited, Inline };

struct TDescriptionObject {
  TDescriptionBlock Block = TDescriptionBlock::Object;
  String Name;  // may be empty
  String ClassName;
  int Line = 0;
  int EndLine = 0;
  int ChildPos = -1;  // "[n]" after the class name, -1 without
  std::vector<TDescriptionProperty> Properties;
  std::vector<TDescriptionObject> Children;
};

struct TFormDescription {
  String FileName;
  TDescriptionObject Root;
};

// Parses the text; EDescriptionError (an EReadError) names FileName and the line of the first
// fault, an unexpected end included. Nesting deeper than 200 blocks or values is refused.
TFormDescription ParseFormDescription(const String& text, const String& fileName);
TFormDescription ParseFormDescription(std::string_view utf8, const String& fileName);
// The text form: two blanks per level, strings longer than 64 units split into "+" joined
// parts, lists one value a line, binary 32 bytes a line, line breaks "\n".
String FormDescriptionToText(const TFormDescription& description);
String FormDescriptionToText(const TDescriptionObject& root);
// One value as it appears after "Name = " at the given indentation level.
// The shortest text that reads back as exactly V in extended precision, always with "." or
// an exponent ("15.0", "0.2", "1.5E-20").
String DescriptionFloatToText(Extended v);

// ---- Descriptions held inside the executable ----
struct TEmbeddedDescription {
  String ResourceName;    // the root's class name (TPreviewForm)
  String FileName;        // the source file's name (KorPrev.form)
  std::string_view Text;  // UTF-8
};

// Called at start-up by the code that korv_embed_descriptions generates; the text must live
// as long as the program. The resource name is read from the text's first block.
void RegisterFormDescription(const char* fileName, const char* utf8Text, std::size_t length);
// By resource name or file name, case-insensitive; nullptr when absent.
const TEmbeddedDescription* FindFormDescription(const String& name);
std::vector<const TEmbeddedDescription*> EmbeddedFormDescriptions();
