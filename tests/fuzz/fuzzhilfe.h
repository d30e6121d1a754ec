// Shared parts of the libFuzzer targets.
//
// Every target works on real files, because the file layer is part of what
// is tested: each process gets one private scratch directory (on tmpfs when
// there is one, so the safe saves with their fsync stay cheap), created on
// first use and removed at exit.  A broken invariant aborts with a message,
// which libFuzzer reports like any crash and keeps the input.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kvfuzz {

// The process's scratch directory (absolute, without trailing "/").
const std::string& Verzeichnis();
// A path inside it.
std::string Pfad(std::string_view name);
// Removes everything inside the scratch directory (not the directory).
void Leere();

void SchreibeDatei(const std::string& pfad, std::string_view inhalt);
// The whole file; `gefunden` false (and "") when it cannot be read.
std::string LiesDatei(const std::string& pfad, bool* gefunden = nullptr);

// Line ends only as CR LF (every CR followed by LF, every LF preceded by
// CR) and no NUL: a file as the program and its companion write them.
bool Wohlgeformt(std::string_view text);

// Open file descriptors of the process; a target compares the count at the
// start and at the end of each input, so a leaked descriptor is found at once.
int OffeneDeskriptoren();

[[noreturn]] void Verletzt(const char* datei, int zeile, const char* bedingung);

}  // namespace kvfuzz

#define FUZZ_PRUEFE(bedingung) \
  ((bedingung) ? (void)0 : ::kvfuzz::Verletzt(__FILE__, __LINE__, #bedingung))
