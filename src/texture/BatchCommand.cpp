#include "texture/BatchCommand.h"

#include "app/MainWindow.h"
#include "app/StartupContext.h"
#include "platform/ColorDialog.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/Settings.h"
#include "player/MovieLoader.h"
#include "player/MoviePlayer.h"
#include "player/Player.h"
#include "texture/GradientPainter.h"
#include "texture/ImageFileReader.h"
#include "texture/ItemDefinition.h"
#include "texture/ItemMenu.h"
#include "texture/SheetExport.h"
#include "texture/TextureCommands.h"
#include "tools/ColourReference.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace texture {

namespace {

const QString TemplateOption = QStringLiteral("--template");
const QString PlainPrefix = QStringLiteral("plain:");
const QString GradientPrefix = QStringLiteral("gradient:");

// A texture shows two frames after its path is set: the template loads it at the end of the
// first and fits it to its part in the second. Loads the template starts meanwhile may take a
// few more; no template needs this many.
constexpr int MostFramesToShow = 24;

std::optional<QColor> parseColour(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    return QColor(text);
}

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// Nothing in the batch command asks anyone anything: message boxes get their negative answer
// (a template's messages their only one), dialogs and the item menu are cancelled.
class UnattendedSeams {
public:
    UnattendedSeams()
        : m_messages(platform::messageHandler())
        , m_files(platform::fileDialogHandler())
        , m_colours(platform::colorDialogHandler())
    {
        platform::setMessageHandler([](const platform::MessageRequest& request) {
            switch (request.buttons) {
            case platform::MessageButtons::YesNo:
                return platform::MessageAnswer::No;
            case platform::MessageButtons::YesNoCancel:
                return platform::MessageAnswer::Cancel;
            case platform::MessageButtons::Ok:
                break;
            }
            return platform::MessageAnswer::Ok;
        });
        platform::setFileDialogHandler([](const platform::FileDialogRequest&) { return std::nullopt; });
        platform::setColorDialogHandler([](platform::ColorDialogRequest&) { return std::nullopt; });
        ItemMenu::setHandler([](QMenu&) -> QAction* { return nullptr; });
    }

    ~UnattendedSeams()
    {
        platform::setMessageHandler(m_messages);
        platform::setFileDialogHandler(m_files);
        platform::setColorDialogHandler(m_colours);
        ItemMenu::setHandler({});
    }

    UnattendedSeams(const UnattendedSeams&) = delete;
    UnattendedSeams& operator=(const UnattendedSeams&) = delete;

private:
    platform::MessageHandler m_messages;
    platform::FileDialogHandler m_files;
    platform::ColorDialogHandler m_colours;
};

} // namespace

bool BatchCommand::isRequested(int argc, char** argv)
{
    for (int index = 1; index < argc; ++index) {
        if (std::strcmp(argv[index], "--template") == 0)
            return true;
    }
    return false;
}

BatchCommand::BatchCommand(QStringList arguments)
    : m_arguments(std::move(arguments))
{
}

std::optional<QString> BatchCommand::parse(Options& options) const
{
    for (qsizetype index = 0; index < m_arguments.size(); ++index) {
        const QString& option = m_arguments[index];
        if (option == QLatin1String("--list")) {
            options.list = true;
            continue;
        }
        const bool takesValue = option == TemplateOption || option == QLatin1String("--part")
                                || option == QLatin1String("--set") || option == QLatin1String("--save");
        if (!takesValue)
            return QStringLiteral("unknown option %1 (usage: --template FILE [--part N] [--list] "
                                  "[--set ITEM=VALUE]... [--save OUT.jpg|OUT.bmp])")
                .arg(option);
        if (index + 1 >= m_arguments.size())
            return QStringLiteral("%1 needs a value").arg(option);
        const QString& value = m_arguments[++index];
        if (option == TemplateOption) {
            options.templatePath = value;
        } else if (option == QLatin1String("--part")) {
            bool isNumber = false;
            options.part = value.toInt(&isNumber);
            if (!isNumber || options.part < 0)
                return QStringLiteral("--part needs a part number, 0 for the first part");
        } else if (option == QLatin1String("--set")) {
            const qsizetype equals = value.indexOf(QLatin1Char('='));
            if (equals <= 0)
                return QStringLiteral("--set needs ITEM=VALUE");
            options.values.emplace_back(value.left(equals), value.mid(equals + 1));
        } else {
            options.output = value;
        }
    }
    if (options.templatePath.isEmpty())
        return QStringLiteral("--template needs a template file");
    return std::nullopt;
}

QString BatchCommand::findTemplate(const QString& name) const
{
    if (QFileInfo(name).isFile())
        return QFileInfo(name).absoluteFilePath();
    // A bare name may be one of the installed templates.
    if (name.contains(QLatin1Char('/')))
        return {};
    const app::StartupContext context = app::StartupContext::fromApplication();
    for (const QString& folder : {context.userTemplateFolderPath(), context.contentFolderPath()}) {
        const QFileInfo installed(QDir(folder).filePath(name));
        if (installed.isFile())
            return installed.absoluteFilePath();
    }
    return {};
}

std::optional<QString> BatchCommand::load(app::MainWindow& window, const Options& options) const
{
    const QString path = findTemplate(options.templatePath);
    if (path.isEmpty())
        return QStringLiteral("cannot find the template %1").arg(options.templatePath);
    if (!window.textureFolder().create(QDir::tempPath()))
        return QStringLiteral("cannot make a folder for textures in %1").arg(QDir::tempPath());
    // The movie reads the textures this command makes from that folder.
    window.updateReadableFolders();
    window.partNumber() = QString::number(options.part);
    // The engine is asked directly, since the widget keeps a movie's errors to itself.
    if (const std::optional<QString> error = window.moviePlayer()->engine().loadMovie(0, path))
        return QStringLiteral("cannot read the template %1: %2").arg(options.templatePath, error->simplified());
    window.loadEffectsLayer();
    if (window.moviePlayer()->currentFrameOf(QStringLiteral("/")) != options.part)
        return QStringLiteral("the template %1 has no part %2").arg(options.templatePath).arg(options.part);
    return std::nullopt;
}

void BatchCommand::list(app::MainWindow& window, QTextStream& out) const
{
    for (const QString& line : window.itemMenuEntries()) {
        const ItemDefinition item(line);
        if (item.isComplete())
            out << item.caption() << '\t' << item.parameter() << '\t' << item.kindText() << '\n';
    }
}

void BatchCommand::playUntilShown(app::MainWindow& window) const
{
    player::Player& engine = window.moviePlayer()->engine();
    for (int frame = 1; frame <= MostFramesToShow; ++frame) {
        engine.advanceFrame();
        if (frame >= 2 && !engine.movieLoader().hasPending())
            return;
    }
}

std::optional<QString> BatchCommand::apply(app::MainWindow& window, const QString& itemName, const QString& value) const
{
    std::optional<ItemDefinition> found;
    for (const bool byCaption : {true, false}) {
        for (const QString& line : window.itemMenuEntries()) {
            const ItemDefinition item(line);
            if (item.isComplete() && (byCaption ? item.caption() : item.parameter()) == itemName) {
                found = item;
                break;
            }
        }
        if (found)
            break;
    }
    if (!found)
        return QStringLiteral("the part has no item %1 (--list shows them)").arg(quoted(itemName));

    const ItemDefinition& item = *found;
    switch (item.kind()) {
    case ItemDefinition::Kind::Colour: {
        const std::optional<QColor> colour = parseColour(value);
        if (!colour)
            return QStringLiteral("%1 is a colour item: its value is #RRGGBB, not %2").arg(quoted(item.caption()), quoted(value));
        window.textureCommands().maker().setColour(item.parameter(), tools::toColourReference(*colour));
        break;
    }
    case ItemDefinition::Kind::File:
        if (std::optional<QString> error = applyToFileItem(window, item.caption(), item.parameter(), value))
            return error;
        break;
    case ItemDefinition::Kind::Jump:
    case ItemDefinition::Kind::ClipJump:
        return QStringLiteral("%1 is a jump to another part and takes no value").arg(quoted(item.caption()));
    case ItemDefinition::Kind::Other:
        return QStringLiteral("%1 is an item of kind %2, which takes no value").arg(quoted(item.caption()), quoted(item.kindText()));
    }
    window.setUnsavedChanges(true);
    playUntilShown(window);
    return std::nullopt;
}

std::optional<QString> BatchCommand::applyToFileItem(app::MainWindow& window, const QString& caption,
                                                     const QString& variable, const QString& value) const
{
    QImage picture;
    if (value.startsWith(PlainPrefix)) {
        const std::optional<QColor> colour = parseColour(value.mid(PlainPrefix.size()));
        if (!colour)
            return QStringLiteral("a plain colour is plain:#RRGGBB, not %1").arg(quoted(value));
        picture = TextureMaker::plainColourPicture(tools::toColourReference(*colour));
    } else if (value.startsWith(GradientPrefix)) {
        const QStringList parts = value.mid(GradientPrefix.size()).split(QLatin1Char(','));
        const std::optional<QColor> from = parseColour(parts.value(0).trimmed());
        const std::optional<QColor> to = parseColour(parts.value(1).trimmed());
        bool isNumber = false;
        const double angle = parts.value(2).trimmed().toDouble(&isNumber);
        if (parts.size() != 3 || !from || !to || !isNumber || !std::isfinite(angle))
            return QStringLiteral("a gradient is gradient:#RRGGBB,#RRGGBB,ANGLE, not %1").arg(quoted(value));
        if (!gradientPainter())
            return QStringLiteral("gradients cannot be drawn by this version of the program");
        picture = gradientPainter()(*from, *to, angle);
    } else {
        // A colour is no file name: it was meant for a colour item, or forgot its "plain:".
        if (value.isEmpty() || (parseColour(value) && !QFileInfo::exists(value)))
            return QStringLiteral("%1 is a file item: its value is an image file, plain:#RRGGBB or "
                                  "gradient:#RRGGBB,#RRGGBB,ANGLE")
                .arg(quoted(caption));
        try {
            if (!TextureMaker::isSupportedImage(value))
                return QStringLiteral("%1 is not a JPEG, Windows bitmap or GIF image").arg(value);
            picture = readImageFile(value);
        } catch (const RuntimeError& error) {
            return QStringLiteral("cannot read the image %1: %2").arg(value, error.description());
        }
    }
    try {
        window.textureCommands().maker().makeTexture(picture, variable);
    } catch (const RuntimeError& error) {
        return QStringLiteral("cannot make the texture for %1: %2").arg(quoted(caption), error.description());
    }
    return std::nullopt;
}

int BatchCommand::run(QTextStream& out, QTextStream& err)
{
    const auto failed = [&err](const QString& message) {
        err << platform::applicationName() << ": " << message << '\n';
        err.flush();
        return Failed;
    };

    Options options;
    if (const std::optional<QString> error = parse(options))
        return failed(*error);
    if (!options.output.isEmpty()) {
        const QFileInfo output(options.output);
        if (output.isDir())
            return failed(QStringLiteral("cannot write %1: it is a folder").arg(options.output));
        if (!output.absoluteDir().exists())
            return failed(QStringLiteral("cannot write %1: there is no folder %2")
                              .arg(options.output, output.absolutePath()));
    }

    const UnattendedSeams seams;
    app::MainWindow window(app::StartupContext::fromApplication());
    // Every limit the template reaches is said; one that stops the movie ends the command.
    player::Player& engine = window.moviePlayer()->engine();
    engine.onLimitReached = [&err](const QString& reason) {
        err << platform::applicationName() << ": the template reached a limit: " << reason << '\n';
        err.flush();
    };
    const auto stopped = [&engine]() { return engine.isStopped(); };
    const std::optional<QString> loadError = load(window, options);
    // A movie stopped by a limit has said why; whatever else went wrong follows from that.
    if (stopped())
        return Failed;
    if (loadError)
        return failed(*loadError);
    if (options.list) {
        list(window, out);
        out.flush();
    }
    for (const auto& [item, value] : options.values) {
        if (const std::optional<QString> error = apply(window, item, value))
            return failed(*error);
        if (stopped())
            return Failed;
    }
    if (!options.output.isEmpty()) {
        playUntilShown(window);
        if (stopped())
            return Failed;
        try {
            writeSheet(renderSheet(window), options.output);
        } catch (const RuntimeError& error) {
            return failed(QStringLiteral("cannot write %1: %2").arg(options.output, error.description()));
        }
    }
    return 0;
}

int runBatchCommand(int argc, char** argv)
{
    // No window is shown and no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Scripts read standard error: it holds the command's own error line and nothing of Qt's
    // notes about the session it runs in.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    QApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return BatchCommand(QCoreApplication::arguments().mid(1)).run(out, err);
}

} // namespace texture
