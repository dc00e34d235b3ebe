// The in-memory byte stream.
#include "imaging/MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace bitonix {

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
    const std::int64_t available = std::max<std::int64_t>(0, Size() - FPosition);
    const std::int64_t n = std::clamp<std::int64_t>(count, 0, available);
    if (n > 0) {
        std::memcpy(buffer, FData.data() + FPosition, static_cast<std::size_t>(n));
        FPosition += n;
    }
    return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0) {
        return 0;
    }
    const auto end = static_cast<std::size_t>(FPosition + count);
    if (end > FData.size()) {
        FData.resize(end);
    }
    std::memcpy(FData.data() + FPosition, buffer, static_cast<std::size_t>(count));
    FPosition += count;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    std::int64_t base = 0;
    if (origin == TSeekOrigin::soCurrent) {
        base = FPosition;
    } else if (origin == TSeekOrigin::soEnd) {
        base = Size();
    }
    const std::int64_t target = base + offset;
    if (target < 0) {
        return -1;
    }
    FPosition = target;
    return FPosition;
}

void TMemoryStream::Clear() {
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::Assign(std::vector<std::uint8_t> data) {
    FData = std::move(data);
    FPosition = 0;
}

} // namespace bitonix
