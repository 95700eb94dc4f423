#pragma once

#include "player/avm1/Object.h"
#include "player/display/TextStyles.h"

#include <vector>

namespace player::avm1::builtins {

// A TextField.StyleSheet: named styles, each a plain object of CSS properties by their script
// names ("fontSize", "color"). The sheet keeps its own copies, so a script changing the object
// it passed to setStyle changes nothing here.
class StyleSheetObject final : public Object {
public:
    explicit StyleSheetObject(Object* prototype);

    // Replaces the style of that name (names compare exactly), or adds it at the end; a null
    // style removes it.
    void setStyle(const QString& name, Object* style);
    Object* style(const QString& name) const;
    std::vector<QString> styleNames() const;
    void clear() { m_styles.clear(); }

    // The formats text fields use, made from the styles as they are now.
    display::TextStyles textStyles(Machine& machine) const;

    void traceReferences(Marker& marker) override;

private:
    struct Style {
        QString name;
        Object* properties = nullptr;
    };
    std::vector<Style> m_styles;
};

// The format a style object asks for, as StyleSheet.transform reads it: "#RRGGBB" colours,
// sizes and margins as numbers with or without "px", and the CSS keywords for bold, italic,
// underline and alignment. What it does not set, or sets to something unreadable, stays unset.
display::TextFormat formatOfStyle(Machine& machine, Object* style);

// Puts TextField.StyleSheet on the TextField constructor.
void installStyleSheet(Machine& machine, Object* textFieldConstructor);

} // namespace player::avm1::builtins
