// Saving the texture sheet and the file dialogs: the sheet drawn at its own size from the movie
// (never read from the screen), JPEG or bitmap by the name, the question before replacing a file.
#include "TemplateWindow.h"

#include "platform/FileDialogs.h"
#include "platform/RuntimeError.h"
#include "platform/ScriptedMessages.h"
#include "texture/FileChooser.h"
#include "texture/FileDialogError.h"
#include "texture/TextureCommands.h"

#include <QImageReader>

using platform::MessageAnswer;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// "jpeg", "bmp24" (a 24-bit Windows bitmap) or what else the file starts with.
QString formatOf(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xD8"))
        return QStringLiteral("jpeg");
    if (bytes.startsWith("BM") && bytes.size() > 29)
        return QStringLiteral("bmp%1").arg(quint8(bytes[28]));
    return QString::fromLatin1(bytes.left(4).toHex());
}

void answerFileDialog(const std::optional<QString>& path, std::optional<platform::FileDialogRequest>* asked = nullptr)
{
    platform::setFileDialogHandler([=](const platform::FileDialogRequest& request) -> std::optional<platform::FileDialogResult> {
        if (asked)
            *asked = request;
        if (!path)
            return std::nullopt;
        return platform::FileDialogResult{*path, 1};
    });
}

} // namespace

class SheetExportTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testing::useHome(m_home); }

    void cleanup() { platform::setFileDialogHandler({}); }

    void saveAs_data()
    {
        QTest::addColumn<QString>("typed"); // empty: the dialog is cancelled
        QTest::addColumn<QString>("saved"); // the file written, empty for none
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QList<MessageAnswer>>("answers");
        QTest::addColumn<QString>("format");
        QTest::newRow("cancelled") << "" << "" << false << QList<MessageAnswer>{} << "";
        QTest::newRow("jpg") << "sheet.jpg" << "sheet.jpg" << false << QList<MessageAnswer>{} << "jpeg";
        QTest::newRow("JPG in capitals") << "SHEET.JPG" << "SHEET.JPG" << false << QList<MessageAnswer>{} << "jpeg";
        QTest::newRow("typed without extension") << "sheet" << "sheet.jpg" << false << QList<MessageAnswer>{} << "jpeg";
        QTest::newRow("bmp") << "sheet.bmp" << "sheet.bmp" << false << QList<MessageAnswer>{} << "bmp24";
        QTest::newRow("jpeg is a bitmap") << "sheet.jpeg" << "sheet.jpeg" << false << QList<MessageAnswer>{} << "bmp24";
        QTest::newRow("existing, No") << "old.jpg" << "" << true << QList<MessageAnswer>{MessageAnswer::No} << "";
        QTest::newRow("existing, Yes") << "old.jpg" << "old.jpg" << true << QList<MessageAnswer>{MessageAnswer::Yes}
                                       << "jpeg";
        QTest::newRow("hidden existing, No") << ".old.bmp" << "" << true << QList<MessageAnswer>{MessageAnswer::No} << "";
    }

    // "Save As..." writes what the movie shows, the texture the user gave the part included, at
    // the sheet's size; it asks before replacing a file, and a file it does not replace stays
    // byte for byte as it was.
    void saveAs()
    {
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        QFETCH(bool, existing);
        QFETCH(QList<MessageAnswer>, answers);
        QFETCH(QString, format);
        QTemporaryDir folder;
        const QByteArray oldBytes("an older file");
        if (existing) {
            QFile old(folder.filePath(typed));
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(oldBytes);
        }
        auto window = testing::startTemplate(QStringLiteral("Car.skrv"), m_user.path());
        window->textureCommands().maker().makeOneColourTexture(0xFF00FF, QStringLiteral("decaltexture"));
        testing::playFrames(*window);
        window->setUnsavedChanges(true);

        std::optional<platform::FileDialogRequest> asked;
        answerFileDialog(typed.isEmpty() ? std::nullopt : std::optional<QString>(folder.filePath(typed)), &asked);
        platform::ScriptedMessages messages;
        for (MessageAnswer answer : answers)
            messages.answerNext(answer);
        window->onSaveAsClicked();

        QVERIFY(asked);
        QCOMPARE(asked->mode, platform::FileDialogMode::Save);
        QCOMPARE(asked->filter, QStringLiteral("JPEG Files (*.JPG)|*.jpg|Bitmap Files (*.bmp)|*.bmp"));
        QCOMPARE(asked->defaultExtension, QStringLiteral("jpg"));
        QCOMPARE(asked->title, QString());
        QCOMPARE(messages.count(), answers.size());
        if (existing) {
            QCOMPARE(messages.last().text, folder.filePath(typed) + QStringLiteral(" already exists.\nDo you want to replace it?"));
            QCOMPARE(messages.last().buttons, platform::MessageButtons::YesNo);
            QCOMPARE(messages.last().icon, platform::MessageIcon::Exclamation);
            QCOMPARE(messages.last().title, platform::applicationName());
        }
        QCOMPARE(window->hasUnsavedChanges(), saved.isEmpty());
        if (saved.isEmpty()) {
            if (existing)
                QCOMPARE(readAll(folder.filePath(typed)), oldBytes);
            QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), existing ? 1 : 0);
            return;
        }
        const QByteArray bytes = readAll(folder.filePath(saved));
        QCOMPARE(formatOf(bytes), format);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{saved});
        const QImage sheet = QImage::fromData(bytes);
        QCOMPARE(sheet.size(), QSize(512, 256));
        const QRgb decal = sheet.pixel(testing::CarDecal.center());
        QVERIFY2(testing::isNear(decal, QColor(255, 0, 255), 70), qPrintable(testing::describe(decal)));
        const QRgb paint = sheet.pixel(175, 105); // the body's paint, red by default
        QVERIFY2(qRed(paint) > 120 && qGreen(paint) < 90, qPrintable(testing::describe(paint)));
    }

    // A sheet shown at half its size on a small screen, or covered by another window, is saved
    // whole at its own size.
    void halvedSheetSavesAtFullSize()
    {
        app::ScreenMetrics small;
        small.widthPixels = 400;
        small.heightPixels = 300;
        auto window = testing::startTemplate(QStringLiteral("Car.skrv"), m_user.path(), small);
        QCOMPARE(window->moviePlayer()->size(), QSize(256, 128));
        QCOMPARE(window->sheetSize(), QSize(512, 256));
        window->show();
        QWidget cover;
        cover.setGeometry(window->geometry());
        cover.show();
        QTemporaryDir folder;
        answerFileDialog(folder.filePath(QStringLiteral("small.bmp")));
        QVERIFY(window->saveTextureSheet());
        const QImage sheet(folder.filePath(QStringLiteral("small.bmp")));
        QCOMPARE(sheet.size(), QSize(512, 256));
        QVERIFY2(qRed(sheet.pixel(175, 105)) > 120, qPrintable(testing::describe(sheet.pixel(175, 105))));
    }

    // A sheet that cannot be written is "Unable to work.", and the changes stay unsaved.
    void unwritableFile()
    {
        auto window = testing::startTemplate(QStringLiteral("Car.skrv"), m_user.path());
        window->setUnsavedChanges(true);
        answerFileDialog(m_home.filePath(QStringLiteral("no such folder/sheet.jpg")));
        platform::ScriptedMessages messages;
        window->onSaveAsClicked();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, QStringLiteral("Unable to work."));
        QCOMPARE(messages.last().title, QStringLiteral("Car - Skarvelle 2"));
        QVERIFY(window->hasUnsavedChanges());
    }

    void fileChooser_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("returned"); // relative to the folder
        QTest::addColumn<QString>("chosen");   // empty: nothing chosen
        QTest::addColumn<QString>("message");  // the title of a report, if any
        QTest::addColumn<QString>("filter");
        QTest::newRow("save: extension added") << false << "sheet" << "sheet.jpg" << "" << "*.jpg";
        QTest::newRow("save: extension kept") << false << "sheet.bmp" << "sheet.bmp" << "" << "*.jpg";
        QTest::newRow("save: long path") << false << QString(300, QLatin1Char('a')) + QStringLiteral("/b.jpg")
                                         << QString(300, QLatin1Char('a')) + QStringLiteral("/b.jpg") << "" << "*.jpg";
        QTest::newRow("open: with the extension") << true << "photo" << "photo.jpg" << "" << "*.jpg";
        QTest::newRow("open: as named") << true << "plain" << "plain" << "" << "*.jpg";
        QTest::newRow("a folder") << true << "." << "" << "  Common Dialog Error" << "";
        QTest::newRow("dialog fails") << true << "!" << "" << "  Error  -  Path/File access error" << "";
    }

    void fileChooser()
    {
        QFETCH(bool, open);
        QFETCH(QString, returned);
        QFETCH(QString, chosen);
        QFETCH(QString, message);
        QFETCH(QString, filter);
        QTemporaryDir folder;
        for (const char* name : {"photo.jpg", "plain"})
            QVERIFY(QFile(folder.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly));
        platform::setFileDialogHandler([&](const platform::FileDialogRequest&) -> std::optional<platform::FileDialogResult> {
            if (returned == QLatin1String("!"))
                throw RuntimeError(75, QStringLiteral("skarvelle2"), QStringLiteral("Path/File access error"));
            return platform::FileDialogResult{folder.filePath(returned), 1};
        });
        texture::FileChooserRequest request;
        request.open = open;
        request.defaultExtension = QStringLiteral("jpg");
        request.filter = QStringLiteral("JPEG Files (*.JPG)|*.jpg|Bitmap Files (*.bmp)|*.bmp");
        platform::ScriptedMessages messages;
        const std::optional<texture::FileChoice> choice = texture::chooseFile(request);
        QCOMPARE(choice.has_value(), !chosen.isEmpty());
        QCOMPARE(messages.count(), message.isEmpty() ? 0 : 1);
        if (choice) {
            QCOMPARE(choice->path, folder.filePath(chosen));
            QCOMPARE(choice->fileTitle, QFileInfo(chosen).fileName());
            QCOMPARE(choice->filter, filter);
        } else {
            QCOMPARE(messages.last().title, message);
            QCOMPARE(messages.last().icon, platform::MessageIcon::Exclamation);
        }
    }

    void fileDialogErrorReport()
    {
        platform::ScriptedMessages messages;
        texture::reportFileDialogError(texture::InvalidFileName, QStringLiteral("DLG_GetOpenFileName"));
        QCOMPARE(messages.last().text, QStringLiteral("COMDLG32.DLL encountered the following error while calling the "
                                                      "'DLG_GetOpenFileName' function:\n\nError Number = 12290\n"
                                                      "Error Description = A filename is invalid."));
        QCOMPARE(texture::fileDialogErrorDescription(0x3004), QStringLiteral("Unknown Error"));
    }

private:
    QTemporaryDir m_home;
    QTemporaryDir m_user;
};

QTEST_MAIN(SheetExportTest)
#include "tst_sheet_export.moc"
