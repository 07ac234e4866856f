#include "cli/MeasurementOptions.h"

#include <optional>

#include "analysis/MeasurementFormats.h"
#include "cli/CliError.h"

namespace kvn::cli {

int measurementFormatOption(const ParsedArgs& a) {
    const std::string text = a.value("format").value_or("auto");
    if (text == "auto") {
        return analysis::kFormatAuto;
    }
    const std::optional<int> code = parseInteger(text);
    if (!code || !analysis::isMeasurementFormat(*code)) {
        throwUsage(
            "--format must be auto or one of the format codes of 'kvn350 measurement show "
            "--help', not '" +
            text + "'");
    }
    return *code;
}

std::string measurementFormatList() {
    std::string list =
        "  auto  recognised from the file's header (fixed headers, then FRD-style)\n";
    int previous = -2;
    for (const analysis::MeasurementLayout& layout : analysis::measurementLayouts()) {
        if (layout.code != previous) {
            list += "  " + std::to_string(layout.code) + (layout.code < 10 ? "     " : "    ") +
                    layout.messageName + "\n";
        }
        previous = layout.code;
    }
    list.pop_back();
    return list;
}

}  // namespace kvn::cli
