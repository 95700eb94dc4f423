#pragma once

#include "player/avm1/Object.h"
#include "player/display/TextStyles.h"

#include <optional>
#include <vector>

namespace player::avm1::builtins {

// A TextField.StyleSheet. What scripts see lives in two members the sheet makes on its first
// setStyle: _css, a copy of each style object as given, and _styles, what the sheet's transform
// method made of it. Text fields read neither: they use the formats the sheet kept from
// transform's results, which change only through setStyle and clear.
class StyleSheetObject final : public Object {
public:
    explicit StyleSheetObject(Object* prototype);

    // Keeps the format for a style name (names compare exactly); no format forgets it.
    void setFormat(const QString& name, const std::optional<display::TextFormat>& format);
    void clearFormats() { m_formats.clear(); }

    // The formats text fields use, made from the styles as they are now.
    display::TextStyles textStyles() const;

private:
    struct Style {
        QString name;
        display::TextFormat format;
    };
    std::vector<Style> m_formats;
};

// The format a style object asks for, as StyleSheet.transform reads it: "#RRGGBB" colours,
// sizes and margins as numbers with or without "px", and the CSS keywords for bold, italic,
// underline and alignment. What it does not set, or sets to something unreadable, stays unset.
display::TextFormat formatOfStyle(Machine& machine, Object* style);

// Puts TextField.StyleSheet on the TextField constructor.
void installStyleSheet(Machine& machine, Object* textFieldConstructor);

} // namespace player::avm1::builtins
