#pragma once
// Collections: an owned, ordered list of items of one class, stored in descriptions as
// "Name = < item ... end >" with each item's published properties.
#include <functional>
#include <vector>

#include "Classes.h"

class TCollection;

class TCollectionItem : public TPersistent {
 public:
  // Adds itself to Collection (which may be nullptr).
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;
  String ClassName() const override;

  TCollection* Collection() const { return collection_; }
  // Moves the item to another collection (or out of any with nullptr).
  void SetCollection(TCollection* collection);
  int Index() const;
  void SetIndex(int index);
  // Unique within the collection, never reused.
  int ID() const { return id_; }
  virtual String DisplayName() const;

 protected:
  // Tells the collection that this item changed.
  void Changed(bool allItems);

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
};

class TCollection : public TPersistent {
 public:
  using TItemFactory = std::function<TCollectionItem*(TCollection* collection)>;
  // Factory makes one item of the collection's item class.
  explicit TCollection(TItemFactory factory, TPersistent* owner = nullptr);
  ~TCollection() override;
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;
  String ClassName() const override;

  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int Count() const { return static_cast<int>(items_.size()); }
  // EListError("List index out of bounds (%d)").
  TCollectionItem* Items(int index) const;
  TCollectionItem* FindItemID(int id) const;
  TPersistent* Owner() const { return owner_; }

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }
  // Called for every change outside an update (nullptr item: the whole collection).
  std::function<void(TCollection* collection, TCollectionItem* item)> OnUpdate;

  // Another collection's items, copied one by one through their Assign.
  void Assign(const TPersistent* source) override;

 protected:
  virtual void Update(TCollectionItem* item);
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  TItemFactory factory_;
  TPersistent* owner_;
  std::vector<TCollectionItem*> items_;
  int nextId_ = 0;
  int updateCount_ = 0;
};
