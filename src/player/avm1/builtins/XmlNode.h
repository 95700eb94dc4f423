#pragma once

#include "XmlParser.h"

#include "player/avm1/Object.h"

#include <optional>
#include <vector>

namespace player::avm1 {

class ArrayObject;
class Machine;

namespace builtins {

// One node of an XML tree, and the script object that stands for it: an element (type 1)
// with a tag name and attributes, or a text node (type 3). A document is an element without
// a name; XML objects are documents. A node keeps its children in order and knows its parent,
// so a node is in one tree at most.
class XmlNodeObject : public Object {
public:
    XmlNodeObject(Machine& machine, Object* prototype, int type, std::optional<QString> value);

    int nodeType() const { return m_type; }
    bool isElement() const { return m_type == ParsedXmlNode::ElementType; }
    // The tag name of an element, the text of other nodes; nothing for a document.
    const std::optional<QString>& value() const { return m_value; }
    void setValue(const QString& value) { m_value = value; }

    Object* attributes() const { return m_attributes; }
    const std::vector<XmlNodeObject*>& children() const { return m_children; }
    XmlNodeObject* parentNode() const { return m_parent; }
    XmlNodeObject* sibling(int offset) const;

    // Puts a node among the children at a position, taking it from where it was. A node
    // cannot become a child of itself or of its own descendants: Flash ignores that.
    void insertChild(Machine& machine, size_t position, XmlNodeObject* child);
    void removeFromParent(Machine& machine);
    void removeAllChildren(Machine& machine);
    bool isAncestorOf(const XmlNodeObject* node) const;

    // The same array object every time, kept up to date as the children change.
    ArrayObject* childNodesArray(Machine& machine);

    // The markup of the node and everything under it.
    QString toXmlString(Machine& machine);
    XmlNodeObject* duplicate(Machine& machine, bool deep);

    // The namespace URI an "xmlns" attribute on this node or above gives a prefix; the empty
    // prefix matches any xmlns attribute.
    std::optional<Value> namespaceForPrefix(Machine& machine, const QString& prefix);

    void traceReferences(Marker& marker) override;

private:
    void refreshChildNodes(Machine& machine);

    int m_type;
    std::optional<QString> m_value;
    Object* m_attributes;
    std::vector<XmlNodeObject*> m_children;
    XmlNodeObject* m_parent = nullptr;
    ArrayObject* m_childNodes = nullptr;
};

// Attributes are kept newest first, so that for..in meets them in the order of the text, and
// they are written and searched in that order.
std::vector<Property> attributesInOrder(const XmlNodeObject* node);

// The node a script object is, or nothing.
XmlNodeObject* asXmlNode(Object* object);
XmlNodeObject* makeXmlNode(Machine& machine, int type, const std::optional<QString>& value);
// Appends a parsed tree's nodes under a parent; elements with an "id" attribute are also put
// on the id map when there is one.
void appendParsedNodes(Machine& machine, XmlNodeObject* parent, const std::vector<ParsedXmlNode>& nodes, Object* idMap);

void installXmlNode(Machine& machine);
void installXml(Machine& machine);

} // namespace builtins

} // namespace player::avm1
