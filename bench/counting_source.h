#pragma once

// A production source that counts the values it hands out, for the benchmark's floor.

#include "engine/random_source.h"

#include <array>
#include <cstdint>

namespace quillora::test {

class CountingSource final : public RandomSource {
public:
    explicit CountingSource(std::uint32_t seed)
        : m_source(seed)
    {
    }
    /// Values handed out so far.
    long draws() const { return m_filled - static_cast<long>(buffered()); }

private:
    void refill() override
    {
        for (float& value : m_block)
            value = m_source.next();
        m_filled += static_cast<long>(m_block.size());
        set_block(m_block.data(), m_block.data() + m_block.size());
    }

    Mt19937Source m_source;
    std::array<float, 64> m_block {};
    long m_filled = 0;
};

} // namespace quillora::test
