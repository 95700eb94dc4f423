// swf 5
// A Sound made for a number or a plain object controls nothing: its volume reads undefined
// and setting it changes no other Sound. Null and undefined mean the whole movie, as no
// argument does. Loading, positions and durations are hidden from SWF 5 movies.
var movie = new Sound();
movie.setVolume(70);
var forNumber = new Sound(33);
forNumber.setVolume(20);
var forObject = new Sound({});
forObject.setVolume(30);
trace(typeof forNumber.getVolume() + " " + typeof forObject.getVolume() + " " + typeof forObject.getPan());
trace(new Sound(null).getVolume() + " " + new Sound(undefined).getVolume() + " " + movie.getVolume());
var names = ["loadSound", "getDuration", "setDuration", "getPosition", "setPosition", "getBytesLoaded", "getBytesTotal", "start", "attachSound"];
var line = "";
for (var i = 0; i < names.length; i++)
    line += typeof Sound.prototype[names[i]] + " ";
trace(line);
