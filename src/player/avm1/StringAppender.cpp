#include "StringAppender.h"

#include <cstring>

namespace player::avm1 {

namespace {

// Copies `count` characters; an empty text may have no characters at all to point at.
void copyCharacters(char16_t* to, const void* from, qsizetype count)
{
    if (count > 0)
        std::memcpy(to, from, size_t(count) * sizeof(char16_t));
}

} // namespace

QString StringAppender::concatenate(const QString& left, const QString& right)
{
    if (right.isEmpty())
        return left;
    if (left.isEmpty())
        return right;
    QString result = left;
    append(result, right);
    return result;
}

void StringAppender::append(QString& text, QStringView first, QStringView second)
{
    const qsizetype added = first.size() + second.size();
    if (added == 0)
        return;
    QString::DataPointer& buffer = m_buffer.data_ptr();
    QString::DataPointer& target = text.data_ptr();
    // The buffer keeps one slot past the text for the terminating zero. A piece may lie in
    // the text itself (text += text): it is read from before the end, written behind it.
    if (buffer.d && target.d == buffer.d && target.data() == buffer.data() && target.size == buffer.size
        && buffer.freeSpaceAtEnd() > added) {
        char16_t* end = buffer.data() + buffer.size;
        copyCharacters(end, first.utf16(), first.size());
        copyCharacters(end + first.size(), second.utf16(), second.size());
        end[added] = 0;
        buffer.size += added;
        target.size = buffer.size;
        return;
    }
    const qsizetype length = text.size() + added;
    QString result;
    if (length < growingLength) {
        result = QString(length, Qt::Uninitialized);
    } else {
        result.reserve(2 * length);
        result.resize(length);
    }
    // The texts copied straight into the new string, which no one else holds yet.
    char16_t* out = result.data_ptr().data();
    copyCharacters(out, text.constData(), text.size());
    out += text.size();
    copyCharacters(out, first.utf16(), first.size());
    copyCharacters(out + first.size(), second.utf16(), second.size());
    if (length >= growingLength)
        m_buffer = result;
    text = std::move(result);
}

} // namespace player::avm1
