#pragma once
// Whole-file reads, and whole-file writes that never leave a half-written file behind.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/InputFile.h"

namespace platform {

// The bytes of a regular file, read through InputFile within `maxBytes`; nothing when it is
// missing, not a regular file, over the limit or unreadable, with errno saying why (EISDIR,
// EINVAL for a pipe, socket or device, EFBIG over the limit, ...).
std::optional<std::string> ReadWholeFile(const std::string& path,
                                         uint64_t maxBytes = kMaxSourceFileBytes);

// Writes `bytes` to `path`. A regular file (or none yet) is written through a temporary file in
// the same folder and a rename, so that the old file stays as it was when anything fails and no
// temporary is left behind; should the program be interrupted meanwhile, the temporary is
// removed (see Interrupts.h). A symbolic link is followed: the file it names is replaced, the link
// stays. A new file gets the permissions the umask allows; an existing one keeps its own. With
// Durability::Flushed the data reaches the disk before the rename (slower; small files rewritten
// often may do without).
// An existing target that is a character device or a named pipe (FIFO), or a link to one, is
// written through and stays what it is (`-o /dev/null`, a terminal, a pipe to another program);
// a pipe that no program reads fails at once with ENXIO rather than waiting. A folder (EISDIR),
// a socket or a block device (EINVAL) is refused untouched.
// Returns 0, or the errno of the step that failed; WriteFailureReason puts it in words.
enum class Durability { Flushed, Unflushed };
[[nodiscard]] int WriteFileAtomically(const std::string& path, std::string_view bytes,
                                      Durability durability = Durability::Flushed);

// The reason a write to `path` failed with `error`, for messages: the system's text, or what the
// target is where that says more ("No program is reading from the named pipe.").
std::string WriteFailureReason(const std::string& path, int error);

}  // namespace platform
