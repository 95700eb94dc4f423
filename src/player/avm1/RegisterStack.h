#pragma once

#include "Value.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace player::avm1 {

// The registers of the script functions that run, one block per call, taken and given back in
// the order calls nest. Blocks live in chunks that are never moved, so a block stays where it is
// while deeper calls take theirs; a chunk too full for a block is left for the next one and
// used again once the calls above it have returned. Given-back values are left undefined, so a
// block is ready as it is taken.
class RegisterStack {
public:
    RegisterStack() = default;
    RegisterStack(const RegisterStack&) = delete;
    RegisterStack& operator=(const RegisterStack&) = delete;

    // count undefined values (count > 0), in place until given back.
    Value* take(size_t count)
    {
        if (size_t(m_limit - m_top) >= count) [[likely]] {
            Value* block = m_top;
            m_top += count;
            return block;
        }
        return takeFromNextChunk(count);
    }

    // Gives back the block taken last, of its count values.
    [[gnu::always_inline]] void give(Value* block, size_t count)
    {
        // Only a text owns anything; every register then reads as undefined again.
        for (size_t i = 0; i < count; ++i) {
            if (block[i].isString())
                std::destroy_at(block + i);
            block[i].forget();
        }
        m_top = block;
        // An emptied chunk that was taken after a chunk with room left hands back to that one.
        if (m_top == m_base && m_current > 0)
            enterChunk(m_current - 1);
    }

    // Values taken and not given back, for tests: the chunks' room is not counted.
    size_t inUse() const
    {
        size_t total = size_t(m_top - m_base);
        for (size_t i = 0; i < m_current; ++i)
            total += m_chunks[i].used;
        return total;
    }
    size_t chunkCount() const { return m_chunks.size(); }

    // Values in a chunk, unless one block asks for more.
    static constexpr size_t chunkSize = 1024;

private:
    // The chunks below the current one are full up to their used count; the current one is
    // used from m_base up to m_top, and has room up to m_limit.
    struct Chunk {
        std::unique_ptr<Value[]> values;
        size_t size = 0;
        size_t used = 0;
    };

    void enterChunk(size_t index)
    {
        Chunk& chunk = m_chunks[index];
        m_current = index;
        m_base = chunk.values.get();
        m_top = m_base + chunk.used;
        m_limit = m_base + chunk.size;
    }

    Value* takeFromNextChunk(size_t count)
    {
        // The first block of all starts the first chunk; later ones go to the chunk after the
        // current one, made (or made larger) when it cannot hold them.
        size_t next = m_current;
        if (!m_chunks.empty() && m_top != m_base) {
            m_chunks[m_current].used = size_t(m_top - m_base);
            ++next;
        }
        if (next == m_chunks.size())
            m_chunks.emplace_back();
        Chunk& chunk = m_chunks[next];
        if (chunk.size < count) {
            chunk.size = std::max(chunkSize, count);
            chunk.values = std::make_unique<Value[]>(chunk.size);
        }
        chunk.used = count;
        enterChunk(next);
        return m_base;
    }

    std::vector<Chunk> m_chunks;
    size_t m_current = 0;
    Value* m_base = nullptr;
    Value* m_top = nullptr;
    Value* m_limit = nullptr;
};

} // namespace player::avm1
