#pragma once

#include "TextFormat.h"

#include <QRawFont>
#include <memory>

namespace player::swf {
struct Font;
} // namespace player::swf

namespace player::display {

class MovieLibrary;

// A font at one pixel size, as text layout measures it: a font embedded in the movie (its
// glyph outlines, advances and ascent) or a device font from the system. Device font names
// Flash knows ("_sans", "Times New Roman", "Arial"…) go to metric-compatible system families.
class TextFont {
public:
    // The font for a format. Embedded fonts are looked up by name (and style) in the library
    // when `embedded` is set; otherwise a device font is used. A field that asks for embedded
    // fonts never shows device text: with no match its text has no glyphs and no size.
    static TextFont resolve(const MovieLibrary* library, const TextFormat& format, bool embedded);
    // An embedded font by its character, at a size in pixels.
    static TextFont fromEmbedded(std::shared_ptr<const void> owner, const swf::Font* font, double size);

    double size() const { return m_size; }
    double ascent() const { return m_ascent; }
    double descent() const { return m_descent; }
    // Advance of a character in pixels; characters an embedded font lacks have none.
    double advance(QChar character) const;

    // For drawing: the embedded font and the glyph of a character (-1 when it has none), or
    // the device font.
    const swf::Font* embeddedFont() const { return m_embedded; }
    const std::shared_ptr<const void>& embeddedOwner() const { return m_owner; }
    int glyphIndex(QChar character) const;
    const QRawFont& deviceFont() const { return m_device; }

    // The system family drawn for a device font name.
    static QString deviceFamily(const QString& name);

private:
    const swf::Font* m_embedded = nullptr;
    std::shared_ptr<const void> m_owner;
    QRawFont m_device;
    double m_size = 12;
    double m_ascent = 0;
    double m_descent = 0;
    bool m_absent = false;
};

} // namespace player::display
