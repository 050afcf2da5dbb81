#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quillora {

/// A source of uniform single-precision values r with 0 <= r < 1, one fresh value per draw.
///
/// Values are handed out from a block that the source fills a whole block at a time, so a draw
/// is an inline read; only an empty block costs a (virtual) refill.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    RandomSource() = default;
    RandomSource(const RandomSource&) = delete;
    RandomSource& operator=(const RandomSource&) = delete;

    /// The next value r, 0 <= r < 1.
    float next()
    {
        if (m_next == m_end)
            refill();
        return *m_next++;
    }

    /// Values already made and not yet handed out.
    std::size_t buffered() const { return static_cast<std::size_t>(m_end - m_next); }

protected:
    /// Makes the next values and hands them over with set_block(), or throws.
    virtual void refill() = 0;
    /// The values [first, last) come next; they must stay valid until the next refill.
    void set_block(const float* first, const float* last)
    {
        m_next = first;
        m_end = last;
    }

private:
    const float* m_next = nullptr;
    const float* m_end = nullptr;
};

/// The production source: std::mt19937 seeded once with the run's seed; r = (g() >> 8) * 2^-24,
/// which is exact in a float and never reaches 1. The generator is the standard 32-bit Mersenne
/// Twister (the same output as std::mt19937), kept in 32-bit words so a whole state's values are
/// made in one vectorisable pass.
class Mt19937Source final : public RandomSource {
public:
    explicit Mt19937Source(std::uint32_t seed);

private:
    static constexpr std::size_t N = 624;
    void refill() override;

    std::array<std::uint32_t, N> m_state;
    std::array<float, N> m_values;
};

/// floor(n * r) + m, computed in double precision: each of m .. m + n - 1 equally likely.
inline int draw(RandomSource& random, int n, int m)
{
    const double x = n * static_cast<double>(random.next());
    // floor: truncation where x >= 0 (every draw of the families, where n is a positive
    // constant), else one less for a negative non-integer
    int t = static_cast<int>(x);
    if (!(x >= 0))
        t -= static_cast<double>(t) > x;
    return t + m;
}

/// The clock seed: milliseconds since local midnight (0 to 86,399,999).
std::uint32_t clock_seed();

} // namespace quillora
