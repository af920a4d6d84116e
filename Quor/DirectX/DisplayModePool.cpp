#include "Quor/DirectX/DisplayModePool.h"

#include <cstdio>

CDisplayModePool::CDisplayModePool() {
  for (int i = kDisplayModeRecordCount - 1; i >= 0; --i) {
    m_records[i].next = m_freeChain;
    m_freeChain = &m_records[i];
  }
  for (SModeList& list : m_lists) list.pool = this;
}

SModeList* CDisplayModePool::AcquireList() {
  for (SModeList& list : m_lists) {
    if (list.free) {
      list.cursor = 0;
      list.free = false;
      return &list;
    }
  }
  return nullptr;
}

void CDisplayModePool::ClearList(SModeList* list) {
  if (!list) return;
  while (SDisplayModeRecord* record = list->first) {
    list->first = record->next;
    *record = SDisplayModeRecord();
    record->next = m_freeChain;
    m_freeChain = record;
  }
  list->count = 0;
}

void CDisplayModePool::ReleaseList(SModeList* list) {
  if (!list) return;
  ClearList(list);
  list->free = true;
}

SDisplayModeRecord* CDisplayModePool::AddMode(SModeList* list, const char* text, int32_t width,
                                              int32_t height, int32_t refreshRate,
                                              uint32_t displayFormat) {
  if (!list || !m_freeChain) return nullptr;
  SDisplayModeRecord* record = m_freeChain;
  m_freeChain = record->next;
  std::snprintf(record->text, sizeof record->text, "%s", text ? text : "");
  record->width = width;
  record->height = height;
  record->refreshRate = refreshRate;
  record->displayFormat = displayFormat;
  record->backBufferFormat = kBackBufferFormatA8R8G8B8;
  record->previous = nullptr;
  record->next = list->first;
  if (list->first) list->first->previous = record;
  list->first = record;
  ++list->count;
  return record;
}

int CDisplayModePool::FreeRecordCount() const {
  int count = 0;
  for (const SDisplayModeRecord* record = m_freeChain; record; record = record->next) ++count;
  return count;
}

CDisplayModePool& GetDisplayModePool() {
  static CDisplayModePool pool;
  return pool;
}

SAdapterEntry::SAdapterEntry() : modes(GetDisplayModePool().AcquireList()) {}

SAdapterEntry::~SAdapterEntry() { GetDisplayModePool().ReleaseList(modes); }
