#include "ui/anwendung.h"
#include "ui/programmverzeichnis.h"

int main(int argc, char** argv) {
  // Before anything reads kalvento.ini: started from the desktop's menu, the
  // working directory is no program directory (see programmverzeichnis.h).
  const kv::Status verzeichnis = kvui::BetreteProgrammverzeichnis();
  return kvui::StarteProgramm(argc, argv, [&](kvui::CMainFrame&) { kv::Zeige(verzeichnis); });
}
