#pragma once
// Text crossing between the core (8-bit code-page bytes, paths as the file system's bytes) and
// Qt (QString).

#include <QString>
#include <string>
#include <string_view>

namespace platform {
class CodePage;
}

namespace app::ui {

// A text from the core for display. Messages may quote paths, which are the file system's bytes
// (UTF-8): a text that is valid UTF-8 is read as UTF-8, any other as code-page text.
QString FromCore(std::string_view text, const platform::CodePage& codePage);

// A path chosen in a dialog, as the core opens it.
std::string ToCorePath(const QString& path);
QString FromCorePath(std::string_view path);

// The code page the editors show their bytes in for a character set: the one its encoding name
// names, or the system's when it names none the platform converts.
int EditorCodePage(int charset, std::string_view systemCodePageName, int systemCodePage);

}  // namespace app::ui
