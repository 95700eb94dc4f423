// swf 8
// NaN written in a radix other than 10 is the smallest 32-bit integer gone wrong: its digits
// are the characters just below '0'. Radix 10, and radixes Flash refuses, still give NaN.
trace(NaN.toString(2));
trace(NaN.toString(3));
trace(NaN.toString(16));
trace(NaN.toString(10));
trace(NaN.toString(1));
trace((255).toString(16));
