#pragma once
// The display modes the device may choose from: a fixed pool of records shared by up to 16 mode
// lists (one per adapter entry). The pool never grows; adding a mode to a full pool fails.

#include <cstdint>

static constexpr int kDisplayModeRecordCount = 1024;
static constexpr int kModeListCount = 16;
static constexpr int kAdapterEntryCount = 16;
static constexpr uint32_t kBackBufferFormatA8R8G8B8 = 21;

struct SDisplayModeRecord {
  char text[256] = {};
  int32_t width = 0;   // -1 for the windowed entry
  int32_t height = 0;  // -1 for the windowed entry
  int32_t refreshRate = 0;
  uint32_t displayFormat = 0;
  uint32_t backBufferFormat = kBackBufferFormatA8R8G8B8;
  SDisplayModeRecord* next = nullptr;
  SDisplayModeRecord* previous = nullptr;
};

class CDisplayModePool;

struct SModeList {
  bool free = true;
  uint32_t cursor = 0;
  uint32_t count = 0;
  CDisplayModePool* pool = nullptr;
  SDisplayModeRecord* first = nullptr;
};

class CDisplayModePool {
 public:
  CDisplayModePool();
  CDisplayModePool(const CDisplayModePool&) = delete;
  CDisplayModePool& operator=(const CDisplayModePool&) = delete;

  // The first free list, or null when all 16 are taken.
  SModeList* AcquireList();
  // Returns the list's records to the pool; the list stays taken.
  void ClearList(SModeList* list);
  // Clears the list and frees it.
  void ReleaseList(SModeList* list);
  // A record at the head of the list, or null when the pool has no free record left.
  SDisplayModeRecord* AddMode(SModeList* list, const char* text, int32_t width, int32_t height,
                              int32_t refreshRate, uint32_t displayFormat);
  int FreeRecordCount() const;

 private:
  SDisplayModeRecord m_records[kDisplayModeRecordCount];
  SModeList m_lists[kModeListCount];
  SDisplayModeRecord* m_freeChain = nullptr;
};

// The program's one pool, built before the entry runs.
CDisplayModePool& GetDisplayModePool();

// One adapter and device type the device may use, with its modes.
struct SAdapterEntry {
  SAdapterEntry();
  ~SAdapterEntry();
  SAdapterEntry(const SAdapterEntry&) = delete;
  SAdapterEntry& operator=(const SAdapterEntry&) = delete;

  char text[256] = {};
  uint32_t adapter = 0;
  uint32_t deviceType = 0;
  SModeList* modes = nullptr;  // null when no list was free
};
