// Write, recall, read back and compare.
#include "link/CheckedWrite.h"

#include "link/LinkTexts.h"

namespace kvn::link {

CheckedWrite writeChecked(DeviceSequences& sequences, int memory,
                          std::span<const std::uint8_t> image, bool verify,
                          const std::function<bool()>& stop) {
    CheckedWrite result;
    if (!sequences.WriteMemory(memory, image)) {
        result.failure = sequences.lastFailure();
        return result;
    }
    result.written = true;
    if (!verify) {
        return result;
    }
    if (stop && stop()) {
        result.stopped = true;
        result.failure = "written and recalled, not checked";
        return result;
    }
    result.verification = sequences.VerifyMemory(memory, image);
    if (!result.verification) {
        result.failure =
            "written, but it could not be read back to check it: " + sequences.lastFailure();
    } else if (!result.verification->passed()) {
        result.failure = text::notVerifiedText(memory);
    }
    return result;
}

}  // namespace kvn::link
