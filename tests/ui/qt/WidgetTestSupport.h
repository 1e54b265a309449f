#pragma once
// Helpers for driving widgets without a display: mouse events sent straight
// to a widget, rendering to an image, and counting paint events.

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QObject>
#include <QRegion>
#include <QWidget>

inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

inline void MoveTo(QWidget* widget, QPoint pos, Qt::MouseButtons held = Qt::NoButton)
{
    SendMouse(widget, QEvent::MouseMove, pos, held);
}

inline void Press(QWidget* widget, QPoint pos)
{
    SendMouse(widget, QEvent::MouseButtonPress, pos, Qt::LeftButton);
}

inline void Release(QWidget* widget, QPoint pos)
{
    SendMouse(widget, QEvent::MouseButtonRelease, pos, Qt::NoButton);
}

inline QImage Render(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Collects the regions a widget is asked to paint.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* watched) { watched->installEventFilter(this); }
    QRegion painted;
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
            ++count;
        }
        return false;
    }
};
