#include "ScriptRunner.h"

#include "player/avm1/builtins/XmlParser.h"

#include <QTest>
#include <map>

using namespace player::avm1::builtins;

namespace {

// A compact picture of a parsed tree: elements as name(attr=value,...)[children], text as
// "quoted".
QString describe(const std::vector<ParsedXmlNode>& nodes)
{
    QStringList parts;
    for (const ParsedXmlNode& node : nodes) {
        if (node.type == ParsedXmlNode::TextType) {
            parts.append(u'"' + node.value + u'"');
            continue;
        }
        QString text = node.value;
        if (!node.attributes.empty()) {
            QStringList attributes;
            for (const auto& [name, value] : node.attributes)
                attributes.append(name + u'=' + value);
            text += u'(' + attributes.join(u',') + u')';
        }
        if (!node.children.empty())
            text += u'[' + describe(node.children) + u']';
        parts.append(text);
    }
    return parts.join(u' ');
}

// A runner whose movie folder holds a few files, for XML.load.
class RunnerWithFiles : public ScriptRunner {
public:
    std::map<QString, QByteArray> files;
    QStringList everything;

    void trace(const QString& text) override
    {
        everything.append(text);
        ScriptRunner::trace(text);
    }

    std::optional<QByteArray> readLocalFile(const QString& url) override
    {
        auto found = files.find(url);
        if (found == files.end())
            return std::nullopt;
        return found->second;
    }
};

} // namespace

// The XML reader, and the XML and XMLNode classes as scripts see them.
class TestXml : public QObject {
    Q_OBJECT

private slots:
    void parserBuildsTrees_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ignoreWhite");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("tree");
        QTest::newRow("attributes in order, entities decoded")
            << "<a y='2' x=\"1\">fish &amp; chips</a>" << false << 0 << "a(y=2,x=1)[\"fish & chips\"]";
        QTest::newRow("empty elements and text between")
            << "<r><b/>t<c /></r>" << false << 0 << "r[b \"t\" c]";
        QTest::newRow("CDATA kept as written") << "<a><![CDATA[<b>&amp;]]></a>" << false << 0 << "a[\"<b>&amp;\"]";
        QTest::newRow("comments dropped") << "<a><!-- no --></a>" << false << 0 << "a";
        QTest::newRow("numeric references, unknown entities left")
            << "<a>&#65;&#x42;&nope;&</a>" << false << 0 << "a[\"AB&nope;&\"]";
        QTest::newRow("white space kept") << "<a> <b/>\n</a>" << false << 0 << "a[\" \" b \"\n\"]";
        QTest::newRow("white space ignored, other text kept")
            << "<a> <b/>\n x </a>" << true << 0 << "a[b \"\n x \"]";
        QTest::newRow("top-level text") << "hello<a/>" << false << 0 << "\"hello\" a";
        QTest::newRow("unterminated CDATA") << "<a><![CDATA[x</a>" << false << -2 << "a";
        QTest::newRow("unterminated declaration") << "<?xml version='1.0'" << false << -3 << "";
        QTest::newRow("unterminated doctype") << "<!DOCTYPE x" << false << -4 << "";
        QTest::newRow("unterminated comment") << "<a/><!-- x" << false << -5 << "a";
        QTest::newRow("attribute without a value") << "<a x><b/></a>" << false << -6 << "";
        QTest::newRow("unquoted attribute") << "<a x=1/>" << false << -8 << "";
        QTest::newRow("attribute quote never closed") << "<a x='1/>" << false << -8 << "";
        QTest::newRow("repeated attribute") << "<a x='1' x='2'/>" << false << -6 << "";
        QTest::newRow("start tag never ended") << "<a><b></b>" << false << -9 << "a[b]";
        QTest::newRow("end tag without start, what came before kept")
            << "<a/></b><c/>" << false << -10 << "a";
        QTest::newRow("mismatched end tag") << "<a><b></a>" << false << -10 << "a[b]";
        QTest::newRow("tag cut off") << "<a/><b" << false << -6 << "a";
    }

    void parserBuildsTrees()
    {
        QFETCH(QString, text);
        QFETCH(bool, ignoreWhite);
        QFETCH(int, status);
        QFETCH(QString, tree);
        ParsedXml parsed = parseXml(text, ignoreWhite);
        QCOMPARE(parsed.status, status);
        QCOMPARE(describe(parsed.nodes), tree);
    }

    void parserKeepsDeclarations()
    {
        ParsedXml parsed = parseXml(QStringLiteral("<?xml version=\"1.0\" ?><!DOCTYPE note SYSTEM \"n.dtd\"><note/>"), false);
        QCOMPARE(parsed.status, 0);
        QCOMPARE(parsed.xmlDeclaration.value_or(QString()), QStringLiteral("<?xml version=\"1.0\" ?>"));
        QCOMPARE(parsed.docTypeDeclaration.value_or(QString()), QStringLiteral("<!DOCTYPE note SYSTEM \"n.dtd\">"));
        QCOMPARE(describe(parsed.nodes), QStringLiteral("note"));
    }

    void parserRefusesAbsurdNesting()
    {
        QString text = QStringLiteral("<a>").repeated(100000);
        ParsedXml parsed = parseXml(text, false);
        QCOMPARE(parsed.status, -6);
        QVERIFY(!parsed.nodes.empty());
    }

    void escapingRoundTrips()
    {
        QString text = QStringLiteral("\"&'<> plain");
        QCOMPARE(escapeXml(text), QStringLiteral("&quot;&amp;&apos;&lt;&gt; plain"));
        QCOMPARE(unescapeXml(escapeXml(text)), text);
    }

    void scripts_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("markup written back")
            << "var x = new XML(\"<a k='v'><b/>t &amp; u</a>\"); trace(x); trace(x.status);"
            << "<a k=\"v\"><b />t &amp; u</a>|0";
        QTest::newRow("built nodes escape their text and attributes")
            << "var x = new XML(); var e = x.createElement('s'); e.attributes.v = '\"&\\'<>';"
               "x.appendChild(e); x.appendChild(x.createTextNode('a<b')); trace(x.toString());"
            << "<s v=\"&quot;&amp;&apos;&lt;&gt;\" />a&lt;b";
        QTest::newRow("node kinds")
            << "var x = new XML('<a>t</a>'); var a = x.firstChild; var t = a.firstChild;"
               "trace([x.nodeType, x.nodeName, x.nodeValue].join());"
               "trace([a.nodeType, a.nodeName, a.nodeValue].join());"
               "trace([t.nodeType, t.nodeName, t.nodeValue].join());"
            << "1,null,null|1,a,null|3,null,t";
        QTest::newRow("navigation ends in null")
            << "var x = new XML('<r><a/><b/></r>'); var r = x.firstChild;"
               "trace(r.firstChild.nextSibling.nodeName + ' ' + r.lastChild.previousSibling.nodeName);"
               "trace(r.firstChild.previousSibling + ' ' + r.lastChild.nextSibling + ' ' + x.parentNode);"
               "trace(r.parentNode == x); trace(x.hasChildNodes() + ' ' + r.firstChild.hasChildNodes());"
            << "b a|null null null|true|true false";
        QTest::newRow("childNodes is one array that follows the children")
            << "var x = new XML('<r><a/></r>'); var r = x.firstChild; var c = r.childNodes;"
               "r.appendChild(x.createElement('b')); trace(c.length + ' ' + (c == r.childNodes) + ' ' + c[1].nodeName);"
               "c[0].removeNode(); trace(c.length + ' ' + r);"
            << "2 true b|1 <r><b /></r>";
        QTest::newRow("appending moves a node between trees")
            << "var x = new XML('<a><b/></a>'); var y = new XML('<c/>'); y.firstChild.appendChild(x.firstChild.firstChild);"
               "trace(x + ' ' + y);"
            << "<a /> <c><b /></c>";
        QTest::newRow("a node cannot go under itself")
            << "var x = new XML('<a><b/></a>'); var a = x.firstChild; a.firstChild.appendChild(a); a.appendChild(a);"
               "trace(x);"
            << "<a><b /></a>";
        QTest::newRow("appending a child again leaves it in place")
            << "var x = new XML('<a><b/><c/></a>'); var a = x.firstChild; a.appendChild(a.firstChild); trace(x);"
            << "<a><b /><c /></a>";
        QTest::newRow("insertBefore")
            << "var x = new XML('<a><b/><c/></a>'); var a = x.firstChild; a.insertBefore(x.createElement('n'), a.lastChild);"
               "a.insertBefore(x.createElement('m'), x); trace(x);"
            << "<a><b /><n /><c /></a>";
        QTest::newRow("shallow and deep clones")
            << "var x = new XML('<a k=\"1\"><b/></a>'); var a = x.firstChild;"
               "var s = a.cloneNode(false); var d = a.cloneNode(true); s.attributes.k = 2;"
               "trace(s + ' ' + d + ' ' + a + ' ' + (d.parentNode == null));"
            << "<a k=\"2\" /> <a k=\"1\"><b /></a> <a k=\"1\"><b /></a> true";
        QTest::newRow("parseXML replaces the content and reports the status")
            << "var x = new XML('<a/>'); x.parseXML('<b/><c>'); trace(x + ' ' + x.status); x.parseXML('<d/>'); trace(x + ' ' + x.status);"
            << "<b /><c /> -9|<d /> 0";
        QTest::newRow("ignoreWhite read from the object")
            << "var x = new XML(); x.ignoreWhite = true; x.parseXML('<a> <b/> </a>'); trace(x.firstChild.childNodes.length);"
            << "1";
        QTest::newRow("declarations")
            << "var x = new XML('<?xml version=\"1.0\"?><!DOCTYPE a><a/>'); trace(x.xmlDecl + ' ' + x.docTypeDecl + ' ' + x);"
               "trace(new XML('<a/>').xmlDecl);"
            << "<?xml version=\"1.0\"?> <!DOCTYPE a> <a />|undefined";
        QTest::newRow("namespaces")
            << "var x = new XML('<p:a xmlns:p=\"urn:p\" xmlns=\"urn:d\"><p:b/><c/></p:a>'); var a = x.firstChild;"
               "trace([a.prefix, a.localName, a.namespaceURI].join());"
               "trace([a.lastChild.prefix, a.lastChild.namespaceURI, a.firstChild.getNamespaceForPrefix('p')].join());"
               "trace([a.getPrefixForNamespace('urn:p'), a.getPrefixForNamespace('urn:d'), a.getPrefixForNamespace('urn:x')].join());"
            << "p,a,urn:p|,urn:p,urn:p|p,,null";
        QTest::newRow("XMLNode made by hand")
            << "trace(new XMLNode(1, 'e') + ' ' + new XMLNode(3, 'a&b') + ' ' + new XMLNode(1).nodeType);"
            << "<e /> a&amp;b undefined";
        QTest::newRow("nodeName and nodeValue both write the one value")
            << "var e = new XMLNode(1, 'e'); e.nodeValue = 'f'; trace(e.nodeName + ' ' + e.nodeValue);"
               "var t = new XMLNode(3, 'x'); t.nodeValue = undefined; trace(t.nodeValue);"
            << "f null|x";
        QTest::newRow("attributes have no prototype")
            << "var x = new XML('<a toString=\"q\"/>'); var at = x.firstChild.attributes; trace(at.toString + ' ' + at.hasOwnProperty);"
            << "q undefined";
        QTest::newRow("idMap")
            << "var x = new XML('<a><b id=\"one\"/></a>'); trace(x.idMap.one.nodeName);"
            << "b";
        QTest::newRow("node methods refuse other objects")
            << "var o = new Object(); o.__proto__ = XML.prototype; trace(o.firstChild + ' ' + o.createElement('x') + ' ' + o.toString() + '.');"
            << "undefined undefined .";
    }

    void scripts()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        ScriptRunner runner;
        QCOMPARE(runner.run(script).join(u'|'), expected);
    }

    void loadDeliversOnALaterTurn()
    {
        RunnerWithFiles runner;
        runner.files[QStringLiteral("data.xml")] = QByteArray("\xEF\xBB\xBF<a>\xC3\xA9</a>");
        QStringList first = runner.run(QStringLiteral(
            "var x = new XML(); x.onLoad = function(ok) { trace('loaded ' + ok + ' ' + this.loaded + ' ' + this.firstChild.firstChild.nodeValue.length); };"
            "var missing = new XML(); missing.onLoad = function(ok) { trace('missing ' + ok); };"
            "trace(x.load('data.xml') + ' ' + missing.load('none.xml') + ' ' + x.loaded);"));
        QCOMPARE(first.join(u'|'), QStringLiteral("true true false"));
        runner.machine().runTimers(100);
        runner.run(QStringLiteral("trace(x + ' ' + x.getBytesTotal());"));
        QCOMPARE(runner.everything.mid(1).join(u'|'), QString::fromUtf8("loaded true true 1|missing false|<a>é</a> 12"));
    }
};

QTEST_GUILESS_MAIN(TestXml)
#include "tst_avm1_xml.moc"
