#pragma once
// A table from case-insensitive string keys to values: a chained hash index plus a list of
// every entry in insertion order. Keys are stored upper-cased. Duplicate keys are allowed
// and a lookup finds the oldest. The table never owns its values: owners destroy their
// values before clearing it.

#include "Quor/CNodeIterator.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The bucket of a key under the engine's string hash. Bytes are mapped through the
// upper-case table first, which changes nothing for a key already stored upper-cased.
uint32_t StringHashBucket(const char* key, uint32_t bucketCount);

// True when the stored (upper-cased) key equals the given key of any case, all of it.
bool StringHashKeyMatches(const std::string& storedKey, const char* key);

std::string StringHashUpperKey(const char* key);

// The value of a two-value table.
template <class TFirst, class TSecond>
struct SValuePair {
  TFirst first;
  TSecond second;
};

template <class TValue>
struct SStringHashNode {
  std::string key;                          // as inserted, upper-cased
  SStringHashNode* chainNext = nullptr;     // next node of the same bucket
  SStringHashNode* chainLast = nullptr;     // in a bucket's first node only: its last node
  SStringHashNode* previous = nullptr;      // insertion order
  SStringHashNode* next = nullptr;          // insertion order
  TValue value{};

  const char* GetKey() const { return key.c_str(); }
};

template <class TValue>
class CStringHash {
 public:
  using Node = SStringHashNode<TValue>;
  static constexpr uint32_t kDefaultBucketCount = 113;

  explicit CStringHash(uint32_t bucketCount = kDefaultBucketCount)
      : m_buckets(bucketCount ? bucketCount : 1, nullptr) {}
  ~CStringHash() { Clear(); }
  CStringHash(const CStringHash&) = delete;
  CStringHash& operator=(const CStringHash&) = delete;

  static uint32_t Hash(const char* upperKey, uint32_t bucketCount) {
    return StringHashBucket(upperKey, bucketCount);
  }

  // The oldest entry stored under the key (any case), or null, also for a null key.
  Node* Find(const char* key) const {
    if (!key) return nullptr;
    Node* node = m_buckets[Hash(key, GetBucketCount())];
    while (node && !StringHashKeyMatches(node->key, key)) node = node->chainNext;
    return node;
  }

  Node* Insert(const char* key, const TValue& value) {
    Node* node = new Node;
    node->key = StringHashUpperKey(key);
    node->value = value;
    return Link(node);
  }
  // The same insert under the second name some callers use.
  Node* InsertEntry(const char* key, const TValue& value) { return Insert(key, value); }

  template <class TFirst, class TSecond>
  Node* InsertPair(const char* key, const TFirst& first, const TSecond& second) {
    Node* node = new Node;
    MakePairNode(node, key, first, second);
    return Link(node);
  }

  template <class TFirst, class TSecond>
  static void MakePairNode(Node* node, const char* key, const TFirst& first, const TSecond& second) {
    node->key = StringHashUpperKey(key);
    node->value.first = first;
    node->value.second = second;
  }

  // Removes the entry found for the key; false (and nothing changed) when there is none.
  bool RemoveNode(const char* key) {
    Node* node = Find(key);
    if (!node) return false;
    Unlink(node);
    return true;
  }

  // Frees every node; the values are left to their owners.
  void Clear() {
    DeleteNodeChain(m_first);
    m_first = m_last = nullptr;
    m_count = 0;
    for (Node*& bucket : m_buckets) bucket = nullptr;
  }

  uint32_t GetBucketCount() const { return static_cast<uint32_t>(m_buckets.size()); }
  uint32_t GetCount() const { return m_count; }
  bool IsEmpty() const { return m_count == 0; }
  Node* GetBucket(uint32_t index) const { return m_buckets[index]; }
  Node* First() const { return m_first; }
  Node* Last() const { return m_last; }

  // Iteration over the entries in insertion order.
  using Iterator = CNodeIterator<Node, SNodeAccess>;
  using ConstIterator = CNodeIterator<const Node, SNodeAccess>;
  Iterator begin() { return Iterator(m_first); }
  Iterator end() { return Iterator(nullptr); }
  ConstIterator begin() const { return ConstIterator(m_first); }
  ConstIterator end() const { return ConstIterator(nullptr); }

 private:
  Node* Link(Node* node) {
    Node*& bucket = m_buckets[Hash(node->GetKey(), GetBucketCount())];
    if (!bucket) {
      bucket = node;
    } else {
      bucket->chainLast->chainNext = node;
    }
    bucket->chainLast = node;

    node->previous = m_last;
    if (m_last) {
      m_last->next = node;
    } else {
      m_first = node;
    }
    m_last = node;
    ++m_count;
    return node;
  }

  void Unlink(Node* node) {
    Node*& bucket = m_buckets[Hash(node->GetKey(), GetBucketCount())];
    if (bucket == node) {
      bucket = node->chainNext;
      if (bucket) bucket->chainLast = node->chainLast;
    } else {
      Node* before = bucket;
      while (before->chainNext != node) before = before->chainNext;
      before->chainNext = node->chainNext;
      if (bucket->chainLast == node) bucket->chainLast = before;
    }

    (node->previous ? node->previous->next : m_first) = node->next;
    (node->next ? node->next->previous : m_last) = node->previous;
    delete node;
    --m_count;
  }

  std::vector<Node*> m_buckets;
  uint32_t m_count = 0;
  Node* m_first = nullptr;
  Node* m_last = nullptr;
};
