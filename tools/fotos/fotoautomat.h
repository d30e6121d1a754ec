// Drives the program through a short, fixed session and saves pictures of
// its windows: selection, main window, options dialog, output choice and the
// screen output of two reports, the cumulation protocol window, the
// per-circle breakdown and the Kontenverläufe as a chart.  Only in kvkum-fotos (see main.cpp there),
// never in the shipped kvkum; docs/screenshots.sh runs it for the
// documentation.
#pragma once
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <vector>

namespace kvui {

class CMainFrame;

class Fotoautomat : public QObject {
  Q_OBJECT
 public:
  Fotoautomat(CMainFrame* rahmen, const QString& verzeichnis, const QStringList& auswahl);

 private:
  struct Schritt {
    std::function<bool()> bereit;
    std::function<void()> tun;
  };
  void Takt();
  void Foto(QWidget* w, const QString& name);
  void Bildschirm(const QString& name);
  template <class T>
  T* Dialog() const;

  CMainFrame* rahmen_;
  QString verzeichnis_;
  std::vector<Schritt> schritte_;
  size_t schritt_ = 0;
  int meldungen_ = 0;
  int takte_ = 0;
};

}  // namespace kvui
