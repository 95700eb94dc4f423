#pragma once

#include "FormattedText.h"
#include "TextFont.h"

#include <functional>
#include <vector>

namespace player::display {

// Text set out in lines inside a field, in pixels from the field's top-left corner (its box's
// xMin, yMin). Flash keeps a 2-pixel gutter inside the box on every side; lines start below
// it, and margins and indents count from it.
struct TextLayout {
    // Characters of one format on one line, with the x of each character.
    struct Run {
        TextFormat format;
        TextFont font;
        QString text;
        std::vector<double> positions; // x of each character
        double width = 0;
        qsizetype begin = 0; // index of the first character in the whole text
    };
    struct Line {
        double top = 0;       // y of the line's top
        double ascent = 0;
        double descent = 0;
        double leading = 0;   // space added below the line
        double left = 0;      // x of the first character
        double width = 0;     // without trailing spaces
        qsizetype begin = 0;  // characters [begin, end) of the whole text, break excluded
        qsizetype end = 0;
        std::vector<Run> runs;
        double baseline() const { return top + ascent; }
    };

    std::vector<Line> lines;
    double textWidth = 0;  // widest line, margins excluded
    double textHeight = 0; // from the first line's top to the last line's bottom

    static constexpr double gutter = 2.0;

    struct Options {
        double width = 0;        // the box's width in pixels
        bool wordWrap = false;
        bool password = false;   // every character drawn as an asterisk
    };
    using FontLookup = std::function<TextFont(const TextFormat&)>;

    static TextLayout build(const FormattedText& text, const Options& options, const FontLookup& fonts);

    // The first line whose top is at or below `y`, for scrolling.
    int lineAt(double y) const;
};

} // namespace player::display
