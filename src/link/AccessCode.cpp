// The access code rule.
#include "link/AccessCode.h"

namespace kvn::link {
namespace {
constexpr std::string_view kUnprotectCode = "7939";
}  // namespace

AccessCodeResult applyAccessCode(std::string_view code, int memory) {
    AccessCodeResult result;
    if (code == kUnprotectCode) {
        result.range = MemoryRange::all();
        result.memory = result.range.clamp(memory);
        result.unprotected = true;
    } else {
        result.range = MemoryRange::user();
        result.memory = result.range.clamp(memory);
    }
    return result;
}

}  // namespace kvn::link
