#include "EditTextInstance.h"

namespace player::display {

EditTextInstance::EditTextInstance(std::shared_ptr<const MovieLibrary> library,
                                   std::shared_ptr<const swf::Character> character, uint16_t characterId)
    : DisplayObject(DisplayKind::EditText, std::move(library), std::move(character), characterId)
{
    const swf::EditText& edit = definition();
    // Text before SWF 6 is in the system code page, which we read as Windows-1252's Latin-1 part.
    const bool utf8 = swfVersion() >= 6;
    m_text = utf8 ? QString::fromStdString(edit.initialText) : QString::fromLatin1(edit.initialText);
    m_variableName = utf8 ? QString::fromStdString(edit.variableName) : QString::fromLatin1(edit.variableName);
    m_html = edit.html;
    m_box = edit.bounds;
}

const swf::EditText& EditTextInstance::definition() const
{
    return std::get<swf::EditText>(*character());
}

void EditTextInstance::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    ++m_revision;
}

} // namespace player::display
