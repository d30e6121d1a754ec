// Helpers of the GUI tests: a seam that records messages instead of
// blocking on them, and a way to act on the next modal dialog.
#pragma once
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "basis/text1252.h"
#include "ui/qtoberflaeche.h"

namespace kvtest {

// The program's per-user settings (ui/benutzereinstellungen.h) of a test
// program live in a directory of its own, made when the program starts and
// removed when it ends: no run sees another's settings or the user's.
// Tests that need the first start's state call Leere().
struct EigeneEinstellungen {
  QTemporaryDir verzeichnis;
  EigeneEinstellungen() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, verzeichnis.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, verzeichnis.path());
  }
  static void Leere() {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("kvkum"),
                QStringLiteral("kvkum"));
    s.clear();
  }
};
inline EigeneEinstellungen g_eigeneEinstellungen;

// The Qt seam with real progress windows and view, but messages recorded
// (as UTF-8) rather than shown, and a fixed today.
class GuiAufzeichnung : public kvui::QtOberflaeche {
 public:
  struct Meldung {
    int art;  // 0: the platform's standard box
    std::string titel, text;
  };
  std::vector<Meldung> meldungen;
  kv::Datum heute{15, 3, 2010};

  void Meldung(int art, const std::string& titel, const std::string& text) override {
    meldungen.push_back({art, kv::Utf8(titel), kv::Utf8(text)});
  }
  void StandardMeldung(const std::string& text) override {
    meldungen.push_back({0, "Fehler", kv::Utf8(text)});
  }
  kv::Datum Heute() const override { return heute; }
  bool Hat(const std::string& textUtf8) const {
    for (const auto& m : meldungen)
      if (m.text == textUtf8) return true;
    return false;
  }
};

// Calls `aktion` with the next modal dialog that opens on top of the one
// open now (polling, so it also works from inside a nested event loop).
inline void BeiDialog(std::function<void(QWidget*)> aktion, int versuche = 500) {
  QWidget* vorher = QApplication::activeModalWidget();
  auto schritt = std::make_shared<std::function<void(int)>>();
  *schritt = [=](int rest) {
    QWidget* w = QApplication::activeModalWidget();
    if (w && w != vorher && w->isVisible()) {
      aktion(w);
      return;
    }
    if (rest > 0) QTimer::singleShot(10, [schritt, rest] { (*schritt)(rest - 1); });
  };
  QTimer::singleShot(10, [schritt, versuche] { (*schritt)(versuche); });
}

}  // namespace kvtest
