#include "platform/MemoryReuse.h"

#include <malloc.h>

namespace platform {

void KeepFreedMemoryForReuse() {
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 512 << 20);
}

}  // namespace platform
