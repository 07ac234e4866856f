// Text conversion at the boundary of the memory image and the preset file: the model holds UTF-8,
// the processor and the file hold single-byte Windows-1252 text.
#pragma once

#include <string>
#include <string_view>

namespace kvn {

// UTF-8 to Windows-1252, one byte per character. A character with no Windows-1252 byte, and each
// byte of a malformed UTF-8 sequence, becomes '?'.
std::string toWindows1252(std::string_view utf8);

// Windows-1252 to UTF-8. The five bytes Windows-1252 leaves undefined (81, 8D, 8F, 90, 9D hex)
// become the control characters of the same number, so every byte string comes back unchanged
// through toWindows1252.
std::string fromWindows1252(std::string_view bytes);

}  // namespace kvn
