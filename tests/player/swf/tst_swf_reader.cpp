#include "SwfBuilder.h"

#include "player/swf/ByteReader.h"
#include "player/swf/MovieReader.h"

#include <QTest>

#include <random>

using namespace player;
using namespace swf_test;

Q_DECLARE_METATYPE(swf_test::Bytes)
Q_DECLARE_METATYPE(swf_test::Compression)

namespace {

swf::MovieReadResult read(const Bytes& bytes)
{
    return swf::readMovie(bytes.data(), bytes.size());
}

// A movie with a bit of everything the reader handles, for the damage tests.
Bytes richMovie(Compression compression)
{
    BitWriter action;
    action.u8(0x07); // stop
    action.u8(0x00);
    const Bytes spriteFrame = placeObject2(Place(1).character(1).at(40, 60));
    return movie({defineRectangle(1, 0, 0, 400, 300, 0xFF0000FF), defineSprite(2, 2, {spriteFrame, showFrame(), showFrame()}),
                  exportAssets(2, "Box"), frameLabel("start"),
                  placeObject2(Place(1).character(2).at(200, 0).named("box")),
                  doAction(action.take()), showFrame(), removeObject2(1), showFrame()},
                 2, compression);
}

} // namespace

class SwfReaderTest : public QObject {
    Q_OBJECT

private slots:
    // Signed bit fields of every width sign-extend; reading past the end yields zeros and says so.
    void bitFieldsSignExtendAndOverrunsAreReported_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("value");
        QTest::newRow("1 bit, -1") << 1 << -1;
        QTest::newRow("2 bits, 1") << 2 << 1;
        QTest::newRow("5 bits, -16") << 5 << -16;
        QTest::newRow("17 bits, 65535") << 17 << 65535;
        QTest::newRow("31 bits, min") << 31 << -(1 << 30);
        QTest::newRow("32 bits, -2") << 32 << -2;
    }
    void bitFieldsSignExtendAndOverrunsAreReported()
    {
        QFETCH(int, width);
        QFETCH(int, value);
        BitWriter writer;
        writer.bits(0b101, 3); // something before, so fields straddle bytes
        writer.signedBits(value, width);
        const Bytes bytes = writer.take();
        swf::ByteReader reader(bytes.data(), bytes.size());
        QCOMPARE(reader.bits(3), 0b101u);
        QCOMPARE(reader.signedBits(width), value);
        QVERIFY(!reader.overrun());
        QCOMPARE(reader.u32(), 0u);
        QVERIFY(reader.overrun());
        QVERIFY(reader.atEnd());
    }

    void headerIsReadForEveryCompression_data()
    {
        QTest::addColumn<Compression>("compression");
        QTest::newRow("FWS") << Compression::None;
        QTest::newRow("CWS") << Compression::Zlib;
        QTest::newRow("ZWS") << Compression::Lzma;
    }
    void headerIsReadForEveryCompression()
    {
        QFETCH(Compression, compression);
        const Bytes bytes = movie({showFrame(), showFrame(), showFrame()}, 3, compression, 7, 640, 480, 30.5);
        const swf::MovieReadResult result = read(bytes);
        QVERIFY2(result.movie, result.error.c_str());
        const swf::Header& header = result.movie->header;
        QCOMPARE(header.version, 7);
        QCOMPARE(header.frameSize, (swf::Rect{0, 640 * 20, 0, 480 * 20}));
        QCOMPARE(header.frameRate, 30.5);
        QCOMPARE(header.frameCount, 3);
        QCOMPARE(result.movie->timeline.frames.size(), size_t(3));
        QVERIFY(result.movie->warnings.empty());
    }

    // A few kilobytes that inflate to megabytes of nothing are refused before they are
    // inflated in full; a movie that compresses well but stays under a megabyte still reads.
    void decompressionBombsAreRefused_data()
    {
        QTest::addColumn<Compression>("compression");
        QTest::addColumn<int>("padding");
        QTest::addColumn<bool>("refused");
        QTest::newRow("zlib, 8 MB of zeros") << Compression::Zlib << 8 * 1024 * 1024 << true;
        QTest::newRow("LZMA, 8 MB of zeros") << Compression::Lzma << 8 * 1024 * 1024 << true;
        QTest::newRow("zlib, 900 kB of zeros") << Compression::Zlib << 900 * 1024 << false;
        QTest::newRow("LZMA, 900 kB of zeros") << Compression::Lzma << 900 * 1024 << false;
    }
    void decompressionBombsAreRefused()
    {
        QFETCH(Compression, compression);
        QFETCH(int, padding);
        QFETCH(bool, refused);
        // Tag 255 means nothing to the reader, which skips it.
        const Bytes bytes = movie({tag(255, Bytes(size_t(padding), 0), true), showFrame()}, 1, compression);
        QVERIFY(bytes.size() < size_t(padding) / 100);
        const swf::MovieReadResult result = read(bytes);
        QCOMPARE(!result.movie, refused);
        if (refused)
            QVERIFY2(result.error.find("decompression bomb") != std::string::npos, result.error.c_str());
    }

    void unreadableFilesAreRefusedWithAMessage_data()
    {
        QTest::addColumn<Bytes>("bytes");
        QTest::newRow("empty") << Bytes{};
        QTest::newRow("too short") << Bytes{'F', 'W', 'S', 8};
        QTest::newRow("wrong signature") << Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0};
        QTest::newRow("header cut in the stage rectangle") << Bytes{'F', 'W', 'S', 8, 20, 0, 0, 0, 0x78};
        QTest::newRow("zlib garbage") << Bytes{'C', 'W', 'S', 8, 100, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8};
        QTest::newRow("lzma without properties") << Bytes{'Z', 'W', 'S', 8, 100, 0, 0, 0, 5, 0, 0, 0, 0x5D};
        QTest::newRow("lzma garbage") << Bytes{'Z', 'W', 'S', 8, 100, 0, 0, 0, 9, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4};
    }
    void unreadableFilesAreRefusedWithAMessage()
    {
        QFETCH(Bytes, bytes);
        const swf::MovieReadResult result = read(bytes);
        QVERIFY(!result.movie);
        QVERIFY(!result.error.empty());
    }

    // Every prefix of a movie reads without a crash: either an error, or a movie whose
    // warnings say it was cut short. The full movie reads cleanly.
    void truncatedMoviesPlayAsFarAsTheyGo_data()
    {
        QTest::addColumn<Compression>("compression");
        QTest::newRow("FWS") << Compression::None;
        QTest::newRow("CWS") << Compression::Zlib;
    }
    void truncatedMoviesPlayAsFarAsTheyGo()
    {
        QFETCH(Compression, compression);
        const Bytes full = richMovie(compression);
        QVERIFY(read(full).movie->warnings.empty());
        for (size_t length = 0; length < full.size(); ++length) {
            const Bytes prefix(full.begin(), full.begin() + length);
            const swf::MovieReadResult result = read(prefix);
            // A zlib stream cut after its last data (in the checksum) still holds the whole movie,
            // and may then read without a warning; anything less must warn.
            const bool whole = result.movie && result.movie->timeline.frames.size() == 2
                && result.movie->characters.size() == 2 && result.movie->exports.size() == 1;
            QVERIFY2(!result.movie || !result.movie->warnings.empty() || whole, qPrintable(QString::number(length)));
        }
    }

    // Random damage must never crash or hang the reader (the sanitizer build checks memory).
    void corruptedMoviesNeverCrash()
    {
        const Bytes original = richMovie(Compression::None);
        std::mt19937 random(1234);
        for (int round = 0; round < 3000; ++round) {
            Bytes damaged = original;
            const int hits = 1 + int(random() % 4);
            for (int i = 0; i < hits; ++i)
                damaged[8 + random() % (damaged.size() - 8)] = static_cast<uint8_t>(random());
            read(damaged);
        }
        QVERIFY(true);
    }

    void aTagLongerThanTheFileIsCutAndReported()
    {
        Bytes bytes = movie({defineRectangle(1, 0, 0, 20, 20, 0x00FF00FF)}, 1);
        // Make the shape's long length claim far more than is there.
        Bytes lying = movie({tag(2, Bytes(10, 0), true)}, 1);
        const size_t lengthAt = lying.size() - 2 /*end*/ - 10 - 4;
        lying[lengthAt + 2] = 0x10; // 0x100000 bytes
        const swf::MovieReadResult result = read(lying);
        QVERIFY(result.movie);
        QVERIFY(!result.movie->warnings.empty());
        QVERIFY(read(bytes).movie->characters.count(1));
    }

    void shapeRecordsHaveAbsoluteCoordinates()
    {
        const swf::MovieReadResult result = read(movie({defineRectangle(5, 100, 200, 500, 700, 0x11223344)}, 1));
        QVERIFY(result.movie);
        const auto& shape = std::get<swf::Shape>(*result.movie->characters.at(5));
        QCOMPARE(shape.version, 3);
        QCOMPARE(shape.bounds, (swf::Rect{100, 500, 200, 700}));
        QCOMPARE(shape.fillStyles.size(), size_t(1));
        QCOMPARE(shape.fillStyles[0].color, (swf::Rgba{0x11, 0x22, 0x33, 0x44}));
        QCOMPARE(shape.records.size(), size_t(5));
        const auto& move = std::get<swf::StyleChangeRecord>(shape.records[0]);
        QVERIFY(move.hasMove && move.hasFill1);
        QCOMPARE(move.moveX, 100);
        QCOMPARE(move.moveY, 200);
        QCOMPARE(move.fill1, 1u);
        const auto& second = std::get<swf::StraightEdgeRecord>(shape.records[2]);
        QCOMPARE(second.toX, 500);
        QCOMPARE(second.toY, 700);
        const auto& last = std::get<swf::StraightEdgeRecord>(shape.records[4]);
        QCOMPARE(last.toX, 100);
        QCOMPARE(last.toY, 200);
    }

    void placeObjectKeepsEveryField()
    {
        BitWriter w;
        w.u8(0xFF); // every PlaceObject2 flag: clip actions, clip depth, name, ratio, cxform, matrix, character, move
        w.u8(0x20 | 0x40 | 0x02 | 0x01); // PlaceObject3: visible, background, blend mode, filters
        w.u16(7);
        w.u16(3);
        w.matrix(2.0, 0.5, -0.5, 1.5, -40, 60);
        const int32_t mult[4] = {256, 128, 0, 200};
        const int32_t add[4] = {10, -20, 30, -40};
        w.colorTransformWithAlpha(mult, add);
        w.u16(1000);
        w.string("clip");
        w.u16(12);
        w.u8(1);      // one filter
        w.u8(1);      // blur
        w.u32(5 << 16);
        w.u32(6 << 16);
        w.u8(2 << 3); // two passes
        w.u8(3);      // multiply
        w.u8(0);      // invisible
        w.u8(1);
        w.u8(2);
        w.u8(3);
        w.u8(4); // background
        // Clip actions: reserved, all events, then one load+keypress record and the end.
        w.u16(0);
        w.u32(0x00020001);
        w.u32(0x00020001);
        w.u32(3);
        w.u8(65); // key code
        w.u8(0x07);
        w.u8(0x00);
        w.u32(0);
        const swf::MovieReadResult result = read(movie({tag(70, w.take()), showFrame()}, 1, Compression::None, 8));
        QVERIFY(result.movie);
        const auto& place = std::get<swf::PlaceObject>(result.movie->timeline.frames.at(0).tags.at(0));
        QCOMPARE(place.version, 3);
        QVERIFY(place.isMove);
        QCOMPARE(place.depth, 7);
        QCOMPARE(*place.characterId, 3);
        QCOMPARE(*place.matrix, (swf::Matrix{2.0, 0.5, -0.5, 1.5, -40, 60}));
        QCOMPARE(place.colorTransform->greenMult, 128);
        QCOMPARE(place.colorTransform->alphaMult, 200);
        QCOMPARE(place.colorTransform->alphaAdd, -40);
        QCOMPARE(*place.ratio, 1000);
        QCOMPARE(*place.name, std::string("clip"));
        QCOMPARE(*place.clipDepth, 12);
        QCOMPARE(place.filters->size(), size_t(1));
        QCOMPARE(place.filters->at(0).blurX, 5.0);
        QCOMPARE(place.filters->at(0).passes, 2);
        QCOMPARE(*place.blendMode, swf::BlendMode::Multiply);
        QCOMPARE(*place.visible, false);
        QCOMPARE(*place.backgroundColor, (swf::Rgba{1, 2, 3, 4}));
        QCOMPARE(place.clipActions.size(), size_t(1));
        QCOMPARE(place.clipActions[0].events, swf::clip_event::Load | swf::clip_event::KeyPress);
        QCOMPARE(place.clipActions[0].keyCode, 65);
        QCOMPARE(place.clipActions[0].actions->size(), size_t(2));
    }

    // SWF 5 stores clip event masks in 16 bits.
    void swf5ClipEventsUseShortMasks()
    {
        BitWriter w;
        w.u8(0x80 | 0x02);
        w.u16(1);
        w.u16(2);
        w.u16(0);
        w.u16(0x0002); // all events: enterFrame
        w.u16(0x0002);
        w.u32(1);
        w.u8(0x00);
        w.u16(0);
        const swf::MovieReadResult result = read(movie({tag(26, w.take()), showFrame()}, 1, Compression::None, 5));
        const auto& place = std::get<swf::PlaceObject>(result.movie->timeline.frames.at(0).tags.at(0));
        QCOMPARE(place.clipActions.size(), size_t(1));
        QCOMPARE(place.clipActions[0].events, swf::clip_event::EnterFrame);
    }

    // The union of all events in front of the records decides which events the clip gets: a
    // record keeps only the events the union names, and a record left with none is dropped.
    void clipEventsOutsideTheUnionAreDropped()
    {
        BitWriter w;
        w.u8(0x80 | 0x02);
        w.u16(1);
        w.u16(2);
        w.u16(0);
        w.u32(0x00000200); // all events: initialize
        w.u32(0x00040200); // initialize and construct
        w.u32(1);
        w.u8(0x00);
        w.u32(0x00000002); // enterFrame
        w.u32(1);
        w.u8(0x00);
        w.u32(0);
        const swf::MovieReadResult result = read(movie({tag(26, w.take()), showFrame()}, 1, Compression::None, 8));
        QVERIFY(result.movie);
        const auto& place = std::get<swf::PlaceObject>(result.movie->timeline.frames.at(0).tags.at(0));
        QCOMPARE(place.clipActions.size(), size_t(1));
        QCOMPARE(place.clipActions[0].events, swf::clip_event::Initialize);
    }

    // Tags after the length the header gives are not part of the movie, even when the file goes
    // on; a header claiming more than the file holds keeps what is there.
    void rectSizesSaturateInsteadOfWrapping()
    {
        const swf::Rect whole{-2147483647, 2147483647, 2147483647, -2147483647};
        QCOMPARE(whole.width(), INT32_MAX);
        QCOMPARE(whole.height(), INT32_MIN);
        const swf::Rect ordinary{-20, 100, 40, 10};
        QCOMPARE(ordinary.width(), 120);
        QCOMPARE(ordinary.height(), -30);
    }

    void theHeaderLengthEndsTheMovie()
    {
        const Bytes firstFrame = doAction({0x07, 0x00});
        Bytes bytes = movie({firstFrame, showFrame(), doAction({0x06, 0x00}), showFrame()}, 2);
        QCOMPARE(read(bytes).movie->timeline.frames.size(), size_t(2));
        const size_t firstFrameEnd = bytes.size() - 2 /*end*/ - showFrame().size() - doAction({0x06, 0x00}).size();
        bytes[4] = uint8_t(firstFrameEnd);
        bytes[5] = uint8_t(firstFrameEnd >> 8);
        const swf::MovieReadResult cut = read(bytes);
        QVERIFY(cut.movie);
        QCOMPARE(cut.movie->timeline.frames.size(), size_t(1));
        QCOMPARE(cut.movie->header.fileLength, uint32_t(bytes.size()));
        QCOMPARE(cut.movie->header.uncompressedLength, uint32_t(firstFrameEnd));
    }

    // Exporting a second character under a name already exported moves the name to it.
    void theLastExportOfANameWins()
    {
        const swf::MovieReadResult result = read(movie({defineSprite(1, 1, {showFrame()}), exportAssets(1, "same"),
                                                        defineSprite(2, 1, {showFrame()}), exportAssets(2, "same"),
                                                        exportAssets(1, "other")}, 1));
        QVERIFY(result.movie);
        QCOMPARE(result.movie->exports.at("same"), uint16_t(2));
        QCOMPARE(result.movie->exports.at("other"), uint16_t(1));
    }

    // A sprite knows how many bytes its own tags take.
    void spritesCountTheBytesOfTheirTags()
    {
        const Bytes inside = placeObject2(Place(1).character(1).at(40, 60));
        const swf::MovieReadResult result = read(movie({defineRectangle(1, 0, 0, 20, 20, 0xFF0000FF),
                                                        defineSprite(2, 1, {inside, showFrame()})}, 1));
        QVERIFY(result.movie);
        const auto& sprite = std::get<swf::Sprite>(*result.movie->characters.at(2));
        QCOMPARE(sprite.tagBytes, uint32_t(inside.size() + showFrame().size() + endTag().size()));
    }

    void spritesLabelsExportsAndActionsLandInTheirFrames()
    {
        const swf::MovieReadResult result = read(richMovie(Compression::None));
        QVERIFY(result.movie);
        const swf::Movie& m = *result.movie;
        QCOMPARE(m.exports.at("Box"), 2);
        const auto& sprite = std::get<swf::Sprite>(*m.characters.at(2));
        QCOMPARE(sprite.timeline.declaredFrameCount, 2);
        QCOMPARE(sprite.timeline.frames.size(), size_t(2));
        QCOMPARE(m.timeline.frames.size(), size_t(2));
        const swf::Frame& first = m.timeline.frames[0];
        QCOMPARE(first.labels.at(0).name, std::string("start"));
        QCOMPARE(first.tags.size(), size_t(2));
        QVERIFY(std::holds_alternative<swf::DoAction>(first.tags[1]));
        QVERIFY(std::holds_alternative<swf::RemoveObject>(m.timeline.frames[1].tags.at(0)));
    }
};

QTEST_GUILESS_MAIN(SwfReaderTest)
#include "tst_swf_reader.moc"
