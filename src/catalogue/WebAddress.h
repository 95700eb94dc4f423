#pragma once

#include <QString>

namespace catalogue {

// Whether a maker's site address, which comes from a downloaded template, may be handed to the
// desktop: only a well-formed http or https address with a host. Anything else (a local file,
// "file:", a program, another scheme) could make a click open what the template chose.
bool isWebAddress(const QString& address);

} // namespace catalogue
