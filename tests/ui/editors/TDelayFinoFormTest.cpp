#include "EditorHarness.h"

#include "config/DelayControls.h"
#include "ui/editors/AlignmentPicture.h"
#include "ui/editors/EditorWindows.h"
#include "ui/main/ConfigEdits.h"
#include "ui/main/EditorRegistry.h"
#include "ui/main/MainWorkflow.h"
#include "widgets/CommitSlider.h"
#include "widgets/IntSpinEdit.h"
#include "widgets/RealEdit.h"
#include "widgets/SpinButtons.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <functional>

namespace kvn::ui::test {
namespace {

struct DelayWindow {
    DelayWindow() { editor.app().editors().open(EditorKind::Delay, 1); }

    EditorHarness editor{installEditorWindows};

    ProcessorConfig& config() { return editor.app().config(); }
    widgets::CommitSlider* track(int n) {
        return editor.find<widgets::CommitSlider>(QStringLiteral("Del%1track").arg(n));
    }
    widgets::RealEdit* edit(const QString& name) { return editor.find<widgets::RealEdit>(name); }
    widgets::IntSpinEdit* spin(const char* name) {
        return editor.find<widgets::IntSpinEdit>(QString::fromLatin1(name));
    }
    void enter(const QString& name, const QString& text) {
        editor.type(name, text);
        QTest::keyClick(edit(name), Qt::Key_Return);
    }
    void key(const QString& name, Qt::Key key) { QTest::keyClick(edit(name), key); }
    void step(const QString& name, bool up) {
        auto* buttons = editor.find<widgets::SpinButtons>(name);
        (up ? buttons->upButton() : buttons->downButton())->click();
    }
    int delay(int n) { return config().output(n).DelaySamples; }
};

TEST(TDelayFinoForm, EveryEntryPathEndsInTheSameSampleCountWithinTheTrack) {
    DelayWindow w;
    w.editor.click("Delay2Btn");
    ASSERT_TRUE(w.editor.find<QWidget>("TDelayFinoForm")->isVisible());
    EXPECT_EQ(w.track(2)->position(), 234);
    EXPECT_EQ(w.edit("msegdel2")->text(), QStringLiteral("0.00"));
    EXPECT_EQ(w.edit("Del2L")->text(), QStringLiteral("0.0"));

    struct Path {
        const char* what;
        int start;
        std::function<void()> enter;
    };
    const std::vector<Path> paths{
        {"track", 0, [&] { w.track(2)->setPosition(134); }},
        {"ms", 0, [&] { w.enter("msegdel2", "2.08"); }},  // 99.84
        {"cm", 0, [&] { w.enter("Del2L", "72.1"); }},     // 99.94 at 25 degrees C
        {"ms button", 99, [&] { w.step("UpDown02msTSpin", true); }},
        {"cm button", 101, [&] { w.step("UpDown02cmTSpin", false); }},
        {"ms key", 99, [&] { w.key("msegdel2", Qt::Key_Up); }},
        {"cm key", 101, [&] { w.key("Del2L", Qt::Key_Down); }},
        {"Output 1 ms key", 99, [&] { w.key("msegdel1", Qt::Key_Up); }},
    };
    for (const Path& path : paths) {
        const int n = QString::fromLatin1(path.what).startsWith(QLatin1String("Output 1")) ? 1 : 2;
        w.track(n)->setPosition(trackFromDelay(path.start));
        path.enter();
        EXPECT_EQ(w.delay(n), 100) << path.what;
        EXPECT_EQ(w.track(n)->position(), 134) << path.what;
        EXPECT_EQ(w.edit(QStringLiteral("msegdel%1").arg(n))->text(), QStringLiteral("2.08"));
        EXPECT_EQ(w.edit(QStringLiteral("Del%1L").arg(n))->text(), QStringLiteral("72.1"));
    }

    // The ceiling of the steps is 233; the track and typed values reach 234 and no further.
    w.track(2)->setPosition(1);
    w.step("UpDown02msTSpin", true);
    w.key("Del2L", Qt::Key_Up);
    EXPECT_EQ(w.delay(2), 233);
    w.track(2)->setPosition(0);
    EXPECT_EQ(w.delay(2), 234);
    w.enter("msegdel2", "5.00");
    EXPECT_EQ(w.delay(2), 234);
    EXPECT_EQ(w.edit("msegdel2")->text(), QStringLiteral("4.88"));
    EXPECT_EQ(w.edit("Del2L")->text(), QStringLiteral("168.8"));
    w.enter("Del2L", "-3");
    EXPECT_EQ(w.delay(2), 0);
    w.step("UpDown02cmTSpin", false);
    EXPECT_EQ(w.delay(2), 0);
}

TEST(TDelayFinoForm, TemperatureInCOrFChangesTheDistancesNotTheSamples) {
    DelayWindow w;
    w.track(1)->setPosition(0);
    w.spin("TemperaturaSpin")->setValue(0);
    EXPECT_EQ(w.spin("TemperaturaFSpin")->value(), 32);
    EXPECT_EQ(w.config().Temperature, 0);
    EXPECT_EQ(w.delay(1), 234);
    EXPECT_EQ(w.edit("Del1L")->text(), QStringLiteral("161.6"));

    w.spin("TemperaturaFSpin")->setValue(122);
    EXPECT_EQ(w.spin("TemperaturaSpin")->value(), 50);
    EXPECT_EQ(w.config().Temperature, 50);
    w.spin("TemperaturaFSpin")->setValue(33);  // whole degrees C: 1, shown back as 34 F
    EXPECT_EQ(w.config().Temperature, 1);
    EXPECT_EQ(w.spin("TemperaturaFSpin")->value(), 34);
    EXPECT_EQ(w.delay(1), 234);
    EXPECT_EQ(w.editor.find<QLabel>("SoundSpeedL")->text(),
              QStringLiteral("Speed of sound 332.05 m/s"));
}

TEST(TDelayFinoForm, RelativeDistancesShiftToZeroAndAutoAlignSetsTheDelays) {
    DelayWindow w;
    const auto counts = [&] {
        return std::array<int, 3>{w.config().output(1).RelativeDistanceSamples,
                                  w.config().output(2).RelativeDistanceSamples,
                                  w.config().output(3).RelativeDistanceSamples};
    };
    using Counts = std::array<int, 3>;
    w.enter("DistOut1Edit", "100");  // 139 samples
    w.enter("DistOut2Edit", "60");   // 83
    w.enter("DistOutSub1Edit", "20");
    EXPECT_EQ(counts(), (Counts{111, 55, 0}));
    EXPECT_EQ(w.edit("DistOut1Edit")->text(), QStringLiteral("100.3"));  // whole samples
    w.step("DistSpinButton2", true);  // not the smallest: the others keep their counts
    EXPECT_EQ(counts(), (Counts{111, 56, 0}));
    w.enter("DistOut2Edit", "20");
    w.key("DistOutSub1Edit", Qt::Key_Up);  // the smallest rises: Out 2 is the new zero
    EXPECT_EQ(counts(), (Counts{111, 0, 1}));

    w.editor.click("AutoAlignB");
    EXPECT_EQ((Counts{w.delay(1), w.delay(2), w.delay(3)}), (Counts{111, 0, 1}));
    EXPECT_EQ(w.editor.find<QFrame>("OUT1Line")->width(), 0);

    // The look-ahead changed by another window shows here and takes part in Auto Align.
    ConfigEdits& edits = w.editor.app().workflow().edits();
    edits.apply({QStringLiteral("Look-ahead"), {link::EditScope::quiet()}},
                [](ProcessorConfig& c) { c.unit(1).lookAheadSamples = 10; });
    EXPECT_EQ(w.editor.find<QLabel>("LookAheadL")->text(),
              QStringLiteral("Dynamics look-ahead: 10 samples (0.21 ms)"));
    w.editor.click("AutoAlignB");
    EXPECT_EQ((Counts{w.delay(1), w.delay(2), w.delay(3)}), (Counts{111, 0, 11}));
    for (const char* line : {"OUT1Line", "OUT2Line", "SUB1Line"}) {
        EXPECT_EQ(w.editor.find<QFrame>(line)->width(), 0) << line;
    }
    w.track(2)->setPosition(trackFromDelay(39));  // Out 2 now 39 samples late: 10 units left
    const QFrame* out2 = w.editor.find<QFrame>("OUT2Line");
    EXPECT_EQ(out2->width(), 10 * 3);
    EXPECT_EQ(w.editor.find<QLabel>("OUT2Image")->x(), out2->x());

    // Counts changed elsewhere (an undo, a load) are shown in the fields again.
    edits.apply({QStringLiteral("Relative distances"), {link::EditScope::quiet()}},
                [](ProcessorConfig& c) {
                    setRelativeDistances(c, {0, 48, 0});
                });
    EXPECT_EQ(w.edit("DistOut1Edit")->text(), QStringLiteral("0.0"));
    EXPECT_EQ(w.edit("DistOut2Edit")->text(), QStringLiteral("34.6"));
    // New shows zero distances and zero delays.
    w.editor.dialogs().answer(Answer::No);
    ASSERT_TRUE(w.editor.app().workflow().newConfiguration());
    EXPECT_EQ(w.edit("DistOut2Edit")->text(), QStringLiteral("0.0"));
    EXPECT_EQ(w.track(2)->position(), 234);
}

TEST(TDelayFinoForm, HeldEntriesAreSaidTheSamplesShowAndSpeakersKeepOffTheirCaptions) {
    DelayWindow w;
    QWidget* form = w.editor.find<QWidget>("TDelayFinoForm");
    const auto said = [&] { return form->findChild<QLabel*>("InfoLabel")->text(); };
    struct Case {
        const char* field;
        const char* typed;
        int samples;
        const char* said;
    };
    for (const Case& c : {
             Case{"Del1L", "200", 234, "200 cm is past the longest delay, 168.8 cm"},
             Case{"msegdel1", "5", 234, "5 ms is past the longest delay, 4.88 ms"},
             Case{"msegdel1", "4.88", 234, ""},  // held to 4.875 ms, which reads the same
             Case{"Del1L", "-4", 0, "-4 cm is below the shortest delay, 0.0 cm"},
             Case{"msegdel1", "2.08", 100, ""},
             Case{"Del1L", "abc", 100, "abc is not a number"},
             Case{"DistOut1Edit", "300", 100, "300 cm is past the longest distance, 168.8 cm"},
         }) {
        SCOPED_TRACE(c.typed);
        w.enter(QString::fromLatin1(c.field), QString::fromLatin1(c.typed));
        EXPECT_EQ(w.delay(1), c.samples);
        EXPECT_EQ(said(), QString::fromLatin1(c.said));
        EXPECT_EQ(w.editor.find<QLabel>("Del1SamplesL")->text(),
                  QStringLiteral("%1 samples").arg(c.samples));
    }
    // The longest delay in centimetres follows the speed of sound.
    w.spin("TemperaturaSpin")->setValue(0);
    w.enter("Del2L", "165");
    EXPECT_EQ(said(), QStringLiteral("165 cm is past the longest delay, 161.6 cm"));
    EXPECT_TRUE(w.edit("Del2L")->isFlashing());

    // A delay far beyond its speaker's distance puts the speaker left of the start, clear of
    // its caption.
    auto* picture = w.editor.find<AlignmentPicture>("AlignmentPicture");
    ASSERT_NE(picture, nullptr);
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        w.track(n)->setPosition(trackFromDelay(234));
        const auto* image = w.editor.find<QLabel>(
            QString::fromLatin1(std::array{"OUT1Image", "OUT2Image", "SUB1Image"}[n - 1]));
        EXPECT_FALSE(image->geometry().intersects(picture->captionRect(n - 1)));
    }
}

}  // namespace
}  // namespace kvn::ui::test
