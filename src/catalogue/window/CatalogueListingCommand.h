#pragma once

#include <optional>

namespace catalogue {

// "skarvelle2 --catalogue": prints every installed template as a line of tab-separated fields
// (see listingLine()) on standard output, from the same scan and cache as the catalogue
// window, and ends. It needs no display. Runs only when that is the whole command line, and
// then returns the program's exit code; otherwise nothing.
std::optional<int> listCatalogueIfAsked(int argc, char** argv);

} // namespace catalogue
