// Replays the saved inputs of one fuzz target through the target's own entry point. A fault
// shows as a sanitizer report or a crash; the target must also answer 0 for every input.
#include <QDir>
#include <QFile>
#include <QtTest>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

class ReplayFuzzInputs : public QObject {
    Q_OBJECT

private slots:
    void replay_data()
    {
        QTest::addColumn<QString>("path");
        const QDir folder(QStringLiteral(SKRV_FUZZ_INPUTS));
        const QStringList names = folder.entryList(QDir::Files, QDir::Name);
        QVERIFY2(!names.isEmpty(), "no saved inputs for this target");
        for (const QString& name : names)
            QTest::newRow(qPrintable(name)) << folder.filePath(name);
    }

    void replay()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())), 0);
    }
};

#ifdef SKRV_FUZZ_NEEDS_GUI
QTEST_MAIN(ReplayFuzzInputs)
#else
QTEST_GUILESS_MAIN(ReplayFuzzInputs)
#endif
#include "ReplayFuzzInputs.moc"
