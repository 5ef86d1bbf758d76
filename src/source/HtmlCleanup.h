#pragma once
// Rewrites an HTML text into the reduced HTML the conversion works on: scripts and style sheets
// removed, wrapper tags dropped, attributes stripped, class styles turned into b and i tags,
// the commonest closing-tag errors repaired, and a line break before every block tag.

#include <string>
#include <string_view>

#include "engine/HTMLPars.h"

namespace source {

// Tokenizer complaints go to onError; the cleanup goes on with the items made so far.
std::string CleanHtml(std::string_view text, const engine::OnErrorFn& onError = {});

}  // namespace source
