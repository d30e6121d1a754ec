#include "ui/programmsymbol.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kvui {
namespace {

// The SVG's drawing on its 128 x 128 canvas, scaled to `groesse`.
QPixmap Zeichne(int groesse) {
  QPixmap bild(groesse, groesse);
  bild.fill(Qt::transparent);
  QPainter p(&bild);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(groesse / 128.0, groesse / 128.0);
  const QPen rand(QColor(0x2e, 0x3f, 0x52), 4, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin);
  auto blatt = [&](QRectF r, double winkel, QPointF mitte, QColor farbe) {
    p.save();
    p.translate(mitte);
    p.rotate(winkel);
    p.translate(-mitte);
    p.setPen(rand);
    p.setBrush(farbe);
    p.drawRoundedRect(r, 6, 6);
    p.restore();
  };
  blatt(QRectF(40, 6, 76, 96), 9, QPointF(78, 54), QColor(0x9f, 0xb6, 0xcc));
  blatt(QRectF(28, 12, 76, 100), 4, QPointF(66, 62), QColor(0xcf, 0xdb, 0xe7));
  blatt(QRectF(14, 20, 78, 102), 0, QPointF(0, 0), QColor(0xfd, 0xfd, 0xf8));
  p.setPen(QPen(QColor(0x9c, 0xc0, 0xe0), 3));
  for (int y : {38, 54, 70, 86, 102}) p.drawLine(18, y, 88, y);
  p.setPen(QPen(QColor(0xd9, 0x53, 0x4f), 3));
  p.drawLine(30, 24, 30, 118);
  QPainterPath summe;
  summe.moveTo(80, 44);
  summe.lineTo(40, 44);
  summe.lineTo(62, 71);
  summe.lineTo(40, 98);
  summe.lineTo(80, 98);
  p.setPen(QPen(QColor(0x1d, 0x6b, 0x3f), 11, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(summe);
  return bild;
}

}  // namespace

QIcon ProgrammSymbol() {
  // Drawn anew on every call: a few windows ask once each, and an icon kept
  // in a static would outlive the application object.
  if (QIcon::hasThemeIcon(QStringLiteral("kvkum"))) return QIcon::fromTheme(QStringLiteral("kvkum"));
  QIcon gemalt;
  for (int g : {16, 24, 32, 48, 64, 128}) gemalt.addPixmap(Zeichne(g));
  return gemalt;
}

}  // namespace kvui
