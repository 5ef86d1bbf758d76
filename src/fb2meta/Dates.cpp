#include "fb2meta/Dates.h"

#include <cstdio>
#include <ctime>
#include <optional>

#include "engine/TextUtil.h"
#include "fb2meta/BookInfo.h"

namespace fb2meta {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A number of at most a few digits, optionally after leading blanks; nothing else allowed.
std::optional<int> ReadSmallNumber(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  if (i == s.size()) return std::nullopt;
  int value = 0;
  for (; i < s.size(); ++i) {
    if (!IsDigit(s[i])) return std::nullopt;
    value = value * 10 + (s[i] - '0');
  }
  return value;
}

// Reads 1 to `maxDigits` digits at `pos`.
std::optional<int> ReadDigits(std::string_view s, size_t& pos, size_t maxDigits) {
  size_t start = pos;
  int value = 0;
  while (pos < s.size() && pos - start < maxDigits && IsDigit(s[pos])) {
    value = value * 10 + (s[pos] - '0');
    ++pos;
  }
  if (pos == start) return std::nullopt;
  return value;
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::string TodayText() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[48];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d", local.tm_mday, local.tm_mon + 1,
                local.tm_year + 1900);
  return text;
}

bool CheckDocumentDate(BookInfo& info) {
  std::string_view date = info.DocumentDate;
  if (date.size() < 5) return false;
  std::optional<int> day = ReadSmallNumber(date.substr(0, 2));
  std::optional<int> month = ReadSmallNumber(date.substr(3, 2));
  if (!day || !month || *day < 1 || *day > 31 || *month < 1 || *month > 12) return false;
  if (info.DocumentDateText.empty()) info.DocumentDateText = info.DocumentDate;
  return true;
}

std::string IsoDateValue(std::string_view dayMonthYear, std::string_view fallback) {
  std::string_view s = engine::Trim(dayMonthYear);
  size_t pos = 0;
  std::optional<int> day = ReadDigits(s, pos, 2);
  if (!day || pos >= s.size() || s[pos] != '.') return std::string(fallback);
  ++pos;
  std::optional<int> month = ReadDigits(s, pos, 2);
  if (!month || pos >= s.size() || s[pos] != '.') return std::string(fallback);
  ++pos;
  size_t yearStart = pos;
  std::optional<int> year = ReadDigits(s, pos, 4);
  if (!year || pos - yearStart != 4 || pos != s.size() || *year < 1) return std::string(fallback);
  if (*month < 1 || *month > 12 || *day < 1 || *day > DaysInMonth(*year, *month))
    return std::string(fallback);
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", *year, *month, *day);
  return text;
}

}  // namespace fb2meta
