// Account-number knowledge of the two charts of accounts (KR03, KR04): the
// Saldenbilanz classes, the income-statement groups, the groups of the
// monthly evaluation, the VAT ranges and the account kind of a balances
// record.  Pure functions; nothing here reads a file.
//
// The chart is the master-file value "Kontenrahmen": 3 selects the KR03
// tables, any other value the KR04 tables (only Kontoart distinguishes
// charts other than 3 and 4).
//
// Each class or group has a scan range (where to position in the balances
// index and where to stop) and a membership test for every account met
// inside that range.  Several scan ranges are wider than their members, so
// a report needs both.
#pragma once
#include <string>

#include "basis/meldung.h"

namespace kv {

constexpr int kKontenrahmen03 = 3;
constexpr int kKontenrahmen04 = 4;

// Scan range of a class or group; -1/-1 and gefunden == false outside the
// table (or for a group that is switched off).
struct Kontenbereich {
  int erstes = -1;
  int letztes = -1;
  bool gefunden = false;
};

// ---- Saldenbilanz classes (KR03 0..9, KR04 0..11; the last two are the
// customer and supplier accounts) ----

int LetzteKlasse(int kontenrahmen);  // 9 for KR03, 11 for KR04
// Heading text without padding; " " outside the table.
std::string KlassenText(int kontenrahmen, int index);
// "%-40s Soll %3s       Haben %3s\r\n" with the heading and the currency.
std::string KlassenKopf(int kontenrahmen, int index, const std::string& waehrung);
Kontenbereich KlassenBereich(int kontenrahmen, int index);
bool IstInKlasse(int kontenrahmen, int index, int konto);

// KR03 1560-1589 and 1760-1799, KR04 1400-1419 and 3800-3829.
bool IstUmsatzsteuerkonto(int kontenrahmen, int konto);

// ---- Income statement groups (0 income, 1 goods, 2 expenses, 3 other) ----
// eueRechnung: master-file flag "EÜ-Rechnung" (1 = Einnahme-Überschuss-
// Rechnung).  There the VAT accounts are sorted by the sign of their balance
// over the reported months: credit (< -0.004) to group 0, debit (> 0.004)
// to group 2, anything in between to no group.

constexpr int kErfolgsgruppen = 4;
std::string ErfolgsgruppenText(int kontenrahmen, int index);
std::string ErfolgsgruppenKopf(int kontenrahmen, int index, const std::string& waehrung);
Kontenbereich ErfolgsgruppenBereich(int kontenrahmen, bool eueRechnung, int index);
bool IstInErfolgsgruppe(int kontenrahmen, bool eueRechnung, int index, int konto,
                        double saldo);

// ---- Groups of the monthly evaluation (0..6) ----
// umsatzsteuer: option "&Umsatzsteuerkonten einbeziehen".  Without it the
// VAT groups 1, 4 and 5 have no scan range.

constexpr int kAuswertungsgruppen = 7;
struct Auswertungsgruppe {
  Kontenbereich bereich;
  bool kopf = false;   // print the group heading before its accounts
  bool summe = false;  // print the group total and the result line after them
};
Auswertungsgruppe AuswertungsGruppe(int kontenrahmen, bool umsatzsteuer, int index);
bool IstInAuswertungsgruppe(int kontenrahmen, int index, int konto);
// Heading text of groups 0, 2, 3 and 6; " " for the others.
std::string AuswertungsText(int kontenrahmen, int index);
// "%-110s\r\n" with the heading text.
std::string AuswertungsKopf(int kontenrahmen, int index);

// ---- Account kind stored with every balances record (1..19) ----
// Charts other than 3 and 4 always give 1; so does an unknown number.  The
// table is KontoartDesSatzes (storage/saldensatz.h).
int Kontoart(int konto, int kontenrahmen);
// The account-number text of a record ("%5i"), read as a decimal integer
// (KontoWert).
int Kontoart(const std::string& kontotext, int kontenrahmen);

// "Fehler in der Klasseneinteilung; Klasse unbekannt !" (title "FEHLER"),
// for a report that meets a class index outside its table.
Meldung KlasseUnbekannt();

}  // namespace kv
