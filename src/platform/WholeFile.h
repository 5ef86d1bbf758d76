#pragma once
// Whole-file reads, and whole-file writes that never leave a half-written file behind.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The bytes of a regular file; nothing when it is missing, not a regular file or unreadable.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes `bytes` to `path` through a temporary file in the same folder and a rename, so that the
// old file stays as it was when anything fails and no temporary is left behind. A symbolic link
// is followed: the file it names is replaced, the link stays. A new file gets the permissions the
// umask allows; an existing one keeps its own. With Durability::Flushed the data reaches the disk
// before the rename (slower; small files rewritten often may do without). Returns 0, or the errno
// of the step that failed.
enum class Durability { Flushed, Unflushed };
[[nodiscard]] int WriteFileAtomically(const std::string& path, std::string_view bytes,
                                      Durability durability = Durability::Flushed);

}  // namespace platform
