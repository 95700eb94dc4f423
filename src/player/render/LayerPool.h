#pragma once

#include <QImage>
#include <QSize>

#include <cstddef>
#include <memory>
#include <vector>

namespace player::render {

// Pixel memory for the layers a renderer draws masks and their content into, kept from one
// frame to the next. A layer over a large stage is tens of megabytes; taken fresh every frame,
// each of its pages is faulted in and zeroed by the system before the layer is even cleared.
//
// A layer's pixels are not cleared when it is taken: the caller clears what it draws. Layers
// nest (a mask inside masked content), so several can be out at once; each is given back when
// its Lease ends. Memory not taken during a frame is let go at endFrame(), and memory far larger
// than the layer taken from it is made again to its size.
class LayerPool {
public:
    class Lease {
    public:
        Lease() = default;
        Lease(Lease&& other) noexcept;
        Lease& operator=(Lease&& other) noexcept;
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        ~Lease();

        // An ARGB32 premultiplied image over the leased memory, its pixels as the last user left
        // them. Null when the memory could not be had.
        QImage& image() { return m_image; }

    private:
        friend class LayerPool;
        LayerPool* m_pool = nullptr;
        std::size_t m_slot = 0;
        QImage m_image;
    };

    LayerPool() = default;
    LayerPool(const LayerPool&) = delete;
    LayerPool& operator=(const LayerPool&) = delete;

    // A layer of `size` pixels.
    Lease take(const QSize& size);

    // Lets go of the memory no layer used since the last call.
    void endFrame();

    // How many bytes the pool holds, out or not.
    std::size_t heldBytes() const;

private:
    struct Slot {
        std::unique_ptr<QRgb[]> pixels;
        std::size_t capacity = 0; // pixels
        bool out = false;
        bool usedThisFrame = false;
    };

    void giveBack(std::size_t slot);

    std::vector<Slot> m_slots;
};

} // namespace player::render
