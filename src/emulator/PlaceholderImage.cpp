// A pass-through stand-in for the image of a default configuration.
#include "emulator/PlaceholderImage.h"

#include <algorithm>
#include <string_view>

namespace kvn::emu {

namespace {

void putText(Image& image, std::size_t offset, std::size_t width, std::string_view text) {
    std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(offset), width, ' ');
    std::copy(text.begin(), text.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
}

void putWord(Image& image, int address, const Word& word) {
    for (std::size_t block : {image::kBlockA, image::kBlockB}) {
        const std::size_t offset = block + image::kWordBytes * static_cast<std::size_t>(address);
        std::copy(word.begin(), word.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
    }
}

void putUnitySection(Image& image, int slot) {
    putWord(image, slot, encodeFixedWord(1.0));
}

}  // namespace

Image placeholderImage() {
    Image image{};
    image[image::kLength] = static_cast<std::uint8_t>(image::kLengthFieldValue >> 8);
    image[image::kLength + 1] = static_cast<std::uint8_t>(image::kLengthFieldValue & 0xFF);
    image[image::kVersion] = static_cast<std::uint8_t>(image::kFormatVersion);
    std::fill_n(image.begin() + image::kOnes, image::kOnesCount, 0x01);
    putText(image, image::kSystemName, image::kSystemNameWidth, "NoName");
    putText(image, image::kInputNameA, image::kChannelNameWidth, "In1");
    putText(image, image::kInputNameB, image::kChannelNameWidth, "In2");
    putText(image, image::kOutput1Name, image::kChannelNameWidth, "Out1");
    putText(image, image::kOutput2Name, image::kChannelNameWidth, "Out2");
    putText(image, image::kReserved76, image::kReserved76Width, "");
    putText(image, image::kSubName, image::kChannelNameWidth, "SUB");
    putText(image, image::kReserved94, image::kChannelNameWidth, "");

    // Every word not set below stays 00 00 00, the encoding of 0.0.
    const double gainsFromAB[3][2] = {{1.0, 0.0}, {0.0, 1.0}, {0.5, 0.5}};
    for (int output = 1; output <= 3; ++output) {
        putWord(image, addr::gainFromA(output), encodeFixedWord(gainsFromAB[output - 1][0]));
        putWord(image, addr::gainFromB(output), encodeFixedWord(gainsFromAB[output - 1][1]));
        const int bands = output == 3 ? 3 : 7;
        for (int band = 1; band <= bands; ++band) {
            putUnitySection(image, addr::peqBand(output, band));
        }
        for (int section = 1; section <= 2; ++section) {
            putUnitySection(image, addr::lowPassSection(output, section));
            putUnitySection(image, addr::highPassSection(output, section));
        }
        putWord(image, addr::delay(output), encodeIntegerWord(1));
        putWord(image, addr::outputLevel(output), encodeFixedWord(1.0));
    }
    putWord(image, addr::inputMatrix(0), encodeFixedWord(1.0));
    putWord(image, addr::inputMatrix(3), encodeFixedWord(1.0));
    for (int unit = 1; unit <= 2; ++unit) {
        for (int entry = 0; entry < 33; ++entry) {
            putWord(image, addr::dynamicsGainTable(unit, entry), encodeFixedWord(1.0));
        }
    }
    putWord(image, addr::kConstant18, encodeIntegerWord(18));

    std::fill(image.begin() + image::kFill, image.begin() + image::kBuiltBytes, image::kFillByte);
    return image;
}

}  // namespace kvn::emu
