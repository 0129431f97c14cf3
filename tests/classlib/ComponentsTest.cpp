#include <gtest/gtest.h>

#include "Components.h"
#include "TestComponents.h"
#include "TestSupport.h"

namespace {

// Records every notification it gets, and whether it was still whole then.
class Watcher : public TComponent {
 public:
  using TComponent::TComponent;
  ~Watcher() override {
    // A reference that was never cleared is touched here, so ASan reports a missed removal.
    if (ref) alive = !ref->Name().empty() || true;
    alive = false;
  }
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    heard.push_back({c, op});
    if (op == opRemove && c == ref) ref = nullptr;
  }
  std::vector<std::pair<TComponent*, TOperation>> heard;
  TComponent* ref = nullptr;
  bool alive = true;
};

TEST(Components, OwnerDeletesWhatItOwnsLastFirstAndKeepsOrder) {
  auto* owner = new TComponent(nullptr);
  std::vector<std::string> order;
  struct Noisy : TComponent {
    Noisy(TComponent* o, std::vector<std::string>* log, std::string n)
        : TComponent(o), log_(log), n_(std::move(n)) {}
    ~Noisy() override { log_->push_back(n_); }
    std::vector<std::string>* log_;
    std::string n_;
  };
  auto* a = new Noisy(owner, &order, "a");
  new Noisy(owner, &order, "b");
  new Noisy(a, &order, "a.child");
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->Components(0), a);
  EXPECT_EQ(a->ComponentIndex(), 0);
  EXPECT_THROW(owner->Components(2), EListError);
  delete owner;
  // A component's own destructor body runs before the base deletes what it owns.
  EXPECT_EQ(order, (std::vector<std::string>{"b", "a", "a.child"}));
}

TEST(Components, MovingBetweenOwnersAndComponentIndex) {
  TComponent first(nullptr), second(nullptr);
  auto* c = new TComponent(&first);
  auto* d = new TComponent(&first);
  second.InsertComponent(c);
  EXPECT_EQ(c->Owner(), &second);
  EXPECT_EQ(first.ComponentCount(), 1);
  d->SetComponentIndex(5);  // clipped
  EXPECT_EQ(d->ComponentIndex(), 0);
  first.RemoveComponent(d);
  EXPECT_EQ(d->Owner(), nullptr);
  delete d;
}

TEST(Components, NamesAreValidatedAndUniqueUnderOneOwner) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName(u"Button1");
  EXPECT_EQ(owner.FindComponent(u"BUTTON1"), a);
  EXPECT_EQ(owner.FindComponent(u""), nullptr);
  EXPECT_EQ(MessageOf<EComponentError>([&] { b->SetName(u"button1"); }),
            u"A component named button1 already exists");
  EXPECT_EQ(b->Name(), u"");
  EXPECT_EQ(MessageOf<EComponentError>([&] { b->SetName(u"1st"); }),
            u"'1st' is not a valid component name");
  a->SetName(u"BUTTON1");  // a case change of its own name is no clash
  EXPECT_EQ(a->Name(), u"BUTTON1");
  // A name taken under the new owner keeps the component where it was.
  TComponent other(nullptr);
  auto* c = new TComponent(&other);
  c->SetName(u"Button1");
  EXPECT_THROW(owner.InsertComponent(c), EComponentError);
  EXPECT_EQ(c->Owner(), &other);
  EXPECT_TRUE(IsValidIdent(u"_x9"));
  EXPECT_FALSE(IsValidIdent(u"a-b"));
}

TEST(Components, FreedComponentClearsReferencesHeldByOthers) {
  Watcher holder(nullptr);
  {
    TComponent elsewhere(nullptr);
    auto* target = new TComponent(&elsewhere);
    holder.ref = target;
    target->FreeNotification(&holder);
    delete target;
    EXPECT_EQ(holder.ref, nullptr);
  }
  // A holder that is gone first is never called back.
  auto* target = new TComponent(nullptr);
  {
    Watcher shortLived(nullptr);
    target->FreeNotification(&shortLived);
    shortLived.ref = target;
  }
  delete target;  // must not touch the dead watcher (ASan would tell)
  // Removing the request stops the callback.
  auto* t2 = new TComponent(nullptr);
  t2->FreeNotification(&holder);
  holder.RemoveFreeNotification(t2);
  holder.heard.clear();
  delete t2;
  EXPECT_TRUE(holder.heard.empty());
}

TEST(Components, SiblingsHearOfInsertAndRemoveThroughTheOwner) {
  TComponent owner(nullptr);
  auto* w = new Watcher(&owner);
  auto* c = new TComponent(&owner);
  ASSERT_EQ(w->heard.size(), 1u);
  EXPECT_EQ(w->heard[0].first, c);
  EXPECT_EQ(w->heard[0].second, opInsert);
  w->ref = c;
  delete c;
  EXPECT_EQ(w->ref, nullptr);
  EXPECT_EQ(w->heard.back().second, opRemove);
}

TEST(Components, SiblingFreedByTheOwnerIsReportedBeforeItGoes) {
  // The owner frees the last component first; an earlier one holding a pointer to a later
  // sibling must hear of it while the sibling is still whole, and hold nothing when it goes.
  struct Log {
    std::vector<std::string> heard;
    bool heldAtEnd = true;
  };
  struct Holder : TComponent {
    Holder(TComponent* owner, Log* log) : TComponent(owner), log_(log) {}
    ~Holder() override { log_->heldAtEnd = ref != nullptr; }
    void Notification(TComponent* c, TOperation op) override {
      TComponent::Notification(c, op);
      if (op != opRemove || c != ref) return;
      log_->heard.push_back(ToUtf8(c->Name()));
      ref = nullptr;
    }
    Log* log_;
    TComponent* ref = nullptr;
  };
  Log log;
  auto* owner = new TComponent(nullptr);
  auto* holder = new Holder(owner, &log);
  auto* target = new TComponent(owner);
  target->SetName(u"Target");
  holder->ref = target;
  delete owner;
  EXPECT_EQ(log.heard, std::vector<std::string>{"Target"});
  EXPECT_FALSE(log.heldAtEnd);
}

TEST(Components, FieldsFollowTheComponentOfTheirName) {
  RegisterTestComponents();
  TTestForm form(nullptr);
  auto* b = new TTestButton(&form);
  EXPECT_EQ(form.Button1, nullptr);
  b->SetName(u"Button1");
  EXPECT_EQ(form.Button1, b);
  b->SetName(u"Other");
  EXPECT_EQ(form.Button1, nullptr);
  b->SetName(u"button1");
  EXPECT_EQ(form.Button1, b);
  delete b;
  EXPECT_EQ(form.Button1, nullptr);
  // A field of another class refuses the component and the name stays as it was.
  auto* p = new TTestButton(&form);
  EXPECT_THROW(p->SetName(u"Panel1"), EComponentError);
  EXPECT_EQ(p->Name(), u"");
  EXPECT_EQ(form.Panel1, nullptr);
}

TEST(Components, StateFlagsAndDesignInfo) {
  TComponent owner(nullptr);
  auto* c = new TComponent(&owner);
  owner.SetDesigning(true);
  EXPECT_TRUE(c->ComponentState().Contains(csDesigning));
  auto* late = new TComponent(&owner);  // inserted into a designed owner
  EXPECT_TRUE(late->ComponentState().Contains(csDesigning));
  owner.SetDesigning(false, false);
  EXPECT_FALSE(owner.ComponentState().Contains(csDesigning));
  EXPECT_TRUE(c->ComponentState().Contains(csDesigning));
  owner.Destroying();
  EXPECT_TRUE(c->ComponentState().Contains(csDestroying));
}

}  // namespace
