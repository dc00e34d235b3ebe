// A growable in-memory byte stream with 64-bit positions, as the TIFF
// adapters and page processing use it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace bitonix {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TMemoryStream {
public:
    // Copies up to `count` bytes at the position into `buffer`; returns the
    // number copied and advances the position by it.
    std::int64_t Read(void* buffer, std::int64_t count);
    // Writes `count` bytes at the position, growing the stream; returns count.
    std::int64_t Write(const void* buffer, std::int64_t count);
    // Moves the position; a position before the start is refused (-1 and
    // no move). Returns the new position.
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin);
    std::int64_t Size() const { return static_cast<std::int64_t>(FData.size()); }
    std::int64_t Position() const { return FPosition; }
    // Empties the stream (position 0); keeps its capacity for reuse.
    void Clear();
    // Replaces the content (position 0).
    void Assign(std::vector<std::uint8_t> data);
    std::span<const std::uint8_t> Bytes() const { return FData; }

private:
    std::vector<std::uint8_t> FData;
    std::int64_t FPosition = 0;
};

} // namespace bitonix
