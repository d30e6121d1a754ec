#include "app/dokument.h"

#include <cstdio>

#include "basis/fortschritt.h"
#include "basis/oberflaeche.h"
#include "basis/text1252.h"

#include "storage/altdaten.h"

namespace kv {

// ---- password ------------------------------------------------------------------

std::string PasswortFalschText() { return "Das eingebene Passwort ist leider falsch!"; }

Passwortpruefung::Passwortpruefung(std::string konfiguriert)
    : vergleich_(std::move(konfiguriert)) {
  if (vergleich_.size() > 16) vergleich_.resize(16);
}

bool Passwortpruefung::IstRichtig(std::string_view eingabe) const {
  size_t a = eingabe.find_first_not_of(' ');
  if (a == std::string_view::npos) eingabe = {};
  else eingabe = eingabe.substr(a, eingabe.find_last_not_of(' ') - a + 1);
  if (eingabe.empty() && !vergleich_.empty()) return false;
  return eingabe == vergleich_;
}

void Passwortpruefung::ZaehleFehlversuch() {
  ++fehlversuche_;
  if (fehlversuche_ > 2) {
    uint64_t neu = static_cast<uint64_t>(sperrfaktor_) * (sperrfaktor_ + 1u);
    sperrfaktor_ = neu > kMaxSperrfaktor ? kMaxSperrfaktor : static_cast<uint32_t>(neu);
  }
}

void Passwortpruefung::Sperre(const std::function<void()>& warte) const {
  Fortschrittsanzeige f;
  char zeile2[160];
  std::snprintf(zeile2, sizeof zeile2, "%i. Versuch\n%s", fehlversuche_,
                W("Das Programm wird vorübergehend gesperrt...").c_str());
  f.Einrichten("Falsche Passworteingabe", "Die Passworteingabe war falsch.", zeile2,
               W("Wartezeit bis zur Freigabe..."), 1000, kBalkenText, kAbbruchGesperrt);
  for (int schritt = 0; schritt < 999; ++schritt) {
    for (uint32_t u = 0; u < sperrfaktor_; ++u)
      if (warte) warte();
    f.Schritt(1);
    f.Verarbeite();
  }
  f.Schliessen();
}

// ---- document -------------------------------------------------------------------

CKv02Doc::CKv02Doc() { Verzeichne(this, true); }

CKv02Doc::~CKv02Doc() {
  Verzeichne(this, false);
  if (kumulationAktiv_ == 1 || kumulationBereit_) SchliesseKumulationsdateien();
}

void CKv02Doc::LeseKonfiguration() {
  const std::string ini(kKonfigurationsdatei);
  if (PruefeDatei(ini) == 2) {
    if (DateiExistiert(std::string(kAlteSetupdatei)) ||
        DateiExistiert(std::string(kAlteInstallationsdatei)))
      Zeige(KonvertiereAltdaten());
    // Nothing converted (or nothing to convert from): the defaults, so that
    // no report runs with zero lines per page.
    if (PruefeDatei(ini) == 2) {
      Status standard;
      Konfiguration.SchreibeStandardKonfiguration(standard);
      Zeige(standard);
    }
  }
  Konfiguration.SetzeDateiname(ini);
  Status geoeffnet;
  int geladen = Konfiguration.Oeffnen(0, geoeffnet);
  // A file that may be read but not written (read-only, in a read-only
  // program directory, held by a program that denies writers) is read all
  // the same; only saving the settings fails, and says so then.
  if (geladen == 4) {
    Zeige(geoeffnet);
    geoeffnet = {};
    geladen = Konfiguration.LadeNurLesend(geoeffnet);
  }
  Zeige(geoeffnet);
  const bool gemeldet = !geoeffnet.Meldungen().empty();
  if (geladen == 1) {
    // Told once here, where the user's operation begins; a text read only
    // in part has had its message.
    if (!IstKonfigurationstext(Konfiguration.Text()) && !gemeldet)
      Zeige(Meldung::Fehler(KeineKonfigurationText(ini)));
    Status gelesen;
    Konfiguration.LeseKonfiguration(gelesen);
    Zeige(gelesen);
    Konfiguration.Schliessen();
  } else if (!gemeldet) {
    // Without its configuration the program knows no data directory and
    // would find no booking circle at all; the user must learn why.
    Zeige(Meldung::Fehler("Konnte aus Datei '" + ini + "' nicht lesen !"));
  }
  std::string daten;
  Konfiguration.LeseWert(kKonfigurationssektion, "Daten", daten);
  // The companion program writes Windows paths; a relative value is resolved
  // against the program directory, which is the working directory.
  for (char& c : daten)
    if (c == '\\') c = '/';
  while (daten.size() > 1 && daten.back() == '/') daten.pop_back();
  datenverzeichnis_ = daten;
}

bool CKv02Doc::PasswortGesetzt() const { return Konfiguration.konfiguration.passwort[0] != '\0'; }

Passwortpruefung CKv02Doc::ErzeugePasswortpruefung() const {
  return Passwortpruefung(Konfiguration.konfiguration.passwort);
}

int CKv02Doc::OnNewDocument(const PasswortDialog& passwort, const AuswahlDialog& auswahlDialog) {
  LeseKonfiguration();
  if (PasswortGesetzt()) {
    Passwortpruefung pruefung = ErzeugePasswortpruefung();
    if (!passwort || !passwort(pruefung)) return 0;
  }
  Kumulationsauswahl auswahl;
  if (!auswahlDialog || !auswahlDialog(auswahl)) return 0;
  UebernehmeAuswahl(auswahl);
  return 1;
}

void CKv02Doc::UebernehmeAuswahl(const Kumulationsauswahl& auswahl) {
  bezug_ = auswahl.bezug;
  buchungsjahr_ = DezimalWert(auswahl.jahr);
  stamm_.stamm.jahr = buchungsjahr_;
  Kumulieren(auswahl.von, auswahl.bis, bezug_, auswahl.jahr);
  LeseStammdaten();
  BildeTitel();
  kumulationAktiv_ = 1;
  Ueberschreibmodus = 1;
}

void CKv02Doc::Neuauswahl(const Kumulationsauswahl& auswahl) {
  bezug_ = auswahl.bezug;
  stamm_.stamm.jahr = DezimalWert(auswahl.jahr);
  SchliesseKumulationsdateien();
  LeereKumulationsanzeige();
  Kumulieren(auswahl.von, auswahl.bis, bezug_, auswahl.jahr);
  LeseStammdaten();
  BildeTitel();
}

void CKv02Doc::LeseStammdaten() {
  dateien_.stammdatei = NameStammdatei(datenverzeichnis_, bezug_);
  // Reading a master file completes missing keys, and opening a missing one
  // would create it: only a usable file of an existing circle is read.
  const int probe = PruefeDatei(dateien_.stammdatei);
  if (probe == 1) {
    stamm_.SetzeDateiname(dateien_.stammdatei);
    stamm_.stamm.jahr = buchungsjahr_;
    // Loaded first: when LeseStamm cannot open or fully read the file
    // itself, it keeps to this text instead of filling the record with
    // default values (another name, another chart of accounts).
    Status gelesen;
    if (stamm_.Oeffnen(0, gelesen) == 1) stamm_.Schliessen();
    stamm_.LeseStamm(gelesen);
    Zeige(gelesen);
    // A file that is no master file (empty, binary, LF line ends) was
    // neither read nor completed: the reference has no master data, as
    // when its file is missing.
    if (IstStammdateitext(stamm_.Text())) {
      stammGelesen_ = dateien_.stammdatei;
      stammJahr_ = buchungsjahr_;
      return;
    }
  } else if (probe != 2 && stammGelesen_ == dateien_.stammdatei && stammJahr_ == buchungsjahr_) {
    // Read moments ago by the cumulation and unusable now (in use, a
    // failing disk): the values read are still the reference's; empty ones
    // would head every report with a wrong name.
    return;
  }
  stamm_.stamm = Stammdaten{};
  stamm_.stamm.jahr = buchungsjahr_;
  stammGelesen_.clear();
}

void CKv02Doc::BildeTitel() {
  std::string name = stamm_.stamm.name;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  char titel[400];
  const Stammdaten& s = stamm_.stamm;
  if (s.geteiltesJahr)
    std::snprintf(titel, sizeof titel, "BK-Nr: %i (kum.) - %-s - %02i.%02i-%02i.%02i",
                  bezug_, name.c_str(), s.ersterPeriodenmonat, s.startjahr,
                  s.letzterPeriodenmonat, s.endjahr);
  else
    std::snprintf(titel, sizeof titel, "BK-Nr: %i (kum.) - %-s - %04i", bezug_,
                  name.c_str(), buchungsjahr_);
  dokumenttitel_ = titel;
}

int CKv02Doc::Menuebefehl() const { return stamm_.stamm.euRechnung == 1 ? kMenueEuer : kMenueGuv; }

bool CKv02Doc::PruefeKumulationBereit() const {
  if (kumulationBereit_) return true;
  Zeige(Meldung::Text(W("Es liegt keine Kummulierung vor: die Kummulierung konnte nicht\n"
                        "ausgeführt werden. Bitte wählen Sie die Kummulierungsdaten neu aus !"),
                      "INFORMATION", Meldungsart::Information));
  return false;
}

Berichtskontext CKv02Doc::Kontext() {
  Berichtskontext k;
  for (size_t i = 0; i < saldenleser_.size(); ++i) k.saldenleser[i] = &saldenleser_[i];
  k.index = &kumulationsindex_;
  k.kumulationAktiv = kumulationBereit_ ? 1 : 0;
  k.datenverzeichnis = datenverzeichnis_;
  k.druckdatei = dateien_.druckdatei;
  k.bezugsbuchungskreis = bezug_;
  const Stammdaten& s = stamm_.stamm;
  k.name = s.name;
  if (s.waehrung1[0]) k.waehrung = s.waehrung1;
  k.kontenrahmen = kontenrahmen_;
  k.euRechnung = s.euRechnung;
  k.buchungsjahr = buchungsjahr_;
  k.wjGeteilt = s.geteiltesJahr;
  k.ersterMonat = s.geteiltesJahr ? s.ersterPeriodenmonat : 1;
  k.letzterMonat = s.geteiltesJahr ? s.letzterPeriodenmonat : 12;
  k.jahr1 = s.startjahrVoll;
  k.jahr2 = s.endjahrVoll;
  const Programmkonfiguration& c = Konfiguration.konfiguration;
  k.zeilenProSeite = c.zeilenProSeite;
  k.randOben = c.randOben;
  k.dreizehnterMonat = c.dreizehnterMonat;
  return k;
}

}  // namespace kv
