// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The values a gear's files hold, one row each, in the order of the
// 1420-byte dimension file: where the state keeps the value, and its name in
// the JSON form. Reading and writing both forms walk this one table.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "model/dimfile.h"
#include "model/state.h"

namespace brevold {

struct GearField {
  // The value's JSON pointer; a dimension's is that of its object, which
  // holds "id" and "value".
  std::string json;
  std::string name;  // dotted, as messages name it: "dimensions.MainRodLen"
  int id = 0;        // the dimension's id, where the value is one
  // Where the state keeps the value; empty for the four spare values and
  // the lines dialog's current row (kept as a whole number).
  std::function<float*(ModelState&)> at;
};

// Value i of the dimension file is row i: DimFileRecords * 5 rows.
const std::vector<GearField>& GearFields();

// The row of the lines dialog's current row, the file's last value.
constexpr size_t LineNoField = DimFileRecords * 5 - 1;

}  // namespace brevold
