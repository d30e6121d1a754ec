// Large buffers that are filled right after they are taken.
//
// A first touch of fresh memory costs a page fault per 4 KB page, and on a
// virtual machine a page fault costs microseconds: for the few megabytes a
// cumulation holds per run, that was more than reading all its files.  Large
// buffers are therefore mapped on their own and the kernel is asked to back
// them with 2 MB pages where it can (one fault per 2 MB); where it cannot,
// they behave like any other memory.
#pragma once
#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace kv {

// Below this size the usual heap is used.
inline constexpr size_t kGrosserSpeicher = size_t{1} << 20;

// `bytes` of uninitialised memory (aligned for any type); nullptr when none
// is to be had.  Give it back with GibSpeicher and the same size.
void* HoleSpeicher(size_t bytes) noexcept;
void GibSpeicher(void* p, size_t bytes) noexcept;

// For vectors that are filled right after they grow: large blocks come from
// HoleSpeicher, and resize() leaves new elements as they are, so that their
// memory is first touched by the thread that fills it.
template <class T>
struct OhneVorbelegung {
  using value_type = T;
  OhneVorbelegung() = default;
  template <class U>
  OhneVorbelegung(const OhneVorbelegung<U>&) noexcept {}
  T* allocate(size_t n) {
    if (n > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    void* p = HoleSpeicher(n * sizeof(T));
    if (!p) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, size_t n) noexcept { GibSpeicher(p, n * sizeof(T)); }
  template <class U>
  void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... A>
  void construct(U* p, A&&... a) {
    ::new (static_cast<void*>(p)) U(std::forward<A>(a)...);
  }
  template <class U>
  bool operator==(const OhneVorbelegung<U>&) const noexcept {
    return true;
  }
};

}  // namespace kv
