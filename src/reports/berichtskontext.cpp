#include "reports/berichtskontext.h"

#include "storage/texte.h"

namespace kv {

int Berichtskontext::Slot(int monat) const {
  if (!AbweichendesWJ() || monat <= 0 || monat >= 13) return monat;
  return MonatZuPeriode(monat, ersterMonat);
}

int Berichtskontext::JahrDesMonats(int monat) const {
  if (!AbweichendesWJ()) return buchungsjahr;
  if ((monat > 0 && monat < ersterMonat) || monat == 13) return jahr2;
  return jahr1;
}

}  // namespace kv
