#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "player/Player.h"
#include "player/avm1/builtins/CssText.h"
#include "../TracingPlayer.h"

#include <QTest>

using player::avm1::builtins::css_text::Rule;

// TextField.StyleSheet: reading CSS, the styles a sheet keeps, and fields that read their text
// as markup with a sheet's formats.
class TestStyleSheet : public QObject {
    Q_OBJECT

private:
    static QStringList tracesOf(const QString& script)
    {
        authoring::CompileResult compiled = authoring::ScriptCompiler::compile(script.toStdString());
        if (!compiled.ok())
            return {QStringLiteral("compile error")};
        authoring::MovieWriter movie(8, 200, 100, 12);
        movie.root().doAction(compiled.actions);
        movie.root().showFrame();
        TracingPlayer run;
        return run.play(movie.toBytes(false), 0, QStringLiteral("file:///sheet.swf"));
    }

    // Rules as "selector:name=value,name=value" joined by "|".
    static QString written(const std::vector<Rule>& rules)
    {
        QStringList parts;
        for (const Rule& rule : rules) {
            QStringList declarations;
            for (const auto& [name, value] : rule.declarations)
                declarations << name + u'=' + value;
            parts << rule.selector + u':' + declarations.join(u',');
        }
        return parts.join(u'|');
    }

private slots:
    void cssText_data()
    {
        QTest::addColumn<QString>("css");
        QTest::addColumn<QString>("expected");
        QTest::newRow("names become script names, values lose the blanks before them only")
            << "p { color: #FF0000; font-size : 12px ;margin-left:4px}" << "p:color=#FF0000,fontSize =12px ,marginLeft=4px";
        QTest::newRow("a selector list makes a rule each")
            << "h1, .note {font-weight: bold}" << "h1:fontWeight=bold|.note:fontWeight=bold";
        QTest::newRow("comments go between names, an unfinished one to the end")
            << "/* head */ a /* after */ {/* in */ text-decoration: underline} /* tail" << "a:textDecoration=underline";
        QTest::newRow("nothing at all is a valid empty sheet") << "  " << "";
        QTest::newRow("a declaration the text ends in") << "p { color: #FF0000" << "invalid";
        QTest::newRow("a name the text ends in") << "p { color" << "invalid";
        QTest::newRow("the text may end between declarations") << "p { color: #FF0000; " << "p:color=#FF0000";
        QTest::newRow("a selector with no block") << "p {} span" << "invalid";
        QTest::newRow("a blank inside a selector") << "long name { color: #FF0000 }" << "invalid";
        QTest::newRow("a blank inside a property name") << "p { font size: 12 }" << "invalid";
        QTest::newRow("blanks after a property name stay in it") << "p {  size  :  12  }" << "p:size  =12  ";
        QTest::newRow("empty selectors and empty names are dropped")
            << ", p { color: #000000; :1 } { color: #010101 }" << "p:color=#000000";
        QTest::newRow("a name runs to its colon through semicolons and braces")
            << "a{;;key: v;;other: w;} b{x}c{:y}" << "a:;;key=v,;other=w|b:x}c{=y";
        QTest::newRow("a value with a colon stops at its line end")
            << "a { x: 1:2\n y: 3; z: 4:5 }" << "a:x=1:2,y=3,z=4:5 ";
        QTest::newRow("the last value ends at its line end") << "a { x: 1 \n }" << "a:x=1 ";
        QTest::newRow("a second dash stays") << "a { this--one-x: 1 }" << "a:this-oneX=1 ";
    }

    void cssText()
    {
        QFETCH(QString, css);
        QFETCH(QString, expected);
        const auto rules = player::avm1::builtins::css_text::parse(css);
        QCOMPARE(rules ? written(*rules) : QStringLiteral("invalid"), expected);
    }

    void scripts_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a field takes any object but a clip as its sheet")
            << "createTextField('t', 1, 0, 0, 100, 30); var values = [4, '4', null, true, new Object(), _root, new TextField.StyleSheet()];"
               "for (var i = 0; i < values.length; i++) { t.styleSheet = values[i]; trace(typeof t.styleSheet); }"
               "trace(t.html);"
            << "undefined|undefined|undefined|undefined|object|undefined|object|false";
        QTest::newRow("styles are copies kept by name, a null one keeps its name")
            << "var s = new TextField.StyleSheet(); var red = {color: '#FF0000'}; s.setStyle('.Red', red); red.color = '#00FF00';"
               "trace(s.getStyle('.Red').color); trace(s.getStyle('.red')); s.getStyle('.Red').color = '#0000FF';"
               "trace(s.getStyle('.Red').color); s.setStyle('p', {fontSize: 10}); trace(s.getStyleNames());"
               "s.setStyle('.Red', null); trace(s.getStyleNames()); s.clear(); trace(s.getStyleNames().length);"
            << "#FF0000|null|#FF0000|.Red,p|.Red,p|0";
        QTest::newRow("the sheet keeps its styles in _css and what transform made of them in _styles")
            << "var s = new TextField.StyleSheet(); trace(s._css + ' ' + s._styles); s.setStyle('.a', {color: '#FF0000'});"
               "var css = s._css; trace((s._css['.a'] != undefined) + ' ' + (s._styles['.a'] instanceof TextFormat) + ' ' + s._styles['.a'].color);"
               "s.clear(); trace((s._css != css) + ' ' + s._css['.a']);"
               "s.transform = function(style) { trace('transform ' + style); if (style == null) return null; var f = new TextFormat(); f.color = 0x00FF00; return f; };"
               "s.setStyle('.b', 7); s.setStyle('.c', {}); trace(s.parseCSS('d, e {}'));"
               "createTextField('t', 1, 0, 0, 100, 30); t.styleSheet = s; t.htmlText = '<span class=\"c\">x</span>'; trace(t.getTextFormat(0).color);"
               "s.setStyle('.c', null); t.styleSheet = s; trace(t.getTextFormat(0).color);"
            << "undefined undefined|true true 16711680|true undefined|transform null|transform [object Object]|"
               "transform [object Object]|transform [object Object]|true|65280|transform null|0";
        QTest::newRow("parseCSS adds rules and refuses what is not CSS")
            << "var s = new TextField.StyleSheet(); trace(s.parseCSS('p, .big { font-size: 20px; text-align: right }'));"
               "trace(s.getStyle('.big').fontSize + ' ' + s.getStyle('p').textAlign); trace(s.parseCSS('h1 { color: #FF0000'));"
               "trace(s.getStyleNames()); trace(s.load());"
            << "true|20px right |false|p,.big|false";
        QTest::newRow("transform reads the CSS keywords and lengths")
            << "var s = new TextField.StyleSheet(); var f = s.transform({color: '#00FF00', fontSize: '14px', fontWeight: 'bold',"
               " fontStyle: 'normal', textAlign: 'center', textDecoration: 'underline', marginLeft: 3, fontFamily: 'Arial'});"
               "trace(f.color + ' ' + f.size + ' ' + f.bold + ' ' + f.italic + ' ' + f.align + ' ' + f.underline + ' ' + f.leftMargin + ' ' + f.font);"
               "trace(f instanceof TextFormat); trace(s.transform(null));"
            << "65280 14 true false center true 3 Arial|true|null";
        QTest::newRow("a styled field reads its text as markup and gives the markup back")
            << "createTextField('t', 1, 0, 0, 100, 30); t.htmlText = '<b>x</b>'; trace(t.text); t.styleSheet = new TextField.StyleSheet();"
               "trace(t.htmlText.indexOf('<P ALIGN=\"LEFT\"><FONT FACE=') == 0); t.text = '<span class=\"a\">y</span>&amp;z';"
               "trace(t.text); trace(t.htmlText); t.styleSheet = null; trace(t.htmlText); t.htmlText = '<b>w</b>'; trace(t.text);"
            << "<b>x</b>|true|y&z|<span class=\"a\">y</span>&amp;z|y&z|<b>w</b>";
        QTest::newRow("classes match in any case but only the whole attribute")
            << "createTextField('t', 1, 0, 0, 100, 30); var s = new TextField.StyleSheet(); s.setStyle('.classRed', {color: '#FF0000'});"
               "s.setStyle('.small', {fontSize: 10}); t.styleSheet = s;"
               "var probes = ['classred', 'CLASSRED', ' classRed', 'classRed small', 'small'];"
               "for (var i = 0; i < probes.length; i++) { t.htmlText = '<span class=\"' + probes[i] + '\">a</span>';"
               " var f = t.getTextFormat(0); trace(f.color + ' ' + f.size); }"
            << "16711680 12|16711680 12|0 12|0 12|0 10";
        QTest::newRow("element styles for P, A and LI only, attributes after styles")
            << "createTextField('t', 1, 0, 0, 100, 30); var s = new TextField.StyleSheet(); var blue = {color: '#0000FF'};"
               "var names = ['p', 'a', 'li', 'span', 'font', 'textformat']; for (var i = 0; i < names.length; i++) s.setStyle(names[i], blue);"
               "s.setStyle('.red', {color: '#FF0000'}); t.styleSheet = s;"
               "for (var i = 0; i < names.length; i++) { t.htmlText = '<' + names[i] + '>a</' + names[i] + '>'; trace(names[i] + ' ' + t.getTextFormat(0).color); }"
               "t.htmlText = '<p class=\"red\">a</p>'; trace(t.getTextFormat(0).color);"
               "t.htmlText = '<font color=\"#00FF00\">a<span class=\"red\">b</span></font>'; trace(t.getTextFormat(0).color + ' ' + t.getTextFormat(1).color);"
               "t.htmlText = '<p class=\"red\"><font color=\"#00FF00\">a</font></p>'; trace(t.getTextFormat(0).color);"
            << "p 255|a 255|li 255|span 0|font 0|textformat 0|16711680|65280 16711680|65280";
        QTest::newRow("styled paragraphs run together, unstyled ones break")
            << "createTextField('t', 1, 0, 0, 100, 30); t.html = true; t.multiline = true; t.htmlText = '<p>a</p><p>b</p>'; trace(t.text.length);"
               "t.styleSheet = new TextField.StyleSheet(); t.htmlText = '<p>a</p><p>b</p>'; trace(t.text);"
            << "4|ab";
        QTest::newRow("a paragraph's align attribute beats its style")
            << "createTextField('t', 1, 0, 0, 100, 30); var s = new TextField.StyleSheet(); s.setStyle('p', {textAlign: 'center'}); t.styleSheet = s;"
               "t.htmlText = '<p>a</p>'; trace(t.getTextFormat(0).align); t.htmlText = '<p align=\"right\">a</p>'; trace(t.getTextFormat(0).align);"
            << "center|right";
        QTest::newRow("a sheet given again restyles the markup last given")
            << "createTextField('t', 1, 0, 0, 100, 30); var s = new TextField.StyleSheet(); t.styleSheet = s; t.htmlText = '<span class=\"x\">a</span>';"
               "s.setStyle('.x', {color: '#FF0000'}); trace(t.getTextFormat(0).color); t.styleSheet = s; trace(t.getTextFormat(0).color);"
               "trace(t.htmlText); t.styleSheet = null; trace(t.getTextFormat(0).color + ' ' + t.htmlText);"
            << "0|16711680|<span class=\"x\">a</span>|16711680 a";
        QTest::newRow("the sheet is read when the text is set, not later")
            << "createTextField('t', 1, 0, 0, 100, 30); var s = new TextField.StyleSheet(); t.styleSheet = s;"
               "t.htmlText = '<span class=\"x\">a</span>'; s.setStyle('.x', {color: '#FF0000'}); trace(t.getTextFormat(0).color);"
               "t.htmlText = t.htmlText; trace(t.getTextFormat(0).color); trace(t.styleSheet.getStyleNames());"
            << "0|16711680|.x";
    }

    void scripts()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QCOMPARE(tracesOf(script).join(u'|'), expected);
    }
};

QTEST_GUILESS_MAIN(TestStyleSheet)
#include "tst_avm1_style_sheet.moc"
