#pragma once
// Every command of the main window as data: its name (the QAction's objectName, as settings and
// language files know it), caption, hint and shortcut, and where it is placed. The window makes
// one QAction per entry and fills its menus, toolbars and pop-up menus from the placements.

#include <string_view>
#include <vector>

namespace app::ui {

struct CommandInfo {
  std::string_view Name;
  std::string_view Caption;
  // "short|long": the short part is the tooltip, the long part the status tip; without "|" both
  // are the whole hint.
  std::string_view Hint;
  std::string_view Shortcut;  // in QKeySequence's portable text, empty for none
  bool Checkable = false;
  // A shorter text for toolbar buttons; empty for the caption itself.
  std::string_view ButtonText = {};
};

// The places commands are put into. The menus and toolbars are the window's, by these objectNames.
enum class Place {
  FileMenu,
  EditMenu,
  HelpMenu,
  UnvisibleMenu,
  SourceToolBar,
  Fb2ToolBar,
  ImagesUpperToolBar,
  ImagesLowerToolBar,
  SettingsToolBar,
  SourcePopup,
  ResultPopup,
};

// A place and its commands left to right (top to bottom); kSeparator draws a separator, and
// kSeparator followed by a name draws one of that name (the menus' separators are named, as
// language files know them).
inline constexpr std::string_view kSeparator = "|";
struct Placement {
  app::ui::Place Place;
  std::vector<std::string_view> Items;
};

const std::vector<CommandInfo>& MainWindowCommands();
const std::vector<Placement>& MainWindowPlacements();

}  // namespace app::ui
