// The equaliser's filter text export and import, driven through the whole editor.
#include "EditorHarness.h"

#include "config/FilterTextMapping.h"
#include "ui/editors/EditorWindows.h"
#include "ui/editors/FilterTextActions.h"
#include "ui/main/ConfigEdits.h"

#include <gtest/gtest.h>

#include <QFile>

namespace kvn::ui::test {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

TEST(FilterTextActions, Export_WritesTheChosenFileOrSaysWhichBandHasNoCounterpart) {
    EditorHarness editor(installEditorWindows);
    EditorContext& context = editor.app().context();
    context.edits.apply({QStringLiteral("Output 1 band 1 type"), {link::EditScope::peqBand(1, 1)}},
                        [](ProcessorConfig& c) {
                            c.output(1).band(1).FilterType = kParametric;
                            c.output(1).band(1).GainDb = -3.5;
                            c.output(1).band(1).design();
                            c.output(2).band(2).FilterType = kAllPass1;
                            c.output(2).band(2).design();
                        });

    editor.dialogs().chooseFile(editor.path(QStringLiteral("out1.txt")));
    EXPECT_TRUE(exportFilters(context, 1));
    EXPECT_EQ(readAll(editor.path(QStringLiteral("out1.txt"))),
              QByteArray::fromStdString(exportEqualizer(context.config, 1).text));
    EXPECT_TRUE(readAll(editor.path(QStringLiteral("out1.txt")))
                    .contains("Filter 1: ON PK Fc 999.97 Hz Gain -3.5 dB Q 0.7\n"));

    EXPECT_FALSE(exportFilters(context, 2));
    EXPECT_EQ(editor.dialogs().fileRequests().size(), 1u);  // refused before asking for a file
    EXPECT_EQ(editor.dialogs().lastText(),
              QStringLiteral("The equaliser of Output 2 cannot be written as filter text.\n"
                             "Output 2 band 2: AllPass 1 has no counterpart in the filter text"));

    editor.dialogs().chooseFile(editor.path(QStringLiteral("no/such/folder/sub.txt")));
    EXPECT_FALSE(exportFilters(context, 3));
    EXPECT_TRUE(editor.dialogs().lastText().startsWith(QStringLiteral("Cannot write ")));
}

TEST(FilterTextActions, Import_IsOneUndoStepThroughEveryBandsScope) {
    EditorHarness editor(installEditorWindows);
    EditorContext& context = editor.app().context();
    const ProcessorConfig before = context.config;
    std::vector<ConfigChange> changes;
    QObject::connect(&context.edits, &ConfigEdits::changed,
                     [&](const ConfigChange& change) { changes.push_back(change); });
    writeAll(editor.path(QStringLiteral("eq.txt")),
             "Room correction\r\nPreamp: -3 dB\r\n"
             "Filter 1: ON PK Fc 63 Hz Gain -6 dB Q 4.4\r\n"
             "Filter 2: ON HPQ Fc 35 Hz Q 0.7\r\n");

    editor.dialogs().chooseFile(editor.path(QStringLiteral("eq.txt")));
    ASSERT_TRUE(importFilters(context, 2));
    EXPECT_EQ(context.config.output(2).band(1).FilterType, kParametric);
    EXPECT_EQ(context.config.output(2).band(2).FilterType, kHiPassQ);
    EXPECT_EQ(context.config.output(2).LevelPosition, before.output(2).LevelPosition + 30);
    EXPECT_TRUE(editor.dialogs().lastText().startsWith(
        QStringLiteral("2 filters imported into Output 2; bands 3 to 7 bypassed.")));
    ASSERT_EQ(changes.size(), 1u);
    std::vector<link::EditScope> scopes;
    for (int band = 1; band <= kPeqBands; ++band) {
        scopes.push_back(link::EditScope::peqBand(2, band));
    }
    scopes.push_back(link::EditScope::level(2));
    EXPECT_EQ(changes[0].scopes, scopes);
    EXPECT_EQ(changes[0].origin, nullptr);  // the equaliser window shows it too

    EXPECT_EQ(context.edits.undoDescription(), QStringLiteral("Import filters into Output 2"));
    context.edits.undo();
    EXPECT_EQ(context.config, before);
    EXPECT_FALSE(context.edits.canUndo());
}

TEST(FilterTextActions, Import_RefusedOrCancelled_ChangesNothing) {
    EditorHarness editor(installEditorWindows);
    EditorContext& context = editor.app().context();
    const ProcessorConfig before = context.config;
    writeAll(
        editor.path(QStringLiteral("sub.txt")),
        "Filter 1: ON PK Fc 63 Hz Gain -6 dB Q 4.4\nFilter 2: ON PK Fc 800 Hz Gain 2 dB Q 1\n");

    editor.dialogs().chooseFile(editor.path(QStringLiteral("sub.txt")));
    EXPECT_FALSE(importFilters(context, 3));
    EXPECT_EQ(editor.dialogs().lastText(),
              QStringLiteral("sub.txt: line 2: Fc 800 Hz is outside the editor's range 10 to "
                             "500 Hz\nNothing was imported."));
    editor.dialogs().chooseFile(editor.path(QStringLiteral("missing.txt")));
    EXPECT_FALSE(importFilters(context, 1));
    EXPECT_TRUE(editor.dialogs().lastText().startsWith(QStringLiteral("Cannot read ")));
    editor.dialogs().chooseFile(std::nullopt);
    EXPECT_FALSE(importFilters(context, 1));

    EXPECT_EQ(context.config, before);
    EXPECT_FALSE(context.edits.canUndo());
    EXPECT_FALSE(context.edits.modified());
}

}  // namespace
}  // namespace kvn::ui::test
