#pragma once
// Process-wide allocator setting for the programs' main functions (never called by the core).

namespace platform {

// By default the C library hands blocks above 32 MB straight back to the system when they are
// freed, so every conversion of a big book faults in all of its buffers afresh (a few
// microseconds per 4 KB page on virtual machines: more than the conversion itself). This keeps
// freed memory, up to 512 MB, for the next conversion in the same process.
void KeepFreedMemoryForReuse();

}  // namespace platform
