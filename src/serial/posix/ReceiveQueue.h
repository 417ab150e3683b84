#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The device's receive queue: a ring of bytes with a settable capacity.
class TReceiveQueue {
public:
    explicit TReceiveQueue(std::size_t capacity);

    std::size_t Capacity() const { return capacity_; }
    std::size_t Count() const { return count_; }
    std::size_t Free() const { return capacity_ > count_ ? capacity_ - count_ : 0; }

    // Keeps every queued byte, also when more are queued than the new
    // capacity holds; the queue then takes no more until read below it.
    void SetCapacity(std::size_t capacity);

    // Both return how many bytes they moved.
    std::size_t Push(const std::uint8_t* data, std::size_t count);
    std::size_t Pop(std::uint8_t* data, std::size_t count);
    void Clear();

private:
    std::vector<std::uint8_t> ring_;
    std::size_t capacity_;
    std::size_t head_ = 0;
    std::size_t count_ = 0;
};
