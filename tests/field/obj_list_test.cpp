#include "field/obj_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// An item that counts its own destructions, with the useCount a ball list relies on.
struct Counted {
  explicit Counted(int tag, int* deaths) : tag(tag), deaths(deaths) {}
  ~Counted() { ++*deaths; }
  int tag;
  int* deaths;
  int useCount = 1;
};

// A plain record without a useCount, like the mesh records.
struct Plain {
  int tag;
};

template <typename T>
std::vector<T*> Walk(const ObjList<T>& list) {
  std::vector<T*> items;
  for (const ListNode<T>* node = list.Head(); !node->isTail;) {
    node = node->next;
    items.push_back(node->item);
  }
  return items;
}

TEST(ObjList, NewListIsItsOwnEmptyHead) {
  ObjList<Plain> list;
  EXPECT_EQ(list.Head(), &list);
  EXPECT_TRUE(list.isTail);
  EXPECT_EQ(list.item, nullptr);
  EXPECT_EQ(list.prev, nullptr);
  EXPECT_EQ(list.next, nullptr);
  EXPECT_TRUE(Walk(list).empty());
  EXPECT_EQ(list.Find(nullptr), nullptr);
}

TEST(ObjList, AppendLinksNodesInOrder) {
  Plain a{1}, b{2}, c{3};
  ObjList<Plain> list;
  list.Append(&a);
  EXPECT_FALSE(list.isTail);
  ASSERT_NE(list.next, nullptr);
  EXPECT_EQ(list.next->prev, list.Head());
  EXPECT_TRUE(list.next->isTail);
  EXPECT_EQ(list.next->item, &a);

  list.Append(&b);
  list.Append(&c);
  EXPECT_EQ(Walk(list), (std::vector<Plain*>{&a, &b, &c}));
  EXPECT_EQ(list.item, nullptr);
  const ListNode<Plain>* first = list.next;
  const ListNode<Plain>* second = first->next;
  const ListNode<Plain>* third = second->next;
  EXPECT_FALSE(first->isTail);
  EXPECT_FALSE(second->isTail);
  EXPECT_TRUE(third->isTail);
  EXPECT_EQ(second->prev, first);
  EXPECT_EQ(third->prev, second);
}

TEST(ObjList, FindReturnsFirstNodeWithThePointer) {
  Plain a{1}, b{2}, stranger{1};
  ObjList<Plain> list;
  list.Append(&a);
  list.Append(&b);
  list.Append(&a);
  EXPECT_EQ(list.Find(&a), list.next);
  EXPECT_EQ(list.Find(&b), list.next->next);
  EXPECT_EQ(list.Find(&stranger), nullptr);  // equal contents, other pointer
  EXPECT_EQ(list.Find(nullptr), nullptr);    // the head's null item is never compared
}

TEST(ObjList, ClearDeletesSoleOwnedItemsAndCanBeReused) {
  int deaths = 0;
  ObjList<Counted> list;
  list.Clear();  // empty: nothing to free
  list.Append(new Counted(1, &deaths));
  list.Append(new Counted(2, &deaths));
  list.Clear();
  EXPECT_EQ(deaths, 2);
  EXPECT_TRUE(list.isTail);
  EXPECT_TRUE(Walk(list).empty());
  list.Clear();  // twice in a row frees nothing more
  EXPECT_EQ(deaths, 2);

  auto* again = new Counted(3, &deaths);
  list.Append(again);
  EXPECT_EQ(Walk(list), std::vector<Counted*>{again});
  EXPECT_EQ(list.next->prev, list.Head());
}

TEST(ObjList, SharedItemsSurviveUntilTheirLastEntry) {
  int deaths = 0;
  Counted kept(7, &deaths);
  kept.useCount = 2;
  {
    ObjList<Counted> list;
    list.Append(&kept);
    list.Clear();
  }
  EXPECT_EQ(kept.useCount, 1);
  EXPECT_EQ(deaths, 0);

  auto* twice = new Counted(8, &deaths);
  twice->useCount = 2;
  ObjList<Counted> list;
  list.Append(twice);
  list.Append(twice);
  list.Clear();  // first entry lowers the count, second deletes
  EXPECT_EQ(deaths, 1);
}

TEST(ObjList, DestructorReleasesEverything) {
  int deaths = 0;
  {
    ObjList<Counted> list;
    for (int i = 0; i < 5; ++i) list.Append(new Counted(i, &deaths));
  }
  EXPECT_EQ(deaths, 5);
  // Lists of plain records free their nodes only (checked for leaks under the sanitizer run).
  Plain p{0};
  ObjList<Plain> plain;
  plain.Append(&p);
  plain.Append(&p);
}

}  // namespace
