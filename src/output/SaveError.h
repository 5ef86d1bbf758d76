#pragma once
// The failure of a save: the message is what the user is shown.

#include <stdexcept>
#include <string>

namespace output {

class SaveError : public std::runtime_error {
 public:
  explicit SaveError(const std::string& message) : std::runtime_error(message) {}
};

// "Cannot create file \"<path>\". <reason>"
std::string CannotCreateMessage(const std::string& path, const std::string& reason);

}  // namespace output
