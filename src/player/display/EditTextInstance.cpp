#include "EditTextInstance.h"

#include "HtmlText.h"
#include "MovieLibrary.h"

#include <algorithm>
#include <cmath>

namespace player::display {

namespace {

QString normalizeBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    text.replace(u'\n', u'\r');
    return text;
}

double twipsToPixels(double twips)
{
    return twips / 20.0;
}

} // namespace

EditTextInstance::EditTextInstance(std::shared_ptr<const MovieLibrary> library,
                                   std::shared_ptr<const swf::Character> character, uint16_t characterId)
    : DisplayObject(DisplayKind::EditText, std::move(library), std::move(character), characterId)
{
    const swf::EditText& edit = definition();
    // Text before SWF 6 is in the system code page, which we read as Windows-1252's Latin-1 part.
    const bool utf8 = swfVersion() >= 6;
    m_variableName = utf8 ? QString::fromStdString(edit.variableName) : QString::fromLatin1(edit.variableName);
    m_html = edit.html;
    m_box = edit.bounds;
    m_flags.wordWrap = edit.wordWrap;
    m_flags.multiline = edit.multiline;
    m_flags.password = edit.password;
    m_flags.editable = !edit.readOnly;
    m_flags.selectable = !edit.noSelect;
    m_flags.border = edit.border;
    m_flags.background = edit.border;
    m_flags.embedFonts = edit.useOutlines;
    m_flags.autoSize = edit.autoSize ? AutoSize::Left : AutoSize::None;
    m_flags.maxChars = edit.maxLength.value_or(0);
    if (edit.renderingSettings) {
        static const char* const gridFitNames[] = {"none", "pixel", "subpixel"};
        m_rendering.antiAliasType = edit.renderingSettings->antiAliasing == 1 ? QStringLiteral("advanced") : QStringLiteral("normal");
        if (edit.renderingSettings->gridFit < 3)
            m_rendering.gridFitType = QString::fromLatin1(gridFitNames[edit.renderingSettings->gridFit]);
        m_rendering.thickness = edit.renderingSettings->thickness;
        m_rendering.sharpness = edit.renderingSettings->sharpness;
    }
    m_newFormat = definitionFormat();
    showInitialText();
}

void EditTextInstance::showInitialText()
{
    const swf::EditText& edit = definition();
    const QString initial = swfVersion() >= 6 ? QString::fromStdString(edit.initialText) : QString::fromLatin1(edit.initialText);
    if (m_html)
        setHtmlText(initial);
    else
        setText(initial);
}

std::shared_ptr<EditTextInstance> EditTextInstance::createForScript(std::shared_ptr<const MovieLibrary> library, double width,
                                                                   double height)
{
    swf::EditText edit;
    auto twips = [](double pixels) { return int32_t(std::clamp(std::round(pixels * 20.0), -2e9, 2e9)); };
    edit.bounds = swf::Rect {0, twips(width), 0, twips(height)};
    edit.readOnly = true;
    edit.fontHeight = 240;
    auto character = std::make_shared<const swf::Character>(std::move(edit));
    return std::make_shared<EditTextInstance>(std::move(library), std::move(character), 0);
}

TextFormat EditTextInstance::definitionFormat() const
{
    const swf::EditText& edit = definition();
    TextFormat format = TextFormat::fieldDefault();
    if (edit.fontId && library()) {
        if (const swf::Font* font = library()->font(*edit.fontId)) {
            format.font = swfVersion() >= 6 ? QString::fromStdString(font->name) : QString::fromLatin1(font->name);
            // A plain field's text is bold or italic when its font is; an HTML field's takes
            // its style from its markup alone.
            if (!edit.html) {
                format.bold = font->bold;
                format.italic = font->italic;
            }
        }
    } else if (!edit.fontClass.empty())
        format.font = QString::fromStdString(edit.fontClass);
    format.size = twipsToPixels(edit.fontHeight);
    if (edit.textColor)
        format.color = (uint32_t(edit.textColor->r) << 16) | (uint32_t(edit.textColor->g) << 8) | edit.textColor->b;
    if (edit.hasLayout) {
        switch (edit.align) {
        case swf::TextAlign::Left: format.align = TextAlignment::Left; break;
        case swf::TextAlign::Right: format.align = TextAlignment::Right; break;
        case swf::TextAlign::Center: format.align = TextAlignment::Center; break;
        case swf::TextAlign::Justify: format.align = TextAlignment::Justify; break;
        }
        format.leftMargin = twipsToPixels(edit.leftMargin);
        format.rightMargin = twipsToPixels(edit.rightMargin);
        format.indent = twipsToPixels(edit.indent);
        format.leading = twipsToPixels(edit.leading);
    }
    return format;
}

const swf::EditText& EditTextInstance::definition() const
{
    return std::get<swf::EditText>(*character());
}

void EditTextInstance::setSelection(qsizetype anchor, qsizetype caret)
{
    const qsizetype length = text().size();
    m_hasSelection = true;
    m_selectionAnchor = std::clamp<qsizetype>(anchor, 0, length);
    m_caret = std::clamp<qsizetype>(caret, 0, length);
}

void EditTextInstance::setText(const QString& text)
{
    m_content.setText(normalizeBreaks(text), m_newFormat);
    touch();
}

QString EditTextInstance::htmlText() const
{
    if (m_styled)
        return m_styledMarkup ? *m_styledMarkup : html_text::write(m_content);
    return m_html ? html_text::write(m_content) : m_content.text();
}

void EditTextInstance::setStyled(bool styled)
{
    m_styled = styled;
    if (!styled)
        m_styledMarkup.reset();
}

void EditTextInstance::restyle(const TextStyles& styles)
{
    if (m_styled && m_styledMarkup)
        setStyledText(*m_styledMarkup, styles);
}

void EditTextInstance::setStyledText(const QString& markup, const TextStyles& styles)
{
    m_content = html_text::parse(markup, m_newFormat, &styles);
    m_styledMarkup = markup;
    touch();
}

void EditTextInstance::setHtmlText(const QString& html)
{
    if (!m_html) {
        setText(html);
        return;
    }
    // Before SWF 8 a paragraph the markup does not align is aligned left, whatever the field's
    // alignment; from SWF 8 on it keeps the field's.
    TextFormat base = m_newFormat;
    if (swfVersion() <= 7)
        base.align = TextAlignment::Left;
    html_text::ParseRules rules;
    // A single-line field from SWF 7 on runs the markup's paragraphs together; multiline fields
    // (and all fields before SWF 7) keep every paragraph's break, the last one included.
    rules.tagBreaks = m_flags.multiline || swfVersion() < 7;
    rules.keepFinalBreak = rules.tagBreaks;
    rules.dropBlankText = swfVersion() < 8;
    rules.readKerning = swfVersion() >= 8;
    m_content = html_text::parse(html, base, nullptr, rules);
    // New text is then aligned left before SWF 8, and from SWF 8 on keeps its alignment unless
    // the markup left the field without text.
    if (swfVersion() <= 7 || m_content.text().isEmpty())
        m_newFormat.align = TextAlignment::Left;
    touch();
}

void EditTextInstance::replaceText(qsizetype begin, qsizetype end, const QString& text)
{
    m_content.replace(begin, end, normalizeBreaks(text), m_newFormat);
    touch();
}

void EditTextInstance::applyFormat(qsizetype begin, qsizetype end, const TextFormat& format)
{
    m_content.applyFormat(begin, end, format);
    touch();
}

void EditTextInstance::setNewTextFormat(const TextFormat& format)
{
    m_newFormat.mergeFrom(format);
}

void EditTextInstance::setFlags(const Flags& flags)
{
    m_flags = flags;
    touch();
}

void EditTextInstance::setBox(const swf::Rect& box)
{
    const bool moved = box != m_box;
    m_box = box;
    m_layout.reset();
    ++m_revision;
    if (moved)
        noteChange();
}

void EditTextInstance::resize(double width, double height)
{
    const double xScale = std::abs(this->xScale()) / 100.0;
    const double yScale = std::abs(this->yScale()) / 100.0;
    swf::Rect box = m_box;
    // Negative sizes and sizes through a zero scale leave that side alone. What is finer than a
    // twip is dropped, as for _x and _y.
    if (width >= 0 && xScale > 0)
        box.xMax = box.xMin + int32_t(std::clamp(std::trunc(width * 20.0 / xScale), 0.0, 2e9));
    if (height >= 0 && yScale > 0)
        box.yMax = box.yMin + int32_t(std::clamp(std::trunc(height * 20.0 / yScale), 0.0, 2e9));
    setBox(box);
    applyAutoSize();
}

void EditTextInstance::touch()
{
    m_layout.reset();
    ++m_revision;
    noteChange();
    applyAutoSize();
}

swf::Matrix EditTextInstance::placementMatrix() const
{
    swf::Matrix placed = matrix();
    placed.tx -= placed.a * m_autoSizeShift;
    placed.ty -= placed.b * m_autoSizeShift;
    return placed;
}

const TextLayout& EditTextInstance::layout() const
{
    if (!m_layout) {
        TextLayout::Options options;
        options.width = twipsToPixels(m_box.width());
        options.wordWrap = m_flags.wordWrap;
        options.password = m_flags.password;
        const MovieLibrary* fonts = library().get();
        const bool embedded = m_flags.embedFonts;
        const std::optional<uint16_t> ownFont = definition().fontId;
        m_layout = TextLayout::build(m_content, options, [fonts, embedded, ownFont](const TextFormat& format) {
            TextFont font = TextFont::resolve(fonts, format, embedded);
            // A field whose font has no name of its own still draws with the font it names.
            if (embedded && !font.embeddedFont() && ownFont && fonts) {
                if (const swf::Font* own = fonts->font(*ownFont))
                    font = TextFont::fromEmbedded(fonts->character(*ownFont), own, format.size.value_or(12));
            }
            return font;
        });
    }
    return *m_layout;
}

void EditTextInstance::applyAutoSize()
{
    if (m_flags.autoSize == AutoSize::None)
        return;
    const TextLayout& lines = layout();
    swf::Rect box = m_box;
    // Sizes are whole twips, the height cut to them; the gutter is kept on both sides.
    const auto height = int32_t(std::floor((lines.textHeight + 2 * TextLayout::gutter) * 20.0 + 1e-6));
    box.yMax = box.yMin + height;
    if (!m_flags.wordWrap) {
        const auto width = int32_t(std::lround((lines.textWidth + 2 * TextLayout::gutter) * 20.0));
        // The box grows or shrinks from its left edge; a field sized from its right edge or
        // its centre moves instead, so that its _x follows the edge it keeps.
        double shift = 0;
        if (m_flags.autoSize == AutoSize::Right)
            shift = box.width() - width;
        else if (m_flags.autoSize == AutoSize::Center)
            shift = (box.width() - width) / 2.0;
        box.xMax = box.xMin + width;
        if (shift != 0) {
            swf::Matrix moved = matrix();
            moved.tx += moved.a * shift;
            moved.ty += moved.b * shift;
            setMatrix(moved);
            m_autoSizeShift += shift;
        }
    }
    if (box != m_box) {
        m_box = box;
        ++m_revision;
        noteChange();
        // The width may have changed where lines break; with wordWrap it did not.
        if (m_flags.wordWrap)
            return;
        m_layout.reset();
    }
}

void EditTextInstance::setScroll(int line)
{
    assignShown(m_scroll, std::clamp(line, 1, std::max(1, maxScroll())));
}

int EditTextInstance::bottomScroll() const
{
    const TextLayout& lines = layout();
    if (lines.lines.empty())
        return 1;
    const double visibleHeight = twipsToPixels(m_box.height()) - TextLayout::gutter;
    const size_t first = size_t(std::clamp(m_scroll, 1, int(lines.lines.size())) - 1);
    const double top = lines.lines[first].top;
    int bottom = int(first) + 1;
    for (size_t i = first; i < lines.lines.size(); ++i) {
        const TextLayout::Line& line = lines.lines[i];
        if (line.top - top + line.ascent + line.descent > visibleHeight - TextLayout::gutter && i > first)
            break;
        bottom = int(i) + 1;
    }
    return bottom;
}

int EditTextInstance::maxScroll() const
{
    const TextLayout& lines = layout();
    if (lines.lines.empty())
        return 1;
    const double visibleHeight = twipsToPixels(m_box.height()) - 2 * TextLayout::gutter;
    const double bottom = lines.lines.back().top + lines.lines.back().ascent + lines.lines.back().descent;
    // The first line from which the rest fits.
    for (size_t i = 0; i < lines.lines.size(); ++i) {
        if (bottom - lines.lines[i].top <= visibleHeight)
            return int(i) + 1;
    }
    return int(lines.lines.size());
}

} // namespace player::display
