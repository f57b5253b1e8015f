#include "FrameOverlay.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFrame>
#include <QTimer>

#include <cmath>

FrameOverlay::FrameOverlay(QAbstractScrollArea& frame)
    : QWidget(&frame)
    , m_frame(frame)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(frame.rect());
    frame.installEventFilter(this);
    // A scroll bar shown later comes up above everything in the frame.
    frame.horizontalScrollBar()->installEventFilter(this);
    frame.verticalScrollBar()->installEventFilter(this);
    raise();
}

bool FrameOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_frame && event->type() == QEvent::Resize) {
        setGeometry(m_frame.rect());
    }
    if (event->type() == QEvent::Show || event->type() == QEvent::ChildAdded) {
        QTimer::singleShot(0, this, [this] { raise(); });
    }
    return QWidget::eventFilter(watched, event);
}

void FrameOverlay::paintEvent(QPaintEvent*)
{
    const qreal ratio = devicePixelRatioF();
    if (ratio == std::floor(ratio)) {
        return;
    }
    // The frame goes one pixel in, on the window's background; the ring of
    // background reaches past the edge, where rounded device pixels lie.
    QPainter painter(this);
    const QRect around = rect().adjusted(-1, -1, 1, 1);
    const QRect box = rect().adjusted(1, 1, -1, -1);
    painter.setClipRegion(QRegion(around) - QRegion(box.adjusted(1, 1, -1, -1)));
    painter.fillRect(around, m_frame.palette().window());
    painter.setClipping(false);
    QStyleOptionFrame option;
    option.initFrom(&m_frame);
    option.rect = box;
    option.frameShape = QFrame::StyledPanel;
    option.state |= QStyle::State_Sunken;
    option.lineWidth = 1;
    option.midLineWidth = 0;
    style()->drawControl(QStyle::CE_ShapedFrame, &option, &painter, &m_frame);
}
