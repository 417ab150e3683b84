#include "serial/posix/ReceiveQueue.h"

#include <algorithm>
#include <cstring>

TReceiveQueue::TReceiveQueue(std::size_t capacity) : ring_(capacity), capacity_(capacity) {}

void TReceiveQueue::SetCapacity(std::size_t capacity)
{
    std::vector<std::uint8_t> ring(std::max(capacity, count_));
    const std::size_t count = count_;
    Pop(ring.data(), count);
    ring_ = std::move(ring);
    capacity_ = capacity;
    head_ = 0;
    count_ = count;
}

std::size_t TReceiveQueue::Push(const std::uint8_t* data, std::size_t count)
{
    count = std::min(count, Free());
    std::size_t tail = (head_ + count_) % ring_.size();
    const std::size_t first = std::min(count, ring_.size() - tail);
    std::memcpy(ring_.data() + tail, data, first);
    std::memcpy(ring_.data(), data + first, count - first);
    count_ += count;
    return count;
}

std::size_t TReceiveQueue::Pop(std::uint8_t* data, std::size_t count)
{
    count = std::min(count, count_);
    if (count == 0)
        return 0;
    const std::size_t first = std::min(count, ring_.size() - head_);
    std::memcpy(data, ring_.data() + head_, first);
    std::memcpy(data + first, ring_.data(), count - first);
    head_ = (head_ + count) % ring_.size();
    count_ -= count;
    return count;
}

void TReceiveQueue::Clear()
{
    head_ = 0;
    count_ = 0;
}
