#include "XmlNode.h"

#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/Machine.h"
#include "player/avm1/Marker.h"

#include <algorithm>

namespace player::avm1::builtins {

std::vector<Property> attributesInOrder(const XmlNodeObject* node)
{
    const std::vector<Property>& properties = node->attributes()->ownProperties();
    return std::vector<Property>(properties.rbegin(), properties.rend());
}

XmlNodeObject::XmlNodeObject(Machine& machine, Object* prototype, int type, std::optional<QString> value)
    : Object(prototype)
    , m_type(type)
    , m_value(std::move(value))
    // Attribute objects have no prototype: an attribute named like an Object method is
    // still only an attribute.
    , m_attributes(machine.make<Object>(nullptr))
{
}

XmlNodeObject* XmlNodeObject::sibling(int offset) const
{
    if (!m_parent)
        return nullptr;
    const auto& siblings = m_parent->m_children;
    auto here = std::find(siblings.begin(), siblings.end(), this);
    qsizetype index = (here - siblings.begin()) + offset;
    return index >= 0 && index < qsizetype(siblings.size()) ? siblings[size_t(index)] : nullptr;
}

bool XmlNodeObject::isAncestorOf(const XmlNodeObject* node) const
{
    for (const XmlNodeObject* link = node; link; link = link->m_parent) {
        if (link == this)
            return true;
    }
    return false;
}

void XmlNodeObject::insertChild(Machine& machine, size_t position, XmlNodeObject* child)
{
    if (!child || child->isAncestorOf(this))
        return;
    if (child->m_parent) {
        XmlNodeObject* oldParent = child->m_parent;
        auto& oldSiblings = oldParent->m_children;
        auto here = std::find(oldSiblings.begin(), oldSiblings.end(), child);
        if (here != oldSiblings.end()) {
            size_t oldIndex = size_t(here - oldSiblings.begin());
            oldSiblings.erase(here);
            if (oldParent == this && oldIndex < position)
                --position;
        }
        if (oldParent != this)
            oldParent->refreshChildNodes(machine);
    }
    position = std::min(position, m_children.size());
    m_children.insert(m_children.begin() + qsizetype(position), child);
    child->m_parent = this;
    refreshChildNodes(machine);
}

void XmlNodeObject::removeFromParent(Machine& machine)
{
    if (!m_parent)
        return;
    auto& siblings = m_parent->m_children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    m_parent->refreshChildNodes(machine);
    m_parent = nullptr;
}

void XmlNodeObject::removeAllChildren(Machine& machine)
{
    for (XmlNodeObject* child : m_children)
        child->m_parent = nullptr;
    m_children.clear();
    refreshChildNodes(machine);
}

ArrayObject* XmlNodeObject::childNodesArray(Machine& machine)
{
    if (!m_childNodes) {
        m_childNodes = machine.makeArray();
        refreshChildNodes(machine);
    }
    return m_childNodes;
}

void XmlNodeObject::refreshChildNodes(Machine& machine)
{
    if (!m_childNodes)
        return;
    std::vector<Value> elements;
    for (XmlNodeObject* child : m_children)
        elements.emplace_back(static_cast<Object*>(child));
    m_childNodes->assign(machine, elements);
}

QString XmlNodeObject::toXmlString(Machine& machine)
{
    // Written without recursion: scripts can build trees of any depth.
    struct Step {
        XmlNodeObject* node;
        bool closing;
    };
    QString result;
    std::vector<Step> pending{{this, false}};
    while (!pending.empty()) {
        Step step = pending.back();
        pending.pop_back();
        XmlNodeObject* node = step.node;
        if (step.closing) {
            result += QLatin1String("</") + *node->m_value + u'>';
            continue;
        }
        if (!node->isElement()) {
            result += escapeXml(node->m_value.value_or(QString()));
            continue;
        }
        if (node->m_value) {
            result += u'<' + *node->m_value;
            for (const Property& attribute : attributesInOrder(node)) {
                QString text = machine.toString(attribute.value);
                result += u' ' + attribute.name + QLatin1String("=\"") + escapeXml(text) + u'"';
            }
            if (node->m_children.empty()) {
                result += QLatin1String(" />");
                continue;
            }
            result += u'>';
            pending.push_back({node, true});
        }
        for (auto child = node->m_children.rbegin(); child != node->m_children.rend(); ++child)
            pending.push_back({*child, false});
        machine.checkStringLength(result.size());
    }
    return result;
}

XmlNodeObject* XmlNodeObject::duplicate(Machine& machine, bool deep)
{
    XmlNodeObject* copy = makeXmlNode(machine, m_type, m_value);
    for (const Property& attribute : m_attributes->ownProperties())
        copy->m_attributes->define(attribute.name, attribute.value);
    if (deep) {
        for (XmlNodeObject* child : m_children)
            copy->insertChild(machine, copy->m_children.size(), child->duplicate(machine, true));
    }
    return copy;
}

std::optional<Value> XmlNodeObject::namespaceForPrefix(Machine&, const QString& prefix)
{
    for (XmlNodeObject* node = this; node; node = node->m_parent) {
        for (const Property& attribute : attributesInOrder(node)) {
            if (!attribute.name.startsWith(QLatin1String("xmlns")))
                continue;
            QStringView rest = QStringView(attribute.name).mid(5);
            if (prefix.isEmpty() || (rest.startsWith(u':') && rest.mid(1) == prefix))
                return attribute.value;
        }
    }
    return std::nullopt;
}

void XmlNodeObject::traceReferences(Marker& marker)
{
    Object::traceReferences(marker);
    marker.mark(m_attributes);
    marker.mark(m_parent);
    marker.mark(m_childNodes);
    for (XmlNodeObject* child : m_children)
        marker.mark(child);
}

XmlNodeObject* asXmlNode(Object* object)
{
    return dynamic_cast<XmlNodeObject*>(object);
}

namespace {

// Flash looks XMLNode.prototype up each time it makes a node, so a script that replaces it
// changes the nodes parsed or created afterwards; without one, nodes get the built-in prototype.
Object* currentNodePrototype(Machine& machine)
{
    if (Object* constructor = machine.global()->get(machine, QStringLiteral("XMLNode")).asObject()) {
        if (Object* prototype = constructor->get(machine, QStringLiteral("prototype")).asObject())
            return prototype;
    }
    return machine.prototypes().xmlNode;
}

} // namespace

XmlNodeObject* makeXmlNode(Machine& machine, int type, const std::optional<QString>& value)
{
    return machine.make<XmlNodeObject>(machine, currentNodePrototype(machine), type, value);
}

void appendParsedNodes(Machine& machine, XmlNodeObject* parent, const std::vector<ParsedXmlNode>& nodes, Object* idMap)
{
    for (const ParsedXmlNode& parsed : nodes) {
        XmlNodeObject* node = makeXmlNode(machine, parsed.type, parsed.value);
        for (auto attribute = parsed.attributes.rbegin(); attribute != parsed.attributes.rend(); ++attribute) {
            const auto& [name, value] = *attribute;
            node->attributes()->define(name, Value(value));
            if (idMap && name == QLatin1String("id"))
                idMap->define(value, Value(static_cast<Object*>(node)));
        }
        parent->insertChild(machine, parent->children().size(), node);
        appendParsedNodes(machine, node, parsed.children, idMap);
    }
}

namespace {

Value nodeOrNull(XmlNodeObject* node)
{
    return node ? Value(static_cast<Object*>(node)) : Value::null();
}

// The getter of a read-only property of every node, computed from the node; undefined on other
// objects.
template<Value (*compute)(Machine&, XmlNodeObject*)>
Value nodeGetter(Machine& machine, Object* self, const Arguments&)
{
    XmlNodeObject* node = asXmlNode(machine.nativePartOf(self));
    return node ? compute(machine, node) : Value();
}

// A method of every node (and of an object super() gave a node as its native part); on other
// objects it does nothing.
template<Value (*run)(Machine&, XmlNodeObject*, const Arguments&)>
Value nodeMethod(Machine& machine, Object* self, const Arguments& arguments)
{
    XmlNodeObject* node = asXmlNode(machine.nativePartOf(self));
    return node ? run(machine, node, arguments) : Value();
}

std::optional<QString> nameOf(XmlNodeObject* node)
{
    return node->isElement() ? node->value() : std::nullopt;
}

// The part of a tag name after its prefix; a name ending in its colon has no local part.
std::optional<QString> localNameOf(XmlNodeObject* node)
{
    std::optional<QString> name = nameOf(node);
    if (!name)
        return std::nullopt;
    qsizetype colon = name->indexOf(u':');
    return colon >= 0 && colon + 1 < name->size() ? name->mid(colon + 1) : *name;
}

std::optional<QString> prefixOf(XmlNodeObject* node)
{
    std::optional<QString> name = nameOf(node);
    if (!name)
        return std::nullopt;
    qsizetype colon = name->indexOf(u':');
    return colon >= 0 && colon + 1 < name->size() ? name->left(colon) : QString();
}

Value optionalText(const std::optional<QString>& text)
{
    return text ? Value(*text) : Value::null();
}

// Both nodeName and nodeValue write the node's one value: nodeValue set on an element renames
// it. An undefined value changes nothing.
Value setNodeValue(Machine& machine, Object* self, const Arguments& arguments)
{
    XmlNodeObject* node = asXmlNode(self);
    Value value = argument(arguments, 0);
    if (node && !value.isUndefined())
        node->setValue(machine.toString(value));
    return Value();
}

Value getNodeType(Machine&, XmlNodeObject* node)
{
    return Value(node->nodeType());
}

Value getNodeName(Machine&, XmlNodeObject* node)
{
    return optionalText(nameOf(node));
}

Value getNodeValue(Machine&, XmlNodeObject* node)
{
    return node->isElement() ? Value::null() : optionalText(node->value());
}

Value getLocalName(Machine&, XmlNodeObject* node)
{
    return optionalText(localNameOf(node));
}

Value getPrefix(Machine&, XmlNodeObject* node)
{
    return optionalText(prefixOf(node));
}

Value getNamespaceUri(Machine& machine, XmlNodeObject* node)
{
    std::optional<QString> prefix = prefixOf(node);
    if (!prefix)
        return Value::null();
    return node->namespaceForPrefix(machine, *prefix).value_or(Value(QString()));
}

Value getAttributes(Machine&, XmlNodeObject* node)
{
    return Value(node->attributes());
}

Value getChildNodes(Machine& machine, XmlNodeObject* node)
{
    return Value(static_cast<Object*>(node->childNodesArray(machine)));
}

Value getParentNode(Machine&, XmlNodeObject* node)
{
    return nodeOrNull(node->parentNode());
}

Value getFirstChild(Machine&, XmlNodeObject* node)
{
    return nodeOrNull(node->children().empty() ? nullptr : node->children().front());
}

Value getLastChild(Machine&, XmlNodeObject* node)
{
    return nodeOrNull(node->children().empty() ? nullptr : node->children().back());
}

Value getPreviousSibling(Machine&, XmlNodeObject* node)
{
    return nodeOrNull(node->sibling(-1));
}

Value getNextSibling(Machine&, XmlNodeObject* node)
{
    return nodeOrNull(node->sibling(1));
}

// A node that already is a child of this one stays where it is.
Value appendChild(Machine& machine, XmlNodeObject* node, const Arguments& arguments)
{
    XmlNodeObject* child = asXmlNode(argument(arguments, 0).asObject());
    if (child && child->parentNode() != node)
        node->insertChild(machine, node->children().size(), child);
    return Value();
}

Value insertBefore(Machine& machine, XmlNodeObject* node, const Arguments& arguments)
{
    XmlNodeObject* child = asXmlNode(argument(arguments, 0).asObject());
    XmlNodeObject* before = asXmlNode(argument(arguments, 1).asObject());
    if (!child || !before || child->parentNode() == node)
        return Value();
    const auto& children = node->children();
    auto place = std::find(children.begin(), children.end(), before);
    if (place != children.end())
        node->insertChild(machine, size_t(place - children.begin()), child);
    return Value();
}

Value removeNode(Machine& machine, XmlNodeObject* node, const Arguments&)
{
    node->removeFromParent(machine);
    return Value();
}

Value cloneNode(Machine& machine, XmlNodeObject* node, const Arguments& arguments)
{
    return Value(static_cast<Object*>(node->duplicate(machine, machine.toBoolean(argument(arguments, 0)))));
}

Value hasChildNodes(Machine&, XmlNodeObject* node, const Arguments&)
{
    return Value(!node->children().empty());
}

Value getNamespaceForPrefix(Machine& machine, XmlNodeObject* node, const Arguments& arguments)
{
    return node->namespaceForPrefix(machine, machine.toString(argument(arguments, 0))).value_or(Value::null());
}

// The prefix of the first xmlns attribute, on this node or above, whose value is the URI.
Value getPrefixForNamespace(Machine& machine, XmlNodeObject* node, const Arguments& arguments)
{
    QString uri = machine.toString(argument(arguments, 0));
    for (XmlNodeObject* link = node; link; link = link->parentNode()) {
        for (const Property& attribute : attributesInOrder(link)) {
            if (!attribute.name.startsWith(QLatin1String("xmlns")) || machine.toString(attribute.value) != uri)
                continue;
            // Any other name that starts with "xmlns" stands for the empty prefix.
            QString rest = attribute.name.mid(5);
            return Value(rest.startsWith(u':') ? rest.mid(1) : QString());
        }
    }
    return Value::null();
}

// Unlike the other methods, toString answers on any object: the empty string.
Value nodeToString(Machine& machine, Object* self, const Arguments&)
{
    XmlNodeObject* node = asXmlNode(self);
    return node ? Value(node->toXmlString(machine)) : Value(QString());
}

// new XMLNode(type, value) makes a node only when given both; otherwise the new object is a
// plain one.
Value constructXmlNode(Machine& machine, Object* self, const Arguments& arguments)
{
    if (arguments.size() < 2)
        return Value(self);
    int type = int(uint8_t(machine.toInt32(arguments[0])));
    auto* node = machine.make<XmlNodeObject>(machine, self ? self->prototype() : machine.prototypes().xmlNode, type,
                                             machine.toString(arguments[1]));
    return Value(static_cast<Object*>(node));
}

Value callXmlNode(Machine&, Object*, const Arguments&)
{
    return Value();
}

constexpr Declaration prototypeDeclarations[] = {
    accessor("nodeType", nodeGetter<getNodeType>, nullptr, attributes::hidden),
    accessor("nodeName", nodeGetter<getNodeName>, setNodeValue, attributes::hidden),
    accessor("nodeValue", nodeGetter<getNodeValue>, setNodeValue, attributes::hidden),
    accessor("localName", nodeGetter<getLocalName>, nullptr, attributes::hidden),
    accessor("prefix", nodeGetter<getPrefix>, nullptr, attributes::hidden),
    accessor("namespaceURI", nodeGetter<getNamespaceUri>, nullptr, attributes::hidden),
    accessor("attributes", nodeGetter<getAttributes>, nullptr, attributes::hidden),
    accessor("childNodes", nodeGetter<getChildNodes>, nullptr, attributes::hidden),
    accessor("parentNode", nodeGetter<getParentNode>, nullptr, attributes::hidden),
    accessor("firstChild", nodeGetter<getFirstChild>, nullptr, attributes::hidden),
    accessor("lastChild", nodeGetter<getLastChild>, nullptr, attributes::hidden),
    accessor("previousSibling", nodeGetter<getPreviousSibling>, nullptr, attributes::hidden),
    accessor("nextSibling", nodeGetter<getNextSibling>, nullptr, attributes::hidden),
    method("appendChild", nodeMethod<appendChild>),
    method("insertBefore", nodeMethod<insertBefore>),
    method("removeNode", nodeMethod<removeNode>),
    method("cloneNode", nodeMethod<cloneNode>),
    method("hasChildNodes", nodeMethod<hasChildNodes>),
    method("getNamespaceForPrefix", nodeMethod<getNamespaceForPrefix>),
    method("getPrefixForNamespace", nodeMethod<getPrefixForNamespace>),
    method("toString", nodeToString),
};

} // namespace

void installXmlNode(Machine& machine)
{
    Object* prototype = machine.makeObject();
    machine.prototypes().xmlNode = prototype;
    machine.addRoot(prototype);
    installDeclarations(machine, prototype, prototypeDeclarations);
    defineClass(machine, QStringLiteral("XMLNode"), prototype, callXmlNode, constructXmlNode);
}

} // namespace player::avm1::builtins
