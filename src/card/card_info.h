// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "core/card_size.h"
#include "core/project.h"

namespace parlatone {

class Operator;

// The card information as the card data window shows it when it opens:
// the project's values, the CardName setting when the project has no card
// data file name, the size class of the current total when no card capacity
// was chosen, and the size class text of the current total.
CardInfo CardFormFromProject(const Project& project);

// Where a failed check points: the page (1 to 3) and the control.
struct CardCheckFailure {
  int page = 1;
  QString control;  // object name of the field, e.g. "TxtCardName"
};

// Checks the card information in the window's order and tells the operator
// the first failure. Also refuses a folder name that is not one plain folder
// below the card data folder, since its files are replaced.
bool CheckCardInfo(const CardInfo& form, Operator& op, CardCheckFailure* failure = nullptr);

}  // namespace parlatone
