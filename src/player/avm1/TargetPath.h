#pragma once

#include <QString>

namespace player::avm1 {

class Machine;
class Object;

// Target paths in every form Flash accepts: slash syntax ("/a/b", "../c", "/"), dot syntax
// ("_root.a.b", "_level100.addeffect", "_parent"), and mixtures of them.
namespace target_path {

// The object a path leads to from a starting clip, or nothing. Elements are looked up as
// members, so a path may go through plain objects as well as clips.
Object* resolve(Machine& machine, Object* start, const QString& path);
// The same, telling whether the path ran into a string, number or boolean where an object
// should be (which Flash refuses, saying so in the log).
Object* resolve(Machine& machine, Object* start, const QString& path, bool& reachedPrimitive);

// Splits "path:variable", "path/variable"-less dot forms ("a.b.c") into the object path and the
// final name at the last ':' or '.'; false when the text has neither.
bool splitVariable(const QString& text, QString& path, QString& name);
// The same for code of a given SWF version: SWF 4 knew no dot syntax, so only the last ':'
// splits there, and a variable needs a path before it (":name" names nothing).
bool splitVariable(const QString& text, QString& path, QString& name, int swfVersion);

} // namespace target_path

} // namespace player::avm1
