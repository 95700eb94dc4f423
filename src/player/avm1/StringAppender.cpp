#include "StringAppender.h"

#include <cstring>

namespace player::avm1 {

QString StringAppender::concatenate(const QString& left, const QString& right)
{
    if (right.isEmpty())
        return left;
    if (left.isEmpty())
        return right;
    QString::DataPointer& buffer = m_buffer.data_ptr();
    const QString::DataPointer& leftData = left.data_ptr();
    // The buffer keeps one slot past the text for the terminating zero.
    if (buffer.d && leftData.d == buffer.d && leftData.data() == buffer.data() && leftData.size == buffer.size
        && buffer.freeSpaceAtEnd() > right.size()) {
        char16_t* end = buffer.data() + buffer.size;
        std::memcpy(end, right.constData(), size_t(right.size()) * sizeof(char16_t));
        buffer.size += right.size();
        end[right.size()] = 0;
        return m_buffer;
    }
    const qsizetype length = left.size() + right.size();
    QString result;
    if (length < growingLength) {
        result = QString(length, Qt::Uninitialized);
    } else {
        result.reserve(2 * length);
        result.resize(length);
    }
    // Both texts copied straight into the new string, which no one else holds yet.
    char16_t* out = result.data_ptr().data();
    std::memcpy(out, left.constData(), size_t(left.size()) * sizeof(char16_t));
    std::memcpy(out + left.size(), right.constData(), size_t(right.size()) * sizeof(char16_t));
    if (length >= growingLength)
        m_buffer = result;
    return result;
}

} // namespace player::avm1
