// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/card_data.h"

#include "core/paths.h"
#include "core/project.h"
#include "core/series.h"

namespace parlatone {

namespace {

// Positions follow the control file's order of the card information. The
// card capacity (17) and the medium lists (18, 20, 22) are chosen from lists
// and have no text rule.
constexpr CardFieldRule kCardFieldRules[] = {
    {0, "TxtCardName", 1, kCardNameMaxBytes, 2060, 2061},
    {1, "TxtForder", 1, 40, 2065, 2066},
    {3, "TxtModel", 1, 40, 2083, 2066},
    {4, "TxtMaisuu", 1, 20, 0, 2067},
    {13, "TxtCardCom", 1, 40, 2070, 2066},
    {14, "TxtCardPerson", 1, 40, 2071, 2066},
    {15, "TxtCardDate", 1, 20, 2097, 2067},
    {16, "TxtCardKankyou", 1, 40, 0, 2066},
    {5, "TxtRecStdio", 2, 40, 0, 2066},
    {6, "TxtRecAna", 2, 40, 0, 2066},
    {7, "TxtRecDate", 2, 20, 0, 2067},
    {8, "TxtRecKankyou", 2, 40, 0, 2066},
    {9, "TxtWaveCom", 2, 40, 0, 2066},
    {10, "TxtWavePerson", 2, 40, 0, 2066},
    {11, "TxtWaveDate", 2, 20, 0, 2067},
    {12, "TxtWaveKankyou", 2, 40, 0, 2066},
    {19, "TxtTpMd", 3, 28, 0, 2072},
    {21, "TxtWaveBaitai", 3, 28, 0, 2072},
    {23, "TxtCardBaitai", 3, 28, 0, 2072},
    {24, "TxtMemo1", 3, 200, 0, 2073},
    {25, "TxtMemo2", 3, 200, 0, 2073},
    {26, "TxtMemo3", 3, 200, 0, 2073},
};

}  // namespace

QString CardTargetFolder(const Project& project) {
  return JoinPath(project.settings.CardPath, project.card.Forder);
}

QString ControlFileName(const Project& project) {
  return project.card.CardName + u'.' + ControlFileExtension(project.Mode());
}

QString ControlFilePath(const Project& project) {
  return JoinPath(CardTargetFolder(project), ControlFileName(project));
}

std::span<const CardFieldRule> CardFieldRules() {
  return kCardFieldRules;
}

const CardFieldRule* CardFieldRuleOf(QLatin1StringView control) {
  for (const CardFieldRule& rule : kCardFieldRules) {
    if (control == QLatin1StringView(rule.control)) {
      return &rule;
    }
  }
  return nullptr;
}

}  // namespace parlatone
