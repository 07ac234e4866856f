#include "config/PresetText.h"

#include <gtest/gtest.h>

namespace kvn {
namespace {

TEST(PresetText, Show_OneLinePerFieldWithTypeNames) {
    ProcessorConfig c;
    c.resetToNew();
    c.output(2).band(4).FilterType = kParametric;
    const std::string text = PresetText::show(c);
    EXPECT_NE(text.find("SystemName = \"NoName\"\n"), std::string::npos);
    EXPECT_NE(text.find("Output[2].Peq[4].FilterType = 1 (Parametric)\n"), std::string::npos);
    EXPECT_NE(text.find("Output[3].LowPassEdge.XoverType = 1 (ButtW low-pass)\n"),
              std::string::npos);
    EXPECT_NE(text.find("Output[1].Route = 0 (input A)\n"), std::string::npos);
    EXPECT_NE(text.find("Dynamics[2].thresholdDbfs = -5\n"), std::string::npos);
    EXPECT_EQ(text.find("Output[3].Peq[4]"), std::string::npos);  // SUB stores three bands
}

TEST(PresetText, Diff_ListsOnlyTheChangedFieldsWithBothValues) {
    ProcessorConfig a;
    a.resetToNew();
    EXPECT_TRUE(PresetText::diff(a, a).empty());

    ProcessorConfig b = a;
    b.output(1).band(2).GainDb = 3.5;
    b.output(3).Name = "Bass";
    b.unit(2).gateLevel = 16.0f;
    const auto d = PresetText::diff(a, b);
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].path, "Dynamics[2].gateLevel");
    EXPECT_EQ(d[0].a, "1");
    EXPECT_EQ(d[0].b, "16");
    EXPECT_EQ(d[1].path, "Output[1].Peq[2].GainDb");
    EXPECT_EQ(d[1].b, "3.5");
    EXPECT_EQ(d[2].path, "Output[3].Name");
    EXPECT_EQ(d[2].a, "\"SUB\"");
    EXPECT_EQ(d[2].b, "\"Bass\"");
}

}  // namespace
}  // namespace kvn
