// The ActionScript compiler: where syntax errors are reported, and the exact actions of the
// global functions that compile to dedicated actions.

#include "authoring/ScriptCompiler.h"

#include <QTest>

using namespace authoring;

class ScriptCompilerTest : public QObject {
    Q_OBJECT

private slots:
    void errorsNameLineAndColumn_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing parenthesis") << "trace(1;" << 1 << 8 << "expected ')' but found ';'";
        QTest::newRow("var without name") << "var = 3;" << 1 << 5 << "expected a name but found '='";
        QTest::newRow("operator without operand") << "x = 1 +;" << 1 << 8 << "unexpected ';'";
        QTest::newRow("two expressions on a line") << "a = 1\nb c" << 2 << 3 << "expected ';' but found 'c'";
        QTest::newRow("unterminated string") << "x = 1;\n  s = \"open" << 2 << 7 << "unterminated string";
        QTest::newRow("unterminated comment") << "/* never closed" << 1 << 1 << "unterminated comment";
        QTest::newRow("unclosed block") << "if (x) {\n  trace(1);\n" << 3 << 1 << "expected '}' but found end of script";
        QTest::newRow("break outside a loop") << "x = 1;\nbreak;" << 2 << 1 << "'break' outside a loop";
        QTest::newRow("continue in a function in a loop") << "while (x) { f = function () { continue; }; }" << 1 << 31 << "'continue' outside a loop";
        QTest::newRow("return at top level") << "return 1;" << 1 << 1 << "'return' outside a function";
        QTest::newRow("assignment to a literal") << "1 = 2;" << 1 << 3 << "cannot assign to this expression";
        QTest::newRow("stray character") << "x = 5 @ 3" << 1 << 7 << "unexpected character '@'";
        QTest::newRow("parameter twice") << "\n\nfunction f(a, a) {}" << 3 << 1 << "parameter 'a' given twice";
        QTest::newRow("trace without argument") << "  trace();" << 1 << 3 << "trace() takes 1 argument";
        QTest::newRow("dot without name") << "a.;" << 1 << 3 << "expected a property name but found ';'";
        QTest::newRow("increment of a call") << "f()++;" << 1 << 4 << "'++' needs a variable or property";
        QTest::newRow("for-in four deep") << "for (a in o) for (b in o) for (c in o) for (d in o) {}" << 1 << 40
                                          << "for-in loops nested more than three deep";
        QTest::newRow("bad escape") << "s = \"\\x4g\";" << 1 << 6 << "bad escape sequence";
        QTest::newRow("bad method") << "getURL(\"a\", \"b\", \"PUT\");" << 1 << 18 << "the method must be \"GET\" or \"POST\"";
    }

    void errorsNameLineAndColumn()
    {
        QFETCH(QString, source);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, message);
        const CompileResult result = ScriptCompiler::compile(source.toStdString());
        QVERIFY(!result.ok());
        QVERIFY(result.actions.isEmpty());
        QCOMPARE(QString::fromStdString(result.error->message), message);
        QCOMPARE(result.error->line, line);
        QCOMPARE(result.error->column, column);
    }

    void errorDescriptionNamesTheFile()
    {
        const CompileResult result = ScriptCompiler::compile("\n\n\n\n\n\n\n\n\n\n\n    f(1;");
        QVERIFY(!result.ok());
        QCOMPARE(result.error->describe("file.as"), std::string("file.as:12:8: expected ')' but found ';'"));
    }

    void dedicatedActions_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("gotoAndStop(1)") << "gotoAndStop(1);" << QByteArray::fromHex("8102000000" "00");
        QTest::newRow("gotoAndPlay(label)") << "gotoAndPlay(\"run\");" << QByteArray::fromHex("8c0400" "72756e00" "06" "00");
        QTest::newRow("gotoAndStop(expression)")
            << "gotoAndStop(n);" << QByteArray::fromHex("880400" "0100" "6e00" "960200" "0800" "1c" "9f0100" "00" "00");
        QTest::newRow("fscommand with texts")
            << "fscommand(\"setsize\", \"512 x 512\");"
            << QByteArray::fromHex("831c00" "4653436f6d6d616e643a73657473697a6500" "3531322078203531320000");
        QTest::newRow("loadMovie into a clip")
            << "loadMovie(u, t);"
            << QByteArray::fromHex("880600" "0200" "7500" "7400" "960200" "0800" "1c" "960200" "0801" "1c" "9a0100" "40" "00");
        QTest::newRow("stop and play") << "stop(); play();" << QByteArray::fromHex("07" "06" "00");
        QTest::newRow("statement call drops its result")
            << "f();" << QByteArray::fromHex("880400" "0100" "6600" "960700" "0700000000" "0800" "3d" "17" "00");
    }

    void dedicatedActions()
    {
        QFETCH(QString, source);
        QFETCH(QByteArray, expected);
        const CompileResult result = ScriptCompiler::compile(source.toStdString());
        QVERIFY2(result.ok(), result.error ? result.error->message.c_str() : "");
        QCOMPARE(result.actions.toHex(), expected.toHex());
    }

    void functionsLeaveOutWhatTheyNeverName_data()
    {
        // DefineFunction2 flags: 0x02 no this, 0x08 no arguments, 0x20 no super.
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("flags");
        QTest::newRow("names none") << "function f(a) { return a + 1; }" << 0x2a;
        QTest::newRow("this") << "function f() { return this.x; }" << 0x28;
        QTest::newRow("arguments") << "function f() { return arguments.length; }" << 0x22;
        QTest::newRow("super keeps this") << "function f() { super.m(); }" << 0x08;
        QTest::newRow("a member named arguments is no name") << "function f(o) { return o.arguments; }" << 0x2a;
        QTest::newRow("a nested function's names count") << "function f() { return function () { return arguments; }; }" << 0x22;
        QTest::newRow("eval may name anything") << "function f() { return eval('this'); }" << 0;
        QTest::newRow("with may name anything") << "function f(o) { with (o) { trace(x); } }" << 0;
    }

    void functionsLeaveOutWhatTheyNeverName()
    {
        QFETCH(QString, source);
        QFETCH(int, flags);
        const CompileResult result = ScriptCompiler::compile(source.toStdString());
        QVERIFY2(result.ok(), result.error ? result.error->message.c_str() : "");
        // The declaration comes first, after the constant pool: code, length, name "f", parameter
        // count, register count, flags.
        const QByteArray& actions = result.actions;
        const auto byteAt = [&actions](int index) { return int(uint8_t(actions.at(index))); };
        const int start = byteAt(0) == 0x88 ? 3 + (byteAt(1) | byteAt(2) << 8) : 0;
        QCOMPARE(byteAt(start), 0x8e);
        QCOMPARE(actions.mid(start + 3, 2), QByteArray("f\0", 2));
        const int flagsAt = start + 3 + 2 + 2 + 1;
        QCOMPARE(byteAt(flagsAt) | byteAt(flagsAt + 1) << 8, flags);
    }

    void localsGoToRegistersUnlessNamesReachThem_data()
    {
        // The four registers every function keeps come first; locals follow from register 4.
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("registerCount");
        QTest::addColumn<QList<int>>("parameterRegisters");
        QTest::addColumn<bool>("looksUpNames");
        QTest::newRow("parameters and locals") << "function f(a, b) { var c = a + b; c++; c += b; return c; }" << 7 << QList<int>{4, 5} << false;
        QTest::newRow("for-in and a declaration without a value")
            << "function f(o) { var t; for (var k in o) t = k; return t; }" << 7 << QList<int>{4} << false;
        QTest::newRow("a local declared twice takes one register") << "function f() { var v = 1; var v = 2; return v; }" << 5 << QList<int>{} << false;
        QTest::newRow("a nested function sees the locals by name")
            << "function f(a) { var g = function () { return a; }; return g; }" << 4 << QList<int>{0} << true;
        QTest::newRow("eval") << "function f(a) { return eval('a'); }" << 4 << QList<int>{0} << true;
        QTest::newRow("with") << "function f(o) { var v; with (o) { v = x; } return v; }" << 4 << QList<int>{0} << true;
        QTest::newRow("delete") << "function f() { var v = 1; delete v; return v; }" << 4 << QList<int>{} << true;
        QTest::newRow("set") << "function f() { var v; set('v', 2); return v; }" << 4 << QList<int>{} << true;
        QTest::newRow("a name differing only in case") << "function f() { var Total = 1; return total; }" << 4 << QList<int>{} << true;
        // A function called by its name runs on the clip; the other locals still get registers.
        QTest::newRow("a called local stays named") << "function f(cb, n) { var m = n; return cb(m); }" << 6 << QList<int>{0, 4} << false;
    }

    void localsGoToRegistersUnlessNamesReachThem()
    {
        QFETCH(QString, source);
        QFETCH(int, registerCount);
        QFETCH(QList<int>, parameterRegisters);
        QFETCH(bool, looksUpNames);
        const CompileResult result = ScriptCompiler::compile(source.toStdString());
        QVERIFY2(result.ok(), result.error ? result.error->message.c_str() : "");
        const QByteArray& actions = result.actions;
        const auto byteAt = [&actions](int index) { return int(uint8_t(actions.at(index))); };
        int at = byteAt(0) == 0x88 ? 3 + (byteAt(1) | byteAt(2) << 8) : 0;
        QCOMPARE(byteAt(at), 0x8e);
        const int recordEnd = at + 3 + (byteAt(at + 1) | byteAt(at + 2) << 8);
        at += 3 + 2; // the name "f"
        const int parameterCount = byteAt(at) | byteAt(at + 1) << 8;
        QCOMPARE(byteAt(at + 2), registerCount);
        at += 2 + 1 + 2;
        QList<int> registers;
        for (int i = 0; i < parameterCount; ++i) {
            registers.append(byteAt(at));
            at = int(actions.indexOf('\0', at + 1)) + 1;
        }
        QCOMPARE(registers, parameterRegisters);
        const int bodyEnd = recordEnd + (byteAt(at) | byteAt(at + 1) << 8);
        // GetVariable, SetVariable, DefineLocal, DefineLocal2: the actions that reach variables by name.
        bool namesFound = false;
        for (int position = recordEnd; position < bodyEnd;) {
            const int code = byteAt(position);
            namesFound = namesFound || code == 0x1c || code == 0x1d || code == 0x3c || code == 0x41;
            position += code >= 0x80 ? 3 + (byteAt(position + 1) | byteAt(position + 2) << 8) : 1;
        }
        QCOMPARE(namesFound, looksUpNames);
    }

    void scriptsBeyondTheLengthFieldsAreRefused()
    {
        // A loop whose body is longer than a jump can span.
        std::string source = "while (x) {\n";
        for (int i = 0; i < 5000; ++i)
            source += "v" + std::to_string(i) + " = " + std::to_string(i) + ";\n";
        source += "}\n";
        const CompileResult result = ScriptCompiler::compile(source);
        QVERIFY(!result.ok());
        QVERIFY(result.error->message.starts_with("script too long"));
        // The same statements without the loop fit.
        QVERIFY(ScriptCompiler::compile(source.substr(12, source.size() - 14)).ok());
    }

    void deepNestingIsAnErrorNotACrash_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("opening");
        QTest::addColumn<QString>("closing");
        QTest::newRow("parentheses") << "x = " << "(" << ")";
        QTest::newRow("blocks") << "" << "{" << "}";
        QTest::newRow("negations") << "x = " << "!" << "";
        QTest::newRow("arrays") << "x = " << "[" << "]";
        QTest::newRow("additions") << "x = " << "1 + " << "";
        QTest::newRow("member chain") << "x = a" << ".b" << "";
        QTest::newRow("calls") << "x = f" << "" << "()";
    }

    void deepNestingIsAnErrorNotACrash()
    {
        QFETCH(QString, prefix);
        QFETCH(QString, opening);
        QFETCH(QString, closing);
        auto nested = [&](int depth) {
            return (prefix + opening.repeated(depth) + "1" + closing.repeated(depth)).toStdString();
        };
        const CompileResult tooDeep = ScriptCompiler::compile(nested(100000));
        QVERIFY(!tooDeep.ok());
        QCOMPARE(tooDeep.error->message, std::string("nested too deeply"));
        QVERIFY(ScriptCompiler::compile(nested(50)).ok());
    }

    void semicolonsMayBeLeftOutAtLineEnds()
    {
        const CompileResult result = ScriptCompiler::compile("var a = 1\nvar b = a + 1\nif (b) { trace(b) }\n");
        QVERIFY2(result.ok(), result.error ? result.error->message.c_str() : "");
    }
};

QTEST_GUILESS_MAIN(ScriptCompilerTest)
#include "tst_script_compiler.moc"
