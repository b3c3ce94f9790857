// Progress curves from a lab table: CSV, TSV or ';'-separated, UTF-8 or Latin-1, in the wide
// or the long layout (see wide_table.h, long_table.h, table_frame.h).
#pragma once

#include <string>

#include "formats/dataset.h"
#include "formats/table_options.h"

namespace formats {

Dataset read_table(const std::string& bytes, const std::string& source,
                   const TableOptions& options);

}  // namespace formats
