#pragma once
// The document date: today's date for a new book, the check the date box makes when the user
// leaves it, and the ISO form written into the date element's value.

#include <string>
#include <string_view>

namespace fb2meta {

struct BookInfo;

// The message shown when the date box holds no usable day and month.
inline constexpr std::string_view kDateIsWrong = "date is wrong";

// Today's local date as "dd.mm.yyyy".
std::string TodayText();

// The check made when the focus leaves the date box: characters 1-2 are the day (1 to 31),
// characters 4-5 the month (1 to 12), each a number that may start with blanks; the year is
// not looked at. An accepted date is copied into an empty `DocumentDateText`. False when the
// date is wrong; then nothing changes.
bool CheckDocumentDate(BookInfo& info);

// "yyyy-mm-dd" when `dayMonthYear` is a real calendar date written day.month.year with a
// four-digit year, else `fallback` unchanged.
std::string IsoDateValue(std::string_view dayMonthYear, std::string_view fallback);

}  // namespace fb2meta
