#include "LayerPool.h"

#include <limits>
#include <new>

namespace player::render {

LayerPool::Lease::Lease(Lease&& other) noexcept
    : m_pool(other.m_pool), m_slot(other.m_slot), m_image(std::move(other.m_image))
{
    other.m_pool = nullptr;
}

LayerPool::Lease& LayerPool::Lease::operator=(Lease&& other) noexcept
{
    if (this != &other) {
        if (m_pool)
            m_pool->giveBack(m_slot);
        m_pool = other.m_pool;
        m_slot = other.m_slot;
        m_image = std::move(other.m_image);
        other.m_pool = nullptr;
    }
    return *this;
}

LayerPool::Lease::~Lease()
{
    if (m_pool)
        m_pool->giveBack(m_slot);
}

LayerPool::Lease LayerPool::take(const QSize& size)
{
    Lease lease;
    if (size.isEmpty())
        return lease;
    const std::size_t needed = std::size_t(size.width()) * std::size_t(size.height());
    if (needed > std::size_t(std::numeric_limits<int>::max() / 4) || size.width() > std::numeric_limits<int>::max() / 4)
        return lease;
    // The smallest free slot that holds the layer; failing that, the largest free one grown.
    std::size_t best = m_slots.size();
    std::size_t largest = m_slots.size();
    for (std::size_t index = 0; index < m_slots.size(); ++index) {
        const Slot& slot = m_slots[index];
        if (slot.out)
            continue;
        if (slot.capacity >= needed && (best == m_slots.size() || slot.capacity < m_slots[best].capacity))
            best = index;
        if (largest == m_slots.size() || slot.capacity > m_slots[largest].capacity)
            largest = index;
    }
    // Memory far larger than the layer (left from a larger stage, say) is not kept for it.
    constexpr std::size_t SmallPixels = 1 << 18;
    if (best != m_slots.size() && m_slots[best].capacity > 4 * needed + SmallPixels) {
        m_slots[best].pixels.reset();
        m_slots[best].capacity = 0;
    }
    if (best == m_slots.size() || !m_slots[best].pixels) {
        if (best == m_slots.size())
            best = largest;
        if (best == m_slots.size()) {
            m_slots.emplace_back();
            best = m_slots.size() - 1;
        }
        Slot& slot = m_slots[best];
        slot.pixels.reset();
        slot.capacity = 0;
        slot.pixels.reset(new (std::nothrow) QRgb[needed]);
        if (!slot.pixels)
            return lease;
        slot.capacity = needed;
    }
    Slot& slot = m_slots[best];
    slot.out = true;
    slot.usedThisFrame = true;
    lease.m_pool = this;
    lease.m_slot = best;
    lease.m_image = QImage(reinterpret_cast<uchar*>(slot.pixels.get()), size.width(), size.height(),
                           qsizetype(size.width()) * 4, QImage::Format_ARGB32_Premultiplied);
    return lease;
}

void LayerPool::giveBack(std::size_t slot)
{
    if (slot < m_slots.size())
        m_slots[slot].out = false;
}

void LayerPool::endFrame()
{
    for (Slot& slot : m_slots) {
        if (!slot.out && !slot.usedThisFrame) {
            slot.pixels.reset();
            slot.capacity = 0;
        }
        slot.usedThisFrame = false;
    }
}

std::size_t LayerPool::heldBytes() const
{
    std::size_t bytes = 0;
    for (const Slot& slot : m_slots)
        bytes += slot.capacity * sizeof(QRgb);
    return bytes;
}

} // namespace player::render
