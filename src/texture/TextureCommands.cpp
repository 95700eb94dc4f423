#include "texture/TextureCommands.h"

#include "app/MainWindow.h"
#include "platform/MessageBox.h"
#include "player/MoviePlayer.h"
#include "texture/ItemDefinition.h"
#include "texture/ItemMenu.h"
#include "texture/SheetExport.h"

#include <QCursor>

namespace texture {

TextureCommands::TextureCommands(app::MainWindow& window)
    : m_window(window)
    , m_maker(*window.moviePlayer(), window.textureFolder())
    , m_sources(window, m_maker)
{
}

void TextureCommands::showFailure(const QString& text)
{
    platform::MessageRequest failure;
    failure.text = text;
    failure.title = m_window.windowTitle();
    failure.icon = platform::MessageIcon::Critical;
    platform::showMessage(failure, &m_window);
}

void TextureCommands::change()
{
    try {
        showItemMenu();
    } catch (const std::exception&) {
        showFailure(QStringLiteral("Unable to work."));
    }
}

void TextureCommands::saveAs()
{
    try {
        m_window.saveTextureSheet();
    } catch (const std::exception&) {
        showFailure(QStringLiteral("Unable to work."));
    }
}

void TextureCommands::plainColour()
{
    struct PlainColourMode {
        explicit PlainColourMode(app::MainWindow& window)
            : window(window)
        {
            window.setPlainColourMode(true);
        }
        ~PlainColourMode() { window.setPlainColourMode(false); }
        app::MainWindow& window;
    };
    try {
        const PlainColourMode mode(m_window);
        change();
    } catch (const std::exception&) {
        showFailure(QStringLiteral("Failed to work."));
    }
}

void TextureCommands::showItemMenu()
{
    ItemMenu menu(m_window.itemMenuEntries(), m_window.isPlainColourMode(), isGradientWindowShown(), &m_window);
    if (const std::optional<QString> line = menu.exec(QCursor::pos()))
        runLine(*line);
}

void TextureCommands::runItem(int index)
{
    const QStringList& lines = m_window.itemMenuEntries();
    if (index < 0 || index >= lines.size())
        return;
    runLine(QString(lines[index]));
}

void TextureCommands::runLine(const QString& line)
{
    const ItemDefinition item(line);
    if (!item.isComplete())
        return;
    const QString variable = item.parameter();
    switch (item.kind()) {
    case ItemDefinition::Kind::Colour:
        m_sources.chooseItemColour(variable);
        break;
    case ItemDefinition::Kind::File:
        if (m_window.isPlainColourMode())
            m_sources.choosePlainColour(variable);
        else if (isGradientWindowShown())
            m_sources.useGradientPicture(variable, m_gradientPicture ? m_gradientPicture() : QImage());
        else
            m_sources.chooseImageTexture(variable);
        break;
    case ItemDefinition::Kind::Jump:
        if (const std::optional<int> frame = item.jumpFrame())
            m_window.moviePlayer()->gotoFrame(*frame);
        break;
    case ItemDefinition::Kind::ClipJump:
        if (const std::optional<int> frame = item.jumpFrame())
            m_window.moviePlayer()->gotoFrameOf(item.jumpTarget(), *frame);
        break;
    case ItemDefinition::Kind::Other:
        break;
    }
}

void TextureCommands::setGradientWindow(QWidget* window, std::function<QImage()> committedPicture)
{
    m_gradientWindow = window;
    m_gradientPicture = std::move(committedPicture);
}

bool TextureCommands::isGradientWindowShown() const
{
    return m_gradientWindow && m_gradientWindow->isVisible();
}

} // namespace texture
