#include "common/number_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace valbrix {
namespace {

// An unsigned integer wide enough for the largest float (below 2^128) times 10^99: below 2^457.
class WideNumber {
public:
    explicit WideNumber(std::uint32_t value) { limbs[0] = value; }

    void multiply(std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : limbs) {
            carry += static_cast<std::uint64_t>(limb) * factor;
            limb = static_cast<std::uint32_t>(carry);
            carry >>= 32;
        }
    }

    void shiftLeft(int bits) {
        for (int i = 0; i < bits; ++i) multiply(2);
    }

    // Drops the lowest bits and rounds half up: the highest dropped bit set means the dropped part
    // is half or more, and half (an exact tie) goes up as well.
    void shiftRightRoundingHalfUp(int bits) {
        const bool roundUp = bit(bits - 1);
        for (int i = 0; i < bits; ++i) divide(2);
        if (roundUp) add(1);
    }

    // Divides in place; returns the remainder.
    std::uint32_t divide(std::uint32_t divisor) {
        std::uint64_t remainder = 0;
        for (int i = limbCount - 1; i >= 0; --i) {
            const std::uint64_t current = (remainder << 32) | limbs[i];
            limbs[i] = static_cast<std::uint32_t>(current / divisor);
            remainder = current % divisor;
        }
        return static_cast<std::uint32_t>(remainder);
    }

    bool isZero() const {
        return std::all_of(std::begin(limbs), std::end(limbs), [](std::uint32_t limb) { return limb == 0; });
    }

private:
    static constexpr int limbCount = 15;

    bool bit(int index) const {
        if (index < 0 || index >= limbCount * 32) return false;
        return ((limbs[index / 32] >> (index % 32)) & 1u) != 0;
    }

    void add(std::uint32_t amount) {
        std::uint64_t carry = amount;
        for (std::uint32_t& limb : limbs) {
            carry += limb;
            limb = static_cast<std::uint32_t>(carry);
            carry >>= 32;
        }
    }

    std::uint32_t limbs[limbCount] = {};
};

// The digits of a finite, non-negative value with `places` decimals.
std::string magnitudeText(float magnitude, int places) {
    constexpr int mantissaBits = std::numeric_limits<float>::digits;
    int exponent = 0;
    const float fraction = std::frexp(magnitude, &exponent);  // magnitude = fraction * 2^exponent
    // magnitude * 10^places = digits * 5^places * 2^shift, with digits the float's whole mantissa.
    WideNumber scaled(static_cast<std::uint32_t>(std::ldexp(fraction, mantissaBits)));
    const int shift = exponent - mantissaBits + places;
    for (int i = 0; i < places; ++i) scaled.multiply(5);
    if (shift >= 0) scaled.shiftLeft(shift);
    else scaled.shiftRightRoundingHalfUp(-shift);

    std::string text;
    do {
        text += static_cast<char>('0' + scaled.divide(10));
    } while (!scaled.isZero());
    const auto decimals = static_cast<std::size_t>(places);
    if (text.size() <= decimals) text.append(decimals + 1 - text.size(), '0');
    std::reverse(text.begin(), text.end());
    if (places > 0) text.insert(text.size() - decimals, 1, '.');
    return text;
}

}  // namespace

std::string fixedPointText(float value, int decimals, int minimumWidth) {
    const int places = std::clamp(decimals, 0, maximumDecimals);
    std::string text = std::signbit(value) ? "-" : "";
    if (std::isnan(value)) text += "nan";
    else if (std::isinf(value)) text += "inf";
    else text += magnitudeText(std::fabs(value), places);
    const auto width = static_cast<std::size_t>(std::max(minimumWidth, 0));
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

}  // namespace valbrix
