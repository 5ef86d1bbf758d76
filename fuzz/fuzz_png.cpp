#include "ImageTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzztargets::FuzzPng(data, size);
}
