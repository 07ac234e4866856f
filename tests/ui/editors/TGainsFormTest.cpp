#include "EditorTestSupport.h"

#include "config/CoefficientAddresses.h"
#include "config/Encodings.h"
#include "ui/editors/EditorWindows.h"
#include "ui/main/ConfigEdits.h"
#include "ui/main/MainWorkflow.h"
#include "widgets/CommitSlider.h"
#include "widgets/LedButton.h"
#include "widgets/RealEdit.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace kvn::ui::test {
namespace {

using Matrix = std::array<double, 4>;

struct GainsWindow {
    EditorHarness editor{installEditorWindows};

    OutputChannel& out(int n) { return editor.app().config().output(n); }
    widgets::CommitSlider* track(int n) {
        return editor.find<widgets::CommitSlider>(QStringLiteral("Output%1Track").arg(n));
    }
    widgets::RealEdit* level(int n) {
        return editor.find<widgets::RealEdit>(QStringLiteral("Output%1dBL").arg(n));
    }
    bool lit(const QString& name) { return editor.find<widgets::LedButton>(name)->isLit(); }
    void enter(int n, const QString& text) {
        editor.type(QStringLiteral("Output%1dBL").arg(n), text);
        QTest::keyClick(level(n), Qt::Key_Return);
    }
};

TEST(TGainsForm, TrackFieldPolarityAndMuteGiveTheSignedCoefficient) {
    GainsWindow w;
    w.editor.click("Gain1Btn");
    ASSERT_TRUE(w.editor.find<QWidget>("TGainsForm")->isVisible());
    EXPECT_EQ(w.editor.find<QLabel>("Output3NameL")->text(), QStringLiteral("SUB"));
    w.editor.app().workflow().setOutputName(3, QStringLiteral("Bass"));
    EXPECT_EQ(w.editor.find<QLabel>("Output3NameL")->text(), QStringLiteral("Bass"));

    struct Case {
        int position;
        const char* shown;
        double gain;
    };
    for (const Case& c : {Case{61, "0.0", 1.0}, Case{361, "-30.0", 0.0316228},
                          Case{0, "6.0", 1.9952623}, Case{1, "6.0", 1.9952623}}) {
        w.track(1)->setPosition(c.position);
        EXPECT_EQ(w.level(1)->text(), QString::fromLatin1(c.shown)) << c.position;
        EXPECT_NEAR(w.out(1).Gain, c.gain, 1e-7) << c.position;
    }
    w.track(1)->setPosition(61);
    EXPECT_EQ(w.out(1).Gain, 1.0);

    w.enter(1, "9");  // held to +6 dB
    EXPECT_EQ(w.track(1)->position(), 1);
    EXPECT_EQ(w.level(1)->text(), QStringLiteral("6.0"));
    w.enter(1, "-6");
    EXPECT_EQ(w.track(1)->position(), 121);
    QTest::keyClick(w.level(1), Qt::Key_Up);
    EXPECT_EQ(w.track(1)->position(), 120);
    QTest::keyClick(w.level(1), Qt::Key_Down);
    EXPECT_EQ(w.level(1)->text(), QStringLiteral("-6.0"));

    w.editor.click("PolOutput1");
    EXPECT_TRUE(w.lit("PolOutput1"));
    EXPECT_NEAR(w.out(1).levelCoefficient(), -0.5011872, 1e-7);
    w.editor.click("MuteOutput1");
    EXPECT_TRUE(w.lit("MuteOutput1"));
    EXPECT_EQ(w.out(1).levelCoefficient(), 0.0);
    EXPECT_EQ(w.track(1)->position(), 121);
    EXPECT_EQ(w.level(1)->text(), QStringLiteral("-6.0"));
    EXPECT_FALSE(w.editor.find<QLabel>("MuteLabel1")->isHidden());
    EXPECT_FALSE(w.editor.find<QLabel>("x1")->isHidden());
    EXPECT_FALSE(w.editor.find<QLineEdit>("Out1Edit")->isEnabled());

    // An undo shows the state before the mute again, here and on the main window.
    w.editor.app().workflow().edits().undo();
    EXPECT_FALSE(w.lit("MuteOutput1"));
    EXPECT_TRUE(w.lit("PolOutput1"));
    EXPECT_TRUE(w.editor.find<QLabel>("MuteLabel1")->isHidden());
    EXPECT_TRUE(w.editor.find<QLineEdit>("Out1Edit")->isEnabled());
    w.editor.click("MuteOutput1");  // the LED follows the undo, so this mutes again
    EXPECT_TRUE(w.out(1).Muted);
}

TEST(TGainsForm, MutingTheMainOutputsChoosesTheInputMatrix) {
    GainsWindow w;
    const ProcessorConfig& config = w.editor.app().config();
    struct Click {
        const char* button;
        Matrix matrix;
    };
    for (const Click& c : {Click{"MuteOutput3", {1, 0, 0, 1}}, Click{"MuteOutput2", {1, 0, 1, 0}},
                           Click{"MuteOutput1", {1, 0, 0, 1}}, Click{"MuteOutput2", {0, 1, 0, 1}},
                           Click{"MuteOutput1", {1, 0, 0, 1}}}) {
        w.editor.click(QString::fromLatin1(c.button));
        EXPECT_EQ(config.InputMatrix, c.matrix) << c.button;
    }
    EXPECT_TRUE(config.output(3).Muted);
    EXPECT_FALSE(w.editor.find<QLabel>("MuteLabel3")->isHidden());
}

TEST(TGainsForm, InRealTimeDelayLevelAndMuteWordsReachTheProcessor) {
    GainsWindow w;
    enterRealTime(w.editor);
    const auto word = [&](int address) { return w.editor.device().bankWord(1, address); };

    w.editor.find<widgets::CommitSlider>("Del2track")->setPosition(134);  // 100 samples
    w.track(1)->setPosition(121);                                         // -6 dB
    w.editor.click("PolOutput1");
    w.editor.click("MuteOutput2");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return word(addr::delay(2)) == encodeIntegerWord(101); }, 5000));
    // The mute's matrix words come last, in order: the whole matrix is awaited.
    const auto sent = [&] {
        Matrix m{};
        for (int k = 0; k < 4; ++k) {
            m[static_cast<std::size_t>(k)] = decodeFixedWord(word(addr::inputMatrix(k)));
        }
        return m;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return sent() == Matrix{1, 0, 1, 0}; }, 5000));
    EXPECT_NEAR(decodeFixedWord(word(addr::outputLevel(1))), -0.5011872, 1e-6);
    EXPECT_EQ(decodeFixedWord(word(addr::outputLevel(2))), 0.0);
}

}  // namespace
}  // namespace kvn::ui::test
