#pragma once

#include "FormattedText.h"
#include "TextStyles.h"

namespace player::display {

// The HTML that text fields read and write: the subset Flash 8 knows (P, BR, B, I, U, FONT,
// A, LI, TEXTFORMAT, SPAN). Unknown tags are skipped and malformed markup never fails: what
// cannot be read is dropped, as Flash does.
namespace html_text {

// Reads markup into formatted text. `base` is the format of text outside any tag. With style
// sheet formats, a tag takes its element's format (P, A and LI only), then its class's, then
// its own attributes; SPAN then changes the format as well.
// How a field reads markup, which depends on the field and the movie's version.
struct ParseRules {
    // P, LI and BR break paragraphs (a single-line field from SWF 7 on ignores them; line ends
    // in the markup's text still break).
    bool tagBreaks = true;
    // The break closing the last paragraph is kept ("<p>a</p>" is "a\r"), as in multiline fields.
    bool keepFinalBreak = false;
    // Text between tags that is only blanks and line ends is dropped (before SWF 8).
    bool dropBlankText = false;
    // FONT's KERNING attribute counts (from SWF 8 on; older players have no kerning).
    bool readKerning = true;
};

FormattedText parse(const QString& html, const TextFormat& base, const TextStyles* styles = nullptr,
                    const ParseRules& rules = {});

// Writes formatted text as Flash writes a field's htmlText: a P (or LI) per paragraph with the
// paragraph's alignment, a FONT with the full character format, and inner tags for what changes.
QString write(const FormattedText& text);

// Escapes the characters markup reserves.
QString escape(const QString& text);

} // namespace html_text

} // namespace player::display
