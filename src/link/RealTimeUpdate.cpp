// Real-time message framing.
#include "link/RealTimeUpdate.h"

#include "config/Encodings.h"
#include "link/WireFormat.h"

namespace kvn::link {
namespace {
constexpr std::uint8_t kSectionType = 0;
constexpr std::uint8_t kWordType = 2;

bool isWord(RealTimeUpdate::Kind kind) {
    return kind != RealTimeUpdate::Kind::Section;
}

void append(std::vector<std::uint8_t>& bytes, const Word& word) {
    bytes.insert(bytes.end(), word.begin(), word.end());
}
}  // namespace

RealTimeUpdate RealTimeUpdate::section(std::uint8_t dspSelect, int slot,
                                       const std::array<double, 5>& coefficients) {
    RealTimeUpdate update{Kind::Section, dspSelect, static_cast<std::uint16_t>(slot)};
    update.coefficients = coefficients;
    return update;
}

RealTimeUpdate RealTimeUpdate::coefficientWord(std::uint8_t dspSelect, int address, double value) {
    RealTimeUpdate update{Kind::CoefficientWord, dspSelect, static_cast<std::uint16_t>(address)};
    update.coefficients[0] = value;
    return update;
}

RealTimeUpdate RealTimeUpdate::integerWord(std::uint8_t dspSelect, int address, int value) {
    RealTimeUpdate update{Kind::IntegerWord, dspSelect, static_cast<std::uint16_t>(address)};
    update.integerValue = value;
    return update;
}

bool RealTimeUpdate::sameTarget(const RealTimeUpdate& other) const {
    return dspSelect == other.dspSelect && isWord(kind) == isWord(other.kind) &&
           address == other.address;
}

std::vector<std::uint8_t> realTimeMessage(const RealTimeUpdate& update) {
    std::vector<std::uint8_t> bytes{
        wire::kStart, static_cast<std::uint8_t>(wire::Command::RealTimeMessage), update.dspSelect};
    if (update.kind == RealTimeUpdate::Kind::Section) {
        bytes.push_back(kSectionType);
        bytes.push_back(0x00);
        bytes.push_back(static_cast<std::uint8_t>(update.address & 0xFF));
        for (double c : update.coefficients) {
            append(bytes, encodeFixedWord(c));
        }
    } else {
        bytes.push_back(kWordType);
        bytes.push_back(static_cast<std::uint8_t>(update.address >> 8));
        bytes.push_back(static_cast<std::uint8_t>(update.address & 0xFF));
        append(bytes, update.kind == RealTimeUpdate::Kind::IntegerWord
                          ? encodeIntegerWord(update.integerValue)
                          : encodeFixedWord(update.coefficients[0]));
    }
    bytes.push_back(wire::kEnd);
    return bytes;
}

}  // namespace kvn::link
