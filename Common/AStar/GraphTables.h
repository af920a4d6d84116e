#pragma once
// Helpers over a graph's node or edge table, where an empty slot is null.

#include <vector>

namespace AStar {

// Steps a cursor over the table, skipping empty slots; null once the cursor leaves it.
template <class T>
T* WalkSlots(const std::vector<T*>& table, int* cursor, int step) {
  while (*cursor >= 0 && *cursor < static_cast<int>(table.size())) {
    T* entry = table[*cursor];
    *cursor += step;
    if (entry) return entry;
  }
  return nullptr;
}

template <class T>
T* SlotAt(const std::vector<T*>& table, int index) {
  return index >= 0 && index < static_cast<int>(table.size()) ? table[index] : nullptr;
}

}  // namespace AStar
