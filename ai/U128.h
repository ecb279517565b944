// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An unsigned 128-bit integer for the board's bit sets: the compiler's own type where it has one,
// else two 64-bit words (32-bit targets). QUILLET_PORTABLE_U128 (CMake's QUILLET_PORTABLE_ONLY)
// picks the two words everywhere, so they are tested on 64-bit machines too.

#include <concepts>
#include <cstdint>

namespace quillet {

class TwoWordU128 {
public:
    constexpr TwoWordU128() = default;
    // Any integer, extended as unsigned arithmetic would (a negative value fills the high word).
    template <std::integral T>
    constexpr TwoWordU128(T v)  // NOLINT(google-explicit-constructor): used like the built-in type
        : lo_(static_cast<std::uint64_t>(v)), hi_(v < T{0} ? ~std::uint64_t{0} : 0) {}

    template <std::unsigned_integral T>
    constexpr explicit operator T() const {
        return static_cast<T>(lo_);
    }
    constexpr explicit operator bool() const { return (lo_ | hi_) != 0; }

    friend constexpr TwoWordU128 operator&(TwoWordU128 a, TwoWordU128 b) {
        return {a.lo_ & b.lo_, a.hi_ & b.hi_};
    }
    friend constexpr TwoWordU128 operator|(TwoWordU128 a, TwoWordU128 b) {
        return {a.lo_ | b.lo_, a.hi_ | b.hi_};
    }
    friend constexpr TwoWordU128 operator^(TwoWordU128 a, TwoWordU128 b) {
        return {a.lo_ ^ b.lo_, a.hi_ ^ b.hi_};
    }
    friend constexpr TwoWordU128 operator~(TwoWordU128 a) { return {~a.lo_, ~a.hi_}; }
    friend constexpr TwoWordU128 operator+(TwoWordU128 a, TwoWordU128 b) {
        const std::uint64_t lo = a.lo_ + b.lo_;
        return {lo, a.hi_ + b.hi_ + (lo < a.lo_)};
    }
    friend constexpr TwoWordU128 operator-(TwoWordU128 a, TwoWordU128 b) {
        return {a.lo_ - b.lo_, a.hi_ - b.hi_ - (a.lo_ < b.lo_)};
    }
    friend constexpr TwoWordU128 operator-(TwoWordU128 a) { return TwoWordU128{} - a; }
    // Shifts by 0..127, as for the built-in type.
    friend constexpr TwoWordU128 operator<<(TwoWordU128 a, int n) {
        if (n == 0) return a;
        if (n >= 64) return {0, a.lo_ << (n - 64)};
        return {a.lo_ << n, (a.hi_ << n) | (a.lo_ >> (64 - n))};
    }
    friend constexpr TwoWordU128 operator>>(TwoWordU128 a, int n) {
        if (n == 0) return a;
        if (n >= 64) return {a.hi_ >> (n - 64), 0};
        return {(a.lo_ >> n) | (a.hi_ << (64 - n)), a.hi_ >> n};
    }
    friend constexpr bool operator==(TwoWordU128 a, TwoWordU128 b) = default;
    friend constexpr bool operator<(TwoWordU128 a, TwoWordU128 b) {
        return a.hi_ != b.hi_ ? a.hi_ < b.hi_ : a.lo_ < b.lo_;
    }

    constexpr TwoWordU128& operator&=(TwoWordU128 b) { return *this = *this & b; }
    constexpr TwoWordU128& operator|=(TwoWordU128 b) { return *this = *this | b; }
    constexpr TwoWordU128& operator^=(TwoWordU128 b) { return *this = *this ^ b; }
    constexpr TwoWordU128& operator<<=(int n) { return *this = *this << n; }
    constexpr TwoWordU128& operator>>=(int n) { return *this = *this >> n; }

private:
    constexpr TwoWordU128(std::uint64_t lo, std::uint64_t hi) : lo_(lo), hi_(hi) {}

    std::uint64_t lo_ = 0, hi_ = 0;
};

#if defined(__SIZEOF_INT128__) && !defined(QUILLET_PORTABLE_U128)
using U128 = unsigned __int128;
#else
using U128 = TwoWordU128;
#endif

}  // namespace quillet
