#pragma once
// A heap-held callback that binds an object to one of its member functions taking no
// arguments: destroy, invoke and clone through the interface iPtr.

namespace PtrToMember0 {

class iPtr {
 public:
  virtual ~iPtr() = default;
  virtual void Invoke() = 0;
  virtual iPtr* Clone() const = 0;
};

template <class T>
class Ptr : public iPtr {
 public:
  using Method = void (T::*)();

  Ptr(T* object, Method method) : m_object(object), m_method(method) {}
  void Invoke() override { (m_object->*m_method)(); }
  iPtr* Clone() const override { return new Ptr(*this); }

 private:
  T* m_object;
  Method m_method;
};

}  // namespace PtrToMember0
