#include "authoring/ActionAssembler.h"
#include "authoring/MovieWriter.h"
#include "player/Player.h"
#include "../TracingPlayer.h"

#include <QTest>

#include <functional>

using authoring::ActionAssembler;
using authoring::ActionCode;
using authoring::TagCode;

namespace {

// Actions without their End.
QByteArray actions(const std::function<void(ActionAssembler&)>& build)
{
    ActionAssembler code;
    build(code);
    QByteArray bytes = code.finish();
    bytes.chop(1);
    return bytes;
}

void append(ActionAssembler& a, const char* text)
{
    a.push(std::string("s"));
    a.push(std::string("s"));
    a.op(ActionCode::GetVariable);
    a.push(std::string(text));
    a.op(ActionCode::Add2);
    a.op(ActionCode::SetVariable);
}

QByteArray appending(const char* text)
{
    return actions([&](ActionAssembler& a) { append(a, text); });
}

QByteArray traceS()
{
    return actions([](ActionAssembler& a) {
        a.push(std::string("s"));
        a.op(ActionCode::GetVariable);
        a.op(ActionCode::Trace);
    });
}

QByteArray startS()
{
    return actions([](ActionAssembler& a) {
        a.push(std::string("s"));
        a.push(std::string(""));
        a.op(ActionCode::SetVariable);
    });
}

QByteArray ended(QByteArray code)
{
    code.append('\0');
    return code;
}

// A Jump or an If (with true pushed first) after `code`, then End. The target counts from the
// block's first byte and may lie outside the block.
QByteArray branching(const QByteArray& code, ActionCode branch, int target)
{
    QByteArray block = code;
    if (branch == ActionCode::If)
        block += actions([](ActionAssembler& a) { a.push(true); });
    const int next = int(block.size()) + 5;
    const auto offset = uint16_t(int16_t(target - next));
    block.append(char(uint8_t(branch)));
    block.append(char(2));
    block.append(char(0));
    block.append(char(offset & 0xff));
    block.append(char(offset >> 8));
    block.append('\0');
    return block;
}

int headerLength(const QByteArray& block)
{
    return int(authoring::tagBytes(TagCode::DoAction, block).size() - block.size());
}

QString play(const authoring::MovieWriter& movie)
{
    TracingPlayer run;
    return run.playJoined(movie.toBytes(true));
}

} // namespace

// Flash runs a frame's actions from the movie's bytes: a branch may leave its DoAction and go
// on in the tags around it until an End action.
class TestActionStream : public QObject {
    Q_OBJECT

private slots:
    void branchesOutOfABlock_data()
    {
        QTest::addColumn<int>("branch");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<QString>("traces");
        // Back to the start of the block before: it runs again up to its End, and the frame
        // goes on after the branching block.
        QTest::newRow("jump back") << int(ActionCode::Jump) << false << QStringLiteral("ABAC");
        QTest::newRow("if back") << int(ActionCode::If) << false << QStringLiteral("ABAC");
        // Past the block's End into the next block, which then runs a second time in its turn.
        QTest::newRow("jump forward") << int(ActionCode::Jump) << true << QStringLiteral("ABCC");
        QTest::newRow("if forward") << int(ActionCode::If) << true << QStringLiteral("ABCC");
    }

    void branchesOutOfABlock()
    {
        QFETCH(int, branch);
        QFETCH(bool, forward);
        QFETCH(QString, traces);
        const QByteArray first = ended(appending("A"));
        const QByteArray third = ended(appending("C"));
        const QByteArray placeholder = branching(appending("B"), ActionCode(branch), 0);
        const int target = forward ? int(placeholder.size()) + headerLength(third)
                                   : -headerLength(placeholder) - int(first.size());
        const QByteArray second = branching(appending("B"), ActionCode(branch), target);

        authoring::MovieWriter movie(6, 100, 100, 12);
        movie.root().doAction(ended(startS()));
        movie.root().doAction(first);
        movie.root().doAction(second);
        movie.root().doAction(third);
        movie.root().doAction(ended(traceS()));
        movie.root().showFrame();
        QCOMPARE(play(movie), traces);
    }

    // A sprite's blocks lie in the movie's stream inside its definition; its branches find them.
    void branchesOutOfASpriteBlock()
    {
        authoring::MovieWriter movie(6, 100, 100, 12);
        const uint16_t spriteId = movie.allocateCharacterId();
        authoring::TimelineWriter sprite;
        const QByteArray first = ended(appending("A"));
        const QByteArray placeholder = branching(appending("B") + traceS(), ActionCode::Jump, 0);
        const QByteArray second = branching(appending("B") + traceS(), ActionCode::Jump,
                                            -headerLength(placeholder) - int(first.size()));
        sprite.doAction(ended(startS()));
        sprite.doAction(first);
        sprite.doAction(second);
        sprite.doAction(ended(traceS()));
        sprite.showFrame();
        movie.defineSprite(spriteId, sprite);
        authoring::PlaceObjectRecord place;
        place.characterId = spriteId;
        movie.root().placeObject(place);
        movie.root().showFrame();
        QCOMPARE(play(movie), QStringLiteral("AB|ABA"));
    }

    // A branch from a function body into the rest of its block runs that code as part of the
    // call, up to the block's End, which returns from the function.
    void branchesOutOfAFunctionBody()
    {
        // s = ""; function f() { s += "F"; <to T> }; f(); trace(s); <to the End>; T: s += "X"; trace(s)
        const QByteArray tail = appending("X") + traceS();
        const QByteArray call = actions([](ActionAssembler& a) {
            a.push(int32_t(0));
            a.push(std::string("f"));
            a.op(ActionCode::CallFunction);
            a.op(ActionCode::Pop);
        }) + traceS();
        const QByteArray skipTail = branching(call, ActionCode::Jump, int(call.size()) + 5 + int(tail.size())).chopped(1);
        QByteArray body = branching(appending("F"), ActionCode::Jump, 0).chopped(1);
        body = branching(appending("F"), ActionCode::Jump, int(body.size()) + int(skipTail.size())).chopped(1);

        QByteArray define;
        define.append(char(uint8_t(ActionCode::DefineFunction)));
        const int defineLength = 2 + 2 + 2;
        define.append(char(defineLength));
        define.append(char(0));
        define.append("f", 2); // the name and its terminator
        define.append(2, '\0'); // no parameters
        define.append(char(body.size() & 0xff));
        define.append(char(body.size() >> 8));

        authoring::MovieWriter movie(6, 100, 100, 12);
        movie.root().doAction(ended(startS() + define + body + skipTail + tail));
        movie.root().showFrame();
        QCOMPARE(play(movie), QStringLiteral("FX|FX"));
    }

    // A branch that leaves the movie's bytes altogether ends its block; the next block runs.
    void branchOutOfTheMovieEndsTheBlock()
    {
        authoring::MovieWriter movie(6, 100, 100, 12);
        movie.root().doAction(ended(startS()));
        movie.root().doAction(branching(appending("A"), ActionCode::Jump, -30000));
        movie.root().doAction(branching(appending("B"), ActionCode::Jump, 30000));
        movie.root().doAction(ended(traceS()));
        movie.root().showFrame();
        QCOMPARE(play(movie), QStringLiteral("AB"));
    }
};

QTEST_GUILESS_MAIN(TestActionStream)
#include "tst_avm1_action_stream.moc"
