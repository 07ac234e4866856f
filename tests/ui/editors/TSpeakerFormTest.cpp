// The speaker and rack windows through their real controls: what they store, the spin steps, the
// readouts in the dynamics window, and the command line's figures for the same settings.
#include "DynamicsWindow.h"

#include "cli/Cli.h"
#include "config/PowerCheck.h"
#include "ui/editors/TAmpRackForm.h"
#include "ui/editors/TSpeakerForm.h"
#include "ui/main/ConfigEdits.h"
#include "ui/main/MainWorkflow.h"
#include "widgets/CommitSlider.h"
#include "widgets/IntSpinEdit.h"
#include "widgets/LedMeter.h"

#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSpinBox>

#include <sstream>

namespace kvn::ui::test {
namespace {

QJsonObject cliPower(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    cli::CommandIo io{out, err, in, false, false};
    std::vector<std::string> all = {"design", "power", "--json"};
    all.insert(all.end(), args.begin(), args.end());
    EXPECT_EQ(cli::runCli(all, io), 0) << err.str();
    return QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).object();
}

int singleStep(const Controls& window, const char* spin) {
    return window.get<widgets::IntSpinEdit>(spin)->findChild<QSpinBox*>()->singleStep();
}

TEST(TSpeakerForm, StoresTheUnitsSettingsWithTheirStepsAndTheDynamicsWindowShowsTheCheck) {
    DynamicsWindow w;
    w.form.openFor(1);
    w.click("BoxParams");
    TSpeakerForm& form = w.form.speakerForm();
    const Controls speaker{&form};
    ASSERT_TRUE(form.isVisible());
    EXPECT_TRUE(form.isModal());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Speaker and Amplifier Parameters"));
    EXPECT_TRUE(speaker.get<widgets::LedButton>("Output1B")->isLit());
    EXPECT_EQ(speaker.text("Label5"), QStringLiteral("OUTPUT 1:"));
    EXPECT_EQ(speaker.text("OutputLabel"),
              QString::fromStdString(w.editor.app().config().output(1).Name));
    EXPECT_EQ(speaker.get<QComboBox>("Zload")->currentText(), QStringLiteral("8"));
    EXPECT_EQ(speaker.get<widgets::IntSpinEdit>("PowerAmpMaxSpin")->value(), 600);

    // Box power steps by 100 from 1000 W, by 1 below 25 W; the amplifier power by 25 below 1000.
    auto* box = speaker.get<widgets::IntSpinEdit>("PowerMaxLoadSpin");
    for (const auto& [watts, step] :
         {std::pair(1000, 100), std::pair(20, 1), std::pair(400, 25), std::pair(9000, 100)}) {
        box->setValue(watts);
        EXPECT_EQ(singleStep(speaker, "PowerMaxLoadSpin"), step) << watts;
    }
    EXPECT_EQ(w.unit(1).boxPowerW, 4000.0f);  // held to the spin's range
    speaker.get<widgets::IntSpinEdit>("PowerAmpMaxSpin")->setValue(1200);
    EXPECT_EQ(singleStep(speaker, "PowerAmpMaxSpin"), 100);
    EXPECT_EQ(w.unit(1).ampPowerW, 1200.0f);

    speaker.get<widgets::IntSpinEdit>("AmpGainSpin")->setValue(40);
    EXPECT_EQ(speaker.text("AmpGainDbLabel"), QStringLiteral("32.04 dB"));
    auto* impedance = speaker.get<QComboBox>("Zload");
    impedance->setCurrentIndex(2);
    emit impedance->activated(2);
    EXPECT_EQ(w.unit(1).loadImpedanceOhm, 4.0f);
    const QString balanced = w.text("Label25");

    // Unbalanced: a quarter of the power, half the voltage; the window and the command line agree.
    speaker.click("BalanceadoCheck");
    EXPECT_EQ(w.unit(1).balanced, 0);
    EXPECT_FALSE(speaker.get<widgets::LedButton>("BalanceadoCheck")->isLit());
    const PowerCheck check = checkOutputPower(w.unit(1), 1);
    EXPECT_EQ(w.text("Label25"),
              QString::fromStdString(powerWattsText(check.powerW)) + QStringLiteral(" W"));
    EXPECT_NE(w.text("Label25"), balanced);
    const QJsonObject cli =
        cliPower({"--load", "4", "--box-power", "4000", "--amp-gain", "40", "--unbalanced"});
    EXPECT_DOUBLE_EQ(cli["powerW"].toDouble(), check.powerW);
    EXPECT_DOUBLE_EQ(cli["vmaxVrms"].toDouble(), check.vmaxVrms);
    EXPECT_EQ(cli["meterMax"].toInt(), w.get<widgets::LedMeter>("LEDMeter1")->maximum());
    EXPECT_FALSE(cli["overBoxPower"].toBool());
    EXPECT_TRUE(w.text("WaningLabel2").isEmpty());

    // SUB's button makes unit 2 current in the dynamics window too.
    speaker.click("OutputS1B");
    EXPECT_EQ(speaker.text("Label5"), QStringLiteral("OUT SUB   "));
    EXPECT_EQ(w.text("UnitLabel"), QStringLiteral("Dynamic SUB"));
    EXPECT_TRUE(w.get<widgets::LedButton>("Output2B")->isLit());
    EXPECT_EQ(speaker.get<widgets::IntSpinEdit>("PowerMaxLoadSpin")->value(), 400);
    EXPECT_EQ(w.unit(2), ProcessorConfig().unit(2));  // shown, not loaded
}

TEST(TAmpRackForm, ShowsNamesAndThresholdsAndOpensTheSpeakerWindowOnItsUnit) {
    DynamicsWindow w;
    w.editor.app().workflow().edits().apply({QStringLiteral("names"), {link::EditScope::quiet(1)}},
                                            [](ProcessorConfig& c) {
                                                c.output(1).Name = "Top L";
                                                c.output(3).Name = "Sub";
                                            });
    w.form.openFor(3);
    w.click("Output2B");
    w.get<widgets::CommitSlider>("threstrack")->setPosition(100);  // -55.6 dBFS
    w.click("AmpRackB");
    TAmpRackForm& rack = w.form.rackForm();
    const Controls r{&rack};
    ASSERT_TRUE(rack.isVisible());
    EXPECT_EQ(r.text("Output1NameL"), QStringLiteral("Top L"));
    EXPECT_EQ(r.text("Output6NameL"), QStringLiteral("Sub"));
    EXPECT_EQ(r.get<widgets::LedMeter>("LEDMeter1")->position(), 61);  // 101 - 6 = 95, held
    EXPECT_EQ(r.get<widgets::LedMeter>("LEDMeter5")->position(), 45);  // 101 - 55.6
    EXPECT_EQ(r.get<widgets::LedMeter>("LEDMeter6")->position(), 45);

    w.get<widgets::CommitSlider>("threstrack")->setPosition(90);  // -50.6 dBFS
    EXPECT_EQ(r.get<widgets::LedMeter>("LEDMeter5")->position(), 50);

    w.form.setCurrentUnit(1);
    r.click("Parameters2B");
    EXPECT_TRUE(w.form.speakerForm().isVisible());
    EXPECT_EQ(w.form.speakerForm().unit(), 2);
    EXPECT_EQ(w.form.currentUnit(), 2);
}

}  // namespace
}  // namespace kvn::ui::test
