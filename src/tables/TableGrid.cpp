#include "tables/TableGrid.h"

namespace tables {

TableGrid::TableGrid(int cols, int rows)
    : cols_(cols),
      rows_(rows),
      cells_(static_cast<size_t>(cols) * rows),
      widths_(cols, 0),
      heights_(rows, 0) {}

}  // namespace tables
