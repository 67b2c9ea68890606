#include "app/gui/ProgramIcon.h"

#include <QPainter>
#include <QPixmap>

namespace {

// Drawn on a 16 x 16 grid and scaled, so both sizes show the same picture.
QPixmap printerGlyph(int size, bool printerFailing) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.scale(size / 16.0, size / 16.0);
    const QColor outline(40, 52, 70);
    painter.setPen(QPen(outline, 1));

    painter.setBrush(Qt::white); // the paper going in
    painter.drawRect(QRectF(4.5, 0.5, 7, 5));
    painter.setBrush(QColor(70, 110, 170)); // the body
    painter.drawRoundedRect(QRectF(0.5, 5.5, 15, 7), 1.5, 1.5);
    painter.setBrush(Qt::white); // the ticket coming out
    painter.drawRect(QRectF(3.5, 10.5, 9, 5));
    painter.drawLine(QPointF(5, 12.5), QPointF(11, 12.5));
    painter.setPen(Qt::NoPen);
    painter.setBrush(printerFailing ? QColor(230, 40, 40) : QColor(120, 220, 120)); // the light
    painter.drawRect(QRectF(12, 7, 2, 1.5));
    return pixmap;
}

} // namespace

QIcon ProgramIcon(bool printerFailing) {
    QIcon icon;
    icon.addPixmap(printerGlyph(16, printerFailing));
    icon.addPixmap(printerGlyph(32, printerFailing));
    return icon;
}
