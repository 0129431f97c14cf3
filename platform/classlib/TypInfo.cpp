#include "TypInfo.h"

#include <climits>
#include <map>
#include <mutex>

#include "GraphicsTypeInfo.h"

// ---- Types ------------------------------------------------------------------------------

TTypeInfo TTypeInfo::Integer(String name, TOrdType ordType, std::vector<TIdentMapEntry> idents) {
  TTypeInfo t;
  t.kind_ = tkInteger;
  t.name_ = std::move(name);
  t.ordType_ = ordType;
  switch (ordType) {
    case otSByte: t.min_ = INT8_MIN, t.max_ = INT8_MAX; break;
    case otUByte: t.min_ = 0, t.max_ = UINT8_MAX; break;
    case otSWord: t.min_ = INT16_MIN, t.max_ = INT16_MAX; break;
    case otUWord: t.min_ = 0, t.max_ = UINT16_MAX; break;
    case otSLong: t.min_ = INT32_MIN, t.max_ = INT32_MAX; break;
    case otULong: t.min_ = 0, t.max_ = UINT32_MAX; break;
  }
  t.idents_ = std::move(idents);
  return t;
}

TTypeInfo TTypeInfo::Int64(String name) {
  TTypeInfo t;
  t.kind_ = tkInt64;
  t.name_ = std::move(name);
  t.min_ = INT64_MIN;
  t.max_ = INT64_MAX;
  return t;
}

TTypeInfo TTypeInfo::Char(String name) {
  TTypeInfo t;
  t.kind_ = tkWChar;
  t.name_ = std::move(name);
  t.ordType_ = otUWord;
  t.max_ = UINT16_MAX;
  return t;
}

TTypeInfo TTypeInfo::Enumeration(String name, std::initializer_list<const char16_t*> names) {
  TTypeInfo t;
  t.kind_ = tkEnumeration;
  t.name_ = std::move(name);
  for (const char16_t* n : names) t.names_.emplace_back(n);
  t.max_ = static_cast<std::int64_t>(t.names_.size()) - 1;
  t.ordType_ = t.names_.size() <= 256 ? otUByte : otUWord;
  return t;
}

TTypeInfo TTypeInfo::Set(String name, const TTypeInfo* elementType) {
  if (!elementType || elementType->kind_ != tkEnumeration || elementType->max_ > 31)
    throw EPropertyError(Format(u"Set type %s needs an enumeration of at most 32 values", {name}));
  TTypeInfo t;
  t.kind_ = tkSet;
  t.name_ = std::move(name);
  t.compType_ = elementType;
  t.ordType_ = otULong;
  t.max_ = elementType->max_ >= 31 ? UINT32_MAX : (std::int64_t{1} << (elementType->max_ + 1)) - 1;
  return t;
}

TTypeInfo TTypeInfo::Float(String name, TFloatType floatType) {
  TTypeInfo t;
  t.kind_ = tkFloat;
  t.name_ = std::move(name);
  t.floatType_ = floatType;
  return t;
}

TTypeInfo TTypeInfo::UString(String name) {
  TTypeInfo t;
  t.kind_ = tkUString;
  t.name_ = std::move(name);
  return t;
}

TTypeInfo TTypeInfo::Class(String name) {
  TTypeInfo t;
  t.kind_ = tkClass;
  t.name_ = std::move(name);
  return t;
}

TTypeInfo TTypeInfo::Method(String name) {
  TTypeInfo t;
  t.kind_ = tkMethod;
  t.name_ = std::move(name);
  return t;
}

bool TTypeInfo::IsOrdinal() const {
  return kind_ == tkInteger || kind_ == tkChar || kind_ == tkWChar || kind_ == tkEnumeration ||
         kind_ == tkSet || kind_ == tkInt64;
}

#define KORV_STD_TYPE(fn, expr)      \
  const TTypeInfo* fn() {            \
    static const TTypeInfo t = expr; \
    return &t;                       \
  }
KORV_STD_TYPE(TypeInfoBoolean, TTypeInfo::Enumeration(u"Boolean", {u"False", u"True"}))
KORV_STD_TYPE(TypeInfoShortInt, TTypeInfo::Integer(u"ShortInt", otSByte))
KORV_STD_TYPE(TypeInfoByte, TTypeInfo::Integer(u"Byte", otUByte))
KORV_STD_TYPE(TypeInfoSmallInt, TTypeInfo::Integer(u"SmallInt", otSWord))
KORV_STD_TYPE(TypeInfoWord, TTypeInfo::Integer(u"Word", otUWord))
KORV_STD_TYPE(TypeInfoInteger, TTypeInfo::Integer(u"Integer", otSLong))
KORV_STD_TYPE(TypeInfoCardinal, TTypeInfo::Integer(u"Cardinal", otULong))
KORV_STD_TYPE(TypeInfoInt64, TTypeInfo::Int64(u"Int64"))
KORV_STD_TYPE(TypeInfoNativeInt, TTypeInfo::Int64(u"NativeInt"))
KORV_STD_TYPE(TypeInfoChar, TTypeInfo::Char(u"Char"))
KORV_STD_TYPE(TypeInfoString, TTypeInfo::UString(u"string"))
KORV_STD_TYPE(TypeInfoSingle, TTypeInfo::Float(u"Single", ftSingle))
KORV_STD_TYPE(TypeInfoDouble, TTypeInfo::Float(u"Double", ftDouble))
KORV_STD_TYPE(TypeInfoExtended, TTypeInfo::Float(u"Extended", ftExtended))
KORV_STD_TYPE(TypeInfoNotifyEvent, TTypeInfo::Method(u"TNotifyEvent"))
KORV_STD_TYPE(TypeInfoClass, TTypeInfo::Class(u"TObject"))
#undef KORV_STD_TYPE

std::int64_t NormalizeOrdValue(const TTypeInfo* type, std::int64_t value) {
  if (!type) return value;
  switch (type->Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar:
      switch (type->OrdType()) {
        case otSByte: return static_cast<std::int8_t>(value);
        case otUByte: return static_cast<std::uint8_t>(value);
        case otSWord: return static_cast<std::int16_t>(value);
        case otUWord: return static_cast<std::uint16_t>(value);
        case otSLong: return static_cast<std::int32_t>(value);
        case otULong: return static_cast<std::uint32_t>(value);
      }
      return value;
    case tkSet: return static_cast<std::uint32_t>(value);
    default: return value;
  }
}

String GetEnumName(const TTypeInfo* type, std::int64_t value) {
  if (!type || type->Kind() != tkEnumeration || value < type->MinValue() ||
      value > type->MaxValue())
    return String();
  return type->EnumNames()[static_cast<std::size_t>(value - type->MinValue())];
}

int GetEnumValue(const TTypeInfo* type, const String& name) {
  if (!type || type->Kind() != tkEnumeration) return -1;
  const auto& names = type->EnumNames();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (SameText(names[i], name)) return static_cast<int>(type->MinValue() + std::int64_t(i));
  return -1;
}

String SetToString(const TTypeInfo* setType, std::uint32_t value, bool brackets) {
  String s;
  const TTypeInfo* comp = setType ? setType->CompType() : nullptr;
  if (comp) {
    for (std::int64_t i = comp->MinValue(); i <= comp->MaxValue(); ++i) {
      if (value & (std::uint32_t{1} << i)) {
        if (!s.empty()) s += u',';
        s += GetEnumName(comp, i);
      }
    }
  }
  return brackets ? u"[" + s + u"]" : s;
}

std::uint32_t StringToSet(const TTypeInfo* setType, const String& text) {
  const TTypeInfo* comp = setType ? setType->CompType() : nullptr;
  if (!comp) throw EPropertyConvertError(u"Invalid property type: not a set");
  String t = Trim(text);
  if (!t.empty() && t.front() == u'[') {
    if (t.back() != u']')
      throw EPropertyConvertError(Format(u"Invalid property element: %s", {text}));
    t = t.substr(1, t.size() - 2);
  }
  std::uint32_t bits = 0;
  std::size_t start = 0;
  while (start <= t.size()) {
    std::size_t comma = t.find(u',', start);
    if (comma == String::npos) comma = t.size();
    String name = Trim(t.substr(start, comma - start));
    if (!name.empty()) {
      int v = GetEnumValue(comp, name);
      if (v < 0) throw EPropertyConvertError(Format(u"Invalid property element: %s", {name}));
      bits |= std::uint32_t{1} << v;
    } else if (comma < t.size()) {
      throw EPropertyConvertError(Format(u"Invalid property element: %s", {text}));
    }
    start = comma + 1;
  }
  return bits;
}

bool IdentToInt(const TTypeInfo* type, const String& ident, std::int64_t& value) {
  if (!type) return false;
  for (const auto& e : type->Idents()) {
    if (SameText(e.Name, ident)) {
      value = e.Value;
      return true;
    }
  }
  return false;
}

bool IntToIdent(const TTypeInfo* type, std::int64_t value, String& ident) {
  if (!type) return false;
  std::int64_t v = NormalizeOrdValue(type, value);
  for (const auto& e : type->Idents()) {
    if (NormalizeOrdValue(type, e.Value) == v) {
      ident = e.Name;
      return true;
    }
  }
  return false;
}

bool TPropInfo::Writable() const { return SetOrd || SetFloat || SetStr || SetObj || BindMethod; }

// ---- The registry ----------------------------------------------------------------------

namespace {

struct Registry {
  std::map<String, std::unique_ptr<TClassInfo>> byName;  // upper-case names
  std::map<std::type_index, const TClassInfo*> byType;
  std::map<std::type_index, const TClassInfo*> cache;  // dynamic types met so far
  std::map<String, TComponentFactory> extraFactories;  // RegisterClass without a table
  std::recursive_mutex mutex;
};

Registry& TheRegistry() {
  static Registry r;
  return r;
}

// The standard tables are made on first use rather than by static constructors, which a
// static library would not link.
void EnsureStandardTables() {
  static std::once_flag once;
  std::call_once(once, [] { RegisterStandardClassTables(); });
}

}  // namespace

TClassInfo::TClassInfo(String name, String parentName)
    : name_(std::move(name)), parentName_(std::move(parentName)) {}

const TClassInfo* TClassInfo::Parent() const {
  if (parentName_.empty()) return nullptr;
  const TClassInfo* p = FindClassInfo(parentName_);
  if (!p) throw EClassNotFound(Format(u"Class %s not found", {parentName_}));
  return p;
}

bool TClassInfo::InheritsFrom(const TClassInfo* other) const {
  for (const TClassInfo* c = this; c; c = c->Parent())
    if (c == other) return true;
  return false;
}

bool TClassInfo::InheritsFrom(const String& className) const {
  for (const TClassInfo* c = this; c; c = c->Parent())
    if (SameText(c->name_, className)) return true;
  return false;
}

TComponent* TClassInfo::Create(TComponent* owner) const {
  if (!factory_) throw EComponentError(Format(u"Cannot create %s", {name_}));
  return factory_(owner);
}

bool TClassInfo::IsInstance(const TObject* object) const {
  return object && isInstance_ && isInstance_(object);
}

const TPropInfo* TClassInfo::FindProp(const String& name) const {
  String key = UpperCase(name);
  for (const TClassInfo* c = this; c; c = c->Parent()) {
    auto it = c->propIndex_.find(key);
    if (it != c->propIndex_.end()) return c->props_[it->second].get();
  }
  return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::PropList() const {
  std::vector<const TPropInfo*> list;
  if (const TClassInfo* p = Parent()) list = p->PropList();
  for (const auto& prop : props_) {
    bool replaced = false;
    for (auto& existing : list) {
      if (SameText(existing->Name, prop->Name)) {
        existing = prop.get();
        replaced = true;
        break;
      }
    }
    if (!replaced) list.push_back(prop.get());
  }
  return list;
}

const TMethodEntry* TClassInfo::FindMethod(const String& name) const {
  for (const TClassInfo* c = this; c; c = c->Parent())
    for (const auto& m : c->methods_)
      if (SameText(m.Name, name)) return &m;
  return nullptr;
}

const TFieldEntry* TClassInfo::FindField(const String& name) const {
  for (const auto& f : fields_)
    if (SameText(f.Name, name)) return &f;
  return nullptr;
}

std::vector<const TDefinePropertiesProc*> TClassInfo::Definers() const {
  std::vector<const TDefinePropertiesProc*> list;
  if (const TClassInfo* p = Parent()) list = p->Definers();
  for (const auto& d : definers_) list.push_back(&d);
  return list;
}

TPropInfo& TClassInfo::AddProp(TPropInfo prop) {
  prop.Owner = this;
  String key = UpperCase(prop.Name);
  auto it = propIndex_.find(key);
  if (it != propIndex_.end()) {
    *props_[it->second] = std::move(prop);
    return *props_[it->second];
  }
  props_.push_back(std::make_unique<TPropInfo>(std::move(prop)));
  propIndex_[key] = props_.size() - 1;
  return *props_.back();
}

void TClassInfo::AddMethod(TMethodEntry method) { methods_.push_back(std::move(method)); }
void TClassInfo::AddField(TFieldEntry field) { fields_.push_back(std::move(field)); }

int TClassInfo::Depth() const {
  int d = 0;
  for (const TClassInfo* c = Parent(); c; c = c->Parent()) ++d;
  return d;
}

TClassInfo* RegisterClassInfo(const String& className, const String& parentName) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  String key = UpperCase(className);
  auto it = r.byName.find(key);
  if (it != r.byName.end()) {
    if (!SameText(it->second->ParentName(), parentName))
      throw EPropertyError(Format(u"Class %s is registered with another parent", {className}));
    return it->second.get();
  }
  auto info = std::make_unique<TClassInfo>(className, parentName);
  TClassInfo* raw = info.get();
  r.byName.emplace(key, std::move(info));
  r.cache.clear();
  return raw;
}

void RegisterClassType(std::type_index type, const TClassInfo* info) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  r.byType[type] = info;
  r.cache.clear();
}

const TClassInfo* FindClassInfo(const String& className) {
  EnsureStandardTables();
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  auto it = r.byName.find(UpperCase(className));
  return it == r.byName.end() ? nullptr : it->second.get();
}

const TClassInfo* FindClassInfo(std::type_index type) {
  EnsureStandardTables();
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  auto it = r.byType.find(type);
  return it == r.byType.end() ? nullptr : it->second;
}

const TClassInfo* GetClassInfo(const TObject* object) {
  if (!object) return nullptr;
  EnsureStandardTables();
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  std::type_index type = typeid(*object);
  if (auto it = r.cache.find(type); it != r.cache.end()) return it->second;
  const TClassInfo* found = nullptr;
  if (auto it = r.byType.find(type); it != r.byType.end()) found = it->second;
  if (!found) {
    auto it = r.byName.find(UpperCase(object->ClassName()));
    if (it != r.byName.end() && it->second->IsInstance(object)) found = it->second.get();
  }
  if (!found) {
    // The nearest registered base class: the deepest table the object is an instance of.
    int best = -1;
    for (const auto& [name, info] : r.byName) {
      if (!info->IsInstance(object)) continue;
      int depth = info->Depth();
      if (depth > best) {
        best = depth;
        found = info.get();
      }
    }
  }
  r.cache[type] = found;
  return found;
}

void RegisterClass(const String& className, TComponentFactory factory) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  auto it = r.byName.find(UpperCase(className));
  if (it != r.byName.end()) {
    it->second->SetFactory(std::move(factory));
  } else {
    r.extraFactories[UpperCase(className)] = std::move(factory);
  }
}

TComponentClass GetClass(const String& className) {
  const TClassInfo* info = FindClassInfo(className);
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  String key = UpperCase(className);
  if (!info) {
    // A class registered without a table gets a bare record with TComponent as its parent.
    auto f = r.extraFactories.find(key);
    if (f == r.extraFactories.end()) return nullptr;
    TClassInfo* made = RegisterClassInfo(className, u"TComponent");
    made->SetFactory(f->second);
    r.extraFactories.erase(f);
    return made;
  }
  if (!info->Creatable()) {
    auto f = r.extraFactories.find(key);
    if (f == r.extraFactories.end()) return nullptr;
    const_cast<TClassInfo*>(info)->SetFactory(f->second);
    r.extraFactories.erase(f);
  }
  return info;
}

TComponentClass FindClass(const String& className) {
  TComponentClass c = GetClass(className);
  if (!c) throw EClassNotFound(Format(u"Class %s not found", {className}));
  return c;
}

// ---- Access by name ----------------------------------------------------------------------

const TPropInfo* GetPropInfo(const TObject* instance, const String& propName) {
  const TClassInfo* info = GetClassInfo(instance);
  return info ? info->FindProp(propName) : nullptr;
}

const TPropInfo* GetPropInfo(const TObject* instance, const String& propName, TTypeKind kind) {
  const TPropInfo* p = GetPropInfo(instance, propName);
  return p && p->PropType->Kind() == kind ? p : nullptr;
}

bool IsPublishedProp(const TObject* instance, const String& propName) {
  return GetPropInfo(instance, propName) != nullptr;
}

namespace {

const TPropInfo* Need(const TObject* instance, const String& propName) {
  const TPropInfo* p = GetPropInfo(instance, propName);
  if (!p) throw EPropertyError(Format(u"Property %s does not exist", {propName}));
  return p;
}

[[noreturn]] void WrongType(const TPropInfo* p) {
  throw EPropertyConvertError(Format(u"Invalid property type: %s", {p->PropType->Name()}));
}

[[noreturn]] void ReadOnly(const TPropInfo* p) {
  throw EPropReadOnly(Format(u"Property %s is read-only", {p->Name}));
}

}  // namespace

bool PropIsType(const TObject* instance, const String& propName, TTypeKind kind) {
  return Need(instance, propName)->PropType->Kind() == kind;
}

TTypeKind PropType(const TObject* instance, const String& propName) {
  return Need(instance, propName)->PropType->Kind();
}

std::vector<const TPropInfo*> GetPropList(const TObject* instance) {
  const TClassInfo* info = GetClassInfo(instance);
  return info ? info->PropList() : std::vector<const TPropInfo*>{};
}

bool IsStoredProp(TObject* instance, const TPropInfo* prop) {
  if (prop->StoredNever) return false;
  return prop->StoredProc ? prop->StoredProc(instance) : true;
}

std::int64_t GetOrdProp(TObject* instance, const TPropInfo* prop) {
  if (!prop->GetOrd) WrongType(prop);
  return NormalizeOrdValue(prop->PropType, prop->GetOrd(instance));
}

std::int64_t GetOrdProp(TObject* instance, const String& propName) {
  return GetOrdProp(instance, Need(instance, propName));
}

void SetOrdProp(TObject* instance, const TPropInfo* prop, std::int64_t value) {
  if (!prop->GetOrd) WrongType(prop);
  if (!prop->SetOrd) ReadOnly(prop);
  const TTypeInfo* t = prop->PropType;
  if (t->Kind() == tkEnumeration && (value < t->MinValue() || value > t->MaxValue()))
    throw ERangeError(u"Range check error");
  if (t->Kind() == tkSet && (value < 0 || value > t->MaxValue()))
    throw ERangeError(u"Range check error");
  prop->SetOrd(instance, NormalizeOrdValue(t, value));
}

void SetOrdProp(TObject* instance, const String& propName, std::int64_t value) {
  SetOrdProp(instance, Need(instance, propName), value);
}

String GetEnumProp(TObject* instance, const String& propName) {
  const TPropInfo* p = Need(instance, propName);
  if (p->PropType->Kind() != tkEnumeration) WrongType(p);
  return GetEnumName(p->PropType, GetOrdProp(instance, p));
}

void SetEnumProp(TObject* instance, const String& propName, const String& value) {
  const TPropInfo* p = Need(instance, propName);
  if (p->PropType->Kind() != tkEnumeration) WrongType(p);
  int v = GetEnumValue(p->PropType, value);
  if (v < 0) throw EPropertyConvertError(Format(u"Invalid property element: %s", {value}));
  SetOrdProp(instance, p, v);
}

String GetSetProp(TObject* instance, const String& propName, bool brackets) {
  const TPropInfo* p = Need(instance, propName);
  if (p->PropType->Kind() != tkSet) WrongType(p);
  return SetToString(p->PropType, static_cast<std::uint32_t>(GetOrdProp(instance, p)), brackets);
}

void SetSetProp(TObject* instance, const String& propName, const String& value) {
  const TPropInfo* p = Need(instance, propName);
  if (p->PropType->Kind() != tkSet) WrongType(p);
  SetOrdProp(instance, p, StringToSet(p->PropType, value));
}

Extended GetFloatProp(TObject* instance, const String& propName) {
  const TPropInfo* p = Need(instance, propName);
  if (!p->GetFloat) WrongType(p);
  return p->GetFloat(instance);
}

void SetFloatProp(TObject* instance, const String& propName, Extended value) {
  const TPropInfo* p = Need(instance, propName);
  if (!p->GetFloat) WrongType(p);
  if (!p->SetFloat) ReadOnly(p);
  p->SetFloat(instance, value);
}

String GetStrProp(TObject* instance, const String& propName) {
  const TPropInfo* p = Need(instance, propName);
  if (!p->GetStr) WrongType(p);
  return p->GetStr(instance);
}

void SetStrProp(TObject* instance, const String& propName, const String& value) {
  const TPropInfo* p = Need(instance, propName);
  if (!p->GetStr) WrongType(p);
  if (!p->SetStr) ReadOnly(p);
  p->SetStr(instance, value);
}

TObject* GetObjectProp(TObject* instance, const String& propName) {
  const TPropInfo* p = Need(instance, propName);
  if (!p->GetObj) WrongType(p);
  return p->GetObj(instance);
}

void SetObjectProp(TObject* instance, const String& propName, TObject* value) {
  const TPropInfo* p = Need(instance, propName);
  if (!p->GetObj) WrongType(p);
  if (!p->SetObj) ReadOnly(p);
  p->SetObj(instance, value);
}

String GetMethodProp(TObject* instance, const String& propName) {
  const TPropInfo* p = Need(instance, propName);
  if (!p->GetBoundMethod) WrongType(p);
  TObject* data = nullptr;
  String name;
  return p->GetBoundMethod(instance, data, name) ? name : String();
}

const TMethodEntry* FindMethod(const TObject* data, const String& methodName) {
  const TClassInfo* info = GetClassInfo(data);
  return info ? info->FindMethod(methodName) : nullptr;
}

void SetMethodProp(TObject* instance, const String& propName, TObject* data,
                   const String& methodName) {
  const TPropInfo* p = Need(instance, propName);
  if (!p->BindMethod) WrongType(p);
  if (methodName.empty()) {
    p->ClearMethod(instance);
    return;
  }
  const TMethodEntry* m = FindMethod(data, methodName);
  if (!m) throw EMethodNotFound(Format(u"Method %s not found", {methodName}));
  if (!p->BindMethod(instance, data, *m))
    throw EPropertyConvertError(
        Format(u"The %s method referenced by %s has an incompatible parameter list",
               {methodName, p->Name}));
}
