// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own small pictures: the tool-bar images 0..17, the error
// indicator and the window icon.
#pragma once
#include <QIcon>

namespace brevold {

constexpr int ToolImageCount = 18;
QIcon ToolIcon(int image);
QIcon ErrorIcon();
QIcon WindowIcon();

}  // namespace brevold
