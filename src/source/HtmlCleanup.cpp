#include "source/HtmlCleanup.h"

#include "engine/TextUtil.h"

namespace source {

// Placeholder until the cleanup lands.
std::string CleanHtml(std::string_view text, const engine::OnErrorFn&) {
  return engine::NormalizeLineBreaks(text);
}

}  // namespace source
