#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace player::avm1::builtins {

// What XML.parseXML reads from a text, before any script object exists: a plain tree.
struct ParsedXmlNode {
    static constexpr int ElementType = 1;
    static constexpr int TextType = 3;

    int type = ElementType;
    // The tag name of an element, the text of a text node.
    QString value;
    // In the order they appear in the tag.
    std::vector<std::pair<QString, QString>> attributes;
    std::vector<ParsedXmlNode> children;
};

// The status codes Flash reports in XML.status.
namespace xml_status {
constexpr int Ok = 0;
constexpr int CdataNotTerminated = -2;
constexpr int DeclarationNotTerminated = -3;
constexpr int DoctypeNotTerminated = -4;
constexpr int CommentNotTerminated = -5;
constexpr int ElementMalformed = -6;
constexpr int AttributeNotTerminated = -8;
constexpr int StartTagNotClosed = -9;
constexpr int EndTagWithoutStart = -10;
} // namespace xml_status

struct ParsedXml {
    // The top-level nodes of the document.
    std::vector<ParsedXmlNode> nodes;
    std::optional<QString> xmlDeclaration;
    std::optional<QString> docTypeDeclaration;
    int status = xml_status::Ok;
};

// Flash's XML reader is forgiving and stops at the first error, keeping what it read up to
// there and reporting the error in the status. Comments are dropped, CDATA becomes text, and
// with ignoreWhite text made only of white space is left out.
ParsedXml parseXml(const QString& text, bool ignoreWhite);

// The five named entities and numeric character references; other entities stay as written.
QString unescapeXml(const QString& text);
// What toString writes for text and attribute values.
QString escapeXml(const QString& text);

} // namespace player::avm1::builtins
