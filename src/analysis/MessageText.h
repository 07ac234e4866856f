// How the analysis layer's messages write a number and name an output.
#pragma once

#include <string>

namespace kvn::analysis {

// A number as the user would write it, to six significant digits: 1000, 12.5, 1e+06.
std::string numberText(double value);

// "Output 1", "Output 2" or "SUB" for `output` 1..3.
std::string outputTitle(int output);

}  // namespace kvn::analysis
