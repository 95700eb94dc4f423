#include "HtmlText.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace player::display::html_text {

namespace {

struct Tag {
    QString name; // lower case, without the slash
    bool closing = false;
    std::vector<std::pair<QString, QString>> attributes; // names lower case
    bool malformed = false;
};

// Reads the tag starting after '<' up to the matching '>'. Attribute values are quoted either
// way; a bare value makes the tag malformed.
Tag readTag(const QString& body)
{
    Tag tag;
    qsizetype i = 0;
    const qsizetype size = body.size();
    auto skipSpaces = [&]() {
        while (i < size && body[i].isSpace())
            ++i;
    };
    skipSpaces();
    if (i < size && body[i] == u'/') {
        tag.closing = true;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < size && !body[i].isSpace() && body[i] != u'/' && body[i] != u'>')
        ++i;
    tag.name = body.mid(nameStart, i - nameStart).toLower();
    while (i < size) {
        skipSpaces();
        const qsizetype attributeStart = i;
        while (i < size && !body[i].isSpace() && body[i] != u'=' && body[i] != u'/')
            ++i;
        QString name = body.mid(attributeStart, i - attributeStart).toLower();
        if (name.isEmpty()) {
            ++i;
            continue;
        }
        skipSpaces();
        QString value;
        if (i < size && body[i] == u'=') {
            ++i;
            skipSpaces();
            if (i < size && (body[i] == u'"' || body[i] == u'\'')) {
                const QChar quote = body[i++];
                const qsizetype valueStart = i;
                while (i < size && body[i] != quote)
                    ++i;
                value = body.mid(valueStart, i - valueStart);
                ++i;
            } else {
                tag.malformed = true;
                return tag;
            }
        }
        tag.attributes.emplace_back(name, value);
    }
    return tag;
}

QString decodeEntities(const QString& text)
{
    if (!text.contains(u'&'))
        return text;
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            const qsizetype end = text.indexOf(u';', i);
            if (end > i && end - i <= 10) {
                const QString name = text.mid(i + 1, end - i - 1);
                static const std::pair<const char*, char16_t> known[] = {
                    {"lt", u'<'}, {"gt", u'>'}, {"amp", u'&'}, {"quot", u'"'}, {"apos", u'\''}, {"nbsp", u'\u00a0'}};
                bool found = false;
                for (const auto& [entity, character] : known) {
                    if (name == QLatin1String(entity)) {
                        result.append(QChar(character));
                        found = true;
                        break;
                    }
                }
                if (!found && name.startsWith(u'#')) {
                    bool ok = false;
                    const uint code = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive) ? name.mid(2).toUInt(&ok, 16)
                                                                                                 : name.mid(1).toUInt(&ok, 10);
                    if (ok && code > 0 && code <= 0xffff) {
                        result.append(QChar(char16_t(code)));
                        found = true;
                    }
                }
                if (found) {
                    i = end;
                    continue;
                }
            }
        }
        result.append(text[i]);
    }
    return result;
}

int hexDigitValue(QChar character)
{
    const char16_t code = character.unicode();
    if (code >= u'0' && code <= u'9')
        return code - u'0';
    if (code >= u'a' && code <= u'f')
        return code - u'a' + 10;
    if (code >= u'A' && code <= u'F')
        return code - u'A' + 10;
    return -1;
}

// A colour is '#', any blanks, then hexadecimal digits read up to the first other character and
// kept to their last 24 bits: "#ff00gp" is 0xff00, "#ff00ffffee" 0xffffee, "# 2a" 0x2a. A value
// that does not start with '#' or has no digit there leaves the colour around the tag as it is.
std::optional<uint32_t> parseColor(const QString& value)
{
    if (!value.startsWith(u'#'))
        return std::nullopt;
    qsizetype i = 1;
    while (i < value.size() && value[i].isSpace())
        ++i;
    uint32_t color = 0;
    bool any = false;
    for (; i < value.size(); ++i) {
        const int digit = hexDigitValue(value[i]);
        if (digit < 0)
            break;
        color = ((color << 4) | uint32_t(digit)) & 0xffffff;
        any = true;
    }
    if (!any)
        return std::nullopt;
    return color;
}

// A FONT size is an optional sign and the digits after it, the rest ignored ("1.9" is 1, "12px"
// 12); with a sign it is relative to the size around the tag. Sizes are kept within 1 to 127
// and a value without digits changes nothing.
std::optional<double> parseFontSize(const QString& value, double outer)
{
    const QString text = value.trimmed();
    qsizetype i = 0;
    const bool relative = i < text.size() && (text[i] == u'+' || text[i] == u'-');
    const bool negative = relative && text[i] == u'-';
    if (relative)
        ++i;
    const qsizetype digitsBegin = i;
    double number = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        number = std::min(number * 10 + (text[i].unicode() - u'0'), 1e6);
        ++i;
    }
    if (i == digitsBegin)
        return std::nullopt;
    double size = number;
    if (relative)
        size = negative ? outer - number : outer + number;
    return std::clamp(size, 1.0, 127.0);
}

void applyFontTag(const Tag& tag, TextFormat& format, bool readKerning)
{
    for (const auto& [name, value] : tag.attributes) {
        if (name == QLatin1String("face"))
            format.font = value;
        else if (name == QLatin1String("size")) {
            if (const auto size = parseFontSize(value, format.size.value_or(12)))
                format.size = *size;
        } else if (name == QLatin1String("color")) {
            if (const auto color = parseColor(value))
                format.color = *color;
        } else if (name == QLatin1String("letterspacing")) {
            bool ok = false;
            const double spacing = value.toDouble(&ok);
            if (ok)
                format.letterSpacing = spacing;
        } else if (name == QLatin1String("kerning") && readKerning) {
            format.kerning = value.trimmed() == QLatin1String("1");
        }
    }
}

void applyTextFormatTag(const Tag& tag, TextFormat& format)
{
    for (const auto& [name, value] : tag.attributes) {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (name == QLatin1String("tabstops")) {
            std::vector<double> stops;
            for (const QString& part : value.split(u',', Qt::SkipEmptyParts))
                stops.push_back(part.trimmed().toDouble());
            format.tabStops = stops;
            continue;
        }
        if (!ok)
            continue;
        if (name == QLatin1String("leftmargin"))
            format.leftMargin = number;
        else if (name == QLatin1String("rightmargin"))
            format.rightMargin = number;
        else if (name == QLatin1String("indent"))
            format.indent = number;
        else if (name == QLatin1String("blockindent"))
            format.blockIndent = number;
        else if (name == QLatin1String("leading"))
            format.leading = number;
    }
}

QString attribute(const Tag& tag, const char* name)
{
    for (const auto& [key, value] : tag.attributes) {
        if (key == QLatin1String(name))
            return value;
    }
    return {};
}

// What a style sheet gives a tag: Flash styles the P, A and LI elements by name (never FONT,
// SPAN or TEXTFORMAT), and any tag by its class.
void applyStyles(const Tag& tag, const TextStyles& styles, TextFormat& format)
{
    if (tag.name == QLatin1String("p") || tag.name == QLatin1String("a") || tag.name == QLatin1String("li")) {
        if (const TextFormat* element = styles.find(tag.name))
            format.mergeFrom(*element);
    }
    const QString className = attribute(tag, "class");
    if (className.isEmpty())
        return;
    if (const TextFormat* classFormat = styles.find(QStringLiteral(".") + className))
        format.mergeFrom(*classFormat);
}

// The paragraph's format (alignment, margins, bullet, tab stops) with the character format of
// `characters`.
TextFormat withCharacterFormat(const TextFormat& paragraph, const TextFormat& characters)
{
    TextFormat format = paragraph;
    format.font = characters.font;
    format.size = characters.size;
    format.color = characters.color;
    format.bold = characters.bold;
    format.italic = characters.italic;
    format.underline = characters.underline;
    format.url = characters.url;
    format.target = characters.target;
    format.kerning = characters.kerning;
    format.letterSpacing = characters.letterSpacing;
    return format;
}

} // namespace

FormattedText parse(const QString& html, const TextFormat& base, const TextStyles* styles, const ParseRules& rules)
{
    FormattedText result;
    // The formats of the open tags; closing a tag returns to the format before it.
    std::vector<std::pair<QString, TextFormat>> open;
    // Where the text stood when each open tag opened, to tell the tags that close empty.
    std::vector<qsizetype> openedAt;
    TextFormat current = base;
    bool lastBreakFromParagraph = false;
    // The break that ends a P takes the format of the last FONT that closed with nothing in it,
    // for the rest of the markup once there is one; until then, that of the text before it in
    // its paragraph, or the base format for an empty paragraph.
    std::optional<TextFormat> emptyTagFormat;
    auto endOfParagraphFormat = [&]() {
        const QString& text = result.text();
        return text.isEmpty() || text.endsWith(u'\r') ? base : result.formatAt(text.size() - 1, base);
    };
    auto paragraphBreak = [&](bool fromParagraph, const TextFormat& format) {
        if (!rules.tagBreaks)
            return;
        result.append(QStringLiteral("\r"), format);
        lastBreakFromParagraph = fromParagraph;
    };
    auto closeInnermost = [&]() {
        if (openedAt.back() == result.text().size() && open.back().first == QLatin1String("font"))
            emptyTagFormat = current;
        current = open.back().second;
        open.pop_back();
        openedAt.pop_back();
    };
    const qsizetype size = html.size();
    qsizetype i = 0;
    while (i < size) {
        if (html[i] == u'<') {
            const qsizetype end = html.indexOf(u'>', i);
            if (end < 0)
                break; // an unfinished tag ends the text
            const Tag tag = readTag(html.mid(i + 1, end - i - 1));
            if (tag.malformed)
                break; // so does a malformed one
            i = end + 1;
            if (tag.name.isEmpty() || tag.name.startsWith(u'!'))
                continue;
            auto isOpen = [&](const char* name) {
                return std::any_of(open.cbegin(), open.cend(), [&](const auto& entry) { return entry.first == QLatin1String(name); });
            };
            // Paragraphs do not nest: a P inside an open P is ignored, and so is a closing P
            // with none open ("<p>a<p>b</p>c</p>" is "ab", a break, "c").
            const bool paragraphTag = tag.name == QLatin1String("p") && !styles;
            if (paragraphTag && tag.closing != isOpen("p"))
                continue;
            if (tag.closing) {
                // With a style sheet a paragraph ends without a break: Flash runs "<p>a</p><p>b</p>"
                // together as "ab". The break belongs to the paragraph it ends, with its format.
                if (tag.name == QLatin1String("p") && !styles)
                    paragraphBreak(true, withCharacterFormat(current, emptyTagFormat ? *emptyTagFormat : endOfParagraphFormat()));
                else if (tag.name == QLatin1String("li"))
                    paragraphBreak(true, current);
                // An LI's end closes the innermost open LI and everything inside it; a P's end
                // closes the P alone, leaving the tags opened inside it open ("<p><li>a</p>b</li>"
                // ends b's paragraph as a list item). Any other closing tag closes the innermost
                // open tag only when it names it, and is ignored otherwise ("<b>a<i>b</b>c</i>"
                // leaves c bold).
                const bool paragraphEnd = tag.name == QLatin1String("p") || tag.name == QLatin1String("li");
                if (!paragraphEnd) {
                    if (!open.empty() && open.back().first == tag.name)
                        closeInnermost();
                    continue;
                }
                const auto named = std::find_if(open.rbegin(), open.rend(), [&](const auto& entry) { return entry.first == tag.name; });
                if (named != open.rend() && named != open.rbegin() && tag.name == QLatin1String("p")) {
                    const auto index = std::distance(open.begin(), std::prev(named.base()));
                    open.erase(open.begin() + index);
                    openedAt.erase(openedAt.begin() + index);
                } else if (named != open.rend()) {
                    const size_t keep = size_t(open.rend() - named) - 1;
                    while (open.size() > keep)
                        closeInnermost();
                }
                continue;
            }
            if (tag.name == QLatin1String("br")) {
                paragraphBreak(false, current);
                continue;
            }
            const bool selfClosing = html.mid(i - 2, 1) == QLatin1String("/");
            TextFormat inside = current;
            if (styles)
                applyStyles(tag, *styles, inside);
            if (tag.name == QLatin1String("p")) {
                if (auto align = alignmentFromName(attribute(tag, "align")))
                    inside.align = align;
            } else if (tag.name == QLatin1String("b"))
                inside.bold = true;
            else if (tag.name == QLatin1String("i"))
                inside.italic = true;
            else if (tag.name == QLatin1String("u"))
                inside.underline = true;
            else if (tag.name == QLatin1String("font"))
                applyFontTag(tag, inside, rules.readKerning);
            else if (tag.name == QLatin1String("a")) {
                inside.url = attribute(tag, "href");
                inside.target = attribute(tag, "target");
            } else if (tag.name == QLatin1String("li")) {
                // A list item starts a paragraph of its own after text on the same line.
                if (!result.text().isEmpty() && !result.text().endsWith(u'\r'))
                    paragraphBreak(false, current);
                inside.bullet = true;
            }
            else if (tag.name == QLatin1String("textformat"))
                applyTextFormatTag(tag, inside);
            else if (!styles || tag.name != QLatin1String("span"))
                continue; // unknown tags change nothing
            if (selfClosing)
                continue;
            open.emplace_back(tag.name, current);
            openedAt.push_back(result.text().size());
            current = inside;
            continue;
        }
        qsizetype end = html.indexOf(u'<', i);
        if (end < 0)
            end = size;
        QString piece = decodeEntities(html.mid(i, end - i));
        // Line ends in the markup are paragraph breaks; "\r\n" counts once.
        piece.replace(QLatin1String("\r\n"), QLatin1String("\r"));
        piece.replace(u'\n', u'\r');
        const bool blank = std::all_of(piece.cbegin(), piece.cend(), [](QChar c) {
            return c == u' ' || c == u'\r' || c == u'\t';
        });
        if (blank && rules.dropBlankText)
            piece.clear();
        if (!piece.isEmpty()) {
            result.append(piece, current);
            lastBreakFromParagraph = false;
        }
        i = end;
    }
    // The break that closes the last paragraph is not kept.
    if (lastBreakFromParagraph && !rules.keepFinalBreak && result.text().endsWith(u'\r'))
        result.replace(result.text().size() - 1, result.text().size(), QString(), current);
    return result;
}

QString escape(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (QChar character : text) {
        switch (character.unicode()) {
        case u'<': result += QLatin1String("&lt;"); break;
        case u'>': result += QLatin1String("&gt;"); break;
        case u'&': result += QLatin1String("&amp;"); break;
        case u'"': result += QLatin1String("&quot;"); break;
        case u'\'': result += QLatin1String("&apos;"); break;
        default: result += character;
        }
    }
    return result;
}

namespace {

QString number(double value)
{
    return QString::number(value, 'g', 15);
}

QString colorText(uint32_t color)
{
    return QStringLiteral("#%1").arg(color & 0xffffff, 6, 16, QLatin1Char('0')).toUpper();
}

// The FONT attributes of `format` that differ from `outer` (all of them when outer is null).
QString fontAttributes(const TextFormat& format, const TextFormat* outer)
{
    QString attributes;
    auto differs = [&](auto member) { return !outer || outer->*member != format.*member; };
    if (differs(&TextFormat::font))
        attributes += QStringLiteral(" FACE=\"%1\"").arg(escape(format.font.value_or(QString())));
    if (differs(&TextFormat::size))
        attributes += QStringLiteral(" SIZE=\"%1\"").arg(number(format.size.value_or(12)));
    if (differs(&TextFormat::color))
        attributes += QStringLiteral(" COLOR=\"%1\"").arg(colorText(format.color.value_or(0)));
    if (differs(&TextFormat::letterSpacing))
        attributes += QStringLiteral(" LETTERSPACING=\"%1\"").arg(number(format.letterSpacing.value_or(0)));
    if (differs(&TextFormat::kerning))
        attributes += QStringLiteral(" KERNING=\"%1\"").arg(format.kerning.value_or(false) ? 1 : 0);
    return attributes;
}

QString textFormatAttributes(const TextFormat& format)
{
    QString attributes;
    if (format.leftMargin.value_or(0) != 0)
        attributes += QStringLiteral(" LEFTMARGIN=\"%1\"").arg(number(*format.leftMargin));
    if (format.rightMargin.value_or(0) != 0)
        attributes += QStringLiteral(" RIGHTMARGIN=\"%1\"").arg(number(*format.rightMargin));
    if (format.indent.value_or(0) != 0)
        attributes += QStringLiteral(" INDENT=\"%1\"").arg(number(*format.indent));
    if (format.blockIndent.value_or(0) != 0)
        attributes += QStringLiteral(" BLOCKINDENT=\"%1\"").arg(number(*format.blockIndent));
    if (format.leading.value_or(0) != 0)
        attributes += QStringLiteral(" LEADING=\"%1\"").arg(number(*format.leading));
    if (format.tabStops && !format.tabStops->empty()) {
        QStringList stops;
        for (double stop : *format.tabStops)
            stops << number(stop);
        attributes += QStringLiteral(" TABSTOPS=\"%1\"").arg(stops.join(u','));
    }
    return attributes;
}

// Writes the paragraph [begin, end). `withBreak` when the break at `end` closes it: the break
// is not written, but its format is, as an empty run where it differs from the text before it
// ("<B></B>" for an empty paragraph ended by a bold break).
void writeParagraph(QString& out, const FormattedText& text, qsizetype begin, qsizetype end, bool withBreak)
{
    const TextFormat first = text.formatAt(begin, TextFormat::fieldDefault());
    const QString blockAttributes = textFormatAttributes(first);
    if (!blockAttributes.isEmpty())
        out += QStringLiteral("<TEXTFORMAT") + blockAttributes + u'>';
    const bool bullet = first.bullet.value_or(false);
    if (bullet)
        out += QStringLiteral("<LI>");
    else
        out += QStringLiteral("<P ALIGN=\"%1\">").arg(alignmentName(first.align.value_or(TextAlignment::Left)).toUpper());
    out += QStringLiteral("<FONT") + fontAttributes(first, nullptr) + u'>';
    // FONT tags nest: a run whose font matches an open FONT closes the ones inside it; any
    // other run opens a FONT inside the innermost one with what differs from it.
    std::vector<TextFormat> fonts {first};
    auto sameFont = [](const TextFormat& a, const TextFormat& b) { return fontAttributes(a, &b).isEmpty(); };
    // Runs that differ only in what the markup does not write (a bullet or margins inside a
    // paragraph) are written as one.
    struct Piece {
        TextFormat format;
        qsizetype begin;
        qsizetype end;
    };
    auto sameMarkup = [&](const TextFormat& a, const TextFormat& b) {
        return sameFont(a, b) && a.url.value_or(QString()) == b.url.value_or(QString())
            && a.target.value_or(QString()) == b.target.value_or(QString()) && a.bold.value_or(false) == b.bold.value_or(false)
            && a.italic.value_or(false) == b.italic.value_or(false) && a.underline.value_or(false) == b.underline.value_or(false);
    };
    std::vector<Piece> pieces;
    qsizetype position = 0;
    const qsizetype limit = withBreak ? end + 1 : end;
    for (const FormattedText::Run& run : text.runs()) {
        const qsizetype runBegin = std::max(position, begin);
        const qsizetype runEnd = std::min(position + run.length, limit);
        position += run.length;
        if (runEnd <= runBegin)
            continue;
        if (!pieces.empty() && pieces.back().end == runBegin && sameMarkup(pieces.back().format, run.format))
            pieces.back().end = runEnd;
        else
            pieces.push_back({run.format, runBegin, runEnd});
    }
    for (const Piece& run : pieces) {
        const qsizetype runBegin = run.begin;
        const qsizetype runEnd = run.end;
        QString closing;
        auto level = std::find_if(fonts.rbegin(), fonts.rend(), [&](const TextFormat& open) { return sameFont(run.format, open); });
        if (level != fonts.rend()) {
            const size_t keep = size_t(fonts.rend() - level);
            while (fonts.size() > keep) {
                out += QStringLiteral("</FONT>");
                fonts.pop_back();
            }
        } else {
            out += QStringLiteral("<FONT") + fontAttributes(run.format, &fonts.back()) + u'>';
            fonts.push_back(run.format);
        }
        if (!run.format.url.value_or(QString()).isEmpty()) {
            out += QStringLiteral("<A HREF=\"%1\" TARGET=\"%2\">").arg(escape(*run.format.url), escape(run.format.target.value_or(QString())));
            closing.prepend(QStringLiteral("</A>"));
        }
        if (run.format.bold.value_or(false)) {
            out += QStringLiteral("<B>");
            closing.prepend(QStringLiteral("</B>"));
        }
        if (run.format.italic.value_or(false)) {
            out += QStringLiteral("<I>");
            closing.prepend(QStringLiteral("</I>"));
        }
        if (run.format.underline.value_or(false)) {
            out += QStringLiteral("<U>");
            closing.prepend(QStringLiteral("</U>"));
        }
        out += escape(text.text().mid(runBegin, std::min(runEnd, end) - runBegin));
        out += closing;
    }
    for (size_t open = 0; open < fonts.size(); ++open)
        out += QStringLiteral("</FONT>");
    out += bullet ? QStringLiteral("</LI>") : QStringLiteral("</P>");
    if (!blockAttributes.isEmpty())
        out += QStringLiteral("</TEXTFORMAT>");
}

} // namespace

QString write(const FormattedText& text)
{
    QString out;
    const QString& characters = text.text();
    // A field without text has no paragraph to write.
    if (characters.isEmpty())
        return out;
    qsizetype begin = 0;
    // Every paragraph is written, the empty one after a final break included.
    while (true) {
        qsizetype end = characters.indexOf(u'\r', begin);
        if (end < 0) {
            writeParagraph(out, text, begin, characters.size(), false);
            break;
        }
        writeParagraph(out, text, begin, end, true);
        begin = end + 1;
        if (begin >= characters.size())
            break;
    }
    return out;
}

} // namespace player::display::html_text
