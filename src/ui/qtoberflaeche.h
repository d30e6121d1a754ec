// The Qt side of the seam: the program's message box, the platform's
// standard box captioned "Fehler", progress windows and the main view.
#pragma once
#include <QPointer>
#include <QWidget>

#include "basis/oberflaeche.h"

namespace kvui {

// What the cumulation writes into the main view.
class Ansichtsziel {
 public:
  virtual ~Ansichtsziel() = default;
  virtual void SetzeBezugszeile(const QString& text) = 0;
  virtual void LeereListe() = 0;
  virtual void FuegeListeHinzu(const QString& zeile) = 0;
};

class QtOberflaeche : public kv::Oberflaeche {
 public:
  QtOberflaeche();
  ~QtOberflaeche() override;

  void Meldung(int art, const std::string& titel, const std::string& text) override;
  void StandardMeldung(const std::string& text) override;
  std::unique_ptr<kv::FortschrittsFenster> ErzeugeFortschritt() override;
  void SetzeBezugszeile(const std::string& text) override;
  void LeereListe() override;
  void FuegeListeHinzu(const std::string& zeile) override;
  void Aktualisiere() override;

  void SetzeAnsicht(Ansichtsziel* ansicht) { ansicht_ = ansicht; }

 private:
  Ansichtsziel* ansicht_ = nullptr;
};

}  // namespace kvui
