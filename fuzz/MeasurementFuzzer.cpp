// Measurement export files of any content through every format's reading and the automatic
// recognition: the result must be a finite curve (or a refusal), never a crash or a read outside
// the bytes. The first byte picks the format so that every layout is reached, and the magnitude
// column asked for.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "analysis/MeasurementImport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    static constexpr int kCodes[] = {kvn::analysis::kFormatAuto, 0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11};
    static constexpr const char* kColumns[] = {"", "2", "3", "mid_dB"};
    const int code = kCodes[data[0] % std::size(kCodes)];
    kvn::analysis::MeasurementSettings settings{code, 90.0, 0.02};
    settings.column = kColumns[(data[0] / std::size(kCodes)) % std::size(kColumns)];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const kvn::analysis::MeasurementResult r =
        kvn::analysis::parseMeasurement(text, "fuzz.txt", settings);
    if (r.status == kvn::analysis::MeasurementStatus::Imported) {
        for (int k = 0; k < kvn::kGridPoints; ++k) {
            // The numbers read are held to a range in which the resampling stays finite.
            if (!std::isfinite(r.curve.MagDb[static_cast<std::size_t>(k)]) ||
                !std::isfinite(r.curve.PhaseRad[static_cast<std::size_t>(k)])) {
                std::abort();
            }
        }
    }
    return 0;
}
