#include "fb2meta/Dates.h"

#include <gtest/gtest.h>

#include <regex>

#include "fb2meta/BookInfo.h"

namespace fb2meta {
namespace {

TEST(Dates, DateBoxCheck) {
  struct Case {
    const char* Date;
    bool Accepted;
  } cases[] = {
      {"08.12.2026", true},  {"31.02.2026", true},  {"31.12.0000", true},  {" 8. 1.2026", true},
      {"", false},           {"  .  .    ", false}, {"31.13.2026", false}, {"00.12.2026", false},
      {"32.01.2026", false}, {"8 .12.2026", false}, {"08.1 .2026", false}, {"ab.12.2026", false},
      {"08.12", true},       {"08.1", false},
  };
  for (const Case& c : cases) {
    BookInfo info;
    info.DocumentDate = c.Date;
    EXPECT_EQ(CheckDocumentDate(info), c.Accepted) << c.Date;
    EXPECT_EQ(info.DocumentDateText, c.Accepted ? c.Date : "") << c.Date;
  }
}

TEST(Dates, AcceptedDateFillsOnlyAnEmptyDateText) {
  BookInfo info;
  info.DocumentDate = "01.05.2026";
  info.DocumentDateText = "May Day";
  EXPECT_TRUE(CheckDocumentDate(info));
  EXPECT_EQ(info.DocumentDateText, "May Day");
}

TEST(Dates, IsoValueOfRealCalendarDates) {
  struct Case {
    const char* Date;
    const char* Value;
  } cases[] = {
      {"08.12.2026", "2026-12-08"},
      {"8.1.2026", "2026-01-08"},
      {"29.02.2024", "2024-02-29"},
      {"29.02.2000", "2000-02-29"},
      {"29.02.1900", "fallback"},
      {"31.04.2026", "fallback"},
      {"31.02.2026", "fallback"},
      {"01.13.2026", "fallback"},
      {"00.01.2026", "fallback"},
      {"01.01.26", "fallback"},
      {"01.01.20261", "fallback"},
      {"01/01/2026", "fallback"},
      {"", "fallback"},
      {" 08.12.2026 ", "2026-12-08"},
      {"01.01.0000", "fallback"},
  };
  for (const Case& c : cases) EXPECT_EQ(IsoDateValue(c.Date, "fallback"), c.Value) << c.Date;
}

TEST(Dates, TodayIsDayMonthYear) {
  const std::string today = TodayText();
  EXPECT_TRUE(std::regex_match(today, std::regex("[0-3][0-9]\\.[01][0-9]\\.[0-9]{4}"))) << today;
  EXPECT_NE(IsoDateValue(today, ""), "");
}

}  // namespace
}  // namespace fb2meta
