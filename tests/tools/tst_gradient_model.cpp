// The gradient model: where the colours go for each direction, how they are blended, the
// property rules and the failures of drawing.
#include "platform/ScriptedMessages.h"
#include "platform/Settings.h"
#include "tools/GradientModel.h"
#include "tools/TwoColourGradient.h"

#include <QtTest>
#include <algorithm>
#include <cmath>

using tools::ColourReference;
using tools::GradientModel;

namespace {

constexpr ColourReference Black = 0x000000;
constexpr ColourReference White = 0xFFFFFF;
const QRgb Sentinel = qRgb(255, 0, 255); // never a colour of a black-to-white gradient

QImage blankPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Sentinel);
    return picture;
}

GradientModel blackToWhite(float angle)
{
    GradientModel model;
    model.setColour1(Black);
    model.setColour2(White);
    model.setAngle(angle);
    return model;
}

// The grey level of a pixel of a black-to-white gradient.
int greyAt(const QImage& picture, int x, int y)
{
    return qRed(picture.pixel(x, y));
}

} // namespace

class GradientModelTest : public QObject {
    Q_OBJECT

private slots:
    // On 256 x 256 the lines run one pixel apart from the first colour's edge: line k has blend
    // colour k of 258 (the count of lines drawn). At 0 and 270 the first line lies on the
    // picture's first column or row; at 90 and 180 it lies just outside, past the last one.
    void straightDirections_data()
    {
        QTest::addColumn<float>("angle");
        QTest::addColumn<int>("perX"); // colour index = perX * x + perY * y + base
        QTest::addColumn<int>("perY");
        QTest::addColumn<int>("base");
        QTest::newRow("0: first colour at the left") << 0.0f << 1 << 0 << 0;
        QTest::newRow("90: at the bottom") << 90.0f << 0 << -1 << 256;
        QTest::newRow("180: at the right") << 180.0f << -1 << 0 << 256;
        QTest::newRow("270: at the top") << 270.0f << 0 << 1 << 0;
    }

    void straightDirections()
    {
        QFETCH(float, angle);
        QFETCH(int, perX);
        QFETCH(int, perY);
        QFETCH(int, base);
        QImage picture = blankPicture(256, 256);
        QVERIFY(blackToWhite(angle).draw(picture));
        const QList<ColourReference> colours = GradientModel::blendColours(Black, White, 258);
        QImage expected = blankPicture(256, 256);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                expected.setPixel(x, y, tools::toColour(colours.at(perX * x + perY * y + base)).rgb());
        if (picture == expected)
            return;
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                if (picture.pixel(x, y) != expected.pixel(x, y))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is %3, not %4")
                                         .arg(x)
                                         .arg(y)
                                         .arg(picture.pixel(x, y), 0, 16)
                                         .arg(expected.pixel(x, y), 0, 16)));
            }
        }
    }

    // Every direction covers the whole picture, whatever its shape, and runs from dark on the
    // first colour's side to light on the other.
    void everyDirectionCoversThePicture_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("square") << QSize(256, 256);
        QTest::newRow("wide") << QSize(97, 23);
        QTest::newRow("tall") << QSize(17, 160);
        QTest::newRow("2 x 2") << QSize(2, 2);
    }

    void everyDirectionCoversThePicture()
    {
        QFETCH(QSize, size);
        for (int angle = 0; angle < 360; angle += 15) {
            QImage picture = blankPicture(size.width(), size.height());
            QVERIFY2(blackToWhite(float(angle)).draw(picture), qPrintable(QString::number(angle)));
            for (int y = 0; y < size.height(); ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
                const auto* unpainted = std::find(line, line + size.width(), Sentinel);
                QVERIFY2(unpainted == line + size.width(),
                         qPrintable(QStringLiteral("%1 degrees: %2,%3 unpainted").arg(angle).arg(unpainted - line).arg(y)));
            }
            if (size.width() < 16)
                continue;
            // The corner or edge the direction points away from is darker than the one it
            // points to.
            const double radians = angle * M_PI / 180;
            const QPointF centre(size.width() / 2.0, size.height() / 2.0);
            const QPointF toward(std::cos(radians) * size.width() * 0.4, -std::sin(radians) * size.height() * 0.4);
            const QPoint start = (centre - toward).toPoint();
            const QPoint end = (centre + toward).toPoint();
            QVERIFY2(greyAt(picture, start.x(), start.y()) + 20 < greyAt(picture, end.x(), end.y()),
                     qPrintable(QString::number(angle)));
        }
    }

    void tooSmallAreasStayUnpainted_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("painted");
        QTest::newRow("2 x 2 paints") << QSize(2, 2) << true;
        QTest::newRow("1 high") << QSize(50, 1) << false;
        QTest::newRow("1 wide") << QSize(1, 50) << false;
        QTest::newRow("empty") << QSize(0, 0) << false;
    }

    void tooSmallAreasStayUnpainted()
    {
        QFETCH(QSize, size);
        QFETCH(bool, painted);
        QImage picture = blankPicture(size.width(), size.height());
        const QImage before = picture;
        QCOMPARE(blackToWhite(45).draw(picture), painted);
        QCOMPARE(picture == before, !painted);
    }

    void blending_data()
    {
        QTest::addColumn<ColourReference>("from");
        QTest::addColumn<ColourReference>("to");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QList<ColourReference>>("colours");
        QTest::newRow("4 steps: 63.75 a step, halves to even")
            << Black << White << 4 << QList<ColourReference>{0, 0x404040, 0x808080, 0xFFFFFF};
        QTest::newRow("0 steps: the two ends") << 0x123456 << 0x654321 << 0 << QList<ColourReference>{0x123456, 0x654321};
        QTest::newRow("1 step: the two ends") << Black << White << 1 << QList<ColourReference>{Black, White};
        QTest::newRow("channels apart: red to blue")
            << 0x0000FF << 0xFF0000 << 3 << QList<ColourReference>{0x0000FF, 0x5500AA, 0xFF0000};
        QTest::newRow("ends copied with their high bits")
            << ColourReference(0x80000019u) << White << 2 << QList<ColourReference>{ColourReference(0x80000019u), White};
    }

    void blending()
    {
        QFETCH(ColourReference, from);
        QFETCH(ColourReference, to);
        QFETCH(int, steps);
        QFETCH(QList<ColourReference>, colours);
        QCOMPARE(GradientModel::blendColours(from, to, steps), colours);
    }

    void properties()
    {
        GradientModel model;
        const QList<QPair<float, float>> angles{{360, 0}, {-90, 270}, {725, 5}, {-45, 315}, {359.5f, 359.5f}, {0, 0}};
        for (const auto& [given, held] : angles) {
            model.setAngle(given);
            QCOMPARE(model.angle(), held);
        }
        // System colour 5 (window) is stored as its colour; number 25 is none and stays as given.
        model.setColour1(ColourReference(0x80000005u));
        QCOMPARE(model.colour1(), tools::systemColour(5));
        model.setColour2(ColourReference(0x80000005u));
        QCOMPARE(model.colour2(), tools::systemColour(5));
        model.setColour1(ColourReference(0x80000019u));
        QCOMPARE(model.colour1(), ColourReference(0x80000019u));
        QVERIFY(model.colour1() < 0);
    }

    // Failures are shown with an exclamation icon: those of the drawing titled "GradientRect",
    // a picture it cannot draw on with the program's title.
    void failures_data()
    {
        QTest::addColumn<float>("angle");
        QTest::addColumn<QImage::Format>("format");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("description");
        QTest::newRow("no direction") << float(NAN) << QImage::Format_RGB32 << "GradientRect" << "Overflow";
        QTest::newRow("endless direction") << float(INFINITY) << QImage::Format_RGB32 << "GradientRect" << "Overflow";
        QTest::newRow("8-bit picture") << 0.0f << QImage::Format_Indexed8 << platform::applicationName()
                                       << "Invalid picture";
    }

    void failures()
    {
        QFETCH(float, angle);
        QFETCH(QImage::Format, format);
        QFETCH(QString, title);
        QFETCH(QString, description);
        platform::ScriptedMessages messages;
        GradientModel model = blackToWhite(angle);
        QImage picture(16, 16, format);
        QVERIFY(!model.draw(picture));
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().title, title);
        QCOMPARE(messages.last().text, description);
        QCOMPARE(messages.last().icon, platform::MessageIcon::Exclamation);
    }

    // The picture without windows is the gradient window's canvas: its direction 90 is the
    // model's 270, the first colour at the top.
    void pictureWithoutWindows()
    {
        platform::ScriptedMessages messages;
        const QImage picture = tools::renderTwoColourGradient(Black, White, 90, QSize(64, 48));
        QCOMPARE(picture.size(), QSize(64, 48));
        QImage expected = blankPicture(64, 48);
        QVERIFY(blackToWhite(270).draw(expected));
        QCOMPARE(picture, expected);
        QVERIFY(tools::renderTwoColourGradient(Black, White, 0, QSize(64, 1)).isNull());
        QVERIFY(tools::renderTwoColourGradient(Black, White, 0, QSize(-5, 10)).isNull());
        // No windows, no messages: a direction that cannot be drawn gives no picture.
        QCOMPARE(messages.count(), 0);
    }
};

QTEST_MAIN(GradientModelTest)
#include "tst_gradient_model.moc"
