#pragma once

// Builds small SWF movies from bytes for the player's tests: a bit writer, the common records
// and the tags the tests use. Only what the tests need, written from the file format.

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace swf_test {

using Bytes = std::vector<uint8_t>;

class BitWriter {
public:
    void bits(uint32_t value, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            m_current = static_cast<uint8_t>((m_current << 1) | ((value >> i) & 1u));
            if (++m_used == 8)
                flushByte();
        }
    }
    void signedBits(int32_t value, int count) { bits(static_cast<uint32_t>(value), count); }
    void align()
    {
        if (m_used > 0) {
            m_current = static_cast<uint8_t>(m_current << (8 - m_used));
            flushByte();
        }
    }
    void u8(uint8_t value)
    {
        align();
        m_bytes.push_back(value);
    }
    void u16(uint16_t value)
    {
        u8(value & 0xFF);
        u8(value >> 8);
    }
    void u32(uint32_t value)
    {
        u16(value & 0xFFFF);
        u16(value >> 16);
    }
    void string(const std::string& text)
    {
        align();
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        m_bytes.push_back(0);
    }
    void append(const Bytes& bytes)
    {
        align();
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    }
    Bytes take()
    {
        align();
        return std::move(m_bytes);
    }

    // Bits needed to hold a signed value.
    static int signedWidth(int32_t value)
    {
        int width = 1;
        while (width < 32 && (value < -(1 << (width - 1)) || value >= (1 << (width - 1))))
            ++width;
        return width;
    }

    void rect(int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax)
    {
        int width = 1;
        for (int32_t v : {xMin, xMax, yMin, yMax})
            width = std::max(width, signedWidth(v));
        align();
        bits(width, 5);
        for (int32_t v : {xMin, xMax, yMin, yMax})
            signedBits(v, width);
        align();
    }

    // Scale and rotation as 16.16 fixed point; translation in twips.
    void matrix(double a, double b, double c, double d, int32_t tx, int32_t ty)
    {
        align();
        const bool hasScale = a != 1.0 || d != 1.0;
        const bool hasRotate = b != 0.0 || c != 0.0;
        bits(hasScale, 1);
        if (hasScale) {
            const int32_t sa = static_cast<int32_t>(a * 65536), sd = static_cast<int32_t>(d * 65536);
            const int width = std::max(signedWidth(sa), signedWidth(sd));
            bits(width, 5);
            signedBits(sa, width);
            signedBits(sd, width);
        }
        bits(hasRotate, 1);
        if (hasRotate) {
            const int32_t rb = static_cast<int32_t>(b * 65536), rc = static_cast<int32_t>(c * 65536);
            const int width = std::max(signedWidth(rb), signedWidth(rc));
            bits(width, 5);
            signedBits(rb, width);
            signedBits(rc, width);
        }
        const int width = (tx == 0 && ty == 0) ? 0 : std::max(signedWidth(tx), signedWidth(ty));
        bits(width, 5);
        signedBits(tx, width);
        signedBits(ty, width);
        align();
    }
    void translation(int32_t tx, int32_t ty) { matrix(1, 0, 0, 1, tx, ty); }

    // Colour transform with alpha: multipliers (8.8) then additions.
    void colorTransformWithAlpha(const int32_t mult[4], const int32_t add[4])
    {
        align();
        bits(1, 1); // has add
        bits(1, 1); // has mult
        const int width = 10;
        bits(width, 4);
        for (int i = 0; i < 4; ++i)
            signedBits(mult[i], width);
        for (int i = 0; i < 4; ++i)
            signedBits(add[i], width);
        align();
    }

private:
    void flushByte()
    {
        m_bytes.push_back(m_current);
        m_current = 0;
        m_used = 0;
    }

    Bytes m_bytes;
    uint8_t m_current = 0;
    int m_used = 0;
};

inline Bytes tag(uint16_t code, const Bytes& body, bool forceLong = false)
{
    BitWriter writer;
    if (body.size() < 0x3F && !forceLong) {
        writer.u16(static_cast<uint16_t>((code << 6) | body.size()));
    } else {
        writer.u16(static_cast<uint16_t>((code << 6) | 0x3F));
        writer.u32(static_cast<uint32_t>(body.size()));
    }
    writer.append(body);
    return writer.take();
}

inline Bytes showFrame() { return tag(1, {}); }
inline Bytes endTag() { return tag(0, {}); }

// DefineShape3: a rectangle filled with one RGBA colour, edges from (x0,y0) to (x1,y1).
inline Bytes defineRectangle(uint16_t id, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t rgba)
{
    BitWriter w;
    w.u16(id);
    w.rect(x0, x1, y0, y1);
    w.u8(1);    // one fill style
    w.u8(0x00); // solid
    w.u8(rgba >> 24);
    w.u8((rgba >> 16) & 0xFF);
    w.u8((rgba >> 8) & 0xFF);
    w.u8(rgba & 0xFF);
    w.u8(0); // no line styles
    w.bits(1, 4); // fill bits
    w.bits(0, 4); // line bits
    // Style change: move to (x0,y0), fill1 = 1.
    w.bits(0, 1);
    w.bits(0b00101, 5);
    const int moveWidth = std::max(BitWriter::signedWidth(x0), BitWriter::signedWidth(y0));
    w.bits(moveWidth, 5);
    w.signedBits(x0, moveWidth);
    w.signedBits(y0, moveWidth);
    w.bits(1, 1); // fill1
    auto edge = [&](int32_t dx, int32_t dy) {
        const int width = std::max({BitWriter::signedWidth(dx), BitWriter::signedWidth(dy), 2});
        w.bits(1, 1); // edge
        w.bits(1, 1); // straight
        w.bits(width - 2, 4);
        w.bits(1, 1); // general line
        w.signedBits(dx, width);
        w.signedBits(dy, width);
    };
    edge(x1 - x0, 0);
    edge(0, y1 - y0);
    edge(x0 - x1, 0);
    edge(0, y0 - y1);
    w.bits(0, 6); // end record
    return tag(32, w.take());
}

// A PlaceObject2 described with chained setters: Place(1).character(2).at(40, 60).named("box").
struct Place {
    explicit Place(uint16_t atDepth) : depth(atDepth) {}
    Place& character(uint16_t id) { characterId = id; return *this; }
    Place& moving() { move = true; return *this; }
    Place& at(int32_t x, int32_t y) { hasMatrix = true; tx = x; ty = y; return *this; }
    Place& named(std::string text) { name = std::move(text); return *this; }
    Place& clipping(int depthLimit) { clipDepth = depthLimit; return *this; }
    Place& withRatio(int value) { ratio = value; return *this; }

    uint16_t depth = 1;
    int characterId = -1; // -1: none
    bool move = false;
    bool hasMatrix = false;
    int32_t tx = 0;
    int32_t ty = 0;
    std::string name;
    int clipDepth = -1;
    int ratio = -1;
};

inline Bytes placeObject2(const Place& place)
{
    BitWriter w;
    uint8_t flags = 0;
    if (place.move)
        flags |= 0x01;
    if (place.characterId >= 0)
        flags |= 0x02;
    if (place.hasMatrix)
        flags |= 0x04;
    if (place.ratio >= 0)
        flags |= 0x10;
    if (!place.name.empty())
        flags |= 0x20;
    if (place.clipDepth >= 0)
        flags |= 0x40;
    w.u8(flags);
    w.u16(place.depth);
    if (place.characterId >= 0)
        w.u16(static_cast<uint16_t>(place.characterId));
    if (place.hasMatrix)
        w.translation(place.tx, place.ty);
    if (place.ratio >= 0)
        w.u16(static_cast<uint16_t>(place.ratio));
    if (!place.name.empty())
        w.string(place.name);
    if (place.clipDepth >= 0)
        w.u16(static_cast<uint16_t>(place.clipDepth));
    return tag(26, w.take());
}

// A DefineButton2 showing one character in every state, its hit area included, without actions.
inline Bytes defineButton(uint16_t id, uint16_t characterId)
{
    BitWriter w;
    w.u16(id);
    w.u8(0);  // not a menu button
    w.u16(0); // no actions
    w.u8(0x0F);
    w.u16(characterId);
    w.u16(1);
    w.translation(0, 0);
    w.u8(0); // colour transform without additions or multipliers
    w.u8(0); // end of records
    return tag(34, w.take());
}

inline Bytes removeObject2(uint16_t depth)
{
    BitWriter w;
    w.u16(depth);
    return tag(28, w.take());
}

inline Bytes frameLabel(const std::string& name)
{
    BitWriter w;
    w.string(name);
    return tag(43, w.take());
}

inline Bytes doAction(const Bytes& code)
{
    return tag(12, code);
}

inline Bytes exportAssets(uint16_t id, const std::string& name)
{
    BitWriter w;
    w.u16(1);
    w.u16(id);
    w.string(name);
    return tag(56, w.take());
}

inline Bytes defineSprite(uint16_t id, uint16_t frameCount, const std::vector<Bytes>& tags, bool withEndTag = true)
{
    BitWriter w;
    w.u16(id);
    w.u16(frameCount);
    for (const Bytes& inner : tags)
        w.append(inner);
    if (withEndTag)
        w.append(endTag());
    return tag(39, w.take());
}

enum class Compression { None, Zlib, Lzma };

// A whole movie: header (stage in pixels) then the tags, End added.
inline Bytes movie(const std::vector<Bytes>& tags, uint16_t frameCount, Compression compression = Compression::None,
                   uint8_t version = 8, int widthPixels = 100, int heightPixels = 80, double frameRate = 24.0)
{
    BitWriter body;
    body.rect(0, widthPixels * 20, 0, heightPixels * 20);
    body.u16(static_cast<uint16_t>(frameRate * 256));
    body.u16(frameCount);
    for (const Bytes& t : tags)
        body.append(t);
    body.append(endTag());
    const Bytes raw = body.take();
    const uint32_t fileLength = static_cast<uint32_t>(raw.size() + 8);

    BitWriter out;
    out.u8(compression == Compression::None ? 'F' : compression == Compression::Zlib ? 'C' : 'Z');
    out.u8('W');
    out.u8('S');
    out.u8(version);
    out.u32(fileLength);
    if (compression == Compression::None) {
        out.append(raw);
    } else if (compression == Compression::Zlib) {
        uLongf size = compressBound(raw.size());
        Bytes packed(size);
        compress(packed.data(), &size, raw.data(), raw.size());
        packed.resize(size);
        out.append(packed);
    } else {
        // liblzma's "alone" layout is properties, 8-byte size, stream; SWF keeps the properties
        // and the stream, with the stream's length in front.
        lzma_options_lzma options;
        lzma_lzma_preset(&options, 6);
        lzma_stream stream = LZMA_STREAM_INIT;
        if (lzma_alone_encoder(&stream, &options) != LZMA_OK)
            return {};
        Bytes packed(raw.size() * 2 + 1024);
        stream.next_in = raw.data();
        stream.avail_in = raw.size();
        stream.next_out = packed.data();
        stream.avail_out = packed.size();
        while (lzma_code(&stream, LZMA_FINISH) == LZMA_OK) {
        }
        packed.resize(packed.size() - stream.avail_out);
        lzma_end(&stream);
        const Bytes properties(packed.begin(), packed.begin() + 5);
        const Bytes data(packed.begin() + 13, packed.end());
        out.u32(static_cast<uint32_t>(data.size()));
        out.append(properties);
        out.append(data);
    }
    return out.take();
}

} // namespace swf_test
