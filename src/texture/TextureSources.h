#pragma once

#include <QImage>
#include <QString>

class QWidget;

namespace app {
class MainWindow;
}

namespace texture {

class TextureMaker;

// Where a new look for an item comes from when the user gives it one: a colour from the colour
// picker, an image file chosen in the open dialog, the gradient window's picture or a plain
// colour. Each asks what it needs, makes the texture (TextureMaker) and marks the sheet as
// changed; failures are told in a message box, and a cancelled dialog changes nothing.
class TextureSources {
public:
    TextureSources(app::MainWindow& window, TextureMaker& maker);

    // A colour item: the picker opens on the item's present colour (black when the movie holds
    // none that can be read), and the item gets the colour chosen.
    void chooseItemColour(const QString& variable);
    // A file item from an image file the user chooses: JPEG, Windows bitmap or GIF by the
    // file's header (a PNG is refused with "This is not supported format!").
    void chooseImageTexture(const QString& variable);
    // A file item from a given image file; false after "An error has occurred!".
    bool makeImageTexture(const QString& imagePath, const QString& variable);
    // A file item from the gradient window's picture.
    void useGradientPicture(const QString& variable, const QImage& picture);
    // A file item given one colour from the picker.
    void choosePlainColour(const QString& variable);

    // "An error has occurred!", with a critical-stop icon.
    static void reportTextureFailure(QWidget* parent);

    // The open dialog's filter for images.
    static const QString ImageFilter;

private:
    app::MainWindow& m_window;
    TextureMaker& m_maker;
};

} // namespace texture
