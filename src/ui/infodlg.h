// The About box.
#pragma once
#include "ui/platzierung.h"

namespace kvui {

class CAboutDlg : public KvDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace kvui
