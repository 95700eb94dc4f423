#pragma once

#include "Button.h"
#include "Filter.h"
#include "Geometry.h"
#include "Shape.h"
#include "Text.h"
#include "VideoStream.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace player::swf {

enum class Compression : uint8_t { None, Zlib, Lzma };

struct Header {
    Compression compression = Compression::None;
    uint8_t version = 0;
    uint32_t uncompressedLength = 0; // as the header gives it, header included
    uint32_t fileLength = 0;         // the bytes of the file as read, compressed when it is
    Rect frameSize;
    double frameRate = 12.0; // frames per second (8.8 fixed point in the file)
    uint16_t frameCount = 0;
};


// Clip event bits of PlaceObject2/3 clip actions, in the SWF 6+ 32-bit layout; the reader
// normalises SWF 5's 16-bit masks to it.
namespace clip_event {
constexpr uint32_t Load = 0x00000001;
constexpr uint32_t EnterFrame = 0x00000002;
constexpr uint32_t Unload = 0x00000004;
constexpr uint32_t MouseMove = 0x00000008;
constexpr uint32_t MouseDown = 0x00000010;
constexpr uint32_t MouseUp = 0x00000020;
constexpr uint32_t KeyDown = 0x00000040;
constexpr uint32_t KeyUp = 0x00000080;
constexpr uint32_t Data = 0x00000100;
constexpr uint32_t Initialize = 0x00000200;
constexpr uint32_t Press = 0x00000400;
constexpr uint32_t Release = 0x00000800;
constexpr uint32_t ReleaseOutside = 0x00001000;
constexpr uint32_t RollOver = 0x00002000;
constexpr uint32_t RollOut = 0x00004000;
constexpr uint32_t DragOver = 0x00008000;
constexpr uint32_t DragOut = 0x00010000;
constexpr uint32_t KeyPress = 0x00020000;
constexpr uint32_t Construct = 0x00040000;
} // namespace clip_event

struct ClipAction {
    uint32_t events = 0; // clip_event bits, normalised to this layout whatever the SWF version
    uint8_t keyCode = 0; // with KeyPress
    ActionCode actions;
};

// PlaceObject, PlaceObject2 and PlaceObject3 in one record; absent fields are absent.
struct PlaceObject {
    int version = 2;
    uint16_t depth = 0;
    bool isMove = false; // PlaceObject2/3 "move" flag
    std::optional<uint16_t> characterId;
    std::optional<std::string> className; // PlaceObject3
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<uint16_t> clipDepth;
    std::vector<ClipAction> clipActions;
    std::optional<std::vector<Filter>> filters;
    std::optional<BlendMode> blendMode;
    std::optional<bool> cacheAsBitmap;
    std::optional<bool> visible;
    std::optional<Rgba> backgroundColor;
};

struct RemoveObject {
    uint16_t depth = 0;
    std::optional<uint16_t> characterId; // RemoveObject (version 1) only
};

struct DoAction {
    ActionCode actions;
};

struct DoInitAction {
    uint16_t spriteId = 0;
    ActionCode actions;
};

struct FrameLabel {
    std::string name;
    bool namedAnchor = false;
};

using ControlTag = std::variant<PlaceObject, RemoveObject, DoAction, DoInitAction>;

// What one frame of a timeline does, in file order, up to its ShowFrame.
struct Frame {
    std::vector<ControlTag> tags;
    std::vector<FrameLabel> labels;
};

struct Timeline {
    uint16_t declaredFrameCount = 0; // as stored in the header or DefineSprite
    std::vector<Frame> frames;       // frames actually present (ShowFrame-terminated, plus a last open one)
    // False when the tags stop without an End tag, or leave tags after the last ShowFrame: that
    // frame never finished loading. Such a timeline never goes round to frame 1.
    bool complete = true;
    int shownFrames = 0; // ShowFrame tags read
};

struct Sprite {
    uint16_t id = 0;
    Timeline timeline;
    // The bytes of the sprite's own tags (DefineSprite's body after its id and frame count):
    // what getBytesLoaded and getBytesTotal give for its instances.
    uint32_t tagBytes = 0;
};

// DefineBits (uses the movie's JPEGTables), DefineBitsJPEG2/3/4 (JPEG, PNG or GIF data, with a
// separate zlib alpha plane for 3 and 4) and DefineBitsLossless/2. Decoding is the renderer's.
struct BitmapDefinition {
    enum class Kind : uint8_t { Jpeg1, Jpeg2, Jpeg3, Jpeg4, Lossless, Lossless2 };
    uint16_t id = 0;
    Kind kind = Kind::Jpeg2;
    Bytes imageData;      // JPEG/PNG/GIF bytes, or the zlib-compressed lossless data
    Bytes alphaData;      // Jpeg3/4: zlib-compressed alpha plane
    uint16_t deblocking = 0; // Jpeg4
    uint8_t losslessFormat = 0; // 3 = colour mapped, 4 = 15-bit, 5 = 32-bit
    uint16_t width = 0;   // lossless only
    uint16_t height = 0;
    uint16_t colorTableSize = 0; // format 3: entries - 1 as stored
};

struct ScalingGrid {
    uint16_t characterId = 0;
    Rect splitter;
};

// An event sound (DefineSound): what its header tells of it. The samples are not kept.
struct SoundDefinition {
    uint16_t id = 0;
    uint8_t format = 0;       // 0 raw, 1 ADPCM, 2 MP3, 3 raw little-endian, 4-6 Nellymoser, 11 Speex
    double sampleRate = 0;    // samples a second of each channel
    bool sixteenBit = false;
    bool stereo = false;
    uint32_t sampleCount = 0; // per channel

    // How long the sound plays, in milliseconds.
    double durationMilliseconds() const { return sampleRate > 0 ? sampleCount * 1000.0 / sampleRate : 0; }
};

using Character = std::variant<Shape, MorphShape, BitmapDefinition, Sprite, Button, Font, StaticText, EditText, VideoStream>;

struct ImportedAsset {
    std::string url;
    uint16_t characterId = 0;
    std::string name;
    int frame = 1; // the main timeline's frame (from 1) the import tag is in
};

// What stands in a clip when no movie does: after a load that found nothing it could play, and
// after unloadMovie. Such a clip has no frames; it answers for its movie with Flash's values
// for that state (_framesloaded -1 and getBytesTotal -1 after a failed load, 0 once unloaded).
enum class StandIn : uint8_t { None, FailedLoad, Unloaded };

// A whole movie as read. Strings are raw bytes: UTF-8 from SWF 6 on, the system code page
// (read as Windows-1252) before.
struct Movie {
    Header header;
    uint32_t fileAttributes = 0;
    bool hasScriptLimits = false;
    uint16_t maxRecursionDepth = 256;
    uint16_t scriptTimeoutSeconds = 15;
    std::optional<Rgba> backgroundColor;
    Bytes jpegTables;
    Timeline timeline;
    std::map<uint16_t, std::shared_ptr<const Character>> characters;
    std::map<uint16_t, ScalingGrid> scalingGrids;
    std::map<uint16_t, SoundDefinition> sounds;
    std::map<std::string, uint16_t> exports; // export name -> character id
    std::vector<ImportedAsset> imports;
    std::vector<std::string> warnings; // what was skipped or cut short while reading
    bool isPicture = false; // made from a JPEG, PNG or GIF file rather than read from a movie
    StandIn standIn = StandIn::None; // a placeholder the player made, no movie read
};

} // namespace player::swf
