// swf 8
// new on a class whose prototype descends from XML or Sound makes an XML document or a sound,
// which the superclass constructor reached through super() sets up in place.
function Feed(text) { super(text); }
Feed.prototype.__proto__ = XML.prototype;
Feed.prototype.__constructor__ = XML;
var feed = new Feed("<items><item id='1'/></items>");
trace(feed.firstChild.nodeName + " " + feed.firstChild.firstChild.attributes.id + " " + feed.status);
trace(feed.toString() + " " + (feed instanceof XML));
feed.parseXML("<other/>");
trace(feed);
function Music() { super(); }
Music.prototype.__proto__ = Sound.prototype;
Music.prototype.__constructor__ = Sound;
var music = new Music();
trace(music.getVolume());
music.setVolume(40);
trace(music.getVolume());
