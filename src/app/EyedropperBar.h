#pragma once

#include "tools/ColourReference.h"

#include <QTimer>
#include <QWidget>

namespace app {

// The eyedropper: a bar at the bottom of the main window. While a mouse button is held on it,
// it keeps the mouse (the pointer may leave the window) and shows the colour of the screen
// pixel under the pointer; releasing the button leaves it at the last colour read and reports
// the pick. A pixel that cannot be read keeps the colour shown.
class EyedropperBar : public QWidget {
    Q_OBJECT

public:
    explicit EyedropperBar(QWidget* parent = nullptr);

    // The colour shown, the one last picked.
    tools::ColourReference colour() const;
    void setColour(tools::ColourReference colour);

    bool isSampling() const { return m_sampling.isActive(); }

    // Reads the pixel under the pointer once, as the bar does all the time while it is held.
    void sampleUnderPointer();

signals:
    // The button was released: the colour shown is the colour picked.
    void colourPicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QTimer m_sampling;
};

} // namespace app
