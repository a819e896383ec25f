// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace parlatone::testing {

// The seven lines a control file starts with, as the editor writes them on
// 2008-12-31 at 23:59:59.
inline const QString kControlFileHeader = QStringLiteral(
    "KX3\r\nParlatone Editor3J\r\nParlatone\r\nLYR-KX3-3J\r\n200809 PE-3J\r\n"
    "PTEDIT3J-KX3-01\r\nDATE=081231.235959\r\n");

}  // namespace parlatone::testing
