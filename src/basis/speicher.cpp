#include "basis/speicher.h"

#include <cstdint>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace kv {

#if defined(__linux__)
namespace {

constexpr size_t kGrossseite = size_t{2} << 20;

size_t Aufgerundet(size_t bytes) { return (bytes + kGrossseite - 1) & ~(kGrossseite - 1); }

}  // namespace

void* HoleSpeicher(size_t bytes) noexcept {
  if (bytes < kGrosserSpeicher) return ::operator new(bytes ? bytes : 1, std::nothrow);
  if (bytes > SIZE_MAX - 2 * kGrossseite) return nullptr;
  // Mapped with a large page's room to spare, then cut to a large-page
  // boundary at both ends: only a block that begins on one can be backed by
  // large pages.
  const size_t groesse = Aufgerundet(bytes);
  const size_t mitRand = groesse + kGrossseite;
  void* roh = ::mmap(nullptr, mitRand, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (roh == MAP_FAILED) return nullptr;
  const uintptr_t anfang = reinterpret_cast<uintptr_t>(roh);
  const uintptr_t ausgerichtet = (anfang + kGrossseite - 1) & ~uintptr_t{kGrossseite - 1};
  if (ausgerichtet > anfang) ::munmap(roh, ausgerichtet - anfang);
  const uintptr_t ende = anfang + mitRand;
  if (ende > ausgerichtet + groesse)
    ::munmap(reinterpret_cast<void*>(ausgerichtet + groesse), ende - (ausgerichtet + groesse));
  void* p = reinterpret_cast<void*>(ausgerichtet);
  // Only a request: without large pages (switched off, none free) the
  // block is ordinary memory.
#ifdef MADV_HUGEPAGE
  ::madvise(p, groesse, MADV_HUGEPAGE);
#endif
  return p;
}

void GibSpeicher(void* p, size_t bytes) noexcept {
  if (!p) return;
  if (bytes < kGrosserSpeicher) {
    ::operator delete(p);
    return;
  }
  ::munmap(p, Aufgerundet(bytes));
}

#else

void* HoleSpeicher(size_t bytes) noexcept { return ::operator new(bytes ? bytes : 1, std::nothrow); }
void GibSpeicher(void* p, size_t) noexcept { ::operator delete(p); }

#endif

}  // namespace kv
