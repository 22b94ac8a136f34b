#include "qt/gauge_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "app/tray_icon.h"

namespace valbrix {
namespace {

constexpr int iconSizes[] = {16, 22, 32, 48};

struct GaugeLook {
    QColor body;
    bool arrow;
    QColor arrowColor;
};

GaugeLook lookOf(int id) {
    const QColor green(0x2E, 0xA0, 0x3C), red(0xD2, 0x2B, 0x2B), yellow(0xF0, 0xC4, 0x1C);
    const QColor arrowRed(0xE0, 0x10, 0x10), arrowGrey(0x80, 0x80, 0x80);
    switch (id) {
        case IconStandbyIdentified: return {green, false, arrowRed};
        case IconUnused: return {red, true, arrowGrey};
        case IconNoGauge: return {red, false, arrowRed};
        case IconActivePrinting: return {yellow, true, arrowRed};
        case IconStandbyPrinting: return {yellow, false, arrowRed};
        default: return {green, true, arrowRed};  // 401 and the program icon
    }
}

// Drawn on a 16 x 16 grid and scaled, so every size shows the same picture.
QPixmap drawGauge(const GaugeLook& look, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    const QColor outline(0x20, 0x20, 0x20);

    // The probe cable leaves the body at the bottom right and ends in the probe.
    QPainterPath cable(QPointF(8.5, 12.5));
    cable.cubicTo(QPointF(11.5, 12.5), QPointF(11.5, 15.0), QPointF(13.5, 14.5));
    painter.setPen(QPen(outline, 1.0, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(cable);
    painter.setPen(QPen(outline, 0.6));
    painter.setBrush(QColor(0x60, 0x60, 0x60));
    painter.drawRoundedRect(QRectF(12.6, 9.8, 2.4, 5.2), 0.8, 0.8);

    painter.setPen(QPen(outline, 0.8));
    painter.setBrush(look.body);
    painter.drawRoundedRect(QRectF(1.0, 1.0, 8.5, 14.0), 2.0, 2.0);
    painter.setBrush(QColor(0xE6, 0xF2, 0xFF));
    painter.drawRect(QRectF(2.5, 2.8, 5.5, 4.2));
    painter.setPen(Qt::NoPen);
    painter.setBrush(outline);
    painter.drawEllipse(QPointF(3.8, 10.0), 0.9, 0.9);
    painter.drawEllipse(QPointF(6.7, 10.0), 0.9, 0.9);

    if (look.arrow) {
        QPainterPath arc(QPointF(9.0, 7.5));
        arc.quadTo(QPointF(10.5, 2.2), QPointF(13.2, 3.0));
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(look.arrowColor, 1.6, Qt::SolidLine, Qt::RoundCap));
        painter.drawPath(arc);
        QPainterPath head(QPointF(15.6, 3.8));
        head.lineTo(QPointF(12.2, 0.6));
        head.lineTo(QPointF(12.0, 5.6));
        head.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(look.arrowColor);
        painter.drawPath(head);
    }
    return pixmap;
}

}  // namespace

QIcon gaugeIcon(int id) {
    const GaugeLook look = lookOf(id);
    QIcon icon;
    for (const int size : iconSizes) icon.addPixmap(drawGauge(look, size));
    return icon;
}

}  // namespace valbrix
