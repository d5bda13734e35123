// Draws the program's icon: a green oak leaf beside three sound waves.
// Built and run by hand when the icon changes:
//   g++ -std=c++20 -fPIC draw_icon.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/draw_icon
//   QT_QPA_PLATFORM=offscreen /tmp/draw_icon .
//   convert qingli-{16,24,32,48,64,256}.png qingli.ico
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kGreen(0x1f, 0x6f, 0x54);
const QColor kLeaf(0xcf, 0xe8, 0xa9);
const QColor kLight(0xf4, 0xfb, 0xe9);

// Drawn on a 256 grid and scaled, so every size has the same picture.
void Draw(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(kGreen);
  p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);

  QPainterPath leaf;
  leaf.moveTo(62, 206);
  leaf.cubicTo(44, 168, 42, 118, 66, 82);
  leaf.cubicTo(82, 58, 108, 44, 134, 38);
  leaf.cubicTo(130, 58, 138, 68, 126, 84);
  leaf.cubicTo(142, 82, 150, 92, 144, 108);
  leaf.cubicTo(128, 110, 136, 124, 122, 134);
  leaf.cubicTo(138, 136, 140, 152, 128, 162);
  leaf.cubicTo(110, 166, 100, 184, 62, 206);
  leaf.closeSubpath();
  p.setBrush(kLeaf);
  p.setPen(QPen(kLight, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(leaf);

  QPainterPath vein;
  vein.moveTo(68, 198);
  vein.cubicTo(84, 158, 100, 118, 128, 50);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kGreen, 7, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(vein);

  p.setPen(QPen(kLight, 13, Qt::SolidLine, Qt::RoundCap));
  const qreal radii[] = {30, 56, 82};
  for (const qreal r : radii) {
    const QRectF box(150 - r, 128 - r, 2 * r, 2 * r);
    p.drawArc(box, -45 * 16, 90 * 16);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  for (const int size : {16, 24, 32, 48, 64, 256}) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 256.0, size / 256.0);
    Draw(painter);
    painter.end();
    image.save(QStringLiteral("%1/qingli-%2.png").arg(folder).arg(size));
  }
  return 0;
}
