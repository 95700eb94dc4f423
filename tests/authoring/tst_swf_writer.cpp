// The SWF writer's encodings: bit fields, records, tag headers, the movie header, shapes,
// placements and the AVM1 assembler's layout.

#include "authoring/ActionAssembler.h"
#include "authoring/MovieWriter.h"
#include "authoring/PlaceObjectRecord.h"
#include "authoring/ShapeBuilder.h"
#include "authoring/SwfRecords.h"
#include "authoring/TimelineWriter.h"

#include <QTest>

#include <zlib.h>

using namespace authoring;

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

QByteArray inflate(const QByteArray& data, int expectedSize)
{
    QByteArray result(expectedSize, '\0');
    uLongf size = uLongf(expectedSize);
    if (uncompress(reinterpret_cast<Bytef*>(result.data()), &size, reinterpret_cast<const Bytef*>(data.constData()),
                   uLong(data.size())) != Z_OK)
        return {};
    result.resize(qsizetype(size));
    return result;
}

uint32_t readU32(const QByteArray& bytes, int at)
{
    return uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8 | uint8_t(bytes[at + 2]) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24;
}

} // namespace

class SwfWriterTest : public QObject {
    Q_OBJECT

private slots:
    void bitFieldsArePackedMostSignificantBitFirst()
    {
        ByteWriter out;
        {
            BitWriter bits(out);
            bits.writeUnsigned(5, 3);
            bits.writeFlag(true);
            bits.writeSigned(-1, 2);
        }
        QCOMPARE(out.bytes(), hex("bc"));
    }

    void signedBitCount_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("bits");
        QTest::newRow("zero") << 0 << 1;
        QTest::newRow("one") << 1 << 2;
        QTest::newRow("minus one") << -1 << 1;
        QTest::newRow("127") << 127 << 8;
        QTest::newRow("-128") << -128 << 8;
        QTest::newRow("128") << 128 << 9;
        QTest::newRow("stage width 11000") << 11000 << 15;
    }

    void signedBitCount()
    {
        QFETCH(int, value);
        QFETCH(int, bits);
        QCOMPARE(authoring::signedBitCount(value), bits);
    }

    void records_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("expected");
        // The classic 550 x 400 stage rectangle of Flash's own movies.
        QTest::newRow("stage rect") << 0 << hex("7800055f00000fa000");
        QTest::newRow("identity matrix") << 1 << hex("00");
        QTest::newRow("translation 1,-1 px") << 2 << hex("0ca580");
        // Scale flag, 17-bit fields of 0x8000, no rotation, no translation.
        QTest::newRow("half scale") << 3 << hex("c50000800000");
        // Multipliers only, 10-bit fields: 256, 256, 256, 128.
        QTest::newRow("alpha half") << 4 << hex("690040100200");
    }

    void records()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, expected);
        ByteWriter out;
        switch (kind) {
        case 0: writeRect(out, {0, 11000, 0, 8000}); break;
        case 1: writeMatrix(out, {}); break;
        case 2: writeMatrix(out, translation(20, -20)); break;
        case 3: writeMatrix(out, {0.5, 0, 0, 0.5, 0, 0}); break;
        case 4: {
            ColorTransform transform;
            transform.alphaMult = 128;
            writeColorTransformWithAlpha(out, transform);
            break;
        }
        }
        QCOMPARE(out.bytes().toHex(), expected.toHex());
    }

    void tagHeaders()
    {
        // Short form below 63 bytes, long form from 63 and always for bitmaps.
        QCOMPARE(tagBytes(TagCode::ShowFrame, {}), hex("4000"));
        QCOMPARE(tagBytes(TagCode::DoAction, QByteArray(62, 'x')).left(2), hex("3e03"));
        QCOMPARE(tagBytes(TagCode::DoAction, QByteArray(63, 'x')).left(6), hex("3f033f000000"));
        QCOMPARE(tagBytes(TagCode::DefineBitsJpeg2, QByteArray(4, 'x')).left(6), hex("7f0504000000"));
    }

    void timelineClosesItsLastFrame()
    {
        TimelineWriter timeline;
        timeline.frameLabel("one");
        QCOMPARE(timeline.frameCount(), 1);
        timeline.showFrame();
        QCOMPARE(timeline.frameCount(), 1);
        timeline.removeObject(3);
        QCOMPARE(timeline.frameCount(), 2);
        // Label, ShowFrame, RemoveObject2, the added ShowFrame, End.
        QCOMPARE(timeline.finished(), hex("c40a6f6e6500") + hex("4000") + hex("02070300") + hex("4000") + hex("0000"));
    }

    void movieHeader_data()
    {
        QTest::addColumn<bool>("compressed");
        QTest::newRow("plain") << false;
        QTest::newRow("zlib") << true;
    }

    void movieHeader()
    {
        QFETCH(bool, compressed);
        MovieWriter movie(8, 550, 400, 24);
        movie.root().showFrame();
        movie.root().showFrame();
        const QByteArray file = movie.toBytes(compressed);
        QCOMPARE(file.left(4), QByteArray(compressed ? "CWS\x08" : "FWS\x08"));
        const uint32_t length = readU32(file, 4);
        const QByteArray body = compressed ? inflate(file.mid(8), int(length) - 8) : file.mid(8);
        QCOMPARE(uint32_t(body.size() + 8), length);
        // Stage rect, frame rate 24.0 in 8.8, two frames, then FileAttributes as the first tag.
        QCOMPARE(body.left(15).toHex(), hex("7800055f00000fa000" "0018" "0200" "4411").toHex());
    }

    void shapeBoundsIncludeHalfTheLineWidth()
    {
        ShapeBuilder shape;
        ShapeLayer layer;
        layer.path.addRectangle({100, 300, 200, 400});
        layer.line = LineStyle{40, {}};
        shape.addLayer(std::move(layer));
        const Rect bounds = shape.bounds();
        QCOMPARE(bounds.xMin, 80);
        QCOMPARE(bounds.xMax, 320);
        QCOMPARE(bounds.yMin, 180);
        QCOMPARE(bounds.yMax, 420);
        QVERIFY(!shape.needsDefineShape4());
    }

    void shapeRecordsOfOneSolidRectangle()
    {
        ShapeBuilder shape;
        ShapeLayer layer;
        layer.path.addRectangle({0, 20, 0, 20});
        layer.fill = FillStyle{};
        layer.fill->color = {255, 0, 0, 255};
        shape.addLayer(std::move(layer));
        const QByteArray body = shape.tagBody(7);
        // Id, 6-bit bounds, one solid red fill, no lines, 1+1 index bits, then the records:
        // move to (0,0) with fill 0 = 1, four horizontal or vertical edges of 20 twips, end.
        const QByteArray expected = hex("0700") + hex("300a00a0") + hex("0100ff0000ff") + hex("00") + hex("11")
            + hex("2c25a0a68a9a1668d800");
        QCOMPARE(body.toHex(), expected.toHex());
    }

    void longEdgesAreSplitToFitTheirBitFields()
    {
        // 4096 pixels is 81920 twips: 18 bits, one more than an edge record holds.
        ShapeBuilder shape;
        ShapeLayer layer;
        layer.path.moveTo(0, 0);
        layer.path.lineTo(81920, 0);
        layer.path.curveTo(81920, 81920, 0, 81920);
        layer.line = LineStyle{20, {}};
        shape.addLayer(std::move(layer));
        const QByteArray body = shape.tagBody(1);
        // Walk the records: every edge's bit count must be at most 17, and the pen must end
        // where the path ends.
        // Id, 18-bit bounds (10 bytes), no fills, one line of width and colour, index bits.
        int bitPosition = (2 + 10 + 1 + 1 + 2 + 4 + 1) * 8;
        auto read = [&](int count) {
            uint32_t value = 0;
            for (int i = 0; i < count; ++i, ++bitPosition)
                value = (value << 1) | ((uint8_t(body[bitPosition / 8]) >> (7 - bitPosition % 8)) & 1);
            return value;
        };
        auto readSigned = [&](int count) {
            const uint32_t value = read(count);
            return int32_t(value << (32 - count)) >> (32 - count);
        };
        QCOMPARE(read(6), 0b001011u); // style change: line style, fill style 0 and move
        const int moveBits = int(read(5));
        QCOMPARE(readSigned(moveBits), 0);
        QCOMPARE(readSigned(moveBits), 0);
        QCOMPARE(read(1), 0u); // no fill
        QCOMPARE(read(1), 1u); // line style 1
        int x = 0, y = 0, edges = 0;
        while (read(1) == 1) {
            ++edges;
            const bool straight = read(1) == 1;
            const int count = int(read(4)) + 2;
            QVERIFY(count <= 17);
            if (straight) {
                if (read(1) == 1) {
                    x += readSigned(count);
                    y += readSigned(count);
                } else if (read(1) == 1) {
                    y += readSigned(count);
                } else {
                    x += readSigned(count);
                }
            } else {
                x += readSigned(count);
                y += readSigned(count);
                x += readSigned(count);
                y += readSigned(count);
            }
        }
        QVERIFY(edges > 2);
        QCOMPARE(x, 0);
        QCOMPARE(y, 81920);
    }

    void focalGradientNeedsDefineShape4()
    {
        ShapeBuilder shape;
        ShapeLayer layer;
        layer.path.addEllipse({0, 200, 0, 200});
        FillStyle fill;
        fill.kind = FillStyle::Kind::FocalGradient;
        fill.stops = {{0, {}}, {255, {255, 255, 255, 255}}};
        layer.fill = fill;
        shape.addLayer(std::move(layer));
        QVERIFY(shape.needsDefineShape4());
    }

    void placeObjectChoosesVersionByFields()
    {
        PlaceObjectRecord plain;
        plain.depth = 2;
        plain.characterId = 5;
        plain.name.emplace(1, 'a'); // emplace, not "a": GCC 12 warns wrongly (-Wrestrict) about that assignment under the sanitizers
        QVERIFY(!plain.needsPlaceObject3());
        QCOMPARE(plain.toBytes(false).toHex(), hex("2202000500" "6100").toHex());

        PlaceObjectRecord blended = plain;
        blended.blendMode = BlendMode::Add;
        blended.filters.push_back({});
        QVERIFY(blended.needsPlaceObject3());
        const QByteArray bytes = blended.toBytes(true);
        QCOMPARE(bytes.left(2), hex("2203"));
        // Filter count, blur filter of 4 x 4 pixels in 16.16, one pass; then the blend mode.
        QCOMPARE(bytes.mid(8).toHex(), hex("01" "01" "00000400" "00000400" "08" "08").toHex());
    }

    void clipEventsEndWithAZeroFlagWord()
    {
        PlaceObjectRecord record;
        record.isMove = true;
        record.clipEvents.push_back({0x02, hex("0700")});
        const QByteArray bytes = record.toBytes(false);
        QCOMPARE(bytes.toHex(), hex("81" "0100" "0000" "02000000" "02000000" "02000000" "0700" "00000000").toHex());
    }

    void assemblerMergesPushesUntilALabel()
    {
        ActionAssembler code;
        code.push(int32_t(1));
        code.push(true);
        const Label label = code.newLabel();
        code.bind(label);
        code.push(PushNull{});
        code.jump(label);
        // One Push of two values, a second Push after the label, a Jump back over both.
        QCOMPARE(code.finish().toHex(),
                 hex("960700" "0701000000" "0501" "960100" "02" "990200" "f7ff" "00").toHex());
    }

    void assemblerPutsTheConstantPoolFirst()
    {
        ActionAssembler code;
        code.pushString("x");
        code.pushString("y");
        code.pushString("x");
        code.op(ActionCode::Trace);
        QCOMPARE(code.finish().toHex(), hex("880600" "0200" "7800" "7900" "960600" "0800" "0801" "0800" "26" "00").toHex());
    }

    void pushNumberKeepsIntegersExact_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("integer") << 3.0 << hex("960500" "0703000000");
        QTest::newRow("negative integer") << -2.0 << hex("960500" "07feffffff");
        QTest::newRow("fraction") << 0.5 << hex("960900" "06" "0000e03f" "00000000");
        QTest::newRow("negative zero") << -0.0 << hex("960900" "06" "00000080" "00000000");
        QTest::newRow("beyond 32 bits") << 4294967296.0 << hex("960900" "06" "0000f041" "00000000");
    }

    void pushNumberKeepsIntegersExact()
    {
        QFETCH(double, value);
        QFETCH(QByteArray, expected);
        ActionAssembler code;
        code.pushNumber(value);
        QCOMPARE(code.finish().toHex(), (expected + hex("00")).toHex());
    }

    void defineFunction2CountsItsBody()
    {
        ActionAssembler code;
        ActionAssembler body = code.nested();
        body.push(int32_t(7));
        body.op(ActionCode::Return);
        code.defineFunction2("f", {{"a", 0}}, 4, 0, body);
        // Name, one parameter, four registers, no flags, parameter in no register, body size 9.
        QCOMPARE(code.finish().toHex(),
                 hex("8e0c00" "6600" "0100" "04" "0000" "00" "6100" "0900" "960500" "0707000000" "3e" "00").toHex());
    }
};

QTEST_GUILESS_MAIN(SwfWriterTest)
#include "tst_swf_writer.moc"
