#include "TextLayout.h"

#include <algorithm>
#include <cmath>

namespace player::display {

TextLayout TextLayout::build(const FormattedText& text, const Options& options, const FontLookup& fonts)
{
    TextLayout layout;
    const QString& characters = text.text();

    // One font per run of equal format.
    std::vector<TextFont> runFonts;
    std::vector<TextFormat> runFormats;
    std::vector<int> runOfCharacter(size_t(characters.size()), 0);
    {
        qsizetype position = 0;
        for (const FormattedText::Run& run : text.runs()) {
            runFormats.push_back(run.format);
            runFonts.push_back(fonts(run.format));
            for (qsizetype i = 0; i < run.length && position + i < characters.size(); ++i)
                runOfCharacter[size_t(position + i)] = int(runFormats.size() - 1);
            position += run.length;
        }
    }
    if (runFormats.empty()) {
        runFormats.push_back(TextFormat::fieldDefault());
        runFonts.push_back(fonts(runFormats.back()));
    }

    auto advanceOf = [&](qsizetype index) {
        const int run = runOfCharacter[size_t(index)];
        const QChar shown = options.password ? QChar(u'*') : characters[index];
        return runFonts[size_t(run)].advance(shown) + runFormats[size_t(run)].letterSpacing.value_or(0);
    };

    double y = gutter;
    qsizetype paragraphBegin = 0;
    while (true) {
        qsizetype paragraphEnd = characters.indexOf(u'\r', paragraphBegin);
        const bool lastParagraph = paragraphEnd < 0;
        if (lastParagraph)
            paragraphEnd = characters.size();
        const TextFormat paragraphFormat = text.formatAt(paragraphBegin, runFormats.front());
        // A bulleted paragraph's text starts 1.8 em in, where Flash puts it after the bullet.
        const double bulletIndent = paragraphFormat.bullet.value_or(false) ? 1.8 * paragraphFormat.size.value_or(12) : 0.0;
        const double leftMargin = paragraphFormat.leftMargin.value_or(0) + paragraphFormat.blockIndent.value_or(0) + bulletIndent;
        const double rightMargin = paragraphFormat.rightMargin.value_or(0);
        const double indent = paragraphFormat.indent.value_or(0);
        const TextAlignment align = paragraphFormat.align.value_or(TextAlignment::Left);

        // Lines of the paragraph: [lineBegin, lineEnd) each.
        qsizetype lineBegin = paragraphBegin;
        bool firstLine = true;
        do {
            const double lineIndent = firstLine ? indent : 0.0;
            const double available = options.width - 2 * gutter - leftMargin - rightMargin - lineIndent;
            qsizetype lineEnd = paragraphEnd;
            if (options.wordWrap) {
                double width = 0;
                qsizetype lastBreak = -1; // after the last space that fits
                for (qsizetype i = lineBegin; i < paragraphEnd; ++i) {
                    const bool space = characters[i] == u' ';
                    const double advance = advanceOf(i);
                    // Spaces may hang past the edge; other characters start a new line.
                    if (!space && width + advance > available && i > lineBegin) {
                        lineEnd = lastBreak > lineBegin ? lastBreak : i;
                        break;
                    }
                    width += advance;
                    if (space)
                        lastBreak = i + 1;
                }
            }

            Line line;
            line.begin = lineBegin;
            line.end = lineEnd;
            double x = 0;
            double trailingWidth = 0;
            int previousRun = -1;
            for (qsizetype i = lineBegin; i < lineEnd; ++i) {
                const int run = runOfCharacter[size_t(i)];
                if (run != previousRun) {
                    previousRun = run;
                    Run placed;
                    placed.format = runFormats[size_t(run)];
                    placed.font = runFonts[size_t(run)];
                    placed.begin = i;
                    line.runs.push_back(std::move(placed));
                }
                Run& current = line.runs.back();
                current.text.append(options.password ? QChar(u'*') : characters[i]);
                current.positions.push_back(x);
                const double advance = advanceOf(i);
                current.width += advance;
                x += advance;
                trailingWidth = characters[i] == u' ' ? trailingWidth + advance : 0.0;
            }
            // Trailing spaces count in the width of a left-aligned paragraph's last line; a line
            // aligned right or centred is placed, and measured, without them, and so is a line
            // that wraps at them.
            const bool placedByWidth = align == TextAlignment::Right || align == TextAlignment::Center;
            line.width = placedByWidth || lineEnd < paragraphEnd ? x - trailingWidth : x;
            // An empty line takes its height from the format at its place.
            if (line.runs.empty()) {
                const int run = lineBegin < characters.size() ? runOfCharacter[size_t(lineBegin)]
                                                              : (characters.isEmpty() ? 0 : runOfCharacter[size_t(characters.size() - 1)]);
                line.ascent = runFonts[size_t(run)].ascent();
                line.descent = runFonts[size_t(run)].descent();
                line.leading = runFormats[size_t(run)].leading.value_or(0);
            }
            for (const Run& run : line.runs) {
                line.ascent = std::max(line.ascent, run.font.ascent());
                line.descent = std::max(line.descent, run.font.descent());
                line.leading = std::max(line.leading, run.format.leading.value_or(0));
            }
            double offset = 0;
            const double room = available - line.width;
            if (align == TextAlignment::Right)
                offset = room;
            else if (align == TextAlignment::Center)
                offset = room / 2;
            line.left = gutter + leftMargin + lineIndent + std::max(0.0, offset);
            line.top = y;
            y += line.ascent + line.descent + line.leading;
            layout.textWidth = std::max(layout.textWidth, line.width);
            layout.lines.push_back(std::move(line));

            // A wrapped line's spaces stay at its end.
            lineBegin = lineEnd;
            firstLine = false;
        } while (lineBegin < paragraphEnd);

        if (lastParagraph)
            break;
        paragraphBegin = paragraphEnd + 1;
    }
    if (!layout.lines.empty()) {
        const Line& last = layout.lines.back();
        // The last line's leading counts as well.
        layout.textHeight = last.top + last.ascent + last.descent + last.leading - gutter;
    }
    // Empty text measures nothing.
    if (characters.isEmpty()) {
        layout.textWidth = 0;
        layout.textHeight = 0;
    }
    return layout;
}

int TextLayout::lineAt(double y) const
{
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].top >= y)
            return int(i);
    }
    return int(lines.size());
}

} // namespace player::display
