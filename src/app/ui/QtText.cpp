#include "app/ui/QtText.h"

#include <QFile>
#include <charconv>

#include "platform/CodePage.h"
#include "source/Charsets.h"

namespace app::ui {
namespace {

bool IsValidUtf8(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    if (static_cast<unsigned char>(text[pos]) < 0x80) {
      ++pos;
      continue;
    }
    if (!platform::DecodeUtf8(text, pos)) return false;
  }
  return true;
}

}  // namespace

QString FromCore(std::string_view text, const platform::CodePage& codePage) {
  if (IsValidUtf8(text)) return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const std::string utf8 = codePage.ToUtf8(text);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToCorePath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString FromCorePath(std::string_view path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

int EditorCodePage(int charset, std::string_view systemCodePageName, int systemCodePage) {
  const std::string name = source::EncodingName(charset, systemCodePageName);
  if (name == "gb2312") return 936;
  constexpr std::string_view kWindows = "windows-";
  if (name.rfind(kWindows, 0) == 0) {
    int number = 0;
    const char* first = name.data() + kWindows.size();
    const char* last = name.data() + name.size();
    if (std::from_chars(first, last, number).ptr == last) return number;
  }
  return systemCodePage;
}

}  // namespace app::ui
