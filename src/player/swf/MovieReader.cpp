#include "MovieReader.h"

#include "ButtonReader.h"
#include "ByteReader.h"
#include "Decompressor.h"
#include "PlaceObjectReader.h"
#include "Records.h"
#include "ShapeReader.h"
#include "TagCode.h"
#include "TextReader.h"

#include <algorithm>

namespace player::swf {

namespace {

class TagWalker {
public:
    // The stream is the movie's tag stream that the readers below walk: action blocks keep it
    // for branches that leave them.
    TagWalker(Movie& movie, std::shared_ptr<const ActionBytes> stream) : m_movie(movie), m_stream(std::move(stream)) {}

    // Reads tags into a timeline until End or the end of the data. Definitions are only
    // accepted on the main timeline, as Flash ignores them inside sprites.
    void readTimeline(ByteReader& reader, Timeline& timeline, bool isSprite);

private:
    void warn(std::string text) { m_movie.warnings.push_back(std::move(text)); }
    void define(uint16_t id, Character character);
    void readDefinition(TagCode code, ByteReader& body);
    Frame& openFrame(Timeline& timeline);
    // The rest of a tag body as an action block placed in the movie's tag stream.
    ActionCode actionBlock(ByteReader& body) const;

    Movie& m_movie;
    std::shared_ptr<const ActionBytes> m_stream;
    std::map<uint16_t, Button> m_buttons; // version 1 buttons, until a DefineButtonCxform
};

void TagWalker::define(uint16_t id, Character character)
{
    // The first definition of an id wins; later ones are ignored.
    m_movie.characters.emplace(id, std::make_shared<const Character>(std::move(character)));
}

ActionCode TagWalker::actionBlock(ByteReader& body) const
{
    const size_t offset = size_t(body.current() - m_stream->data());
    return std::make_shared<const ActionBytes>(body.bytes(body.remaining()), m_stream, offset);
}

Frame& TagWalker::openFrame(Timeline& timeline)
{
    if (timeline.frames.empty())
        timeline.frames.emplace_back();
    return timeline.frames.back();
}

void TagWalker::readTimeline(ByteReader& reader, Timeline& timeline, bool isSprite)
{
    timeline.frames.emplace_back();
    bool ended = false;
    while (!reader.atEnd()) {
        const size_t tagStart = reader.position();
        const uint16_t codeAndLength = reader.u16();
        uint32_t length = codeAndLength & 0x3F;
        if (length == 0x3F)
            length = reader.u32();
        const uint16_t code = codeAndLength >> 6;
        if (reader.overrun()) {
            warn("a tag header at byte " + std::to_string(tagStart) + " is cut short");
            break;
        }
        if (length > reader.remaining()) {
            const char* name = tagName(code);
            warn(std::string("tag ") + (name ? name : std::to_string(code)) + " at byte " + std::to_string(tagStart)
                 + " claims " + std::to_string(length) + " bytes; " + std::to_string(reader.remaining()) + " remain");
            length = static_cast<uint32_t>(reader.remaining());
        }
        ByteReader body = reader.slice(length);
        Frame& frame = openFrame(timeline);
        const auto tag = static_cast<TagCode>(code);

        switch (tag) {
        case TagCode::End:
            ended = true;
            break;
        case TagCode::ShowFrame:
            timeline.frames.emplace_back();
            ++timeline.shownFrames;
            break;
        case TagCode::PlaceObject:
        case TagCode::PlaceObject2:
        case TagCode::PlaceObject3: {
            const int version = tag == TagCode::PlaceObject ? 1 : tag == TagCode::PlaceObject2 ? 2 : 3;
            PlaceObject place = readPlaceObject(body, version, m_movie.header.version);
            if (body.overrun())
                warn("a PlaceObject at byte " + std::to_string(tagStart) + " is cut short");
            if (body.position() >= 3 || version == 1)
                frame.tags.emplace_back(std::move(place));
            break;
        }
        case TagCode::RemoveObject:
        case TagCode::RemoveObject2: {
            RemoveObject remove = readRemoveObject(body, tag == TagCode::RemoveObject ? 1 : 2);
            if (!body.overrun())
                frame.tags.emplace_back(remove);
            break;
        }
        case TagCode::DoAction:
            frame.tags.emplace_back(DoAction{actionBlock(body)});
            break;
        case TagCode::DoInitAction:
            if (!isSprite) {
                DoInitAction init;
                init.spriteId = body.u16();
                init.actions = actionBlock(body);
                if (!body.overrun())
                    frame.tags.emplace_back(std::move(init));
            }
            break;
        case TagCode::FrameLabel: {
            FrameLabel label;
            label.name = body.cString();
            label.namedAnchor = !body.atEnd() && body.u8() == 1;
            frame.labels.push_back(std::move(label));
            break;
        }
        default:
            if (!isSprite)
                readDefinition(tag, body);
            break;
        }
        if (ended)
            break;
    }
    if (!ended)
        warn(isSprite ? "a sprite has no End tag" : "the movie has no End tag");
    // Tags left after the last ShowFrame make a frame that never closes: the timeline stays
    // loading for good, End tag or not (see Timeline::complete).
    const bool openFrameLeft = timeline.frames.size() > size_t(timeline.shownFrames)
        && (!timeline.frames.back().tags.empty() || !timeline.frames.back().labels.empty());
    timeline.complete = ended && !openFrameLeft;
    // The frame opened by the last ShowFrame is kept only when something happens in it.
    if (timeline.frames.size() > 1 && timeline.frames.back().tags.empty() && timeline.frames.back().labels.empty())
        timeline.frames.pop_back();
}

void TagWalker::readDefinition(TagCode tag, ByteReader& body)
{
    switch (tag) {
    case TagCode::DefineShape:
    case TagCode::DefineShape2:
    case TagCode::DefineShape3:
    case TagCode::DefineShape4: {
        const int version = tag == TagCode::DefineShape ? 1
            : tag == TagCode::DefineShape2             ? 2
            : tag == TagCode::DefineShape3             ? 3
                                                       : 4;
        Shape shape = readShape(body, version);
        if (body.overrun())
            warn("DefineShape " + std::to_string(shape.id) + " is cut short");
        const uint16_t id = shape.id;
        define(id, std::move(shape));
        break;
    }
    case TagCode::DefineMorphShape:
    case TagCode::DefineMorphShape2: {
        MorphShape morph = readMorphShape(body, tag == TagCode::DefineMorphShape ? 1 : 2);
        if (body.overrun())
            warn("DefineMorphShape " + std::to_string(morph.id) + " is cut short");
        const uint16_t id = morph.id;
        define(id, std::move(morph));
        break;
    }
    case TagCode::JpegTables:
        m_movie.jpegTables = body.bytes(body.remaining());
        break;
    case TagCode::DefineBits:
    case TagCode::DefineBitsJpeg2: {
        BitmapDefinition bitmap;
        bitmap.kind = tag == TagCode::DefineBits ? BitmapDefinition::Kind::Jpeg1 : BitmapDefinition::Kind::Jpeg2;
        bitmap.id = body.u16();
        bitmap.imageData = body.bytes(body.remaining());
        if (!body.overrun())
            define(bitmap.id, std::move(bitmap));
        break;
    }
    case TagCode::DefineBitsJpeg3:
    case TagCode::DefineBitsJpeg4: {
        BitmapDefinition bitmap;
        bitmap.kind = tag == TagCode::DefineBitsJpeg3 ? BitmapDefinition::Kind::Jpeg3 : BitmapDefinition::Kind::Jpeg4;
        bitmap.id = body.u16();
        const uint32_t imageSize = body.u32();
        if (tag == TagCode::DefineBitsJpeg4)
            bitmap.deblocking = body.u16();
        bitmap.imageData = body.bytes(imageSize);
        bitmap.alphaData = body.bytes(body.remaining());
        if (body.overrun())
            warn("DefineBitsJPEG " + std::to_string(bitmap.id) + " is cut short");
        define(bitmap.id, std::move(bitmap));
        break;
    }
    case TagCode::DefineBitsLossless:
    case TagCode::DefineBitsLossless2: {
        BitmapDefinition bitmap;
        bitmap.kind = tag == TagCode::DefineBitsLossless ? BitmapDefinition::Kind::Lossless
                                                         : BitmapDefinition::Kind::Lossless2;
        bitmap.id = body.u16();
        bitmap.losslessFormat = body.u8();
        bitmap.width = body.u16();
        bitmap.height = body.u16();
        if (bitmap.losslessFormat == 3)
            bitmap.colorTableSize = body.u8();
        bitmap.imageData = body.bytes(body.remaining());
        if (body.overrun())
            warn("DefineBitsLossless " + std::to_string(bitmap.id) + " is cut short");
        else
            define(bitmap.id, std::move(bitmap));
        break;
    }
    case TagCode::DefineSprite: {
        Sprite sprite;
        sprite.id = body.u16();
        sprite.timeline.declaredFrameCount = body.u16();
        if (body.overrun())
            break;
        sprite.tagBytes = uint32_t(body.remaining());
        readTimeline(body, sprite.timeline, true);
        const uint16_t id = sprite.id;
        define(id, std::move(sprite));
        break;
    }
    case TagCode::DefineButton:
    case TagCode::DefineButton2: {
        Button button = readButton(body, tag == TagCode::DefineButton ? 1 : 2);
        const uint16_t id = button.id;
        if (button.version == 1)
            m_buttons.emplace(id, button); // a DefineButtonCxform may follow
        define(id, std::move(button));
        break;
    }
    case TagCode::DefineButtonCxform: {
        const uint16_t id = body.u16();
        auto found = m_buttons.find(id);
        if (found == m_buttons.end())
            break;
        readButtonColorTransform(body, found->second);
        m_movie.characters[id] = std::make_shared<const Character>(found->second);
        break;
    }
    case TagCode::DefineFont:
    case TagCode::DefineFont2:
    case TagCode::DefineFont3: {
        const int version = tag == TagCode::DefineFont ? 1 : tag == TagCode::DefineFont2 ? 2 : 3;
        Font font = readFont(body, version);
        const uint16_t id = font.id;
        define(id, std::move(font));
        break;
    }
    case TagCode::DefineFontInfo:
    case TagCode::DefineFontInfo2: {
        ByteReader peek = body;
        const uint16_t id = peek.u16();
        auto found = m_movie.characters.find(id);
        if (found == m_movie.characters.end() || !std::holds_alternative<Font>(*found->second))
            break;
        Font font = std::get<Font>(*found->second);
        readFontInfo(body, tag == TagCode::DefineFontInfo ? 1 : 2, font);
        found->second = std::make_shared<const Character>(std::move(font));
        break;
    }
    case TagCode::DefineText:
    case TagCode::DefineText2: {
        StaticText text = readStaticText(body, tag == TagCode::DefineText ? 1 : 2);
        const uint16_t id = text.id;
        define(id, std::move(text));
        break;
    }
    case TagCode::DefineVideoStream: {
        VideoStream video;
        video.id = body.u16();
        video.frameCount = body.u16();
        video.width = body.u16();
        video.height = body.u16();
        const uint8_t flags = body.u8();
        video.deblocking = (flags >> 1) & 7;
        video.smoothing = flags & 1;
        video.codec = body.u8();
        if (!body.overrun())
            define(video.id, video);
        break;
    }
    case TagCode::DefineEditText: {
        EditText text = readEditText(body);
        const uint16_t id = text.id;
        if (!body.overrun() || id != 0)
            define(id, std::move(text));
        break;
    }
    case TagCode::CsmTextSettings: {
        // The settings land on the field defined before; static texts keep none.
        const uint16_t id = body.u16();
        auto found = m_movie.characters.find(id);
        if (found == m_movie.characters.end() || !std::holds_alternative<EditText>(*found->second))
            break;
        TextRenderingSettings settings;
        settings.antiAliasing = uint8_t(body.bits(2));
        settings.gridFit = uint8_t(body.bits(3));
        body.bits(3);
        settings.thickness = body.f32();
        settings.sharpness = body.f32();
        if (body.overrun())
            break;
        EditText text = std::get<EditText>(*found->second);
        text.renderingSettings = settings;
        found->second = std::make_shared<const Character>(std::move(text));
        break;
    }
    case TagCode::SetBackgroundColor:
        // Flash keeps the first background a movie sets and ignores any later one.
        if (!m_movie.backgroundColor)
            m_movie.backgroundColor = readRgb(body);
        break;
    case TagCode::FileAttributes:
        m_movie.fileAttributes = body.remaining() >= 4 ? body.u32() : body.u8();
        break;
    case TagCode::ScriptLimits:
        m_movie.hasScriptLimits = true;
        m_movie.maxRecursionDepth = body.u16();
        m_movie.scriptTimeoutSeconds = body.u16();
        break;
    case TagCode::ExportAssets: {
        const uint16_t count = body.u16();
        for (int i = 0; i < count && !body.overrun(); ++i) {
            const uint16_t id = body.u16();
            std::string name = body.cString();
            // A later export of the same name takes the name over.
            if (!body.overrun())
                m_movie.exports.insert_or_assign(std::move(name), id);
        }
        break;
    }
    case TagCode::ImportAssets:
    case TagCode::ImportAssets2: {
        const std::string url = body.cString();
        if (tag == TagCode::ImportAssets2) {
            body.u8();
            body.u8();
        }
        const uint16_t count = body.u16();
        for (int i = 0; i < count && !body.overrun(); ++i) {
            ImportedAsset asset;
            asset.url = url;
            asset.characterId = body.u16();
            asset.name = body.cString();
            asset.frame = std::max<int>(1, static_cast<int>(m_movie.timeline.frames.size()));
            if (!body.overrun())
                m_movie.imports.push_back(std::move(asset));
        }
        break;
    }
    case TagCode::DefineScalingGrid: {
        ScalingGrid grid;
        grid.characterId = body.u16();
        grid.splitter = readRect(body);
        if (!body.overrun())
            m_movie.scalingGrids[grid.characterId] = grid;
        break;
    }
    case TagCode::DefineSound: {
        SoundDefinition sound;
        sound.id = body.u16();
        const uint8_t flags = body.u8();
        sound.format = flags >> 4;
        // The lowest rate is a quarter of 22.05 kHz.
        static constexpr double rates[] = {5512.5, 11025, 22050, 44100};
        sound.sampleRate = rates[(flags >> 2) & 3];
        sound.sixteenBit = flags & 0x02;
        sound.stereo = flags & 0x01;
        sound.sampleCount = body.u32();
        if (!body.overrun())
            m_movie.sounds[sound.id] = sound;
        break;
    }
    default:
        // Sound streams, video, metadata, ABC and unknown tags are skipped.
        break;
    }
}

} // namespace

MovieReadResult readMovie(const uint8_t* data, size_t size)
{
    MovieReadResult result;
    if (size < 8) {
        result.error = "not a Flash movie: the file is too short (" + std::to_string(size) + " bytes)";
        return result;
    }
    Header header;
    const uint8_t a = data[0];
    if (data[1] != 'W' || data[2] != 'S' || (a != 'F' && a != 'C' && a != 'Z')) {
        result.error = "not a Flash movie: the file does not start with FWS, CWS or ZWS";
        return result;
    }
    header.compression = a == 'F' ? Compression::None : a == 'C' ? Compression::Zlib : Compression::Lzma;
    header.version = data[3];
    header.fileLength = uint32_t(std::min<size_t>(size, UINT32_MAX));
    header.uncompressedLength = uint32_t(data[4]) | (uint32_t(data[5]) << 8) | (uint32_t(data[6]) << 16)
        | (uint32_t(data[7]) << 24);

    // The body after the 8-byte header, decompressed into memory we own when needed.
    Bytes inflated;
    const uint8_t* body = data + 8;
    size_t bodySize = size - 8;
    std::vector<std::string> warnings;
    const size_t declaredBody = header.uncompressedLength > 8 ? header.uncompressedLength - 8 : 0;
    if (header.compression != Compression::None) {
        // The declared length bounds the output; a damaged length is tolerated up to the cap.
        const size_t limit = std::min(MaximumMovieSize, declaredBody > 0 ? declaredBody : MaximumMovieSize);
        DecompressResult decompressed = header.compression == Compression::Zlib
            ? inflateZlib(body, bodySize, limit)
            : inflateSwfLzma(size >= 12 ? body + 4 : body, size >= 12 ? bodySize - 4 : 0, limit);
        if (!decompressed.error.empty()) {
            result.error = "cannot decompress the movie: " + decompressed.error;
            return result;
        }
        if (!decompressed.warning.empty())
            warnings.push_back(decompressed.warning);
        inflated = std::move(decompressed.data);
        body = inflated.data();
        bodySize = inflated.size();
    } else if (declaredBody > 0 && declaredBody < bodySize) {
        // Flash reads no further than the length the header gives: tags after it are not part
        // of the movie, even when the file goes on.
        bodySize = declaredBody;
    }

    // The tag stream stays in memory while action blocks of the movie live (see ActionBytes).
    auto stream = std::make_shared<ActionBytes>(inflated.empty() ? Bytes(body, body + bodySize) : std::move(inflated));
    ByteReader reader(stream->data(), stream->size());
    header.frameSize = readRect(reader);
    header.frameRate = reader.u16() / 256.0;
    header.frameCount = reader.u16();
    if (reader.overrun()) {
        result.error = "the movie header is cut short";
        return result;
    }
    auto movie = std::make_shared<Movie>();
    movie->header = header;
    movie->warnings = std::move(warnings);
    movie->timeline.declaredFrameCount = header.frameCount;
    TagWalker walker(*movie, std::move(stream));
    walker.readTimeline(reader, movie->timeline, false);
    result.movie = std::move(movie);
    return result;
}

} // namespace player::swf
