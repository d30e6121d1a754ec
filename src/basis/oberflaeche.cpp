#include "basis/oberflaeche.h"

#include <ctime>

#include "basis/meldung.h"
#include "basis/stringtabelle.h"

namespace kv {
namespace {

class StilleOberflaeche : public Oberflaeche {
 public:
  void Meldung(int, const std::string&, const std::string&) override {}
  void StandardMeldung(const std::string&) override {}
};

StilleOberflaeche g_still;
Oberflaeche* g_ui = &g_still;

}  // namespace

Datum Oberflaeche::Heute() const {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return Datum{tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900};
}

Oberflaeche& Ui() { return *g_ui; }
void SetzeOberflaeche(Oberflaeche* ui) { g_ui = ui ? ui : &g_still; }

std::string MeldungsUeberschrift(int art) {
  if (art == 48) return "ACHTUNG";
  if (art == 64) return "INFORMATION";
  return "FEHLER";
}

void ZeigeMeldung(int textNr, int titelNr, int art) {
  Zeige(Meldung::Nr(textNr, titelNr, static_cast<Meldungsart>(art)));
}
void ZeigeMeldung(const std::string& text, const std::string& titel, int art) {
  Zeige(Meldung::Text(text, titel, static_cast<Meldungsart>(art)));
}
void ZeigeMeldung(const std::string& text, int titelNr, int art) {
  Zeige(Meldung::Text(text, titelNr, static_cast<Meldungsart>(art)));
}
void ZeigeMeldung(int textNr, const std::string& titel, int art) {
  Zeige(Meldung::Nr(textNr, titel, static_cast<Meldungsart>(art)));
}
void ZeigeStandardMeldung(const std::string& text) { Zeige(Meldung::Standard(text)); }

}  // namespace kv
