#pragma once

#include "DisplayObject.h"

#include <QString>

namespace player::display {

// A DefineEditText instance: a text field with its current text. Formatting and layout are the
// text engine's; this keeps the state that scripts change.
class EditTextInstance : public DisplayObject {
public:
    EditTextInstance(std::shared_ptr<const MovieLibrary> library, std::shared_ptr<const swf::Character> character,
                     uint16_t characterId);
    const swf::EditText& definition() const;

    // The text as shown (HTML source when isHtml()). Starts as the definition's initial text.
    const QString& text() const { return m_text; }
    void setText(const QString& text);
    // Incremented on every change, for caches.
    uint64_t revision() const { return m_revision; }

    bool isHtml() const { return m_html; }
    void setHtml(bool html) { m_html = html; ++m_revision; }
    // The variable the field shows ("/:score", "total"), raw from the definition; scripts may change it.
    const QString& variableName() const { return m_variableName; }
    void setVariableName(const QString& name) { m_variableName = name; }

    // Box in local twips (the definition's bounds, changed by _width/_height or autoSize).
    const swf::Rect& box() const { return m_box; }
    void setBox(const swf::Rect& box) { m_box = box; ++m_revision; }
    swf::Rect localBounds() const override { return m_box; }

private:
    QString m_text;
    QString m_variableName;
    bool m_html = false;
    swf::Rect m_box;
    uint64_t m_revision = 0;
};

} // namespace player::display
