#include "CssText.h"

#include <QStringList>

namespace player::avm1::builtins::css_text {

namespace {

// The text with its /* comments */ taken out; an unfinished comment runs to the end.
QString withoutComments(const QString& css)
{
    QString result;
    result.reserve(css.size());
    qsizetype i = 0;
    while (i < css.size()) {
        if (css[i] == u'/' && i + 1 < css.size() && css[i + 1] == u'*') {
            const qsizetype end = css.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0)
                break;
            i = end + 2;
            result += u' ';
            continue;
        }
        result += css[i++];
    }
    return result;
}

std::vector<std::pair<QString, QString>> declarations(const QString& block)
{
    std::vector<std::pair<QString, QString>> result;
    for (const QString& part : block.split(u';')) {
        const qsizetype colon = part.indexOf(u':');
        if (colon < 0)
            continue;
        const QString name = part.left(colon).trimmed();
        if (name.isEmpty())
            continue;
        // A value keeps the blanks before the ';' or '}' that ends it: "a { color: red }"
        // gives "red ".
        QString value = part.mid(colon + 1);
        qsizetype start = 0;
        while (start < value.size() && value[start].isSpace())
            ++start;
        result.emplace_back(scriptName(name), value.mid(start));
    }
    return result;
}

} // namespace

QString scriptName(const QString& cssName)
{
    QString result;
    result.reserve(cssName.size());
    bool upperNext = false;
    for (QChar character : cssName) {
        if (character == u'-') {
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
    const QString text = withoutComments(css);
    std::vector<Rule> rules;
    qsizetype i = 0;
    while (true) {
        const qsizetype open = text.indexOf(u'{', i);
        if (open < 0) {
            // Only blanks may follow the last rule.
            if (!text.mid(i).trimmed().isEmpty())
                return std::nullopt;
            break;
        }
        const qsizetype close = text.indexOf(u'}', open + 1);
        if (close < 0)
            return std::nullopt;
        const QString selectors = text.mid(i, open - i);
        if (selectors.contains(u'}'))
            return std::nullopt;
        const auto body = declarations(text.mid(open + 1, close - open - 1));
        for (const QString& selector : selectors.split(u',')) {
            const QString name = selector.trimmed();
            if (name.isEmpty())
                return std::nullopt;
            rules.push_back(Rule{name, body});
        }
        i = close + 1;
    }
    return rules;
}

} // namespace player::avm1::builtins::css_text
