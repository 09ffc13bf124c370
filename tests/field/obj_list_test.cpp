#include "field/obj_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Counts its own destructions, with the useCount that makes a list own its items.
struct Counted {
  int* deaths;
  int useCount = 1;
  ~Counted() { ++*deaths; }
};
struct Plain {
  int tag;
};

template <typename T>
std::vector<T*> Walk(const ObjList<T>& list) {
  std::vector<T*> items;
  const ListNode<T>* previous = list.Head();
  for (const ListNode<T>* node = list.Head(); !node->isTail;) {
    node = node->next;
    EXPECT_EQ(node->prev, previous);
    previous = node;
    items.push_back(node->item);
  }
  return items;
}

TEST(ObjList, AppendsInOrderAndFindsTheFirstEntry) {
  Plain a{1}, b{2}, twin{1};
  ObjList<Plain> list;
  EXPECT_TRUE(list.isTail);
  EXPECT_EQ(list.item, nullptr);
  EXPECT_EQ(list.Find(nullptr), nullptr);  // the head's null item is never compared
  for (Plain* p : {&a, &b, &a}) list.Append(p);
  EXPECT_EQ(Walk(list), (std::vector<Plain*>{&a, &b, &a}));
  EXPECT_EQ(list.Find(&a), list.next);
  EXPECT_EQ(list.Find(&b), list.next->next);
  EXPECT_EQ(list.Find(&twin), nullptr);  // equal contents, other pointer
  EXPECT_EQ(list.Find(nullptr), nullptr);
}

TEST(ObjList, ClearReleasesItemsByUseCount) {
  struct Case {
    int useCount, entries;  // one item, listed `entries` times
    int deaths, countLeft;
  };
  for (const Case& c : {Case{1, 1, 1, 0}, Case{2, 2, 1, 0}, Case{2, 1, 0, 1}, Case{3, 2, 0, 1}}) {
    int deaths = 0;
    auto* item = new Counted{&deaths, c.useCount};
    ObjList<Counted> list;
    for (int k = 0; k < c.entries; ++k) list.Append(item);
    list.Clear();
    EXPECT_EQ(deaths, c.deaths) << c.useCount << " x" << c.entries;
    EXPECT_TRUE(Walk(list).empty());
    if (c.countLeft) {
      EXPECT_EQ(item->useCount, c.countLeft);
      delete item;
    }
    list.Clear();  // an empty list frees nothing more
    list.Append(new Counted{&deaths});  // and is reusable; its destructor releases the item
  }
}

}  // namespace
