// The input filters and checks of edit fields on arbitrary text: month,
// amount, whole number, digits, full date, account numbers
// and masks, the selection fields, the report options dialogs' rules, and
// the amount and year texts they rely on.
//
// Checked besides memory safety:
//   - every filter's result has its documented form, and filtering that
//     result again changes nothing and reports it clean;
//   - an accepted date is a real date, an accepted account lies in
//     1..29999, a normalised mask has five characters;
//   - a report amount text has exactly the field width and, when it is not
//     the overflow mark, reads back as the amount;
//   - a dialog check that passes leaves values within their ranges.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <string>

#include "app/auswahl.h"
#include "basis/format.h"
#include "fuzzhilfe.h"
#include "reports/dialogregeln.h"
#include "storage/texte.h"

namespace {

bool NurAus(const std::string& s, std::string_view erlaubt) {
  return s.find_first_not_of(erlaubt) == std::string::npos;
}

bool NurZiffern(const std::string& s) { return NurAus(s, "0123456789"); }

// Value of a digits-only text, large values saturated.
int Zahl(const std::string& ziffern) {
  const size_t erste = ziffern.find_first_not_of('0');
  if (erste == std::string::npos) return 0;
  if (ziffern.size() - erste > 6) return 999999;
  return std::stoi(ziffern.substr(erste));
}

bool IstDatum(int tag, int monat, int jahr) {
  return monat >= 1 && monat <= 12 && tag >= 1 && tag <= kv::LetzterTag(monat, jahr);
}

void Monat(FuzzedDataProvider& f, std::string text) {
  const int minimum = f.ConsumeIntegralInRange(0, 1);
  const int maximum = f.ConsumeIntegralInRange(12, 13);
  bool markieren = false;
  const std::string getippt = kv::TippeMonat(text, minimum, maximum, &markieren);
  FUZZ_PRUEFE(NurZiffern(getippt));
  const std::string verlassen = kv::VerlasseMonat(text, minimum, maximum);
  FUZZ_PRUEFE(verlassen.size() == 2 && NurZiffern(verlassen));
  FUZZ_PRUEFE(Zahl(verlassen) >= minimum && Zahl(verlassen) <= maximum);
}

void Betrag(FuzzedDataProvider& f, std::string text) {
  const double maximum = f.ConsumeBool() ? 999999999.99 : std::fabs(f.ConsumeFloatingPoint<double>());
  const int r = kv::FilterBetrag(text, maximum).Ok() ? 1 : 0;
  FUZZ_PRUEFE(NurAus(text, "0123456789+-."));
  const size_t punkt = text.find('.');
  if (punkt != std::string::npos) {
    FUZZ_PRUEFE(text.find('.', punkt + 1) == std::string::npos);
    FUZZ_PRUEFE(text.size() - punkt - 1 <= 2 || !NurZiffern(text.substr(punkt + 1)));
  }
  // A clean result stays clean.  (After a rejected input the dialog puts
  // the previous text back, so only clean results are typed on.)
  if (r == 1) {
    std::string nochmal = text;
    FUZZ_PRUEFE(kv::FilterBetrag(nochmal, maximum).Ok() && nochmal == text);
  }
}

void Ganzzahl(FuzzedDataProvider& f, std::string text) {
  const double maximum = f.ConsumeBool() ? 999999999.0 : std::fabs(f.ConsumeFloatingPoint<double>());
  kv::FilterGanzzahl(text, maximum);
  FUZZ_PRUEFE(NurZiffern(text) && !text.empty());
  std::string nochmal = text;
  FUZZ_PRUEFE(kv::FilterGanzzahl(nochmal, maximum).Ok() && nochmal == text);

  std::string z = f.ConsumeRandomLengthString(40);
  const std::string vorher = z;
  const int r = kv::FilterZiffern(z);
  FUZZ_PRUEFE(NurZiffern(z) && r == (z == vorher ? 1 : 0));

  kv::Status meldungen;
  const std::string feld = kv::FiltereAuswahlfeld(vorher, meldungen);
  FUZZ_PRUEFE(NurZiffern(feld) && !feld.empty() && feld.size() <= 9);
  FUZZ_PRUEFE(feld == "0" || feld[0] != '0');
  FUZZ_PRUEFE(kv::FiltereAuswahlfeld(feld, meldungen) == feld);
}

void Datum(FuzzedDataProvider& f, std::string text) {
  std::string vorher = f.ConsumeBool() ? std::string("15.06.21") : f.ConsumeRandomLengthString(12);

  std::string d = text, dVorher = vorher;
  kv::FilterDatum(d, dVorher);
  FUZZ_PRUEFE(d.size() == 8 && d[2] == '.' && d[5] == '.' && dVorher == d);
  {
    std::string nochmal = d, v2 = dVorher;
    FUZZ_PRUEFE(kv::FilterDatum(nochmal, v2) == 1 && nochmal == d);
  }

  int tag = -1, monat = -1, jahr = -1;
  if (kv::ZerlegeDatum(text, tag, monat, jahr) == 1) {
    FUZZ_PRUEFE(IstDatum(tag, monat, jahr));
  }

  std::string feld = kv::TippeDatum(text);
  FUZZ_PRUEFE(feld.size() <= 8 && NurAus(feld, "0123456789."));
  std::string fVorher = vorher;
  kv::Datum datum;
  if (kv::PruefeDatumsfeld(feld, fVorher, &datum)) FUZZ_PRUEFE(IstDatum(datum.tag, datum.monat, datum.jahr));
}

void Konto(FuzzedDataProvider& f, std::string text) {
  const bool maske = f.ConsumeBool();
  std::string t = text;
  if (kv::PruefeKontoeingabe(t, maske).Ok()) {
    FUZZ_PRUEFE(t.size() == 5);
    if (maske) {
      FUZZ_PRUEFE(NurAus(t, "0123456789? "));
      FUZZ_PRUEFE(kv::PasstMaske(t, "?????") == 1);
      int von = 0, bis = 0;
      kv::BereichAusMuster(t, &von, &bis);
      FUZZ_PRUEFE(von >= 0 && bis <= 29999);
    } else {
      const int wert = std::stoi(t);
      FUZZ_PRUEFE(wert >= 1 && wert <= 29999);
      FUZZ_PRUEFE(kv::PasstMaske(t, t) == 1);
    }
    std::string nochmal = t;
    FUZZ_PRUEFE(kv::PruefeKontoeingabe(nochmal, maske).Ok() && nochmal == t);
  } else {
    FUZZ_PRUEFE(t == text);  // unchanged when invalid
  }
  const std::string muster = kv::TippeMuster(text);
  FUZZ_PRUEFE(muster.size() <= 5 && NurAus(muster, "0123456789!?"));
  const std::string konto = kv::TippeKonto(text);
  FUZZ_PRUEFE(konto.size() <= 5 && NurZiffern(konto));
  const std::string vm = kv::VerlasseMuster(muster);
  FUZZ_PRUEFE(vm.size() == 5 || vm == muster);
  (void)kv::VerlasseKonto(konto);
  (void)kv::PasstMaske(text, f.ConsumeRandomLengthString(8));
}

// The report text of an amount, read back: blanks and points removed, the
// comma as decimal point.
std::string Zurueckgelesen(const std::string& s) {
  std::string r;
  for (char c : s)
    if (c == ',') r += '.';
    else if (c != ' ' && c != '.') r += c;
  return r;
}

void Zahlen(FuzzedDataProvider& f) {
  const double wert = f.ConsumeFloatingPoint<double>() / std::pow(10.0, f.ConsumeIntegralInRange(0, 300));
  const int breite = f.ConsumeIntegralInRange(-2, 40);
  const std::string text = kv::FormatiereBetrag(wert, breite);
  FUZZ_PRUEFE(text.size() == size_t(std::max(breite, 0)));
  if (breite > 0 && std::isfinite(wert) && text.find('*') == std::string::npos)
    FUZZ_PRUEFE(Zurueckgelesen(text) == kv::Format("%.2f", wert));
  (void)kv::GruppiereBetrag(f.ConsumeRandomLengthString(30), breite);
  std::string z = f.ConsumeRandomLengthString(30);
  const int code = f.ConsumeIntegralInRange(2099, 2107);
  const int r = kv::FormatiereZahl(z, code).Ok() ? 1 : 0;
  FUZZ_PRUEFE(r == (code >= 2100 && code <= 2106 ? 1 : 0));
  double gerundet = wert;
  kv::RundeBetrag(gerundet);

  const int code4 = f.ConsumeIntegralInRange(-10, 10000);
  std::string a, b;
  const int geteilt = kv::TeileJahr(code4, f.ConsumeBool(), a, b);
  FUZZ_PRUEFE(geteilt == kv::IstGeschaeftsjahrcode(code4));
  int jahr = f.ConsumeIntegral<int>();
  kv::NormiereJahr(jahr, f.ConsumeBool());
  const int erster = f.ConsumeIntegralInRange(1, 12);
  const int m = f.ConsumeIntegralInRange(0, 13);
  FUZZ_PRUEFE(kv::PeriodeZuMonat(kv::MonatZuPeriode(m, erster), erster) == m);
  int tag = f.ConsumeIntegral<int>(), monat = f.ConsumeIntegral<int>();
  kv::PruefeTag(tag, monat, f.ConsumeIntegral<int>(), f.ConsumeBool());
  FUZZ_PRUEFE(tag >= 1 && tag <= 31 && monat >= 0 && monat <= 13);
}

void Dialoge(FuzzedDataProvider& f) {
  const kv::Datum heute{f.ConsumeIntegralInRange(1, 28), f.ConsumeIntegralInRange(1, 12), 2026};
  const int maximum = f.ConsumeBool() ? 13 : 12;
  auto text = [&] { return f.ConsumeRandomLengthString(12); };
  kv::Status meldungen;  // what a dialog would show; not looked at here
  switch (f.ConsumeIntegralInRange(0, 4)) {
    case 0: {
      kv::StichmonatDialog d;
      d.stichmonat = text(), d.druckdatum = text(), d.vorherDatum = text(), d.maximum = maximum;
      if (kv::PruefeStichmonatDialog(d, heute, meldungen) == kv::Dialogfeld::Keins) {
        FUZZ_PRUEFE(d.monat >= 0 && d.monat <= maximum);
        FUZZ_PRUEFE(IstDatum(d.druck.tag, d.druck.monat, d.druck.jahr));
      }
      FUZZ_PRUEFE(d.stichmonat.size() == 2);
      break;
    }
    case 1: {
      kv::ErfolgsDialog d;
      d.vonMonat = text(), d.bisMonat = text(), d.druckdatum = text(), d.vorherDatum = text();
      d.maximum = maximum;
      if (kv::PruefeErfolgsDialog(d, meldungen) == kv::Dialogfeld::Keins)
        FUZZ_PRUEFE(d.von >= 0 && d.von <= maximum && d.bis >= 0 && d.bis <= maximum);
      break;
    }
    case 2: {
      kv::AuswertungDialog d;
      d.stichmonat = text(), d.druckdatum = text(), d.vorherDatum = text(), d.maximum = maximum;
      if (kv::PruefeAuswertungDialog(d, heute, meldungen) == kv::Dialogfeld::Keins)
        FUZZ_PRUEFE(d.monat >= 1 && d.monat <= maximum);
      break;
    }
    case 3: {
      kv::SaldenlisteDialog d;
      d.auswahl.mitMuster = f.ConsumeBool();
      d.auswahl.muster = text(), d.auswahl.von = text(), d.auswahl.bis = text();
      d.vonMonat = text(), d.bisMonat = text(), d.druckdatum = text(), d.vorherDatum = text();
      d.maximum = maximum;
      if (kv::PruefeSaldenlisteDialog(d, meldungen) == kv::Dialogfeld::Keins) {
        FUZZ_PRUEFE(d.von >= 0 && d.von <= maximum && d.bis >= 0 && d.bis <= maximum);
        if (d.auswahl.auswahlart == 0)
          FUZZ_PRUEFE(d.auswahl.vonKonto >= 1 && d.auswahl.bisKonto <= 29999);
        else
          FUZZ_PRUEFE(d.auswahl.kontengruppe.size() == 5);
      }
      break;
    }
    case 4: {
      kv::KontenverlaufDialog d;
      d.auswahl.mitMuster = f.ConsumeBool();
      d.auswahl.muster = text(), d.auswahl.von = text(), d.auswahl.bis = text();
      d.stichmonat = text(), d.druckdatum = text(), d.vorherDatum = text();
      if (kv::PruefeKontenverlaufDialog(d, meldungen) == kv::Dialogfeld::Keins)
        FUZZ_PRUEFE(d.monat >= 1 && d.monat <= 12);
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider f(data, size);
  const int art = f.ConsumeIntegralInRange(0, 6);
  std::string text = f.ConsumeRandomLengthString(64);
  switch (art) {
    case 0: Monat(f, text); break;
    case 1: Betrag(f, text); break;
    case 2: Ganzzahl(f, text); break;
    case 3: Datum(f, text); break;
    case 4: Konto(f, text); break;
    case 5: Zahlen(f); break;
    case 6: Dialoge(f); break;
  }
  return 0;
}
