// The core's functions hand their messages back as values; the tests that
// record what the user sees show them the way the boundary of the user's
// operation does, right after the call.
#pragma once
#include "basis/meldung.h"

namespace kvtest {

// Shows the messages of `status`; 1 for success, 0 for failure.
inline int Gezeigt(const kv::Status& status) {
  kv::Zeige(status);
  return status.Ok() ? 1 : 0;
}

// A status for a function that adds its messages to one; shown when the
// statement that made it ends:
//   EXPECT_EQ(kv::PruefeErfolgsDialog(d, kvtest::Zeigend()), ...);
class Zeigend {
 public:
  Zeigend() = default;
  Zeigend(const Zeigend&) = delete;
  Zeigend& operator=(const Zeigend&) = delete;
  ~Zeigend() { kv::Zeige(status_); }
  operator kv::Status&() { return status_; }  // NOLINT: stands in for the status

 private:
  kv::Status status_;
};

// Shows a message the moment it arrives (a scan's Meldungsziel).
inline void ZeigeSofort(const kv::Meldung& m) { kv::Zeige(m); }

}  // namespace kvtest
