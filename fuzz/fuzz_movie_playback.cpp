// Reading a movie and playing it for a few frames, with the mouse moved and pressed over it,
// drawn after each frame into a small image. Scripts get a budget of actions per frame, so a
// movie that loops for ever costs a bounded, repeatable amount of work. The movie's folder does
// not exist, so it can read no file.
#include "player/Player.h"
#include "player/ScriptServices.h"
#include "player/avm1/Machine.h"
#include "player/avm1/ScriptEngine.h"
#include "player/render/DisplayRenderer.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <cstddef>
#include <cstdint>

namespace {

constexpr int Frames = 4;
constexpr int ActionsPerFrame = 200000;

// Text needs fonts, and fonts need a GUI application; the test that replays saved inputs
// makes its own.
void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "fuzz_movie_playback";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(argc, argv);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ensureApplication();
    player::Player engine;
    auto scripts = std::make_unique<player::avm1::ScriptEngine>(std::make_unique<player::ScriptServices>(engine));
    scripts->machine().limits().setActionBudget(ActionsPerFrame);
    engine.setScriptHost(std::move(scripts));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (engine.loadMovieData(0, bytes, QStringLiteral("file:///nonexistent-fuzz-folder/movie.swf")))
        return 0;
    player::render::DisplayRenderer renderer;
    for (int frame = 0; frame < Frames; ++frame) {
        engine.mouseMove(10.0 * frame, 8.0 * frame);
        if (frame == 1)
            engine.mouseDown();
        if (frame == 2)
            engine.mouseUp();
        engine.advanceFrame();
        const QImage image = renderer.renderStageImage(engine.stage(), QSize(32, 24), player::ScaleMode::ExactFit);
        volatile int seen = image.isNull() ? 0 : qRed(image.pixel(0, 0));
        (void)seen;
    }
    return 0;
}
