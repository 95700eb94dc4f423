// Where a new look for an item comes from: colours, image files, plain colours and gradient
// pictures, the texture files they become and how the movie gets them.
#include "TemplateWindow.h"

#include "app/TextureFolder.h"
#include "platform/ColorDialog.h"
#include "platform/FileDialogs.h"
#include "platform/RuntimeError.h"
#include "platform/ScriptedMessages.h"
#include "texture/ColourText.h"
#include "texture/ImageFileReader.h"
#include "texture/ItemMenu.h"
#include "texture/TextureCommands.h"
#include "texture/TextureNames.h"

#include <QBuffer>
#include <QImageReader>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

using testing::playFrames;

namespace {

const QString DecalVariable = QStringLiteral("decaltexture");

QString writeImage(const QString& path, const QColor& colour, const char* format)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    return image.save(path, format) ? path : QString();
}

QString writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(bytes);
    return path;
}

// Every pixel of the picture within `tolerance` of the colour.
bool isOneColour(const QImage& image, const QColor& colour, int tolerance = 3)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!testing::isNear(image.pixel(x, y), colour, tolerance))
                return false;
        }
    }
    return true;
}

} // namespace

class TextureSourcesTest : public QObject {
    Q_OBJECT

private slots:
    // A picture whose header claims a huge size is refused as "Out of memory" before anything is
    // allocated for its pixels.
    void hugePicturesAreRefusedFromTheirHeader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("error");
        QByteArray bmp(54, '\0');
        bmp[0] = 'B';
        bmp[1] = 'M';
        qToLittleEndian<quint32>(54, bmp.data() + 10);
        qToLittleEndian<quint32>(40, bmp.data() + 14);
        qToLittleEndian<qint32>(65535, bmp.data() + 18);
        qToLittleEndian<qint32>(65535, bmp.data() + 22);
        qToLittleEndian<quint16>(1, bmp.data() + 26);
        qToLittleEndian<quint16>(24, bmp.data() + 28);
        // The bitmap reader itself finds the header at odds with the file's size.
        QTest::newRow("BMP, 65535 x 65535") << bmp << 481;
        QByteArray gif("GIF89a", 6);
        gif.append("\xFF\xFF\xFF\xFF\x00\x00\x00", 7);
        gif.append("\x2C\x00\x00\x00\x00\xFF\xFF\xFF\xFF\x00\x02\x02\x44\x01\x00\x3B", 16);
        QTest::newRow("GIF, 65535 x 65535") << gif << 7;
        // The picture is small, but it is decoded on its logical screen.
        QByteArray wideScreen("GIF89a", 6);
        wideScreen.append("\x28\x23\x40\x1F\x00\x00\x00", 7);
        wideScreen.append("\x2C\x00\x00\x00\x00\x07\x00\x05\x00\x00\x02\x02\x44\x01\x00\x3B", 16);
        QTest::newRow("GIF, 7 x 5 on a 9000 x 8000 screen") << wideScreen << 7;
    }
    void hugePicturesAreRefusedFromTheirHeader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, error);
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("huge.img")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        try {
            texture::readImageFile(file.fileName());
            QFAIL("the picture was read");
        } catch (const RuntimeError& refusal) {
            QCOMPARE(refusal.number(), error);
        }
    }
    void initTestCase() { testing::useHome(m_home); }

    void init()
    {
        m_window = testing::startTemplate(QStringLiteral("Car.skrv"), m_user.path());
        m_window->setUnsavedChanges(false);
    }

    void cleanup()
    {
        m_window.reset();
        texture::ItemMenu::setHandler({});
        platform::setColorDialogHandler({});
        platform::setFileDialogHandler({});
    }

    void colourTexts_data()
    {
        QTest::addColumn<int>("colour");
        QTest::addColumn<QString>("hex");
        QTest::newRow("orange") << 0x0080FF << "FF8000";
        QTest::newRow("black") << 0 << "000000";
        QTest::newRow("red") << 0xFF << "FF0000";
        QTest::newRow("blue") << 0xFF0000 << "0000FF";
    }

    void colourTexts()
    {
        QFETCH(int, colour);
        QFETCH(QString, hex);
        QCOMPARE(texture::colourDigits(colour), hex);
        QCOMPARE(texture::colourFromDigits(hex), std::optional<tools::ColourReference>(colour));
        QCOMPARE(texture::colourFromDigits(hex.toLower() + QStringLiteral("99")), std::optional<tools::ColourReference>(colour));
    }

    void colourItem_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("movieText"); // set before; "-" for none
        QTest::addColumn<QColor>("initial");
        QTest::addColumn<QColor>("chosen"); // invalid: cancelled
        QTest::addColumn<QString>("result");
        const QString paint = QStringLiteral("Paint&paintcolour&colour");
        QTest::newRow("green round trip") << paint << "0x00ff00" << QColor(0, 255, 0) << QColor(0, 0, 255) << "0x0000FF";
        QTest::newRow("short text pads") << paint << "0xF" << QColor(0, 0, 15) << QColor(255, 128, 0) << "0xFF8000";
        QTest::newRow("not hexadecimal") << paint << "0xgreen" << QColor(0, 0, 0) << QColor(1, 2, 3) << "0x010203";
        QTest::newRow("empty") << paint << "" << QColor(0, 0, 0) << QColor(1, 2, 3) << "0x010203";
        QTest::newRow("no such variable") << "Other&nosuchcolour&colour" << "-" << QColor(0, 0, 0) << QColor(9, 9, 9) << "0x090909";
        QTest::newRow("cancelled") << paint << "0x00ff00" << QColor(0, 255, 0) << QColor() << "0x00ff00";
    }

    // The picker opens on the item's colour as the movie holds it; the item gets the chosen
    // colour as "0xRRGGBB", and the sheet counts as changed. Cancelling changes nothing.
    void colourItem()
    {
        QFETCH(QString, line);
        QFETCH(QString, movieText);
        QFETCH(QColor, initial);
        QFETCH(QColor, chosen);
        QFETCH(QString, result);
        const QString variable = line.section(QLatin1Char('&'), 1, 1);
        if (movieText != QLatin1String("-"))
            m_window->moviePlayer()->setVariable(variable, movieText);
        std::optional<QColor> opened;
        platform::setColorDialogHandler([&](platform::ColorDialogRequest& request) -> std::optional<QColor> {
            opened = request.initialColour;
            return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
        });
        m_window->itemMenuEntries() = QStringList{line};
        m_window->runItemMenuEntry(0);
        QCOMPARE(opened, std::optional<QColor>(initial));
        QCOMPARE(m_window->moviePlayer()->variable(variable).value_or(QStringLiteral("-")), result);
        QCOMPARE(m_window->hasUnsavedChanges(), chosen.isValid());
    }

    void imageFileReachesTheMovie_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QColor>("colour");
        QByteArray bitmap;
        QBuffer buffer(&bitmap);
        QImage blue(40, 30, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        blue.save(&buffer, "BMP");
        QTest::newRow("bitmap named .jpg") << "bitmap.jpg" << bitmap << QSize(40, 30) << QColor(Qt::blue);
        // One red pixel.
        const QByteArray gif = QByteArray::fromHex("47494638396101000100800000ff0000000000"
                                                   "2c00000000010001000002024401003b");
        QTest::newRow("GIF") << "red.gif" << gif << QSize(1, 1) << QColor(Qt::red);
    }

    // An image chosen for a file item becomes a JPEG texture of this run at the image's size,
    // whose path the item's variable receives; the movie shows it in the item's part. The
    // header decides the type, not the name.
    void imageFileReachesTheMovie()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(QSize, size);
        QFETCH(QColor, colour);
        const QString image = writeBytes(m_files.filePath(fileName), content);
        std::optional<platform::FileDialogRequest> asked;
        platform::setFileDialogHandler([&](const platform::FileDialogRequest& request) {
            asked = request;
            return std::optional<platform::FileDialogResult>({image, 2});
        });
        platform::ScriptedMessages messages;
        emit m_window->moviePlayer()->movieCommand(QStringLiteral("clickitem"), QStringLiteral("1"));

        QVERIFY(asked);
        QCOMPARE(asked->mode, platform::FileDialogMode::Open);
        QCOMPARE(asked->filter, QStringLiteral("JPEG Files (*.JPG;*.JPEG;*.JPE;*.JFIF)|*.jpg;*.jpeg;*.jpe;*.jfif|"
                                               "Bitmap Files (*.bmp)|*.bmp|GIF Files (*.GIF)|*.gif"));
        QCOMPARE(asked->defaultExtension, QStringLiteral("jpg"));
        QCOMPARE(asked->initialFolder, QDir::currentPath());
        QCOMPARE(messages.count(), 0);

        const QString texture = m_window->moviePlayer()->variable(DecalVariable).value_or(QString());
        const QRegularExpression name(QRegularExpression::escape(m_window->textureFolder().texturePathPrefix())
                                      + QStringLiteral("[0-9]{3}\\.jpg$"));
        QVERIFY2(name.match(texture).hasMatch(), qPrintable(texture));
        QImageReader reader(texture);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        QCOMPARE(reader.size(), size);
        QVERIFY(m_window->hasUnsavedChanges());

        playFrames(*m_window);
        const QImage sheet = m_window->moviePlayer()->renderStage(QSize(512, 256));
        const QRgb middle = sheet.pixel(testing::CarDecal.center());
        QVERIFY2(testing::isNear(middle, colour, 90), qPrintable(testing::describe(middle)));
    }

    void imageFilesRefused_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content"); // empty: a red PNG
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("marked"); // as changed
        QTest::newRow("PNG named .jpg") << "png.jpg" << QByteArray() << "This is not supported format!" << false;
        QTest::newRow("text") << "notes.jpg" << QByteArray("just some words") << "This is not supported format!" << false;
        // A JPEG start with a 16 x 16 frame header, then no picture.
        QTest::newRow("broken JPEG") << "broken.jpg" << QByteArray::fromHex("ffd8ffc000110800100010030122").append("garbage")
                                     << "An error has occurred!" << true;
        // A bitmap header that claims 30000 x 30000 pixels is refused before anything is decoded.
        const QByteArray huge = QByteArray::fromHex("424d36000000000000003600000028000000"
                                                    "30750000307500000100180000000000")
                                + QByteArray(20, '\0');
        QTest::newRow("huge bitmap") << "huge.bmp" << huge << "An error has occurred!" << true;
    }

    // Refused images leave the item's texture as it was.
    void imageFilesRefused()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFETCH(bool, marked);
        const QString path = content.isEmpty() ? writeImage(m_files.filePath(fileName), Qt::red, "PNG")
                                               : writeBytes(m_files.filePath(fileName), content);
        QVERIFY(!path.isEmpty());
        const std::optional<QString> before = m_window->moviePlayer()->variable(DecalVariable);
        platform::setFileDialogHandler([&](const platform::FileDialogRequest&) {
            return std::optional<platform::FileDialogResult>({path, 1});
        });
        platform::ScriptedMessages messages;
        m_window->runItemMenuEntry(1);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, message);
        QCOMPARE(messages.last().icon, platform::MessageIcon::Critical);
        QCOMPARE(messages.last().title, platform::applicationName());
        QCOMPARE(m_window->moviePlayer()->variable(DecalVariable), before);
        QCOMPARE(m_window->hasUnsavedChanges(), marked);
    }

    // "Plain Colour..." opens the picker on black and gives the chosen file item a 256 x 256
    // JPEG of that one colour; colour items cannot be chosen meanwhile.
    void plainColourTexture()
    {
        std::optional<QColor> opened;
        platform::setColorDialogHandler([&](platform::ColorDialogRequest& request) -> std::optional<QColor> {
            opened = request.initialColour;
            return QColor(10, 200, 30);
        });
        QStringList offered;
        texture::ItemMenu::setHandler([&](QMenu& menu) {
            for (QAction* action : menu.actions()) {
                if (action->isEnabled() && !action->isSeparator())
                    offered.append(action->text());
            }
            return menu.actions().value(1);
        });
        m_window->onPlainColourClicked();
        QCOMPARE(offered, (QStringList{"Door Decal", "Wheels"}));
        QCOMPARE(opened, std::optional<QColor>(Qt::black));
        const QString texture = m_window->moviePlayer()->variable(DecalVariable).value_or(QString());
        QImageReader reader(texture);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        const QImage picture = reader.read();
        QCOMPARE(picture.size(), QSize(256, 256));
        QVERIFY(isOneColour(picture, QColor(10, 200, 30)));
        QVERIFY(m_window->hasUnsavedChanges());
        QVERIFY(!m_window->isPlainColourMode());
    }

    // While the gradient window shows, a file item gets its picture; a picture that cannot be
    // made into a texture is reported and leaves the sheet unchanged.
    void gradientPicture()
    {
        QImage gradient(256, 256, QImage::Format_RGB32);
        gradient.fill(QColor(200, 100, 0));
        QWidget gradientWindow;
        gradientWindow.show();
        m_window->textureCommands().setGradientWindow(&gradientWindow, [&] { return gradient; });
        m_window->runItemMenuEntry(1);
        const QImage texture(m_window->moviePlayer()->variable(DecalVariable).value_or(QString()));
        QCOMPARE(texture.size(), QSize(256, 256));
        QVERIFY(isOneColour(texture, QColor(200, 100, 0)));
        QVERIFY(m_window->hasUnsavedChanges());

        m_window->setUnsavedChanges(false);
        gradient = QImage();
        platform::ScriptedMessages messages;
        m_window->runItemMenuEntry(1);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, QStringLiteral("An error has occurred!"));
        QVERIFY(!m_window->hasUnsavedChanges());
    }

    // Two textures in a row never share a name, however the digits fall, so the first file is
    // still there for the part that shows it; once all 1000 names are in use, the oldest is the
    // next.
    void texturesGetNamesNotInUse()
    {
        texture::TextureNames names([] { return 0.5; }); // 4.5 rounds to 4
        QCOMPARE(names.next(), 444);
        QCOMPARE(names.next(), 445);
        for (int count = 2; count < texture::TextureNames::Count; ++count)
            names.next();
        QCOMPARE(names.inUseCount(), 1000);
        QCOMPARE(names.next(), 444);
        QCOMPARE(names.next(), 445);

        // Through the menu: the same colour twice gives two files, both kept.
        platform::setColorDialogHandler([](platform::ColorDialogRequest&) { return std::optional<QColor>(Qt::red); });
        texture::ItemMenu::setHandler([](QMenu& menu) { return menu.actions().value(1); });
        m_window->onPlainColourClicked();
        const QString first = m_window->moviePlayer()->variable(DecalVariable).value_or(QString());
        m_window->onPlainColourClicked();
        const QString second = m_window->moviePlayer()->variable(DecalVariable).value_or(QString());
        QVERIFY(!first.isEmpty());
        QVERIFY(first != second);
        QVERIFY(QFileInfo(first).isFile());
        QVERIFY(QFileInfo(second).isFile());
    }

private:
    QTemporaryDir m_home;
    QTemporaryDir m_user;
    QTemporaryDir m_files;
    std::unique_ptr<app::MainWindow> m_window;
};

QTEST_MAIN(TextureSourcesTest)
#include "tst_texture_sources.moc"
