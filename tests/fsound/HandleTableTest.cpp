#include "platform/fsound/HandleTable.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "platform/fsound/FileCallbacks.h"
#include "support/TempDir.h"

namespace {

TEST(HandleTable, LiveHandlesFindTheirObjectsAndNothingElseDoes) {
  HandleTable<int> table;
  int a = 1, b = 2;
  const unsigned int ha = table.Add(&a);
  const unsigned int hb = table.Add(&b);
  EXPECT_NE(ha, 0u);
  EXPECT_NE(hb, 0u);
  EXPECT_NE(ha, hb);
  EXPECT_EQ(table.Find(ha), &a);
  EXPECT_EQ(table.Find(hb), &b);
  EXPECT_EQ(table.Count(), 2u);
  EXPECT_EQ(table.Add(nullptr), 0u);
  for (unsigned int unknown : {0u, 3u, 0xFFFFu, 0xFFFFFFFFu, ha | 0x10000u, hb ^ 0x30000u}) {
    EXPECT_EQ(table.Find(unknown), nullptr) << std::hex << unknown;
    EXPECT_EQ(table.Remove(unknown), nullptr) << std::hex << unknown;
  }
  EXPECT_EQ(table.Count(), 2u);
}

TEST(HandleTable, AClosedHandleStaysDeadWhenItsSlotIsReused) {
  HandleTable<int> table;
  int first = 1, second = 2;
  const unsigned int old = table.Add(&first);
  EXPECT_EQ(table.Remove(old), &first);
  EXPECT_EQ(table.Remove(old), nullptr);  // a second close finds nothing
  const unsigned int reused = table.Add(&second);
  EXPECT_NE(reused, old);
  EXPECT_EQ(table.Find(old), nullptr);
  EXPECT_EQ(table.Remove(old), nullptr);
  EXPECT_EQ(table.Find(reused), &second);
  EXPECT_EQ(table.Count(), 1u);
}

TEST(HandleTable, AFullTableRefusesUntilAHandleCloses) {
  HandleTable<int> table;
  int object = 0;
  std::set<unsigned int> handles;
  for (std::size_t i = 0; i < HandleTable<int>::kMaxOpen; ++i) handles.insert(table.Add(&object));
  EXPECT_EQ(handles.size(), HandleTable<int>::kMaxOpen);
  EXPECT_EQ(handles.count(0u), 0u);
  EXPECT_EQ(table.Add(&object), 0u);
  const unsigned int last = *handles.rbegin();
  EXPECT_EQ(table.Remove(last), &object);
  const unsigned int again = table.Add(&object);
  EXPECT_NE(again, 0u);
  EXPECT_NE(again, last);
  EXPECT_EQ(table.Find(again), &object);
}

TEST(DiskFileCallbacks, AStaleHandleReadsNothingFromTheFileThatTookItsSlot) {
  TempDir dir;
  const FileCallbacks disk = DiskFileCallbacks();
  const unsigned int old = disk.open(dir.write("a.mp3", "first").c_str());
  ASSERT_NE(old, 0u);
  disk.close(old);
  const unsigned int now = disk.open(dir.write("b.mp3", "second").c_str());
  ASSERT_NE(now, 0u);
  char bytes[8] = {};
  EXPECT_EQ(disk.read(bytes, 8, old), 0);
  EXPECT_EQ(disk.tell(old), -1);
  EXPECT_EQ(disk.seek(old, 0, 0), -1);
  disk.close(old);  // must not close the new file
  EXPECT_EQ(disk.read(bytes, 8, now), 6);
  EXPECT_EQ(std::string(bytes, 6), "second");
  disk.close(now);
  EXPECT_EQ(disk.read(bytes, 8, now), 0);
  EXPECT_EQ(disk.open(dir.file("missing.mp3").c_str()), 0u);
}

}  // namespace
