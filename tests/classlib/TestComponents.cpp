#include "TestComponents.h"

#include "GraphicsTypeInfo.h"

std::vector<std::string>& TestLog() {
  static std::vector<std::string> log;
  return log;
}

const TTypeInfo* TypeInfoTTestAlign() {
  static const TTypeInfo t =
      TTypeInfo::Enumeration(u"TTestAlign", {u"talNone", u"talTop", u"talBottom", u"talClient"});
  return &t;
}

const TTypeInfo* TypeInfoTTestSides() {
  static const TTypeInfo side =
      TTypeInfo::Enumeration(u"TTestSide", {u"tsLeft", u"tsTop", u"tsRight", u"tsBottom"});
  static const TTypeInfo t = TTypeInfo::Set(u"TTestSides", &side);
  return &t;
}

TTestControl::TTestControl(TComponent* owner)
    : TComponent(owner),
      columns_(std::make_unique<TCollection>([](TCollection* c) { return new TTestItem(c); })) {}

TTestControl::~TTestControl() { SetParentComponent(nullptr); }

void TTestControl::SetParentComponent(TComponent* parent) {
  parent_ = dynamic_cast<TTestControl*>(parent);
}

void TTestControl::GetChildren(const TGetChildProc& proc, TComponent* root) {
  // Children are the root's components parented here; the root also lists its parentless ones.
  for (int i = 0; i < root->ComponentCount(); ++i) {
    TComponent* c = root->Components(i);
    auto* control = dynamic_cast<TTestControl*>(c);
    if (control ? control->parent_ == this : (this == root && !c->HasParent())) proc(c);
  }
}

void TTestControl::SetFocusControl(TTestControl* c) {
  focus_ = c;
  if (c) c->FreeNotification(this);
}

void TTestControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove) {
    if (component == focus_) focus_ = nullptr;
    if (component == parent_) parent_ = nullptr;
  }
}

void TTestControl::DefineProperties(TFiler* filer) {
  TComponent::DefineProperties(filer);
  filer->DefineProperty(
      u"OldValue", [this](TReader* r) { r->ReadInteger(), ++OldValuesSeen; }, nullptr, false);
  filer->DefineProperty(
      u"Numbers",
      [this](TReader* r) {
        Numbers.clear();
        r->ReadListBegin();
        while (!r->EndOfList()) Numbers.push_back(r->ReadInteger());
        r->ReadListEnd();
      },
      [this](TWriter* w) {
        w->WriteListBegin();
        for (int n : Numbers) w->WriteInteger(n);
        w->WriteListEnd();
      },
      !Numbers.empty());
  filer->DefineBinaryProperty(
      u"Blob",
      [this](TStream* s) {
        Blob.resize(static_cast<std::size_t>(s->Size()));
        if (!Blob.empty()) s->ReadBuffer(Blob.data(), static_cast<int>(Blob.size()));
      },
      [this](TStream* s) {
        if (!Blob.empty()) s->WriteBuffer(Blob.data(), static_cast<int>(Blob.size()));
      },
      !Blob.empty());
}

void TTestControl::Loaded() {
  TestLog().push_back("Loaded " + ToUtf8(Name()) +
                      " loading=" + (ComponentState().Contains(csLoading) ? "1" : "0"));
  TComponent::Loaded();
}

TTestPanel::TTestPanel(TComponent* owner) : TTestControl(owner) { Color = clWindow; }

TTestForm::~TTestForm() { DestroyComponents(); }
void TTestForm::FormCreate(TObject*) { Calls.push_back("FormCreate"); }
void TTestForm::ButtonClick(TObject* sender) {
  auto* c = dynamic_cast<TComponent*>(sender);
  Calls.push_back("ButtonClick " + (c ? ToUtf8(c->Name()) : std::string("?")));
}
void TTestForm::MouseDown(TObject*, int button) {
  Calls.push_back("MouseDown " + std::to_string(button));
}

void RegisterTestComponents() {
  static const bool once = [] {
    Published<TTestItem>(u"TTestItem", u"TCollectionItem")
        .Str(u"Caption", &TTestItem::Caption, &TTestItem::Caption)
        .Int(u"Width", &TTestItem::Width, &TTestItem::Width, 50);
    Published<TTestControl>(u"TTestControl", u"TComponent")
        .Creatable()
        .Int(u"Left", &TTestControl::Left, &TTestControl::Left)
        .Int(u"Top", &TTestControl::Top, &TTestControl::Top)
        .Int(u"Width", &TTestControl::Width, &TTestControl::Width)
        .Str(u"Caption", &TTestControl::Caption, &TTestControl::Caption)
        .Ord(u"Color", TypeInfoTColor(), &TTestControl::Color, &TTestControl::Color, clBtnFace)
        .Ord(u"Align", TypeInfoTTestAlign(), &TTestControl::Align, &TTestControl::Align, talNone)
        .Ord(u"Sides", TypeInfoTTestSides(), &TTestControl::Sides, &TTestControl::Sides,
             TTestSides{tsLeft, tsTop, tsRight, tsBottom})
        .Bool(u"Visible", &TTestControl::Visible, &TTestControl::Visible, true)
        .StoredIf([](TTestControl* c) { return c->Caption != u"hidden"; })
        .Float(u"Value", &TTestControl::Value, &TTestControl::Value, 0.0)
        .Float(u"Ratio", &TTestControl::Ratio, &TTestControl::Ratio, 0.0)
        .Ord(u"PasswordChar", TypeInfoChar(), &TTestControl::PasswordChar,
             &TTestControl::PasswordChar, 0)
        .Object(u"Font", &TTestControl::Font, &TTestControl::SetFont)
        .Object(u"Items", &TTestControl::Items, &TTestControl::SetItems)
        .Object(u"Columns", &TTestControl::Columns, nullptr)
        .Object(u"FocusControl", &TTestControl::FocusControl, &TTestControl::SetFocusControl)
        .Event(u"OnClick", &TTestControl::OnClick)
        .Event(u"OnMouse", &TTestControl::OnMouse);
    Published<TTestPanel>(u"TTestPanel", u"TTestControl")
        .Creatable()
        .Ord(u"Color", TypeInfoTColor(), &TTestPanel::Color, &TTestPanel::Color, clWindow);
    Published<TTestButton>(u"TTestButton", u"TTestControl").Creatable();
    Published<TTestForm>(u"TTestForm", u"TTestControl")
        .Creatable()
        .Method(u"FormCreate", &TTestForm::FormCreate)
        .Method(u"ButtonClick", &TTestForm::ButtonClick)
        .Method(u"MouseDown", &TTestForm::MouseDown)
        .Field(u"Button1", &TTestForm::Button1)
        .Field(u"Panel1", &TTestForm::Panel1);
    RegisterClass(u"TTestTimer", [](TComponent* owner) { return new TTestTimer(owner); });
    return true;
  }();
  (void)once;
}
