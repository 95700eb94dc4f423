#pragma once

#include <QWidget>

namespace tools {

// The frame that marks the selected one of a group of small boxes: two rectangle outlines
// around the box, a dark one close to it and one in the highlight colour outside that. The
// frame lets the mouse through to the boxes below it.
class SelectionFrame : public QWidget {
    Q_OBJECT

public:
    explicit SelectionFrame(QWidget* parent = nullptr);

    // Puts the frame around a box (in the parent's coordinates); the frame's own corner lies
    // `margin` pixels above and to the left of the box's.
    void surround(const QRect& box, int margin);
    QRect surroundedBox() const { return m_box; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect m_box;
    int m_margin = 0;
};

} // namespace tools
