#include "gui/glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace eitool::gui {
namespace {

struct Palette {
  QColor ink, paper, accent, second;
};

void Document(QPainter& p, const Palette& c, int x, int y) {
  p.setPen(c.ink);
  p.setBrush(c.paper);
  p.drawRect(x, y, 8, 10);
  p.drawLine(x + 2, y + 3, x + 6, y + 3);
  p.drawLine(x + 2, y + 5, x + 6, y + 5);
  p.drawLine(x + 2, y + 7, x + 5, y + 7);
}

// A block arrow from `tail` to `tip` (x coordinates) along the middle row.
QPainterPath Arrow(int tail, int tip) {
  const int head = tip + (tail < tip ? -6 : 6);  // where the head meets the shaft
  QPainterPath arrow;
  arrow.moveTo(tip, 8);
  arrow.lineTo(head, 2);
  arrow.lineTo(head, 5);
  arrow.lineTo(tail, 5);
  arrow.lineTo(tail, 11);
  arrow.lineTo(head, 11);
  arrow.lineTo(head, 14);
  arrow.closeSubpath();
  return arrow;
}

void Draw(int index, QPainter& p, const Palette& c) {
  switch (index) {
    case 0:  // stacked documents
      Document(p, c, 1, 1);
      Document(p, c, 4, 3);
      Document(p, c, 7, 5);
      break;
    case 1:  // diskette
      p.setPen(c.ink);
      p.setBrush(c.accent);
      p.drawRect(1, 1, 13, 13);
      p.setBrush(c.paper);
      p.drawRect(4, 1, 7, 5);
      p.setBrush(c.second);
      p.drawRect(3, 9, 9, 5);
      break;
    case 2:  // arrow to the left with a minus bar
      p.setPen(Qt::NoPen);
      p.setBrush(c.accent);
      p.drawPath(Arrow(10, 1));
      p.setBrush(c.second);
      p.drawRect(12, 7, 3, 2);
      break;
    case 3: {  // circular arrows
      QPen pen(c.accent, 2);
      p.setPen(pen);
      p.setBrush(Qt::NoBrush);
      p.drawArc(3, 3, 10, 10, 30 * 16, 150 * 16);
      pen.setColor(c.second);
      p.setPen(pen);
      p.drawArc(3, 3, 10, 10, 210 * 16, 150 * 16);
      p.setPen(Qt::NoPen);
      p.setBrush(c.accent);
      p.drawPolygon(QPolygon({QPoint(1, 6), QPoint(6, 6), QPoint(3, 10)}));
      p.setBrush(c.second);
      p.drawPolygon(QPolygon({QPoint(15, 10), QPoint(10, 10), QPoint(13, 6)}));
      break;
    }
    case 4:  // arrow to the right
      p.setPen(Qt::NoPen);
      p.setBrush(c.accent);
      p.drawPath(Arrow(2, 15));
      break;
    case 5: {  // crossed circle
      QPen pen(c.second, 2);
      p.setPen(pen);
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(2, 2, 12, 12);
      p.drawLine(5, 5, 11, 11);
      p.drawLine(11, 5, 5, 11);
      break;
    }
  }
}

}  // namespace

QList<QPixmap> MakeGlyphs(bool greyed) {
  const Palette colour{QColor(32, 32, 32), QColor(255, 255, 255), QColor(30, 120, 200),
                       QColor(200, 40, 40)};
  const Palette grey{QColor(128, 128, 128), QColor(224, 224, 224), QColor(160, 160, 160),
                     QColor(144, 144, 144)};
  QList<QPixmap> glyphs;
  for (int i = 0; i < kGlyphCount; ++i) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, i == 3 || i == 5);
    Draw(i, painter, greyed ? grey : colour);
    glyphs.append(pixmap);
  }
  return glyphs;
}

}  // namespace eitool::gui
