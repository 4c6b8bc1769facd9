// One owning handle type for every kind of handle: move-only, released exactly once by the
// function given as Close. Aliases for the Windows handles live next to their users. It lives
// in the lowest layer, so that every layer owns its handles with it.
#pragma once

#include <utility>

namespace base {

template <class T, auto Close>
class UniqueHandle {
public:
  UniqueHandle() = default;
  explicit UniqueHandle(T handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  T get() const { return handle_; }
  explicit operator bool() const { return handle_ != T{}; }
  T release() { return std::exchange(handle_, T{}); }
  void reset(T handle = T{}) {
    const T old = std::exchange(handle_, handle);
    if (old != T{}) Close(old);
  }
  // For out-parameters: releases the held handle first.
  T* put() {
    reset();
    return &handle_;
  }

private:
  T handle_{};
};

}  // namespace base
