#include "app/Session.h"

#include <utility>

namespace app {

Session::Session(UserInterface& ui, TextEditor& sourceEditor, TextEditor& resultEditor,
                 std::string programFolder, std::string settingsPath)
    : ui_(ui),
      source_(sourceEditor),
      result_(resultEditor),
      codePage_(platform::SystemCodePageNumber()),
      programFolder_(std::move(programFolder)),
      settingsPath_(std::move(settingsPath)) {}

Session::~Session() = default;

}  // namespace app
