#pragma once

#include <QString>

namespace player::avm1 {

class Machine;
class Object;

namespace builtins {

// XML.load and LoadVars.load: the file is read now, and its text handed to the object's
// onData method on the next run of the timers, since Flash never delivers a load during the
// call that asked for it. onData gets undefined when the file cannot be read. Returns whether
// the load was started.
bool loadTextForObject(Machine& machine, Object* target, const QString& url);

// Text of a loaded file: UTF-8, with a byte order mark left out.
QString decodeLoadedText(const QByteArray& bytes);

} // namespace builtins

} // namespace player::avm1
