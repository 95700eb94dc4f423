#include "TargetPath.h"

#include "Machine.h"

namespace player::avm1::target_path {

namespace {

Object* specialElement(Machine& machine, Object* current, const QString& element, bool& handled)
{
    handled = true;
    Qt::CaseSensitivity sensitivity = machine.nameCase();
    if (element.compare(QLatin1String("_parent"), sensitivity) == 0)
        return current ? machine.getMember(Value(current), QStringLiteral("_parent")).asObject() : nullptr;
    if (element.compare(QLatin1String("_root"), sensitivity) == 0)
        return machine.bridge().rootOf(current);
    if (element.compare(QLatin1String("_global"), sensitivity) == 0)
        return machine.global();
    if (element.compare(QLatin1String("this"), sensitivity) == 0)
        return current;
    if (element.startsWith(QLatin1String("_level"), sensitivity)) {
        bool ok = false;
        int number = element.mid(6).toInt(&ok);
        if (ok && number >= 0)
            return machine.bridge().level(number);
    }
    handled = false;
    return nullptr;
}

// A path as SWF 4 code reads it: slash syntax only. Elements lie between slashes, so a ':' or
// '.' is part of a name; ".." is the parent; a leading "_levelN" (or "_flashN") picks a level by
// the digits that start N, whatever follows them; "_root", "_parent" and "this" are plain names.
// Only clips are gone through.
Object* resolveSlashPath(Machine& machine, Object* start, const QString& path)
{
    if (path.isEmpty())
        return start;
    Object* current = start;
    qsizetype position = 0;
    const qsizetype length = path.size();
    bool first = true;
    if (path[0] == u'/') {
        current = machine.bridge().rootOf(start);
        position = 1;
        first = false;
    }
    while (position < length) {
        if (!current)
            return nullptr;
        qsizetype end = path.indexOf(u'/', position);
        if (end < 0)
            end = length;
        const QStringView element = QStringView(path).mid(position, end - position);
        position = end < length ? end + 1 : end;
        if (element.isEmpty())
            return nullptr;
        if (first && (element.startsWith(QLatin1String("_level"), Qt::CaseInsensitive)
                || element.startsWith(QLatin1String("_flash"), Qt::CaseInsensitive))) {
            int number = 0;
            for (qsizetype at = 6; at < element.size() && element[at].isDigit() && number < 1000000; ++at)
                number = number * 10 + element[at].digitValue();
            current = machine.bridge().level(number);
        } else if (element == QLatin1String("..")) {
            current = machine.getMember(Value(current), QStringLiteral("_parent")).asObject();
        } else {
            // Only a child of that name: not the clip properties that lead elsewhere (_root,
            // _levelN) nor a variable holding some other clip.
            Object* child = machine.getMember(Value(current), element.toString()).asObject();
            const bool isChild = child && machine.bridge().isClip(child)
                && machine.getMember(Value(child), QStringLiteral("_parent")).asObject() == current
                && machine.toString(machine.getMember(Value(child), QStringLiteral("_name"))).compare(element, Qt::CaseInsensitive) == 0;
            current = isChild ? child : nullptr;
        }
        first = false;
    }
    return current;
}

} // namespace

Object* resolve(Machine& machine, Object* start, const QString& path)
{
    bool reachedPrimitive = false;
    return resolve(machine, start, path, reachedPrimitive);
}

Object* resolve(Machine& machine, Object* start, const QString& path, bool& reachedPrimitive)
{
    reachedPrimitive = false;
    if (path.isEmpty())
        return start;
    if (machine.swfVersion() < 5)
        return resolveSlashPath(machine, start, path);
    Object* current = start;
    qsizetype position = 0;
    const qsizetype length = path.size();
    // Once a slash has been read, a dot belongs to the name ("/a.b" is the clip named "a.b").
    bool slashSyntax = false;
    if (path[0] == u'/') {
        current = machine.bridge().rootOf(start);
        position = 1;
        slashSyntax = true;
    }
    while (position < length) {
        if (!current)
            return nullptr;
        // Any number of colons may lead an element: "a", ":a" and ":::a" are one path.
        while (position < length && path[position] == u':')
            ++position;
        if (position >= length)
            break;
        const QStringView rest = QStringView(path).mid(position);
        if (rest.startsWith(QLatin1String(".."))
            && (rest.size() == 2 || rest[2] == u'/' || rest[2] == u':')) {
            if (rest.size() > 2 && rest[2] == u'/')
                slashSyntax = true;
            position += std::min<qsizetype>(3, rest.size());
            // The parent of a level is nothing, and the path leads nowhere.
            current = machine.getMember(Value(current), QStringLiteral("_parent")).asObject();
            continue;
        }
        qsizetype end = position;
        while (end < length && path[end] != u'/' && path[end] != u':' && (slashSyntax || path[end] != u'.'))
            ++end;
        if (end < length && path[end] == u'/')
            slashSyntax = true;
        const QString element = path.mid(position, end - position);
        position = end < length ? end + 1 : end;
        // Two separators in a row name an empty element, which no clip has: "//a" leads nowhere.
        if (element.isEmpty())
            return nullptr;
        bool handled = false;
        Object* special = specialElement(machine, current, element, handled);
        if (handled) {
            current = special;
            continue;
        }
        const Value member = machine.getMember(Value(current), element);
        if (member.isBoxable())
            reachedPrimitive = true;
        current = member.asObject();
    }
    return current;
}

bool splitVariable(const QString& text, QString& path, QString& name)
{
    // One pass from the end finds the last ':' and the last '.': every variable name a script
    // reads comes through here, and most hold neither.
    qsizetype colon = -1;
    qsizetype dot = -1;
    for (qsizetype at = text.size() - 1; at >= 0 && colon < 0; --at) {
        if (text[at] == u':')
            colon = at;
        else if (text[at] == u'.' && dot < 0)
            dot = at;
    }
    qsizetype split = std::max(colon, dot);
    // ".." is a parent step, not a separator before a name.
    if (split == dot && dot > 0 && text[dot - 1] == u'.' && colon < dot)
        split = colon;
    if (split < 0)
        return false;
    path = text.left(split);
    name = text.mid(split + 1);
    return true;
}

bool splitVariable(const QString& text, QString& path, QString& name, int swfVersion)
{
    if (swfVersion >= 5)
        return splitVariable(text, path, name);
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon < 0)
        return false;
    path = text.left(colon);
    name = text.mid(colon + 1);
    return true;
}

} // namespace player::avm1::target_path
