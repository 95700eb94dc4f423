#include "player/render/LayerPool.h"

#include <QtTest>

#include <utility>

using player::render::LayerPool;

// The memory of mask layers kept from frame to frame: layers out at the same time never share
// pixels, memory given back serves the next layer that fits, and what a frame did not use is
// let go.
class LayerPoolTest : public QObject {
    Q_OBJECT

private slots:
    void layersOutTogetherNeverShare()
    {
        LayerPool pool;
        LayerPool::Lease outer = pool.take(QSize(40, 30));
        LayerPool::Lease inner = pool.take(QSize(40, 30));
        LayerPool::Lease third = pool.take(QSize(8, 8));
        for (LayerPool::Lease* lease : { &outer, &inner, &third }) {
            QCOMPARE(lease->image().format(), QImage::Format_ARGB32_Premultiplied);
            QVERIFY(!lease->image().isNull());
        }
        QCOMPARE(outer.image().size(), QSize(40, 30));
        QCOMPARE(third.image().size(), QSize(8, 8));
        outer.image().fill(0xff102030u);
        inner.image().fill(0x80000000u);
        third.image().fill(0u);
        QCOMPARE(outer.image().pixel(39, 29), 0xff102030u);
        QCOMPARE(outer.image().pixel(0, 0), 0xff102030u);
        QCOMPARE(QRgb(inner.image().pixel(20, 10)), QRgb(0x80000000u));
    }

    void givenBackMemoryServesTheNextLayer()
    {
        LayerPool pool;
        const uchar* first = nullptr;
        {
            LayerPool::Lease lease = pool.take(QSize(100, 100));
            first = lease.image().constBits();
            lease.image().fill(0xff00ff00u);
        }
        const std::size_t held = pool.heldBytes();
        QCOMPARE(held, std::size_t(100 * 100 * 4));
        // A smaller layer takes the same memory, laid out at its own width, pixels as left.
        LayerPool::Lease smaller = pool.take(QSize(50, 20));
        QCOMPARE(smaller.image().constBits(), first);
        QCOMPARE(smaller.image().bytesPerLine(), qsizetype(50 * 4));
        QCOMPARE(smaller.image().pixel(49, 19), 0xff00ff00u);
        // One taken while it is out has memory of its own.
        LayerPool::Lease other = pool.take(QSize(50, 20));
        const uchar* second = other.image().constBits();
        QVERIFY(second != first);
        // A moved lease gives its memory back when it ends, the lease it came from does not.
        LayerPool::Lease moved = std::move(other);
        other = LayerPool::Lease();
        QVERIFY(pool.take(QSize(50, 20)).image().constBits() != second);
        moved = LayerPool::Lease();
        QCOMPARE(pool.take(QSize(50, 20)).image().constBits(), second);
        QCOMPARE(pool.heldBytes(), std::size_t(100 * 100 * 4 + 2 * 50 * 20 * 4));
        // A larger one than any free memory grows the largest free slot instead of adding one.
        smaller = LayerPool::Lease();
        LayerPool::Lease larger = pool.take(QSize(200, 100));
        QCOMPARE(larger.image().size(), QSize(200, 100));
        QCOMPARE(pool.heldBytes(), std::size_t(200 * 100 * 4 + 2 * 50 * 20 * 4));
    }

    void framesLetGoOfWhatTheyDidNotUse()
    {
        LayerPool pool;
        {
            LayerPool::Lease big = pool.take(QSize(300, 300));
            LayerPool::Lease small = pool.take(QSize(10, 10));
        }
        pool.endFrame();
        QCOMPARE(pool.heldBytes(), std::size_t((300 * 300 + 10 * 10) * 4));
        {
            // Only the small one is used in this frame.
            LayerPool::Lease small = pool.take(QSize(10, 10));
        }
        pool.endFrame();
        QCOMPARE(pool.heldBytes(), std::size_t(10 * 10 * 4));
        // A layer still out at the end of a frame keeps its memory.
        LayerPool::Lease kept = pool.take(QSize(10, 10));
        pool.endFrame();
        pool.endFrame();
        QCOMPARE(pool.heldBytes(), std::size_t(10 * 10 * 4));
        QVERIFY(!kept.image().isNull());
    }

    // Memory far larger than a layer is made again at the layer's size; a little larger serves.
    void largeMemoryShrinksToSmallLayers()
    {
        LayerPool pool;
        pool.take(QSize(1024, 1024));
        pool.take(QSize(900, 1000));
        QCOMPARE(pool.heldBytes(), std::size_t(1024 * 1024 * 4));
        pool.take(QSize(100, 100));
        QCOMPARE(pool.heldBytes(), std::size_t(100 * 100 * 4));
    }

    void emptyAndImpossibleSizes()
    {
        LayerPool pool;
        QVERIFY(pool.take(QSize(0, 10)).image().isNull());
        QVERIFY(pool.take(QSize(-5, 10)).image().isNull());
        QVERIFY(pool.take(QSize(1 << 20, 1 << 20)).image().isNull());
        QCOMPARE(pool.heldBytes(), std::size_t(0));
    }
};

QTEST_MAIN(LayerPoolTest)
#include "tst_layer_pool.moc"
