#pragma once

#include "TextFormat.h"

#include <QString>
#include <map>

namespace player::display {

// The formats of a style sheet, as HTML text in a styled field uses them: by selector in lower
// case, "p" for an element and ".name" for a class. Flash matches class names without regard to
// case but otherwise exactly: a class attribute " red" or "red blue" names no class.
struct TextStyles {
    std::map<QString, TextFormat> bySelector;

    // The format for a selector given in any case; null when there is none.
    const TextFormat* find(const QString& selector) const
    {
        const auto found = bySelector.find(selector.toLower());
        return found == bySelector.end() ? nullptr : &found->second;
    }
};

} // namespace player::display
