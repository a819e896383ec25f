// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QString>

#include "core/project.h"
#include "json_writer.h"

namespace parlatone::cli {

// The JSON form of projects that show prints and write reads.
QJsonObject VoiceJson(const VoiceRecord& voice);
void WriteVoiceJson(JsonWriter& writer, const VoiceRecord& voice);
VoiceRecord VoiceFromJson(const QJsonObject& json);
QJsonObject ProjectJson(const Project& project);

// Fills the project from such an object: missing keys stay empty, the
// channels listed in "programs" are set. False with a reason for a value of
// the wrong shape.
bool ProjectFromJson(const QJsonObject& json, Project& project, QString& error);

// The card field names in control-file order (Memo1 to Memo3 last).
QString CardFieldName(int index);

}  // namespace parlatone::cli
