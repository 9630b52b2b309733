// A byte set: a counted run of bytes, the form in which pictures and file
// contents travel. Built-in pictures are viewed in place and never copied;
// whatever an operation produces is an owning buffer.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace pictures {

// Non-owning view of a stored record: a little-endian 32-bit 1, a 32-bit
// little-endian count, then that many bytes. The record lives in the
// program's constant data for the whole run, so a view is never released.
class ByteSet {
public:
    constexpr ByteSet() = default;
    explicit ByteSet(const std::uint8_t* record) : record_(record) {}

    std::span<const std::uint8_t> bytes() const {
        if (!record_) return {};
        return {record_ + 8, size()};
    }
    std::size_t size() const {
        if (!record_) return 0;
        return std::size_t(record_[4]) | std::size_t(record_[5]) << 8 |
               std::size_t(record_[6]) << 16 | std::size_t(record_[7]) << 24;
    }
    bool empty() const { return size() == 0; }
    const std::uint8_t* record() const { return record_; }

    friend bool operator==(ByteSet a, ByteSet b) { return a.record_ == b.record_; }

private:
    const std::uint8_t* record_ = nullptr;
};

// What operations return: owned by the caller, freed when it goes out of scope.
using OwnedBytes = std::vector<std::uint8_t>;

}  // namespace pictures
