#include "serial/EventMask.h"

#include "serial/ComDevice.h"

#include <utility>

namespace {

constexpr std::array<std::pair<TComEvent, std::uint32_t>, 10> EventMaskBits{{
    {evRxChar, Comm::EvRxChar},
    {evRxFlag, Comm::EvRxFlag},
    {evTxEmpty, Comm::EvTxEmpty},
    {evCTS, Comm::EvCts},
    {evDSR, Comm::EvDsr},
    {evRLSD, Comm::EvRlsd},
    {evBreak, Comm::EvBreak},
    {evError, Comm::EvErr},
    {evRing, Comm::EvRing},
    {evRx80Full, Comm::EvRx80Full},
}};

} // namespace

std::uint32_t EventSetToMask(TComEvents events)
{
    std::uint32_t mask = 0;
    for (const auto& [event, bit] : EventMaskBits)
        if (events.Contains(event))
            mask |= bit;
    return mask;
}

TComEvents MaskToEventSet(std::uint32_t mask)
{
    TComEvents events;
    for (const auto& [event, bit] : EventMaskBits)
        if ((mask & bit) != 0)
            events.Include(event);
    return events;
}
