// Saving a finished file in one step under a name that does not exist yet.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace bitonix {

// Writes the concatenation of `pieces` to a new file `target`.
//
// The bytes go to a temporary file with a random name in the target's folder (created
// exclusively, mode 0644 less the umask), are flushed to the disk, and the file is then
// linked in under `target` in one step.
// Notes:
//  1. An existing `target` (a file, a folder, even a dangling link) is never replaced:
//     that is a failure whose system text is "File exists".
//  2. On any failure the temporary file is removed, nothing appears under `target`, and
//     std::runtime_error is thrown with the message
//     Cannot create file "<target>". <system error text>
//  3. Where the file system cannot rename without replacing, the file is hard-linked in
//     and the temporary name removed.
void SaveNewFile(const std::filesystem::path& target,
                 std::span<const std::span<const std::uint8_t>> pieces);

} // namespace bitonix
