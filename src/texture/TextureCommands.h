#pragma once

#include "texture/TextureMaker.h"
#include "texture/TextureSources.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;

namespace app {
class MainWindow;
}

namespace texture {

// What the main window's texture buttons and its item menu do: "Change..." opens the item menu
// at the pointer, "Save As..." saves the sheet, "Plain Colour..." opens the same menu with only
// file and jump entries to choose, for a texture of one colour. A chosen entry (or the movie's
// "clickitem") is carried out here: a colour, an image, a plain colour or the gradient window's
// picture for its variable, or a jump to another frame.
class TextureCommands {
public:
    explicit TextureCommands(app::MainWindow& window);

    // "Change...": a failure is reported as "Unable to work.", titled with the window's caption.
    void change();
    // "Save As...": as change().
    void saveAs();
    // "Plain Colour...": the item menu in the plain-colour mode, which ends with the menu
    // whatever was chosen; a failure is reported as "Failed to work.".
    void plainColour();

    // Carries out line `index` of the item list. An index outside the list, a line without
    // three fields or a jump whose frame is not a number does nothing.
    void runItem(int index);
    // Carries out one line of the item list; the caller passes a copy, so a movie command that
    // changes the list while a dialog is up does not change what is done.
    void runLine(const QString& line);

    // The gradient window: while it shows, the item menu offers file items only and gives them
    // its committed picture.
    void setGradientWindow(QWidget* window, std::function<QImage()> committedPicture);
    bool isGradientWindowShown() const;

    TextureMaker& maker() { return m_maker; }
    TextureSources& sources() { return m_sources; }

private:
    void showItemMenu();
    void showFailure(const QString& text);

    app::MainWindow& m_window;
    TextureMaker m_maker;
    TextureSources m_sources;
    QPointer<QWidget> m_gradientWindow;
    std::function<QImage()> m_gradientPicture;
};

} // namespace texture
