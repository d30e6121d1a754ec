// The program's icon: a stack of ledger sheets with a sum sign, as in
// packaging/icons/hicolor/scalable/apps/kvkum.svg.  The installed icon
// theme's "kvkum" when there is one; otherwise the same picture drawn here,
// so a program run from its build directory shows it too (and no window,
// the document window included, shows Qt's own).
#pragma once
#include <QIcon>

namespace kvui {

QIcon ProgrammSymbol();

}  // namespace kvui
