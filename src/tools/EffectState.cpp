#include "tools/EffectState.h"

#include "player/MoviePlayer.h"
#include "tools/NumberText.h"

namespace tools {

EffectRange effectRange(Effect effect)
{
    switch (effect) {
    case Effect::AddSubtract:
        return {-99, 99, 0};
    case Effect::Difference:
        return {0, 99, 0};
    case Effect::Shading:
        return {0, 200, 100};
    case Effect::BlurShading:
    case Effect::Blur:
        return {0, 100, 0};
    }
    return {};
}

namespace {

std::optional<int> withinRange(Effect effect, std::optional<int> value)
{
    const EffectRange range = effectRange(effect);
    if (!value || *value < range.minimum || *value > range.maximum)
        return std::nullopt;
    return value;
}

std::optional<int> numberIn(const player::MoviePlayer& movie, const QString& name)
{
    const std::optional<QString> text = movie.variable(name);
    return text ? wholeNumber(*text) : std::nullopt;
}

} // namespace

EffectState EffectState::read(const player::MoviePlayer& movie)
{
    EffectState state;
    const std::optional<int> add = movie.currentFrameOf(effectTargets::Add);
    const std::optional<int> subtract = movie.currentFrameOf(effectTargets::Subtract);
    if (add && subtract)
        state.setValue(Effect::AddSubtract, withinRange(Effect::AddSubtract, *add - *subtract));
    state.setValue(Effect::Difference, withinRange(Effect::Difference, movie.currentFrameOf(effectTargets::Difference)));
    state.setValue(Effect::Shading, withinRange(Effect::Shading, numberIn(movie, effectTargets::Shading)));
    state.setValue(Effect::BlurShading, withinRange(Effect::BlurShading, numberIn(movie, effectTargets::BlurShading)));
    state.setValue(Effect::Blur, withinRange(Effect::Blur, numberIn(movie, effectTargets::Blur)));
    return state;
}

} // namespace tools
