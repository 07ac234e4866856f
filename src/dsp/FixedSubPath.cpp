// The fixed SUB path table.
#include "dsp/FixedSubPath.h"

#include "dsp/TSOS.h"

namespace kvn {

const ResponseCurve& fixedSubPathResponse() {
    static const ResponseCurve curve = [] {
        TSOS section;
        section.FrequencyHz = kFixedSubPathHz;
        section.designLowPassButtw();
        ResponseCurve c;
        evaluateCascade(std::span<const TSOS>(&section, 1), 1, c);
        return c;
    }();
    return curve;
}

}  // namespace kvn
