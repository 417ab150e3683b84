#include "serial/ComDevice.h"

TOverlapped::~TOverlapped()
{
    if (TComDevice* device = Device())
        device->Withdraw(*this);
}

void TOverlapped::Begin(TComDevice* device)
{
    error_ = 0;
    transferred_ = 0;
    eventMask_ = 0;
    device_.store(device, std::memory_order_release);
    busy_.store(true, std::memory_order_release);
}

void TOverlapped::Complete(std::uint32_t transferred, int error, std::uint32_t eventMask)
{
    transferred_ = transferred;
    error_ = error;
    eventMask_ = eventMask;
    device_.store(nullptr, std::memory_order_release);
    busy_.store(false, std::memory_order_release);
}
