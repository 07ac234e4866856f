// A preset as readable lines ("Output[1].Peq[2].GainDb = 3.5"), one per stored field, and the
// list of fields in which two presets differ. The command line shows and compares presets with
// them, and the check after a memory write names what the processor holds differently with the
// same texts. Names are those of the preset's JSON document: outputs, bands and units count from
// 1, keys are in sorted order within each object.
#pragma once

#include <string>
#include <vector>

#include "config/ProcessorConfig.h"

namespace kvn {

struct PresetField {
    std::string path;   // "Output[3].LowPassEdge.XoverType"
    std::string value;  // "1 (ButtW low-pass)", "\"NoName\"", "true", "0.707"
};

class PresetText {
public:
    // Every stored field. Type codes carry their name.
    static std::vector<PresetField> fields(const ProcessorConfig& config);
    // "path = value" lines.
    static std::string show(const ProcessorConfig& config);

    struct Difference {
        std::string path;
        std::string a;
        std::string b;
    };
    static std::vector<Difference> diff(const ProcessorConfig& a, const ProcessorConfig& b);
};

}  // namespace kvn
