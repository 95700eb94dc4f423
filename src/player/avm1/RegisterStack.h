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
        if (m_current < m_chunks.size()) {
            Chunk& chunk = m_chunks[m_current];
            if (chunk.size - chunk.used >= count) [[likely]] {
                Value* block = chunk.values.get() + chunk.used;
                chunk.used += count;
                return block;
            }
        }
        return takeFromNextChunk(count);
    }

    // Gives back the block taken last, of its count values.
    void give(Value* block, size_t count)
    {
        for (size_t i = 0; i < count; ++i) {
            std::destroy_at(block + i);
            std::construct_at(block + i);
        }
        Chunk& chunk = m_chunks[m_current];
        chunk.used -= count;
        // An emptied chunk that was taken after a chunk with room left hands back to that one.
        if (chunk.used == 0 && m_current > 0)
            --m_current;
    }

    // Values taken and not given back, for tests: the chunks' room is not counted.
    size_t inUse() const
    {
        size_t total = 0;
        for (const Chunk& chunk : m_chunks)
            total += chunk.used;
        return total;
    }
    size_t chunkCount() const { return m_chunks.size(); }

    // Values in a chunk, unless one block asks for more.
    static constexpr size_t chunkSize = 1024;

private:
    struct Chunk {
        std::unique_ptr<Value[]> values;
        size_t size = 0;
        size_t used = 0;
    };

    Value* takeFromNextChunk(size_t count)
    {
        // The first block of all starts the first chunk; later ones go to the chunk after the
        // current one, made (or made larger) when it cannot hold them.
        size_t next = m_chunks.empty() || m_chunks[m_current].used == 0 ? m_current : m_current + 1;
        if (next == m_chunks.size())
            m_chunks.emplace_back();
        Chunk& chunk = m_chunks[next];
        if (chunk.size < count) {
            chunk.size = std::max(chunkSize, count);
            chunk.values = std::make_unique<Value[]>(chunk.size);
        }
        m_current = next;
        chunk.used = count;
        return chunk.values.get();
    }

    std::vector<Chunk> m_chunks;
    size_t m_current = 0;
};

} // namespace player::avm1
