#include "app/EyedropperBar.h"

#include "app/ScreenPixel.h"

#include <QCursor>
#include <QMouseEvent>

namespace app {

EyedropperBar::EyedropperBar(QWidget* parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    setCursor(Qt::CrossCursor);
    // As often as is useful to the eye; one pixel is read a tick.
    m_sampling.setInterval(10);
    connect(&m_sampling, &QTimer::timeout, this, &EyedropperBar::sampleUnderPointer);
}

tools::ColourReference EyedropperBar::colour() const
{
    return tools::toColourReference(palette().color(QPalette::Window));
}

void EyedropperBar::setColour(tools::ColourReference colour)
{
    const QColor shown = tools::toColour(tools::resolveSystemColour(colour));
    QPalette colours = palette();
    if (colours.color(QPalette::Window) == shown)
        return;
    colours.setColor(QPalette::Window, shown);
    setPalette(colours);
}

void EyedropperBar::sampleUnderPointer()
{
    if (const std::optional<QColor> pixel = screenPixelAt(QCursor::pos()))
        setColour(tools::toColourReference(*pixel));
}

void EyedropperBar::mousePressEvent(QMouseEvent* event)
{
    // The bar keeps the mouse until the button is released, wherever the pointer goes.
    grabMouse(Qt::CrossCursor);
    m_sampling.start();
    event->accept();
}

void EyedropperBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_sampling.isActive()) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_sampling.stop();
    releaseMouse();
    event->accept();
    emit colourPicked();
}

} // namespace app
