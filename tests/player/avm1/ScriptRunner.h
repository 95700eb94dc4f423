#pragma once

#include "player/avm1/DisplayBridge.h"
#include "player/avm1/Machine.h"

#include <QStringList>
#include <memory>

// A machine with no display list: a plain object stands for _root, and everything the movie
// sends out (traces, commands, calls) is recorded. Scripts are compiled from source with the
// authoring kit.
class ScriptRunner : public player::avm1::DisplayBridge {
public:
    explicit ScriptRunner(int swfVersion = 8);

    // Compiles and runs a script as a frame script of the root; fails the test on a compile
    // error. Returns the lines traced by this run.
    QStringList run(const QString& source);
    // Runs raw action bytes (for actions the compiler does not write: try, with, throw).
    QStringList runBytes(const std::vector<uint8_t>& bytes);

    player::avm1::Machine& machine() { return *m_machine; }
    player::avm1::Object* root() { return m_root; }
    QStringList commands;
    QStringList calls;
    double clock = 0;

    void trace(const QString& text) override { m_traces.append(text); }
    void fsCommand(const QString& command, const QString& arguments) override { commands.append(command + '|' + arguments); }
    player::avm1::Value flashCall(const QString& request) override;
    void getUrl(player::avm1::Object*, const QString& url, const QString& target, int, bool, bool) override { commands.append("url|" + url + '|' + target); }
    double milliseconds() override { return clock; }
    player::avm1::Object* rootOf(player::avm1::Object*) override { return m_root; }
    player::avm1::Object* level(int number) override { return number == 0 ? m_root : nullptr; }
    bool isClip(player::avm1::Object*) const override { return false; }
    QString targetPath(player::avm1::Object*, bool slashSyntax) override { return slashSyntax ? "/" : "_level0"; }
    void timelineCommand(player::avm1::Object*, TimelineCommand) override {}
    void gotoFrame(player::avm1::Object*, int, bool) override {}
    bool gotoLabel(player::avm1::Object*, const QString&, bool) override { return false; }
    int frameOf(player::avm1::Object*, const QString&) override { return -1; }
    int framesLoaded(player::avm1::Object*) override { return 1; }
    void callFrame(player::avm1::Object*, int) override {}
    void duplicateClip(player::avm1::Object*, const QString&, int) override {}
    void removeClip(player::avm1::Object*) override {}
    void startDrag(player::avm1::Object*, bool, bool, double, double, double, double) override {}
    void stopDrag() override {}
    void toggleQuality() override {}
    void stopSounds() override {}

private:
    int m_swfVersion;
    std::unique_ptr<player::avm1::Machine> m_machine;
    player::avm1::Object* m_root = nullptr;
    QStringList m_traces;
};
