#pragma once

#include "TextFormat.h"

#include <QString>
#include <vector>

namespace player::display {

// Text with a format for every character, kept as runs of equal format. Paragraphs end at a
// carriage return ('\r'), which is the only line break the text holds.
class FormattedText {
public:
    struct Run {
        qsizetype length = 0;
        TextFormat format;
    };

    const QString& text() const { return m_text; }
    const std::vector<Run>& runs() const { return m_runs; }
    bool isEmpty() const { return m_text.isEmpty(); }

    // Replaces everything with one run.
    void setText(const QString& text, const TextFormat& format);
    // Adds text at the end in the given format.
    void append(const QString& text, const TextFormat& format);
    // Applies the fields `format` sets to the characters [begin, end).
    void applyFormat(qsizetype begin, qsizetype end, const TextFormat& format);
    // What the characters [begin, end) have in common; nothing for an empty range.
    TextFormat formatOf(qsizetype begin, qsizetype end) const;
    // The format of the character at `index` (the last one past the end); `fallback` when empty.
    TextFormat formatAt(qsizetype index, const TextFormat& fallback) const;
    // Replaces the characters [begin, end) with text in the given format.
    void replace(qsizetype begin, qsizetype end, const QString& text, const TextFormat& format);

private:
    void mergeNeighbours();

    QString m_text;
    std::vector<Run> m_runs;
};

} // namespace player::display
