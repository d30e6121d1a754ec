#include "basis/datei.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "basis/text1252.h"

namespace kv {
namespace {

// ---- fault injection -------------------------------------------------------

// Atomic: the blocks of one file may be read on two threads at once.
long g_ziel = 0;
std::atomic<long> g_aufrufe{0};
std::atomic<bool> g_ausgeloest{false};
DateiFehler g_art = DateiFehler::Sonstig;

// Counts one file operation; true when this one is to fail.
bool Injiziert() {
  if (g_ziel <= 0) return false;
  if (g_aufrufe.fetch_add(1) + 1 == g_ziel) {
    g_ausgeloest = true;
    return true;
  }
  return false;
}

int ErrnoVon(DateiFehler f) {
  switch (f) {
    case DateiFehler::NichtGefunden: return ENOENT;
    case DateiFehler::Zugriff: return EACCES;
    case DateiFehler::Teilung: return EBUSY;
    case DateiFehler::Sperre: return EAGAIN;
    case DateiFehler::Voll: return ENOSPC;
    case DateiFehler::KeineDatei: return ELOOP;
    default: return EIO;
  }
}

DateiFehler FehlerVon(int err) {
  switch (err) {
    case 0: return DateiFehler::Keiner;
    case ENOENT: case ENOTDIR: return DateiFehler::NichtGefunden;
    case EACCES: case EPERM: case EROFS: case EISDIR: return DateiFehler::Zugriff;
    case EBUSY: case ETXTBSY: return DateiFehler::Teilung;
    case EAGAIN: return DateiFehler::Sperre;
    case ENOSPC: case EFBIG: case EDQUOT: return DateiFehler::Voll;
    case ELOOP: case ENXIO: return DateiFehler::KeineDatei;  // O_NOFOLLOW on a link; a pipe
    default: return DateiFehler::Sonstig;
  }
}

// ---- paths -----------------------------------------------------------------

std::string Sys(const std::string& pfad) {
  for (unsigned char c : pfad)
    if (c >= 0x80) return Utf8(pfad);
  return pfad;
}

std::string Verzeichnis(const std::string& sysPfad) {
  auto p = sysPfad.find_last_of('/');
  if (p == std::string::npos) return ".";
  if (p == 0) return "/";
  return sysPfad.substr(0, p);
}

bool HatSchreibrecht(const struct stat& st) {
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

// A directory whose write bits are all cleared counts as read-only even for
// root, as a read-only attribute would on the companion program's platform.
bool VerzeichnisSchreibgeschuetzt(const std::string& sysPfad) {
  struct stat st {};
  if (::stat(Verzeichnis(sysPfad).c_str(), &st) != 0) return false;
  return !HatSchreibrecht(st);
}

// ---- sharing emulation -------------------------------------------------------

constexpr off_t kBasis = off_t(1) << 62;
constexpr off_t kAnwesend = kBasis + 0;      // every opener
constexpr off_t kExklusiv = kBasis + 1;      // an exclusive opener
constexpr off_t kSchreiber = kBasis + 2;     // openers with write access
constexpr off_t kVerweigert = kBasis + 3;    // openers denying writers

// The sharing bytes as bits (bit 0 = kAnwesend).  Adjacent bytes are
// tested and taken with one call over their range: a range is free exactly
// when each of its bytes is, and a read lock over it holds each byte.
unsigned Bit(off_t byte) { return 1u << (byte - kBasis); }

template <typename F>
bool JedeStrecke(unsigned bytes, F&& f) {
  for (int i = 0; i < 4;) {
    if (!(bytes >> i & 1)) {
      ++i;
      continue;
    }
    int j = i;
    while (j < 4 && (bytes >> j & 1)) ++j;
    if (!f(kBasis + i, off_t(j - i))) return false;
    i = j;
  }
  return true;
}

struct flock Strecke(short art, off_t start, off_t laenge) {
  struct flock fl {};
  fl.l_type = art;
  fl.l_whence = SEEK_SET;
  fl.l_start = start;
  fl.l_len = laenge;
  return fl;
}

bool Frei(int fd, unsigned bytes) {
  return JedeStrecke(bytes, [fd](off_t start, off_t laenge) {
    struct flock fl = Strecke(F_WRLCK, start, laenge);
    if (::fcntl(fd, F_OFD_GETLK, &fl) != 0) return true;  // no locking here: allow
    return fl.l_type == F_UNLCK;
  });
}

bool Halte(int fd, unsigned bytes) {
  return JedeStrecke(bytes, [fd](off_t start, off_t laenge) {
    struct flock fl = Strecke(F_RDLCK, start, laenge);
    if (::fcntl(fd, F_OFD_SETLK, &fl) == 0) return true;
    return errno != EAGAIN && errno != EACCES;  // file systems without locks: allow
  });
}

}  // namespace

// ---- Datei -------------------------------------------------------------------

Datei::~Datei() { Schliessen(); }

Datei::Datei(Datei&& a) noexcept : fd_(a.fd_), fehler_(a.fehler_), pfad_(std::move(a.pfad_)) {
  a.fd_ = -1;
}

Datei& Datei::operator=(Datei&& a) noexcept {
  if (this != &a) {
    Schliessen();
    fd_ = a.fd_;
    fehler_ = a.fehler_;
    pfad_ = std::move(a.pfad_);
    a.fd_ = -1;
  }
  return *this;
}

bool Datei::Scheitern(int err) {
  fehler_ = FehlerVon(err);
  return false;
}

bool Datei::Oeffnen(const std::string& pfad, Modus modus, Teilen teilen) {
  Schliessen();
  fehler_ = DateiFehler::Keiner;
  const bool schreiben = modus != Lesen;
  const bool ohneVerweis = modus == Anlegen || (schreiben && IstArbeitsdatei(pfad));
  // Where a link must not be followed, the name itself is judged.
  struct stat st {};
  const auto status = [&](const std::string& sysPfad) {
    return (ohneVerweis ? ::lstat(sysPfad.c_str(), &st) : ::stat(sysPfad.c_str(), &st)) == 0;
  };
  // A name that exists as it is needs no case-insensitive search.
  bool existiert = !pfad.empty() && status(Sys(pfad));
  pfad_ = existiert ? pfad : LoesePfadAuf(pfad);
  if (Injiziert()) return Scheitern(ErrnoVon(g_art));
  const std::string sys = Sys(pfad_);
  if (pfad_.empty()) return Scheitern(ENOENT);

  if (!existiert) existiert = status(sys);
  if (existiert && (!S_ISREG(st.st_mode) || (ohneVerweis && st.st_nlink > 1)))
    return Scheitern(ELOOP);
  if (schreiben) {
    if (existiert && !HatSchreibrecht(st)) return Scheitern(EACCES);
    if (VerzeichnisSchreibgeschuetzt(sys) && (existiert || modus == Anlegen))
      return Scheitern(EACCES);
  }

  // Not blocking: a pipe put in place of the file after the check above
  // would otherwise hold the open until some writer comes.  (On a regular
  // file the flag changes nothing, so it stays.)
  int flags = O_CLOEXEC | O_NONBLOCK | (schreiben ? O_RDWR : O_RDONLY);
  if (modus == Anlegen) flags |= O_CREAT;
  if (ohneVerweis) flags |= O_NOFOLLOW;
  int fd = ::open(sys.c_str(), flags, 0666);
  if (fd < 0) return Scheitern(errno);
  // What was opened is judged again: the name may have changed meanwhile.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || (ohneVerweis && st.st_nlink > 1)) {
    ::close(fd);
    return Scheitern(ELOOP);
  }

  // Check, announce ourselves, and check again: another instance that
  // checked at the same moment holds its bytes by then, and each of the two
  // sees the other and gives way, instead of both going on.
  unsigned pruefen = Bit(kExklusiv), halten = Bit(kAnwesend);
  if (teilen == Exklusiv) {
    pruefen |= Bit(kAnwesend);
    halten |= Bit(kExklusiv);
  }
  if (schreiben) {
    pruefen |= Bit(kVerweigert);
    halten |= Bit(kSchreiber);
  }
  if (teilen != Geteilt) {
    pruefen |= Bit(kSchreiber);
    halten |= Bit(kVerweigert);
  }
  const bool ok = Frei(fd, pruefen) && Halte(fd, halten) && Frei(fd, pruefen);
  if (!ok) {
    ::close(fd);
    return Scheitern(EBUSY);
  }
  // Truncate only once we know nobody else holds the file.
  if (modus == Anlegen && ::ftruncate(fd, 0) != 0) {
    int e = errno;
    ::close(fd);
    return Scheitern(e);
  }
  fd_ = fd;
  return true;
}

int64_t Datei::Lies(void* puffer, size_t anzahl) {
  if (fd_ < 0) { Scheitern(EBADF); return -1; }
  if (Injiziert()) { Scheitern(ErrnoVon(g_art)); return -1; }
  size_t gesamt = 0;
  auto* p = static_cast<char*>(puffer);
  while (gesamt < anzahl) {
    ssize_t n = ::read(fd_, p + gesamt, anzahl - gesamt);
    if (n < 0) {
      if (errno == EINTR) continue;
      Scheitern(errno);
      return -1;
    }
    if (n == 0) break;
    gesamt += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(gesamt);
}

bool Datei::LiesBei(int64_t position, void* puffer, size_t anzahl) {
  const int fehler = LiesBeiGleichzeitig(position, puffer, anzahl);
  return fehler == 0 || Scheitern(fehler);
}

int Datei::LiesBeiGleichzeitig(int64_t position, void* puffer, size_t anzahl) const {
  if (fd_ < 0) return EBADF;
  if (Injiziert()) return ErrnoVon(g_art);
  size_t gesamt = 0;
  auto* p = static_cast<char*>(puffer);
  while (gesamt < anzahl) {
    ssize_t n = ::pread(fd_, p + gesamt, anzahl - gesamt, position + static_cast<int64_t>(gesamt));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;  // short read
    gesamt += static_cast<size_t>(n);
  }
  return 0;
}

bool Datei::Schreibe(const void* puffer, size_t anzahl) {
  if (fd_ < 0) return Scheitern(EBADF);
  if (Injiziert()) return Scheitern(ErrnoVon(g_art));
  size_t gesamt = 0;
  auto* p = static_cast<const char*>(puffer);
  while (gesamt < anzahl) {
    ssize_t n = ::write(fd_, p + gesamt, anzahl - gesamt);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Scheitern(errno);
    }
    if (n == 0) return Scheitern(ENOSPC);
    gesamt += static_cast<size_t>(n);
  }
  return true;
}

bool Datei::SchreibeBei(int64_t position, const void* puffer, size_t anzahl) {
  if (fd_ < 0) return Scheitern(EBADF);
  if (Injiziert()) return Scheitern(ErrnoVon(g_art));
  size_t gesamt = 0;
  auto* p = static_cast<const char*>(puffer);
  while (gesamt < anzahl) {
    ssize_t n = ::pwrite(fd_, p + gesamt, anzahl - gesamt, position + static_cast<int64_t>(gesamt));
    if (n < 0) {
      if (errno == EINTR) continue;
      return Scheitern(errno);
    }
    if (n == 0) return Scheitern(ENOSPC);
    gesamt += static_cast<size_t>(n);
  }
  return true;
}

bool Datei::Positioniere(int64_t position) {
  if (fd_ < 0) return Scheitern(EBADF);
  if (Injiziert()) return Scheitern(ErrnoVon(g_art));
  if (position < 0) return Scheitern(EINVAL);
  if (::lseek(fd_, position, SEEK_SET) < 0) return Scheitern(errno);
  return true;
}

int64_t Datei::Laenge() {
  if (fd_ < 0) { Scheitern(EBADF); return -1; }
  if (Injiziert()) { Scheitern(ErrnoVon(g_art)); return -1; }
  struct stat st {};
  if (::fstat(fd_, &st) != 0) { Scheitern(errno); return -1; }
  return st.st_size;
}

bool Datei::SetzeLaenge(int64_t laenge) {
  if (fd_ < 0) return Scheitern(EBADF);
  if (Injiziert()) return Scheitern(ErrnoVon(g_art));
  if (laenge < 0) return Scheitern(EINVAL);
  if (::ftruncate(fd_, laenge) != 0) return Scheitern(errno);
  return true;
}

bool Datei::Synchronisiere() {
  if (fd_ < 0) return Scheitern(EBADF);
  if (Injiziert()) return Scheitern(ErrnoVon(g_art));
  if (::fsync(fd_) != 0 && errno != EINVAL) return Scheitern(errno);
  return true;
}

void Datei::Schliessen() {
  if (fd_ >= 0) {
    ::close(fd_);  // releases the sharing locks with the description
    fd_ = -1;
  }
}

// ---- free functions ------------------------------------------------------------

std::string LoesePfadAuf(const std::string& pfad) {
  if (pfad.empty()) return pfad;
  struct stat st {};
  if (::lstat(Sys(pfad).c_str(), &st) == 0) return pfad;

  // Walk the components, matching each one case-insensitively (ASCII letters;
  // the names the program builds are ASCII) when the exact name is missing.
  std::string ergebnis = pfad[0] == '/' ? "/" : "";
  size_t pos = pfad[0] == '/' ? 1 : 0;
  while (pos <= pfad.size()) {
    size_t ende = pfad.find('/', pos);
    if (ende == std::string::npos) ende = pfad.size();
    std::string teil = pfad.substr(pos, ende - pos);
    pos = ende + 1;
    if (teil.empty()) continue;
    std::string kandidat = ergebnis + teil;
    if (teil != "." && teil != ".." && ::lstat(Sys(kandidat).c_str(), &st) != 0) {
      DIR* d = ::opendir(Sys(ergebnis.empty() ? "." : ergebnis).c_str());
      if (!d) return pfad;
      std::string treffer;
      while (dirent* e = ::readdir(d)) {
        if (::strcasecmp(e->d_name, Sys(teil).c_str()) == 0) {
          treffer = e->d_name;
          break;
        }
      }
      ::closedir(d);
      if (treffer.empty()) return ende < pfad.size() ? pfad : kandidat;
      kandidat = ergebnis + W(treffer);
    }
    ergebnis = kandidat;
    if (ende < pfad.size()) ergebnis += '/';
  }
  return ergebnis;
}

bool DateiExistiert(const std::string& pfad) {
  struct stat st {};
  return ::stat(Sys(LoesePfadAuf(pfad)).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool VerzeichnisExistiert(const std::string& pfad) {
  struct stat st {};
  return ::stat(Sys(LoesePfadAuf(pfad)).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ListeVerzeichnis(const std::string& pfad, std::vector<std::string>& namen) {
  namen.clear();
  if (Injiziert()) return false;
  DIR* d = ::opendir(Sys(LoesePfadAuf(pfad.empty() ? "." : pfad)).c_str());
  if (!d) return false;
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") namen.push_back(W(name));
  }
  ::closedir(d);
  return true;
}

bool LoescheDatei(const std::string& pfad) {
  if (Injiziert()) return false;
  return ::unlink(Sys(LoesePfadAuf(pfad)).c_str()) == 0;
}

bool ErzeugeVerzeichnis(const std::string& pfad) {
  if (VerzeichnisExistiert(pfad)) return true;
  if (Injiziert()) return false;
  std::string sys = Sys(pfad);
  while (sys.size() > 1 && sys.back() == '/') sys.pop_back();
  if (VerzeichnisSchreibgeschuetzt(sys)) return false;
  return ::mkdir(sys.c_str(), 0777) == 0 || errno == EEXIST;
}

bool IstArbeitsdatei(const std::string& pfad) {
  const auto p = pfad.find_last_of('/');
  const char* name = pfad.c_str() + (p == std::string::npos ? 0 : p + 1);
  return ::strcasecmp(name, "~ksal~.tmp") == 0 || ::strcasecmp(name, "~ksdx~.tmp") == 0 ||
         ::strcasecmp(name, "~print~.tmp") == 0;
}

std::string DateiFehlerText(DateiFehler fehler, const std::string& pfad) {
  const char* grund;
  switch (fehler) {
    case DateiFehler::NichtGefunden:
      grund = "ist nicht vorhanden, oder ihr Verzeichnis fehlt !";
      break;
    case DateiFehler::Zugriff:
      grund = "ist schreibgesch\xFCtzt, oder ihr Verzeichnis ist es !";
      break;
    case DateiFehler::Teilung:
    case DateiFehler::Sperre:
      grund = "wird von einem anderen Programm bearbeitet !";
      break;
    case DateiFehler::Voll:
      grund = "kann nicht geschrieben werden: der Datentr\xE4ger ist voll !";
      break;
    case DateiFehler::KeineDatei:
      grund = "ist keine gew\xF6hnliche Datei (ein Verzeichnis, ein Ger\xE4t, eine\n"
              "Verkn\xFCpfung oder ein weiterer Name einer anderen Datei)\n"
              "und wird nicht verwendet !";
      break;
    default:
      grund = "konnte nicht ge\xF6""ffnet werden !";
      break;
  }
  return "Die Datei\n" + pfad + "\n" + grund;
}

int PruefeDatei(const std::string& pfad) {
  DateiFehler ursache;
  return PruefeDatei(pfad, ursache);
}

int PruefeDatei(const std::string& pfad, DateiFehler& ursache) {
  Datei d;
  if (d.Oeffnen(pfad, Datei::LesenSchreiben)) return 1;
  ursache = d.Fehler();
  return ProbeVon(ursache);
}

int ProbeVon(DateiFehler fehler) {
  switch (fehler) {
    case DateiFehler::NichtGefunden: return 2;
    case DateiFehler::Zugriff:
    case DateiFehler::Teilung:
    case DateiFehler::Sperre: return 4;
    case DateiFehler::Voll: return 16;
    default: return 0;
  }
}

DateiFehler SpeichereSicher(const std::string& pfad, const std::string& inhalt) {
  const std::string ziel = LoesePfadAuf(pfad);
  const std::string sysZiel = Sys(ziel);
  const std::string verz = Verzeichnis(sysZiel);
  struct stat st {};
  const bool existiert = ::stat(sysZiel.c_str(), &st) == 0;
  if (existiert && !HatSchreibrecht(st)) return DateiFehler::Zugriff;
  if (VerzeichnisSchreibgeschuetzt(sysZiel)) return DateiFehler::Zugriff;
  // Another holder that denies writers keeps its file; we must not replace it.
  {
    Datei probe;
    if (existiert && !probe.Oeffnen(ziel, Datei::LesenSchreiben)) return probe.Fehler();
  }
  if (Injiziert()) return g_art;

  std::string muster = verz + "/.kvsave.XXXXXX";
  std::vector<char> name(muster.begin(), muster.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return FehlerVon(errno);
  auto abbrechen = [&](int err) {
    ::close(fd);
    ::unlink(name.data());
    return FehlerVon(err);
  };
  size_t gesamt = 0;
  while (gesamt < inhalt.size()) {
    if (Injiziert()) return abbrechen(ErrnoVon(g_art));
    ssize_t n = ::write(fd, inhalt.data() + gesamt, inhalt.size() - gesamt);
    if (n < 0) {
      if (errno == EINTR) continue;
      return abbrechen(errno);
    }
    if (n == 0) return abbrechen(ENOSPC);
    gesamt += static_cast<size_t>(n);
  }
  if (::fchmod(fd, existiert ? (st.st_mode & 07777) : 0644) != 0) return abbrechen(errno);
  if (Injiziert()) return abbrechen(ErrnoVon(g_art));
  if (::fsync(fd) != 0 && errno != EINVAL) return abbrechen(errno);
  if (::close(fd) != 0) {
    ::unlink(name.data());
    return FehlerVon(errno);
  }
  const bool injiziert = Injiziert();
  if (injiziert || ::rename(name.data(), sysZiel.c_str()) != 0) {
    int e = injiziert ? ErrnoVon(g_art) : errno;
    ::unlink(name.data());
    return FehlerVon(e);
  }
  int dfd = ::open(verz.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return DateiFehler::Keiner;
}

void Fehlerinjektion::Setze(long n, DateiFehler art) {
  g_ziel = n;
  g_art = art;
  g_aufrufe = 0;
  g_ausgeloest = false;
}
void Fehlerinjektion::Aus() { Setze(0); }
long Fehlerinjektion::Aufrufe() { return g_aufrufe; }
bool Fehlerinjektion::Ausgeloest() { return g_ausgeloest; }

}  // namespace kv
