// The template host's reading of movie commands: "setsize" sizes and "clickitem" indexes,
// fed the same text, and the window title made from a file name.
#include "app/MovieCommand.h"

#include <QString>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    volatile double seen = 0;
    if (const auto sheet = app::parseSheetSize(text))
        seen = seen + sheet->width() + sheet->height();
    if (const auto index = app::parseItemIndex(text))
        seen = seen + *index;
    seen = seen + app::windowTitleForTemplate(text).size();
    (void)seen;
    return 0;
}
