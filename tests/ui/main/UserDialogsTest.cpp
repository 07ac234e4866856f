#include "ui/main/EditorCommandLine.h"
#include "ui/main/QtUserDialogs.h"
#include "ui/main/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace kvn::ui {
namespace {

TEST(FileFilters, ProgramFiltersBecomeToolkitFiltersInBothCases) {
    EXPECT_EQ(toolkitFilters("KVN 350 Files *.KV2|*.KV2|All Files *.*|*.*"),
              (QStringList{"KVN 350 Files (*.KV2 *.kv2)", "All Files (*)"}));
    EXPECT_EQ(toolkitFilters("Text|*.txt;*.TXT|Odd"), (QStringList{"Text (*.txt *.TXT)"}));
    EXPECT_TRUE(toolkitFilters("").isEmpty());
    EXPECT_EQ(defaultSuffix("KVN 350 Files *.KV2|*.KV2|All Files *.*|*.*"), QStringLiteral("KV2"));
    EXPECT_TRUE(defaultSuffix("All Files *.*|*.*").isEmpty());
    EXPECT_TRUE(defaultSuffix("nothing").isEmpty());
}

TEST(ScriptedDialogs, AnswersInOrderRecordsEveryBoxAndCountsWhatWasNotScripted) {
    ScriptedDialogs dialogs;
    dialogs.answer(Answer::No);
    dialogs.chooseFile(QStringLiteral("/tmp/a.KV2"));
    dialogs.chooseFile(std::nullopt);
    EXPECT_EQ(dialogs.message(MessageKind::Warning, "first", MessageButtons::YesNoCancel),
              Answer::No);
    // With nothing queued a box is dismissed: Cancel where offered, No for Yes/No, else its button.
    EXPECT_EQ(dialogs.message(MessageKind::Warning, "second", MessageButtons::YesNoCancel),
              Answer::Cancel);
    EXPECT_EQ(dialogs.message(MessageKind::Warning, "third", MessageButtons::YesNo), Answer::No);
    EXPECT_EQ(dialogs.message(MessageKind::Information, "fourth", MessageButtons::Yes),
              Answer::Yes);
    EXPECT_EQ(dialogs.openFile({"Open KVN File", "", ""}), QStringLiteral("/tmp/a.KV2"));
    EXPECT_EQ(dialogs.saveFile({"Save KVN File", "", "NoName"}), std::nullopt);
    EXPECT_EQ(dialogs.openFile({"again", "", ""}), std::nullopt);
    EXPECT_EQ(dialogs.texts(), (QStringList{"first", "second", "third", "fourth"}));
    EXPECT_EQ(dialogs.unscripted(), 4);
    EXPECT_EQ(dialogs.fileRequests().size(), 3u);
}

TEST(EditorCommandLine, ReadsTheOptionsAndRefusesWhatItDoesNotKnow) {
    const EditorCommandLine run = parseEditorCommandLine({"--virtual"});
    EXPECT_TRUE(run.chooseVirtual);
    EXPECT_FALSE(run.headless());
    const EditorCommandLine shots = parseEditorCommandLine({"--screenshots", "docs/shots"});
    EXPECT_EQ(shots.screenshotsDir, QStringLiteral("docs/shots"));
    EXPECT_TRUE(shots.headless());
    EXPECT_EQ(parseEditorCommandLine({"--screenshots=out"}).screenshotsDir, QStringLiteral("out"));
    EXPECT_TRUE(parseEditorCommandLine({"--quit-when-idle"}).headless());
    EXPECT_FALSE(parseEditorCommandLine({"--screenshots"}).error.isEmpty());
    EXPECT_FALSE(parseEditorCommandLine({"--screenshots", "--virtual"}).error.isEmpty());
    EXPECT_FALSE(parseEditorCommandLine({"--frobnicate"}).error.isEmpty());
}

}  // namespace
}  // namespace kvn::ui
