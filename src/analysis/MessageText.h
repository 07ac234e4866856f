// How the analysis layer's messages write a number (they name an output with outputTitle()).
#pragma once

#include <string>

namespace kvn::analysis {

// A number as the user would write it, to six significant digits: 1000, 12.5, 1e+06.
std::string numberText(double value);

}  // namespace kvn::analysis
