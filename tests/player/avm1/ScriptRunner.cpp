#include "ScriptRunner.h"

#include "authoring/ScriptCompiler.h"

#include <QTest>

using namespace player::avm1;

ScriptRunner::ScriptRunner(int swfVersion)
    : m_swfVersion(swfVersion)
    , m_machine(std::make_unique<Machine>(*this))
{
    m_root = m_machine->makeObject();
    m_machine->addRoot(m_root);
}

Value ScriptRunner::flashCall(const QString& request)
{
    calls.append(request);
    return Value(QStringLiteral("answer"));
}

QStringList ScriptRunner::run(const QString& source)
{
    m_traces.clear();
    m_machine->clearFrameState();
    authoring::CompileResult compiled = authoring::ScriptCompiler::compile(source.toStdString());
    if (!compiled.ok()) {
        QTest::qFail(qPrintable("compile error in: " + source), __FILE__, __LINE__);
        return {};
    }
    auto code = std::make_shared<const player::swf::ActionBytes>(
        player::swf::Bytes(compiled.actions.begin(), compiled.actions.end()));
    m_machine->runTopLevel(m_root, code, m_swfVersion);
    return m_traces;
}

QStringList ScriptRunner::runBytes(const std::vector<uint8_t>& bytes)
{
    m_traces.clear();
    m_machine->clearFrameState();
    m_machine->runTopLevel(m_root, std::make_shared<const player::swf::ActionBytes>(bytes), m_swfVersion);
    return m_traces;
}
