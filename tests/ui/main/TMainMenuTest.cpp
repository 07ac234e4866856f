#include "EditorHarness.h"

#include "ui/main/EditorRegistry.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/TMainMenu.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kvn::ui::test {
namespace {

class FakeEditor : public EditorWindow {
public:
    void openFor(int output) override { opened.push_back(output); }
    void closeEditor() override { ++closed; }
    void reloadFromConfig() override { ++reloaded; }
    void showRealTime(bool on) override { realTime = on; }

    std::vector<int> opened;
    int closed = 0;
    int reloaded = 0;
    bool realTime = false;
};

TEST(EditorButtons, RegisteredEditorsOpenWithTheOutputNumberAndNewClosesAndReloadsThem) {
    EditorHarness editor;
    auto owned = std::make_unique<FakeEditor>();
    FakeEditor* dynamics = owned.get();
    editor.app().addEditor(EditorKind::Dynamics, std::move(owned));
    FakeEditor total;
    editor.app().editors().add(EditorKind::TotalResponse, &total);

    EXPECT_TRUE(editor.find<QPushButton>("Dynamic1Btn")->isEnabled());
    EXPECT_TRUE(editor.find<QPushButton>("Dynamic1Btn")->toolTip().isEmpty());
    EXPECT_FALSE(editor.find<QPushButton>("Delay1Btn")->isEnabled());
    editor.click("Dynamic2Btn");
    editor.click("Dynamic5Btn");
    editor.click("FinalResponseB");
    EXPECT_EQ(dynamics->opened, (std::vector<int>{2, 3}));
    EXPECT_EQ(total.opened, (std::vector<int>{0}));

    editor.click("NewButton");
    EXPECT_EQ(dynamics->closed, 1);
    EXPECT_EQ(total.closed, 0);  // New closes the block editors only
    EXPECT_GE(dynamics->reloaded, 1);

    editor.app().editors().remove(EditorKind::TotalResponse);
    EXPECT_FALSE(editor.find<QPushButton>("FinalResponseB")->isEnabled());
}

TEST(MuteMarks, FollowTheConfigurationAndDisableTheOutputNameWhileMuted) {
    EditorHarness editor;
    ProcessorConfig& config = editor.app().config();
    config.output(2).Muted = true;
    editor.app().workflow().ActualizaMainMute();
    EXPECT_FALSE(editor.find<QLabel>("MuteLabel2")->isHidden());
    EXPECT_FALSE(editor.find<QLabel>("x2")->isHidden());
    EXPECT_EQ(editor.find<QLabel>("MuteLabel2")->text(), QStringLiteral("MUTE"));
    EXPECT_FALSE(editor.find<QLineEdit>("Out2Edit")->isEnabled());
    EXPECT_TRUE(editor.find<QLabel>("MuteLabel1")->isHidden());
    EXPECT_TRUE(editor.find<QLineEdit>("Out1Edit")->isEnabled());

    config.output(2).Muted = false;
    editor.app().workflow().ActualizaMainMute();
    EXPECT_TRUE(editor.find<QLabel>("x2")->isHidden());
    EXPECT_TRUE(editor.find<QLineEdit>("Out2Edit")->isEnabled());
}

}  // namespace
}  // namespace kvn::ui::test
