// The check of a received memory image.
#include "config/ImageConsistency.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "config/LoadRefresh.h"
#include "config/MemoryImage.h"

namespace kvn {
namespace {

void dump(const std::string& what, std::span<const std::uint8_t> bytes) {
    const ImageConsistency c = checkImageConsistency(bytes);
    std::cout << what << ": sound=" << c.sound() << " problem=" << c.problem()
              << " warning=" << c.warning() << "\n";
}

TEST(ImageConsistency, Explore) {
    for (const std::string name : {"default.img", "rich.img", "version202.img"}) {
        dump(name, test::readBytes(test::dataFile(name)));
    }
    const ImageBuffer factory = BuildImage(ProcessorConfig{});
    dump("factory", factory);
    ProcessorConfig c = test::richConfig();
    refreshAfterLoad(c, LoadSource::PresetFile);
    dump("rich refreshed", BuildImage(c));
    ProcessorConfig n;
    n.resetToNew();
    refreshAfterLoad(n, LoadSource::PresetFile);
    dump("new refreshed", BuildImage(n));
}

}  // namespace
}  // namespace kvn
