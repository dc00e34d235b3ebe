// Saving a finished file in one step under a name that does not exist yet.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

namespace bitonix {

// The name to try after `taken` was found taken while saving; it must lie in the same
// folder.
using TNextFreeName = std::function<std::filesystem::path(const std::filesystem::path& taken)>;

// Writes the concatenation of `pieces` to a new file `target` and returns the name it was
// saved under: `target`, or with `nextFree` a later name when `target` was taken.
//
// The bytes go to a temporary file with a random name in the target's folder (created
// exclusively, mode 0644 less the umask), are flushed to the disk, and the file is then
// linked in under `target` in one step.
// Notes:
//  1. An existing `target` (a file, a folder, even a dangling link) is never replaced.
//     Without `nextFree` that is a failure whose system text is "File exists"; with it,
//     the written file is linked in under nextFree(target), then under the name after
//     that, and so on: a name that somebody takes between naming and saving never loses
//     the work. The bytes are written once. After 1000 taken names the save fails.
//  2. On any failure the temporary file is removed, nothing appears under `target`, and
//     std::runtime_error is thrown with the message
//     Cannot create file "<target>". <system error text>
//     (<target> being the last name tried).
//  3. Where the file system cannot rename without replacing, the file is hard-linked in
//     and the temporary name removed.
std::filesystem::path SaveNewFile(const std::filesystem::path& target,
                                  std::span<const std::span<const std::uint8_t>> pieces,
                                  const TNextFreeName& nextFree = {});

} // namespace bitonix
