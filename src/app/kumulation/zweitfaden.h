// The second thread of a cumulation run.
#pragma once
#include <functional>
#include <memory>

namespace kv {

// A second thread that shares loops with the calling one while a run
// lasts.  It shows nothing and changes no file; what a loop may read and
// write is the loop's contract (see Quellkreis::Lade and Saldenabbild).  Without
// it (not started, or no thread to be had) the caller does all the work.
// Outside Teile (also after an exception out of it) the thread waits idle
// and holds no lock; Beende, or the destructor, ends it at any time.
class Zweitfaden {
 public:
  Zweitfaden();
  ~Zweitfaden();
  Zweitfaden(const Zweitfaden&) = delete;
  Zweitfaden& operator=(const Zweitfaden&) = delete;
  void Starte();
  void Beende();
  // Runs arbeit(von, bis) over 0..anzahl-1 in runs of `happen`, on both
  // threads; `zwischendurch` runs on the calling thread first, while the
  // second one starts.  Returns when all runs are done.  When `arbeit` or
  // `zwischendurch` throws (on either thread), no further runs start, and
  // the first exception is rethrown here once the second thread has left
  // its run.
  void Teile(int anzahl, int happen, const std::function<void(int, int)>& arbeit,
             const std::function<void()>& zwischendurch = {});

 private:
  struct Zustand;
  std::unique_ptr<Zustand> z_;
};

}  // namespace kv
