#include "texture/TextureNames.h"

#include <QRandomGenerator>

#include <cmath>

namespace texture {

TextureNames::TextureNames(std::function<double()> random)
    : m_random(std::move(random))
{
    if (!m_random)
        m_random = [] { return QRandomGenerator::global()->generateDouble(); };
}

int TextureNames::drawDigit()
{
    // Single precision, as the digits have always been worked out; the default rounding mode
    // takes halves to the even neighbour.
    const float scaled = float(m_random()) * 9.0f;
    const int digit = int(std::nearbyint(scaled));
    return digit < 0 ? 0 : (digit > 9 ? 9 : digit);
}

int TextureNames::next()
{
    int number = drawDigit() * 100;
    number += drawDigit() * 10;
    number += drawDigit();

    if (int(m_order.size()) >= Count) {
        number = m_order.front();
        m_order.pop_front();
        m_order.push_back(number);
        return number;
    }
    while (m_inUse.test(size_t(number)))
        number = (number + 1) % Count;
    m_inUse.set(size_t(number));
    m_order.push_back(number);
    return number;
}

bool TextureNames::isInUse(int number) const
{
    return number >= 0 && number < Count && m_inUse.test(size_t(number));
}

} // namespace texture
