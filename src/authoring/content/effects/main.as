// The effects overlay, loaded above the template in layer 100. The host drives the clips
// addeffect, subtracteffect and differenceeffect by frame number, and sets blurshadingeffect
// (blur of the template's clip "shading") and blureffect (blur of the whole sheet), 0 to 100,
// which are read on every frame.
//
// Add and difference lay white over the sheet in their blend modes. Subtracting white at a
// strength leaves that much less of every colour below, which is black laid over the sheet at
// that alpha: the subtract layer is drawn so, the same wherever the sheet is drawn to.
stop();

blurshadingeffect = 0;
blureffect = 0;
var shownShadingBlur = 0;
var shownBlur = 0;

// 0 to 100 becomes a blur of 0 to 16 pixels; anything else means no blur.
function blurFilters(strength) {
    var pixels = Number(strength) * 0.16;
    if (isNaN(pixels) || pixels <= 0) {
        return [];
    }
    return [new flash.filters.BlurFilter(pixels, pixels, 2)];
}

function applyBlurs() {
    if (blurshadingeffect != shownShadingBlur) {
        shownShadingBlur = blurshadingeffect;
        _level0.shading.filters = blurFilters(shownShadingBlur);
    }
    if (blureffect != shownBlur) {
        shownBlur = blureffect;
        _level0.filters = blurFilters(shownBlur);
    }
}

this.onEnterFrame = applyBlurs;
applyBlurs();
