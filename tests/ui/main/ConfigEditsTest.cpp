#include "EditorHarness.h"

#include "config/MemoryImage.h"
#include "config/PresetFile.h"
#include "ui/main/ConfigEdits.h"
#include "ui/main/MainWorkflow.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

namespace kvn::ui::test {
namespace {

using link::EditScope;

ConfigEdits::Edit gainEdit(int band) {
    return {QStringLiteral("Output 1 band %1 gain").arg(band), {EditScope::peqBand(1, band)}};
}

auto setGain(int band, double gainDb) {
    return [band, gainDb](ProcessorConfig& config) {
        PeqBand& b = config.output(1).band(band);
        b.FilterType = kParametric;
        b.GainDb = gainDb;
        b.design();
    };
}

TEST(ConfigEdits, UndoAndRedoRestoreEveryStepExactlyAndTrackTheSavedState) {
    ProcessorConfig config;
    ConfigEdits edits(config);
    const PresetRecord original = BuildPresetRecord(config, {});
    QSignalSpy told(&edits, &ConfigEdits::changed);

    edits.apply(gainEdit(1), setGain(1, 3.0));
    edits.apply({QStringLiteral("Output 2 delay"), {EditScope::delay(2)}},
                [](ProcessorConfig& c) { c.output(2).DelaySamples = 48; });
    edits.markSaved();
    EXPECT_FALSE(edits.modified());
    // A gesture is one step however many edits it makes, named by its first.
    edits.beginGesture();
    for (int i = 1; i <= 50; ++i) {
        edits.apply(gainEdit(2), setGain(2, i * 0.1));
    }
    edits.endGesture();
    EXPECT_TRUE(edits.modified());
    const PresetRecord last = BuildPresetRecord(config, {});
    EXPECT_EQ(told.count(), 52);
    EXPECT_EQ(edits.undoDescription(), QStringLiteral("Output 1 band 2 gain"));

    edits.undo();
    EXPECT_FALSE(edits.modified());  // back at the saved state
    EXPECT_DOUBLE_EQ(config.output(1).band(2).GainDb, 0.0);
    EXPECT_EQ(told.last().at(0).value<ConfigChange>().description,
              QStringLiteral("Undo Output 1 band 2 gain"));
    EXPECT_TRUE(told.last().at(0).value<ConfigChange>().whole);
    edits.undo();
    edits.undo();
    EXPECT_FALSE(edits.canUndo());
    EXPECT_EQ(BuildPresetRecord(config, {}), original);
    EXPECT_TRUE(edits.modified());

    edits.redo();
    edits.redo();
    edits.redo();
    EXPECT_EQ(BuildPresetRecord(config, {}), last);
    EXPECT_FALSE(edits.canRedo());

    // A new edit after an undo forgets the redo; a change to nothing is no step.
    edits.undo();
    edits.apply(gainEdit(3), [](ProcessorConfig&) {});
    EXPECT_TRUE(edits.canRedo());
    edits.apply(gainEdit(3), setGain(3, -2.0));
    EXPECT_FALSE(edits.canRedo());
    EXPECT_TRUE(edits.modified());

    // A load starts a fresh history.
    edits.configurationReplaced();
    EXPECT_FALSE(edits.canUndo());
    EXPECT_FALSE(edits.modified());
}

TEST(ConfigEdits, TypingMergesIncidentalChangesMarkModifiedAndTheHistoryIsBounded) {
    ProcessorConfig config;
    ConfigEdits edits(config);
    ConfigEdits::Edit typing{QStringLiteral("Output 1 name"), {EditScope::quiet(1)}};
    typing.mergeable = true;
    for (const char* name : {"T", "To", "Top"}) {
        edits.apply(typing, [name](ProcessorConfig& c) { c.output(1).Name = name; });
    }
    edits.undo();
    EXPECT_EQ(config.output(1).Name, "Out1");
    EXPECT_FALSE(edits.canUndo());

    ConfigEdits::Edit incidental{QStringLiteral("Output 1 band 5 selected"), {}};
    incidental.record = false;
    edits.apply(incidental, [](ProcessorConfig& c) { c.output(1).PeqBandsInUse = 5; });
    EXPECT_TRUE(edits.modified());
    EXPECT_FALSE(edits.canUndo());

    for (std::size_t i = 0; i < ConfigEdits::kHistoryLimit + 10; ++i) {
        edits.apply({QStringLiteral("Temperature"), {EditScope::quiet()}},
                    [i](ProcessorConfig& c) { c.Temperature = static_cast<int>(i % 50) + 1; });
    }
    int undone = 0;
    while (edits.canUndo()) {
        edits.undo();
        ++undone;
    }
    EXPECT_EQ(undone, static_cast<int>(ConfigEdits::kHistoryLimit));
}

TEST(ConfigEdits, InRealTimeEditsAndTheirUndoReachTheProcessorsBank) {
    EditorHarness editor;
    ASSERT_TRUE(editor.connectVirtual());
    ConfigEdits& edits = editor.app().workflow().edits();
    ProcessorConfig& config = editor.app().config();
    ASSERT_TRUE(editor.startRealTime());
    // What the read left different (the loaders quantise the dynamics units' thresholds, whose
    // tables the processor gets only with the next write) stays the only difference.
    const std::vector<int> baseline = editor.device().bankDifferences(1, BuildImage(config));
    const auto inStep = [&] {
        return QTest::qWaitFor(
            [&] { return editor.device().bankDifferences(1, BuildImage(config)) == baseline; },
            5000);
    };

    edits.apply(gainEdit(4), setGain(4, 6.0));
    edits.apply({QStringLiteral("Output 1 route"), {EditScope::route(1)}},
                [](ProcessorConfig& c) { c.output(1).advanceRoute(); });
    EXPECT_TRUE(inStep());
    edits.undo();
    EXPECT_TRUE(inStep());
    edits.undo();
    EXPECT_TRUE(inStep());
    edits.redo();
    EXPECT_TRUE(inStep());
    EXPECT_DOUBLE_EQ(config.output(1).band(4).GainDb, 6.0);
}

}  // namespace
}  // namespace kvn::ui::test
