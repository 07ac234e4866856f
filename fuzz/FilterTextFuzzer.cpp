// Filter texts of any content through the import an editor and the command line run: reading,
// checking against each output, applying and writing the equaliser again must neither crash nor
// read outside the text, and what is applied must be bands the export can write.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/FilterTextMapping.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const kvn::ProcessorConfig start = [] {
        kvn::ProcessorConfig config;
        config.resetToNew();
        return config;
    }();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (int output = 1; output <= kvn::kOutputCount; ++output) {
        const kvn::EqualizerImportCheck check = kvn::checkEqualizerImport(start, output, text);
        if (!check.import) {
            continue;
        }
        kvn::ProcessorConfig config = start;
        kvn::applyEqualizerImport(config, *check.import);
        static_cast<void>(kvn::describeEqualizerImport(start, *check.import));
        if (!kvn::exportEqualizer(config, output).problem.empty()) {
            std::abort();
        }
    }
    return 0;
}
