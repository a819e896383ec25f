// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace parlatone {

// The devices, the control files and the settings files speak the Japanese
// ANSI code page (Shift-JIS as Windows extends it, code page 932). Every byte
// that leaves or enters the program in that encoding goes through here.
namespace cp932 {

// Text to bytes. A character the code page cannot hold becomes one "?", as
// the devices' tools have always written it, so the byte count stays
// predictable for the length limits.
QByteArray Encode(const QString& text);

// Bytes to text. Bytes that are not valid code page 932 become U+FFFD, one
// per offending byte; decoding never fails and never stops early.
QString Decode(const QByteArray& bytes);

}  // namespace cp932
}  // namespace parlatone
