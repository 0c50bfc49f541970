// Reference counting and interface lookup shared by all engine objects.
//
// Engine objects (tables, cursors, packet readers and writers) are made by
// their class factories with a reference count of 1 and are destroyed when
// Release brings the count to 0. Callers reach them through abstract
// interface classes; QueryInterface answers whether an object implements a
// given interface. EngineRef<T> is the host-side owner that releases its
// object when it goes out of scope. The engine runs on one thread, so the
// count is a plain integer.
#pragma once

#include <cstdint>
#include <utility>

#include "dataset/core/result_codes.h"

namespace dorvem {

enum class InterfaceId : std::uint32_t {
  kUnknown = 0,
  kDSBase,
  kDSCursor,
  kPacketRead,
  kPacketWrite,
};

class TEngineUnknown {
 public:
  // Stores this object, seen as the interface `id`, in *out and adds a
  // reference; answers kNotApplicable (and stores null) when it has none.
  virtual DBResult QueryInterface(InterfaceId id, void** out) = 0;
  virtual std::uint32_t AddRef() = 0;
  // Drops a reference; the object is destroyed when none is left.
  virtual std::uint32_t Release() = 0;

 protected:
  virtual ~TEngineUnknown() = default;
};

// Implements the counting part of TEngineUnknown for a class derived from it.
template <class Base>
class RefCounted : public Base {
 public:
  std::uint32_t AddRef() override { return ++refs_; }
  std::uint32_t Release() override {
    std::uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 private:
  std::uint32_t refs_ = 1;
};

// Implements TEngineUnknown whole for a class that offers one interface,
// `Iface`, known to QueryInterface as `Id`.
template <class Iface, InterfaceId Id>
class EngineObject : public RefCounted<Iface> {
 public:
  DBResult QueryInterface(InterfaceId id, void** out) override {
    if (!out) return dbr::kInvalidParameter;
    if (id == InterfaceId::kUnknown || id == Id) {
      *out = static_cast<Iface*>(this);
      this->AddRef();
      return dbr::kOk;
    }
    *out = nullptr;
    return dbr::kNotApplicable;
  }
};

// Owns one reference to an engine object.
template <class T>
class EngineRef {
 public:
  EngineRef() = default;
  // Adopts a reference the caller already holds (as a factory returns it).
  explicit EngineRef(T* adopted) : p_(adopted) {}
  EngineRef(const EngineRef& o) : p_(o.p_) {
    if (p_) p_->AddRef();
  }
  EngineRef(EngineRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  EngineRef& operator=(EngineRef o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~EngineRef() { Reset(); }

  void Reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }
  // Address for a factory's out-parameter; drops what was held.
  T** Receive() {
    Reset();
    return &p_;
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

}  // namespace dorvem
