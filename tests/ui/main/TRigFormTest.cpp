// The rig window driven through its buttons against in-process virtual processors.
#include "EditorHarness.h"

#include "config/PresetFile.h"
#include "emulator/FactoryImage.h"
#include "link/VirtualSerialChannel.h"
#include "ui/main/ScriptedDialogs.h"
#include "ui/main/TRigForm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <map>

namespace kvn::ui::test {
namespace {

QString cell(const TRigForm& form, int row, int column) {
    return form.table()->item(row, column)->text();
}

bool finishes(TRigForm& form) {
    return QTest::qWaitFor([&] { return !form.running(); }, 10000);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(TRigForm, RefreshAndWriteAll_ShowEachProcessorsStateAndLeaveTheHeldPortAlone) {
    QTemporaryDir dir;
    ProcessorConfig config;
    config.resetToNew();
    config.SystemName = "Show";
    ASSERT_TRUE(
        SavePresetFile(dir.filePath(QStringLiteral("show.KV2")).toStdString(), config).success);
    writeFile(dir.filePath(QStringLiteral("rig.json")), R"({"processors": [
        {"name": "Left", "port": "/p/1", "memory": 30, "preset": "show.KV2"},
        {"name": "Front", "port": "/p/2", "memory": 31, "preset": "show.KV2"},
        {"name": "Subs", "port": "/p/3", "memory": 32, "preset": "show.KV2"}]})");
    writeFile(dir.filePath(QStringLiteral("bad.json")),
              R"({"processors": [{"name": "Left", "port": "COM9x:", "memory": 30}]})");

    std::map<std::string, emu::VirtualProcessor> devices;
    devices["/p/2"].setProtected(31, true);
    ScriptedDialogs dialogs;
    TRigForm::Options options;
    options.systemLinks = [&devices](const link::PortAddress& port) {
        emu::VirtualProcessor& device = devices[port.location];
        return link::LinkOption::serial(7, port.location, [&device] {
            return std::make_unique<link::VirtualSerialChannel>(device);
        });
    };
    options.heldPort = [] { return std::string("serial:/p/3"); };
    TRigForm form(dialogs, options);
    form.show();

    EXPECT_FALSE(form.loadRig(dir.filePath(QStringLiteral("bad.json"))));
    EXPECT_TRUE(dialogs.lastText().contains(QStringLiteral("entry 1 (Left): port:")));
    ASSERT_TRUE(form.loadRig(dir.filePath(QStringLiteral("rig.json"))));
    auto* writeAll = form.findChild<QPushButton*>(QStringLiteral("WriteAllButton"));
    auto* cancel = form.findChild<QPushButton*>(QStringLiteral("CancelButton"));
    EXPECT_FALSE(cancel->isEnabled());

    form.findChild<QPushButton*>(QStringLiteral("RefreshButton"))->click();
    EXPECT_TRUE(form.running());
    EXPECT_FALSE(writeAll->isEnabled());
    EXPECT_TRUE(cancel->isEnabled());
    ASSERT_TRUE(finishes(form));
    EXPECT_EQ(cell(form, 0, TRigForm::kState), QStringLiteral("differs"));
    EXPECT_EQ(cell(form, 0, TRigForm::kHolds), QStringLiteral("no"));
    EXPECT_EQ(cell(form, 0, TRigForm::kRuns), QStringLiteral("21"));
    EXPECT_EQ(cell(form, 2, TRigForm::kState), QStringLiteral("busy"));

    dialogs.answer(Answer::Yes);
    writeAll->click();
    ASSERT_TRUE(finishes(form));
    EXPECT_EQ(cell(form, 0, TRigForm::kState), QStringLiteral("written"));
    EXPECT_EQ(cell(form, 0, TRigForm::kRuns), QStringLiteral("30"));
    EXPECT_EQ(cell(form, 1, TRigForm::kState), QStringLiteral("failed"));
    EXPECT_EQ(cell(form, 2, TRigForm::kState), QStringLiteral("busy"));
    EXPECT_NE(form.table()->item(0, TRigForm::kState)->background().color(),
              form.table()->item(1, TRigForm::kState)->background().color());
    EXPECT_TRUE(form.summary().startsWith(QStringLiteral("1 of 3 processors written")));
    EXPECT_TRUE(form.summary().contains(QStringLiteral("Front: the memory is protected")));
    EXPECT_TRUE(form.summary().contains(QStringLiteral("Subs: busy")));
    EXPECT_NE(devices["/p/1"].memory(30), emu::factoryImage());
    EXPECT_EQ(devices["/p/2"].memory(31), emu::factoryImage());
    EXPECT_EQ(devices.count("/p/3"), 0u);  // never opened
}

TEST(TRigForm, FileMenuOpensIt_AndTheEditorsVirtualProcessorIsBusy) {
    EditorHarness editor;
    ASSERT_TRUE(editor.connectVirtual());
    editor.find<QAction>(QStringLiteral("RigAction"))->trigger();
    TRigForm& form = editor.app().rigForm();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(editor.app().heldPortIdentity(),
              "virtual:" + std::filesystem::weakly_canonical(
                               editor.path(QStringLiteral("virtual.state")).toStdString())
                               .string());
}

}  // namespace
}  // namespace kvn::ui::test
