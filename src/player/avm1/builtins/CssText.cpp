#include "CssText.h"

#include <algorithm>

namespace player::avm1::builtins::css_text {

namespace {

bool isBlank(QChar character)
{
    return character == u' ' || character == u'\n' || character == u'\r' || character == u'\t';
}

bool isLineEnd(QChar character)
{
    return character == u'\n' || character == u'\r';
}

// Reads style sheet text the way Flash does: few things are errors, and what is not an error is
// taken as written (a property name may hold ';' or '}', a selector '}').
class CssReader {
public:
    explicit CssReader(const QString& text)
        : m_text(text)
    {
    }

    std::optional<std::vector<Rule>> rules()
    {
        std::vector<Rule> result;
        while (true) {
            skipBlanks();
            if (atEnd())
                return result;
            std::vector<QString> selectors;
            if (!readSelectors(selectors))
                return std::nullopt;
            std::vector<std::pair<QString, QString>> declarations;
            if (!readDeclarations(declarations))
                return std::nullopt;
            // A block with no selector is read and dropped.
            for (const QString& selector : selectors)
                result.push_back(Rule{selector, declarations});
        }
    }

private:
    bool atEnd() const { return m_at >= m_text.size(); }
    QChar peek() const { return m_text[m_at]; }

    // Skips blanks and /* comments */ (an unfinished one runs to the end); true when it moved.
    bool skipBlanks()
    {
        const qsizetype start = m_at;
        while (!atEnd()) {
            if (isBlank(peek())) {
                ++m_at;
            } else if (peek() == u'/' && m_at + 1 < m_text.size() && m_text[m_at + 1] == u'*') {
                const qsizetype end = m_text.indexOf(QLatin1String("*/"), m_at + 2);
                m_at = end < 0 ? m_text.size() : end + 2;
            } else {
                break;
            }
        }
        return m_at != start;
    }

    // The text from here up to (not including) the first character `stop` accepts, or the end.
    template<typename Stop>
    QString readUntil(Stop stop)
    {
        const qsizetype start = m_at;
        while (!atEnd() && !stop(peek()))
            ++m_at;
        return m_text.mid(start, m_at - start);
    }

    // Selectors are separated by commas and end at '{'. A blank inside a selector is an error.
    bool readSelectors(std::vector<QString>& selectors)
    {
        while (true) {
            skipBlanks();
            const QString name = readUntil([](QChar c) { return c == u'{' || c == u',' || isBlank(c); });
            if (!name.isEmpty())
                selectors.push_back(name);
            skipBlanks();
            if (atEnd())
                return false;
            const QChar next = peek();
            ++m_at;
            if (next == u'{')
                return true;
            if (next != u',')
                return false;
        }
    }

    // Declarations up to '}' or the end of the text. A name starts at its first character that
    // is not blank and runs to ':'; blanks may end it but not split it. A value starts after the
    // blanks behind ':' and runs to ';' or '}', keeping the blanks at its end. A value holding
    // ':' stops at the end of its line when it has one. The text may end between declarations,
    // but not inside one.
    bool readDeclarations(std::vector<std::pair<QString, QString>>& declarations)
    {
        while (true) {
            skipBlanks();
            if (atEnd())
                return true;
            if (peek() == u'}') {
                ++m_at;
                return true;
            }
            const qsizetype nameStart = m_at;
            QString name = readUntil([](QChar c) { return c == u':' || isBlank(c); });
            if (skipBlanks() && !atEnd()) {
                if (peek() != u':')
                    return false;
                name = m_text.mid(nameStart, m_at - nameStart);
            }
            if (atEnd())
                return false;
            ++m_at; // ':'
            skipBlanks();
            const qsizetype valueStart = m_at;
            QString value = readUntil([](QChar c) { return c == u';' || c == u':' || c == u'}'; });
            if (!atEnd() && peek() == u':') {
                m_at = valueStart;
                const QString line = readUntil(isLineEnd);
                if (!atEnd()) {
                    ++m_at;
                    add(declarations, name, line);
                    continue;
                }
                m_at = valueStart;
                value = readUntil([](QChar c) { return c == u';' || c == u'}'; });
            }
            if (atEnd())
                return false;
            const QChar end = peek();
            ++m_at;
            if (end == u';') {
                add(declarations, name, value);
                continue;
            }
            // The last value of a block ends at its first line end.
            const qsizetype lineEnd = std::find_if(value.begin(), value.end(), isLineEnd) - value.begin();
            add(declarations, name, value.left(lineEnd));
            return true;
        }
    }

    static void add(std::vector<std::pair<QString, QString>>& declarations, const QString& name, const QString& value)
    {
        if (!name.isEmpty())
            declarations.emplace_back(scriptName(name), value);
    }

    const QString& m_text;
    qsizetype m_at = 0;
};

} // namespace

QString scriptName(const QString& cssName)
{
    // A dash goes and the character after it is made upper case, a second dash too: "a--b"
    // becomes "a-b".
    QString result;
    result.reserve(cssName.size());
    bool upperNext = false;
    for (QChar character : cssName) {
        if (character == u'-' && !upperNext) {
            upperNext = true;
            continue;
        }
        result += upperNext ? character.toUpper() : character;
        upperNext = false;
    }
    return result;
}

std::optional<std::vector<Rule>> parse(const QString& css)
{
    return CssReader(css).rules();
}

} // namespace player::avm1::builtins::css_text
