#pragma once

#include <QString>
#include <array>
#include <optional>

namespace player {
class MoviePlayer;
}

namespace tools {

// The five effects of the effects overlay, the movie loaded above the template in layer 100.
enum class Effect { AddSubtract, Difference, Shading, BlurShading, Blur };
inline constexpr std::array<Effect, 5> AllEffects{Effect::AddSubtract, Effect::Difference, Effect::Shading,
                                                  Effect::BlurShading, Effect::Blur};

// The values an effect takes and the one that means "no effect".
struct EffectRange {
    int minimum = 0;
    int maximum = 0;
    int neutral = 0;
};
EffectRange effectRange(Effect effect);

// Where the effects live in the movie. Add and subtract are two clips whose frame (from 0) is
// the strength; one value drives both, positive values the add clip and negative ones the
// subtract clip, which is then asked for the negated value. Difference is a clip driven the same
// way. Shading is the alpha of the template's own clip "shading"; the two blurs are variables of
// the overlay, 0 to 100.
namespace effectTargets {
inline const QString Add = QStringLiteral("_level100.addeffect");
inline const QString Subtract = QStringLiteral("_level100.subtracteffect");
inline const QString Difference = QStringLiteral("_level100.differenceeffect");
inline const QString Shading = QStringLiteral("/:shading._alpha");
inline const QString BlurShading = QStringLiteral("_level100.blurshadingeffect");
inline const QString Blur = QStringLiteral("_level100.blureffect");
} // namespace effectTargets

// What the overlay shows now, read back from the movie: one value per effect, or nothing where
// the movie does not offer the effect (a missing clip or variable, a value that is not a
// number or lies outside the effect's range). A fraction is rounded, halves to even.
class EffectState {
public:
    static EffectState read(const player::MoviePlayer& movie);

    std::optional<int> value(Effect effect) const { return m_values[size_t(effect)]; }
    void setValue(Effect effect, std::optional<int> value) { m_values[size_t(effect)] = value; }

private:
    std::array<std::optional<int>, AllEffects.size()> m_values{};
};

} // namespace tools
