#pragma once
// The renderer's own failure: no usable font, or a table too large to draw.

#include <stdexcept>

namespace tables {

class TableError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace tables
