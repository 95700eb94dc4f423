#include "XmlParser.h"

namespace player::avm1::builtins {

namespace {

// Deeper documents are refused as malformed: the tree is turned into objects recursively.
constexpr int maximumDepth = 1024;

bool isWhiteSpace(QChar character)
{
    return character == u' ' || character == u'\t' || character == u'\r' || character == u'\n';
}

bool isOnlyWhiteSpace(const QString& text)
{
    for (QChar character : text) {
        if (!isWhiteSpace(character))
            return false;
    }
    return true;
}

bool isNameEnd(QChar character)
{
    return isWhiteSpace(character) || character == u'/' || character == u'>' || character == u'=';
}

class Reader {
public:
    Reader(const QString& text, bool ignoreWhite)
        : m_text(text)
        , m_ignoreWhite(ignoreWhite)
    {
    }

    ParsedXml read()
    {
        ParsedXmlNode document;
        std::vector<ParsedXmlNode*> open{&document};
        while (m_position < m_text.size() && m_result.status == xml_status::Ok) {
            if (m_text[m_position] != u'<')
                readText(*open.back());
            else
                readMarkup(open);
        }
        if (m_result.status == xml_status::Ok && open.size() > 1)
            m_result.status = xml_status::StartTagNotClosed;
        m_result.nodes = std::move(document.children);
        return std::move(m_result);
    }

private:
    bool startsWith(const char* prefix, Qt::CaseSensitivity sensitivity = Qt::CaseSensitive) const
    {
        return QStringView(m_text).mid(m_position).startsWith(QLatin1String(prefix), sensitivity);
    }

    // The text from here to the end of the terminator, or nothing when it never comes.
    std::optional<QString> takeThrough(const QString& terminator)
    {
        qsizetype end = m_text.indexOf(terminator, m_position);
        if (end < 0)
            return std::nullopt;
        end += terminator.size();
        QString taken = m_text.mid(m_position, end - m_position);
        m_position = end;
        return taken;
    }

    void addText(ParsedXmlNode& parent, const QString& text)
    {
        if (text.isEmpty() || (m_ignoreWhite && isOnlyWhiteSpace(text)))
            return;
        ParsedXmlNode node;
        node.type = ParsedXmlNode::TextType;
        node.value = text;
        parent.children.push_back(std::move(node));
    }

    void readText(ParsedXmlNode& parent)
    {
        qsizetype end = m_text.indexOf(u'<', m_position);
        if (end < 0)
            end = m_text.size();
        addText(parent, unescapeXml(m_text.mid(m_position, end - m_position)));
        m_position = end;
    }

    void readMarkup(std::vector<ParsedXmlNode*>& open)
    {
        if (startsWith("<!--")) {
            if (!takeThrough(QStringLiteral("-->")))
                m_result.status = xml_status::CommentNotTerminated;
        } else if (startsWith("<![CDATA[")) {
            std::optional<QString> section = takeThrough(QStringLiteral("]]>"));
            if (!section)
                m_result.status = xml_status::CdataNotTerminated;
            else
                addText(*open.back(), section->mid(9, section->size() - 12));
        } else if (startsWith("<?")) {
            std::optional<QString> declaration = takeThrough(QStringLiteral("?>"));
            if (!declaration)
                m_result.status = xml_status::DeclarationNotTerminated;
            else
                m_result.xmlDeclaration = *declaration;
        } else if (startsWith("<!")) {
            std::optional<QString> declaration = takeThrough(QStringLiteral(">"));
            if (!declaration)
                m_result.status = xml_status::DoctypeNotTerminated;
            else
                m_result.docTypeDeclaration = *declaration;
        } else if (startsWith("</")) {
            readEndTag(open);
        } else {
            readStartTag(open);
        }
    }

    QString readName()
    {
        qsizetype start = m_position;
        while (m_position < m_text.size() && !isNameEnd(m_text[m_position]))
            ++m_position;
        return m_text.mid(start, m_position - start);
    }

    void skipWhiteSpace()
    {
        while (m_position < m_text.size() && isWhiteSpace(m_text[m_position]))
            ++m_position;
    }

    void readEndTag(std::vector<ParsedXmlNode*>& open)
    {
        m_position += 2;
        QString name = readName();
        skipWhiteSpace();
        if (m_position >= m_text.size() || m_text[m_position] != u'>') {
            m_result.status = xml_status::ElementMalformed;
            return;
        }
        ++m_position;
        if (open.size() < 2 || open.back()->value != name) {
            m_result.status = xml_status::EndTagWithoutStart;
            return;
        }
        open.pop_back();
    }

    void readStartTag(std::vector<ParsedXmlNode*>& open)
    {
        ++m_position;
        ParsedXmlNode element;
        element.value = readName();
        if (element.value.isEmpty()) {
            m_result.status = xml_status::ElementMalformed;
            return;
        }
        for (;;) {
            skipWhiteSpace();
            if (m_position >= m_text.size()) {
                m_result.status = xml_status::ElementMalformed;
                return;
            }
            QChar next = m_text[m_position];
            if (next == u'>' || next == u'/')
                break;
            if (!readAttribute(element))
                return;
        }
        bool empty = m_text[m_position] == u'/';
        if (empty && (m_position + 1 >= m_text.size() || m_text[m_position + 1] != u'>')) {
            m_result.status = xml_status::ElementMalformed;
            return;
        }
        m_position += empty ? 2 : 1;
        if (!empty && int(open.size()) > maximumDepth) {
            m_result.status = xml_status::ElementMalformed;
            return;
        }
        ParsedXmlNode& parent = *open.back();
        parent.children.push_back(std::move(element));
        // Only the innermost open element gains children, so the addresses of the open
        // elements above it stay valid.
        if (!empty)
            open.push_back(&parent.children.back());
    }

    bool readAttribute(ParsedXmlNode& element)
    {
        QString name = readName();
        skipWhiteSpace();
        if (name.isEmpty() || m_position >= m_text.size() || m_text[m_position] != u'=') {
            m_result.status = xml_status::ElementMalformed;
            return false;
        }
        ++m_position;
        skipWhiteSpace();
        if (m_position >= m_text.size() || (m_text[m_position] != u'"' && m_text[m_position] != u'\'')) {
            m_result.status = xml_status::AttributeNotTerminated;
            return false;
        }
        QChar quote = m_text[m_position++];
        qsizetype end = m_text.indexOf(quote, m_position);
        if (end < 0) {
            m_result.status = xml_status::AttributeNotTerminated;
            return false;
        }
        QString value = unescapeXml(m_text.mid(m_position, end - m_position));
        m_position = end + 1;
        for (const auto& existing : element.attributes) {
            if (existing.first == name) {
                m_result.status = xml_status::ElementMalformed;
                return false;
            }
        }
        element.attributes.emplace_back(name, value);
        return true;
    }

    const QString& m_text;
    bool m_ignoreWhite;
    qsizetype m_position = 0;
    ParsedXml m_result;
};

std::optional<char32_t> characterReference(QStringView body)
{
    bool ok = false;
    uint code = 0;
    if (body.startsWith(u"#x") || body.startsWith(u"#X"))
        code = body.mid(2).toUInt(&ok, 16);
    else if (body.startsWith(u'#'))
        code = body.mid(1).toUInt(&ok, 10);
    if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    return char32_t(code);
}

} // namespace

ParsedXml parseXml(const QString& text, bool ignoreWhite)
{
    return Reader(text, ignoreWhite).read();
}

QString unescapeXml(const QString& text)
{
    if (!text.contains(u'&'))
        return text;
    static const std::pair<const char*, char16_t> named[] = {
        {"lt", u'<'}, {"gt", u'>'}, {"amp", u'&'}, {"quot", u'"'}, {"apos", u'\''}};
    QString result;
    result.reserve(text.size());
    qsizetype position = 0;
    while (position < text.size()) {
        QChar character = text[position];
        qsizetype end = character == u'&' ? text.indexOf(u';', position) : -1;
        if (end < 0 || end - position > 12) {
            result.append(character);
            ++position;
            continue;
        }
        QStringView body = QStringView(text).mid(position + 1, end - position - 1);
        bool replaced = false;
        for (const auto& [name, replacement] : named) {
            if (body == QLatin1String(name)) {
                result.append(QChar(replacement));
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            if (std::optional<char32_t> code = characterReference(body)) {
                result.append(QString::fromUcs4(&*code, 1));
                replaced = true;
            }
        }
        if (replaced) {
            position = end + 1;
        } else {
            result.append(character);
            ++position;
        }
    }
    return result;
}

QString escapeXml(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (QChar character : text) {
        switch (character.unicode()) {
        case u'&': result.append(QLatin1String("&amp;")); break;
        case u'<': result.append(QLatin1String("&lt;")); break;
        case u'>': result.append(QLatin1String("&gt;")); break;
        case u'"': result.append(QLatin1String("&quot;")); break;
        case u'\'': result.append(QLatin1String("&apos;")); break;
        default: result.append(character);
        }
    }
    return result;
}

} // namespace player::avm1::builtins
