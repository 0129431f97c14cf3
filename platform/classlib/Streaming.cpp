#include "Streaming.h"

#include <algorithm>

#include "Collections.h"
#include "ScopeGuard.h"

String TFiler::ClassName() const { return u"TFiler"; }

void DefinePropertiesOf(TPersistent* instance, TFiler* filer) {
  if (auto* component = dynamic_cast<TComponent*>(instance)) {
    component->DefineProperties(filer);
    return;
  }
  if (const TClassInfo* info = GetClassInfo(instance))
    for (const TDefinePropertiesProc* definer : info->Definers()) (*definer)(instance, filer);
}

// ---- Reader internals ----------------------------------------------------------------------

// One step of a value as DefineProperties readers see it: a scalar, the start of a set, list
// or collection, a set element name (RawName, "" at the set's end) or a list's end (vaNull).
struct TReader::Record {
  TValueType Type = vaNull;
  int Line = 0;
  bool RawName = false;
  std::int64_t Int = 0;
  Extended Float = 0;
  String Text;
  const TDescriptionValue* Source = nullptr;  // binary and collection values
};

struct TReader::Fixup {
  TPersistent* Instance;
  const TPropInfo* Prop;
  String Name;
  int Line;
};

// Keeps track of what the current read created, so a failed read can delete it again; a
// component deleted meanwhile (by its owner) drops out through its free notification.
class TReader::CreatedGuard : public TComponent {
 public:
  CreatedGuard() : TComponent(nullptr) {}
  ~CreatedGuard() override { alive_.clear(); }
  void Add(TComponent* c) {
    alive_.push_back(c);
    ever_.push_back(c);
    FreeNotification(c);
  }
  bool Created(TComponent* c) const {
    return std::find(ever_.begin(), ever_.end(), c) != ever_.end();
  }
  void DeleteAll() {
    while (!alive_.empty()) {
      TComponent* c = alive_.back();
      alive_.pop_back();
      RemoveFreeNotification(c);
      delete c;
    }
  }
  void Release() {
    for (TComponent* c : alive_) RemoveFreeNotification(c);
    alive_.clear();
    ever_.clear();
  }
  bool Alive(TComponent* c) const {
    return std::find(alive_.begin(), alive_.end(), c) != alive_.end();
  }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == opRemove)
      alive_.erase(std::remove(alive_.begin(), alive_.end(), component), alive_.end());
    TComponent::Notification(component, operation);
  }

 private:
  std::vector<TComponent*> alive_;
  std::vector<TComponent*> ever_;
};

TReader::TReader(const TFormDescription& description)
    : description_(description), created_(std::make_unique<CreatedGuard>()) {}

TReader::~TReader() = default;

String TReader::ClassName() const { return u"TReader"; }

void TReader::ErrorAt(int line, const String& detail) {
  throw EDescriptionError(description_.FileName, line, detail);
}

int TReader::Line() const {
  if (pos_ < records_.size()) return records_[pos_].Line;
  if (!records_.empty()) return records_.back().Line;
  return valueLine_;
}

void TReader::Error(const String& detail) { ErrorAt(Line(), detail); }

void TReader::PropValueError() { Error(u"Invalid property value"); }

void TReader::Flatten(const TDescriptionValue& v) {
  Record r;
  r.Type = v.Type;
  r.Line = v.Line;
  switch (v.Type) {
    case vaSet:
      records_.push_back(r);
      for (const String& e : v.Elements) {
        Record n;
        n.Type = vaIdent;
        n.Line = v.Line;
        n.RawName = true;
        n.Text = e;
        records_.push_back(n);
      }
      {
        Record end;
        end.Line = v.Line;
        end.RawName = true;
        records_.push_back(end);
      }
      return;
    case vaList:
      records_.push_back(r);
      for (const auto& item : v.Items) Flatten(item);
      {
        Record end;
        end.Line = v.Items.empty() ? v.Line : v.Items.back().Line;
        records_.push_back(end);
      }
      return;
    case vaBinary:
    case vaCollection: r.Source = &v; break;
    default:
      r.Int = v.Int;
      r.Float = v.Float;
      r.Text = v.Text;
      break;
  }
  records_.push_back(std::move(r));
}

void TReader::BeginValue(const TDescriptionValue& value, const String& propName) {
  records_.clear();
  pos_ = 0;
  valueLine_ = value.Line;
  Flatten(value);
  propName_ = propName;
}

void TReader::EndValue() {
  if (pos_ != records_.size()) PropValueError();
}

const TReader::Record& TReader::Peek() {
  if (pos_ >= records_.size()) PropValueError();
  return records_[pos_];
}

const TReader::Record& TReader::Next() {
  const Record& r = Peek();
  ++pos_;
  return r;
}

TValueType TReader::NextValue() {
  if (pos_ >= records_.size()) return vaNull;
  const Record& r = records_[pos_];
  if (r.RawName) return r.Text.empty() ? vaNull : vaIdent;
  return r.Type;
}

TValueType TReader::ReadValue() {
  TValueType t = NextValue();
  Next();
  return t;
}

void TReader::CheckValue(TValueType type) {
  if (NextValue() != type || (pos_ < records_.size() && records_[pos_].RawName)) PropValueError();
  ++pos_;
}

bool TReader::EndOfList() { return NextValue() == vaNull; }
void TReader::ReadListBegin() { CheckValue(vaList); }
void TReader::ReadListEnd() { CheckValue(vaNull); }

bool TReader::ReadBoolean() {
  const Record& r = Peek();
  if (r.RawName || (r.Type != vaTrue && r.Type != vaFalse)) PropValueError();
  ++pos_;
  return r.Type == vaTrue;
}

Char TReader::ReadChar() {
  const Record& r = Peek();
  if (r.RawName) PropValueError();
  if ((r.Type == vaString || r.Type == vaWString || r.Type == vaLString) && r.Text.size() == 1) {
    ++pos_;
    return r.Text[0];
  }
  if ((r.Type == vaInt8 || r.Type == vaInt16 || r.Type == vaInt32) && r.Int >= 0 &&
      r.Int <= 0xFFFF) {
    ++pos_;
    return static_cast<Char>(r.Int);
  }
  PropValueError();
}

std::int32_t TReader::ReadInteger() {
  const Record& r = Peek();
  if (r.RawName || (r.Type != vaInt8 && r.Type != vaInt16 && r.Type != vaInt32)) PropValueError();
  ++pos_;
  return static_cast<std::int32_t>(r.Int);
}

std::int64_t TReader::ReadInt64() {
  const Record& r = Peek();
  if (r.RawName ||
      (r.Type != vaInt8 && r.Type != vaInt16 && r.Type != vaInt32 && r.Type != vaInt64))
    PropValueError();
  ++pos_;
  return r.Int;
}

Extended TReader::ReadFloat() {
  const Record& r = Peek();
  if (!r.RawName) {
    switch (r.Type) {
      case vaExtended:
      case vaSingle:
      case vaDouble:
      case vaCurrency:
      case vaDate: ++pos_; return r.Float;
      case vaInt8:
      case vaInt16:
      case vaInt32:
      case vaInt64: ++pos_; return static_cast<Extended>(r.Int);
      default: break;
    }
  }
  PropValueError();
}

float TReader::ReadSingle() { return static_cast<float>(ReadFloat()); }
double TReader::ReadDouble() { return static_cast<double>(ReadFloat()); }
double TReader::ReadDate() { return static_cast<double>(ReadFloat()); }

String TReader::ReadIdent() {
  const Record& r = Peek();
  if (r.RawName) PropValueError();
  switch (r.Type) {
    case vaIdent: ++pos_; return r.Text;
    case vaTrue: ++pos_; return u"True";
    case vaFalse: ++pos_; return u"False";
    case vaNil: ++pos_; return u"nil";
    default: PropValueError();
  }
}

String TReader::ReadString() {
  const Record& r = Peek();
  if (r.RawName ||
      (r.Type != vaString && r.Type != vaLString && r.Type != vaWString && r.Type != vaUTF8String))
    PropValueError();
  ++pos_;
  return r.Text;
}

String TReader::ReadStr() {
  const Record& r = Peek();
  if (r.RawName) {
    ++pos_;
    return r.Text;
  }
  return ReadIdent();
}

void TReader::SkipValue() {
  const Record& r = Next();
  if (r.RawName) return;
  if (r.Type == vaSet) {
    while (!Next().Text.empty()) {
    }
  } else if (r.Type == vaList) {
    while (!EndOfList()) SkipValue();
    ReadListEnd();
  }
}

void TReader::DefineProperty(const String& name, const TReaderProc& readData, const TWriterProc&,
                             bool) {
  if (readData && !propName_.empty() && SameText(name, propName_)) {
    propName_.clear();
    readData(this);
  }
}

void TReader::DefineBinaryProperty(const String& name, const TStreamProc& readData,
                                   const TStreamProc&, bool) {
  if (!readData || propName_.empty() || !SameText(name, propName_)) return;
  propName_.clear();
  const Record& r = Peek();
  if (r.RawName || r.Type != vaBinary || !r.Source) PropValueError();
  ++pos_;
  TMemoryStream stream;
  const auto& bytes = r.Source->Bytes;
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
  stream.SetPosition(0);
  readData(&stream);
}

// ---- Reading properties --------------------------------------------------------------------

void TReader::ReadProperties(TComponent* instance, const TDescriptionObject& node) {
  for (const auto& prop : node.Properties) ReadProperty(instance, prop);
}

void TReader::ReadProperty(TPersistent* instance, const TDescriptionProperty& prop) {
  try {
    propPath_ = prop.Name;
    TPersistent* target = instance;
    String name = prop.Name;
    for (std::size_t dot; (dot = name.find(u'.')) != String::npos;) {
      String head = name.substr(0, dot);
      const TPropInfo* pi = GetPropInfo(target, head);
      TObject* sub = pi && pi->GetObj ? pi->GetObj(target) : nullptr;
      auto* subComponent = pi && pi->IsComponentRef ? dynamic_cast<TComponent*>(sub) : nullptr;
      // Only objects the instance keeps have properties of their own here.
      if (!pi || !pi->GetObj ||
          (pi->IsComponentRef &&
           !(subComponent && subComponent->ComponentStyle().Contains(csSubComponent))))
        ErrorAt(prop.Line, Format(u"Property %s does not exist", {prop.Name}));
      target = dynamic_cast<TPersistent*>(sub);
      if (!target) ErrorAt(prop.Line, Format(u"Property %s has no object to set", {head}));
      name = name.substr(dot + 1);
    }
    BeginValue(prop.Value, name);
    if (const TPropInfo* pi = GetPropInfo(target, name)) {
      ReadPropValue(target, pi);
    } else {
      DefinePropertiesOf(target, this);
      if (!propName_.empty())
        ErrorAt(prop.Line, Format(u"Property %s does not exist", {prop.Name}));
    }
    EndValue();
  } catch (const EDescriptionError&) {
    throw;
  } catch (const Exception& e) {
    ErrorAt(prop.Line, e.Message());
  }
}

void TReader::ReadPropValue(TPersistent* instance, const TPropInfo* pi) {
  const TTypeInfo* type = pi->PropType;
  auto needWritable = [&](bool writable) {
    if (!writable) Error(Format(u"Property %s is read-only", {propPath_}));
  };
  if (pi->BindMethod) {
    if (NextValue() == vaNil) {
      ReadValue();
      pi->ClearMethod(instance);
      return;
    }
    String methodName = ReadIdent();
    const TMethodEntry* m = FindMethod(lookupRoot_, methodName);
    if (!m) Error(Format(u"Method %s not found", {methodName}));
    if (!pi->BindMethod(instance, lookupRoot_, *m))
      Error(Format(u"The %s method referenced by %s has an incompatible parameter list",
                   {methodName, propPath_}));
    return;
  }
  switch (type->Kind()) {
    case tkInteger:
    case tkInt64: {
      needWritable(static_cast<bool>(pi->SetOrd));
      std::int64_t v = 0;
      if (NextValue() == vaIdent) {
        int line = Line();
        String ident = ReadIdent();
        if (!IdentToInt(type, ident, v))
          ErrorAt(line, Format(u"Invalid property value %s for %s", {ident, propPath_}));
      } else {
        int line = Line();
        v = ReadInt64();
        if (v < type->MinValue() || v > type->MaxValue())
          ErrorAt(line, Format(u"Invalid property value %d for %s", {v, propPath_}));
      }
      SetOrdProp(instance, pi, v);
      return;
    }
    case tkChar:
    case tkWChar:
      needWritable(static_cast<bool>(pi->SetOrd));
      SetOrdProp(instance, pi, ReadChar());
      return;
    case tkEnumeration: {
      needWritable(static_cast<bool>(pi->SetOrd));
      int line = Line();
      String ident = ReadIdent();
      int v = GetEnumValue(type, ident);
      if (v < 0) ErrorAt(line, Format(u"Invalid property value %s for %s", {ident, propPath_}));
      SetOrdProp(instance, pi, v);
      return;
    }
    case tkSet: {
      needWritable(static_cast<bool>(pi->SetOrd));
      CheckValue(vaSet);
      std::uint32_t bits = 0;
      for (;;) {
        String e = ReadStr();
        if (e.empty()) break;
        int v = GetEnumValue(type->CompType(), e);
        if (v < 0) Error(Format(u"Invalid property element: %s", {e}));
        bits |= std::uint32_t{1} << v;
      }
      SetOrdProp(instance, pi, bits);
      return;
    }
    case tkFloat:
      needWritable(static_cast<bool>(pi->SetFloat));
      pi->SetFloat(instance, ReadFloat());
      return;
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString:
      needWritable(static_cast<bool>(pi->SetStr));
      pi->SetStr(instance, ReadString());
      return;
    case tkClass: {
      TValueType next = NextValue();
      if (next == vaNil) {
        needWritable(static_cast<bool>(pi->SetObj));
        ReadValue();
        pi->SetObj(instance, nullptr);
        return;
      }
      if (next == vaIdent && pi->IsComponentRef) {
        needWritable(static_cast<bool>(pi->SetObj));
        int line = Line();
        fixups_.push_back(Fixup{instance, pi, ReadIdent(), line});
        return;
      }
      if (next == vaCollection) {
        auto* collection = dynamic_cast<TCollection*>(pi->GetObj ? pi->GetObj(instance) : nullptr);
        if (!collection) PropValueError();
        Next();
        ReadCollection(collection);
        return;
      }
      PropValueError();
    }
    default: PropValueError();
  }
}

void TReader::ReadCollection(TPersistent* target) {
  auto* collection = static_cast<TCollection*>(target);
  const TDescriptionValue* value = records_[pos_ - 1].Source;
  // Items are read through the same machinery as properties, so the current value's state
  // is kept aside meanwhile.
  std::vector<Record> savedRecords = std::move(records_);
  std::size_t savedPos = pos_;
  String savedPath = propPath_;
  int savedLine = valueLine_;
  {
    UpdateScope update(collection);
    collection->Clear();
    for (const auto& item : value->Collection) {
      TCollectionItem* it = collection->Add();
      ReadItemProperties(it, item.Properties);
    }
  }
  records_ = std::move(savedRecords);
  pos_ = savedPos;
  propPath_ = savedPath;
  valueLine_ = savedLine;
  propName_.clear();
}

void TReader::ReadItemProperties(TPersistent* instance,
                                 const std::vector<TDescriptionProperty>& props) {
  for (const auto& prop : props) ReadProperty(instance, prop);
}

// ---- Reading components --------------------------------------------------------------------

TComponentClass TReader::FindComponentClass(const TDescriptionObject& node) {
  TComponentClass cls = nullptr;
  if (OnFindComponentClass) OnFindComponentClass(this, node.ClassName, cls);
  if (!cls) cls = GetClass(node.ClassName);
  if (!cls) ErrorAt(node.Line, Format(u"Class %s not found", {node.ClassName}));
  return cls;
}

TComponent* TReader::ReadComponent(const TDescriptionObject& node) {
  TComponent* result = nullptr;
  try {
    if (node.Block == TDescriptionBlock::Inherited) {
      result = owner_->FindComponent(node.Name);
      if (!result && owner_ != root_) result = root_->FindComponent(node.Name);
      if (!result) ErrorAt(node.Line, Format(u"Ancestor for '%s' not found", {node.Name}));
    } else {
      TComponentClass cls = FindComponentClass(node);
      result = cls->Create(owner_);
      created_->Add(result);
      if (node.Block == TDescriptionBlock::Inline) result->SetInline(true);
    }
    result->SetStateItem(csLoading, true);
    result->SetStateItem(csReading, true);
    if (std::find(loaded_.begin(), loaded_.end(), result) == loaded_.end())
      loaded_.push_back(result);
    if (node.Block != TDescriptionBlock::Inherited && !node.Name.empty())
      result->SetName(node.Name);
    result->SetParentComponent(parent_);
  } catch (const EDescriptionError&) {
    throw;
  } catch (const Exception& e) {
    ErrorAt(node.Line, e.Message());
  }
  const TDescriptionObject* savedNode = currentNode_;
  currentNode_ = &node;
  result->ReadState(this);
  currentNode_ = savedNode;
  result->SetStateItem(csReading, false);
  return result;
}

void TReader::ReadData(TComponent* instance) {
  if (!currentNode_) throw EReadError(u"No description is being read");
  const TDescriptionObject& node = *currentNode_;
  if (++depth_ > 256) ErrorAt(node.Line, u"Description nested too deeply");
  ReadProperties(instance, node);
  TComponent* savedParent = parent_;
  TComponent* savedOwner = owner_;
  parent_ = instance->GetChildParent();
  owner_ = instance->GetChildOwner();
  if (!owner_) owner_ = root_;
  ScopeGuard restore([&] {
    parent_ = savedParent;
    owner_ = savedOwner;
    --depth_;
  });
  for (const auto& child : node.Children) ReadComponent(child);
}

void TReader::DoFixups() {
  for (const Fixup& f : fixups_) {
    TComponent* target = nullptr;
    String name = f.Name;
    auto dot = name.find(u'.');
    String head = dot == String::npos ? name : name.substr(0, dot);
    TComponent* base = SameText(head, root_->Name()) ? root_ : root_->FindComponent(head);
    if (dot == String::npos) {
      target = base;
    } else if (base) {
      target = base->FindComponent(name.substr(dot + 1));
    }
    if (!target) ErrorAt(f.Line, Format(u"Reference to unknown component %s", {name}));
    try {
      f.Prop->SetObj(f.Instance, target);
    } catch (const Exception& e) {
      ErrorAt(f.Line,
              Format(u"Invalid property value %s for %s: %s", {name, f.Prop->Name, e.Message()}));
    }
  }
  fixups_.clear();
}

TComponent* TReader::ReadRootComponent(TComponent* root) {
  const TDescriptionObject& node = description_.Root;
  auto cleanUp = [&] {
    // Existing components that were only updated keep living; their flags go.
    for (TComponent* c : loaded_) {
      if (!created_->Created(c)) {
        c->SetStateItem(csLoading, false);
        c->SetStateItem(csReading, false);
      }
    }
    created_->DeleteAll();
    loaded_.clear();
    fixups_.clear();
  };
  try {
    ScopeGuard cleanUpOnFailure(cleanUp);
    if (!root) {
      root = FindComponentClass(node)->Create(nullptr);
      created_->Add(root);
    }
    root_ = lookupRoot_ = root;
    owner_ = root;
    parent_ = nullptr;
    root->SetStateItem(csLoading, true);
    root->SetStateItem(csReading, true);
    loaded_.push_back(root);
    if (!node.Name.empty() && !SameText(root->Name(), node.Name)) {
      // A root whose owner already holds the name gets the first free numbered one.
      String name = node.Name;
      if (TComponent* owner = root->Owner()) {
        for (int i = 1; owner->FindComponent(name) && owner->FindComponent(name) != root; ++i)
          name = node.Name + u"_" + IntToStr(i);
      }
      try {
        root->SetName(name);
      } catch (const Exception& e) {
        ErrorAt(node.Line, e.Message());
      }
    }
    currentNode_ = &node;
    root->ReadState(this);
    currentNode_ = nullptr;
    root->SetStateItem(csReading, false);
    DoFixups();
    // Loaded runs on components that still exist: one Loaded may delete another component.
    std::vector<TComponent*> loaded = loaded_;
    for (TComponent* c : loaded) {
      if (created_->Created(c) && !created_->Alive(c)) continue;
      try {
        c->Loaded();
      } catch (const EDescriptionError&) {
        throw;
      } catch (const Exception& e) {
        ErrorAt(node.Line, Format(u"Error loading %s: %s", {c->Name(), e.Message()}));
      }
      c->SetStateItem(csLoading, false);
    }
    loaded_.clear();
    created_->Release();
    cleanUpOnFailure.Dismiss();
    return root;
  } catch (const EDescriptionError&) {
    throw;
  } catch (const Exception& e) {
    throw EDescriptionError(description_.FileName, node.Line, e.Message());
  }
}

// ---- Writer --------------------------------------------------------------------------------

TWriter::TWriter() = default;
TWriter::~TWriter() = default;

String TWriter::ClassName() const { return u"TWriter"; }

TDescriptionObject TWriter::WriteRootComponent(TComponent* root) {
  root_ = lookupRoot_ = root;
  TDescriptionObject out;
  out.Block = root->ComponentState().Contains(csInline) ? TDescriptionBlock::Inline
                                                        : TDescriptionBlock::Object;
  out.Name = root->Name();
  out.ClassName = root->ClassName();
  current_ = &out;
  prefix_.clear();
  bool wasWriting = root->ComponentState().Contains(csWriting);
  root->SetStateItem(csWriting, true);
  ScopeGuard restore([&] {
    root->SetStateItem(csWriting, wasWriting);
    current_ = nullptr;
  });
  root->WriteState(this);
  return out;
}

void TWriter::WriteData(TComponent* instance) {
  WriteProperties(instance);
  if (std::find(ancestry_.begin(), ancestry_.end(), instance) != ancestry_.end())
    throw EWriteError(Format(u"Component %s contains itself", {instance->Name()}));
  ancestry_.push_back(instance);
  ScopeGuard pop([this] { ancestry_.pop_back(); });
  instance->GetChildren([this](TComponent* child) { WriteComponent(child); }, root_);
}

void TWriter::WriteComponent(TComponent* component) {
  TDescriptionObject node;
  node.Block = component->ComponentState().Contains(csInline) ? TDescriptionBlock::Inline
                                                              : TDescriptionBlock::Object;
  node.Name = component->Name();
  node.ClassName = component->ClassName();
  TDescriptionObject* savedCurrent = current_;
  String savedPrefix = prefix_;
  current_ = &node;
  prefix_.clear();
  bool wasWriting = component->ComponentState().Contains(csWriting);
  component->SetStateItem(csWriting, true);
  {
    ScopeGuard restore([&] {
      component->SetStateItem(csWriting, wasWriting);
      current_ = savedCurrent;
      prefix_ = savedPrefix;
    });
    component->WriteState(this);
  }
  current_->Children.push_back(std::move(node));
}

void TWriter::WriteProperties(TPersistent* instance) {
  for (const TPropInfo* prop : GetPropList(instance)) WriteProperty(instance, prop);
  DefinePropertiesOf(instance, this);
}

void TWriter::AddProperty(const String& name, TDescriptionValue value) {
  TDescriptionProperty p;
  p.Name = prefix_ + name;
  p.Value = std::move(value);
  current_->Properties.push_back(std::move(p));
}

void TWriter::WriteProperty(TPersistent* instance, const TPropInfo* prop) {
  if (!IsStoredProp(instance, prop)) return;
  const TTypeInfo* type = prop->PropType;
  if (prop->BindMethod) {
    if (!prop->MethodAssigned(instance)) return;
    TObject* data = nullptr;
    String name;
    // Only handlers of the root can be named in its description.
    if (prop->GetBoundMethod(instance, data, name) && data == lookupRoot_ && !name.empty())
      AddProperty(prop->Name, TDescriptionValue::Ident(name));
    return;
  }
  switch (type->Kind()) {
    case tkInteger:
    case tkInt64:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet: {
      if (!prop->SetOrd) return;
      std::int64_t v = GetOrdProp(instance, prop);
      if (prop->Default != NoDefault) {
        if (v == prop->Default) return;
      } else if (type->Kind() == tkInt64 && v == 0) {
        return;
      }
      TDescriptionValue value;
      String ident;
      switch (type->Kind()) {
        case tkEnumeration: value = TDescriptionValue::Ident(GetEnumName(type, v)); break;
        case tkSet:
          value.Type = vaSet;
          for (std::int64_t i = 0; i <= type->CompType()->MaxValue(); ++i)
            if (v & (std::int64_t{1} << i))
              value.Elements.push_back(GetEnumName(type->CompType(), i));
          break;
        case tkChar:
        case tkWChar:
          value = TDescriptionValue::StringValue(String(1, static_cast<Char>(v)));
          break;
        default:
          value = IntToIdent(type, v, ident) ? TDescriptionValue::Ident(ident)
                                             : TDescriptionValue::Integer(v);
          break;
      }
      AddProperty(prop->Name, std::move(value));
      return;
    }
    case tkFloat: {
      if (!prop->SetFloat) return;
      Extended v = prop->GetFloat(instance);
      if (prop->FloatDefault && v == *prop->FloatDefault) return;
      TValueType t = type->FloatType() == ftSingle ? vaSingle
                     : type->FloatType() == ftCurr ? vaCurrency
                                                   : vaExtended;
      AddProperty(prop->Name, TDescriptionValue::FloatValue(v, t));
      return;
    }
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString: {
      if (!prop->SetStr) return;
      String v = prop->GetStr(instance);
      if (v.empty()) return;
      AddProperty(prop->Name, TDescriptionValue::StringValue(v));
      return;
    }
    case tkClass: {
      TObject* obj = prop->GetObj ? prop->GetObj(instance) : nullptr;
      if (!obj) return;
      auto* component = prop->IsComponentRef ? dynamic_cast<TComponent*>(obj) : nullptr;
      if (component && !(component->ComponentStyle().Contains(csSubComponent) &&
                         component->Owner() == instance)) {
        String name = ComponentRefName(component);
        if (!name.empty()) AddProperty(prop->Name, TDescriptionValue::Ident(name));
        return;
      }
      if (auto* collection = dynamic_cast<TCollection*>(obj)) {
        if (collection->Count() == 0) return;
        TDescriptionValue value;
        value.Type = vaCollection;
        for (int i = 0; i < collection->Count(); ++i) {
          TDescriptionObject holder;
          TDescriptionObject* savedCurrent = current_;
          String savedPrefix = prefix_;
          current_ = &holder;
          prefix_.clear();
          {
            ScopeGuard restore([&] {
              current_ = savedCurrent;
              prefix_ = savedPrefix;
            });
            WriteProperties(collection->Items(i));
          }
          TDescriptionItem item;
          item.Properties = std::move(holder.Properties);
          value.Collection.push_back(std::move(item));
        }
        AddProperty(prop->Name, std::move(value));
        return;
      }
      auto* sub = dynamic_cast<TPersistent*>(obj);
      if (!sub) return;
      String savedPrefix = prefix_;
      prefix_ += prop->Name + u".";
      ScopeGuard restore([&] { prefix_ = savedPrefix; });
      WriteProperties(sub);
      return;
    }
    default: return;
  }
}

String TWriter::ComponentRefName(TComponent* component) const {
  if (component->Name().empty()) return String();
  if (component == lookupRoot_ || component->Owner() == lookupRoot_ || !component->Owner() ||
      component->Owner()->Name().empty())
    return component->Name();
  return component->Owner()->Name() + u"." + component->Name();
}

void TWriter::WriteValue(TDescriptionValue value) {
  if (!sink_.empty()) {
    sink_.back()->Items.push_back(std::move(value));
  } else {
    written_.push_back(std::move(value));
  }
}

void TWriter::WriteBoolean(bool value) {
  WriteValue(TDescriptionValue::Ident(value ? u"True" : u"False"));
}
void TWriter::WriteChar(Char value) {
  WriteValue(TDescriptionValue::StringValue(String(1, value)));
}
void TWriter::WriteInteger(std::int64_t value) { WriteValue(TDescriptionValue::Integer(value)); }
void TWriter::WriteFloat(Extended value) { WriteValue(TDescriptionValue::FloatValue(value)); }
void TWriter::WriteSingle(float value) {
  WriteValue(TDescriptionValue::FloatValue(value, vaSingle));
}
void TWriter::WriteDouble(double value) { WriteValue(TDescriptionValue::FloatValue(value)); }
void TWriter::WriteDate(double value) { WriteValue(TDescriptionValue::FloatValue(value, vaDate)); }
void TWriter::WriteIdent(const String& ident) { WriteValue(TDescriptionValue::Ident(ident)); }
void TWriter::WriteString(const String& value) {
  WriteValue(TDescriptionValue::StringValue(value));
}

void TWriter::WriteSet(std::uint32_t bits, const TTypeInfo* setType) {
  TDescriptionValue value;
  value.Type = vaSet;
  const TTypeInfo* comp = setType ? setType->CompType() : nullptr;
  if (comp)
    for (std::int64_t i = 0; i <= comp->MaxValue(); ++i)
      if (bits & (std::uint32_t{1} << i)) value.Elements.push_back(GetEnumName(comp, i));
  WriteValue(std::move(value));
}

void TWriter::WriteBinary(const std::vector<std::uint8_t>& bytes) {
  TDescriptionValue value;
  value.Type = vaBinary;
  value.Bytes = bytes;
  WriteValue(std::move(value));
}

void TWriter::WriteListBegin() {
  TDescriptionValue list;
  list.Type = vaList;
  if (!sink_.empty()) {
    sink_.back()->Items.push_back(std::move(list));
    sink_.push_back(&sink_.back()->Items.back());
  } else {
    written_.push_back(std::move(list));
    sink_.push_back(&written_.back());
  }
}

void TWriter::WriteListEnd() {
  if (sink_.empty()) throw EWriteError(u"List end without a list");
  sink_.pop_back();
}

void TWriter::WriteDefined(const String& name, const std::function<void()>& write) {
  std::vector<TDescriptionValue> savedWritten = std::move(written_);
  std::vector<TDescriptionValue*> savedSink = std::move(sink_);
  written_.clear();
  sink_.clear();
  write();
  bool balanced = sink_.empty();
  std::vector<TDescriptionValue> values = std::move(written_);
  written_ = std::move(savedWritten);
  sink_ = std::move(savedSink);
  if (!balanced) throw EWriteError(Format(u"Property %s: list not ended", {name}));
  if (values.size() != 1) throw EWriteError(Format(u"Property %s: one value expected", {name}));
  AddProperty(name, std::move(values[0]));
}

void TWriter::DefineProperty(const String& name, const TReaderProc&, const TWriterProc& writeData,
                             bool hasData) {
  if (!hasData || !writeData) return;
  WriteDefined(name, [&] { writeData(this); });
}

void TWriter::DefineBinaryProperty(const String& name, const TStreamProc&,
                                   const TStreamProc& writeData, bool hasData) {
  if (!hasData || !writeData) return;
  TMemoryStream stream;
  writeData(&stream);
  TDescriptionValue value;
  value.Type = vaBinary;
  const auto* p = static_cast<const std::uint8_t*>(stream.Memory());
  value.Bytes.assign(p, p + stream.Size());
  AddProperty(name, std::move(value));
}

// ---- Whole components ----------------------------------------------------------------------

TComponent* ReadComponentDescription(const TFormDescription& description, TComponent* instance) {
  TReader reader(description);
  return reader.ReadRootComponent(instance);
}

TComponent* ReadComponentText(const String& text, const String& fileName, TComponent* instance) {
  TFormDescription d = ParseFormDescription(text, fileName);
  return ReadComponentDescription(d, instance);
}

TComponent* ReadComponentResFile(const String& fileName, TComponent* instance) {
  TMemoryStream stream;
  stream.LoadFromFile(fileName);
  std::string_view text(static_cast<const char*>(stream.Memory()),
                        static_cast<std::size_t>(stream.Size()));
  TFormDescription d = ParseFormDescription(text, fileName);
  return ReadComponentDescription(d, instance);
}

TComponent* ReadComponentRes(const String& resName, TComponent* instance) {
  const TEmbeddedDescription* e = FindFormDescription(resName);
  if (!e) throw EResNotFound(Format(u"Resource %s not found", {resName}));
  TFormDescription d = ParseFormDescription(e->Text, e->FileName);
  return ReadComponentDescription(d, instance);
}

bool InitInheritedComponent(TComponent* instance, const String& rootAncestor) {
  std::vector<String> chain;
  for (const TClassInfo* c = GetClassInfo(instance); c && !SameText(c->Name(), rootAncestor);
       c = c->Parent())
    chain.push_back(c->Name());
  bool any = false;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const TEmbeddedDescription* e = FindFormDescription(*it);
    if (!e || !SameText(e->ResourceName, *it)) continue;
    TFormDescription d = ParseFormDescription(e->Text, e->FileName);
    ReadComponentDescription(d, instance);
    any = true;
  }
  return any;
}

std::vector<String> CheckEmbeddedDescriptions(
    const std::function<TComponent*(const TEmbeddedDescription& description)>& makeRoot) {
  std::vector<String> failures;
  for (const TEmbeddedDescription* e : EmbeddedFormDescriptions()) {
    TComponent* root = nullptr;
    try {
      TFormDescription d = ParseFormDescription(e->Text, e->FileName);
      root = makeRoot ? makeRoot(*e) : nullptr;
      root = ReadComponentDescription(d, root);
    } catch (const Exception& ex) {
      failures.push_back(ex.Message());
    }
    delete root;
  }
  return failures;
}

TFormDescription WriteComponentDescription(TComponent* root, const String& fileName) {
  TWriter writer;
  TFormDescription d;
  d.FileName = fileName;
  d.Root = writer.WriteRootComponent(root);
  return d;
}

String WriteComponentText(TComponent* root) {
  return FormDescriptionToText(WriteComponentDescription(root));
}

void WriteComponentResFile(const String& fileName, TComponent* root) {
  std::string text = ToUtf8(WriteComponentText(root));
  TMemoryStream stream;
  if (!text.empty()) stream.WriteBuffer(text.data(), static_cast<int>(text.size()));
  stream.SaveToFile(fileName);
}
