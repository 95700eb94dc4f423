// The batch command, run as a user runs it: the program itself, without a display, in a home
// of its own.
#include <QColor>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

QString binary(const char* name)
{
    return QStringLiteral(SKRV_BIN_DIR "/") + QString::fromLatin1(name);
}

bool isNear(QRgb pixel, const QColor& colour, int tolerance)
{
    return std::abs(qRed(pixel) - colour.red()) <= tolerance && std::abs(qGreen(pixel) - colour.green()) <= tolerance
           && std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

} // namespace

class BatchCommandTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        for (const char* folder : {"config", "data", "tmp", "runtime", "out"})
            QVERIFY(QDir().mkpath(m_home.filePath(QString::fromLatin1(folder))));
        QFile::setPermissions(m_home.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QImage blue(64, 48, QImage::Format_RGB32);
        blue.fill(QColor(0, 0, 255));
        QVERIFY(blue.save(m_home.filePath(QStringLiteral("blue.jpg")), "JPEG", 95));
        QVERIFY(blue.save(m_home.filePath(QStringLiteral("blue.png")), "PNG"));
        QFile broken(m_home.filePath(QStringLiteral("broken.bmp")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("BM and nothing a bitmap needs");
        QFile notes(m_home.filePath(QStringLiteral("notes.skrv")));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("a text, not a movie");
        // Two frames whose scripts go to each other for ever.
        QFile endless(m_home.filePath(QStringLiteral("endless.skrv")));
        QVERIFY(endless.open(QIODevice::WriteOnly));
        endless.write(QByteArray::fromHex("465753082d000000780000fa000002ee00000c0200070381020001000700400007038102000000070040000000"));
    }

    void init()
    {
        QDir(out()).removeRecursively();
        QVERIFY(QDir().mkpath(out()));
    }

    // The items of each part, one a line: caption, parameter and kind.
    void listsTheItemsOfAPart_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("listing");
        QTest::newRow("body") << QStringList{"--list"}
                              << "Paint\tpaintcolour\tcolour\nDoor Decal\tdecaltexture\tfile\nWheels\t2\tgoto\n";
        QTest::newRow("wheels") << QStringList{"--part", "1", "--list"}
                                << "Tyre Tread\ttreadtexture\tfile\nRim Colour\trimcolour\tcolour\nBody\t1\tgoto\n";
    }

    void listsTheItemsOfAPart()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, listing);
        const Run run = skarvelle(QStringList{"--template", binary("Car.skrv")} + arguments);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, listing);
    }

    void savesTheSheetWithNewValues_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("decal");
        QTest::addColumn<QColor>("decalColour");
        QTest::newRow("image, JPEG") << "car.jpg" << "blue.jpg" << QColor(0, 0, 255);
        QTest::newRow("plain colour, bitmap") << "car.bmp" << "plain:#FF00FF" << QColor(255, 0, 255);
    }

    // A colour and a texture applied and saved: the picture has the sheet's own size and shows
    // the new colours in the parts' areas.
    void savesTheSheetWithNewValues()
    {
        QFETCH(QString, output);
        QFETCH(QString, decal);
        QFETCH(QColor, decalColour);
        const QString saved = out() + QLatin1Char('/') + output;
        const QString decalValue = decal.contains(QLatin1Char(':')) ? decal : m_home.filePath(decal);
        const Run run = skarvelle(QStringList{"--template", binary("Car.skrv"), "--set", "Paint=#00FF00", "--set",
                                   "decaltexture=" + decalValue, "--save", saved});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QString());
        const QImage sheet(saved);
        QCOMPARE(sheet.size(), QSize(512, 256)); // "setsize" of the car
        const QRgb decalPixel = sheet.pixel(265, 121);
        QVERIFY2(isNear(decalPixel, decalColour, 70), qPrintable(QColor(decalPixel).name()));
        const QRgb body = sheet.pixel(175, 105);
        QVERIFY2(qGreen(body) > 150 && qRed(body) < 80 && qBlue(body) < 80, qPrintable(QColor(body).name()));
    }

    // A gradient value is drawn by the gradient window's model: at 0 degrees the first colour
    // lies at the left of the part, the second at the right.
    void gradientValues()
    {
        const QString saved = out() + QStringLiteral("/gradient.bmp");
        const Run run = skarvelle(QStringList{"--template", binary("Car.skrv"), "--set",
                                   "Door Decal=gradient:#FF0000,#0000FF,0", "--save", saved});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        const QImage sheet(saved);
        QCOMPARE(sheet.size(), QSize(512, 256));
        const QRgb left = sheet.pixel(200, 121);
        const QRgb right = sheet.pixel(330, 121);
        QVERIFY2(qRed(left) > qBlue(left) + 100, qPrintable(QColor(left).name()));
        QVERIFY2(qBlue(right) > qRed(right) + 100, qPrintable(QColor(right).name()));
    }

    void errorsWriteNothing_data()
    {
        // %O is the output file, %D its folder, %H the home with the test's images.
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        const QString car = binary("Car.skrv");
        QTest::newRow("unknown template") << QStringList{"--template", "nowhere.skrv", "--save", "%O"}
                                          << "cannot find the template nowhere.skrv";
        QTest::newRow("not a movie") << QStringList{"--template", "%H/notes.skrv", "--save", "%O"}
                                     << "cannot read the template";
        QTest::newRow("a template stopped by a limit") << QStringList{"--template", "%H/endless.skrv", "--save", "%O"}
                                                       << "the template reached a limit: the movie's scripts ran more than";
        QTest::newRow("no such part") << QStringList{"--template", car, "--part", "7", "--save", "%O"} << "has no part 7";
        QTest::newRow("unknown item") << QStringList{"--template", car, "--set", "Bonnet=#FFFFFF", "--save", "%O"}
                                      << "the part has no item \"Bonnet\"";
        QTest::newRow("item of another part") << QStringList{"--template", car, "--set", "Rim Colour=#FFFFFF", "--save", "%O"}
                                              << "the part has no item \"Rim Colour\"";
        QTest::newRow("image for a colour") << QStringList{"--template", car, "--set", "Paint=%H/blue.jpg", "--save", "%O"}
                                            << "\"Paint\" is a colour item";
        QTest::newRow("colour for a file") << QStringList{"--template", car, "--set", "Door Decal=#FFFFFF", "--save", "%O"}
                                           << "\"Door Decal\" is a file item";
        QTest::newRow("a jump") << QStringList{"--template", car, "--set", "Wheels=#FFFFFF", "--save", "%O"}
                                << "\"Wheels\" is a jump";
        QTest::newRow("bad plain colour") << QStringList{"--template", car, "--set", "Door Decal=plain:red", "--save", "%O"}
                                          << "a plain colour is plain:#RRGGBB";
        QTest::newRow("PNG") << QStringList{"--template", car, "--set", "Door Decal=%H/blue.png", "--save", "%O"}
                             << "blue.png is not a JPEG, Windows bitmap or GIF image";
        QTest::newRow("unreadable image") << QStringList{"--template", car, "--set", "Door Decal=%H/broken.bmp", "--save", "%O"}
                                          << "cannot read the image";
        QTest::newRow("missing image") << QStringList{"--template", car, "--set", "Door Decal=%H/none.jpg", "--save", "%O"}
                                       << "cannot read the image";
        QTest::newRow("bad gradient") << QStringList{"--template", car, "--set", "Door Decal=gradient:#000000,45", "--save", "%O"}
                                      << "a gradient is gradient:#RRGGBB,#RRGGBB,ANGLE";
        QTest::newRow("output in no folder") << QStringList{"--template", car, "--save", "%D/none/car.jpg"}
                                             << "there is no folder";
        QTest::newRow("output is a folder") << QStringList{"--template", car, "--save", "%D"} << "it is a folder";
        QTest::newRow("unknown option") << QStringList{"--template", car, "--colour", "red"} << "unknown option --colour";
        QTest::newRow("bad part") << QStringList{"--template", car, "--part", "-1"} << "--part needs a part number";
    }

    // One line on standard error, status 2, and no file.
    void errorsWriteNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const QString output = out() + QStringLiteral("/car.jpg");
        for (QString& argument : arguments) {
            argument.replace(QStringLiteral("%O"), output).replace(QStringLiteral("%D"), out());
            argument.replace(QStringLiteral("%H"), m_home.path());
        }
        const Run run = skarvelle(arguments);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.startsWith(QStringLiteral("skarvelle2: ")) && run.err.contains(error), qPrintable(run.err));
        QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
        QVERIFY(run.err.endsWith(QLatin1Char('\n')));
        QCOMPARE(QDir(out()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
        // The run's textures go with it.
        QCOMPARE(QDir(m_home.filePath(QStringLiteral("tmp"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

private:
    QString out() const { return m_home.filePath(QStringLiteral("out")); }

    Run skarvelle(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("HOME"), m_home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.filePath(QStringLiteral("runtime")));
        environment.insert(QStringLiteral("TMPDIR"), m_home.filePath(QStringLiteral("tmp")));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(m_home.path());
        process.start(binary("skarvelle2"), arguments);
        Run run;
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            return run;
        }
        run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    QTemporaryDir m_home;
};

QTEST_MAIN(BatchCommandTest)
#include "tst_batch_command.moc"
