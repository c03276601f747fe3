// Draws Framestow's pictures: the banner across the top of the window, the 13
// frames of the busy animation and the application icon. The PNG files it
// writes are kept in the repository; run it again after changing a drawing:
//
//   cmake --build --preset debug --target framestow_pictures
//   ./build/debug/src/app/framestow_pictures src/app/resources
//
// The window's pictures are drawn in logical pixels and rendered at 1x and
// 2x, so they stay sharp on high-density screens; the icon is large already.
#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <cstdio>
#include <functional>

namespace {

const QColor kNavy(0x1b, 0x2f, 0x4e);
const QColor kBlue(0x21, 0x5b, 0x8a);
const QColor kTeal(0x2a, 0xa1, 0x98);
const QColor kAmber(0xf4, 0xb9, 0x42);
const QColor kPaper(0xf7, 0xf9, 0xfb);

using Drawing = std::function<void(QPainter&)>;

bool render(const QString& folder, const QString& name, QSize size, const Drawing& draw, int maxScale = 2) {
  for (int scale = 1; scale <= maxScale; ++scale) {
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      painter.setRenderHint(QPainter::TextAntialiasing);
      painter.scale(scale, scale);
      draw(painter);
    }
    const QString file = scale == 1 ? name + ".png" : QStringLiteral("%1@%2x.png").arg(name).arg(scale);
    if (!image.save(QDir(folder).filePath(file))) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
      return false;
    }
  }
  return true;
}

// A frame of film: a rounded cell with sprocket holes above and below.
void filmCell(QPainter& p, QRectF cell, QColor body, QColor holes) {
  p.setPen(Qt::NoPen);
  p.setBrush(body);
  p.drawRoundedRect(cell, cell.width() * 0.12, cell.width() * 0.12);
  const double hole = cell.width() * 0.14;
  p.setBrush(holes);
  for (int i = 0; i < 3; ++i) {
    const double x = cell.left() + cell.width() * (0.2 + 0.3 * i) - hole / 2;
    p.drawRoundedRect(QRectF(x, cell.top() + hole * 0.6, hole, hole * 0.8), hole * 0.2, hole * 0.2);
    p.drawRoundedRect(QRectF(x, cell.bottom() - hole * 1.4, hole, hole * 0.8), hole * 0.2, hole * 0.2);
  }
}

// Three cells of film with an asset lifted out of the first and set into the
// last: what the program does to a movie.
void moveMotif(QPainter& p, QRectF area, QColor film, QColor holes, QColor asset, QColor arrow) {
  const double gap = area.width() * 0.06;
  const double cellWidth = (area.width() - 2 * gap) / 3;
  for (int i = 0; i < 3; ++i) {
    filmCell(p, QRectF(area.left() + i * (cellWidth + gap), area.top(), cellWidth, area.height()), film, holes);
  }
  const double box = cellWidth * 0.34;
  const QPointF from(area.left() + cellWidth / 2, area.center().y());
  const QPointF to(area.right() - cellWidth / 2, area.center().y());
  p.setBrush(Qt::NoBrush);
  QPen dashed(QColor(asset.red(), asset.green(), asset.blue(), 150), box * 0.16, Qt::DashLine, Qt::RoundCap);
  p.setPen(dashed);
  p.drawRoundedRect(QRectF(from.x() - box / 2, from.y() - box / 2, box, box), box * 0.2, box * 0.2);

  QPainterPath path(QPointF(from.x(), from.y() - box * 0.7));
  path.cubicTo(QPointF(from.x() + cellWidth * 0.4, area.top() - area.height() * 0.1),
               QPointF(to.x() - cellWidth * 0.4, area.top() - area.height() * 0.1),
               QPointF(to.x() - box * 0.1, to.y() - box * 0.75));
  QPen arrowPen(arrow, box * 0.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(arrowPen);
  p.drawPath(path);
  const QPointF tip = path.pointAtPercent(1.0);
  const double angle = path.angleAtPercent(1.0);
  const double head = box * 0.5;
  for (double side : {-1.0, 1.0}) {
    const double a = qDegreesToRadians(angle + 180 + side * 35);
    p.drawLine(tip, tip + QPointF(std::cos(a) * head, -std::sin(a) * head));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(asset);
  p.drawRoundedRect(QRectF(to.x() - box / 2, to.y() - box / 2, box, box), box * 0.2, box * 0.2);
}

void drawBanner(QPainter& p) {
  const QRectF all(0, 0, 384, 53);
  QLinearGradient sky(all.topLeft(), all.topRight());
  sky.setColorAt(0.0, kNavy);
  sky.setColorAt(0.65, kBlue);
  sky.setColorAt(1.0, kTeal);
  p.setPen(Qt::NoPen);
  p.setBrush(sky);
  p.drawRect(all);
  // A soft light from the upper right keeps the band from looking flat.
  QRadialGradient glow(QPointF(340, -20), 160);
  glow.setColorAt(0.0, QColor(255, 255, 255, 60));
  glow.setColorAt(1.0, QColor(255, 255, 255, 0));
  p.setBrush(glow);
  p.drawRect(all);

  moveMotif(p, QRectF(14, 13, 78, 30), QColor(255, 255, 255, 40), QColor(255, 255, 255, 90), kAmber,
            QColor(255, 255, 255, 230));

  QFont title(QStringLiteral("DejaVu Sans"));
  title.setPixelSize(26);
  title.setBold(true);
  title.setLetterSpacing(QFont::PercentageSpacing, 102);
  p.setFont(title);
  p.setPen(kPaper);
  p.drawText(QRectF(108, 4, 270, 32), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Framestow"));

  QFont line(QStringLiteral("DejaVu Sans"));
  line.setPixelSize(11);
  p.setFont(line);
  p.setPen(QColor(255, 255, 255, 200));
  p.drawText(QRectF(109, 33, 270, 16), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Linked assets, moved to a later frame"));
}

// The busy picture: twelve dots round a film cell. While busy, one dot is lit
// and the two before it fade out behind it; frame 12, idle, lights none.
void drawBusy(QPainter& p, int frame) {
  const QPointF centre(28, 28);
  filmCell(p, QRectF(centre.x() - 10, centre.y() - 10, 20, 20), frame == 12 ? QColor(0x8a, 0x96, 0xa3) : kBlue,
           QColor(255, 255, 255, 200));
  p.setPen(Qt::NoPen);
  for (int dot = 0; dot < 12; ++dot) {
    const double angle = qDegreesToRadians(90.0 - dot * 30.0);
    const QPointF at = centre + QPointF(std::cos(angle) * 21, -std::sin(angle) * 21);
    QColor colour(0xb8, 0xc1, 0xcb);
    double radius = 3.2;
    if (frame != 12) {
      const int behind = (frame - dot + 12) % 12;
      if (behind == 0) {
        colour = kTeal;
        radius = 4.6;
      } else if (behind <= 3) {
        colour = QColor(kTeal.red(), kTeal.green(), kTeal.blue(), 220 - behind * 45);
        radius = 4.2 - behind * 0.3;
      }
    }
    p.setBrush(colour);
    p.drawEllipse(at, radius, radius);
  }
}

void drawIcon(QPainter& p) {
  const QRectF all(8, 8, 240, 240);
  QLinearGradient tile(all.topLeft(), all.bottomRight());
  tile.setColorAt(0.0, kNavy);
  tile.setColorAt(0.7, kBlue);
  tile.setColorAt(1.0, kTeal);
  p.setPen(Qt::NoPen);
  p.setBrush(tile);
  p.drawRoundedRect(all, 44, 44);
  moveMotif(p, QRectF(30, 96, 196, 84), QColor(255, 255, 255, 55), QColor(255, 255, 255, 120), kAmber,
            QColor(255, 255, 255, 235));
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  bool ok = render(folder, QStringLiteral("banner"), QSize(384, 53), drawBanner);
  for (int frame = 0; frame < 13; ++frame) {
    ok = ok && render(folder, QStringLiteral("busy_%1").arg(frame, 2, 10, QLatin1Char('0')), QSize(56, 56),
                      [frame](QPainter& p) { drawBusy(p, frame); });
  }
  ok = ok && render(folder, QStringLiteral("framestow"), QSize(256, 256), drawIcon, 1);
  return ok ? 0 : 1;
}
