// Handle lists: handle limits, element order, the current position, node
// recycling, and the warning lines written for misuse and for lists left behind.
#include <climits>
#include <string>
#include <vector>

#include "core/lists.h"
#include "support/kr_test.h"

namespace {

// Distinct addresses to store; the lists never look behind them.
char a, b, c, d;

using Elements = std::vector<void*>;

// What an application reads walking from the head with GetNext (bounded, in case
// the chain were broken into a cycle).
Elements WalkFromHead(int list) {
  Elements seen;
  KRListSetCurrentPosition(list, 0);
  while (seen.size() < 64) {
    void* data = KRListGetNext(list);
    if (!data) break;
    seen.push_back(data);
  }
  return seen;
}

Elements WalkFromTail(int list) {
  Elements seen;
  KRListSetCurrentPosition(list, -1);
  while (seen.size() < 64) {
    void* data = KRListGetPrev(list);
    if (!data) break;
    seen.push_back(data);
  }
  return seen;
}

int Occurrences(const std::string& text, const std::string& line) {
  int count = 0;
  for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) ++count;
  return count;
}

bool Logged(const std::string& line) { return Occurrences(sim::DebugOutput(), line) > 0; }

// Every call but create and release on a handle that names no list: nothing
// changes, getters give null or 0, and it counts as empty.
void ExpectEveryCallDoesNothing(int handle) {
  SCOPED_TRACE(handle);
  KRListAddHead(handle, &c);
  KRListAddTail(handle, &c);
  KRListSetCurrentPosition(handle, 0);
  KRListFind(handle, &a);
  KRListFindIndex(handle, 0);
  KRListRemoveAll(handle);
  for (void* (*call)(int) : {KRListRemoveHead, KRListRemoveTail, KRListGetHead, KRListGetTail, KRListGetNext,
                             KRListGetPrev, KRListGetCurrentElement, KRListRemoveCurrentElement}) {
    EXPECT_EQ(nullptr, call(handle));
  }
  EXPECT_EQ(nullptr, KRListInsertBefore(handle, &c));
  EXPECT_EQ(nullptr, KRListInsertAfter(handle, &c));
  EXPECT_EQ(0, KRListGetCount(handle));
  EXPECT_EQ(1, KRListIsEmpty(handle));
}

class ListLifecycleTest : public KRTest {};

class ListTest : public KRTest {
 protected:
  void SetUp() override {
    KRTest::SetUp();
    ASSERT_EQ(1, KRListStartup());
    sim::ClearDebugOutput();
  }

  // Started without KRStartup, so KRCleanup would pass it over.
  void TearDown() override {
    if (KRListIsStarted()) KRListCleanup();
    KRTest::TearDown();
  }

  // A new list holding `elements`, added at the tail.
  static int ListOf(const Elements& elements, int capacity = 8) {
    int list = KRListCreateList(capacity);
    for (void* data : elements) KRListAddTail(list, data);
    return list;
  }
};

TEST_F(ListLifecycleTest, ListStartupAndCleanupAreRefusedTwice) {
  EXPECT_EQ(0, KRListIsStarted());
  EXPECT_EQ(1, KRListStartup());
  EXPECT_EQ(1, KRListIsStarted());
  EXPECT_EQ(0, KRListStartup());
  EXPECT_EQ(0x9001ul, KRErrorGetLastError());

  KRListCleanup();
  EXPECT_EQ(0, KRListIsStarted());
  KRListCleanup();
  EXPECT_EQ(0x9002ul, KRErrorGetLastError());
  EXPECT_EQ(1, Occurrences(sim::DebugOutput(), "KRList : Startup\r\n"));
  EXPECT_EQ(1, Occurrences(sim::DebugOutput(), "KRList : Cleanup\r\n"));
}

TEST_F(ListLifecycleTest, CleanupReleasesEveryHandleUpToTheLast) {
  const int heapBefore = sim::LiveHeapBlocks();
  ASSERT_EQ(1, KRListStartup());
  for (int handle = 1; handle <= 32; ++handle) ASSERT_EQ(handle, KRListCreateList(3));
  sim::ClearDebugOutput();

  KRListCleanup();
  std::string expected = "KRList : Cleanup\r\n";
  for (int handle = 1; handle <= 32; ++handle)
    expected += "KRList Warning : You didn't release Buffer(" + std::to_string(handle) + ").\r\n";
  EXPECT_EQ(expected, sim::DebugOutput());
  EXPECT_EQ(heapBefore, sim::LiveHeapBlocks()) << "every pool and the table went back to the heap";
}

TEST_F(ListLifecycleTest, ListCallsBeforeStartupDoNothing) {
  EXPECT_EQ(0, KRListCreateList(4));
  EXPECT_EQ(0x9002ul, KRErrorGetLastError());

  ExpectEveryCallDoesNothing(1);
  KRListReleaseList(1);  // silent: there is no table to release from yet
  EXPECT_FALSE(Logged("KRList"));
}

TEST_F(ListTest, CreateRefusesCapacitiesBelowOneAndPoolsBeyondAnInt) {
  for (int capacity : {0, -1, INT_MIN, INT_MAX, INT_MAX / 8}) {
    SCOPED_TRACE(capacity);
    EXPECT_EQ(0, KRListCreateList(capacity));
    EXPECT_EQ(0x9005ul, KRErrorGetLastError());
  }
  EXPECT_FALSE(Logged("KRList Warning"));
  EXPECT_EQ(1, KRListCreateList(1));  // no record was taken by the refusals
}

TEST_F(ListTest, CreateHandsOutTheLowestFreeHandleUpTo32) {
  for (int expected = 1; expected <= 32; ++expected) ASSERT_EQ(expected, KRListCreateList(2));

  EXPECT_EQ(0, KRListCreateList(2));
  EXPECT_EQ(0x9100ul, KRErrorGetLastError());
  EXPECT_TRUE(Logged("KRList Warning : Could not create List(Maximumed out).\r\n"));

  KRListReleaseList(9);
  KRListReleaseList(5);
  EXPECT_EQ(5, KRListCreateList(2));
  EXPECT_EQ(9, KRListCreateList(2));
}

TEST_F(ListTest, ReleaseOfInvalidOrFreeHandlesWarnsWithTheHandle) {
  int list = ListOf({&a});
  KRListReleaseList(list);
  for (int handle : {0, 33, -1, 7, list}) KRListReleaseList(handle);

  EXPECT_EQ(
      "KRList Warning : You released NULL or ills List(0).\r\n"
      "KRList Warning : You released NULL or ills List(33).\r\n"
      "KRList Warning : You released NULL or ills List(-1).\r\n"
      "KRList Warning : You released NULL or ills List(7).\r\n"
      "KRList Warning : You released NULL or ills List(1).\r\n",
      sim::DebugOutput());
}

TEST_F(ListTest, InvalidAndFreeHandlesDoNothingAndLeaveOtherListsAlone) {
  int list = ListOf({&a, &b});
  KRListFind(list, &b);
  sim::ClearDebugOutput();

  for (int handle : {0, 33, -1, INT_MAX, 2}) ExpectEveryCallDoesNothing(handle);
  EXPECT_EQ("", sim::DebugOutput());
  EXPECT_EQ(&b, KRListGetCurrentElement(list));
  EXPECT_EQ((Elements{&a, &b}), WalkFromHead(list));
}

TEST_F(ListTest, CleanupReleasesLeftListsWithAWarningEach) {
  KRListCreateList(2);
  ListOf({&a, &b});
  ListOf({&c});
  KRListReleaseList(1);
  sim::ClearDebugOutput();

  KRListCleanup();
  EXPECT_EQ(
      "KRList : Cleanup\r\n"
      "KRList Warning : You didn't release Buffer(2).\r\n"
      "KRList Warning : You didn't release Buffer(3).\r\n",
      sim::DebugOutput());
  EXPECT_EQ(0, KRListIsStarted());
  EXPECT_EQ(0, KRListGetCount(2));

  // A fresh start has every handle free again.
  ASSERT_EQ(1, KRListStartup());
  EXPECT_EQ(1, KRListCreateList(1));
  EXPECT_EQ(2, KRListCreateList(1));
}

TEST_F(ListTest, FullListRefusesEveryAddAndInsertWithTheSameWarning) {
  int list = KRListCreateList(1);
  KRListAddTail(list, &a);
  KRListAddTail(list, &b);
  KRListAddHead(list, &b);
  KRListFind(list, &a);
  EXPECT_EQ(nullptr, KRListInsertBefore(list, &b));
  EXPECT_EQ(nullptr, KRListInsertAfter(list, &b));

  EXPECT_EQ(4, Occurrences(sim::DebugOutput(),
                           "KRList Warning : Could not add head to List(1). (Maximumed out).\r\n"));
  EXPECT_EQ(1, KRListGetCount(list));
  EXPECT_EQ(&a, KRListRemoveHead(list));
  EXPECT_EQ(1, KRListIsEmpty(list));
}

TEST_F(ListTest, ElementsKeepTheirOrderInBothDirections) {
  int tailAdded = ListOf({&a, &b, &c});
  EXPECT_EQ((Elements{&a, &b, &c}), WalkFromHead(tailAdded));
  EXPECT_EQ((Elements{&c, &b, &a}), WalkFromTail(tailAdded));
  EXPECT_EQ(nullptr, KRListGetNext(tailAdded));  // the walk ran off the end

  int headAdded = KRListCreateList(3);
  for (void* data : {&a, &b, &c}) KRListAddHead(headAdded, data);
  EXPECT_EQ(&c, KRListGetHead(headAdded));
  EXPECT_EQ(&a, KRListGetTail(headAdded));
  EXPECT_EQ((Elements{&a, &b, &c}), WalkFromTail(headAdded));
}

TEST_F(ListTest, RemovedNodesAreReusedWithoutBreakingTheChain) {
  int list = ListOf({&a, &b});
  EXPECT_EQ(&b, KRListRemoveTail(list));
  KRListAddTail(list, &c);
  EXPECT_EQ((Elements{&a, &c}), WalkFromHead(list));

  // Empty a full list through every kind of removal, then fill it again.
  int full = ListOf({&a, &b, &c}, 3);
  EXPECT_EQ(&a, KRListRemoveHead(full));
  EXPECT_EQ(&c, KRListRemoveTail(full));
  KRListFind(full, &b);
  EXPECT_EQ(&b, KRListRemoveCurrentElement(full));
  for (void* data : {&c, &b, &a}) KRListAddHead(full, data);
  EXPECT_EQ((Elements{&a, &b, &c}), WalkFromHead(full));
  EXPECT_EQ((Elements{&c, &b, &a}), WalkFromTail(full));

  KRListRemoveAll(full);
  EXPECT_EQ(0, KRListGetCount(full));
  for (void* data : {&d, &c, &b}) KRListAddTail(full, data);
  EXPECT_EQ((Elements{&d, &c, &b}), WalkFromHead(full));
  EXPECT_FALSE(Logged("Maximumed out"));
}

TEST_F(ListTest, EmptyListWarnsOnEveryGetAndRemove) {
  int list = ListOf({&a, &b});
  EXPECT_EQ(&a, KRListRemoveHead(list));
  EXPECT_EQ(&b, KRListRemoveHead(list));
  EXPECT_EQ("", sim::DebugOutput());

  EXPECT_EQ(nullptr, KRListRemoveHead(list));
  EXPECT_EQ(nullptr, KRListRemoveTail(list));
  EXPECT_EQ(nullptr, KRListGetHead(list));
  EXPECT_EQ(nullptr, KRListGetTail(list));
  EXPECT_EQ(nullptr, KRListRemoveCurrentElement(list));
  EXPECT_EQ(
      "KRList Warning : You removed head node from empty List(1).\r\n"
      "KRList Warning : You removed tail node from empty List(1).\r\n"
      "KRList Warning : You got head node from empty List(1).\r\n"
      "KRList Warning : You got tail node from empty List(1).\r\n"
      "KRList Warning : You removed current node from empty List(1).\r\n",
      sim::DebugOutput());
}

TEST_F(ListTest, RemovingTheCurrentElementMovesThePositionToItsNext) {
  int list = ListOf({&a, &b, &c});
  KRListFind(list, &b);
  EXPECT_EQ(&b, KRListRemoveCurrentElement(list));
  EXPECT_EQ(&c, KRListGetCurrentElement(list));
  EXPECT_EQ(2, KRListGetCount(list));
  EXPECT_EQ(&c, KRListRemoveCurrentElement(list));  // the tail: nothing follows
  EXPECT_EQ(nullptr, KRListGetCurrentElement(list));
  EXPECT_EQ((Elements{&a}), WalkFromHead(list));
  EXPECT_EQ(&a, KRListGetTail(list));

  int ends = ListOf({&a, &b, &c});
  KRListSetCurrentPosition(ends, 0);
  EXPECT_EQ(&a, KRListRemoveHead(ends));
  EXPECT_EQ(&b, KRListGetCurrentElement(ends));
  KRListSetCurrentPosition(ends, -1);
  EXPECT_EQ(&c, KRListRemoveTail(ends));
  EXPECT_EQ(nullptr, KRListGetCurrentElement(ends));

  // Removing another element leaves the position where it is.
  int other = ListOf({&a, &b, &c});
  KRListFind(other, &b);
  KRListRemoveHead(other);
  KRListRemoveTail(other);
  EXPECT_EQ(&b, KRListGetCurrentElement(other));
  KRListRemoveAll(other);
  EXPECT_EQ(nullptr, KRListGetCurrentElement(other));
  EXPECT_EQ(nullptr, KRListGetNext(other));
}

TEST_F(ListTest, CallsNeedingACurrentElementChangeNothingWithoutOne) {
  int list = ListOf({&a, &b});
  KRListFind(list, &d);  // not in the list
  EXPECT_EQ(nullptr, KRListGetCurrentElement(list));
  EXPECT_EQ(nullptr, KRListRemoveCurrentElement(list));
  EXPECT_EQ(nullptr, KRListInsertBefore(list, &c));
  EXPECT_EQ(nullptr, KRListInsertAfter(list, &c));
  EXPECT_EQ(2, KRListGetCount(list));
  EXPECT_EQ((Elements{&a, &b}), WalkFromHead(list));
  EXPECT_EQ(nullptr, KRListRemoveCurrentElement(list));  // the walk ran off the end
  EXPECT_EQ(2, KRListGetCount(list));
  EXPECT_EQ("", sim::DebugOutput());
}

TEST_F(ListTest, InsertLinksBesideTheCurrentElementWithoutMovingIt) {
  int list = ListOf({&a, &c});
  KRListFind(list, &c);
  EXPECT_EQ(&b, KRListInsertBefore(list, &b));
  EXPECT_EQ(&c, KRListGetCurrentElement(list));
  EXPECT_EQ((Elements{&a, &b, &c}), WalkFromHead(list));

  KRListFind(list, &c);
  EXPECT_EQ(&d, KRListInsertAfter(list, &d));
  EXPECT_EQ((Elements{&a, &b, &c, &d}), WalkFromHead(list));
  EXPECT_EQ((Elements{&d, &c, &b, &a}), WalkFromTail(list));
  EXPECT_EQ(&d, KRListGetTail(list));

  int front = ListOf({&b});
  KRListFind(front, &b);
  KRListInsertBefore(front, &a);
  EXPECT_EQ(&a, KRListGetHead(front));
  EXPECT_EQ((Elements{&b, &a}), WalkFromTail(front));
}

TEST_F(ListTest, PositionCallsPickTheRightElementOrNone) {
  int list = ListOf({&a, &b, &c});
  KRListFindIndex(list, 2);
  EXPECT_EQ(&c, KRListGetCurrentElement(list));
  KRListSetCurrentPosition(list, 1);  // neither head nor tail: no move
  KRListSetCurrentPosition(list, -2);
  EXPECT_EQ(&c, KRListGetCurrentElement(list));

  for (int index : {3, -1}) {
    KRListFindIndex(list, 0);
    KRListFindIndex(list, index);
    EXPECT_EQ(nullptr, KRListGetCurrentElement(list)) << index;
  }
  KRListFind(list, &b);
  EXPECT_EQ(&b, KRListGetPrev(list));
  EXPECT_EQ(&a, KRListGetPrev(list));
  EXPECT_EQ(nullptr, KRListGetPrev(list));  // before the head
}

}  // namespace
