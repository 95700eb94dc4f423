#include "NameCase.h"

#include <QChar>

namespace player::avm1 {

namespace {

constexpr QChar::UnicodeVersion newestCaseTable = QChar::Unicode_3_1;

bool knownToCaseTable(char32_t character)
{
    const QChar::UnicodeVersion version = QChar::unicodeVersion(character);
    return version != QChar::Unicode_Unassigned && version <= newestCaseTable;
}

} // namespace

char16_t lowerNameCharacter(char16_t character)
{
    if (character < 0x80)
        return character >= u'A' && character <= u'Z' ? char16_t(character + (u'a' - u'A')) : character;
    const char32_t lower = QChar::toLower(char32_t(character));
    if (lower == character || lower > 0xFFFF || !knownToCaseTable(character) || !knownToCaseTable(lower))
        return character;
    return char16_t(lower);
}

bool sameNameIgnoringCase(QStringView left, QStringView right)
{
    if (left.size() != right.size())
        return false;
    for (qsizetype index = 0; index < left.size(); ++index) {
        const char16_t a = left[index].unicode();
        const char16_t b = right[index].unicode();
        if (a != b && lowerNameCharacter(a) != lowerNameCharacter(b))
            return false;
    }
    return true;
}

} // namespace player::avm1
