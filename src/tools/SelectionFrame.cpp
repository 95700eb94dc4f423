#include "tools/SelectionFrame.h"

#include <QPainter>

namespace tools {

SelectionFrame::SelectionFrame(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SelectionFrame::surround(const QRect& box, int margin)
{
    m_box = box;
    m_margin = margin;
    setGeometry(box.adjusted(-margin, -margin, margin, margin));
    raise();
    update();
}

void SelectionFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect box(m_margin, m_margin, m_box.width(), m_box.height());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(box.adjusted(-1, -1, 0, 0));
    painter.setPen(palette().color(QPalette::Highlight));
    painter.drawRect(box.adjusted(-2, -2, 1, 1));
}

} // namespace tools
