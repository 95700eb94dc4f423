#pragma once

#include "DisplayObject.h"
#include "FormattedText.h"
#include "TextLayout.h"
#include "TextStyles.h"

#include <QString>
#include <algorithm>
#include <optional>

namespace player::display {

enum class AutoSize { None, Left, Center, Right };

// A DefineEditText instance: a text field with its formatted text, the format new text gets,
// the flags scripts change and the layout of its lines (made again when something changes).
class EditTextInstance : public DisplayObject {
public:
    EditTextInstance(std::shared_ptr<const MovieLibrary> library, std::shared_ptr<const swf::Character> character,
                     uint16_t characterId);
    // A field made by createTextField: width and height in pixels, 12-pixel Times New Roman,
    // dynamic and selectable, no border.
    static std::shared_ptr<EditTextInstance> createForScript(std::shared_ptr<const MovieLibrary> library, double width, double height);
    const swf::EditText& definition() const;

    // The characters, paragraphs ending in '\r'.
    const QString& text() const { return m_content.text(); }
    // Replaces the text; it takes the new-text format. Line feeds become carriage returns.
    void setText(const QString& text);
    QString htmlText() const;
    void setHtmlText(const QString& html);
    const FormattedText& content() const { return m_content; }
    // Gives the field the text of its definition again (empty for fields made by scripts).
    void showInitialText();
    // Inserts or replaces characters [begin, end) in the new-text format (replaceText).
    void replaceText(qsizetype begin, qsizetype end, const QString& text);

    // setTextFormat on [begin, end), and getTextFormat's reading of it.
    void applyFormat(qsizetype begin, qsizetype end, const TextFormat& format);
    TextFormat formatOf(qsizetype begin, qsizetype end) const { return m_content.formatOf(begin, end); }
    const TextFormat& newTextFormat() const { return m_newFormat; }
    void setNewTextFormat(const TextFormat& format);

    // Incremented on every change, for caches.
    uint64_t revision() const { return m_revision; }

    // A field with a style sheet reads whatever text it is given as markup, with the sheet's
    // formats, whether or not it is an HTML field, and gives that markup back as its htmlText.
    // Taking the sheet away forgets the markup but keeps the formatted text.
    bool isStyled() const { return m_styled; }
    void setStyled(bool styled);
    void setStyledText(const QString& markup, const TextStyles& styles);
    // Reads the markup last given again with other formats, when there is any (a sheet given
    // anew to the field restyles its text).
    void restyle(const TextStyles& styles);

    bool isHtml() const { return m_html; }
    void setHtml(bool html) { m_html = html; touch(); }
    // The variable the field shows ("/:score", "total"), raw from the definition; scripts may change it.
    const QString& variableName() const { return m_variableName; }
    void setVariableName(const QString& name) { m_variableName = name; }

    // The selection runs from an anchor to the caret, in characters; a field has none until
    // something selects (then begin and end are 0).
    bool hasSelection() const { return m_hasSelection; }
    void clearSelection() { m_hasSelection = false; }
    qsizetype selectionBegin() const { return std::min(m_selectionAnchor, m_caret); }
    qsizetype selectionEnd() const { return std::max(m_selectionAnchor, m_caret); }
    qsizetype caretIndex() const { return m_caret; }
    // Both ends are kept within the text.
    void setSelection(qsizetype anchor, qsizetype caret);

    // The order of the field among those the tab key visits, unset until a script sets it.
    std::optional<uint32_t> tabIndex() const { return m_tabIndex; }
    void setTabIndex(std::optional<uint32_t> index) { m_tabIndex = index; }
    // The characters typing may enter (TextField.restrict), unset for any.
    const std::optional<QString>& restrict() const { return m_restrict; }
    void setRestrict(const std::optional<QString>& characters) { m_restrict = characters; }

    // How the text asks to be drawn from SWF 8 on (kept for scripts; the painter draws all
    // fields alike).
    struct Rendering {
        QString antiAliasType = QStringLiteral("normal");
        QString gridFitType = QStringLiteral("pixel");
        double thickness = 0;
        double sharpness = 0;
    };
    Rendering& rendering() { return m_rendering; }

    // Flags and colours scripts read and set.
    struct Flags {
        bool wordWrap = false;
        bool multiline = false;
        bool password = false;
        bool editable = false;
        bool selectable = true;
        bool border = false;
        bool background = false;
        bool embedFonts = false;
        bool condenseWhite = false;
        bool mouseWheelEnabled = true;
        uint32_t borderColor = 0x000000;
        uint32_t backgroundColor = 0xffffff;
        AutoSize autoSize = AutoSize::None;
        int maxChars = 0; // 0: no limit
    };
    const Flags& flags() const { return m_flags; }
    // Changes the flags and lays the text out again (resizing the box for autoSize).
    void setFlags(const Flags& flags);

    // Box in local twips (the definition's bounds, changed by _width/_height or autoSize).
    const swf::Rect& box() const { return m_box; }
    void setBox(const swf::Rect& box);
    // _width and _height: the box's size in pixels, as seen through the field's own scale.
    void resize(double width, double height);
    swf::Rect localBounds() const override { return m_box; }

    const TextLayout& layout() const;
    // The matrix without the moves autoSize made to keep the field's right edge or centre in
    // place: where the field stands as scripts and the timeline placed it.
    swf::Matrix placementMatrix() const;
    // Scrolling in lines: the first line shown (1-based), the last one that fits, the greatest
    // first line that still fills the box.
    int scroll() const { return m_scroll; }
    void setScroll(int line);
    int bottomScroll() const;
    int maxScroll() const;

private:
    void touch();
    void applyAutoSize();
    TextFormat definitionFormat() const;

    FormattedText m_content;
    TextFormat m_newFormat;
    QString m_variableName;
    bool m_html = false;
    bool m_styled = false;
    std::optional<QString> m_styledMarkup;
    Flags m_flags;
    // How far autoSize has moved the field along its x axis, in twips.
    double m_autoSizeShift = 0;
    bool m_hasSelection = false;
    qsizetype m_selectionAnchor = 0;
    qsizetype m_caret = 0;
    std::optional<uint32_t> m_tabIndex;
    std::optional<QString> m_restrict;
    Rendering m_rendering;
    swf::Rect m_box;
    int m_scroll = 1;
    uint64_t m_revision = 0;
    mutable std::optional<TextLayout> m_layout;
};

} // namespace player::display
