#include "FormattedText.h"

#include <algorithm>

namespace player::display {

void FormattedText::setText(const QString& text, const TextFormat& format)
{
    m_text = text;
    m_runs.clear();
    if (!text.isEmpty())
        m_runs.push_back({text.size(), format});
}

void FormattedText::append(const QString& text, const TextFormat& format)
{
    if (text.isEmpty())
        return;
    m_text += text;
    if (!m_runs.empty() && m_runs.back().format == format)
        m_runs.back().length += text.size();
    else
        m_runs.push_back({text.size(), format});
}

void FormattedText::applyFormat(qsizetype begin, qsizetype end, const TextFormat& format)
{
    begin = std::clamp<qsizetype>(begin, 0, m_text.size());
    end = std::clamp<qsizetype>(end, begin, m_text.size());
    if (begin == end)
        return;
    std::vector<Run> result;
    qsizetype position = 0;
    for (const Run& run : m_runs) {
        const qsizetype runEnd = position + run.length;
        // Up to three pieces: before the range, inside it, after it.
        const qsizetype insideBegin = std::clamp(begin, position, runEnd);
        const qsizetype insideEnd = std::clamp(end, position, runEnd);
        if (insideBegin > position)
            result.push_back({insideBegin - position, run.format});
        if (insideEnd > insideBegin) {
            Run inside {insideEnd - insideBegin, run.format};
            inside.format.mergeFrom(format);
            result.push_back(inside);
        }
        if (runEnd > insideEnd)
            result.push_back({runEnd - insideEnd, run.format});
        position = runEnd;
    }
    m_runs = std::move(result);
    mergeNeighbours();
}

TextFormat FormattedText::formatOf(qsizetype begin, qsizetype end) const
{
    if (m_runs.empty())
        return {};
    begin = std::clamp<qsizetype>(begin, 0, m_text.size());
    end = std::clamp<qsizetype>(end, begin, m_text.size());
    if (begin == end)
        return {};
    std::optional<TextFormat> common;
    qsizetype position = 0;
    for (const Run& run : m_runs) {
        const qsizetype runEnd = position + run.length;
        if (runEnd > begin && position < end)
            common = common ? common->commonWith(run.format) : run.format;
        position = runEnd;
    }
    return common.value_or(TextFormat());
}

TextFormat FormattedText::formatAt(qsizetype index, const TextFormat& fallback) const
{
    qsizetype position = 0;
    for (const Run& run : m_runs) {
        position += run.length;
        if (index < position)
            return run.format;
    }
    return m_runs.empty() ? fallback : m_runs.back().format;
}

void FormattedText::replace(qsizetype begin, qsizetype end, const QString& text, const TextFormat& format)
{
    begin = std::clamp<qsizetype>(begin, 0, m_text.size());
    end = std::clamp<qsizetype>(end, begin, m_text.size());
    FormattedText result;
    qsizetype position = 0;
    for (const Run& run : m_runs) {
        const qsizetype runEnd = position + run.length;
        const qsizetype keepEnd = std::min(runEnd, begin);
        if (keepEnd > position)
            result.append(m_text.mid(position, keepEnd - position), run.format);
        position = runEnd;
    }
    result.append(text, format);
    position = 0;
    for (const Run& run : m_runs) {
        const qsizetype runEnd = position + run.length;
        const qsizetype keepBegin = std::max(position, end);
        if (runEnd > keepBegin)
            result.append(m_text.mid(keepBegin, runEnd - keepBegin), run.format);
        position = runEnd;
    }
    *this = std::move(result);
}

void FormattedText::mergeNeighbours()
{
    std::vector<Run> merged;
    for (Run& run : m_runs) {
        if (run.length <= 0)
            continue;
        if (!merged.empty() && merged.back().format == run.format)
            merged.back().length += run.length;
        else
            merged.push_back(std::move(run));
    }
    m_runs = std::move(merged);
}

} // namespace player::display
