#include "LoadedFrameTest.h"

#include "ClipObject.h"
#include "Machine.h"
#include "NumberText.h"
#include "Value.h"

#include "player/display/MovieClip.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace player::avm1 {

namespace {

// The most frames Flash lets a timeline have.
constexpr int64_t frameLimit = 16000;

const display::MovieClip* timelineOf(Object* target)
{
    return target && target->kind() == ObjectKind::Clip ? static_cast<ClipObject*>(target)->clip() : nullptr;
}

// A whole number spelled out in full, wrapped to 32 bits; 0 for anything else.
int32_t wholeFrameNumber(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    const char* begin = bytes.constData();
    const char* end = begin + bytes.size();
    if (begin != end && *begin == '+')
        ++begin;
    double number = 0;
    auto [stop, error] = std::from_chars(begin, end, number);
    if (begin == end || *begin == '+' || error != std::errc() || stop != end)
        return 0;
    return std::isfinite(number) && std::trunc(number) == number ? number_text::toInt32(number) : 0;
}

} // namespace

bool waitForFrameLoaded(Object* target, int frameFromZero)
{
    if (frameFromZero > frameLimit)
        return false;
    const display::MovieClip* clip = timelineOf(target);
    if (!clip)
        return true;
    // The frame is compared with the count of frames loaded, not with the last loaded frame's
    // index: the frame after the loaded ones already counts.
    return clip->framesLoaded() >= std::min(frameFromZero, clip->totalFrames());
}

bool waitForFrame2Loaded(Machine& machine, Object* target, const Value& frame)
{
    int32_t number = 0;
    if (frame.isNumber() && std::isfinite(frame.asNumber()) && std::trunc(frame.asNumber()) == frame.asNumber())
        number = number_text::toInt32(frame.asNumber());
    else
        number = wholeFrameNumber(machine.toString(frame));
    // Flash steps the frame back to count from 0 and forward again; the smallest integer wraps on
    // the way back and saturates on the way forward, so it ends as the largest.
    if (number == std::numeric_limits<int32_t>::min())
        number = std::numeric_limits<int32_t>::max();
    if (number > frameLimit + 1)
        return false;
    const display::MovieClip* clip = timelineOf(target);
    if (!clip)
        return true;
    // The frame is taken as an unsigned 16-bit number here, so a negative one becomes large and
    // is bounded by the clip's length; one frame past those loaded still counts.
    const int asUnsigned = int(uint16_t(uint32_t(number)));
    return clip->framesLoaded() + 1 >= std::min(asUnsigned, clip->totalFrames());
}

} // namespace player::avm1
