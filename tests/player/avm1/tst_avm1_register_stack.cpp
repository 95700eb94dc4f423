#include "player/avm1/RegisterStack.h"

#include <QTest>

using player::avm1::RegisterStack;
using player::avm1::Value;

// The registers of nested calls: blocks taken and given back in the order calls nest, each
// staying where it is while deeper calls take theirs, and handed out undefined every time.
class TestRegisterStack : public QObject {
    Q_OBJECT

private slots:
    // Values written into a block are gone when the block is given back: the next call to take
    // the same room finds it undefined, strings included.
    void blocksComeBackUndefined()
    {
        RegisterStack stack;
        Value* first = stack.take(4);
        first[0] = Value(QStringLiteral("text"));
        first[3] = Value(7.0);
        stack.give(first, 4);
        Value* again = stack.take(4);
        QCOMPARE(again, first);
        for (int i = 0; i < 4; ++i)
            QVERIFY(again[i].isUndefined());
        stack.give(again, 4);
        QCOMPARE(stack.inUse(), size_t(0));
    }

    // A call nested as deep as recursion goes takes a block per level, across several chunks; no
    // block moves or changes while the levels above it come and go, and all the room is back at
    // the end.
    void nestedBlocksStayInPlace()
    {
        RegisterStack stack;
        constexpr int levels = 300;
        constexpr size_t count = 7;
        std::vector<Value*> blocks;
        for (int level = 0; level < levels; ++level) {
            Value* block = stack.take(count);
            for (size_t i = 0; i < count; ++i)
                block[i] = Value(double(level * 100 + int(i)));
            blocks.push_back(block);
        }
        QVERIFY(stack.chunkCount() > 1);
        QCOMPARE(stack.inUse(), levels * count);
        for (int level = levels - 1; level >= 0; --level) {
            Value* block = blocks[size_t(level)];
            for (size_t i = 0; i < count; ++i)
                QCOMPARE(block[i].asNumber(), double(level * 100 + int(i)));
            stack.give(block, count);
        }
        QCOMPARE(stack.inUse(), size_t(0));
        // Going down again reuses the chunks already made.
        const size_t chunks = stack.chunkCount();
        for (int level = 0; level < levels; ++level)
            blocks[size_t(level)] = stack.take(count);
        QCOMPARE(stack.chunkCount(), chunks);
        for (int level = levels - 1; level >= 0; --level)
            stack.give(blocks[size_t(level)], count);
    }

    // A block larger than a chunk gets a chunk of its own size; a block that no longer fits in
    // the current chunk goes to the next one, and once it is given back, blocks are taken from
    // the first chunk's remaining room again.
    void blocksThatDoNotFit()
    {
        RegisterStack stack;
        Value* small = stack.take(RegisterStack::chunkSize - 2);
        Value* large = stack.take(RegisterStack::chunkSize + 5);
        QVERIFY(large != small + (RegisterStack::chunkSize - 2));
        large[RegisterStack::chunkSize + 4] = Value(QStringLiteral("last"));
        QCOMPARE(stack.inUse(), RegisterStack::chunkSize * 2 + 3);
        stack.give(large, RegisterStack::chunkSize + 5);
        Value* tail = stack.take(2);
        QCOMPARE(tail, small + (RegisterStack::chunkSize - 2));
        stack.give(tail, 2);
        stack.give(small, RegisterStack::chunkSize - 2);
        // The first chunk empty, a block too large for it replaces its room.
        Value* huge = stack.take(RegisterStack::chunkSize * 3);
        QVERIFY(huge[RegisterStack::chunkSize * 3 - 1].isUndefined());
        stack.give(huge, RegisterStack::chunkSize * 3);
        QCOMPARE(stack.inUse(), size_t(0));
    }
};

QTEST_GUILESS_MAIN(TestRegisterStack)
#include "tst_avm1_register_stack.moc"
