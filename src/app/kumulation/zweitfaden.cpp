#include "app/kumulation/zweitfaden.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace kv {

struct Zweitfaden::Zustand {
  std::thread faden;
  std::mutex m;
  std::condition_variable weck, fertig;
  // The loop being shared (under m: set by the caller, cleared when done).
  const std::function<void(int, int)>* arbeit = nullptr;
  int anzahl = 0, happen = 1;
  std::atomic<int> naechster{0};
  bool angenommen = false;  // the second thread works on it
  bool ende = false;
  // Outside m: counts the loops handed over, so that the second thread can
  // wait for the next one briefly without sleeping (a wake-up takes longer
  // than many of the loops), and tells while it works on one.
  std::atomic<unsigned> auftraege{0};
  std::atomic<bool> arbeitet{false};
  std::atomic<bool> beenden{false};
  // Under m: what a run threw on the second thread, for the caller to
  // rethrow (thrown out of the thread's function it would end the program).
  std::exception_ptr fehler;

  // The loop's data are passed as they were when it was handed over: the
  // other thread clears `arbeit` as soon as it has taken the last run.
  void Arbeite(const std::function<void(int, int)>& f, int n, int h) {
    for (;;) {
      const int von = naechster.fetch_add(h, std::memory_order_relaxed);
      if (von >= n) return;
      f(von, std::min(n, von + h));
    }
  }
};

namespace {

// How long a thread waits actively for the other one before it sleeps.
constexpr auto kAktivWarten = std::chrono::microseconds(1000);

inline void Pause() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

}  // namespace

Zweitfaden::Zweitfaden() = default;

Zweitfaden::~Zweitfaden() { Beende(); }

void Zweitfaden::Starte() {
  if (z_) return;
  std::unique_ptr<Zustand> z;
  try {
    z = std::make_unique<Zustand>();
    Zustand* zp = z.get();
    z->faden = std::thread([zp] {
      unsigned gesehen = 0;
      std::unique_lock<std::mutex> l(zp->m, std::defer_lock);
      for (;;) {
        const auto bis = std::chrono::steady_clock::now() + kAktivWarten;
        while (zp->auftraege.load(std::memory_order_acquire) == gesehen &&
               !zp->beenden.load(std::memory_order_relaxed) &&
               std::chrono::steady_clock::now() < bis)
          Pause();
        l.lock();
        zp->weck.wait(l, [zp, gesehen] {
          return zp->ende || zp->auftraege.load(std::memory_order_relaxed) != gesehen;
        });
        if (zp->ende) return;
        gesehen = zp->auftraege.load(std::memory_order_relaxed);
        // A loop the caller has already finished (and taken back) is
        // skipped; the next one is waited for actively again.
        if (zp->arbeit && !zp->angenommen) {
          zp->angenommen = true;
          zp->arbeitet.store(true, std::memory_order_relaxed);
          const std::function<void(int, int)>& f = *zp->arbeit;
          const int n = zp->anzahl, h = zp->happen;
          l.unlock();
          std::exception_ptr fehler;
          try {
            zp->Arbeite(f, n, h);
          } catch (...) {
            // No further runs are taken; the caller rethrows this.
            fehler = std::current_exception();
            zp->naechster.store(n, std::memory_order_relaxed);
          }
          zp->arbeitet.store(false, std::memory_order_release);
          l.lock();
          if (fehler && !zp->fehler) zp->fehler = fehler;
          zp->arbeit = nullptr;
          zp->angenommen = false;
          zp->fertig.notify_one();
        }
        l.unlock();
      }
    });
  } catch (const std::exception&) {
    return;  // no second thread: the caller does it all
  }
  z_ = std::move(z);
}

void Zweitfaden::Beende() {
  if (!z_) return;
  {
    std::lock_guard<std::mutex> l(z_->m);
    z_->ende = true;
  }
  z_->beenden.store(true);
  z_->weck.notify_one();
  z_->faden.join();
  z_.reset();
}

void Zweitfaden::Teile(int anzahl, int happen, const std::function<void(int, int)>& arbeit,
                       const std::function<void()>& zwischendurch) {
  if (!z_) {
    if (zwischendurch) zwischendurch();
    happen = std::max(1, happen);
    for (int von = 0; von < anzahl; von += happen) arbeit(von, std::min(anzahl, von + happen));
    return;
  }
  {
    std::lock_guard<std::mutex> l(z_->m);
    z_->arbeit = &arbeit;
    z_->anzahl = anzahl;
    z_->happen = std::max(1, happen);
    z_->naechster.store(0, std::memory_order_relaxed);
    z_->auftraege.fetch_add(1, std::memory_order_release);
  }
  z_->weck.notify_one();
  // `arbeit` and what it refers to live in the caller's frames: whatever
  // this thread throws, the second one is done with them before it leaves.
  std::exception_ptr fehler;
  try {
    if (zwischendurch) zwischendurch();
    z_->Arbeite(arbeit, anzahl, std::max(1, happen));
  } catch (...) {
    fehler = std::current_exception();
    z_->naechster.store(anzahl, std::memory_order_relaxed);  // no further runs
  }
  // The second thread's last run is usually short: wait for it actively
  // first.  One that has not started yet is not waited for.
  const auto bis = std::chrono::steady_clock::now() + kAktivWarten;
  while (z_->arbeitet.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < bis)
    Pause();
  std::unique_lock<std::mutex> l(z_->m);
  if (!z_->angenommen) z_->arbeit = nullptr;
  z_->fertig.wait(l, [this] { return !z_->arbeit; });
  if (!fehler) fehler = z_->fehler;
  z_->fehler = nullptr;
  l.unlock();
  if (fehler) std::rethrow_exception(fehler);
}


}  // namespace kv
