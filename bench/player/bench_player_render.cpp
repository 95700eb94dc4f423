// Draws a busy vector movie built in memory (400 gradient and bitmap-filled shapes in 20 masked
// groups, turning every frame) and reports frames per second at 1024x1024 and 4096x4096.
// Usage: bench_player_render [frames] [size]; with a size, only that size, all the frames.

#include "player/Player.h"
#include "player/render/DisplayRenderer.h"
#include "player/render/RowWorkers.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace player;

namespace {

swf::Shape star(uint16_t id, int index)
{
    swf::Shape shape;
    shape.id = id;
    shape.version = 3;
    const int radius = 1200 + (index % 7) * 200;
    shape.bounds = {-radius, radius, -radius, radius};
    shape.edgeBounds = shape.bounds;
    swf::FillStyle fill;
    if (index % 3 == 2) {
        fill.type = swf::FillType::RepeatingBitmap;
        fill.bitmapId = 1;
        fill.bitmapMatrix = {20, 0, 0, 20, 0, 0};
    } else {
        fill.type = index % 3 == 0 ? swf::FillType::LinearGradient : swf::FillType::RadialGradient;
        fill.gradient.matrix = {radius / 16384.0, 0, 0, radius / 16384.0, 0, 0};
        fill.gradient.records = {{0, {255, uint8_t(index * 37), 0, 255}},
                                 {128, {0, 200, uint8_t(index * 11), 200}},
                                 {255, {30, 0, 255, 255}}};
    }
    shape.fillStyles.push_back(fill);
    swf::LineStyle line;
    line.width = 40;
    line.color = {0, 0, 0, 255};
    shape.lineStyles.push_back(line);
    swf::StyleChangeRecord start;
    start.hasMove = true;
    start.hasFill1 = true;
    start.fill1 = 1;
    start.hasLine = true;
    start.line = 1;
    const int points = 5 + index % 4;
    for (int i = 0; i <= points * 2; ++i) {
        const double angle = M_PI * i / points;
        const double r = i % 2 ? radius * 0.45 : radius;
        const int x = int(std::lround(r * std::cos(angle)));
        const int y = int(std::lround(r * std::sin(angle)));
        if (i == 0) {
            start.moveX = x;
            start.moveY = y;
            shape.records.emplace_back(start);
        } else if (i % 2) {
            const double mid = M_PI * (i - 0.5) / points;
            shape.records.emplace_back(swf::CurvedEdgeRecord{int(radius * 0.8 * std::cos(mid)),
                                                             int(radius * 0.8 * std::sin(mid)), x, y});
        } else {
            shape.records.emplace_back(swf::StraightEdgeRecord{x, y});
        }
    }
    return shape;
}

swf::BitmapDefinition checkerBitmap()
{
    swf::BitmapDefinition bitmap;
    bitmap.id = 1;
    bitmap.kind = swf::BitmapDefinition::Kind::Lossless2;
    bitmap.losslessFormat = 5;
    bitmap.width = 64;
    bitmap.height = 64;
    std::vector<uint8_t> pixels;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool dark = ((x / 8) + (y / 8)) % 2;
            pixels.insert(pixels.end(), {255, uint8_t(dark ? 40 : 230), uint8_t(x * 4), uint8_t(y * 4)});
        }
    }
    uLongf size = compressBound(pixels.size());
    bitmap.imageData.resize(size);
    compress(bitmap.imageData.data(), &size, pixels.data(), pixels.size());
    bitmap.imageData.resize(size);
    return bitmap;
}

std::shared_ptr<swf::Movie> busyMovie()
{
    auto movie = std::make_shared<swf::Movie>();
    movie->header.version = 8;
    movie->header.frameSize = {0, 800 * 20, 0, 800 * 20};
    movie->header.frameRate = 30;
    movie->header.frameCount = 1;
    movie->timeline.declaredFrameCount = 1;
    movie->characters[1] = std::make_shared<const swf::Character>(checkerBitmap());
    for (int i = 0; i < 8; ++i)
        movie->characters[uint16_t(10 + i)] = std::make_shared<const swf::Character>(star(uint16_t(10 + i), i));
    swf::Frame frame;
    uint16_t depth = 1;
    for (int group = 0; group < 20; ++group) {
        // A mask over the next 20 shapes.
        swf::PlaceObject mask;
        mask.depth = depth++;
        mask.characterId = uint16_t(10 + group % 8);
        mask.matrix = swf::Matrix{4, 0, 0, 4, 800.0 * ((group % 5) * 160 + 80) / 40, 800.0 * ((group / 5) * 200 + 100) / 40};
        mask.clipDepth = uint16_t(depth + 19);
        frame.tags.emplace_back(mask);
        for (int i = 0; i < 20; ++i) {
            swf::PlaceObject place;
            place.depth = depth++;
            place.characterId = uint16_t(10 + (group + i) % 8);
            place.matrix = swf::Matrix{0.8, 0, 0, 0.8, double((group % 5) * 3200 + (i % 5) * 800 + 400),
                                       double((group / 5) * 4000 + (i / 5) * 1000 + 500)};
            frame.tags.emplace_back(place);
        }
    }
    movie->timeline.frames.push_back(std::move(frame));
    return movie;
}

double framesPerSecond(Player& engine, int size, int frames)
{
    render::DisplayRenderer renderer;
    display::MovieClip* root = engine.stage().level(0);
    QElapsedTimer timer;
    timer.start();
    for (int frame = 0; frame < frames; ++frame) {
        // Turn every shape a little, as an animation would.
        int n = 0;
        for (const auto& [depth, child] : root->children()) {
            const double angle = 0.05 * frame + 0.1 * n++;
            swf::Matrix m = child->matrix();
            const double scale = std::hypot(m.a, m.b);
            m.a = scale * std::cos(angle);
            m.b = scale * std::sin(angle);
            m.c = -m.b;
            m.d = m.a;
            child->setMatrix(m);
        }
        const QImage image = renderer.renderStageImage(engine.stage(), QSize(size, size), ScaleMode::ExactFit);
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
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    Player engine;
    engine.loadMovieLibrary(0, std::make_shared<display::MovieLibrary>(busyMovie(), QStringLiteral("busy.swf")));
    const size_t objects = engine.stage().level(0)->children().size();
    std::printf("busy movie: %zu objects (gradients, bitmap fills, 20 masks)\n", objects);
    // A size of its own (for profiling one size) draws only that, all the frames.
    if (argc > 2) {
        const int size = std::clamp(std::atoi(argv[2]), 16, 8192);
        std::printf("%dx%d: %.1f frames/s\n", size, size, framesPerSecond(engine, size, frames));
        return 0;
    }
    std::printf("1024x1024: %.1f frames/s\n", framesPerSecond(engine, 1024, frames));
    std::printf("4096x4096: %.1f frames/s\n", framesPerSecond(engine, 4096, std::max(1, frames / 4)));
    return 0;
}
