#include "Builtins.h"
#include "Declaration.h"
#include "LocalLoad.h"
#include "XmlNode.h"

#include "player/avm1/Machine.h"
#include "player/avm1/Marker.h"

namespace player::avm1::builtins {

namespace {

// An XML object: a document node with what parsing found besides nodes.
class XmlDocumentObject : public XmlNodeObject {
public:
    XmlDocumentObject(Machine& machine, Object* prototype)
        : XmlNodeObject(machine, prototype, ParsedXmlNode::ElementType, std::nullopt)
        , idMap(machine.make<Object>(nullptr))
    {
    }

    std::optional<QString> xmlDeclaration;
    std::optional<QString> docTypeDeclaration;
    int status = xml_status::Ok;
    Object* idMap;

    void traceReferences(Marker& marker) override
    {
        XmlNodeObject::traceReferences(marker);
        marker.mark(idMap);
    }
};

// The document a method of XML works on: self, or the native part super() gave it.
XmlDocumentObject* documentOf(Machine& machine, Object* self)
{
    return dynamic_cast<XmlDocumentObject*>(machine.nativePartOf(self));
}

// Parsing adds to the document; parseXML empties it first. The declarations are replaced only
// when the text has them.
void parseInto(Machine& machine, XmlDocumentObject* document, const QString& text)
{
    bool ignoreWhite = machine.toBoolean(document->get(machine, QStringLiteral("ignoreWhite")));
    ParsedXml parsed = parseXml(text, ignoreWhite);
    appendParsedNodes(machine, document, parsed.nodes, document->idMap);
    if (parsed.xmlDeclaration)
        document->xmlDeclaration = parsed.xmlDeclaration;
    if (parsed.docTypeDeclaration)
        document->docTypeDeclaration = parsed.docTypeDeclaration;
    document->status = parsed.status;
}

Value optionalText(const std::optional<QString>& text)
{
    return text ? Value(*text) : Value();
}

Value xmlDeclarationGetter(Machine& machine, Object* self, const Arguments&)
{
    XmlDocumentObject* document = documentOf(machine, self);
    return document ? optionalText(document->xmlDeclaration) : Value();
}

Value xmlDeclarationSetter(Machine& machine, Object* self, const Arguments& arguments)
{
    if (XmlDocumentObject* document = documentOf(machine, self))
        document->xmlDeclaration = machine.toString(argument(arguments, 0));
    return Value();
}

Value docTypeDeclarationGetter(Machine& machine, Object* self, const Arguments&)
{
    XmlDocumentObject* document = documentOf(machine, self);
    return document ? optionalText(document->docTypeDeclaration) : Value();
}

Value docTypeDeclarationSetter(Machine& machine, Object* self, const Arguments& arguments)
{
    if (XmlDocumentObject* document = documentOf(machine, self))
        document->docTypeDeclaration = machine.toString(argument(arguments, 0));
    return Value();
}

Value statusGetter(Machine& machine, Object* self, const Arguments&)
{
    XmlDocumentObject* document = documentOf(machine, self);
    return document ? Value(document->status) : Value();
}

Value statusSetter(Machine& machine, Object* self, const Arguments& arguments)
{
    if (XmlDocumentObject* document = documentOf(machine, self))
        document->status = machine.toInt32(argument(arguments, 0));
    return Value();
}

Value idMapGetter(Machine& machine, Object* self, const Arguments&)
{
    XmlDocumentObject* document = documentOf(machine, self);
    return document ? Value(document->idMap) : Value();
}

Value xmlCreateElement(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!documentOf(machine, self) || arguments.empty())
        return Value();
    return Value(static_cast<Object*>(makeXmlNode(machine, ParsedXmlNode::ElementType, machine.toString(arguments[0]))));
}

Value xmlCreateTextNode(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!documentOf(machine, self) || arguments.empty())
        return Value();
    return Value(static_cast<Object*>(makeXmlNode(machine, ParsedXmlNode::TextType, machine.toString(arguments[0]))));
}

Value xmlParseXml(Machine& machine, Object* self, const Arguments& arguments)
{
    XmlDocumentObject* document = documentOf(machine, self);
    if (!document)
        return Value();
    document->removeAllChildren(machine);
    if (!arguments.empty())
        parseInto(machine, document, machine.toString(arguments[0]));
    return Value();
}

Value xmlLoad(Machine& machine, Object* self, const Arguments& arguments)
{
    Value url = argument(arguments, 0);
    if (!documentOf(machine, self) || url.isNull())
        return Value(false);
    markNotLoaded(machine, self);
    return Value(loadTextForObject(machine, self, machine.toString(url)));
}

// Sending goes nowhere: the player has no network. The target hears of a failed load.
Value xmlSendAndLoad(Machine& machine, Object* self, const Arguments& arguments)
{
    Object* target = argument(arguments, 1).asObject();
    if (!documentOf(machine, self) || !target || argument(arguments, 0).isNull())
        return Value();
    machine.addDeferredCall(target, Value(), QStringLiteral("onData"), {Value()});
    return Value();
}

Value xmlSend(Machine&, Object*, const Arguments&)
{
    return Value(false);
}

Value xmlAddRequestHeader(Machine&, Object*, const Arguments&)
{
    return Value();
}

Value constructXml(Machine& machine, Object* self, const Arguments& arguments)
{
    // A document new made (for XML or a subclass) is set up in place.
    XmlDocumentObject* document = documentOf(machine, self);
    if (!document)
        document = machine.make<XmlDocumentObject>(machine, self ? self->prototype() : nullptr);
    if (!arguments.empty())
        parseInto(machine, document, machine.toString(arguments[0]));
    return Value(static_cast<Object*>(document));
}

Value callXml(Machine&, Object*, const Arguments&)
{
    return Value();
}

constexpr Declaration documentPropertyDeclarations[] = {
    accessor("xmlDecl", xmlDeclarationGetter, xmlDeclarationSetter, attributes::hidden),
    accessor("docTypeDecl", docTypeDeclarationGetter, docTypeDeclarationSetter, attributes::hidden),
    accessor("status", statusGetter, statusSetter, attributes::hidden),
    accessor("idMap", idMapGetter, nullptr, attributes::hidden),
};

constexpr Declaration documentMethodDeclarations[] = {
    method("createElement", xmlCreateElement),
    method("createTextNode", xmlCreateTextNode),
    method("parseXML", xmlParseXml),
    method("load", xmlLoad),
    method("sendAndLoad", xmlSendAndLoad),
    method("send", xmlSend),
    method("addRequestHeader", xmlAddRequestHeader),
};

} // namespace

void installXml(Machine& machine)
{
    Object* prototype = machine.make<Object>(machine.prototypes().xmlNode);
    installDeclarations(machine, prototype, documentPropertyDeclarations);
    prototype->define(QStringLiteral("ignoreWhite"), Value(false), property_flag::DontEnum);
    prototype->define(QStringLiteral("contentType"), Value("application/x-www-form-urlencoded"), property_flag::DontEnum);
    installDeclarations(machine, prototype, documentMethodDeclarations);
    // What a finished load does unless a script replaces it: parse the text, then onLoad.
    defineLoadMethods(machine, prototype, QStringLiteral("parseXML"));
    defineClass(machine, QStringLiteral("XML"), prototype, callXml, constructXml);
    machine.registerInstanceMaker(prototype, [](Machine& machine, Object* instancePrototype) -> Object* {
        return machine.make<XmlDocumentObject>(machine, instancePrototype);
    });
}

} // namespace player::avm1::builtins
