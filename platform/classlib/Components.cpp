#include "Components.h"

#include <algorithm>

#include "ScopeGuard.h"
#include "Streaming.h"
#include "TypInfo.h"

bool IsValidIdent(const String& name) {
  if (name.empty()) return false;
  auto alpha = [](Char c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
  };
  if (!alpha(name[0])) return false;
  return std::all_of(name.begin() + 1, name.end(),
                     [&](Char c) { return alpha(c) || (c >= u'0' && c <= u'9'); });
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  RemoveFreeNotifications();
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

String TComponent::ClassName() const { return u"TComponent"; }

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EListError(Format(u"List index out of bounds (%d)", {std::int64_t{index}}));
  return components_[static_cast<std::size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int index) {
  if (!owner_) return;
  auto& list = owner_->components_;
  int cur = ComponentIndex();
  if (cur < 0) return;
  index = std::clamp(index, 0, static_cast<int>(list.size()) - 1);
  if (index == cur) return;
  list.erase(list.begin() + cur);
  list.insert(list.begin() + index, this);
}

void TComponent::Insert(TComponent* component) {
  components_.push_back(component);
  component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
  auto it = std::find(components_.begin(), components_.end(), component);
  if (it != components_.end()) components_.erase(it);
  component->owner_ = nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->owner_ == this) return;
  ValidateInsert(component);
  ValidateRename(component, String(), component->name_);
  if (component->owner_) component->owner_->RemoveComponent(component);
  Insert(component);
  ScopeGuard removeOnFailure([this, component] { Remove(component); });
  component->SetReference(true);
  removeOnFailure.Dismiss();
  if (state_.Contains(csDesigning)) component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->owner_ != this) return;
  Notification(component, opRemove);
  try {
    component->SetReference(false);
  } catch (...) {
    // A field of another class cannot hold the component anyway.
  }
  Remove(component);
}

void TComponent::DestroyComponents() {
  // Removing with full notification, not silently: a sibling holding a plain pointer to the
  // component hears of it before its own destructor could use the pointer.
  while (!components_.empty()) {
    TComponent* instance = components_.back();
    RemoveComponent(instance);
    delete instance;
  }
}

TComponent* TComponent::FindComponent(const String& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::ValidateRename(TComponent* component, const String& curName,
                                const String& newName) {
  if (component && !SameText(curName, newName) && !newName.empty()) {
    TComponent* other = FindComponent(newName);
    if (other && other != component)
      throw EComponentError(Format(u"A component named %s already exists", {newName}));
  }
}

void TComponent::ValidateInsert(TComponent*) {}

void TComponent::SetName(const String& newName) {
  if (name_ == newName) return;
  if (!newName.empty() && !IsValidIdent(newName))
    throw EComponentError(Format(u"'%s' is not a valid component name", {newName}));
  if (owner_) owner_->ValidateRename(this, name_, newName);
  SetReference(false);
  String old = name_;
  name_ = newName;
  ScopeGuard restoreOnFailure([&] {
    name_ = old;
    SetReference(true);
  });
  SetReference(true);
  restoreOnFailure.Dismiss();
}

void TComponent::SetReference(bool enable) {
  if (!owner_ || name_.empty()) return;
  const TClassInfo* info = GetClassInfo(owner_);
  for (; info; info = info->Parent()) {
    if (const TFieldEntry* field = info->FindField(name_)) {
      if (enable) {
        field->Set(owner_, this);
      } else if (field->Get(owner_) == this) {
        field->Set(owner_, nullptr);
      }
      return;
    }
  }
}

void TComponent::SetStateItem(TComponentStateItem item, bool on) {
  if (on) {
    state_.Include(item);
  } else {
    state_.Exclude(item);
  }
}

void TComponent::SetSubComponent(bool isSubComponent) {
  if (isSubComponent) {
    style_.Include(csSubComponent);
  } else {
    style_.Exclude(csSubComponent);
  }
}

void TComponent::SetDesigning(bool value, bool setChildren) {
  SetStateItem(csDesigning, value);
  if (setChildren)
    for (TComponent* c : components_) c->SetDesigning(value, true);
}

void TComponent::SetInline(bool value) { SetStateItem(csInline, value); }

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (owner_ == nullptr || component->owner_ != owner_) {
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
      freeNotifies_.push_back(component);
    auto& other = component->freeNotifies_;
    if (std::find(other.begin(), other.end(), this) == other.end()) other.push_back(this);
  }
  state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  auto drop = [](std::vector<TComponent*>& list, TComponent* c) {
    list.erase(std::remove(list.begin(), list.end(), c), list.end());
  };
  drop(freeNotifies_, component);
  drop(component->freeNotifies_, this);
}

void TComponent::RemoveFreeNotifications() {
  // The link is undone before the call, so an override that forgets the inherited
  // Notification cannot make this loop forever.
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    auto& list = other->freeNotifies_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    other->Notification(this, opRemove);
  }
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveFreeNotification(component);
  // The list may shrink while the news goes round.
  int i = ComponentCount() - 1;
  while (i >= 0) {
    components_[static_cast<std::size_t>(i)]->Notification(component, operation);
    --i;
    if (i >= ComponentCount()) i = ComponentCount() - 1;
  }
}

void TComponent::SetParentComponent(TComponent*) {}
TComponent* TComponent::GetChildParent() { return this; }
TComponent* TComponent::GetChildOwner() { return nullptr; }

void TComponent::GetChildren(const TGetChildProc& proc, TComponent* root) {
  if (root != this) return;
  for (TComponent* c : components_)
    if (!c->HasParent() && !c->style_.Contains(csSubComponent)) proc(c);
}

void TComponent::ReadState(TReader* reader) { reader->ReadData(this); }
void TComponent::WriteState(TWriter* writer) { writer->WriteData(this); }

void TComponent::DefineProperties(TFiler* filer) {
  // Left is the low word of the design position, Top the high word.
  auto lo = [this] { return static_cast<std::int16_t>(designInfo_ & 0xFFFF); };
  auto hi = [this] { return static_cast<std::int16_t>((designInfo_ >> 16) & 0xFFFF); };
  filer->DefineProperty(
      u"Left",
      [this, hi](TReader* r) {
        designInfo_ = static_cast<std::int32_t>(
            (static_cast<std::uint32_t>(static_cast<std::uint16_t>(hi())) << 16) |
            static_cast<std::uint16_t>(r->ReadInteger()));
      },
      [lo](TWriter* w) { w->WriteInteger(lo()); }, lo() != 0);
  filer->DefineProperty(
      u"Top",
      [this, lo](TReader* r) {
        designInfo_ = static_cast<std::int32_t>(
            (static_cast<std::uint32_t>(static_cast<std::uint16_t>(r->ReadInteger())) << 16) |
            static_cast<std::uint16_t>(lo()));
      },
      [hi](TWriter* w) { w->WriteInteger(hi()); }, hi() != 0);
}

void TComponent::Updating() { state_.Include(csUpdating); }
void TComponent::Updated() { state_.Exclude(csUpdating); }

void TComponent::Loaded() { state_.Exclude(csLoading); }
