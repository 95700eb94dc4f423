// skrv-play: plays a movie without a window, for tests and the conformance corpus.

#include "player/Player.h"
#include "player/ScriptEngineFactory.h"
#include "player/render/BitmapDecoder.h"
#include "player/render/DisplayRenderer.h"
#include "player/render/ScaleMode.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

#include <cstdio>
#include <optional>
#include <vector>

namespace {

const char* const Usage =
    "usage: skrv-play [--frames N] [--trace FILE] [--fscommands FILE] [--png FILE] [--size WxH]\n"
    "                 [--set NAME=VALUE]... [--get NAME]... [--real-clock] [--quality low|medium|high|best]\n"
    "                 [--viewport WxH[@scale]] [--player-version N] movie.swf\n"
    "Plays N frames of a movie (default 1; the first frame counts) and exits.\n"
    "  --trace FILE       trace() lines go to FILE (standard output without it)\n"
    "  --fscommands FILE  each FSCommand as a line: command<TAB>args\n"
    "  --png FILE         the stage after the last frame, at the movie's size or --size (stretched)\n"
    "  --set NAME=VALUE   sets a variable after the first frame (in order)\n"
    "  --get NAME         prints NAME=VALUE on standard error after the last frame\n"
    "  --real-clock       getTimer() and timers follow the wall clock instead of the frame count\n";

struct Options {
    int frames = 1;
    QString traceFile;
    QString fsCommandFile;
    QString pngFile;
    std::optional<QSize> size;
    std::optional<QSize> viewport;
    double viewportScale = 1.0;
    std::vector<std::pair<QString, QString>> sets;
    std::vector<QString> gets;
    bool realClock = false;
    bool lowQuality = false;
    int playerVersion = 0;
    QString movie;
};

std::optional<QSize> parseSize(const QString& text, double* scale = nullptr)
{
    QString sizeText = text;
    if (scale) {
        const qsizetype at = text.indexOf(QLatin1Char('@'));
        if (at >= 0) {
            bool ok = false;
            const double value = text.mid(at + 1).toDouble(&ok);
            if (!ok || value <= 0 || value > 16)
                return std::nullopt;
            *scale = value;
            sizeText = text.left(at);
        }
    }
    const QStringList parts = sizeText.split(QLatin1Char('x'), Qt::KeepEmptyParts, Qt::CaseInsensitive);
    if (parts.size() != 2)
        return std::nullopt;
    bool okWidth = false;
    bool okHeight = false;
    const int width = parts[0].toInt(&okWidth);
    const int height = parts[1].toInt(&okHeight);
    if (!okWidth || !okHeight || width <= 0 || height <= 0 || width > 16384 || height > 16384)
        return std::nullopt;
    return QSize(width, height);
}

// Returns an error message, or nothing when the command line is good.
std::optional<QString> parseArguments(const QStringList& arguments, Options& options, bool& helpAsked)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= arguments.size())
                return std::nullopt;
            return arguments[++i];
        };
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            helpAsked = true;
            return std::nullopt;
        }
        if (argument == QLatin1String("--real-clock")) {
            options.realClock = true;
            continue;
        }
        if (!argument.startsWith(QLatin1String("--"))) {
            if (!options.movie.isEmpty())
                return QStringLiteral("more than one movie given");
            options.movie = argument;
            continue;
        }
        const std::optional<QString> text = value();
        if (!text)
            return QStringLiteral("%1 needs a value").arg(argument);
        if (argument == QLatin1String("--frames")) {
            bool ok = false;
            options.frames = text->toInt(&ok);
            if (!ok || options.frames < 1)
                return QStringLiteral("--frames needs a positive number");
        } else if (argument == QLatin1String("--trace")) {
            options.traceFile = *text;
        } else if (argument == QLatin1String("--fscommands")) {
            options.fsCommandFile = *text;
        } else if (argument == QLatin1String("--png")) {
            options.pngFile = *text;
        } else if (argument == QLatin1String("--size")) {
            options.size = parseSize(*text);
            if (!options.size)
                return QStringLiteral("--size needs WIDTHxHEIGHT");
        } else if (argument == QLatin1String("--viewport")) {
            options.viewport = parseSize(*text, &options.viewportScale);
            if (!options.viewport)
                return QStringLiteral("--viewport needs WIDTHxHEIGHT[@SCALE]");
        } else if (argument == QLatin1String("--set")) {
            const qsizetype equals = text->indexOf(QLatin1Char('='));
            if (equals <= 0)
                return QStringLiteral("--set needs NAME=VALUE");
            options.sets.emplace_back(text->left(equals), text->mid(equals + 1));
        } else if (argument == QLatin1String("--get")) {
            options.gets.push_back(*text);
        } else if (argument == QLatin1String("--quality")) {
            const QString quality = text->toLower();
            if (quality != QLatin1String("low") && quality != QLatin1String("medium") && quality != QLatin1String("high")
                && quality != QLatin1String("best"))
                return QStringLiteral("--quality is low, medium, high or best");
            options.lowQuality = quality == QLatin1String("low");
        } else if (argument == QLatin1String("--player-version")) {
            bool ok = false;
            options.playerVersion = text->toInt(&ok);
            if (!ok || options.playerVersion < 1)
                return QStringLiteral("--player-version needs a number");
        } else {
            return QStringLiteral("unknown option %1").arg(argument);
        }
    }
    if (options.movie.isEmpty() && !helpAsked)
        return QStringLiteral("no movie given");
    return std::nullopt;
}

// A line-per-entry output file (or standard output), written as UTF-8 with \n endings.
class LineOutput {
public:
    bool open(const QString& path)
    {
        if (path.isEmpty()) {
            m_file.open(stdout, QIODevice::WriteOnly);
            return true;
        }
        m_file.setFileName(path);
        return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    void write(const QString& line)
    {
        m_file.write(line.toUtf8());
        m_file.write("\n", 1);
    }
    void flush()
    {
        if (m_file.isOpen())
            m_file.flush();
    }

private:
    QFile m_file;
};

} // namespace

int main(int argc, char** argv)
{
    // No display is needed; fonts still need a GUI application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    Options options;
    bool helpAsked = false;
    if (std::optional<QString> error = parseArguments(application.arguments(), options, helpAsked)) {
        std::fprintf(stderr, "skrv-play: %s\n%s", qPrintable(*error), Usage);
        return 1;
    }
    if (helpAsked) {
        std::fputs(Usage, stdout);
        return 0;
    }

    LineOutput traceOutput;
    if (!traceOutput.open(options.traceFile)) {
        std::fprintf(stderr, "skrv-play: cannot write %s\n", qPrintable(options.traceFile));
        return 1;
    }
    LineOutput commandOutput;
    const bool writeCommands = !options.fsCommandFile.isEmpty();
    if (writeCommands && !commandOutput.open(options.fsCommandFile)) {
        std::fprintf(stderr, "skrv-play: cannot write %s\n", qPrintable(options.fsCommandFile));
        return 1;
    }

    player::Player engine;
    engine.clock().setReal(options.realClock);
    if (options.playerVersion > 0)
        engine.setPlayerVersion(options.playerVersion);
    // Flash's log ends a line at a carriage return as well as at a line feed.
    engine.onTrace = [&](const QString& line) { traceOutput.write(QString(line).replace(QLatin1Char('\r'), QLatin1Char('\n'))); };
    engine.onFsCommand = [&](const QString& command, const QString& args) {
        if (writeCommands)
            commandOutput.write(command + QLatin1Char('\t') + args);
    };
    engine.setScriptHost(player::makeScriptHost(engine));
    engine.setViewportSize(options.viewport);
    // Every limit the movie reaches is said on standard error; one that stops the movie ends the
    // run with status 3 (the outputs asked for are still written).
    engine.onLimitReached = [](const QString& reason) { std::fprintf(stderr, "skrv-play: limit reached: %s\n", qPrintable(reason)); };

    if (std::optional<QString> error = engine.loadMovie(0, options.movie)) {
        std::fprintf(stderr, "skrv-play: %s\n", qPrintable(error->simplified()));
        return 2;
    }
    for (const auto& [name, value] : options.sets)
        engine.setVariable(name, value);
    for (int frame = 1; frame < options.frames && !engine.isStopped(); ++frame)
        engine.advanceFrame();

    for (const QString& name : options.gets) {
        const std::optional<QString> value = engine.variable(name);
        std::fprintf(stderr, "%s=%s\n", qPrintable(name), value ? value->toUtf8().constData() : "");
    }
    traceOutput.flush();
    commandOutput.flush();

    if (!options.pngFile.isEmpty()) {
        const player::swf::Rect stage = engine.stage().stageRect();
        QSize size(std::max(1, stage.width() / 20), std::max(1, stage.height() / 20));
        player::ScaleMode mode = player::ScaleMode::ExactFit;
        if (options.size) {
            size = *options.size;
        } else if (options.viewport) {
            size = QSize(int(options.viewport->width() * options.viewportScale),
                         int(options.viewport->height() * options.viewportScale));
            mode = player::ScaleMode::ShowAll;
        }
        // The stage is drawn into memory: no bigger than the largest bitmap a movie may hold.
        if (size.width() > player::render::BitmapDecoder::MaximumSide || size.height() > player::render::BitmapDecoder::MaximumSide
            || qint64(size.width()) * size.height() > player::render::BitmapDecoder::MaximumPixels) {
            std::fprintf(stderr, "skrv-play: the stage of %d x %d pixels is too large to draw\n", size.width(), size.height());
            return 1;
        }
        player::render::DisplayRenderer renderer;
        renderer.setHighQuality(!options.lowQuality);
        const QImage image = renderer.renderStageImage(engine.stage(), size, mode);
        if (!image.save(options.pngFile, "PNG")) {
            std::fprintf(stderr, "skrv-play: cannot write %s\n", qPrintable(options.pngFile));
            return 1;
        }
    }
    return engine.isStopped() ? 3 : 0;
}
