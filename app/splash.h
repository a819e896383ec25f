// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>

namespace parlatone {

// The picture of the splash window, drawn by the program itself.
QPixmap SplashPicture();

}  // namespace parlatone
