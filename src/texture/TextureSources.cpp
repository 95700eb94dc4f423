#include "texture/TextureSources.h"

#include "app/MainWindow.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "player/MoviePlayer.h"
#include "texture/ColourText.h"
#include "texture/FileChooser.h"
#include "texture/TextureMaker.h"
#include "tools/ColourPicker.h"

namespace texture {

namespace {

void showCritical(const QString& text, QWidget* parent)
{
    platform::MessageRequest message;
    message.text = text;
    message.icon = platform::MessageIcon::Critical;
    platform::showMessage(message, parent);
}

} // namespace

const QString TextureSources::ImageFilter = QStringLiteral(
    "JPEG Files (*.JPG;*.JPEG;*.JPE;*.JFIF)|*.jpg;*.jpeg;*.jpe;*.jfif|Bitmap Files (*.bmp)|*.bmp|GIF Files (*.GIF)|*.gif");

TextureSources::TextureSources(app::MainWindow& window, TextureMaker& maker)
    : m_window(window)
    , m_maker(maker)
{
}

void TextureSources::reportTextureFailure(QWidget* parent)
{
    showCritical(QStringLiteral("An error has occurred!"), parent);
}

void TextureSources::chooseItemColour(const QString& variable)
{
    const tools::ColourReference initial =
        colourOfMovieText(m_window.moviePlayer()->variable(variable)).value_or(0);
    if (!tools::ColourPicker::instance().pickColour(initial, &m_window))
        return;
    m_maker.setColour(variable, tools::ColourPicker::instance().selectedColour());
    m_window.setUnsavedChanges(true);
}

void TextureSources::chooseImageTexture(const QString& variable)
{
    FileChooserRequest request;
    request.open = true;
    request.defaultExtension = QStringLiteral("jpg");
    request.filter = ImageFilter;
    const std::optional<FileChoice> choice = chooseFile(request, &m_window);
    if (!choice)
        return;

    bool supported = false;
    try {
        supported = TextureMaker::isSupportedImage(choice->path);
    } catch (const std::exception&) {
        // The file went away or cannot be read since it was chosen.
        reportTextureFailure(&m_window);
        return;
    }
    if (!supported) {
        showCritical(QStringLiteral("This is not supported format!"), &m_window);
        return;
    }
    makeImageTexture(choice->path, variable);
    // Marked as changed after the attempt, whether or not it made a texture.
    m_window.setUnsavedChanges(true);
}

bool TextureSources::makeImageTexture(const QString& imagePath, const QString& variable)
{
    try {
        m_maker.makeImageTexture(imagePath, variable);
        return true;
    } catch (const std::exception&) {
        reportTextureFailure(&m_window);
    }
    return false;
}

void TextureSources::useGradientPicture(const QString& variable, const QImage& picture)
{
    try {
        m_maker.makeTexture(picture, variable);
    } catch (const std::exception&) {
        reportTextureFailure(&m_window);
        return;
    }
    m_window.setUnsavedChanges(true);
}

void TextureSources::choosePlainColour(const QString& variable)
{
    tools::ColourPicker& picker = tools::ColourPicker::instance();
    if (!picker.pickColour(0, &m_window))
        return;
    try {
        m_maker.makeOneColourTexture(picker.selectedColour(), variable);
    } catch (const std::exception&) {
        reportTextureFailure(&m_window);
        return;
    }
    m_window.setUnsavedChanges(true);
}

} // namespace texture
