#include "texture/ItemDefinition.h"

#include "platform/RuntimeError.h"
#include "platform/Settings.h"

#include <cmath>
#include <limits>

namespace texture {

namespace {

const QString JumpKind = QStringLiteral("goto");
const QString ClipJumpPrefix = QStringLiteral("goto|");

} // namespace

ItemDefinition::ItemDefinition(const QString& line)
    : m_line(line)
    , m_fields(line.split(QLatin1Char('&')))
{
}

ItemDefinition::Kind ItemDefinition::kind() const
{
    const QString text = kindText();
    if (text == QLatin1String("colour"))
        return Kind::Colour;
    if (text == QLatin1String("file"))
        return Kind::File;
    // Tested in this order, so a plain "goto" is a jump of the main timeline.
    if (text == JumpKind)
        return Kind::Jump;
    if (text.startsWith(ClipJumpPrefix))
        return Kind::ClipJump;
    return Kind::Other;
}

QString ItemDefinition::jumpTarget() const
{
    return kindText().section(QLatin1Char('|'), 1, 1);
}

std::optional<int> ItemDefinition::jumpFrame() const
{
    bool isNumber = false;
    const double number = parameter().trimmed().toDouble(&isNumber);
    if (!isNumber || !std::isfinite(number))
        return std::nullopt;
    // The default rounding mode takes halves to the even neighbour.
    const double frame = std::nearbyint(number - 1.0);
    if (frame < double(std::numeric_limits<int>::min()) || frame > double(std::numeric_limits<int>::max()))
        return std::nullopt;
    return int(frame);
}

bool ItemDefinition::isEnabled(bool plainColourMode, bool gradientWindowShown) const
{
    if (!hasFields())
        return true;
    if (!isComplete())
        throw RuntimeError(9, platform::applicationName(), QStringLiteral("Subscript out of range"));
    const QString text = kindText();
    if (text == QLatin1String("file") || text == JumpKind || text.startsWith(ClipJumpPrefix))
        return true;
    return !plainColourMode && !gradientWindowShown;
}

} // namespace texture
