// ObjList: the system's one container, an ordered doubly linked list of item pointers.
//
// The list object is its own head node. The head's item is always null and stands for "no item";
// the last node carries isTail (in the head, isTail means the list is empty). Every user walks it
// the same way:
//
//     for (const ListNode<T>* node = list.Head(); !node->isTail;) {
//       node = node->next;
//       use(node->item);
//     }
//
// The list owns its nodes. For item types with a useCount (balls) it also owns the items:
// Clear() deletes an item whose useCount is 1 and otherwise lowers the count. Lists of plain
// records (meshes) only ever free their nodes.
#pragma once

#include <new>

template <typename T>
struct ListNode {
  ListNode* prev = nullptr;
  ListNode* next = nullptr;  // meaningless in the last node, never read there
  T* item = nullptr;
  bool isTail = true;
};

template <typename T>
class ObjList : public ListNode<T> {
 public:
  ObjList() = default;
  ObjList(const ObjList&) = delete;
  ObjList& operator=(const ObjList&) = delete;
  ~ObjList() { Clear(); }

  ListNode<T>* Head() { return this; }
  const ListNode<T>* Head() const { return this; }

  // Appends after the current last node. The list keeps no tail pointer, so this walks the chain.
  void Append(T* object) {
    ListNode<T>* last = this;
    while (!last->isTail) last = last->next;
    auto* node = new ListNode<T>;
    last->isTail = false;
    last->next = node;
    node->prev = last;
    node->item = object;
    node->isTail = true;
  }

  // First node holding exactly this pointer, or null. The head's own item is never compared.
  ListNode<T>* Find(const T* object) {
    for (ListNode<T>* node = this; !node->isTail;) {
      node = node->next;
      if (node->item == object) return node;
    }
    return nullptr;
  }
  const ListNode<T>* Find(const T* object) const { return const_cast<ObjList*>(this)->Find(object); }

  // Releases the counted items first (see above), then frees every node; the list is empty
  // afterwards.
  void Clear() {
    if constexpr (requires(T* p) { p->useCount; }) {
      for (ListNode<T>* node = this; !node->isTail;) {
        node = node->next;
        if (node->item->useCount == 1) {
          delete node->item;
        } else {
          --node->item->useCount;
        }
      }
    }
    if (this->isTail) return;
    ListNode<T>* node = this->next;
    for (;;) {
      ListNode<T>* following = node->next;
      const bool last = node->isTail;
      delete node;
      if (last) break;
      node = following;
    }
    this->isTail = true;
  }
};
