// Comparing a written image with the one read back.
#include "link/ImageCheck.h"

#include <algorithm>

#include "config/ImageLayout.h"
#include "config/MemoryImage.h"

namespace kvn::link {
namespace {

// The parts of an image, in order, as the check names them.
struct Part {
    std::size_t begin;
    std::size_t end;
    const char* name;
    bool words;    // a coefficient bank: differences are named by word address
    bool decoded;  // the fields are read from here: listed only when no field differs
};

constexpr Part kParts[] = {
    {0, image::kSystemName, "Image header", false, false},
    {image::kSystemName, image::kBlockA, "Names", false, true},
    {image::kBlockA, image::kBlockB, "Coefficient bank 1", true, false},
    {image::kBlockB, image::kParameters, "Coefficient bank 2", true, false},
    {image::kParameters, image::kGates, "Parameter block", false, true},
    {image::kGates, image::kParametersCopy2, "Noise gates", false, true},
    {image::kParametersCopy2, image::kFill, "Parameter block (second copy)", false, false},
    {image::kFill, image::kTransferBytes, "Image end", false, false},
};

// "37-41, 90": consecutive numbers as ranges.
std::string ranges(const std::vector<int>& numbers) {
    std::string text;
    for (std::size_t i = 0; i < numbers.size();) {
        std::size_t j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) {
            ++j;
        }
        text += (text.empty() ? "" : ", ") + std::to_string(numbers[i]);
        if (j > i) {
            text += "-" + std::to_string(numbers[j]);
        }
        i = j + 1;
    }
    return text;
}

std::string partDifference(const Part& part, std::span<const std::uint8_t> a,
                           std::span<const std::uint8_t> b) {
    std::vector<int> differing;
    for (std::size_t at = part.begin; at < part.end && at < a.size() && at < b.size(); ++at) {
        if (a[at] == b[at]) {
            continue;
        }
        const int number = part.words ? static_cast<int>((at - part.begin) / image::kWordBytes)
                                      : static_cast<int>(at);
        if (differing.empty() || differing.back() != number) {
            differing.push_back(number);
        }
    }
    if (differing.empty()) {
        return {};
    }
    if (part.words) {
        return std::string(part.name) + (differing.size() == 1 ? ": word " : ": words ") +
               ranges(differing);
    }
    return std::string(part.name) + (differing.size() == 1 ? ": byte " : ": bytes ") +
           ranges(differing);
}

// The configuration an image holds, as a read would leave it before the editors redesign it.
bool decode(std::span<const std::uint8_t> bytes, ProcessorConfig& config, std::string& why) {
    config.resetToNew();
    const LoadResult result = DecodeImage(bytes, config);
    if (!result.loaded && !result.messages.empty()) {
        why = result.messages.front().text;
    }
    return result.loaded;
}

}  // namespace

std::vector<std::string> ImageCheck::lines() const {
    std::vector<std::string> out;
    for (const PresetText::Difference& d : fields) {
        out.push_back(d.path + ": " + d.a + " -> " + d.b);
    }
    out.insert(out.end(), otherParts.begin(), otherParts.end());
    return out;
}

ImageCheck compareImages(std::span<const std::uint8_t> written,
                         std::span<const std::uint8_t> readBack) {
    ImageCheck check;
    check.identical = std::equal(written.begin(), written.end(), readBack.begin(), readBack.end());
    if (check.identical) {
        return check;
    }
    ProcessorConfig sent;
    ProcessorConfig held;
    std::string why;
    if (!decode(written, sent, why)) {
        check.otherParts.push_back("The image written could not be decoded: " + why);
        return check;
    }
    if (!decode(readBack, held, why)) {
        check.otherParts.push_back("The memory gave back an image that cannot be decoded: " + why);
        return check;
    }
    check.fields = PresetText::diff(sent, held);
    for (const Part& part : kParts) {
        if (part.decoded && !check.fields.empty()) {
            continue;
        }
        std::string difference = partDifference(part, written, readBack);
        if (!difference.empty()) {
            check.otherParts.push_back(std::move(difference));
        }
    }
    if (readBack.size() != written.size()) {
        check.otherParts.push_back("The memory gave back " + std::to_string(readBack.size()) +
                                   " bytes, " + std::to_string(written.size()) + " were written");
    }
    return check;
}

}  // namespace kvn::link
