#pragma once
// Writing a whole file so that readers see either the old file or the new one: the bytes go to
// a temporary file in the same folder, which then replaces the target by a rename. A target that
// is a character device or a named pipe is written into instead and stays what it is.

#include <string>
#include <string_view>

#include "output/SaveError.h"

namespace output {

// Replaces (or creates) `path` with `bytes`. An existing file keeps its permissions; a path that
// is a symbolic link writes the file it points to. A device or a pipe (or a link to one) is
// written through, a pipe without a reader failing at once; a folder, a socket or a block device
// is refused (see platform::WriteFileAtomically). On failure throws SaveError with
// CannotCreateMessage; the old file is left as it was and no temporary file remains.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace output
