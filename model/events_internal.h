// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// One setting's row of valve events off the sweep, which the table runs for each setting.
#pragma once
#include <optional>

#include "model/events.h"

namespace brevold::events_internal {

// A row's sampling: the driver turned by the request's step, forward or
// backward with the setting, once round and one step more.
float RowStep(const EventSetting& setting, const EventRequest& r);
int RowSamples(const EventRequest& r);

// The events of one setting: its turn swept and watched, each event located
// by the request's method, the extremes, leads and dead centres read off.
// The joints and the valve are left as the row's sweep left them, where the
// next row starts. None when the request's cancel flag went up part-way (a
// row of a gear whose searches give up takes long: cancel lands within it).
std::optional<EventRow> RunRow(ModelState& s, const EventSetting& setting, const EventRequest& r);

}  // namespace brevold::events_internal
