#pragma once
// The text an FB2 file gives the result editor when it is opened again.

#include <functional>
#include <string>
#include <string_view>

namespace source {

struct Fb2Text {
  std::string Text;            // the editor's text
  std::string_view LineBreak;  // "\r\n", "\n" or "\r": the style the file is written back in
};

// The file's line-break style: CR alone when it has CR but no LF, LF alone when it has LF but
// no CR, CR LF otherwise.
std::string_view Fb2LineBreakStyle(std::string_view bytes);

// An 8-bit file gives its bytes unchanged. A UTF-8 file (`utf8`) is cut at its first NUL byte and
// split into lines at CR LF, CR or LF; each line goes through `fromUtf8` and the lines are joined
// again with the file's style, a final line break kept.
Fb2Text ReadFb2Text(std::string_view bytes, bool utf8,
                    const std::function<std::string(std::string_view)>& fromUtf8);

}  // namespace source
