#include "storage/inidatei.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "basis/text1252.h"
#include "basis/zahlen.h"

namespace kv {
namespace {

constexpr std::string_view kZeilenende = "\r\n";

// Nobody keeps megabytes of settings; a file this large is not ours, and
// loading it whole could exhaust memory.
constexpr int64_t kMaxDateigroesse = int64_t(16) << 20;

// Key of the password scrambling.  Every entry lies in -18..-4, so each
// character from the blank (0x20) up to 0xFF is stored as a byte between
// 0x0E and 0xFB: never NUL, CR, LF, nor the byte 0xFC that reading turns
// into a backslash.  Every password typed on a keyboard thus survives the
// round trip.
constexpr int32_t kPasswortschluessel[kMaxPasswortlaenge] = {
    -7, -13, -5, -17, -9,  -4,  -11, -15, -6, -18, -8, -12, -4, -16, -10, -14,
    -5, -9,  -17, -7, -13, -6, -11, -18, -8, -15, -4, -12, -10, -16, -5, -14,
};

// A value ends at the first CR, LF or NUL: anything after it would start a
// new line (and could fake another key) in the file.
std::string_view Zeilenwert(std::string_view wert) {
  return wert.substr(0, std::min(wert.find_first_of(std::string_view("\r\n\0", 3)), wert.size()));
}

}  // namespace

int Ganzzahl(std::string_view text) { return Ganzzahlwert(text, {Leerraum::C, INT_MIN, INT_MAX}); }

double Dezimalzahl(std::string_view text) {
  double wert;
  LiesDezimal(text, wert);
  return wert;
}

bool CIniDatei::IstPasswortschluessel(std::string_view schluessel) {
  return schluessel == "Passwort" || schluessel == "BK-Passwort";
}

std::string CIniDatei::Verschluessele(std::string_view klartext) {
  std::string s(klartext.substr(0, kMaxPasswortlaenge));
  for (std::size_t i = 0; i < s.size(); ++i)
    s[i] = static_cast<char>(static_cast<int32_t>(static_cast<signed char>(s[i])) +
                             kPasswortschluessel[i]);
  return s;
}

std::string CIniDatei::Entschluessele(std::string_view gespeichert) {
  std::string s(gespeichert.substr(0, kMaxPasswortlaenge));
  for (std::size_t i = 0; i < s.size(); ++i) {
    // The companion program stores a backslash as this byte.
    if (static_cast<unsigned char>(s[i]) == 0xFC) s[i] = 0x5C;
    s[i] = static_cast<char>(static_cast<int32_t>(static_cast<signed char>(s[i])) -
                             kPasswortschluessel[i]);
  }
  return s;
}

void CIniDatei::Fehlermeldung(std::string_view muster, Status& status) const {
  std::string text(muster);
  auto p = text.find("%s");
  if (p != std::string::npos) text.replace(p, 2, pfad_);
  status.Uebernimm(Meldung::Fehler(std::move(text)));
}

void CIniDatei::SetzeDateiname(std::string_view pfad) {
  pfadGekuerzt_ = pfad.size() > kMaxPfadlaenge;
  pfad_.assign(pfad.substr(0, kMaxPfadlaenge));
}

int CIniDatei::Beginne(Status& status) {
  Schliessen();
  text_.clear();
  vollstaendig_ = true;
  if (pfad_.find_first_not_of(' ') == std::string::npos) return 64;
  // A path cut to the field width names some other file; never create or
  // change that one.
  if (pfadGekuerzt_) {
    Fehlermeldung(W("Allgemeiner Fehler: \r\nKonnte Datei '%s' nicht öffnen !"), status);
    return 0;
  }
  return 1;
}

int CIniDatei::Oeffnen(int exklusiv, Status& status) {
  // Shared opening is what the probe tries itself: the file is opened at
  // once and probed only when that fails.
  int probe = 0;
  if (exklusiv != 1) {
    probe = OeffneVorhandene(status);
    if (probe == 1 || probe == 64 || pfadGekuerzt_) return probe;
  } else {
    const int bereit = Beginne(status);
    if (bereit != 1) return bereit;
    probe = PruefeDatei(pfad_);
  }
  if (probe == 2) {
    Datei neu;
    if (!neu.Oeffnen(pfad_, Datei::Anlegen)) {
      Fehlermeldung("Konnte Datei '%s' nicht anlegen !", status);
      return 0;
    }
    datei_ = std::move(neu);
    offen_ = true;
    exklusiv_ = false;
    text_.assign(kIniKopfzeile);
    text_ += kZeilenende;
    const int gespeichert = Speichern(status);
    Schliessen();
    if (gespeichert != 1) return 0;  // with Speichern's message
    probe = 1;
  }
  if (probe != 1) return probe;

  exklusiv_ = exklusiv == 1;
  if (!datei_.Oeffnen(pfad_, exklusiv_ ? Datei::Lesen : Datei::LesenSchreiben,
                      exklusiv_ ? Datei::Exklusiv : Datei::Geteilt)) {
    Fehlermeldung(W("Allgemeiner Fehler: \r\nKonnte Datei '%s' nicht öffnen !"), status);
    return 0;
  }
  offen_ = true;
  Einlesen(status);
  return 1;
}

int CIniDatei::OeffneVorhandene(Status& status) {
  const int bereit = Beginne(status);
  if (bereit != 1) return bereit;
  if (!datei_.Oeffnen(pfad_, Datei::LesenSchreiben, Datei::Geteilt))
    return ProbeVon(datei_.Fehler());
  offen_ = true;
  exklusiv_ = false;
  Einlesen(status);
  return 1;
}

int CIniDatei::LadeNurLesend(Status& status) {
  const int bereit = Beginne(status);
  if (bereit != 1) return bereit;
  if (!datei_.Oeffnen(pfad_, Datei::Lesen, Datei::Geteilt)) return ProbeVon(datei_.Fehler());
  offen_ = true;
  exklusiv_ = false;
  const int gelesen = Einlesen(status);
  Schliessen();
  return gelesen == 1 ? 1 : 0;
}

int CIniDatei::Einlesen(Status& status) {
  text_.clear();
  vollstaendig_ = false;
  if (!offen_) {
    Fehlermeldung(W("Konnte aus Datei '%s' nicht lesen!\r\nDatei ist nicht geöffnet !"), status);
    return 32;
  }
  const int64_t laenge = datei_.Laenge();
  if (laenge < 0 || !datei_.Positioniere(0)) {
    Fehlermeldung("Konnte aus Datei '%s' nicht lesen !", status);
    return 0;
  }
  if (laenge > kMaxDateigroesse) {
    Fehlermeldung(W("Datei '%s' konnte nicht vollständig gelesen werden !"), status);
    return 0;
  }
  text_.resize(static_cast<std::size_t>(laenge));
  const int64_t gelesen = datei_.Lies(text_.data(), text_.size());
  if (gelesen < 0) {
    text_.clear();
    Fehlermeldung("Konnte aus Datei '%s' nicht lesen !", status);
    return 0;
  }
  if (gelesen < laenge) {
    text_.resize(static_cast<std::size_t>(gelesen));
    Fehlermeldung(W("Datei '%s' konnte nicht vollständig gelesen werden !"), status);
    return 0;
  }
  vollstaendig_ = true;
  return 1;
}

std::size_t Wertanfang(std::string_view text, std::string_view sektion,
                       std::string_view schluessel) {
  const std::size_t s = text.find(sektion);
  if (s == std::string_view::npos) return std::string_view::npos;
  std::string suche(kZeilenende);
  suche.append(schluessel).push_back('=');
  const std::size_t k = text.find(suche, s);
  return k == std::string_view::npos ? k : k + suche.size();
}

bool IstZeilentext(std::string_view text) {
  if (text.find(kZeilenende) == std::string_view::npos) return false;
  if (text.find('\0') != std::string_view::npos) return false;
  for (std::size_t a = 0; a < text.size();) {
    std::size_t e = std::min(text.find('\n', a), text.size());
    std::string_view zeile = text.substr(a, e - a);
    const std::size_t gleich = zeile.find('=');
    if (gleich != std::string_view::npos &&
        CIniDatei::IstPasswortschluessel(zeile.substr(0, gleich)))
      zeile = zeile.substr(0, gleich);
    for (unsigned char c : zeile)
      if (c < 0x20 && c != '\t' && c != '\r' && c != 0x1A) return false;
    a = e + 1;
  }
  return true;
}

int CIniDatei::LeseWert(std::string_view sektion, std::string_view schluessel,
                        std::string& ziel) const {
  if (sektion.empty() || schluessel.empty()) return 0;
  ziel.clear();
  const std::size_t a = Wertanfang(text_, sektion, schluessel);
  if (a == std::string::npos) return 0;
  std::size_t e = a;
  while (e < text_.size() && e - a < kMaxWertlaenge && text_[e] != '\r' && text_[e] != '\n' &&
         text_[e] != '\0')
    ++e;
  ziel.assign(text_, a, e - a);
  if (IstPasswortschluessel(schluessel)) ziel = Entschluessele(ziel);
  return 1;
}

int CIniDatei::LeseWert(std::string_view sektion, std::string_view schluessel, char* ziel,
                        std::size_t groesse) const {
  if (sektion.empty() || schluessel.empty() || ziel == nullptr || groesse == 0) return 0;
  std::string wert;
  const int r = LeseWert(sektion, schluessel, wert);
  const std::size_t n = std::min(wert.size(), groesse - 1);
  std::copy_n(wert.data(), n, ziel);
  ziel[n] = '\0';
  return r;
}

int CIniDatei::SchreibeWert(std::string_view sektion, std::string_view schluessel,
                            std::string_view wert) {
  if (sektion.empty() || schluessel.empty()) return 0;
  std::string zeile(schluessel);
  zeile.push_back('=');
  if (IstPasswortschluessel(schluessel))
    // What must not break the line is the stored text: a control character
    // can scramble into CR, LF or NUL, and the value ends there rather than
    // faking another key.  (A CR in the clear text scrambles into a harmless
    // byte and is kept, so a value read from a file is written back alike.)
    zeile += Zeilenwert(Verschluessele(wert));
  else
    zeile += Zeilenwert(wert);
  zeile += kZeilenende;

  std::size_t s = text_.find(sektion);
  if (s == std::string::npos) {
    s = text_.size();
    text_ += kZeilenende;
    text_ += sektion;
    text_ += kZeilenende;
  }
  std::string suche(kZeilenende);
  suche.append(schluessel).push_back('=');
  const std::size_t k = text_.find(suche, s);
  if (k != std::string::npos) {
    // The old line runs to its CR LF inclusive, or to the end of the text
    // when the last line has none.  A bare LF does not end it: giving the
    // new line its CR LF there would turn the text behind that LF into a
    // key line, which could hide a value written before.
    const std::size_t a = k + kZeilenende.size();
    std::size_t e = text_.find(kZeilenende, a);
    e = e == std::string::npos ? text_.size() : e + kZeilenende.size();
    text_.replace(a, e - a, zeile);
  } else {
    // A last line without CR LF (none, or a bare LF) must neither swallow
    // the new key nor hide it from the search, which needs CR LF before it.
    if (!text_.ends_with(kZeilenende)) text_ += kZeilenende;
    text_ += zeile;
  }
  return 3000;
}

int CIniDatei::Speichern(Status& status) {
  if (!offen_) {
    Fehlermeldung(W("Konnte in Datei '%s' nicht schreiben!\r\nDatei ist nicht geöffnet !"),
                  status);
    return 32;
  }
  if (!vollstaendig_) {
    Fehlermeldung("Konnte in Datei '%s' nicht schreiben !", status);
    return 0;
  }
  const std::string ziel = datei_.Pfad().empty() ? pfad_ : datei_.Pfad();
  if (SpeichereSicher(ziel, text_) != DateiFehler::Keiner) {
    Fehlermeldung("Konnte in Datei '%s' nicht schreiben !", status);
    return 0;
  }
  // The file was replaced: hold the new one the way the old one was held.
  Datei neu;
  if (neu.Oeffnen(ziel, exklusiv_ ? Datei::Lesen : Datei::LesenSchreiben,
                  exklusiv_ ? Datei::Exklusiv : Datei::Geteilt)) {
    datei_ = std::move(neu);
  } else {
    Schliessen();
  }
  return 1;
}

void CIniDatei::Schliessen() {
  if (offen_) {
    datei_.Schliessen();
    offen_ = false;
  }
}

}  // namespace kv
