#include "TextFont.h"

#include "MovieLibrary.h"

#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <algorithm>
#include <cmath>

namespace player::display {

namespace {

// Glyph units per em: 1024, and DefineFont3 counts twenty times finer.
double emSquare(const swf::Font& font)
{
    return font.version >= 3 ? 1024.0 * 20.0 : 1024.0;
}

QString fontName(const swf::Font& font, uint8_t swfVersion)
{
    return swfVersion >= 6 ? QString::fromStdString(font.name) : QString::fromLatin1(font.name);
}

// Raw fonts are costly to make and layouts ask for the same few again and again.
QRawFont cachedDeviceFont(const QString& family, double pixelSize, bool bold, bool italic)
{
    // System fonts need a GUI application; without one (a console tool) device text is
    // measured by proportion alone.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return {};
    static QHash<QString, QRawFont> cache;
    const QString key = QStringLiteral("%1|%2|%3|%4").arg(family).arg(pixelSize).arg(bold).arg(italic);
    auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    QFont font(family);
    font.setPixelSize(std::max(1, int(std::lround(pixelSize))));
    font.setBold(bold);
    font.setItalic(italic);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    QRawFont raw = QRawFont::fromFont(font);
    if (raw.isValid())
        raw.setPixelSize(pixelSize);
    if (cache.size() > 256)
        cache.clear();
    cache.insert(key, raw);
    return raw;
}

} // namespace

QString TextFont::deviceFamily(const QString& name)
{
    const QString lower = name.toLower();
    if (lower == QLatin1String("_sans") || lower == QLatin1String("arial") || lower == QLatin1String("helvetica")
        || lower == QLatin1String("verdana") || lower == QLatin1String("noto sans"))
        return QStringLiteral("Liberation Sans");
    if (lower == QLatin1String("_typewriter") || lower == QLatin1String("courier new") || lower == QLatin1String("courier"))
        return QStringLiteral("Liberation Mono");
    if (lower == QLatin1String("_serif") || lower == QLatin1String("times new roman") || lower == QLatin1String("times")
        || lower.isEmpty())
        return QStringLiteral("Liberation Serif");
    return name;
}

TextFont TextFont::fromEmbedded(std::shared_ptr<const void> owner, const swf::Font* font, double size)
{
    TextFont result;
    result.m_size = size;
    result.m_embedded = font;
    result.m_owner = std::move(owner);
    if (font && font->hasLayout) {
        const double scale = size / emSquare(*font);
        result.m_ascent = font->ascent * scale;
        result.m_descent = font->descent * scale;
    } else {
        // Fonts without layout data (DefineFont, or a font with no glyphs) get the proportions
        // Flash gives them: most of the height above the baseline.
        result.m_ascent = size * 0.9;
        result.m_descent = size * 0.22;
    }
    return result;
}

TextFont TextFont::resolve(const MovieLibrary* library, const TextFormat& format, bool embedded)
{
    const double size = std::max(0.0, format.size.value_or(12));
    const QString name = format.font.value_or(QStringLiteral("Times New Roman"));
    const bool bold = format.bold.value_or(false);
    const bool italic = format.italic.value_or(false);
    if (embedded && library) {
        // The best match is the font of the same name and style; a font of the same name in
        // another style is still better than a device font.
        const swf::Font* fallback = nullptr;
        std::shared_ptr<const void> fallbackOwner;
        for (const auto& [id, character] : library->movie().characters) {
            const auto* font = character ? std::get_if<swf::Font>(character.get()) : nullptr;
            if (!font || fontName(*font, library->swfVersion()).compare(name, Qt::CaseInsensitive) != 0)
                continue;
            if (font->bold == bold && font->italic == italic)
                return fromEmbedded(character, font, size);
            if (!fallback || font->glyphs.size() > fallback->glyphs.size()) {
                fallback = font;
                fallbackOwner = character;
            }
        }
        if (fallback)
            return fromEmbedded(fallbackOwner, fallback, size);
        TextFont absent;
        absent.m_size = size;
        absent.m_absent = true;
        return absent;
    }
    TextFont result;
    result.m_size = size;
    result.m_device = cachedDeviceFont(deviceFamily(name), size, bold, italic);
    if (result.m_device.isValid()) {
        result.m_ascent = result.m_device.ascent();
        result.m_descent = result.m_device.descent();
    } else {
        result.m_ascent = size * 0.9;
        result.m_descent = size * 0.22;
    }
    return result;
}

int TextFont::glyphIndex(QChar character) const
{
    if (!m_embedded)
        return -1;
    const auto& codes = m_embedded->codes;
    const auto found = std::find(codes.begin(), codes.end(), character.unicode());
    if (found == codes.end())
        return -1;
    const auto index = int(found - codes.begin());
    return index < int(m_embedded->glyphs.size()) ? index : -1;
}

double TextFont::advance(QChar character) const
{
    if (m_embedded) {
        const int index = glyphIndex(character);
        if (index < 0 || !m_embedded->hasLayout || index >= int(m_embedded->advances.size()))
            return 0.0;
        // Flash steps from glyph to glyph in whole twips, cutting the fraction off.
        const double twips = m_embedded->advances[size_t(index)] * m_size * 20.0 / emSquare(*m_embedded);
        return std::trunc(twips) / 20.0;
    }
    if (m_absent)
        return 0.0;
    if (!m_device.isValid())
        return m_size * 0.5;
    const QList<quint32> glyphs = m_device.glyphIndexesForString(QString(character));
    if (glyphs.isEmpty())
        return 0.0;
    const QList<QPointF> advances = m_device.advancesForGlyphIndexes(glyphs, QRawFont::SeparateAdvances);
    return advances.isEmpty() ? 0.0 : advances.first().x();
}

} // namespace player::display
