// Writes JSON documents in the tool's one layout: two-space indentation, keys in the order of
// QJsonObject (sorted), arrays of plain values on one line, numbers at full precision.
#pragma once

#include <QJsonValue>
#include <string>

#include "config/JsonText.h"

namespace kvn::cli {

// The document of `value`, ending with a newline. Whole numbers below 2^53 in magnitude print
// without a fraction in both modes; non-finite numbers print as null.
std::string writeJson(const QJsonValue& value, JsonNumbers numbers);

}  // namespace kvn::cli
