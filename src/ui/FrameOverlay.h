#pragma once

#include <QWidget>

class QAbstractScrollArea;

// Draws a scroll area's frame again above its children, at a fractional
// scale (1.25, 1.5) only: there the text area or a scroll bar, rounded
// outwards to whole device pixels, paints over the frame's edge beside it,
// and a first device pixel row or column may fall outside what the widget
// may paint. At whole scales it draws nothing and the frame is Qt's own.
class FrameOverlay : public QWidget
{
public:
    explicit FrameOverlay(QAbstractScrollArea& frame);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QAbstractScrollArea& m_frame;
};
