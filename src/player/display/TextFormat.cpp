#include "TextFormat.h"

namespace player::display {

namespace {

template <typename Field>
void mergeField(std::optional<Field>& into, const std::optional<Field>& from)
{
    if (from)
        into = from;
}

template <typename Field>
std::optional<Field> commonField(const std::optional<Field>& first, const std::optional<Field>& second)
{
    return first == second ? first : std::nullopt;
}

} // namespace

void TextFormat::mergeFrom(const TextFormat& other)
{
    mergeField(font, other.font);
    mergeField(size, other.size);
    mergeField(color, other.color);
    mergeField(bold, other.bold);
    mergeField(italic, other.italic);
    mergeField(underline, other.underline);
    mergeField(url, other.url);
    mergeField(target, other.target);
    mergeField(align, other.align);
    mergeField(leftMargin, other.leftMargin);
    mergeField(rightMargin, other.rightMargin);
    mergeField(indent, other.indent);
    mergeField(leading, other.leading);
    mergeField(blockIndent, other.blockIndent);
    mergeField(bullet, other.bullet);
    mergeField(kerning, other.kerning);
    mergeField(letterSpacing, other.letterSpacing);
    mergeField(tabStops, other.tabStops);
}

TextFormat TextFormat::commonWith(const TextFormat& other) const
{
    TextFormat result;
    result.font = commonField(font, other.font);
    result.size = commonField(size, other.size);
    result.color = commonField(color, other.color);
    result.bold = commonField(bold, other.bold);
    result.italic = commonField(italic, other.italic);
    result.underline = commonField(underline, other.underline);
    result.url = commonField(url, other.url);
    result.target = commonField(target, other.target);
    result.align = commonField(align, other.align);
    result.leftMargin = commonField(leftMargin, other.leftMargin);
    result.rightMargin = commonField(rightMargin, other.rightMargin);
    result.indent = commonField(indent, other.indent);
    result.leading = commonField(leading, other.leading);
    result.blockIndent = commonField(blockIndent, other.blockIndent);
    result.bullet = commonField(bullet, other.bullet);
    result.kerning = commonField(kerning, other.kerning);
    result.letterSpacing = commonField(letterSpacing, other.letterSpacing);
    result.tabStops = commonField(tabStops, other.tabStops);
    return result;
}

TextFormat TextFormat::fieldDefault()
{
    TextFormat format;
    format.font = QStringLiteral("Times New Roman");
    format.size = 12;
    format.color = 0;
    format.bold = false;
    format.italic = false;
    format.underline = false;
    format.url = QString();
    format.target = QString();
    format.align = TextAlignment::Left;
    format.leftMargin = 0;
    format.rightMargin = 0;
    format.indent = 0;
    format.leading = 0;
    format.blockIndent = 0;
    format.bullet = false;
    format.kerning = false;
    format.letterSpacing = 0;
    format.tabStops = std::vector<double>();
    return format;
}

QString alignmentName(TextAlignment alignment)
{
    switch (alignment) {
    case TextAlignment::Left: return QStringLiteral("left");
    case TextAlignment::Right: return QStringLiteral("right");
    case TextAlignment::Center: return QStringLiteral("center");
    case TextAlignment::Justify: return QStringLiteral("justify");
    }
    return QStringLiteral("left");
}

std::optional<TextAlignment> alignmentFromName(const QString& name)
{
    const QString lower = name.toLower();
    if (lower == QLatin1String("left"))
        return TextAlignment::Left;
    if (lower == QLatin1String("right"))
        return TextAlignment::Right;
    if (lower == QLatin1String("center"))
        return TextAlignment::Center;
    if (lower == QLatin1String("justify"))
        return TextAlignment::Justify;
    return std::nullopt;
}

} // namespace player::display
