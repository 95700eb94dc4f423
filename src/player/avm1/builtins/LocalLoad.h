#pragma once

#include <QString>

#include <cstdint>

namespace player::avm1 {

class Machine;
class Object;

namespace builtins {

// XML.load and LoadVars.load: the file is read now, and its text handed to the object's
// onData method on the next run of the timers, since Flash never delivers a load during the
// call that asked for it. onData gets undefined when the file cannot be read. Returns whether
// the load was started.
bool loadTextForObject(Machine& machine, Object* target, const QString& url);

// getBytesLoaded, getBytesTotal and the default onData of a loading class: onData hands the
// text to the method named parseMethod, sets "loaded" and calls onLoad(true); undefined text
// (a failed load) only calls onLoad(false).
void defineLoadMethods(Machine& machine, Object* prototype, const QString& parseMethod, uint16_t flags = 7);

// Text of a loaded file: UTF-8, with a byte order mark left out.
QString decodeLoadedText(const QByteArray& bytes);

} // namespace builtins

} // namespace player::avm1
