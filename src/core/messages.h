// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <map>

namespace parlatone {

// Numbers of the messages that code refers to by meaning rather than by
// place. Most callers use the number the window or procedure is known by.
namespace msg {
inline constexpr int kTitleConfirm = 2002;  // "確認": questions, refusals, notices
inline constexpr int kTitleCaution = 2003;  // "注意": format refusals
inline constexpr int kTitleError = 2500;    // "エラー": failures
inline constexpr int kSeriesLabelBase = 2110;
}  // namespace msg

// The numbered text, in the interface language, with the insert put in place of its first "$", or
// appended at its end when the text holds no "$". An unknown number gives an
// empty text (and the insert, so that nothing the caller says is lost).
QString GetMessage(int number, const QString& insert = {});

// The insertion rule of GetMessage on any text.
QString InsertIntoMessage(QString text, const QString& insert);

// True when the table holds the number.
bool HasMessage(int number);

// The whole table, number to text, in the interface language.
std::map<int, QString> MessageTable();

}  // namespace parlatone
