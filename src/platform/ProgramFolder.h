#pragma once
// The folder of the running binary: the data files the program reads live beside it.

#include <filesystem>

namespace platform {

// Empty when the running binary cannot be found (no /proc).
std::filesystem::path ProgramFolder();

}  // namespace platform
