// swf 7
// setYear takes 0 to 99 as 1900 to 1999 and other years as they are; getYear and getUTCYear
// count from 1900. setYear keeps the month and day, and ASnative numbers it 103, 20.
var when = new Date(Date.UTC(2001, 5, 15, 12));
when.setYear(99);
trace(when.getFullYear() + " " + when.getYear() + " " + when.getMonth() + " " + when.getDate());
var returned = when.setYear(2003);
trace(when.getFullYear() + " " + when.getYear() + " " + (returned == when.getTime()));
when.setYear(100);
trace(when.getFullYear() + " " + when.getUTCYear());
var other = new Date(Date.UTC(1985, 0, 10, 12));
ASnative(103, 20).call(other, 5);
trace(other.getFullYear() + " " + (Date.prototype.getUTCYear == ASnative(103, 129)));
