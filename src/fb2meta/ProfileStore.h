#pragma once
// The keys of the settings file that the book information reads and writes, behind a small
// interface so the metadata code does not depend on how the file is kept.

#include <string>
#include <string_view>

namespace fb2meta {

class ProfileStore {
 public:
  virtual ~ProfileStore() = default;

  // A missing key, or one that does not parse, gives the default.
  virtual std::string ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const = 0;
  virtual bool ReadBool(std::string_view section, std::string_view key,
                        bool defaultValue) const = 0;

  // False when the key could not be written.
  [[nodiscard]] virtual bool WriteString(std::string_view section, std::string_view key,
                                         std::string_view value) = 0;
  [[nodiscard]] virtual bool WriteBool(std::string_view section, std::string_view key,
                                       bool value) = 0;
};

}  // namespace fb2meta
