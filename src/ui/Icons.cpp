#include "Icons.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>

namespace {

template <typename Draw> QIcon drawnIcon(Draw draw)
{
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 32.0, size / 32.0); // drawn on a 32-unit grid
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

namespace Icons {

QIcon notes()
{
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(90, 90, 90), 1.5));
        p.setBrush(QColor(255, 255, 224));
        p.drawRect(QRectF(5, 5, 22, 25));
        p.setPen(QPen(QColor(70, 110, 200), 1.5));
        for (int y = 12; y <= 26; y += 4) {
            p.drawLine(QPointF(8, y), QPointF(24, y));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 20, 20));
        p.drawRect(QRectF(4, 2, 24, 6));
        p.setBrush(QColor(255, 255, 255));
        for (int x = 8; x <= 24; x += 5) {
            p.drawEllipse(QPointF(x, 5), 1.3, 1.3);
        }
    });
}

QIcon bell()
{
    return drawnIcon([](QPainter& p) {
        QPainterPath body;
        body.moveTo(6, 24);
        body.cubicTo(9, 21, 8, 16, 9, 12);
        body.cubicTo(10, 6, 22, 6, 23, 12);
        body.cubicTo(24, 16, 23, 21, 26, 24);
        body.closeSubpath();
        p.setPen(QPen(QColor(120, 80, 0), 1.5));
        p.setBrush(QColor(250, 200, 40));
        p.drawPath(body);
        p.drawEllipse(QPointF(16, 26.5), 3, 3);
        p.drawEllipse(QPointF(16, 5), 2, 2);
    });
}

QIcon info()
{
    return drawnIcon([](QPainter& p) {
        QPainterPath bubble;
        bubble.addRoundedRect(QRectF(2, 2, 28, 22), 8, 8);
        QPainterPath tail;
        tail.moveTo(8, 22);
        tail.lineTo(6, 30);
        tail.lineTo(15, 23);
        tail.closeSubpath();
        p.setPen(QPen(QColor(20, 60, 150), 1.5));
        p.setBrush(QColor(70, 130, 230));
        p.drawPath(bubble.united(tail));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 7.5), 2.2, 2.2);
        p.drawRoundedRect(QRectF(14, 11, 4, 10), 1, 1);
    });
}

QPixmap badge(const QString& makerName)
{
    QPixmap pixmap(90, 38);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, 38);
    fill.setColorAt(0, QColor(40, 80, 170));
    fill.setColorAt(1, QColor(15, 35, 100));
    p.setPen(QPen(QColor(10, 20, 60), 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, 89, 37), 6, 6);
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setBold(true);
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(4, 2, 82, 34), Qt::AlignCenter | Qt::TextWordWrap, makerName);
    return pixmap;
}

QCursor hand()
{
    // A pointing hand on a 32 x 32 grid: the index finger up, its tip at
    // column 5, row 0 (the hot spot); the other fingers folded below.
    QPainterPath shape;
    shape.moveTo(3, 2);
    shape.quadTo(5, -1, 7, 2); // the fingertip
    shape.lineTo(7, 11);
    shape.lineTo(17, 13);
    shape.quadTo(20, 14, 20, 17); // knuckles
    shape.lineTo(20, 24);
    shape.quadTo(19, 29, 14, 29); // heel of the hand
    shape.lineTo(8, 29);
    shape.quadTo(4, 28, 3, 24);
    shape.lineTo(0, 15); // the thumb
    shape.quadTo(0, 12, 3, 13);
    shape.closeSubpath();

    QBitmap outline(32, 32);
    outline.fill(Qt::color0);
    QBitmap mask(32, 32);
    mask.fill(Qt::color0);
    QPainter maskPainter(&mask);
    maskPainter.setPen(QPen(Qt::color1, 2));
    maskPainter.setBrush(Qt::color1);
    maskPainter.drawPath(shape);
    maskPainter.end();
    // Black lines on a white hand: set bits are black where the mask is set.
    QPainter painter(&outline);
    painter.setPen(QPen(Qt::color1, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
    for (int x : {11, 15}) {
        painter.drawLine(x, 13, x, 18); // the folded fingers
    }
    painter.end();
    return QCursor(outline, mask, 5, 0);
}

} // namespace Icons
