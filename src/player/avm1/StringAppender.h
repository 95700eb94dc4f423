#pragma once

#include <QString>

namespace player::avm1 {

// Joins strings for the concatenating actions. Scripts build long strings a piece at a time
// (text += piece), and copying the whole left side at every step makes that quadratic. The
// appender keeps one growing buffer: a string that ends where the buffer's text ends gets the
// right side written in place behind it, and the result shares the buffer with a greater
// length. Strings made earlier from the same buffer keep their shorter length, so they never
// see the characters added after them; a later join onto one of them copies as usual.
class StringAppender {
public:
    QString concatenate(const QString& left, const QString& right);
    // text += piece: in place when text ends where the buffer's text ends and the buffer has
    // room; otherwise text becomes a new string, with room to grow when it is long.
    void append(QString& text, QStringView piece) { append(text, piece, QStringView()); }
    // text += first + second, in one step: the joined pieces are never made.
    void append(QString& text, QStringView first, QStringView second);
    // Lets go of the growing buffer (its memory is freed once no string uses it).
    void release() { m_buffer = QString(); }

    // Results shorter than this are joined plainly, without room to grow.
    static constexpr qsizetype growingLength = 64;

private:
    // Holds a reference to the growing buffer, so that no one else may write into it, and its
    // length is the end of the text written there so far.
    QString m_buffer;
};

} // namespace player::avm1
