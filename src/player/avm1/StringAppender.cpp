#include "StringAppender.h"

#include <cstring>

namespace player::avm1 {

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
        std::memcpy(end, first.utf16(), size_t(first.size()) * sizeof(char16_t));
        std::memcpy(end + first.size(), second.utf16(), size_t(second.size()) * sizeof(char16_t));
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
    std::memcpy(out, text.constData(), size_t(text.size()) * sizeof(char16_t));
    out += text.size();
    std::memcpy(out, first.utf16(), size_t(first.size()) * sizeof(char16_t));
    std::memcpy(out + first.size(), second.utf16(), size_t(second.size()) * sizeof(char16_t));
    if (length >= growingLength)
        m_buffer = result;
    text = std::move(result);
}

} // namespace player::avm1
