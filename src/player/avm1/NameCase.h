#pragma once

#include <QStringView>

namespace player::avm1 {

// How SWF 6 and older movies match names without regard to case. Flash lowers both names with
// its own case table, which stops at the letters of Unicode 3: letters added later (such as
// U+023A or U+03F7) keep their case, while Qt's folding would pair them.
char16_t lowerNameCharacter(char16_t character);
bool sameNameIgnoringCase(QStringView left, QStringView right);

} // namespace player::avm1
