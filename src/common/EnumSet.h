#pragma once

#include <cstdint>
#include <initializer_list>

// A set of values of one enumeration: bit (1 << value) per member.
template <typename E>
class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> values)
    {
        for (E value : values)
            bits_ |= Bit(value);
    }

    static constexpr TEnumSet FromBits(std::uint32_t bits)
    {
        TEnumSet set;
        set.bits_ = bits;
        return set;
    }

    constexpr std::uint32_t Bits() const { return bits_; }
    constexpr bool Contains(E value) const { return (bits_ & Bit(value)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }

    constexpr TEnumSet& Include(E value)
    {
        bits_ |= Bit(value);
        return *this;
    }
    constexpr TEnumSet& Exclude(E value)
    {
        bits_ &= ~Bit(value);
        return *this;
    }

    friend constexpr bool operator==(TEnumSet a, TEnumSet b) { return a.bits_ == b.bits_; }
    friend constexpr TEnumSet operator|(TEnumSet a, TEnumSet b) { return FromBits(a.bits_ | b.bits_); }
    friend constexpr TEnumSet operator&(TEnumSet a, TEnumSet b) { return FromBits(a.bits_ & b.bits_); }

private:
    static constexpr std::uint32_t Bit(E value) { return std::uint32_t{1} << static_cast<unsigned>(value); }

    std::uint32_t bits_ = 0;
};
