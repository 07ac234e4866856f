// Numbers in the analysis layer's messages.
#include "analysis/MessageText.h"

#include <cstdio>

namespace kvn::analysis {

std::string numberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace kvn::analysis
