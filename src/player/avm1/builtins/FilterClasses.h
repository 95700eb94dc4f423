#pragma once

namespace player::avm1 {

class Machine;
class Object;

namespace builtins {

// The classes of flash.filters, one family per file; `package` is flash.filters and
// `basePrototype` BitmapFilter's prototype.
void installBlurFilter(Machine& machine, Object* package, Object* basePrototype);
void installShadowFilters(Machine& machine, Object* package, Object* basePrototype);
void installBevelFilter(Machine& machine, Object* package, Object* basePrototype);
void installGradientFilters(Machine& machine, Object* package, Object* basePrototype);
void installMatrixFilters(Machine& machine, Object* package, Object* basePrototype);
void installDisplacementMapFilter(Machine& machine, Object* package, Object* basePrototype);

// The "filters" property of clips, buttons and text fields.
void installDisplayFilters(Machine& machine);
// BitmapData.applyFilter, drawing with the renderer's filters; after BitmapData.
void installBitmapDataFilters(Machine& machine);

} // namespace builtins

} // namespace player::avm1
