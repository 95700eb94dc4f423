#include "BitmapDataNoise.h"

#include "Declaration.h"

#include "BitmapDataObject.h"
#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/Machine.h"
#include "player/display/BitmapPixels.h"
#include "player/display/TurbulenceNoise.h"

#include <QImage>
#include <algorithm>
#include <cmath>

namespace player::avm1::builtins {

namespace {

using display::BitmapPixels;

// The channels a script picks with BitmapDataChannel's values.
constexpr int RedChannel = 1, GreenChannel = 2, BlueChannel = 4, AlphaChannel = 8;
constexpr int ColourChannels = RedChannel | GreenChannel | BlueChannel;
// More octaves than this change no pixel (each adds a part in 2^octave) but cost time.
constexpr int MostOctaves = 32;

// Flash converts noise to a channel by truncating, clamped to 0–255; a NaN gives 0.
uint32_t toChannel(double value)
{
    if (!(value > 0))
        return 0;
    return value >= 255 ? 255 : static_cast<uint32_t>(value);
}

uint32_t argb(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue)
{
    return (alpha << 24) | (red << 16) | (green << 8) | blue;
}

// The "minimal standard" generator noise() draws from; a seed of zero or less counts as its
// magnitude plus one.
class ParkMiller {
public:
    explicit ParkMiller(int32_t seed)
        : m_state(seed <= 0 ? uint32_t(1 - int64_t(seed)) : uint32_t(seed)) {}
    // A value from low to high, both included.
    uint32_t between(uint32_t low, uint32_t high)
    {
        m_state = static_cast<uint32_t>((uint64_t(m_state) * 16807u) % 2147483647u);
        return low + m_state % (high - low + 1);
    }

private:
    uint32_t m_state;
};

// noise(randomSeed, low = 0, high = 255, channelOptions = 7, grayScale = false)
Value noise(Machine& machine, Object* self, const Arguments& arguments)
{
    BitmapPixels* pixels = BitmapDataObject::pixelsOf(Value(self));
    if (!pixels)
        return Value(-1);
    // Flash answers -1 when the seed is missing and 0 when it made noise.
    if (arguments.empty())
        return Value(-1);
    const int32_t seed = machine.toInt32(arguments[0]);
    // Bounds given are clamped to 0–255 (so an undefined high gives 0), and high is at least low.
    auto bound = [&](size_t index, uint32_t missing) {
        return arguments.size() > index ? uint32_t(std::clamp(machine.toInt32(arguments[index]), 0, 255)) : missing;
    };
    const uint32_t low = bound(1, 0);
    const uint32_t high = std::max(bound(2, 255), low);
    const int channels = arguments.size() > 3 ? machine.toInt32(arguments[3]) & 0xFF : ColourChannels;
    const bool grey = machine.toBoolean(argument(arguments, 4));
    const bool alpha = pixels->isTransparent() && (channels & AlphaChannel);

    ParkMiller random(seed);
    auto pick = [&](int channel) { return (channels & channel) ? random.between(low, high) : 0u; };
    for (int y = 0; y < pixels->height(); ++y) {
        for (int x = 0; x < pixels->width(); ++x) {
            uint32_t color;
            if (grey) {
                const uint32_t level = random.between(low, high);
                color = argb(alpha ? random.between(low, high) : 255, level, level, level);
            } else {
                const uint32_t red = pick(RedChannel);
                const uint32_t green = pick(GreenChannel);
                const uint32_t blue = pick(BlueChannel);
                color = argb(alpha ? random.between(low, high) : 255, red, green, blue);
            }
            pixels->setPixel32(x, y, color);
        }
    }
    return Value(0);
}

std::vector<std::array<double, 2>> octaveOffsets(Machine& machine, const Value& value, int octaves)
{
    std::vector<std::array<double, 2>> offsets;
    Object* list = value.asObject();
    if (!list)
        return offsets;
    for (int octave = 0; octave < octaves; ++octave) {
        Object* point = list->get(machine, QString::number(octave)).asObject();
        if (!point) {
            offsets.push_back({0, 0});
            continue;
        }
        offsets.push_back({machine.toNumber(point->get(machine, QStringLiteral("x"))),
                           machine.toNumber(point->get(machine, QStringLiteral("y")))});
    }
    return offsets;
}

// perlinNoise(baseX, baseY, numOctaves, randomSeed, stitch, fractalNoise, channelOptions = 7,
//             grayScale = false, offsets = null)
Value perlinNoise(Machine& machine, Object* self, const Arguments& arguments)
{
    BitmapPixels* pixels = BitmapDataObject::pixelsOf(Value(self));
    if (!pixels)
        return Value(-1);
    const double baseX = machine.toNumber(argument(arguments, 0));
    const double baseY = machine.toNumber(argument(arguments, 1));
    const uint32_t octaveCount = static_cast<uint32_t>(machine.toInt32(argument(arguments, 2)));
    const int32_t seed = machine.toInt32(argument(arguments, 3));
    const int channels = arguments.size() > 6 ? machine.toInt32(arguments[6]) & 0xFF : ColourChannels;
    const bool grey = machine.toBoolean(argument(arguments, 7));

    display::TurbulenceNoise::Settings settings;
    settings.frequencyX = baseX == 0 ? 0 : 1 / baseX;
    settings.frequencyY = baseY == 0 ? 0 : 1 / baseY;
    settings.octaves = static_cast<int>(std::min<uint32_t>(octaveCount, MostOctaves));
    settings.stitch = machine.toBoolean(argument(arguments, 4));
    settings.fractal = machine.toBoolean(argument(arguments, 5));
    settings.tileWidth = pixels->width();
    settings.tileHeight = pixels->height();
    settings.offsets = octaveOffsets(machine, argument(arguments, 8), settings.octaves);
    const display::TurbulenceNoise generator(seed);

    // A fractal sum lies in -1..1 and a turbulence in 0..1. Flash adds the half for rounding
    // before it halves the fractal value, so the result leans up by a quarter.
    auto level = [&](double noise) {
        return toChannel(settings.fractal ? (noise * 255.0 + 255.0 + 0.5) / 2.0 : noise * 255.0 + 0.5);
    };
    QImage image(pixels->width(), pixels->height(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // Channels left out are -1 (which gives 0), alpha left out is 1. Flash numbers the
            // noise channels in the order it uses them, skipping those left out.
            double values[4] = {-1, -1, -1, 1};
            if (grey) {
                values[0] = values[1] = values[2] = generator.at(0, x, y, settings);
                if (channels & AlphaChannel)
                    values[3] = generator.at(1, x, y, settings);
            } else {
                int next = 0;
                for (int channel = 0; channel < 4; ++channel) {
                    if (channels & (1 << channel))
                        values[channel] = generator.at(next++, x, y, settings);
                }
            }
            const uint32_t alpha = pixels->isTransparent() ? level(values[3]) : 255;
            // Flash writes the levels as they are into its premultiplied store, and a level
            // above the alpha then saturates where the bitmap is drawn. Kept at most the alpha,
            // the store stays valid and looks the same over white.
            auto stored = [alpha](uint32_t value) { return std::min(value, alpha); };
            line[x] = argb(alpha, stored(level(values[0])), stored(level(values[1])), stored(level(values[2])));
        }
    }
    pixels->replaceImage(image);
    return Value();
}

} // namespace

void installBitmapDataNoise(Machine& machine, Object* prototype)
{
    static constexpr Declaration declarations[] = {
        method("noise", noise),
        method("perlinNoise", perlinNoise),
    };
    installDeclarations(machine, prototype, declarations);
}

} // namespace player::avm1::builtins
