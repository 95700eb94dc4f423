// Plays each sample template with the effects overlay switched on, as the main window shows it,
// and reports frames per second (a frame advanced and the stage drawn) at the sheet size the
// template asks for and at 4096x4096.
// Usage: bench_templates [frames] [folder with the templates and Effects.swf, default: beside
// this program]

#include "player/Player.h"
#include "player/render/DisplayRenderer.h"
#include "player/render/RowWorkers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

using namespace player;

namespace {

// Every effect well away from its neutral value, so that each of them is drawn.
void switchEffectsOn(Player& engine)
{
    engine.gotoFrameOf(QStringLiteral("_level100.addeffect"), 40);
    engine.gotoFrameOf(QStringLiteral("_level100.differenceeffect"), 30);
    engine.setVariable(QStringLiteral("/:shading._alpha"), QStringLiteral("150"));
    engine.setVariable(QStringLiteral("_level100.blurshadingeffect"), QStringLiteral("50"));
    engine.setVariable(QStringLiteral("_level100.blureffect"), QStringLiteral("50"));
}

double framesPerSecond(Player& engine, const QSize& size, int frames)
{
    render::DisplayRenderer renderer;
    QElapsedTimer timer;
    timer.start();
    for (int frame = 0; frame < frames; ++frame) {
        engine.advanceFrame();
        const QImage image = renderer.renderStageImage(engine.stage(), size, ScaleMode::ExactFit);
        if (image.isNull())
            return 0;
    }
    return frames * 1000.0 / std::max<qint64>(1, timer.elapsed());
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    // SKRV_BENCH_ONE_THREAD=1 colours every fill on the drawing thread, to compare with two.
    if (qEnvironmentVariableIntValue("SKRV_BENCH_ONE_THREAD") != 0)
        player::render::RowWorkers::setEnabled(false);
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const QDir folder(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QCoreApplication::applicationDirPath());
    const QString effects = folder.filePath(QStringLiteral("Effects.swf"));
    const QStringList templates = folder.entryList({QStringLiteral("*.skrv")}, QDir::Files, QDir::Name);
    if (templates.isEmpty() || !QFileInfo(effects).isFile()) {
        std::fprintf(stderr, "bench_templates: no templates or Effects.swf in %s\n", qPrintable(folder.path()));
        return 1;
    }
    for (const QString& name : templates) {
        Player engine;
        QSize sheet(1024, 1024);
        engine.onFsCommand = [&sheet](const QString& command, const QString& args) {
            if (command.compare(QLatin1String("setsize"), Qt::CaseInsensitive) != 0)
                return;
            const QStringList parts = args.split(QLatin1Char('x'));
            if (parts.size() >= 2 && parts[0].toInt() > 0 && parts[1].toInt() > 0)
                sheet = QSize(parts[0].toInt(), parts[1].toInt());
        };
        if (const auto error = engine.loadMovie(0, folder.filePath(name))) {
            std::fprintf(stderr, "bench_templates: %s: %s\n", qPrintable(name), qPrintable(*error));
            continue;
        }
        engine.loadMovie(100, effects);
        switchEffectsOn(engine);
        const double atSheet = framesPerSecond(engine, sheet, frames);
        const double atLargest = framesPerSecond(engine, QSize(4096, 4096), std::max(1, frames / 4));
        std::printf("%s with effects: %dx%d %.1f frames/s, 4096x4096 %.1f frames/s\n", qPrintable(name),
                    sheet.width(), sheet.height(), atSheet, atLargest);
    }
    return 0;
}
