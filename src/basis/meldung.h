// Messages as values.
//
// A core operation that can fail does not show anything itself: it returns
// a Status that says whether it succeeded and carries the messages it has
// for the user, in the order they arose.  The boundary of the user's
// operation (a command of the document, a kvkum-cli command, a dialog's OK)
// shows them with Zeige(), through the seam of oberflaeche.h, or collects
// them.  That keeps "silent" variants of core functions unnecessary: a
// caller that must not show a message simply drops it.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace kv {

// The box a message is shown in.  The numbers are those of the program's
// own message box (its caption follows from them); Standard is the
// platform's box with the caption "Fehler".
enum class Meldungsart : int { Standard = 0, Fehler = 16, Achtung = 48, Information = 64 };

struct Meldung {
  Meldungsart art = Meldungsart::Fehler;
  std::string titel;  // the title line ("Fehler" for the platform's box)
  std::string text;
  int nummer = 0;     // string-table number of the text, 0 for a composed text

  // A text of the string table, or a composed one, under a title of the
  // string table or a literal one.
  static Meldung Nr(int textNr, int titelNr, Meldungsart art);
  static Meldung Nr(int textNr, std::string titel, Meldungsart art);
  static Meldung Text(std::string text, int titelNr, Meldungsart art);
  static Meldung Text(std::string text, std::string titel, Meldungsart art);
  // The platform's standard box.
  static Meldung Standard(std::string text);
  // The usual error box: title "FEHLER", kind Fehler.
  static Meldung Fehler(int textNr);
  static Meldung Fehler(std::string text);

  bool operator==(const Meldung&) const = default;
};

// Whether an operation succeeded, and what it has to tell.  A success may
// carry messages too (a warning, a repair that was made).
class Status {
 public:
  Status() = default;  // success, nothing to say
  static Status Erfolg() { return {}; }
  static Status Fehlschlag() {
    Status s;
    s.ok_ = false;
    return s;
  }
  // A failure with its message.
  Status(Meldung m) : ok_(false) { meldungen_.push_back(std::move(m)); }  // NOLINT

  bool Ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const std::vector<Meldung>& Meldungen() const { return meldungen_; }

  // Adds a message without changing the outcome.
  Status& Dazu(Meldung m) {
    meldungen_.push_back(std::move(m));
    return *this;
  }
  // Takes over the messages of a part, in order; its failure is this one's.
  Status& Uebernimm(Status teil) {
    for (Meldung& m : teil.meldungen_) meldungen_.push_back(std::move(m));
    ok_ = ok_ && teil.ok_;
    return *this;
  }
  void SetzeFehlschlag() { ok_ = false; }

 private:
  bool ok_ = true;
  std::vector<Meldung> meldungen_;
};

// Shows a message, or every message of a status in order, through the
// installed seam.  The one place the core's messages leave it.
void Zeige(const Meldung& m);
void Zeige(const Status& s);

// A message's text as one line: each line break, with the blanks around
// it, becomes one blank (as kvkum-cli writes a message on stderr).
std::string MeldungInEinerZeile(const std::string& text);

}  // namespace kv
