// Numbers and output names in the analysis layer's messages.
#include "analysis/MessageText.h"

#include <cstdio>

#include "config/ProcessorConfig.h"

namespace kvn::analysis {

std::string numberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string outputTitle(int output) {
    return output == kSubOutput ? "SUB" : "Output " + std::to_string(output);
}

}  // namespace kvn::analysis
