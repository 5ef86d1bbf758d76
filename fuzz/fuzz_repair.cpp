#include "RepairTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzztargets::FuzzRepair(data, size);
}
