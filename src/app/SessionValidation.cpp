// "Validate": the result text checked against XML and the FB2 schema.

#include "app/Session.h"

namespace app {

namespace {
constexpr int kValidationPanel = 2;
}

output::ValidationReport Session::ValidateResult() {
  // The schema is read once, on first use: most runs never validate.
  if (!validator_) validator_ = std::make_unique<output::Fb2Validator>();
  output::ValidationReport report = validator_->CheckResultText(result_.Text(), codePage_);
  const size_t count = report.Problems.size();
  ui_.SetStatus(kValidationPanel, report.Valid() ? std::string("valid")
                                  : count == 1   ? std::string("1 problem")
                                                 : std::to_string(count) + " problems");
  return report;
}

}  // namespace app
