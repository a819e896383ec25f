// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonDocument>

namespace parlatone::cli {

struct Context;

// Prints a JSON document, indented, to standard output.
void PrintJson(Context& context, const QJsonDocument& document);
// Prints JSON that is UTF-8 already.
void PrintJsonBytes(Context& context, const QByteArray& bytes);

}  // namespace parlatone::cli
