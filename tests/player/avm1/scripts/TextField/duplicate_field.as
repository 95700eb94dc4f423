// swf 8
// duplicateMovieClip on a text field makes a new empty field at the depth in the same clip: it
// keeps the original's placement (without the moves autoSize made) and colour, and whether it
// takes typing, but neither its text, box, flags nor formats.
createTextField("plain", 1, 3, 4, 50, 20);
plain.type = "input";
plain.text = "words";
plain.border = true;
plain._rotation = 30;
plain._alpha = 50;
plain.setNewTextFormat(new TextFormat(null, 20));
duplicateMovieClip(plain, "copy", 2);
trace(typeof copy + " " + copy._name + " " + copy.getDepth());
trace(Math.round(copy._x) + " " + Math.round(copy._y) + " " + Math.round(copy._rotation) + " " + copy._alpha);
trace(copy._width + " " + copy._height + " [" + copy.text + "] " + copy.border + " " + copy.type + " " + copy.getNewTextFormat().size);
createTextField("sized", 3, 10, 0, 100, 20);
sized.autoSize = "right";
sized.text = "a";
trace(sized._x != 10);
duplicateMovieClip(sized, "sizedCopy", 4);
trace(sizedCopy._x);
