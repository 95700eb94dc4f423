#include "player/display/EditTextInstance.h"
#include "player/display/FormattedText.h"
#include "player/display/HtmlText.h"
#include "player/display/TextLayout.h"
#include "player/swf/Text.h"

#include <QTest>

using namespace player::display;

// Formatted text, the HTML fields read and write, line layout and autoSize. Layout is measured
// with a made-up embedded font whose glyphs are all half an em wide, so that every position is
// known exactly: at 20 pixels a character is 10 pixels wide and a line 20 pixels high.
class TestTextLayout : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<player::swf::Font> m_font = std::make_shared<player::swf::Font>();

    TextLayout layoutOf(const FormattedText& text, double width, bool wordWrap)
    {
        TextLayout::Options options;
        options.width = width;
        options.wordWrap = wordWrap;
        auto font = m_font;
        return TextLayout::build(text, options, [font](const TextFormat& format) {
            return TextFont::fromEmbedded(font, font.get(), format.size.value_or(12));
        });
    }

    static TextFormat sized(double size)
    {
        TextFormat format = TextFormat::fieldDefault();
        format.size = size;
        return format;
    }

private slots:
    void initTestCase()
    {
        m_font->hasLayout = true;
        m_font->ascent = 800;
        m_font->descent = 224;
        for (char16_t code = 32; code < 127; ++code) {
            m_font->codes.push_back(code);
            m_font->glyphs.emplace_back();
            m_font->advances.push_back(512);
        }
    }

    void formatsSplitAndMerge()
    {
        FormattedText text;
        text.setText(QStringLiteral("abcdef"), TextFormat::fieldDefault());
        TextFormat bold;
        bold.bold = true;
        text.applyFormat(2, 4, bold);
        QCOMPARE(text.runs().size(), size_t(3));
        QCOMPARE(text.formatAt(2, {}).bold, std::optional<bool>(true));
        QCOMPARE(text.formatAt(4, {}).bold, std::optional<bool>(false));
        // A range across both keeps what is common and leaves the rest unset.
        const TextFormat mixed = text.formatOf(1, 3);
        QVERIFY(!mixed.bold);
        QCOMPARE(mixed.size, std::optional<double>(12));
        // Making the middle plain again joins the runs.
        bold.bold = false;
        text.applyFormat(2, 4, bold);
        QCOMPARE(text.runs().size(), size_t(1));
        // Replacing keeps the formats on both sides.
        text.applyFormat(0, 1, sized(30));
        text.replace(1, 5, QStringLiteral("XY"), sized(8));
        QCOMPARE(text.text(), QStringLiteral("aXYf"));
        QCOMPARE(text.formatAt(0, {}).size, std::optional<double>(30));
        QCOMPARE(text.formatAt(1, {}).size, std::optional<double>(8));
        QCOMPARE(text.formatAt(3, {}).size, std::optional<double>(12));
    }

    void htmlParsing_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("text");
        QTest::newRow("paragraphs, the last break dropped") << "<p>one</p><p>two</p>" << "one\rtwo";
        QTest::newRow("br and line ends are breaks") << "a<br>b\nc\r\nd" << "a\rb\rc\rd";
        QTest::newRow("entities") << "&lt;&amp;&gt;&quot;&apos;&nbsp;&#65;&#x42;&bogus;" << "<&>\"'\u00a0AB&bogus;";
        QTest::newRow("unknown tags vanish") << "<blink>on</blink><span class='x'>!</span>" << "on!";
        QTest::newRow("an unfinished tag ends the text") << "abc<font size=" << "abc";
        QTest::newRow("a stray closing tag changes nothing") << "</b>x</font>y" << "xy";
        QTest::newRow("only a break") << "\n" << "\r";
    }

    void htmlParsing()
    {
        QFETCH(QString, html);
        QFETCH(QString, text);
        QCOMPARE(html_text::parse(html, TextFormat::fieldDefault()).text(), text);
    }

    void htmlFormats()
    {
        const FormattedText text = html_text::parse(
            QStringLiteral("<p align='center'><font face=\"Arial\" size='+4' color='#FF0000'>big<b>bold</b></font>"
                           "<a href='http://x' target='_top'><i>l</i></a><u>u</u></p><textformat leftmargin='5' leading='3'><li>x</li></textformat>"),
            TextFormat::fieldDefault());
        QCOMPARE(text.text(), QStringLiteral("bigboldlu\rx"));
        const TextFormat big = text.formatAt(0, {});
        QCOMPARE(big.font, std::optional<QString>(QStringLiteral("Arial")));
        QCOMPARE(big.size, std::optional<double>(16));
        QCOMPARE(big.color, std::optional<uint32_t>(0xff0000));
        QCOMPARE(big.align, std::optional<TextAlignment>(TextAlignment::Center));
        QCOMPARE(big.bold, std::optional<bool>(false));
        QCOMPARE(text.formatAt(3, {}).bold, std::optional<bool>(true));
        const TextFormat link = text.formatAt(7, {});
        QCOMPARE(link.url, std::optional<QString>(QStringLiteral("http://x")));
        QCOMPARE(link.target, std::optional<QString>(QStringLiteral("_top")));
        QCOMPARE(link.italic, std::optional<bool>(true));
        QCOMPARE(link.size, std::optional<double>(12));
        QCOMPARE(text.formatAt(8, {}).underline, std::optional<bool>(true));
        const TextFormat item = text.formatAt(10, {});
        QCOMPARE(item.bullet, std::optional<bool>(true));
        QCOMPARE(item.leftMargin, std::optional<double>(5));
        QCOMPARE(item.leading, std::optional<double>(3));
    }

    void htmlWriting_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("readsBack");
        const QString font = QStringLiteral("<FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\">");
        QTest::newRow("plain") << "a&lt;b" << "<P ALIGN=\"LEFT\">" + font + "a&lt;b</FONT></P>" << true;
        QTest::newRow("empty text has no paragraph") << "" << QString() << true;
        QTest::newRow("a break ends a paragraph") << "x<br>" << "<P ALIGN=\"LEFT\">" + font + "x</FONT></P>" << true;
        QTest::newRow("two breaks, two paragraphs") << "\n\n"
                                                   << "<P ALIGN=\"LEFT\">" + font + "</FONT></P><P ALIGN=\"LEFT\">" + font + "</FONT></P>" << false;
        QTest::newRow("inner changes")
            << "a<font color='#AAAAAA' kerning='1'><b>b</b></font>"
            << "<P ALIGN=\"LEFT\">" + font + "a<FONT COLOR=\"#AAAAAA\" KERNING=\"1\"><B>b</B></FONT></FONT></P>" << true;
        QTest::newRow("block formatting") << "<textformat leading='2'><p align='right'>r</p></textformat>"
                                          << "<TEXTFORMAT LEADING=\"2\"><P ALIGN=\"RIGHT\">" + font + "r</FONT></P></TEXTFORMAT>" << true;
        QTest::newRow("bullets") << "<li>i</li>" << "<LI>" + font + "i</FONT></LI>" << true;
    }

    void htmlWriting()
    {
        QFETCH(QString, html);
        QFETCH(QString, written);
        const FormattedText text = html_text::parse(html, TextFormat::fieldDefault());
        QCOMPARE(html_text::write(text), written);
        QFETCH(bool, readsBack);
        // What is written reads back as what it says, except that the break closing the last
        // paragraph is dropped on reading.
        const FormattedText again = html_text::parse(written, TextFormat::fieldDefault());
        QCOMPARE(html_text::write(again) == written, readsBack);
    }

    void lineLayout_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("width");
        QTest::addColumn<bool>("wordWrap");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<double>("textWidth");
        // A 100-pixel box leaves 96 between the gutters: nine characters and a bit.
        QTest::newRow("no wrap: one long line") << "aaaa bbbb cccc" << 100.0 << false << QStringList {"aaaa bbbb cccc"} << 140.0;
        QTest::newRow("wrap at spaces, which stay at the line's end")
            << "aaaa bbbb cccc" << 100.0 << true << QStringList {"aaaa bbbb ", "cccc"} << 90.0;
        QTest::newRow("a word too long is broken") << "abcdefghijkl" << 100.0 << true << QStringList {"abcdefghi", "jkl"} << 90.0;
        QTest::newRow("breaks make lines, empty ones too") << "a\r\rb" << 100.0 << true << QStringList {"a", "", "b"} << 10.0;
        QTest::newRow("a paragraph's trailing spaces are measured") << "ab   " << 100.0 << false << QStringList {"ab   "} << 50.0;
    }

    void lineLayout()
    {
        QFETCH(QString, text);
        QFETCH(double, width);
        QFETCH(bool, wordWrap);
        QFETCH(QStringList, lines);
        QFETCH(double, textWidth);
        FormattedText formatted;
        formatted.setText(text, sized(20));
        const TextLayout layout = layoutOf(formatted, width, wordWrap);
        QStringList shown;
        for (const TextLayout::Line& line : layout.lines)
            shown << text.mid(line.begin, line.end - line.begin);
        QCOMPARE(shown, lines);
        QCOMPARE(layout.textWidth, textWidth);
        // Lines are 20 pixels apart from the gutter down; text height is their sum.
        for (size_t i = 0; i < layout.lines.size(); ++i)
            QCOMPARE(layout.lines[i].top, 2.0 + 20.0 * double(i));
        QCOMPARE(layout.textHeight, 20.0 * double(lines.size()));
        QCOMPARE(layout.lines.front().baseline(), 2.0 + 15.625);
    }

    void alignmentMarginsAndLeading_data()
    {
        QTest::addColumn<int>("align");
        QTest::addColumn<double>("leftMargin");
        QTest::addColumn<double>("indent");
        QTest::addColumn<double>("firstLeft");
        QTest::addColumn<double>("secondLeft");
        // Box 100 wide: 96 inside the gutters. Lines "aaaa " (40 wide) and "bb" (20 wide).
        QTest::newRow("left") << int(TextAlignment::Left) << 0.0 << 0.0 << 2.0 << 2.0;
        QTest::newRow("right") << int(TextAlignment::Right) << 0.0 << 0.0 << 2.0 + 56.0 << 2.0 + 76.0;
        QTest::newRow("center") << int(TextAlignment::Center) << 0.0 << 0.0 << 2.0 + 28.0 << 2.0 + 38.0;
        QTest::newRow("margin and paragraph indent") << int(TextAlignment::Left) << 10.0 << 5.0 << 17.0 << 17.0;
    }

    void alignmentMarginsAndLeading()
    {
        QFETCH(int, align);
        QFETCH(double, leftMargin);
        QFETCH(double, indent);
        QFETCH(double, firstLeft);
        QFETCH(double, secondLeft);
        TextFormat format = sized(20);
        format.align = TextAlignment(align);
        format.leftMargin = leftMargin;
        format.indent = indent;
        format.leading = 4;
        FormattedText text;
        text.setText(QStringLiteral("aaaa\rbb"), format);
        const TextLayout layout = layoutOf(text, 100, true);
        QCOMPARE(layout.lines.size(), size_t(2));
        QCOMPARE(layout.lines[0].left, firstLeft);
        QCOMPARE(layout.lines[1].left, secondLeft);
        // Leading follows every line, the last one included.
        QCOMPARE(layout.lines[1].top, 2.0 + 24.0);
        QCOMPARE(layout.textHeight, 48.0);
    }

    // Flash leaves 1.8 em for the bullet: 36 pixels at size 20, whatever the box.
    void bulletedParagraphsStartFurtherIn()
    {
        TextFormat bulleted = sized(20);
        bulleted.bullet = true;
        FormattedText text;
        text.setText(QStringLiteral("a\rb"), sized(20));
        text.applyFormat(0, 1, bulleted);
        const TextLayout layout = layoutOf(text, 100, true);
        QCOMPARE(layout.lines.size(), size_t(2));
        QCOMPARE(layout.lines[0].left, 2.0 + 36.0);
        QCOMPARE(layout.lines[1].left, 2.0);
    }

    void mixedSizesShareALine()
    {
        FormattedText text;
        text.setText(QStringLiteral("ab"), sized(10));
        text.applyFormat(1, 2, sized(40));
        const TextLayout layout = layoutOf(text, 200, false);
        QCOMPARE(layout.lines.size(), size_t(1));
        QCOMPARE(layout.lines[0].runs.size(), size_t(2));
        QCOMPARE(layout.lines[0].ascent, 40 * 800.0 / 1024.0);
        QCOMPARE(layout.lines[0].runs[1].positions.front(), 5.0);
        QCOMPARE(layout.textWidth, 25.0);
    }

    void emptyTextMeasuresNothing()
    {
        FormattedText text;
        const TextLayout layout = layoutOf(text, 100, true);
        QCOMPARE(layout.lines.size(), size_t(1));
        QCOMPARE(layout.textWidth, 0.0);
        QCOMPARE(layout.textHeight, 0.0);
    }

    // Without a GUI application device fonts are measured by proportion: half the size per
    // character, so 12-pixel text is 6 pixels a character.
    void autoSizeMovesTheRightEdges_data()
    {
        QTest::addColumn<int>("autoSize");
        QTest::addColumn<int>("xMin");
        QTest::addColumn<int>("xMax");
        QTest::addColumn<double>("x");
        // Box 0..2000 twips; "abcd" is 24 pixels, 28 with gutters: 560 twips. Sized from the
        // right edge or the centre, the field itself moves to keep that edge.
        QTest::newRow("none") << int(AutoSize::None) << 0 << 2000 << 0.0;
        QTest::newRow("left") << int(AutoSize::Left) << 0 << 560 << 0.0;
        QTest::newRow("right") << int(AutoSize::Right) << 0 << 560 << 72.0;
        QTest::newRow("center") << int(AutoSize::Center) << 0 << 560 << 36.0;
    }

    void autoSizeMovesTheRightEdges()
    {
        QFETCH(int, autoSize);
        QFETCH(int, xMin);
        QFETCH(int, xMax);
        QFETCH(double, x);
        auto field = EditTextInstance::createForScript(nullptr, 100, 100);
        EditTextInstance::Flags flags = field->flags();
        flags.autoSize = AutoSize(autoSize);
        field->setFlags(flags);
        field->setText(QStringLiteral("abcd"));
        QCOMPARE(field->box().xMin, xMin);
        QCOMPARE(field->box().xMax, xMax);
        QCOMPARE(field->x(), x);
        if (autoSize != int(AutoSize::None))
            QCOMPARE(field->box().height(), int(std::floor((12 * 1.12 + 4) * 20)));
    }

    void fieldTextAndScrolling()
    {
        auto field = EditTextInstance::createForScript(nullptr, 100, 40);
        // Line feeds become carriage returns, as Flash keeps them.
        field->setText(QStringLiteral("1\n2\r\n3\r4\r5"));
        QCOMPARE(field->text(), QStringLiteral("1\r2\r3\r4\r5"));
        // 12-pixel lines are 13.44 high: two fit in the 36 pixels inside the gutters.
        QCOMPARE(field->scroll(), 1);
        QCOMPARE(field->bottomScroll(), 2);
        QCOMPARE(field->maxScroll(), 4);
        field->setScroll(99);
        QCOMPARE(field->scroll(), 4);
        field->setScroll(-3);
        QCOMPARE(field->scroll(), 1);
        // Plain fields give their text as it is; HTML fields the markup Flash writes.
        QCOMPARE(field->htmlText(), field->text());
        field->setHtml(true);
        field->setHtmlText(QStringLiteral("<b>x</b>"));
        QCOMPARE(field->text(), QStringLiteral("x"));
        QVERIFY(field->htmlText().contains(QLatin1String("<B>x</B>")));
    }
};

QTEST_GUILESS_MAIN(TestTextLayout)
#include "tst_text_layout.moc"
