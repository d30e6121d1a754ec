#include "reports/dialogregeln.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "basis/text1252.h"
#include "basis/zahlen.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int kTitelFehler = 58001;

std::string Zweistellig(int wert) {
  char puffer[16];
  std::snprintf(puffer, sizeof puffer, "%02i", wert);
  return puffer;
}

std::string NurZiffern(const std::string& text) {
  std::string ergebnis;
  for (char c : text)
    if (c >= '0' && c <= '9') ergebnis += c;
  return ergebnis;
}

// Value of a digits-only text; more than six digits, leading zeros
// counted, are 999999: out of every month range, so the field is corrected.
int Wert(const std::string& ziffern) {
  return Ganzzahlwert(ziffern, {Leerraum::Keiner, 0, 999999, 6});
}

Meldung MonatMeldung(int maximum) {
  const std::string format = W("Monatseingabe von 1 bis %02i möglich!");
  char puffer[96];
  std::snprintf(puffer, sizeof puffer, format.c_str(), maximum);
  return Meldung::Text(std::string(puffer), kTitelFehler, Meldungsart::Fehler);
}

Meldung KontoMeldung() {
  return Meldung::Text(W("Ungültige Kontonummer bzw. Kontenauswahl !"), kTitelFehler,
                       Meldungsart::Fehler);
}

// The OK check of one month field.  `leerWert` >= 0 is what an empty field
// means; -1 makes an empty field wrong.  Returns false when the field was
// wrong; the field is then corrected and the message added to `meldungen`.
bool PruefeMonat(std::string& text, int minimum, int maximum, int leerWert, int leerErsatz,
                 int* monat, Status& meldungen) {
  std::string ziffern = NurZiffern(text);
  bool richtig = ziffern.size() == text.size();
  int wert;
  if (ziffern.empty()) {
    if (leerWert >= 0) {
      wert = leerWert;
    } else {
      richtig = false;
      wert = leerErsatz;
    }
  } else {
    wert = Wert(ziffern);
  }
  if (wert > maximum) {
    richtig = false;
    wert = maximum;
  }
  if (wert < minimum) {
    richtig = false;
    wert = minimum;
  }
  if (!richtig) meldungen.Dazu(MonatMeldung(maximum));
  text = Zweistellig(wert);
  *monat = wert;
  return richtig;
}

bool PruefeDatumOk(std::string& text, std::string& vorher, Datum* datum) {
  return PruefeDatumsfeld(text, vorher, datum);
}

}  // namespace

std::string AnfangsMonat(const Datum& heute) { return Zweistellig(heute.monat); }

std::string AnfangsDatum(const Datum& heute) {
  char puffer[32];
  std::snprintf(puffer, sizeof puffer, "%02i.%02i.%02i", heute.tag, heute.monat,
                ((heute.jahr % 100) + 100) % 100);
  return puffer;
}

std::string TippeMonat(const std::string& text, int minimum, int maximum, bool* markieren) {
  std::string ziffern = NurZiffern(text);
  if (markieren) {
    int wert = Wert(ziffern);
    *markieren = !ziffern.empty() && (wert < minimum || wert > maximum);
  }
  return ziffern;
}

std::string VerlasseMonat(const std::string& text, int minimum, int maximum) {
  int wert = Wert(NurZiffern(text));
  return Zweistellig(std::clamp(wert, minimum, maximum));
}

std::string TippeDatum(const std::string& text) {
  std::string ergebnis;
  for (char c : text)
    if ((c >= '0' && c <= '9') || c == '.') ergebnis += c;
  if (ergebnis.size() > 8) ergebnis.resize(8);
  return ergebnis;
}

bool PruefeDatumsfeld(std::string& text, std::string& vorher, Datum* datum) {
  bool sauber = FilterDatum(text, vorher) == 1;
  int tag = 0, monat = 0, jahr = 0;
  if (ZerlegeDatum(text, tag, monat, jahr) != 1) sauber = false;
  if (datum) *datum = Datum{tag, monat, jahr};
  return sauber;
}

std::string TippeMuster(const std::string& text) {
  std::string ergebnis;
  for (char c : text)
    if ((c >= '0' && c <= '9') || c == '!' || c == '?') ergebnis += c;
  if (ergebnis.size() > 5) ergebnis.resize(5);
  return ergebnis;
}

std::string TippeKonto(const std::string& text) {
  std::string ergebnis = NurZiffern(text);
  if (ergebnis.size() > 5) ergebnis.resize(5);
  return ergebnis;
}

std::string VerlasseMuster(const std::string& text) {
  std::string ergebnis = text.empty() ? std::string("?????") : text;
  PruefeKontoeingabe(ergebnis, true);  // leaving the field says nothing
  return ergebnis;
}

std::string VerlasseKonto(const std::string& text) {
  std::string ergebnis = text;
  PruefeKontoeingabe(ergebnis, false);  // leaving the field says nothing
  return ergebnis;
}

std::string StichmonatLabel(int maximum) {
  return "&Stichmonat (0-" + std::to_string(maximum) + "):";
}

std::string AuswertungLabel(int maximum) {
  return "&Stichmonat (1-" + std::to_string(maximum) + "):";
}

Dialogfeld PruefeStichmonatDialog(StichmonatDialog& d, const Datum& heute, Status& meldungen) {
  Dialogfeld fokus = Dialogfeld::Keins;
  if (!PruefeDatumOk(d.druckdatum, d.vorherDatum, &d.druck)) fokus = Dialogfeld::Druckdatum;
  if (!PruefeMonat(d.stichmonat, 0, d.maximum, heute.monat, heute.monat, &d.monat, meldungen))
    fokus = Dialogfeld::Stichmonat;
  return fokus;
}

std::string ErfolgsDialogTitel(int euRechnung) {
  return euRechnung == 1 ? W("Einnahme-Überschuss-Rechnung") : W("Gewinn- und Verlust-Rechnung");
}

Dialogfeld PruefeErfolgsDialog(ErfolgsDialog& d, Status& meldungen) {
  Dialogfeld fokus = Dialogfeld::Keins;
  if (!PruefeDatumOk(d.druckdatum, d.vorherDatum, &d.druck)) fokus = Dialogfeld::Druckdatum;
  if (!PruefeMonat(d.bisMonat, 0, d.maximum, 0, 0, &d.bis, meldungen))
    fokus = Dialogfeld::BisMonat;
  if (!PruefeMonat(d.vonMonat, 0, d.maximum, 0, 0, &d.von, meldungen))
    fokus = Dialogfeld::VonMonat;
  return fokus;
}

Dialogfeld PruefeAuswertungDialog(AuswertungDialog& d, const Datum& heute, Status& meldungen) {
  Dialogfeld fokus = Dialogfeld::Keins;
  if (!PruefeDatumOk(d.druckdatum, d.vorherDatum, &d.druck)) fokus = Dialogfeld::Druckdatum;
  int ersatz = std::clamp(heute.monat, 1, d.maximum);
  if (!PruefeMonat(d.stichmonat, 1, d.maximum, -1, ersatz, &d.monat, meldungen))
    fokus = Dialogfeld::Stichmonat;
  return fokus;
}

void BereichAusMuster(const std::string& muster, int* von, int* bis) {
  std::string unten = muster, oben = muster;
  std::replace(unten.begin(), unten.end(), '?', '0');
  std::replace(oben.begin(), oben.end(), '?', '9');
  *von = std::atoi(unten.c_str());
  *bis = std::min(std::atoi(oben.c_str()), 29999);
}

Dialogfeld PruefeKontenauswahl(Kontenauswahl& k, Status& meldungen) {
  auto zuLang = [](const std::string& text) {
    size_t start = text.find_first_not_of(' ');
    return start != std::string::npos && text.size() - start > 5;
  };
  // Too long, or refused by the account rule (which says the same).
  auto ungueltig = [&](std::string& text, bool maske) {
    if (!zuLang(text) && PruefeKontoeingabe(text, maske).Ok()) return false;
    meldungen.Dazu(KontoMeldung());
    return true;
  };
  if (k.mitMuster) {
    if (k.muster.empty()) k.muster = "?????";
    if (ungueltig(k.muster, true)) return Dialogfeld::Kontengruppe;
    BereichAusMuster(k.muster, &k.vonKonto, &k.bisKonto);
    k.kontengruppe = k.muster;
    k.auswahlart = 1;
    return Dialogfeld::Keins;
  }
  if (ungueltig(k.von, false)) return Dialogfeld::VonKonto;
  if (ungueltig(k.bis, false)) return Dialogfeld::BisKonto;
  k.vonKonto = std::atoi(k.von.c_str());
  k.bisKonto = std::atoi(k.bis.c_str());
  k.kontengruppe.clear();
  k.auswahlart = 0;
  return Dialogfeld::Keins;
}

void NullsaldenLabel(bool breit, std::string* zeile1, std::string* zeile2) {
  if (breit) {
    *zeile1 = "Kon&ten ohne Anfangsbestand und";
    *zeile2 = "ohne Kontenbewegung auch ausgeben";
  } else {
    *zeile1 = "Kon&ten mit Saldo Null auch ";
    *zeile2 = "ausgeben";
  }
}

Dialogfeld PruefeSaldenlisteDialog(SaldenlisteDialog& d, Status& meldungen) {
  Dialogfeld fokus = Dialogfeld::Keins;
  if (!PruefeDatumOk(d.druckdatum, d.vorherDatum, &d.druck)) fokus = Dialogfeld::Druckdatum;
  Dialogfeld auswahl = PruefeKontenauswahl(d.auswahl, meldungen);
  if (auswahl != Dialogfeld::Keins) fokus = auswahl;
  if (!PruefeMonat(d.vonMonat, 0, d.maximum, 0, 0, &d.von, meldungen))
    fokus = Dialogfeld::VonMonat;
  if (!PruefeMonat(d.bisMonat, 0, d.maximum, 0, 0, &d.bis, meldungen))
    fokus = Dialogfeld::BisMonat;
  return fokus;
}

Dialogfeld PruefeKontenverlaufDialog(KontenverlaufDialog& d, Status& meldungen) {
  Dialogfeld fokus = Dialogfeld::Keins;
  if (!PruefeDatumOk(d.druckdatum, d.vorherDatum, &d.druck)) fokus = Dialogfeld::Druckdatum;
  Dialogfeld auswahl = PruefeKontenauswahl(d.auswahl, meldungen);
  if (auswahl != Dialogfeld::Keins) fokus = auswahl;
  if (!PruefeMonat(d.stichmonat, 1, 12, -1, 1, &d.monat, meldungen))
    fokus = Dialogfeld::Stichmonat;
  return fokus;
}

}  // namespace kv
