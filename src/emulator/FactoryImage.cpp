// The image every memory holds until something is written to it.
#include "emulator/FactoryImage.h"

#include <algorithm>

#include "config/MemoryImage.h"
#include "config/ProcessorConfig.h"

namespace kvn::emu {

Image factoryImage() {
    const ImageBuffer built = BuildImage(ProcessorConfig{});
    Image image{};
    std::copy(built.begin(), built.end(), image.begin());
    return image;
}

}  // namespace kvn::emu
