#pragma once

#include "serial/ComTypes.h"

#include <array>
#include <cstdint>

// The serial driver's event mask and the port's event sets: one mask bit per
// event, the same mapping both ways. Mask bits no event stands for are
// ignored.
std::uint32_t EventSetToMask(TComEvents events);
TComEvents MaskToEventSet(std::uint32_t mask);

// The order in which the events of one wait are raised: received characters
// always come before the event character of the same wait.
inline constexpr std::array<TComEvent, 10> EventRaiseOrder{
    evError, evRxChar, evTxEmpty, evBreak, evRing, evCTS, evDSR, evRxFlag, evRLSD, evRx80Full};
