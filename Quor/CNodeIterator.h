#pragma once
// What the engine's linked containers share: walking a chain of nodes linked by their
// `next` field, and freeing such a chain.

#include <cstddef>
#include <iterator>
#include <type_traits>

// Yields the node itself.
struct SNodeAccess {
  template <class TNode>
  static TNode& Get(TNode* node) { return *node; }
};

// Yields the node's `value` field.
struct SNodeValueAccess {
  template <class TNode>
  static auto& Get(TNode* node) { return node->value; }
};

template <class TNode, class TAccess>
class CNodeIterator {
 public:
  using iterator_category = std::forward_iterator_tag;
  using reference = decltype(TAccess::Get(std::declval<TNode*>()));
  using value_type = std::remove_cv_t<std::remove_reference_t<reference>>;
  using difference_type = std::ptrdiff_t;
  using pointer = std::remove_reference_t<reference>*;

  explicit CNodeIterator(TNode* node) : m_node(node) {}
  reference operator*() const { return TAccess::Get(m_node); }
  pointer operator->() const { return &TAccess::Get(m_node); }
  CNodeIterator& operator++() {
    m_node = m_node->next;
    return *this;
  }
  bool operator==(const CNodeIterator& other) const { return m_node == other.m_node; }
  bool operator!=(const CNodeIterator& other) const { return m_node != other.m_node; }

 private:
  TNode* m_node;
};

// Frees every node from head on, following `next`.
template <class TNode>
void DeleteNodeChain(TNode* head) {
  while (head) {
    TNode* next = head->next;
    delete head;
    head = next;
  }
}
