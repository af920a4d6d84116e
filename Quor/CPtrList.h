#pragma once
// A singly linked list of pointers {head, count} that pushes at the front. It frees its
// nodes only; the objects pointed to belong to their owners.

#include "Quor/CNodeIterator.h"

#include <cstdint>

template <class T>
struct SPtrListNode {
  SPtrListNode* next = nullptr;
  T* value = nullptr;
};

template <class T>
class CPtrList {
 public:
  using Node = SPtrListNode<T>;

  CPtrList() = default;
  ~CPtrList() { Clear(); }
  CPtrList(const CPtrList&) = delete;
  CPtrList& operator=(const CPtrList&) = delete;

  Node* PushFront(T* value) {
    m_head = new Node{m_head, value};
    ++m_count;
    return m_head;
  }

  // Unlinks and frees the first node holding the value; false when none does.
  bool Remove(const T* value) {
    for (Node** link = &m_head; *link; link = &(*link)->next) {
      if ((*link)->value == value) {
        Node* node = *link;
        *link = node->next;
        delete node;
        --m_count;
        return true;
      }
    }
    return false;
  }

  void Clear() {
    DeleteNodeChain(m_head);
    m_head = nullptr;
    m_count = 0;
  }

  Node* GetHead() const { return m_head; }
  uint32_t GetCount() const { return m_count; }
  bool IsEmpty() const { return m_count == 0; }

  // Iteration over the pointers from the head.
  using Iterator = CNodeIterator<const Node, SNodeValueAccess>;
  Iterator begin() const { return Iterator(m_head); }
  Iterator end() const { return Iterator(nullptr); }

 private:
  Node* m_head = nullptr;
  uint32_t m_count = 0;
};
