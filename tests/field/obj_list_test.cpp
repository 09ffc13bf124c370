#include "field/obj_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ObjList, KeepsOrderAndBackLinksAndFindsTheFirstEntry) {
  int a = 1, b = 2, twin = 1;
  ObjList<int> list;
  EXPECT_EQ(list.Find(nullptr), nullptr);  // the head's null item is never compared
  for (int* p : {&a, &b, &a}) list.Append(p);
  std::vector<int*> items;
  for (const ListNode<int>* node = list.Head(); !node->isTail; node = node->next) {
    EXPECT_EQ(node->next->prev, node);
    items.push_back(node->next->item);
  }
  EXPECT_EQ(items, (std::vector<int*>{&a, &b, &a}));
  EXPECT_EQ(list.Find(&a), list.next);
  EXPECT_EQ(list.Find(&b), list.next->next);
  EXPECT_EQ(list.Find(&twin), nullptr);  // equal contents, other pointer
}

// Counts its own destructions; its useCount makes a list own it.
struct Counted {
  int* deaths;
  int useCount;
  ~Counted() { ++*deaths; }
};

TEST(ObjList, ClearReleasesItemsByUseCount) {
  struct Case {
    int useCount, entries;  // one item, listed `entries` times
    int deaths, countLeft;
  };
  const Case cases[] = {{1, 1, 1, 0}, {2, 2, 1, 0}, {2, 1, 0, 1}, {3, 2, 0, 1}};
  for (const Case& c : cases) {
    int deaths = 0;
    auto* item = new Counted{&deaths, c.useCount};
    ObjList<Counted> list;
    for (int k = 0; k < c.entries; ++k) list.Append(item);
    list.Clear();
    EXPECT_TRUE(list.isTail);
    EXPECT_EQ(deaths, c.deaths) << c.useCount << " x" << c.entries;
    EXPECT_EQ(c.countLeft ? item->useCount : 0, c.countLeft);
    if (c.countLeft) delete item;
    list.Clear();  // an empty list frees nothing more
    list.Append(new Counted{&deaths, 1});  // and is reusable; its destructor releases the item
  }
}

}  // namespace
