// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1StringView>
#include <QString>

#include <span>

namespace parlatone {

class Project;

// Where card making puts the card data: the card data folder setting and the
// folder name of the card information, joined by exactly one separator.
QString CardTargetFolder(const Project& project);
// The control file the card data hold: the card data file name with the
// series' extension ("ANN01.wpj").
QString ControlFileName(const Project& project);
// That control file inside the card data folder.
QString ControlFilePath(const Project& project);

// The card data file name goes onto the card as a file name: eight
// half-width characters at most, wherever it is typed.
inline constexpr int kCardNameMaxBytes = 8;

// What one text field of the card information may hold. The card check
// examines them in this order and the card data window shows each limit
// beside its field, so both read them here.
struct CardFieldRule {
  int field;             // position in the card information (CardInfo::Field)
  const char* control;   // object name of the field in the card data window
  int page;              // page of the window, 1 to 3
  int max_bytes;         // longest text, counted as the devices count (ANSI bytes)
  int empty_message;     // refusal of an empty text; 0 when it may stay empty
  int too_long_message;  // refusal of a longer text
};
std::span<const CardFieldRule> CardFieldRules();
// The rule of a window field by its object name; nullptr for a field without one.
const CardFieldRule* CardFieldRuleOf(QLatin1StringView control);

}  // namespace parlatone
