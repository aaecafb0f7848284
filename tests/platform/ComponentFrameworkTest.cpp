#include <gtest/gtest.h>

#include "platform/components/Component.h"
#include "platform/components/StoredDesign.h"
#include "platform/core/Exceptions.h"

namespace tess {
namespace {

// A component with a published property, a reference to another component and own stored list data.
class TSample : public TComponent {
  TESS_COMPONENT_CLASS(TSample, TComponent)
 public:
  using TComponent::TComponent;
  ~TSample() override { ++destroyed; }

  int width = 0;
  Cp932String caption;
  std::vector<int> values;  // own stored data, errors swallowed
  TSample* peer = nullptr;
  std::vector<std::string> log;
  static inline int destroyed = 0;

  void SetPeer(TSample* p) {
    peer = p;
    if (p) p->FreeNotification(this);
  }

  void DefineProperties(TFiler& filer) override {
    filer.Integer(
        "Width", [this] { return width; },
        [this](int v) {
          width = v;
          log.push_back(HasState(csReading) ? "width while reading" : "width");
        });
    filer.String(
        "Caption", [this] { return caption; }, [this](const Cp932String& v) { caption = v; },
        !caption.IsEmpty());
    filer.String(
        "Peer", [this] { return peer ? Cp932String(peer->Name().c_str()) : Cp932String(); },
        [this](const Cp932String& v) { SetPeer(dynamic_cast<TSample*>(Owner()->FindComponent(v.Bytes()))); },
        peer != nullptr);
    filer.DefineProperty(
        "Values",
        [this](TReader& r) {
          try {
            r.ReadListBegin();
            values.clear();
            while (!r.EndOfList()) values.push_back(r.ReadInteger());
            r.ReadListEnd();
          } catch (const EReadError&) {
            // the values read so far stay
          }
        },
        [this](TWriter& w) {
          w.WriteListBegin();
          for (int v : values) w.WriteInteger(v);
          w.WriteListEnd();
        });
  }
  void Loaded() override { log.push_back(HasState(csLoading) ? "loaded while loading" : "loaded"); }

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == TOperation::opRemove && c == peer) peer = nullptr;
  }
};

TEST(ComponentFramework, OwnerFreesItsComponentsAndNamesAreUnique) {
  TSample::destroyed = 0;
  {
    TSample root(nullptr);
    auto* a = new TSample(&root);
    a->SetName("A");
    auto* b = new TSample(&root);
    EXPECT_THROW(b->SetName("a"), EComponentError);
    b->SetName("B");
    EXPECT_EQ(root.ComponentCount(), 2);
    EXPECT_EQ(root.FindComponent("b"), b);
  }
  EXPECT_EQ(TSample::destroyed, 3);
}

TEST(ComponentFramework, FreeNotificationClearsTheReference) {
  TSample root(nullptr);
  auto* a = new TSample(&root);
  auto* b = new TSample(&root);
  a->SetPeer(b);
  delete b;
  EXPECT_EQ(a->peer, nullptr);
  EXPECT_EQ(root.ComponentCount(), 1);
}

TEST(ComponentFramework, DesignRoundTripKeepsPropertiesAndReferences) {
  RegisterComponentClass<TSample>();
  TSample root(nullptr);
  root.SetName("Form1");
  auto* a = new TSample(&root);
  a->SetName("A");
  a->width = 42;
  a->caption = Cp932String::FromUtf8("問題番号");
  a->values = {3, 1, 2};
  auto* b = new TSample(&root);
  b->SetName("B");
  b->SetPeer(a);
  std::string json = WriteComponentDesign(root);

  TSample copy(nullptr);
  DesignReadReport report = ReadComponentDesign(copy, json);
  EXPECT_TRUE(report.Clean());
  ASSERT_EQ(copy.ComponentCount(), 2);
  auto* a2 = dynamic_cast<TSample*>(copy.FindComponent("A"));
  auto* b2 = dynamic_cast<TSample*>(copy.FindComponent("B"));
  ASSERT_NE(a2, nullptr);
  ASSERT_NE(b2, nullptr);
  EXPECT_EQ(a2->width, 42);
  EXPECT_EQ(a2->caption.ToUtf8(), "問題番号");
  EXPECT_EQ(a2->values, (std::vector<int>{3, 1, 2}));
  EXPECT_EQ(b2->peer, a2);
  EXPECT_EQ(a2->log, (std::vector<std::string>{"width while reading", "loaded"}));
}

TEST(ComponentFramework, WrongKindsAreReportedAndTheRestStillLoads) {
  TSample root(nullptr);
  auto* a = new TSample(&root);
  a->SetName("A");
  DesignReadReport report = ReadComponentDesign(root, R"({"class":"TSample","name":"Form1",
    "components":[{"class":"TSample","name":"A","properties":{"Width":"wide","Caption":"ok",
    "Values":[5,6,"x",7],"Bogus":1}}]})");
  EXPECT_EQ(a->caption, Cp932String("ok"));
  EXPECT_EQ(a->values, (std::vector<int>{5, 6}));  // own stored data: read up to the error, silently
  ASSERT_EQ(report.problems.size(), 2u);           // the wrongly typed Width and the unknown Bogus
}

TEST(ComponentFramework, BrokenJsonIsAnError) {
  TSample root(nullptr);
  EXPECT_THROW(ReadComponentDesign(root, "{\"class\": "), EReadError);
  EXPECT_THROW(ReadComponentDesign(root, "[1,2]"), EReadError);
}

TEST(ComponentFramework, OneComponentAloneRoundTripsAsText) {
  TSample a(nullptr);
  a.width = 7;
  a.values = {1};
  std::string text = ComponentToText(a);
  TSample b(nullptr);
  ComponentFromText(b, text);
  EXPECT_EQ(b.width, 7);
  EXPECT_EQ(b.values, (std::vector<int>{1}));
}

}  // namespace
}  // namespace tess
