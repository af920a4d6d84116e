#pragma once
// A doubly linked list with head, tail and count that appends at the tail. Each node
// carries its payload; the list frees its nodes but does not own what a payload points to.

#include "Quor/CNodeIterator.h"

#include <cstdint>
#include <utility>

template <class T>
struct SListNode {
  SListNode* next = nullptr;
  SListNode* previous = nullptr;
  T value;
};

template <class T>
class CList {
 public:
  using Node = SListNode<T>;

  CList() = default;
  ~CList() { Clear(); }
  CList(const CList&) = delete;
  CList& operator=(const CList&) = delete;

  Node* PushBack(T value) {
    Node* node = new Node{nullptr, m_tail, std::move(value)};
    (m_tail ? m_tail->next : m_head) = node;
    m_tail = node;
    ++m_count;
    return node;
  }

  // Unlinks and frees one node of this list.
  void Erase(Node* node) {
    if (!node) return;
    if (node == m_tail) {
      PopBack();
      return;
    }
    (node->previous ? node->previous->next : m_head) = node->next;
    node->next->previous = node->previous;
    delete node;
    --m_count;
  }

  void PopBack() {
    Node* node = m_tail;
    if (!node) return;
    m_tail = node->previous;
    (m_tail ? m_tail->next : m_head) = nullptr;
    delete node;
    --m_count;
  }

  void Clear() {
    DeleteNodeChain(m_head);
    m_head = m_tail = nullptr;
    m_count = 0;
  }

  Node* GetHead() const { return m_head; }
  Node* GetTail() const { return m_tail; }
  uint32_t GetCount() const { return m_count; }
  bool IsEmpty() const { return m_count == 0; }

  // Iteration over the payloads from head to tail.
  using Iterator = CNodeIterator<Node, SNodeValueAccess>;
  using ConstIterator = CNodeIterator<const Node, SNodeValueAccess>;
  Iterator begin() { return Iterator(m_head); }
  Iterator end() { return Iterator(nullptr); }
  ConstIterator begin() const { return ConstIterator(m_head); }
  ConstIterator end() const { return ConstIterator(nullptr); }

 private:
  Node* m_head = nullptr;
  Node* m_tail = nullptr;
  uint32_t m_count = 0;
};
