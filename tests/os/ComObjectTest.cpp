// The one IUnknown implementation: every object of the graphics and movie
// layers answers QueryInterface and counts references through it.
#include <gtest/gtest.h>

#include "platform/os/unknwn.h"

namespace {

constexpr IID IID_ITestThing = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr IID IID_IOther = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 9}};

struct ITestThing : IUnknown {};

class Thing final : public ComObject<ITestThing> {
 public:
  explicit Thing(int* destroyed) : destroyed_(destroyed) {}
  HRESULT QueryInterface(REFIID riid, void** object) override {
    return ComQueryInterface<ITestThing>(this, riid, object, {IID_IUnknown, IID_ITestThing});
  }

 private:
  ~Thing() override { ++*destroyed_; }
  int* destroyed_;
};

TEST(ComRefCount, NeverGoesBelowZero) {
  ComRefCount count;
  EXPECT_EQ(count.Count(), 1u);
  EXPECT_EQ(count.Add(), 2u);
  bool last = true;
  EXPECT_EQ(count.Remove(&last), 1u);
  EXPECT_FALSE(last);
  EXPECT_EQ(count.Remove(&last), 0u);
  EXPECT_TRUE(last);
  // An over-release is refused: it neither wraps nor counts as a last release
  // again.
  EXPECT_EQ(count.Remove(&last), 0u);
  EXPECT_FALSE(last);
  EXPECT_EQ(count.Count(), 0u);
  EXPECT_EQ(count.Add(), 1u);
}

TEST(ComObject, QueryInterfaceAnswersItsInterfacesAndRefusesNullAndOthers) {
  int destroyed = 0;
  auto* thing = new Thing(&destroyed);
  EXPECT_EQ(thing->QueryInterface(IID_IUnknown, nullptr), E_POINTER);

  void* other = thing;
  EXPECT_EQ(thing->QueryInterface(IID_IOther, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);

  void* unknown = nullptr;
  void* same = nullptr;
  ASSERT_EQ(thing->QueryInterface(IID_IUnknown, &unknown), S_OK);
  ASSERT_EQ(thing->QueryInterface(IID_ITestThing, &same), S_OK);
  EXPECT_EQ(unknown, static_cast<ITestThing*>(thing));
  EXPECT_EQ(same, unknown);
  // The two answers took a reference each; the failed ones took none.
  EXPECT_EQ(thing->AddRef(), 4u);
  EXPECT_EQ(thing->Release(), 3u);
  EXPECT_EQ(static_cast<ITestThing*>(same)->Release(), 2u);
  EXPECT_EQ(static_cast<ITestThing*>(unknown)->Release(), 1u);
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(thing->Release(), 0u);
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
