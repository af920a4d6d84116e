#pragma once
// The common polymorphic root of the framework's and the game's classes.

#include <cstddef>

class CMemWatch {
 public:
  CMemWatch() = default;
  virtual ~CMemWatch() = default;
};

// A switchable object; CProfiler owns one buffer that its destructor frees.
class CActivator {
 public:
  virtual bool SetActive(bool active) {
    m_active = active;
    return m_active;
  }
  virtual ~CActivator() = default;
  bool IsActive() const { return m_active; }

 protected:
  bool m_active = false;
};

class CProfiler : public CActivator {
 public:
  explicit CProfiler(size_t bufferSize = 0) : m_buffer(bufferSize ? new char[bufferSize] : nullptr) {}
  ~CProfiler() override {
    delete[] m_buffer;
    m_buffer = nullptr;
  }
  CProfiler(const CProfiler&) = delete;
  CProfiler& operator=(const CProfiler&) = delete;

 private:
  char* m_buffer;
};
