#include "platform/ColorDialog.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"
#include "platform/ScriptedMessages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace platform;

Q_DECLARE_METATYPE(platform::MessageIcon)
Q_DECLARE_METATYPE(platform::MessageButtons)
Q_DECLARE_METATYPE(platform::MessageAnswer)

namespace {

// Runs the action on the first modal dialog of the given kind as soon as it is up, from the
// event loop that its exec() runs. A dialog that never closes is rejected after a few seconds
// so that a broken test fails instead of hanging.
template <typename Dialog>
void whenModalAppears(std::function<void(Dialog*)> action)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            action(dialog);
        }
    });
    poll->start();
    QTimer::singleShot(5000, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
}

} // namespace

class DialogSeamsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();


    void realMessageBox_data();
    void realMessageBox();

    void nameFilters_data();
    void nameFilters();
    void realOpenDialogReturnsChoice();
    void realSaveDialogAddsExtensionAndCancels();

    void realColourDialogKeepsCustomColours();

private:
    QTemporaryDir m_home;
};

void DialogSeamsTest::initTestCase()
{
    // The colour dialog writes Qt's shared settings file; keep it out of the real home.
    QVERIFY(m_home.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path()));
}

void DialogSeamsTest::realMessageBox_data()
{
    QTest::addColumn<MessageIcon>("icon");
    QTest::addColumn<MessageButtons>("buttons");
    QTest::addColumn<int>("expectedIcon");
    QTest::addColumn<int>("expectedButtons");
    QTest::addColumn<int>("press"); // a standard button, or 0 for Escape
    QTest::addColumn<MessageAnswer>("answer");

    const int yesNo = QMessageBox::Yes | QMessageBox::No;
    const int yesNoCancel = yesNo | QMessageBox::Cancel;
    QTest::newRow("question no") << MessageIcon::Question << MessageButtons::YesNo << int(QMessageBox::Question) << yesNo
                                 << int(QMessageBox::No) << MessageAnswer::No;
    QTest::newRow("escape on yes/no") << MessageIcon::None << MessageButtons::YesNo << int(QMessageBox::NoIcon) << yesNo
                                      << 0 << MessageAnswer::No;
    QTest::newRow("escape on yes/no/cancel") << MessageIcon::Exclamation << MessageButtons::YesNoCancel
                                             << int(QMessageBox::Warning) << yesNoCancel << 0 << MessageAnswer::Cancel;
}

void DialogSeamsTest::realMessageBox()
{
    QFETCH(MessageIcon, icon);
    QFETCH(MessageButtons, buttons);
    QFETCH(int, expectedIcon);
    QFETCH(int, expectedButtons);
    QFETCH(int, press);
    QFETCH(MessageAnswer, answer);

    QString seenTitle;
    QString seenText;
    int seenIcon = -1;
    int seenButtons = -1;
    Qt::TextFormat seenFormat = Qt::AutoText;
    whenModalAppears<QMessageBox>([&](QMessageBox* box) {
        seenTitle = box->windowTitle();
        seenText = box->text();
        seenFormat = box->textFormat();
        seenIcon = box->icon();
        seenButtons = int(box->standardButtons());
        if (press == 0)
            QTest::keyClick(box, Qt::Key_Escape);
        else if (QAbstractButton* button = box->button(QMessageBox::StandardButton(press)))
            button->click();
    });
    // A movie's text with markup is shown as written: no link can be clicked in it.
    const QString text = QStringLiteral("Proceed? <a href=\"file:///etc/passwd\">here</a>");
    const MessageAnswer given = showMessage({text, {}, icon, buttons});
    // Without a title of its own a box is titled with the executable's name.
    QCOMPARE(seenTitle, QStringLiteral("tst_dialogseams"));
    QCOMPARE(seenText, text);
    QCOMPARE(seenFormat, Qt::PlainText);
    QCOMPARE(seenIcon, expectedIcon);
    QCOMPARE(seenButtons, expectedButtons);
    QCOMPARE(given, answer);
}

void DialogSeamsTest::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("save filter") << "JPEG Files (*.JPG)|*.jpg|Bitmap Files (*.bmp)|*.bmp"
                                 << QStringList{"JPEG Files (*.jpg)", "Bitmap Files (*.bmp)"};
    QTest::newRow("open filter")
        << "JPEG Files (*.JPG;*.JPEG;*.JPE;*.JFIF)|*.jpg;*.jpeg;*.jpe;*.jfif|Bitmap Files (*.bmp)|*.bmp|GIF Files (*.GIF)|*.gif"
        << QStringList{"JPEG Files (*.jpg *.jpeg *.jpe *.jfif)", "Bitmap Files (*.bmp)", "GIF Files (*.gif)"};
    QTest::newRow("other parentheses stay") << "Pictures (old)|*.pcx" << QStringList{"Pictures (old) (*.pcx)"};
    QTest::newRow("empty pattern list") << "A|;|B|*.b" << QStringList{"A (*)", "B (*.b)"};
    QTest::newRow("no description") << "|*.txt" << QStringList{"*.txt (*.txt)"};
}

void DialogSeamsTest::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(qtNameFilters(filter), expected);
}

void DialogSeamsTest::realOpenDialogReturnsChoice()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QFile picture(folder.filePath("photo.gif"));
    QVERIFY(picture.open(QIODevice::WriteOnly));
    picture.close();

    FileDialogRequest request;
    request.mode = FileDialogMode::Open;
    request.title = "Open Picture";
    request.filter = "JPEG Files (*.JPG)|*.jpg|GIF Files (*.GIF)|*.gif";
    request.filterIndex = 2;
    request.initialFolder = folder.path();
    request.options = FileDialogOption::FileMustExist;

    QString seenTitle;
    QString seenFilter;
    QString seenFolder;
    bool seenOpen = false;
    whenModalAppears<QFileDialog>([&](QFileDialog* dialog) {
        seenTitle = dialog->windowTitle();
        seenFilter = dialog->selectedNameFilter();
        seenFolder = dialog->directory().absolutePath();
        seenOpen = dialog->acceptMode() == QFileDialog::AcceptOpen && dialog->fileMode() == QFileDialog::ExistingFile;
        dialog->selectFile("photo.gif");
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog hides accept()
    });
    const std::optional<FileDialogResult> result = showFileDialog(request);
    QCOMPARE(seenTitle, QStringLiteral("Open Picture"));
    QCOMPARE(seenFilter, QStringLiteral("GIF Files (*.gif)"));
    QCOMPARE(seenFolder, QDir(folder.path()).absolutePath());
    QVERIFY(seenOpen);
    QVERIFY(result.has_value());
    QCOMPARE(result->path, QFileInfo(picture).absoluteFilePath());
    QCOMPARE(result->filterIndex, 2);
}

void DialogSeamsTest::realSaveDialogAddsExtensionAndCancels()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.filter = "JPEG Files (*.JPG)|*.jpg|Bitmap Files (*.bmp)|*.bmp";
    request.initialFolder = folder.path();
    request.initialFileName = "sheet";
    request.defaultExtension = "jpg";

    bool seenSave = false;
    whenModalAppears<QFileDialog>([&](QFileDialog* dialog) {
        seenSave = dialog->acceptMode() == QFileDialog::AcceptSave
            && dialog->testOption(QFileDialog::DontConfirmOverwrite);
        static_cast<QDialog*>(dialog)->accept();
    });
    std::optional<FileDialogResult> result = showFileDialog(request);
    QVERIFY(seenSave);
    QVERIFY(result.has_value());
    QCOMPARE(result->path, QDir(folder.path()).absoluteFilePath("sheet.jpg"));
    QCOMPARE(result->filterIndex, 1);

    whenModalAppears<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    result = showFileDialog(request);
    QVERIFY(!result.has_value());
}

void DialogSeamsTest::realColourDialogKeepsCustomColours()
{
    for (int index = 0; index < 16; ++index)
        QColorDialog::setCustomColor(index, QColor(Qt::white));

    ColorDialogRequest request;
    request.initialColour = QColor(10, 20, 30);
    for (int index = 0; index < 16; ++index)
        request.customColours[index] = qRgb(index, 2 * index, 3 * index);

    QRgb seenInitial = 0;
    QRgb seenCustom5 = 0;
    whenModalAppears<QColorDialog>([&](QColorDialog* dialog) {
        seenInitial = dialog->currentColor().rgb();
        seenCustom5 = QColorDialog::customColor(5).rgb();
        QColorDialog::setCustomColor(3, QColor(200, 100, 50));
        dialog->setCurrentColor(QColor(1, 2, 3));
        dialog->accept();
    });
    std::optional<QColor> chosen = showColorDialog(request);
    QCOMPARE(seenInitial, qRgb(10, 20, 30));
    QCOMPARE(seenCustom5, qRgb(5, 10, 15));
    QVERIFY(chosen.has_value());
    QCOMPARE(chosen->rgb(), qRgb(1, 2, 3));
    QCOMPARE(request.customColours[3], qRgb(200, 100, 50));
    QCOMPARE(request.customColours[15], qRgb(15, 30, 45));
    // Qt's process-wide set is left as it was found.
    QCOMPARE(QColorDialog::customColor(3).rgb(), qRgb(255, 255, 255));

    // A cancelled dialog gives no colour, but the custom colours still come back.
    whenModalAppears<QColorDialog>([](QColorDialog* dialog) {
        QColorDialog::setCustomColor(0, QColor(9, 9, 9));
        dialog->reject();
    });
    chosen = showColorDialog(request);
    QVERIFY(!chosen.has_value());
    QCOMPARE(request.customColours[0], qRgb(9, 9, 9));
}

QTEST_MAIN(DialogSeamsTest)
#include "tst_dialogseams.moc"
