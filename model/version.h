// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's version, set once in the build (the project's version).
#pragma once

#ifndef BREVOLD_VERSION
#error "BREVOLD_VERSION is defined by the build, from the project's version"
#endif

namespace brevold {

inline constexpr const char* ProgramVersion = BREVOLD_VERSION;

}  // namespace brevold
