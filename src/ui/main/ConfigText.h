// Texts of the configuration (names, comments) are UTF-8; the processor and the preset file hold
// them as one byte per character, so their limits count characters. These convert between the
// configuration and what the windows show.
#pragma once

#include <QString>

#include <cstddef>
#include <string>

namespace kvn::ui {

// `text` as the configuration stores it, cut to `maxLength` characters.
std::string toConfigText(const QString& text, std::size_t maxLength);
QString fromConfigText(const std::string& text);

}  // namespace kvn::ui
