// An effect layer whose frame number is its strength: frame 1 (frame 0 to the host) is no
// effect, frame 100 the layer at 99% over the whole stage. The host moves the clip with
// TGotoFrame; the clip itself never plays.
stop();

function showStrength() {
    layer._alpha = _currentframe - 1;
}

this.onEnterFrame = showStrength;
showStrength();
