#include "TurbulenceNoise.h"

#include <cmath>

namespace player::display {

namespace {

constexpr int64_t Modulus = 2147483647; // 2^31 - 1
constexpr int64_t Multiplier = 16807;
// The lattice is offset so that small negative coordinates stay positive before masking.
constexpr int LatticeOffset = 4096;

// Park–Miller "minimal standard" step, by Schrage's method so that nothing overflows.
int64_t nextRandom(int64_t seed)
{
    const int64_t quotient = Modulus / Multiplier;
    const int64_t remainder = Modulus % Multiplier;
    int64_t result = Multiplier * (seed % quotient) - remainder * (seed / quotient);
    if (result <= 0)
        result += Modulus;
    return result;
}

int64_t startingSeed(int64_t seed)
{
    if (seed <= 0)
        seed = -(seed % (Modulus - 1)) + 1;
    if (seed > Modulus - 1)
        seed = Modulus - 1;
    return seed;
}

double easeCurve(double t) { return t * t * (3.0 - 2.0 * t); }
double mix(double t, double a, double b) { return a + t * (b - a); }

} // namespace

TurbulenceNoise::TurbulenceNoise(int64_t seed)
{
    seed = startingSeed(seed);
    for (auto& gradients : m_gradients) {
        for (int i = 0; i < LatticeSize; ++i) {
            m_order[i] = i;
            for (double& component : gradients[i]) {
                seed = nextRandom(seed);
                component = double((seed % (2 * LatticeSize)) - LatticeSize) / LatticeSize;
            }
            const double length = std::hypot(gradients[i][0], gradients[i][1]);
            // A zero gradient divides to NaN, as it does in Flash; it then only ever meets
            // multiplications by the fractions of a point.
            gradients[i][0] /= length;
            gradients[i][1] /= length;
        }
    }
    for (int i = LatticeSize - 1; i > 0; --i) {
        seed = nextRandom(seed);
        std::swap(m_order[i], m_order[seed % LatticeSize]);
    }
    for (int i = 0; i < LatticeSize + 2; ++i) {
        m_order[LatticeSize + i] = m_order[i];
        for (auto& gradients : m_gradients)
            gradients[LatticeSize + i] = gradients[i];
    }
}

double TurbulenceNoise::lattice(int channel, double x, double y, const Stitch* stitch) const
{
    const double tx = x + LatticeOffset;
    const double ty = y + LatticeOffset;
    // Points beyond the range of whole numbers (a tiny base size, many octaves) have no lattice
    // cell; they add nothing rather than overflow.
    constexpr double Reach = 1e9;
    if (!(std::fabs(tx) < Reach && std::fabs(ty) < Reach))
        return 0;
    int x0 = static_cast<int>(tx);
    int y0 = static_cast<int>(ty);
    int x1 = x0 + 1;
    int y1 = y0 + 1;
    const double fx0 = tx - static_cast<int>(tx);
    const double fy0 = ty - static_cast<int>(ty);
    const double fx1 = fx0 - 1.0;
    const double fy1 = fy0 - 1.0;
    if (stitch) {
        if (x0 >= stitch->wrapX)
            x0 -= stitch->width;
        if (x1 >= stitch->wrapX)
            x1 -= stitch->width;
        if (y0 >= stitch->wrapY)
            y0 -= stitch->height;
        if (y1 >= stitch->wrapY)
            y1 -= stitch->height;
    }
    const int mask = LatticeSize - 1;
    const int left = m_order[x0 & mask];
    const int right = m_order[x1 & mask];
    const auto& gradients = m_gradients[channel];
    auto dot = [&](int corner, double fx, double fy) {
        const auto& gradient = gradients[corner];
        return fx * gradient[0] + fy * gradient[1];
    };
    const double sx = easeCurve(fx0);
    const double sy = easeCurve(fy0);
    const double top = mix(sx, dot(m_order[left + (y0 & mask)], fx0, fy0), dot(m_order[right + (y0 & mask)], fx1, fy0));
    const double bottom = mix(sx, dot(m_order[left + (y1 & mask)], fx0, fy1), dot(m_order[right + (y1 & mask)], fx1, fy1));
    return mix(sy, top, bottom);
}

double TurbulenceNoise::at(int channel, double x, double y, const Settings& settings) const
{
    double frequencyX = settings.frequencyX;
    double frequencyY = settings.frequencyY;
    Stitch stitch;
    if (settings.stitch) {
        // Frequencies move to the nearest ones that repeat across the tile. The reference
        // algorithm rounds the vertical one down with the horizontal frequency, and Flash keeps
        // that slip.
        if (frequencyX != 0) {
            const double lower = std::floor(settings.tileWidth * frequencyX) / settings.tileWidth;
            const double upper = std::ceil(settings.tileWidth * frequencyX) / settings.tileWidth;
            frequencyX = frequencyX / lower < upper / frequencyX ? lower : upper;
        }
        if (frequencyY != 0) {
            const double lower = std::floor(settings.tileHeight * frequencyX) / settings.tileHeight;
            const double upper = std::ceil(settings.tileHeight * frequencyY) / settings.tileHeight;
            frequencyY = frequencyY / lower < upper / frequencyY ? lower : upper;
        }
        stitch.width = static_cast<int>(settings.tileWidth * frequencyX + 0.5);
        stitch.height = static_cast<int>(settings.tileHeight * frequencyY + 0.5);
        stitch.wrapX = LatticeOffset + stitch.width;
        stitch.wrapY = LatticeOffset + stitch.height;
    }
    double sum = 0;
    double ratio = 1;
    for (int octave = 0; octave < settings.octaves; ++octave) {
        double offsetX = 0, offsetY = 0;
        if (octave < static_cast<int>(settings.offsets.size())) {
            offsetX = settings.offsets[octave][0];
            offsetY = settings.offsets[octave][1];
        }
        const double noise = lattice(channel, (x + offsetX) * frequencyX * ratio, (y + offsetY) * frequencyY * ratio,
                                     settings.stitch ? &stitch : nullptr);
        sum += (settings.fractal ? noise : std::fabs(noise)) / ratio;
        ratio *= 2;
        if (settings.stitch) {
            stitch.width *= 2;
            stitch.wrapX = 2 * stitch.wrapX - LatticeOffset;
            stitch.height *= 2;
            stitch.wrapY = 2 * stitch.wrapY - LatticeOffset;
        }
    }
    return sum;
}

} // namespace player::display
