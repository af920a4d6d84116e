#pragma once
// One counted reference to a device object, given back when the holder is reset or goes away,
// so an early return cannot leak it. Copies add a reference; moves hand it over.

#include "Platform/GraphicsDevice.h"

#include <utility>

template <typename T>
class CGfxRef {
 public:
  CGfxRef() = default;
  // Takes over the reference the caller holds.
  explicit CGfxRef(T* object) : m_object(object) {}
  CGfxRef(const CGfxRef& other) : m_object(other.m_object) {
    if (m_object) m_object->AddRef();
  }
  CGfxRef(CGfxRef&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
  CGfxRef& operator=(CGfxRef other) noexcept {
    std::swap(m_object, other.m_object);
    return *this;
  }
  ~CGfxRef() { Reset(); }

  void Reset() {
    if (m_object) m_object->Release();
    m_object = nullptr;
  }
  // Gives back what is held, then the place a device call that hands out an object writes it to.
  T** Receive() {
    Reset();
    return &m_object;
  }

  T* Get() const { return m_object; }
  T* operator->() const { return m_object; }
  explicit operator bool() const { return m_object != nullptr; }

 private:
  T* m_object = nullptr;
};
