#pragma once
// Components: named objects kept by an owner that deletes them, told when their neighbours come
// and go, and created and filled by property name from form descriptions.
#include <cstdint>
#include <functional>
#include <vector>

#include "Classes.h"
#include "Graphics.h"  // TEnumSet

class TFiler;
class TReader;
class TWriter;

KORV_EXCEPTION(EComponentError, Exception);

enum TOperation { opInsert, opRemove };

enum TComponentStateItem : std::uint8_t {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance
};
using TComponentState = TEnumSet<TComponentStateItem>;

enum TComponentStyleItem : std::uint8_t {
  csInheritable,
  csCheckPropAvail,
  csSubComponent,
  csTransient
};
using TComponentStyle = TEnumSet<TComponentStyleItem>;

// True when Name is a valid identifier: a letter or "_" first, then letters, digits and "_".
bool IsValidIdent(const String& name);

class TComponent : public TPersistent {
 public:
  // Inserts itself into Owner's list (which notifies the owner and everything it owns).
  explicit TComponent(TComponent* owner);
  // Tells every component that asked for it, deletes what it owns (last first), then leaves its
  // owner. A derived class whose Notification must still run while its owned components go
  // calls DestroyComponents in its own destructor.
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  String ClassName() const override;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  // EListError("List index out of bounds (%d)") outside 0..ComponentCount-1.
  TComponent* Components(int index) const;
  // The position in the owner's list, -1 without an owner.
  int ComponentIndex() const;
  // Moves within the owner's list; the index is clipped to the list.
  void SetComponentIndex(int index);
  // Takes Component from its current owner. A name that is already taken here raises
  // EComponentError and leaves Component where it was.
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Deletes every owned component, the last first.
  void DestroyComponents();
  // Case-insensitive; nullptr for an empty or unknown name.
  TComponent* FindComponent(const String& name) const;

  const String& Name() const { return name_; }
  // EComponentError("'%s' is not a valid component name") for a non-identifier,
  // EComponentError("A component named %s already exists") for a name taken under the owner.
  virtual void SetName(const String& newName);
  std::intptr_t Tag() const { return tag_; }
  void SetTag(std::intptr_t tag) { tag_ = tag; }

  TComponentState ComponentState() const { return state_; }
  TComponentStyle ComponentStyle() const { return style_; }
  // A subcomponent is written as dotted properties of the component that publishes it rather
  // than as a child object.
  void SetSubComponent(bool isSubComponent);
  // Sets or clears csDesigning here and, by default, in every owned component.
  void SetDesigning(bool value, bool setChildren = true);
  // Puts csDestroying on this component and everything it owns.
  void Destroying();

  // Asks Component to call this one's Notification(Component, opRemove) when it is freed.
  // Components under the same owner hear of each other through the owner already.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Position of a non-visual component on its form (stored as Left and Top).
  std::int32_t DesignInfo() const { return designInfo_; }
  void SetDesignInfo(std::int32_t info) { designInfo_ = info; }

  // ---- Hooks of the form reader and writer ----
  // Controls have a parent; the writer then leaves them to their parent's GetChildren.
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  // The reader calls it on every component it creates or finds, with the component its block
  // is nested in (GetChildParent of that one), before its properties are read.
  virtual void SetParentComponent(TComponent* parent);
  // What nested blocks of this component get as parent; this component by default.
  virtual TComponent* GetChildParent();
  // The owner of components created from nested blocks; nullptr means the root being read.
  virtual TComponent* GetChildOwner();
  using TGetChildProc = std::function<void(TComponent* child)>;
  // The components written as nested blocks, in order. By default a root lists what it owns
  // that has no parent and is no subcomponent; other components list nothing.
  virtual void GetChildren(const TGetChildProc& proc, TComponent* root);

  // Reads this component's block (by default Reader->ReadData(this)).
  virtual void ReadState(TReader* reader);
  // Writes this component's properties and children (by default Writer->WriteData(this)).
  virtual void WriteState(TWriter* writer);
  // Stored values that are not published properties (Left and Top of a non-visual component
  // here); overrides call the inherited one first.
  virtual void DefineProperties(TFiler* filer);

  // csUpdating around changes made by the designer or the reader.
  virtual void Updating();
  virtual void Updated();

 protected:
  friend class TReader;
  friend class TWriter;

  // Called when Component is inserted into or removed from this component's owner family, and
  // when a component this one asked for a free notification is freed. The base clears the
  // free-notification link and passes the news to every owned component.
  virtual void Notification(TComponent* component, TOperation operation);
  // Refuses a name already used by another component of this owner.
  virtual void ValidateRename(TComponent* component, const String& curName, const String& newName);
  virtual void ValidateInsert(TComponent* component);
  // After reading: clears csLoading. Overrides call the inherited one.
  virtual void Loaded();
  // Sets (or clears) the owner's published field of this component's name.
  void SetReference(bool enable);
  void SetInline(bool value);
  void SetStateItem(TComponentStateItem item, bool on);

 private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void RemoveFreeNotifications();

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  String name_;
  std::intptr_t tag_ = 0;
  std::int32_t designInfo_ = 0;
  TComponentState state_;
  TComponentStyle style_ = TComponentStyle(csInheritable);
};
