#include "FrameDestination.h"

#include "DisplayBridge.h"
#include "Machine.h"
#include "NumberText.h"
#include "TargetPath.h"
#include "Value.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace player::avm1 {

namespace {

// The number a frame text spells out in full ("3", "-2", "2.5", "1e1", "inf"), or nothing.
std::optional<double> frameNumber(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    const char* begin = bytes.constData();
    const char* end = begin + bytes.size();
    if (begin != end && *begin == '+')
        ++begin;
    if (begin == end || *begin == '+')
        return std::nullopt;
    double value = 0;
    auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

constexpr int lastPossibleFrame = 65535; // counted from 1

} // namespace

std::optional<FrameDestination> frameDestination(Machine& machine, Object* clip, const Value& frame, int sceneBias)
{
    if (!clip)
        return std::nullopt;
    int32_t number = 0;
    Object* target = clip;
    if (frame.isNumber() && std::isfinite(frame.asNumber()) && std::trunc(frame.asNumber()) == frame.asNumber()) {
        number = number_text::toInt32(frame.asNumber());
    } else {
        QString text = machine.toString(frame);
        QString path;
        QString name;
        if (target_path::splitVariable(text, path, name)) {
            target = target_path::resolve(machine, clip, path);
            text = name;
        }
        if (!target || !machine.bridge().isClip(target))
            return std::nullopt;
        if (std::optional<double> parsed = frameNumber(text)) {
            number = number_text::toInt32(*parsed);
        } else {
            const int labelled = machine.bridge().frameOf(target, text);
            if (labelled < 0)
                return std::nullopt;
            number = labelled + 1;
        }
    }
    // The arithmetic wraps as Flash's does, except that the step back to 1 saturates: the
    // smallest integer leads to the last frame.
    int32_t biased = int32_t(uint32_t(number) - 1u + uint32_t(sceneBias));
    int32_t frameFromOne = biased == std::numeric_limits<int32_t>::max() ? biased : biased + 1;
    if (frameFromOne <= 0)
        return std::nullopt;
    return FrameDestination{target, std::min(frameFromOne, lastPossibleFrame) - 1};
}

} // namespace player::avm1
