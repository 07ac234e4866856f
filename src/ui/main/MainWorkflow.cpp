#include "ui/main/MainWorkflow.h"

#include "config/MemoryImage.h"
#include "config/PresetFile.h"
#include "config/ProcessorConfig.h"
#include "link/AccessCode.h"
#include "link/LinkTexts.h"
#include "ui/main/ConfigText.h"
#include "ui/main/EditorRegistry.h"
#include "ui/main/LoadingProgress.h"
#include "ui/main/WorkflowTexts.h"

#include <QApplication>
#include <QFileInfo>

#include <algorithm>
#include <array>

namespace kvn::ui {

namespace {

struct Stage {
    int percent;
    const char* text;
};

// The loading stages of New, in the order the editors' default steps run.
constexpr std::array<Stage, 10> kNewStages{{
    {10, "Gains..."},
    {20, "Crossover..."},
    {30, "Equalization..."},
    {40, "Dynamics..."},
    {50, "Delays..."},
    {60, "Loudness..."},
    {70, "System Info..."},
    {80, "Names..."},
    {90, "Import Data..."},
    {100, "DONE..."},
}};

void showMessages(UserDialogs& dialogs, const std::vector<UserMessage>& messages) {
    for (const UserMessage& message : messages) {
        dialogs.message(dialogKind(message.kind), QString::fromStdString(message.text),
                        MessageButtons::Ok);
    }
}

// Forwards the loaders' stages to the loading window.
ProgressCallback stagesTo(LoadingProgress& loading) {
    return [&loading](const ProgressStage& stage) {
        const QString step =
            QString::fromUtf8(stage.step.data(), static_cast<qsizetype>(stage.step.size()));
        if (stage.percent == kProgressBarHidden) {
            loading.beginDecoding();
        } else {
            loading.setStage(stage.percent, step);
        }
    };
}

}  // namespace

MainWorkflow::MainWorkflow(ProcessorConfig& config, UserDialogs& dialogs, EditorRegistry& editors,
                           LoadingProgress& loading, QObject* parent)
    : QObject(parent),
      config_(config),
      edits_(config),
      dialogs_(dialogs),
      editors_(editors),
      loading_(loading),
      caption_(QString::fromLatin1(text::kMainCaption)) {
    connect(&edits_, &ConfigEdits::changed, this, &MainWorkflow::showChange);
    connect(&edits_, &ConfigEdits::modifiedChanged, this,
            [this] { emit captionChanged(windowCaption()); });
}

bool MainWorkflow::offerToSave() {
    // Nothing would be lost when the configuration has no changes since it was opened, saved,
    // read or made new: no question then.
    if (!edits_.modified()) {
        return true;
    }
    const Answer answer =
        dialogs_.message(MessageKind::Warning, QString::fromLatin1(text::kSaveBeforeNew),
                         MessageButtons::YesNoCancel);
    // A configuration the user asked to keep is not thrown away when it could not be saved.
    return answer == Answer::No || (answer == Answer::Yes && savePreset());
}

bool MainWorkflow::newConfiguration() {
    if (!offerToSave()) {
        newCancelled_ = true;
        return false;
    }
    return newWithoutQuestion();
}

bool MainWorkflow::newWithoutQuestion() {
    newCancelled_ = false;
    return runNewStages();
}

bool MainWorkflow::runNewStages() {
    loading_.beginStages(QString::fromLatin1(text::kInitializing) + openDialogFileName_);
    editors_.closeEditors();
    setRealTimeMode(false);
    // The new configuration belongs to no file: the caption must not name the last one.
    currentFile_.clear();
    setCaption(QString::fromLatin1(text::kMainCaption));
    for (const Stage& stage : kNewStages) {
        loading_.setStage(stage.percent, QString::fromLatin1(stage.text));
        if (stage.percent == kNewStages.front().percent) {
            config_.resetToNew();
        }
    }
    configurationReplaced();
    loading_.closeWindow();
    return true;
}

bool MainWorkflow::openPreset() {
    // Cancel on New's question keeps the present configuration, so no file replaces it either.
    if (!newConfiguration()) {
        return false;
    }
    const std::optional<QString> path = dialogs_.openFile(
        {QString::fromLatin1(text::kOpenTitle), QString::fromLatin1(text::kPresetFilter), {}});
    return openChosenFile(path.value_or(QString()));
}

bool MainWorkflow::openRecent(const QString& path) {
    return newConfiguration() && openChosenFile(path);
}

bool MainWorkflow::openChosenFile(const QString& path) {
    bool loaded = false;
    if (!path.isEmpty()) {
        openDialogFileName_ = path;
        editors_.closeEditors();
        setRealTimeMode(false);
        loaded = loadPresetFile(path);
        if (!loaded) {
            openDialogFileName_.clear();
        }
    }
    loading_.closeWindow();
    return loaded;
}

bool MainWorkflow::saveToCurrentFile() {
    return currentFile_.isEmpty() ? savePreset() : writePresetFile(currentFile_);
}

bool MainWorkflow::savePreset() {
    const std::optional<QString> path = dialogs_.saveFile(
        {QString::fromLatin1(text::kSaveTitle), QString::fromLatin1(text::kPresetFilter),
         QString::fromLatin1(text::kSaveInitialName)});
    return path && writePresetFile(*path);
}

void MainWorkflow::setCaption(const QString& caption) {
    if (caption_ != caption) {
        caption_ = caption;
        emit captionChanged(windowCaption());
    }
}

QString MainWorkflow::windowCaption() const {
    return edits_.modified() ? caption_ + QStringLiteral(" *") : caption_;
}

void MainWorkflow::configurationReplaced() {
    editors_.reloadAll();
    edits_.configurationReplaced();
}

void MainWorkflow::showChange(const ConfigChange& change) {
    if (change.whole) {
        emit configurationReloaded();
        emit systemNameChanged(fromConfigText(config_.SystemName));
        for (int output = 1; output <= kOutputCount; ++output) {
            emit routeChanged(output, config_.output(output).Route);
        }
        ActualizaMainMute();
        return;
    }
    for (const link::EditScope& scope : change.scopes) {
        if (scope.part == link::EditPart::Route) {
            emit routeChanged(scope.index, config_.output(scope.index).Route);
        } else if (scope.part == link::EditPart::Mute) {
            ActualizaMainMute();
        }
    }
}

void MainWorkflow::setSystemName(const QString& name) {
    const std::string stored = toConfigText(name, kSystemNameMax);
    if (stored == config_.SystemName) {
        return;
    }
    ConfigEdits::Edit edit{QStringLiteral("Preset name"), {link::EditScope::quiet()}};
    edit.mergeable = true;
    edits_.apply(edit, [&stored](ProcessorConfig& config) { config.SystemName = stored; });
    emit systemNameChanged(fromConfigText(stored));
}

void MainWorkflow::setInputName(int input, const QString& name) {
    if (input != 1 && input != 2) {
        return;
    }
    const std::string stored = toConfigText(name, kChannelNameMax);
    const auto index = static_cast<std::size_t>(input - 1);
    if (stored == config_.InputName[index]) {
        return;
    }
    ConfigEdits::Edit edit{QStringLiteral("Input %1 name").arg(input == 1 ? 'A' : 'B'),
                           {link::EditScope::quiet()}};
    edit.mergeable = true;
    edits_.apply(edit, [&](ProcessorConfig& config) { config.InputName[index] = stored; });
}

void MainWorkflow::setOutputName(int output, const QString& name) {
    if (output < 1 || output > kOutputCount) {
        return;
    }
    const std::string stored = toConfigText(name, kChannelNameMax);
    if (stored == config_.output(output).Name) {
        return;
    }
    ConfigEdits::Edit edit{QStringLiteral("%1 name").arg(outputTitle(output)),
                           {link::EditScope::quiet(output)}};
    edit.mergeable = true;
    edits_.apply(edit, [&](ProcessorConfig& config) { config.output(output).Name = stored; });
}

void MainWorkflow::advanceRoute(int output) {
    if (output < 1 || output > kOutputCount) {
        return;
    }
    edits_.apply(
        {QStringLiteral("%1 route").arg(outputTitle(output)), {link::EditScope::route(output)}},
        [output](ProcessorConfig& config) { config.output(output).advanceRoute(); });
}

void MainWorkflow::ActualizaMainMute() {
    emit muteMarksChanged();
}

void MainWorkflow::setMemory(int memory) {
    const int held = std::clamp(memory, memoryMinimum_, kMemoryMax);
    if (held != memory_) {
        memory_ = held;
        emit memoryChanged(memory_);
    }
}

void MainWorkflow::applyAccessCode(const QString& code) {
    const link::AccessCodeResult result = link::applyAccessCode(code.toStdString(), memory_);
    memoryMinimum_ = result.range.minimum;
    emit memoryRangeChanged(memoryMinimum_, result.range.maximum);
    setMemory(result.memory);
    if (result.unprotected) {
        dialogs_.inform(QString::fromUtf8(link::text::kUnprotected));
    }
}

void MainWorkflow::programLabelClicked() {
    if (++programClicks_ < kServiceClicks) {
        return;
    }
    programClicks_ = 0;
    if (!serviceVisible_) {
        serviceVisible_ = true;
        emit serviceVisibleChanged(true);
    }
}

void MainWorkflow::mainWindowActivated() {
    programClicks_ = 0;
}

void MainWorkflow::setRealTimeMode(bool on) {
    if (realTimeMode_ != on) {
        realTimeMode_ = on;
        editors_.showRealTime(on);
        emit realTimeModeChanged(on);
    }
}

bool MainWorkflow::confirmClose() {
    switch (dialogs_.message(MessageKind::Warning, QString::fromLatin1(text::kSaveBeforeClosing),
                             MessageButtons::YesNoCancel)) {
        case Answer::Yes:
            // Ending without the save the user asked for would lose the configuration.
            return savePreset();
        case Answer::No:
            return true;
        default:
            return false;
    }
}

void MainWorkflow::captionFromFile(const QString& path) {
    setCaption(QString::fromLatin1(text::kFileCaptionPrefix) + QFileInfo(path).fileName());
}

bool MainWorkflow::loadPresetFile(const QString& path) {
    loading_.beginStages(QStringLiteral("Opening ") + path);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const LoadResult result = OpenPresetFile(path.toStdString(), config_, stagesTo(loading_));
    QApplication::restoreOverrideCursor();
    loading_.closeWindow();
    showMessages(dialogs_, result.messages);
    // Even a refused file has left the configuration as New made it.
    configurationReplaced();
    if (result.loaded) {
        currentFile_ = path;
        captionFromFile(path);
        emit presetFileUsed(path);
    }
    return result.loaded;
}

bool MainWorkflow::writePresetFile(const QString& path) {
    const SaveResult result = SavePresetFile(path.toStdString(), config_);
    showMessages(dialogs_, result.messages);
    if (result.success) {
        edits_.markSaved();
        currentFile_ = path;
        captionFromFile(path);
        emit presetFileUsed(path);
    }
    return result.success;
}

std::vector<std::uint8_t> MainWorkflow::buildImage() const {
    const ImageBuffer image = BuildImage(config_);
    return {image.begin(), image.end()};
}

bool MainWorkflow::loadImage(const std::vector<std::uint8_t>& image) {
    const LoadResult result = LoadImage(image, config_, stagesTo(loading_));
    showMessages(dialogs_, result.messages);
    if (result.loaded) {
        // The configuration now comes from the processor, not from a file.
        currentFile_.clear();
        configurationReplaced();
    }
    return result.loaded;
}

}  // namespace kvn::ui
