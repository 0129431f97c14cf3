#pragma once
// The form reader and writer: a description tree applied to components by property name, and
// components written back as a description.
//
// Reading creates each nested block's component through the class registry, owned by the
// root (or by the enclosing component's GetChildOwner), hands it the enclosing component's
// GetChildParent through SetParentComponent, names it (which also sets the root's field of that
// name), reads its properties under csLoading and csReading, then its nested blocks. Component
// references are resolved after everything is read, then Loaded runs on every component read,
// root first, in creation order. A failed read raises EDescriptionError naming the file and
// line, and deletes whatever it created.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "Classes.h"
#include "Components.h"
#include "FormDescriptions.h"
#include "TypInfo.h"

KORV_EXCEPTION(EResNotFound, Exception);

class TReader;
class TWriter;
using TReaderProc = std::function<void(TReader* reader)>;
using TWriterProc = std::function<void(TWriter* writer)>;
using TStreamProc = std::function<void(TStream* stream)>;

class TFiler : public TObject {
 public:
  String ClassName() const override;
  // A stored value that is not a published property. The reader calls ReadData when Name is
  // the property being read; the writer writes Name and calls WriteData when HasData is true.
  // A name with no writer and HasData false is accepted on load and never written.
  virtual void DefineProperty(const String& name, const TReaderProc& readData,
                              const TWriterProc& writeData, bool hasData) = 0;
  // The same for a binary block ({ hex }), read from and written to a memory stream.
  virtual void DefineBinaryProperty(const String& name, const TStreamProc& readData,
                                    const TStreamProc& writeData, bool hasData) = 0;
  TComponent* Root() const { return root_; }
  TComponent* LookupRoot() const { return lookupRoot_; }
  // Descendant writing against an ancestor is not done here: always nullptr.
  TPersistent* Ancestor() const { return nullptr; }

 protected:
  TComponent* root_ = nullptr;
  TComponent* lookupRoot_ = nullptr;
};

// Runs the stored-value definitions of Instance against Filer: a component's DefineProperties,
// or the definitions registered in the tables of any other persistent object's class.
void DefinePropertiesOf(TPersistent* instance, TFiler* filer);

class TReader : public TFiler {
 public:
  explicit TReader(const TFormDescription& description);
  ~TReader() override;
  TReader(const TReader&) = delete;
  TReader& operator=(const TReader&) = delete;
  String ClassName() const override;

  // Reads the description's root block into Root, or into a new instance of its class when
  // Root is nullptr (owned by nobody). Returns the root.
  TComponent* ReadRootComponent(TComponent* root);
  // Reads Instance's properties and nested blocks; TComponent::ReadState calls it.
  void ReadData(TComponent* instance);
  // The component nested blocks are being read into, and their owner.
  TComponent* Parent() const { return parent_; }
  TComponent* Owner() const { return owner_; }
  const String& FileName() const { return description_.FileName; }

  // ---- Values, for DefineProperties readers ----
  // The kind of the next value, not consumed; vaNull at the end of a list or of the value.
  TValueType NextValue();
  // Consumes the next value's kind: for sets, lists and collections only their start.
  TValueType ReadValue();
  void CheckValue(TValueType type);
  bool EndOfList();
  void ReadListBegin();
  void ReadListEnd();
  bool ReadBoolean();
  Char ReadChar();
  std::int32_t ReadInteger();
  std::int64_t ReadInt64();
  Extended ReadFloat();
  float ReadSingle();
  double ReadDouble();
  double ReadDate();
  // An identifier; True, False, nil and Null read as those words.
  String ReadIdent();
  String ReadString();
  // Inside a set, the next element name and "" at the set's end; elsewhere an identifier.
  String ReadStr();
  // Skips one whole value.
  void SkipValue();
  // Raises EDescriptionError("Invalid property value") at the current value.
  [[noreturn]] void PropValueError();
  [[noreturn]] void Error(const String& detail);
  // The property being read ("" once a definition took it) and its line.
  const String& PropName() const { return propName_; }
  int Line() const;

  void DefineProperty(const String& name, const TReaderProc& readData, const TWriterProc& writeData,
                      bool hasData) override;
  void DefineBinaryProperty(const String& name, const TStreamProc& readData,
                            const TStreamProc& writeData, bool hasData) override;

  // Lets a caller supply classes the registry does not know.
  std::function<void(TReader* reader, const String& className, TComponentClass& componentClass)>
      OnFindComponentClass;

 private:
  struct Record;
  struct Fixup;
  class CreatedGuard;

  TComponent* ReadComponent(const TDescriptionObject& node);
  void ReadProperties(TComponent* instance, const TDescriptionObject& node);
  void ReadProperty(TPersistent* instance, const TDescriptionProperty& prop);
  void ReadPropValue(TPersistent* instance, const TPropInfo* prop);
  void ReadCollection(TPersistent* collection);
  void ReadItemProperties(TPersistent* instance, const std::vector<TDescriptionProperty>& props);
  void BeginValue(const TDescriptionValue& value, const String& propName);
  void EndValue();
  void Flatten(const TDescriptionValue& value);
  const Record& Next();
  const Record& Peek();
  TComponentClass FindComponentClass(const TDescriptionObject& node);
  void DoFixups();
  [[noreturn]] void ErrorAt(int line, const String& detail);

  const TFormDescription& description_;
  std::vector<Record> records_;
  std::size_t pos_ = 0;
  int valueLine_ = 0;
  String propName_;
  String propPath_;
  const TDescriptionObject* currentNode_ = nullptr;
  TComponent* parent_ = nullptr;
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> loaded_;
  std::vector<Fixup> fixups_;
  std::unique_ptr<CreatedGuard> created_;
  int depth_ = 0;
};

class TWriter : public TFiler {
 public:
  TWriter();
  ~TWriter() override;
  TWriter(const TWriter&) = delete;
  TWriter& operator=(const TWriter&) = delete;
  String ClassName() const override;

  // The description of Root with everything its GetChildren reports, recursively.
  TDescriptionObject WriteRootComponent(TComponent* root);
  // Writes Instance's properties and children; TComponent::WriteState calls it.
  void WriteData(TComponent* instance);
  // Writes one nested block (the GetChildren procedure).
  void WriteComponent(TComponent* component);
  // Published properties of Instance (and dotted sub-objects), then its definitions.
  void WriteProperties(TPersistent* instance);

  // ---- Values, for DefineProperties writers: one value per definition ----
  void WriteBoolean(bool value);
  void WriteChar(Char value);
  void WriteInteger(std::int64_t value);
  void WriteFloat(Extended value);
  void WriteSingle(float value);
  void WriteDouble(double value);
  void WriteDate(double value);
  void WriteIdent(const String& ident);
  void WriteString(const String& value);
  void WriteSet(std::uint32_t bits, const TTypeInfo* setType);
  void WriteBinary(const std::vector<std::uint8_t>& bytes);
  void WriteListBegin();
  void WriteListEnd();

  void DefineProperty(const String& name, const TReaderProc& readData, const TWriterProc& writeData,
                      bool hasData) override;
  void DefineBinaryProperty(const String& name, const TStreamProc& readData,
                            const TStreamProc& writeData, bool hasData) override;

 private:
  void WriteProperty(TPersistent* instance, const TPropInfo* prop);
  void WriteValue(TDescriptionValue value);
  void AddProperty(const String& name, TDescriptionValue value);
  void WriteDefined(const String& name, const std::function<void()>& write);
  String ComponentRefName(TComponent* component) const;

  TDescriptionObject* current_ = nullptr;
  String prefix_;
  std::vector<TDescriptionValue*> sink_;  // open lists while a definition writes
  std::vector<TDescriptionValue> written_;
  std::vector<TComponent*> ancestry_;
};

// ---- Reading and writing whole components ----
// The description read into Instance (Instance nullptr: a new instance of the root's class).
TComponent* ReadComponentDescription(const TFormDescription& description, TComponent* instance);
TComponent* ReadComponentText(const String& text, const String& fileName, TComponent* instance);
// A description file on disk (UTF-8); EFOpenError when it cannot be read.
TComponent* ReadComponentResFile(const String& fileName, TComponent* instance);
// An embedded description by resource or file name; EResNotFound("Resource %s not found").
TComponent* ReadComponentRes(const String& resName, TComponent* instance);
// Reads, from the most ancestral down, the embedded descriptions named after Instance's class
// and its ancestors below RootAncestor (TForm for forms). False when none exists.
bool InitInheritedComponent(TComponent* instance, const String& rootAncestor);

// Loads every embedded description into a fresh root and deletes it again; returns the messages
// of the descriptions that fail. MakeRoot makes the bare root (without loading anything itself);
// nullptr lets the reader create it through the class registry.
std::vector<String> CheckEmbeddedDescriptions(
    const std::function<TComponent*(const TEmbeddedDescription& description)>& makeRoot = nullptr);

TFormDescription WriteComponentDescription(TComponent* root, const String& fileName = String());
String WriteComponentText(TComponent* root);
// Replaces the file whole (EFCreateError when it cannot be written).
void WriteComponentResFile(const String& fileName, TComponent* root);
