#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace player::display {

enum class TextAlignment { Left, Right, Center, Justify };

// The character and paragraph formatting of a run of text. Every field may be unset: a format
// read from a range of text leaves unset what differs within the range, and a format applied to
// text changes only what it sets.
struct TextFormat {
    std::optional<QString> font;
    std::optional<double> size; // pixels
    std::optional<uint32_t> color; // 0xRRGGBB
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> underline;
    std::optional<QString> url;
    std::optional<QString> target;
    std::optional<TextAlignment> align;
    std::optional<double> leftMargin;
    std::optional<double> rightMargin;
    std::optional<double> indent;
    std::optional<double> leading;
    std::optional<double> blockIndent;
    std::optional<bool> bullet;
    std::optional<bool> kerning;
    std::optional<double> letterSpacing;
    std::optional<std::vector<double>> tabStops;

    // Copies every field that `other` sets.
    void mergeFrom(const TextFormat& other);
    // The fields both formats set to the same value.
    TextFormat commonWith(const TextFormat& other) const;

    // What a new text field uses before anything is set: 12-pixel black Times New Roman.
    static TextFormat fieldDefault();

    bool operator==(const TextFormat&) const = default;
};

QString alignmentName(TextAlignment alignment);
std::optional<TextAlignment> alignmentFromName(const QString& name);

} // namespace player::display
