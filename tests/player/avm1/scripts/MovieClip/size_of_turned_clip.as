// swf 8
// _width and _height of a turned object: Flash blends the scales each side would need by the
// angle instead of solving for the size, so a size set twice on a quarter turn moves on.
function show(label) {
    trace(label + ": " + Math.round(box._xscale * 100) / 100 + " " + Math.round(box._yscale * 100) / 100
          + " " + Math.round(box._width * 100) / 100 + " " + Math.round(box._height * 100) / 100);
}
createEmptyMovieClip("box", 1);
box.beginFill(0xff0000);
box.moveTo(0, 0);
box.lineTo(10, 0);
box.lineTo(10, 10);
box.lineTo(0, 10);
box.endFill();
box._rotation = 90;
box._width = 20;
show("quarter");
box._width = 20;
show("again");
box._xscale = 100;
box._yscale = 100;
box._height = 5;
show("height");
box._height = 5;
show("height again");
box._rotation = 45;
box._xscale = 100;
box._yscale = 50;
box._width = 10;
show("eighth");
box._rotation = 0;
box._xscale = 100;
box._yscale = 100;
box._width = 30;
show("unturned");
