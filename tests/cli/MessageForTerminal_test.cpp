// Messages on stderr as the terminal reads them: code-page text becomes UTF-8 for a UTF-8
// terminal, UTF-8 paths stay as they are.

#include <gtest/gtest.h>

#include "cli/CliUserInterface.h"

namespace {

struct TerminalCase {
  const char* Name;
  const char* Line;
  const char* Locale;
  const char* Expected;
};

class MessageForTerminal : public ::testing::TestWithParam<TerminalCase> {};

TEST_P(MessageForTerminal, ReadsAsTheTerminalExpects) {
  const TerminalCase& c = GetParam();
  EXPECT_EQ(cli::MessageForTerminal(c.Line, c.Locale, 1251), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, MessageForTerminal,
    ::testing::Values(
        // "Глава" in windows-1251 and in UTF-8.
        TerminalCase{"CodePageTextBecomesUtf8", "Error: \xc3\xeb\xe0\xe2\xe0", "ru_RU.UTF-8",
                     "Error: \xd0\x93\xd0\xbb\xd0\xb0\xd0\xb2\xd0\xb0"},
        TerminalCase{"LowerCaseCharsetName", "\xc3\xeb", "ru_RU.utf8", "\xd0\x93\xd0\xbb"},
        TerminalCase{"Utf8PathStays", "File /tmp/\xd0\x93.html not exist.", "ru_RU.UTF-8",
                     "File /tmp/\xd0\x93.html not exist."},
        TerminalCase{"EightBitTerminalGetsTheBytes", "\xc3\xeb", "ru_RU.CP1251", "\xc3\xeb"},
        TerminalCase{"NoLocaleGetsTheBytes", "\xc3\xeb", "", "\xc3\xeb"}),
    [](const auto& p) { return std::string(p.param.Name); });

}  // namespace
