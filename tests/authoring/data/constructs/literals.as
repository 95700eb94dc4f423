// text and number literals, escapes, booleans, null, undefined
trace("double \"quoted\"");
trace('single \'quoted\'');
trace("tab\there");
trace("two\nlines");
trace("\x41\u0042");
trace(0x1F);
trace(3.25);
trace(.5);
trace(1e3);
trace(-0.5);
trace(true);
trace(false);
trace(null);
trace(undefined);
trace("back\\slash");
