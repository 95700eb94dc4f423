#include "texture/ColourText.h"

#include <algorithm>
#include <cctype>

namespace texture {

QString colourDigits(tools::ColourReference colour)
{
    const QString digits =
        QString::number(quint32(colour), 16).toUpper().rightJustified(6, QLatin1Char('0'));
    return digits.mid(4, 2) + digits.mid(2, 2) + digits.mid(0, 2);
}

std::optional<tools::ColourReference> colourFromDigits(const QString& digits)
{
    const QString padded = digits.rightJustified(6, QLatin1Char('0')).left(6);
    const QString swapped = padded.mid(4, 2) + padded.mid(2, 2) + padded.mid(0, 2);
    bool isHex = false;
    const uint value = swapped.toUInt(&isHex, 16);
    // toUInt() would accept a sign or blanks; a colour has six digits and nothing else.
    const bool allDigits = std::all_of(swapped.cbegin(), swapped.cend(), [](QChar c) {
        return c.unicode() < 128 && std::isxdigit(c.unicode());
    });
    if (!isHex || !allDigits)
        return std::nullopt;
    return tools::ColourReference(value);
}

QString movieColourText(tools::ColourReference colour)
{
    return QStringLiteral("0x") + colourDigits(colour);
}

std::optional<tools::ColourReference> colourOfMovieText(const std::optional<QString>& text)
{
    if (!text || text->size() < 2)
        return std::nullopt;
    return colourFromDigits(text->mid(2));
}

} // namespace texture
