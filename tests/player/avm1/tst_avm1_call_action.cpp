#include "authoring/ActionAssembler.h"
#include "authoring/MovieWriter.h"
#include "player/Player.h"
#include "../TracingPlayer.h"

#include <QTest>

using authoring::ActionAssembler;
using authoring::ActionCode;
using authoring::PushValue;

namespace {

// A Call action with its frame pushed before it (the assembler has no call of its own).
QByteArray callFrame(const PushValue& frame)
{
    ActionAssembler push;
    push.push(frame);
    QByteArray bytes = push.finish();
    bytes.chop(1); // the End
    bytes.append(char(uint8_t(ActionCode::Call)));
    bytes.append(2, '\0');
    return bytes;
}

QByteArray setTarget(const std::string& target)
{
    ActionAssembler code;
    code.setTarget(target);
    QByteArray bytes = code.finish();
    bytes.chop(1);
    return bytes;
}

} // namespace

// The Call action runs the scripts of a frame without going there.
class TestCallAction : public QObject {
    Q_OBJECT

private slots:
    // It calls on the target, or on the root when tellTarget named no clip. A number is wrapped
    // to 32 bits and then to a 16-bit frame number; 0 is no frame. Text is a frame number or a
    // label, with an optional clip path before a colon.
    void targetsAndFrameNumbers()
    {
        QByteArray first;
        first += setTarget("nowhere");
        first += callFrame(int32_t(2));
        first += setTarget("");
        first += callFrame(4294967298.0);
        first += callFrame(int32_t(65538));
        first += callFrame(int32_t(0));
        first += callFrame(std::string("2"));
        first.append(char(uint8_t(ActionCode::Stop)));
        first.append('\0');

        ActionAssembler second;
        second.push(std::string("this"));
        second.op(ActionCode::GetVariable);
        second.op(ActionCode::Trace);

        authoring::MovieWriter movie(7, 100, 100, 12);
        movie.root().doAction(first);
        movie.root().showFrame();
        movie.root().doAction(second.finish());
        movie.root().showFrame();
        TracingPlayer run;
        QCOMPARE(run.playJoined(movie.toBytes(false)), QStringLiteral("_level0|_level0|_level0|_level0"));
    }
};

QTEST_GUILESS_MAIN(TestCallAction)
#include "tst_avm1_call_action.moc"
