#pragma once
// Run-time information about published properties, in the shape of the platform's: one table
// per class chained to its parent's, read and written by property name. Form descriptions are
// applied through it, and controls push settings to one another by property name.
//
// A class declares its table once, in its own .cpp:
//
//   static const TClassRegistration kSpinEdit =
//       Published<TRzSpinEdit>(u"TRzSpinEdit", u"TRzCustomEdit")
//           .Creatable()
//           .Float(u"Max", &TRzSpinEdit::Max, &TRzSpinEdit::SetMax)
//           .Ord(u"Color", TypeInfoTColor(), &TControl::Color, &TControl::SetColor, clWindow)
//           .Bool(u"CheckRange", &TRzSpinEdit::CheckRange, &TRzSpinEdit::SetCheckRange, false)
//           .Object(u"Font", &TControl::Font, &TControl::SetFont)
//           .Event(u"OnChange", &TRzSpinEdit::OnChange);
//
// Getters and setters may be member functions, data members or lambdas taking the object.
// Tables are looked up by ClassName(); an object whose class name has no table uses the
// table of its nearest registered base class.
#include <any>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <typeindex>
#include <typeinfo>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Classes.h"
#include "Components.h"

KORV_EXCEPTION(EPropertyError, Exception);
KORV_EXCEPTION(EPropertyConvertError, Exception);
KORV_EXCEPTION(EPropReadOnly, EPropertyError);
KORV_EXCEPTION(EFilerError, EStreamError);
KORV_EXCEPTION(EClassNotFound, EFilerError);
KORV_EXCEPTION(EMethodNotFound, EFilerError);

enum TTypeKind : std::uint8_t {
  tkUnknown,
  tkInteger,
  tkChar,
  tkEnumeration,
  tkFloat,
  tkString,
  tkSet,
  tkClass,
  tkMethod,
  tkWChar,
  tkLString,
  tkWString,
  tkVariant,
  tkArray,
  tkRecord,
  tkInterface,
  tkInt64,
  tkDynArray,
  tkUString
};

enum TOrdType : std::uint8_t { otSByte, otUByte, otSWord, otUWord, otSLong, otULong };
enum TFloatType : std::uint8_t { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

// An identifier that stands for an integer value in descriptions (clBtnFace for TColor).
struct TIdentMapEntry {
  std::int64_t Value;
  String Name;
};

class TClassInfo;

// Describes the type of a property. Ordinal types carry their range; enumerations their value
// names (Boolean is the enumeration False, True); sets their element type; integer types may
// carry identifiers for some values.
class TTypeInfo {
 public:
  static TTypeInfo Integer(String name, TOrdType ordType, std::vector<TIdentMapEntry> idents = {});
  static TTypeInfo Int64(String name);
  static TTypeInfo Char(String name);  // a UTF-16 code unit (tkWChar)
  static TTypeInfo Enumeration(String name, std::initializer_list<const char16_t*> names);
  // A set of an enumeration of at most 32 values; bit n stands for ordinal n.
  static TTypeInfo Set(String name, const TTypeInfo* elementType);
  static TTypeInfo Float(String name, TFloatType floatType);
  static TTypeInfo UString(String name);
  static TTypeInfo Class(String name);
  static TTypeInfo Method(String name);

  TTypeKind Kind() const { return kind_; }
  const String& Name() const { return name_; }
  TOrdType OrdType() const { return ordType_; }
  std::int64_t MinValue() const { return min_; }
  std::int64_t MaxValue() const { return max_; }
  TFloatType FloatType() const { return floatType_; }
  // Enumerations: the value names, MinValue first.
  const std::vector<String>& EnumNames() const { return names_; }
  // Sets: the element type.
  const TTypeInfo* CompType() const { return compType_; }
  const std::vector<TIdentMapEntry>& Idents() const { return idents_; }
  bool IsOrdinal() const;

 private:
  TTypeKind kind_ = tkUnknown;
  String name_;
  TOrdType ordType_ = otSLong;
  std::int64_t min_ = 0;
  std::int64_t max_ = 0;
  TFloatType floatType_ = ftExtended;
  std::vector<String> names_;
  const TTypeInfo* compType_ = nullptr;
  std::vector<TIdentMapEntry> idents_;
};

// The standard types.
const TTypeInfo* TypeInfoBoolean();
const TTypeInfo* TypeInfoShortInt();
const TTypeInfo* TypeInfoByte();
const TTypeInfo* TypeInfoSmallInt();
const TTypeInfo* TypeInfoWord();
const TTypeInfo* TypeInfoInteger();
const TTypeInfo* TypeInfoCardinal();
const TTypeInfo* TypeInfoInt64();
const TTypeInfo* TypeInfoNativeInt();
const TTypeInfo* TypeInfoChar();
const TTypeInfo* TypeInfoString();
const TTypeInfo* TypeInfoSingle();
const TTypeInfo* TypeInfoDouble();
const TTypeInfo* TypeInfoExtended();
const TTypeInfo* TypeInfoNotifyEvent();
const TTypeInfo* TypeInfoClass();

// An ordinal value in its type's own terms: integers wrapped to the type's size and signedness
// (a TColor reads as a signed 32-bit value), set bits as unsigned.
std::int64_t NormalizeOrdValue(const TTypeInfo* type, std::int64_t value);

// Enumeration names: GetEnumName is "" outside the range; GetEnumValue is case-insensitive and
// -1 for an unknown name.
String GetEnumName(const TTypeInfo* type, std::int64_t value);
int GetEnumValue(const TTypeInfo* type, const String& name);
// "sdLeft,sdTop" (bracketed: "[sdLeft,sdTop]").
String SetToString(const TTypeInfo* setType, std::uint32_t value, bool brackets = false);
// Accepts the text with or without brackets and with blanks around names. An unknown name
// raises EPropertyConvertError("Invalid property element: %s").
std::uint32_t StringToSet(const TTypeInfo* setType, const String& text);
// Identifiers of an integer type (case-insensitive).
bool IdentToInt(const TTypeInfo* type, const String& ident, std::int64_t& value);
bool IntToIdent(const TTypeInfo* type, std::int64_t value, String& ident);

// ---- Properties, methods and fields ----

// Ordinal default meaning "none": the value is always written.
constexpr std::int64_t NoDefault = std::int64_t(INT32_MIN);

template <typename Sig>
struct TBoundMethod;
// What an event holds when it was bound by name: the object the method runs on, the method's
// published name and the call. GetMethodProp reads the name back from it.
template <typename R, typename... A>
struct TBoundMethod<R(A...)> {
  TObject* Data = nullptr;
  String Name;
  std::function<R(A...)> Code;
  R operator()(A... args) const { return Code(std::forward<A>(args)...); }
};

struct TMethodEntry {
  String Name;
  std::type_index Signature = typeid(void);
  // std::function<R(TObject* self, A...)> for signature R(A...).
  std::shared_ptr<void> Invoker;
};

struct TFieldEntry {
  String Name;
  // Points the field at Value (nullptr clears); EComponentError when Value is of another class.
  std::function<void(TObject* owner, TComponent* value)> Set;
  std::function<TComponent*(const TObject* owner)> Get;
  // Creates the field's class; also keeps that class's unit linked into the program.
  std::function<TComponent*(TComponent* owner)> Make;
};

struct TPropInfo {
  String Name;
  const TTypeInfo* PropType = nullptr;
  std::int64_t Default = NoDefault;
  // Floats: not written while equal to it; without one a stored float is always written.
  std::optional<Extended> FloatDefault;
  // Stored rule: always unless a predicate is given; never when StoredNever.
  bool StoredNever = false;
  std::function<bool(TObject*)> StoredProc;
  const TClassInfo* Owner = nullptr;  // the class that declared it

  // Accessors, by kind; a missing setter makes the property read-only.
  std::function<std::int64_t(TObject*)> GetOrd;
  std::function<void(TObject*, std::int64_t)> SetOrd;
  std::function<Extended(TObject*)> GetFloat;
  std::function<void(TObject*, Extended)> SetFloat;
  std::function<String(TObject*)> GetStr;
  std::function<void(TObject*, const String&)> SetStr;
  std::function<TObject*(TObject*)> GetObj;
  std::function<void(TObject*, TObject*)> SetObj;
  // Class properties: true when the value is a component referenced by name, false for a
  // sub-object the instance keeps (Font).
  bool IsComponentRef = false;
  std::type_index ObjectType = typeid(void);  // the declared class
  // Events.
  std::type_index Signature = typeid(void);
  std::function<bool(TObject*)> MethodAssigned;
  std::function<void(TObject*)> ClearMethod;
  std::function<bool(TObject*, TObject*&, String&)> GetBoundMethod;
  std::function<bool(TObject*, TObject* data, const TMethodEntry&)> BindMethod;

  bool Writable() const;
};
using PPropInfo = const TPropInfo*;

using TComponentFactory = std::function<TComponent*(TComponent* owner)>;
using TDefinePropertiesProc = std::function<void(TPersistent* instance, TFiler* filer)>;

// One class's record: its name and parent, its published properties, methods and fields, and
// how to create it.
class TClassInfo {
 public:
  TClassInfo(String name, String parentName);
  const String& Name() const { return name_; }
  const String& ParentName() const { return parentName_; }
  // EClassNotFound when the parent named at registration was never registered.
  const TClassInfo* Parent() const;
  bool InheritsFrom(const TClassInfo* other) const;
  bool InheritsFrom(const String& className) const;
  // Creates an instance (EComponentError "Cannot create %s" for a class without a factory).
  TComponent* Create(TComponent* owner) const;
  bool Creatable() const { return static_cast<bool>(factory_); }
  bool IsInstance(const TObject* object) const;

  // Own and inherited, case-insensitive; a redeclaration in a derived class wins.
  const TPropInfo* FindProp(const String& name) const;
  // Ancestors' properties first; a redeclared property keeps the ancestor's place.
  std::vector<const TPropInfo*> PropList() const;
  const TMethodEntry* FindMethod(const String& name) const;
  const TFieldEntry* FindField(const String& name) const;
  // Ancestors' first.
  std::vector<const TDefinePropertiesProc*> Definers() const;

  // Used by the builder.
  TPropInfo& AddProp(TPropInfo prop);
  void AddMethod(TMethodEntry method);
  void AddField(TFieldEntry field);
  void SetFactory(TComponentFactory factory) { factory_ = std::move(factory); }
  void SetInstanceTest(std::function<bool(const TObject*)> test) { isInstance_ = std::move(test); }
  void AddDefiner(TDefinePropertiesProc definer) { definers_.push_back(std::move(definer)); }
  int Depth() const;

 private:
  String name_;
  String parentName_;
  std::vector<std::unique_ptr<TPropInfo>> props_;
  std::unordered_map<String, std::size_t> propIndex_;  // upper-case name to index
  std::vector<TMethodEntry> methods_;
  std::vector<TFieldEntry> fields_;
  std::vector<TDefinePropertiesProc> definers_;
  TComponentFactory factory_;
  std::function<bool(const TObject*)> isInstance_;
};
using TComponentClass = const TClassInfo*;

// The record of a class by name (nullptr when unknown), or the record that describes Object.
const TClassInfo* FindClassInfo(const String& className);
const TClassInfo* FindClassInfo(std::type_index type);
const TClassInfo* GetClassInfo(const TObject* object);
// Makes (or returns) the record of ClassName. Tables are normally made through Published<>.
// A second registration of a name under another parent raises EPropertyError.
TClassInfo* RegisterClassInfo(const String& className, const String& parentName);
// Ties a C++ type to its record, so objects of exactly that type find it at once.
void RegisterClassType(std::type_index type, const TClassInfo* info);

// The class registry the reader creates components from.
void RegisterClass(const String& className, TComponentFactory factory);
// nullptr, or EClassNotFound("Class %s not found"), for a class without a factory.
TComponentClass GetClass(const String& className);
TComponentClass FindClass(const String& className);

// ---- Access by name ----
// nullptr when Instance publishes no property of that name.
const TPropInfo* GetPropInfo(const TObject* instance, const String& propName);
const TPropInfo* GetPropInfo(const TObject* instance, const String& propName, TTypeKind kind);
bool IsPublishedProp(const TObject* instance, const String& propName);
// EPropertyError("Property %s does not exist") when absent.
bool PropIsType(const TObject* instance, const String& propName, TTypeKind kind);
TTypeKind PropType(const TObject* instance, const String& propName);
std::vector<const TPropInfo*> GetPropList(const TObject* instance);
bool IsStoredProp(TObject* instance, const TPropInfo* prop);

// Ordinal properties (integers, characters, enumerations, Booleans, sets as their bits).
// Setting truncates integers to their type's size; an enumeration or set value outside its type
// raises ERangeError. A property of another kind raises EPropertyConvertError.
std::int64_t GetOrdProp(TObject* instance, const String& propName);
std::int64_t GetOrdProp(TObject* instance, const TPropInfo* prop);
void SetOrdProp(TObject* instance, const String& propName, std::int64_t value);
void SetOrdProp(TObject* instance, const TPropInfo* prop, std::int64_t value);
String GetEnumProp(TObject* instance, const String& propName);
// EPropertyConvertError("Invalid property element: %s") for an unknown value name.
void SetEnumProp(TObject* instance, const String& propName, const String& value);
String GetSetProp(TObject* instance, const String& propName, bool brackets = false);
void SetSetProp(TObject* instance, const String& propName, const String& value);
Extended GetFloatProp(TObject* instance, const String& propName);
void SetFloatProp(TObject* instance, const String& propName, Extended value);
String GetStrProp(TObject* instance, const String& propName);
void SetStrProp(TObject* instance, const String& propName, const String& value);
TObject* GetObjectProp(TObject* instance, const String& propName);
// EInvalidCast when Value is not of the property's class.
void SetObjectProp(TObject* instance, const String& propName, TObject* value);
// The published name of the method the event is bound to; "" when unassigned or assigned in code.
String GetMethodProp(TObject* instance, const String& propName);
// Binds the event to Data's published method of that name; an empty name clears the event.
// EMethodNotFound("Method %s not found") for an unknown name, EPropertyConvertError for a method
// whose parameters differ from the event's.
void SetMethodProp(TObject* instance, const String& propName, TObject* data,
                   const String& methodName);
const TMethodEntry* FindMethod(const TObject* data, const String& methodName);

// ---- The table builder ----

class TClassRegistration {
 public:
  explicit TClassRegistration(TClassInfo* info) : info_(info) {}
  TClassInfo* Info() const { return info_; }

 private:
  TClassInfo* info_;
};

namespace korv_typinfo {

template <typename T, typename = void>
struct IsEnumSet : std::false_type {};
template <typename T>
struct IsEnumSet<T, std::void_t<decltype(std::declval<T>().Bits()), decltype(T::FromBits(0u))>>
    : std::true_type {};

template <typename T>
std::int64_t ToOrd(const T& value) {
  if constexpr (IsEnumSet<T>::value) {
    return static_cast<std::int64_t>(value.Bits());
  } else if constexpr (std::is_enum_v<T>) {
    return static_cast<std::int64_t>(value);
  } else if constexpr (std::is_same_v<T, bool>) {
    return value ? 1 : 0;
  } else {
    static_assert(std::is_integral_v<T>, "ordinal property of a non-ordinal type");
    return static_cast<std::int64_t>(value);
  }
}

template <typename T>
T FromOrd(std::int64_t value) {
  if constexpr (IsEnumSet<T>::value) {
    return T::FromBits(static_cast<std::uint32_t>(value));
  } else if constexpr (std::is_enum_v<T>) {
    return static_cast<T>(static_cast<std::underlying_type_t<T>>(value));
  } else if constexpr (std::is_same_v<T, bool>) {
    return value != 0;
  } else {
    return static_cast<T>(value);
  }
}

template <typename C, typename G>
using ValueOf = std::decay_t<std::invoke_result_t<G, C*>>;

template <typename C>
C* Cast(TObject* object) {
  C* c = dynamic_cast<C*>(object);
  if (!c) throw EInvalidCast(u"Invalid class typecast");
  return c;
}

template <typename C, typename T, typename S>
void Assign(C* c, const S& setter, T value) {
  if constexpr (std::is_member_object_pointer_v<S>) {
    c->*setter = std::move(value);
  } else {
    std::invoke(setter, c, std::move(value));
  }
}

template <typename T>
struct EventTraits;
template <typename R, typename... A>
struct EventTraits<std::function<R(A...)>> {
  using Signature = R(A...);
  using Invoker = std::function<R(TObject*, A...)>;
  using Bound = TBoundMethod<R(A...)>;
};

template <typename F>
struct MethodTraits;
template <typename C, typename R, typename... A>
struct MethodTraits<R (C::*)(A...)> {
  using Class = C;
  using Signature = R(A...);
  using Invoker = std::function<R(TObject*, A...)>;
  template <typename F>
  static Invoker Make(F pm) {
    return [pm](TObject* self, A... args) -> R {
      return (Cast<C>(self)->*pm)(std::forward<A>(args)...);
    };
  }
};
template <typename C, typename R, typename... A>
struct MethodTraits<R (C::*)(A...) const> : MethodTraits<R (C::*)(A...)> {};

}  // namespace korv_typinfo

template <typename C>
class Published {
 public:
  Published(const String& className, const String& parentName)
      : info_(RegisterClassInfo(className, parentName)) {
    info_->SetInstanceTest([](const TObject* o) { return dynamic_cast<const C*>(o) != nullptr; });
    RegisterClassType(typeid(C), info_);
  }
  operator TClassRegistration() const { return TClassRegistration(info_); }  // NOLINT

  // The reader may create the class by name (it is constructed with the owner).
  Published& Creatable() {
    info_->SetFactory([](TComponent* owner) -> TComponent* { return new C(owner); });
    return *this;
  }
  Published& Factory(TComponentFactory factory) {
    info_->SetFactory(std::move(factory));
    return *this;
  }

  // Any ordinal: integers of a named type (TColor), enumerations, Booleans, characters, sets.
  template <typename G, typename S>
  Published& Ord(const String& name, const TTypeInfo* type, G getter, S setter) {
    using T = korv_typinfo::ValueOf<C, G>;
    TPropInfo p;
    p.Name = name;
    p.PropType = type;
    p.GetOrd = [getter](TObject* o) {
      return korv_typinfo::ToOrd<T>(std::invoke(getter, korv_typinfo::Cast<C>(o)));
    };
    if constexpr (!std::is_null_pointer_v<S>) {
      p.SetOrd = [setter](TObject* o, std::int64_t v) {
        korv_typinfo::Assign<C, T>(korv_typinfo::Cast<C>(o), setter, korv_typinfo::FromOrd<T>(v));
      };
    }
    last_ = &info_->AddProp(std::move(p));
    return *this;
  }
  template <typename G, typename S, typename D>
  Published& Ord(const String& name, const TTypeInfo* type, G getter, S setter, D def) {
    Ord(name, type, getter, setter);
    last_->Default = NormalizeOrdValue(type, korv_typinfo::ToOrd<std::decay_t<D>>(def));
    return *this;
  }
  template <typename G, typename S>
  Published& Int(const String& name, G getter, S setter) {
    return Ord(name, TypeInfoInteger(), getter, setter);
  }
  template <typename G, typename S>
  Published& Int(const String& name, G getter, S setter, int def) {
    return Ord(name, TypeInfoInteger(), getter, setter, def);
  }
  template <typename G, typename S>
  Published& Bool(const String& name, G getter, S setter) {
    return Ord(name, TypeInfoBoolean(), getter, setter);
  }
  template <typename G, typename S>
  Published& Bool(const String& name, G getter, S setter, bool def) {
    return Ord(name, TypeInfoBoolean(), getter, setter, def);
  }
  template <typename G, typename S>
  Published& Int64(const String& name, G getter, S setter) {
    return Ord(name, TypeInfoInt64(), getter, setter);
  }

  // Floats keep the getter's precision; long double is the platform's Extended.
  template <typename G, typename S>
  Published& Float(const String& name, G getter, S setter) {
    using T = korv_typinfo::ValueOf<C, G>;
    static_assert(std::is_floating_point_v<T>, "Float property of a non-float type");
    TPropInfo p;
    p.Name = name;
    p.PropType = std::is_same_v<T, float>    ? TypeInfoSingle()
                 : std::is_same_v<T, double> ? TypeInfoDouble()
                                             : TypeInfoExtended();
    p.GetFloat = [getter](TObject* o) {
      return static_cast<Extended>(std::invoke(getter, korv_typinfo::Cast<C>(o)));
    };
    if constexpr (!std::is_null_pointer_v<S>) {
      p.SetFloat = [setter](TObject* o, Extended v) {
        korv_typinfo::Assign<C, T>(korv_typinfo::Cast<C>(o), setter, static_cast<T>(v));
      };
    }
    last_ = &info_->AddProp(std::move(p));
    return *this;
  }
  template <typename G, typename S>
  Published& Float(const String& name, G getter, S setter, Extended def) {
    Float(name, getter, setter);
    last_->FloatDefault = def;
    return *this;
  }

  template <typename G, typename S>
  Published& Str(const String& name, G getter, S setter) {
    TPropInfo p;
    p.Name = name;
    p.PropType = TypeInfoString();
    p.GetStr = [getter](TObject* o) {
      return String(std::invoke(getter, korv_typinfo::Cast<C>(o)));
    };
    if constexpr (!std::is_null_pointer_v<S>) {
      p.SetStr = [setter](TObject* o, const String& v) {
        korv_typinfo::Assign<C, String>(korv_typinfo::Cast<C>(o), setter, v);
      };
    }
    last_ = &info_->AddProp(std::move(p));
    return *this;
  }

  // A sub-object the instance keeps (Font: written as Font.Name ...) or, for a TComponent
  // type, a reference to another component (written by name, resolved after loading).
  template <typename G, typename S>
  Published& Object(const String& name, G getter, S setter) {
    using P = korv_typinfo::ValueOf<C, G>;
    static_assert(std::is_pointer_v<P>, "Object property getter must return a pointer");
    using T = std::remove_cv_t<std::remove_pointer_t<P>>;
    TPropInfo p;
    p.Name = name;
    p.PropType = TypeInfoClass();
    p.ObjectType = typeid(T);
    p.IsComponentRef = std::is_base_of_v<TComponent, T>;
    p.GetObj = [getter](TObject* o) -> TObject* {
      return const_cast<T*>(std::invoke(getter, korv_typinfo::Cast<C>(o)));
    };
    if constexpr (!std::is_null_pointer_v<S>) {
      p.SetObj = [setter](TObject* o, TObject* v) {
        T* value = nullptr;
        if (v) {
          value = dynamic_cast<T*>(v);
          if (!value) throw EInvalidCast(u"Invalid class typecast");
        }
        korv_typinfo::Assign<C, T*>(korv_typinfo::Cast<C>(o), setter, value);
      };
    }
    last_ = &info_->AddProp(std::move(p));
    return *this;
  }

  // An event: a std::function member (or a lambda returning a reference to one).
  template <typename A>
  Published& Event(const String& name, A access, const TTypeInfo* type = nullptr) {
    using E = std::decay_t<std::invoke_result_t<A, C*>>;
    using Traits = korv_typinfo::EventTraits<E>;
    using Bound = typename Traits::Bound;
    TPropInfo p;
    p.Name = name;
    p.PropType = type ? type : TypeInfoNotifyEvent();
    p.Signature = typeid(typename Traits::Signature);
    p.MethodAssigned = [access](TObject* o) {
      return static_cast<bool>(std::invoke(access, korv_typinfo::Cast<C>(o)));
    };
    p.ClearMethod = [access](TObject* o) {
      std::invoke(access, korv_typinfo::Cast<C>(o)) = nullptr;
    };
    p.GetBoundMethod = [access](TObject* o, TObject*& data, String& methodName) {
      const E& e = std::invoke(access, korv_typinfo::Cast<C>(o));
      const Bound* b = e.template target<Bound>();
      if (!b) return false;
      data = b->Data;
      methodName = b->Name;
      return true;
    };
    p.BindMethod = [access](TObject* o, TObject* data, const TMethodEntry& m) {
      if (m.Signature != std::type_index(typeid(typename Traits::Signature))) return false;
      auto invoker = std::static_pointer_cast<typename Traits::Invoker>(m.Invoker);
      Bound b;
      b.Data = data;
      b.Name = m.Name;
      b.Code = [invoker, data](auto&&... args) {
        return (*invoker)(data, std::forward<decltype(args)>(args)...);
      };
      std::invoke(access, korv_typinfo::Cast<C>(o)) = std::move(b);
      return true;
    };
    last_ = &info_->AddProp(std::move(p));
    return *this;
  }

  // A method events can be bound to by name (the form's event handlers).
  template <typename F>
  Published& Method(const String& name, F method) {
    using Traits = korv_typinfo::MethodTraits<F>;
    TMethodEntry m;
    m.Name = name;
    m.Signature = typeid(typename Traits::Signature);
    m.Invoker = std::make_shared<typename Traits::Invoker>(Traits::Make(method));
    info_->AddMethod(std::move(m));
    return *this;
  }

  // A component pointer member that follows the owned component of the same name: set when the
  // component gets that name under this owner, cleared when it goes.
  template <typename T>
  Published& Field(const String& name, T* C::*member) {
    static_assert(std::is_base_of_v<TComponent, T>, "Field must point to a component");
    TFieldEntry f;
    f.Name = name;
    f.Set = [member, name](TObject* owner, TComponent* value) {
      T* typed = nullptr;
      if (value) {
        typed = dynamic_cast<T*>(value);
        if (!typed)
          throw EComponentError(Format(u"Component %s is not of the class of its field", {name}));
      }
      korv_typinfo::Cast<C>(owner)->*member = typed;
    };
    f.Get = [member](const TObject* owner) -> TComponent* {
      const C* c = dynamic_cast<const C*>(owner);
      return c ? c->*member : nullptr;
    };
    if constexpr (std::is_constructible_v<T, TComponent*> && !std::is_abstract_v<T>)
      f.Make = [](TComponent* owner) -> TComponent* { return new T(owner); };
    info_->AddField(std::move(f));
    return *this;
  }

  // Stored values that are not published properties, for classes that are not components
  // (components override TComponent::DefineProperties instead).
  template <typename F>
  Published& DefineProperties(F proc) {
    info_->AddDefiner([proc](TPersistent* instance, TFiler* filer) {
      proc(korv_typinfo::Cast<C>(instance), filer);
    });
    return *this;
  }

  // Modifiers of the property added last.
  Published& Default(std::int64_t value) {
    Last().Default = value;
    return *this;
  }
  Published& NoDefaultValue() {
    Last().Default = NoDefault;
    Last().FloatDefault.reset();
    return *this;
  }
  Published& Stored(bool stored) {
    Last().StoredNever = !stored;
    Last().StoredProc = nullptr;
    return *this;
  }
  template <typename P>
  Published& StoredIf(P predicate) {
    Last().StoredNever = false;
    Last().StoredProc = [predicate](TObject* o) {
      return static_cast<bool>(std::invoke(predicate, korv_typinfo::Cast<C>(o)));
    };
    return *this;
  }

 private:
  TPropInfo& Last() {
    if (!last_) throw EPropertyError(u"No property to modify");
    return *last_;
  }
  TClassInfo* info_;
  TPropInfo* last_ = nullptr;
};
