#pragma once
// A small family of components with published tables of every kind, for the tests of
// components, property access and form descriptions.
#include <memory>
#include <string>
#include <vector>

#include "Collections.h"
#include "Components.h"
#include "Graphics.h"
#include "Streaming.h"
#include "TypInfo.h"

enum TTestAlign : std::uint8_t { talNone, talTop, talBottom, talClient };
enum TTestSide : std::uint8_t { tsLeft, tsTop, tsRight, tsBottom };
using TTestSides = TEnumSet<TTestSide>;
const TTypeInfo* TypeInfoTTestAlign();
const TTypeInfo* TypeInfoTTestSides();

using TMouseTestEvent = std::function<void(TObject* sender, int button)>;

// What happened to test components, in order ("Loaded Button1 loading=1").
std::vector<std::string>& TestLog();

class TTestItem : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  String ClassName() const override { return u"TTestItem"; }
  String Caption;
  int Width = 50;
};

// A control-like component: it has a parent, lists its children for the writer and publishes
// properties of every kind.
class TTestControl : public TComponent {
 public:
  explicit TTestControl(TComponent* owner);
  ~TTestControl() override;
  String ClassName() const override { return u"TTestControl"; }

  bool HasParent() const override { return parent_ != nullptr; }
  TComponent* GetParentComponent() const override { return parent_; }
  void SetParentComponent(TComponent* parent) override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  TTestControl* Parent() const { return parent_; }

  int Left = 0, Top = 0, Width = 0;
  String Caption;
  TColor Color = clBtnFace;
  TTestAlign Align = talNone;
  TTestSides Sides{tsLeft, tsTop, tsRight, tsBottom};
  bool Visible = true;
  Extended Value = 0;
  double Ratio = 0;
  Char PasswordChar = 0;
  TFont* Font() { return font_.get(); }
  void SetFont(const TFont* font) { font_->Assign(font); }
  TStringList* Items() { return items_.get(); }
  void SetItems(const TStringList* items) { items_->Assign(items); }
  TCollection* Columns() { return columns_.get(); }
  TTestControl* FocusControl() const { return focus_; }
  void SetFocusControl(TTestControl* c);
  TNotifyEvent OnClick;
  TMouseTestEvent OnMouse;
  // Stored through DefineProperties: an old name swallowed on load, a list and a binary block.
  int OldValuesSeen = 0;
  std::vector<int> Numbers;
  std::vector<std::uint8_t> Blob;

  void DefineProperties(TFiler* filer) override;

 protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TTestControl* parent_ = nullptr;
  TTestControl* focus_ = nullptr;
  std::unique_ptr<TFont> font_ = std::make_unique<TFont>();
  std::unique_ptr<TStringList> items_ = std::make_unique<TStringList>();
  std::unique_ptr<TCollection> columns_;
};

// Redeclares Color with another default.
class TTestPanel : public TTestControl {
 public:
  explicit TTestPanel(TComponent* owner);
  String ClassName() const override { return u"TTestPanel"; }
};

class TTestButton : public TTestControl {
 public:
  using TTestControl::TTestControl;
  String ClassName() const override { return u"TTestButton"; }
};

class TTestForm : public TTestControl {
 public:
  explicit TTestForm(TComponent* owner) : TTestControl(owner) {}
  ~TTestForm() override;
  String ClassName() const override { return u"TTestForm"; }
  void FormCreate(TObject* sender);
  void ButtonClick(TObject* sender);
  void MouseDown(TObject* sender, int button);
  std::vector<std::string> Calls;
  TTestButton* Button1 = nullptr;
  TTestPanel* Panel1 = nullptr;
};

// A non-visual component with no table of its own.
class TTestTimer : public TComponent {
 public:
  using TComponent::TComponent;
  String ClassName() const override { return u"TTestTimer"; }
};

// Registers the classes above once.
void RegisterTestComponents();
