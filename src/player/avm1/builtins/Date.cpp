#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/BoxedValue.h"
#include "player/avm1/Machine.h"

#include <QDateTime>
#include <QTimeZone>
#include <cmath>
#include <limits>

namespace player::avm1::builtins {

namespace {

constexpr double maximumTime = 8.64e15;

// An object super() gave a date as its native part keeps its time there.
double timeOf(Machine& machine, Object* self)
{
    self = machine.nativePartOf(self);
    if (!self || self->kind() != ObjectKind::Date)
        return std::numeric_limits<double>::quiet_NaN();
    return static_cast<BoxedValue*>(self)->value().asNumber();
}

void setTime(Machine& machine, Object* self, double time)
{
    self = machine.nativePartOf(self);
    if (self && self->kind() == ObjectKind::Date) {
        if (!std::isfinite(time) || std::fabs(time) > maximumTime)
            time = std::numeric_limits<double>::quiet_NaN();
        static_cast<BoxedValue*>(self)->setValue(Value(std::trunc(time)));
    }
}

QDateTime toDateTime(double time, bool utc)
{
    QDateTime moment = QDateTime::fromMSecsSinceEpoch(qint64(time), QTimeZone::utc());
    return utc ? moment : moment.toLocalTime();
}

double fromParts(double year, double month, double day, double hours, double minutes, double seconds, double milliseconds, bool utc)
{
    for (double part : {year, month, day, hours, minutes, seconds, milliseconds}) {
        if (!std::isfinite(part))
            return std::numeric_limits<double>::quiet_NaN();
    }
    // Months beyond 0..11 roll over into years, days into months, as Flash does.
    double wholeYears = std::floor(month / 12);
    int normalisedMonth = int(month - wholeYears * 12);
    QDate date(int(year + wholeYears), normalisedMonth + 1, 1);
    if (!date.isValid())
        return std::numeric_limits<double>::quiet_NaN();
    QDateTime base(date, QTime(0, 0), utc ? QTimeZone::utc() : QTimeZone::systemTimeZone());
    double result = double(base.toMSecsSinceEpoch());
    result += (day - 1) * 86400000.0 + hours * 3600000.0 + minutes * 60000.0 + seconds * 1000.0 + milliseconds;
    return result;
}

enum class Part { Year, Month, Day, Hours, Minutes, Seconds, Milliseconds };

double partOf(double time, Part part, bool utc)
{
    if (std::isnan(time))
        return time;
    QDateTime moment = toDateTime(time, utc);
    switch (part) {
    case Part::Year: return moment.date().year();
    case Part::Month: return moment.date().month() - 1;
    case Part::Day: return moment.date().day();
    case Part::Hours: return moment.time().hour();
    case Part::Minutes: return moment.time().minute();
    case Part::Seconds: return moment.time().second();
    case Part::Milliseconds: return moment.time().msec();
    }
    return time;
}

// setFullYear(y, m, d), setHours(h, m, s, ms) and the others: the given parts replace those
// of the current date, starting at the named one.
void setParts(Machine& machine, Object* self, const Arguments& arguments, Part first, bool utc)
{
    double time = timeOf(machine, self);
    if (std::isnan(time))
        time = 0;
    double parts[7];
    for (int i = 0; i < 7; ++i)
        parts[i] = partOf(time, Part(i), utc);
    for (size_t i = 0; i < arguments.size() && int(first) + int(i) < 7; ++i)
        parts[int(first) + int(i)] = machine.toNumber(arguments[i]);
    setTime(machine, self, fromParts(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], parts[6], utc));
}

QString dateText(double time)
{
    if (std::isnan(time))
        return QStringLiteral("Invalid Date");
    QDateTime moment = toDateTime(time, false);
    int offsetMinutes = moment.offsetFromUtc() / 60;
    QString zone = QStringLiteral("GMT%1%2%3").arg(QChar(offsetMinutes < 0 ? u'-' : u'+'))
                       .arg(std::abs(offsetMinutes) / 60, 2, 10, QChar(u'0'))
                       .arg(std::abs(offsetMinutes) % 60, 2, 10, QChar(u'0'));
    static const char* const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return QStringLiteral("%1 %2 %3 %4 %5 %6")
        .arg(QString::fromLatin1(days[moment.date().dayOfWeek() - 1]), QString::fromLatin1(months[moment.date().month() - 1]))
        .arg(moment.date().day())
        .arg(moment.time().toString(QStringLiteral("HH:mm:ss")), zone)
        .arg(moment.date().year());
}

Value constructDate(Machine& machine, Object* self, const Arguments& arguments)
{
    // A date new made for a subclass (or super() reached) gets its time in place.
    Object* date = self && self->kind() == ObjectKind::Date && self != machine.prototypes().date
        ? self
        : machine.make<BoxedValue>(self && self->prototype() ? self->prototype() : machine.prototypes().date, ObjectKind::Date, Value(0.0));
    if (arguments.empty()) {
        setTime(machine, date, double(QDateTime::currentMSecsSinceEpoch()));
    } else if (arguments.size() == 1) {
        setTime(machine, date, machine.toNumber(arguments[0]));
    } else {
        double parts[7] = {0, 0, 1, 0, 0, 0, 0};
        for (size_t i = 0; i < arguments.size() && i < 7; ++i)
            parts[i] = machine.toNumber(arguments[i]);
        // Two-digit years mean the twentieth century.
        if (parts[0] >= 0 && parts[0] < 100)
            parts[0] += 1900;
        setTime(machine, date, fromParts(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], parts[6], false));
    }
    return Value(date);
}

// Date called as a function gives the present moment as text.
Value callDate(Machine&, Object*, const Arguments&)
{
    return Value(dateText(double(QDateTime::currentMSecsSinceEpoch())));
}

Value dateUtc(Machine& machine, Object*, const Arguments& arguments)
{
    double parts[7] = {0, 0, 1, 0, 0, 0, 0};
    for (size_t i = 0; i < arguments.size() && i < 7; ++i)
        parts[i] = machine.toNumber(arguments[i]);
    if (parts[0] >= 0 && parts[0] < 100)
        parts[0] += 1900;
    return Value(fromParts(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], parts[6], true));
}

template<Part part, bool utc>
Value getPart(Machine& machine, Object* self, const Arguments&)
{
    return Value(partOf(timeOf(machine, self), part, utc));
}

template<Part part, bool utc>
Value setPart(Machine& machine, Object* self, const Arguments& arguments)
{
    setParts(machine, self, arguments, part, utc);
    return Value(timeOf(machine, self));
}

// The years counted from 1900 of older scripts: getYear and getUTCYear read them, and setYear
// takes 0 to 99 as 1900 to 1999 and any other year as it is, in local time.
template<bool utc>
Value getYear(Machine& machine, Object* self, const Arguments&)
{
    return Value(partOf(timeOf(machine, self), Part::Year, utc) - 1900);
}

Value setYear(Machine& machine, Object* self, const Arguments& arguments)
{
    double year = machine.toNumber(argument(arguments, 0));
    if (std::trunc(year) >= 0 && std::trunc(year) <= 99)
        year = 1900 + std::trunc(year);
    setParts(machine, self, {Value(year)}, Part::Year, false);
    return Value(timeOf(machine, self));
}

template<bool utc>
Value getDay(Machine& machine, Object* self, const Arguments&)
{
    double time = timeOf(machine, self);
    return std::isnan(time) ? Value(time) : Value(double(toDateTime(time, utc).date().dayOfWeek() % 7));
}

Value getTime(Machine& machine, Object* self, const Arguments&)
{
    return Value(timeOf(machine, self));
}

Value setTimeMethod(Machine& machine, Object* self, const Arguments& arguments)
{
    setTime(machine, self, machine.toNumber(argument(arguments, 0)));
    return Value(timeOf(machine, self));
}

Value getTimezoneOffset(Machine& machine, Object* self, const Arguments&)
{
    double time = timeOf(machine, self);
    return std::isnan(time) ? Value(time) : Value(-double(toDateTime(time, false).offsetFromUtc()) / 60.0);
}

Value dateToString(Machine& machine, Object* self, const Arguments&)
{
    return Value(dateText(timeOf(machine, self)));
}

constexpr Declaration dateDeclarations[] = {
    method("UTC", dateUtc).native(103, 257),
};

constexpr Declaration prototypeDeclarations[] = {
    method("getFullYear", getPart<Part::Year, false>).native(103, 0),
    method("getMonth", getPart<Part::Month, false>).native(103, 2),
    method("getDate", getPart<Part::Day, false>).native(103, 3),
    method("getHours", getPart<Part::Hours, false>).native(103, 5),
    method("getMinutes", getPart<Part::Minutes, false>).native(103, 6),
    method("getSeconds", getPart<Part::Seconds, false>).native(103, 7),
    method("getMilliseconds", getPart<Part::Milliseconds, false>).native(103, 8),
    method("getUTCFullYear", getPart<Part::Year, true>).native(103, 128),
    method("getUTCMonth", getPart<Part::Month, true>).native(103, 130),
    method("getUTCDate", getPart<Part::Day, true>).native(103, 131),
    method("getUTCHours", getPart<Part::Hours, true>).native(103, 133),
    method("getUTCMinutes", getPart<Part::Minutes, true>).native(103, 134),
    method("getUTCSeconds", getPart<Part::Seconds, true>).native(103, 135),
    method("getUTCMilliseconds", getPart<Part::Milliseconds, true>).native(103, 136),
    method("setFullYear", setPart<Part::Year, false>).native(103, 9),
    method("setMonth", setPart<Part::Month, false>).native(103, 10),
    method("setDate", setPart<Part::Day, false>).native(103, 11),
    method("setHours", setPart<Part::Hours, false>).native(103, 12),
    method("setMinutes", setPart<Part::Minutes, false>).native(103, 13),
    method("setSeconds", setPart<Part::Seconds, false>).native(103, 14),
    method("setMilliseconds", setPart<Part::Milliseconds, false>).native(103, 15),
    method("setUTCFullYear", setPart<Part::Year, true>).native(103, 137),
    method("setUTCMonth", setPart<Part::Month, true>).native(103, 138),
    method("setUTCDate", setPart<Part::Day, true>).native(103, 139),
    method("setUTCHours", setPart<Part::Hours, true>).native(103, 140),
    method("setUTCMinutes", setPart<Part::Minutes, true>).native(103, 141),
    method("setUTCSeconds", setPart<Part::Seconds, true>).native(103, 142),
    method("setUTCMilliseconds", setPart<Part::Milliseconds, true>).native(103, 143),
    method("getYear", getYear<false>).native(103, 1),
    method("getUTCYear", getYear<true>).native(103, 129),
    method("setYear", setYear).native(103, 20),
    method("getDay", getDay<false>).native(103, 4),
    method("getUTCDay", getDay<true>).native(103, 132),
    method("getTime", getTime).native(103, 16),
    method("valueOf", getTime),
    method("setTime", setTimeMethod).native(103, 17),
    method("getTimezoneOffset", getTimezoneOffset).native(103, 18),
    method("toString", dateToString).native(103, 19),
};

} // namespace

void installDate(Machine& machine)
{
    Object* prototype = machine.makeObject();
    machine.prototypes().date = prototype;
    FunctionObject* constructor = defineClass(machine, QStringLiteral("Date"), prototype, callDate, constructDate);
    installDeclarations(machine, constructor, dateDeclarations);
    installDeclarations(machine, prototype, prototypeDeclarations);
    prototype->setAllFlags(property_flag::DontEnum, 0);
}

} // namespace player::avm1::builtins
