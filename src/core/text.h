// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace parlatone {

// Number of bytes of the text in code page 932: a half-width character
// (ASCII, half-width katakana) counts 1, a full-width character 2. The
// devices' name and comment limits are byte limits, so windows test with this.
int AnsiByteLength(const QString& text);

// True when the text holds a character that is not a one-byte code page 932
// character. A character the code page cannot hold at all counts too: it would
// reach the card as "?", so a name holding one must be refused like a
// full-width one.
bool HasFullWidth(const QString& text);

// The characters the device firmware cannot take in a file or folder name.
bool HasForbiddenChar(const QString& text);

// The forbidden characters as messages list them: each in double quotation
// marks, separated by commas, in the order the operator manuals use.
QString ForbiddenCharList();

// True for the characters that separate folders in a path on this platform.
bool IsPathSeparator(QChar c);

// The part of a path before its last separator; the whole path when it has none.
QString FolderOf(const QString& path);

// The part of a path after its last separator; the whole path when it has
// none. When asked, also gives the folder part, empty when there is no
// separator.
QString FileNameOf(const QString& path, QString* folder = nullptr);

// The last n bytes of the text's code page 932 form, turned back into text.
// Extensions are taken this way (n = 3), as the devices compare them.
QString RightBytes(const QString& text, int n);

// The text up to its first NUL, as a fixed-size platform buffer would give it.
QString CutAtNul(const QString& text);

// The default when the value is empty or a single blank, else the value.
// Voice lengths and sizes read from files may be left blank.
QString TextOrDefault(const QString& value, const QString& fallback);

}  // namespace parlatone
