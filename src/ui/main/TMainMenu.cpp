#include "ui/main/TMainMenu.h"

#include "config/ProcessorConfig.h"
#include "ui/main/Artwork.h"
#include "ui/main/ClickLabel.h"
#include "ui/main/ConfigText.h"
#include "ui/main/EditorRegistry.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/SignalFlowPanel.h"
#include "ui/main/WorkflowTexts.h"
#include "widgets/PanelBox.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace kvn::ui {

namespace {

struct RowEditor {
    EditorKind kind;
    const char* prefix;  // control names: prefix + digit + "Btn"
    const char* caption;
    const char* what;  // for the tooltips
};

// The editor buttons of an output row, left to right. The SUB row's gain, delay and dynamics
// buttons carry the digit 5, as they always have.
constexpr std::array<RowEditor, 5> kRowEditors{{
    {EditorKind::Equalizer, "Peq", "PEQ", "parametric equalizer"},
    {EditorKind::Crossover, "Xover", "X-Over", "crossover"},
    {EditorKind::Gains, "Gain", "Gain", "output gain, mute and polarity"},
    {EditorKind::Delay, "Delay", "Delay", "delay and alignment"},
    {EditorKind::Dynamics, "Dynamic", "Dynamics", "dynamics"},
}};

constexpr std::array<const char*, 3> kOutputCaptions{"OUTPUT 1", "OUTPUT 2", "SUB OUT"};
constexpr std::array<const char*, 3> kOutputEditNames{"Out1Edit", "Out2Edit", "OutSub1Edit"};
constexpr std::array<const char*, 3> kRouteTips{"Route: input A", "Route: inputs A + B",
                                                "Route: input B"};

QString controlName(const RowEditor& editor, int output) {
    const bool five =
        output == 3 && editor.kind != EditorKind::Equalizer && editor.kind != EditorKind::Crossover;
    return QString::fromLatin1(editor.prefix) + QString::number(five ? 5 : output) +
           QStringLiteral("Btn");
}

QString unavailableTip(const char* what) {
    return QStringLiteral("The %1 window is not available in this version yet.")
        .arg(QString::fromLatin1(what));
}

QLabel* boldLabel(const QString& text, QWidget* parent, qreal scale = 1.0) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    if (scale != 1.0) {
        font.setPointSizeF(font.pointSizeF() * scale);
    }
    label->setFont(font);
    return label;
}

QLabel* redMark(const QString& name, const QString& text, QWidget* parent) {
    auto* label = boldLabel(text, parent);
    label->setObjectName(name);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0xd3, 0x2f, 0x2f));
    label->setPalette(palette);
    label->setAlignment(Qt::AlignCenter);
    // Keep the space when hidden so that the row does not jump when an output is muted.
    QSizePolicy policy = label->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    label->setSizePolicy(policy);
    label->hide();
    return label;
}

QFrame* block(QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setAutoFillBackground(true);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Window).lighter(104));
    frame->setPalette(palette);
    return frame;
}

}  // namespace

TMainMenu::TMainMenu(MainWorkflow& workflow, EditorRegistry& editors, QWidget* parent)
    : QMainWindow(parent), workflow_(workflow), editors_(editors), placement_(*this) {
    setObjectName(QStringLiteral("TMainMenu"));
    setWindowTitle(workflow_.windowCaption());
    setWindowIcon(art::applicationIcon());

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(12, 10, 12, 6);
    layout->setSpacing(10);
    layout->addWidget(buildHeader());
    layout->addWidget(buildCommands());
    layout->addWidget(buildSignalFlow(), 1);
    layout->addWidget(buildFooter());
    setCentralWidget(central);

    const std::array<QString, 4> menuTitles{QStringLiteral("&File"), QStringLiteral("&Edit"),
                                            QStringLiteral("&View"), QStringLiteral("&Help")};
    for (std::size_t i = 0; i < menus_.size(); ++i) {
        menus_[i] = menuBar()->addMenu(menuTitles[i]);
    }

    infoLabel_ = new QLabel(QString::fromLatin1(text::kNotConnected), this);
    infoLabel_->setObjectName(QStringLiteral("InfoLabel"));
    statusBar()->setObjectName(QStringLiteral("StatusPanel"));
    statusBar()->addWidget(infoLabel_, 1);

    connect(&workflow_, &MainWorkflow::captionChanged, this, &QWidget::setWindowTitle);
    connect(&workflow_, &MainWorkflow::systemNameChanged, this, [this](const QString& name) {
        if (systemName_->text() != name) {
            systemName_->setText(name);
        }
    });
    connect(&workflow_, &MainWorkflow::configurationReloaded, this, &TMainMenu::reloadNames);
    connect(&workflow_, &MainWorkflow::routeChanged, this, &TMainMenu::showRoute);
    connect(&workflow_, &MainWorkflow::muteMarksChanged, this, &TMainMenu::ActualizaMainMute);
    connect(&workflow_, &MainWorkflow::memoryChanged, programSpin_, &QSpinBox::setValue);
    connect(&workflow_, &MainWorkflow::memoryRangeChanged, this, [this](int minimum, int maximum) {
        programSpin_->setRange(minimum, maximum);
        programSpin_->setValue(workflow_.memory());
    });
    connect(&workflow_, &MainWorkflow::serviceVisibleChanged, copyAllButton_, &QWidget::setVisible);
    connect(&workflow_, &MainWorkflow::realTimeModeChanged, this,
            [this](bool on) { realTimeButton_->setIcon(art::realTimePicture(on)); });
    connect(&editors_, &EditorRegistry::changed, this, &TMainMenu::updateEditorButtons);

    reloadNames();
    for (int output = 1; output <= kOutputCount; ++output) {
        showRoute(output, workflow_.config().output(output).Route);
    }
    ActualizaMainMute();
    updateEditorButtons();
    setTransferControlsEnabled(false);
}

TMainMenu::~TMainMenu() {
    if (isVisible()) {
        placement_.save();
    }
}

QMenu* TMainMenu::menu(Menu which) const {
    return menus_[static_cast<std::size_t>(which)];
}

QToolButton* TMainMenu::commandButton(const QString& name, const QString& text, art::Glyph glyph) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(text);
    button->setIcon(art::glyph(glyph));
    button->setIconSize(QSize(20, 20));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

QWidget* TMainMenu::buildHeader() {
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);

    auto* logo = new ClickLabel({}, header);
    logo->setObjectName(QStringLiteral("LOGOImage"));
    const QSize logoSize(206, 58);
    logo->setPixmap(art::logo(logoSize, devicePixelRatioF()));
    logo->setFixedSize(logoSize);
    logo->setCursor(Qt::PointingHandCursor);
    connect(logo, &ClickLabel::clicked, this, &TMainMenu::codeBoxRequested);
    row->addWidget(logo);

    auto* presetLabel = boldLabel(QStringLiteral("PRESET"), header);
    systemName_ = new QLineEdit(header);
    systemName_->setObjectName(QStringLiteral("SystemName"));
    systemName_->setMaxLength(static_cast<int>(kSystemNameMax));
    systemName_->setMinimumWidth(systemName_->fontMetrics().averageCharWidth() * 42);
    QFont nameFont = systemName_->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.15);
    systemName_->setFont(nameFont);
    connect(systemName_, &QLineEdit::textEdited, &workflow_, &MainWorkflow::setSystemName);
    row->addSpacing(8);
    row->addWidget(presetLabel);
    row->addWidget(systemName_, 1);

    return header;
}

QWidget* TMainMenu::buildCommands() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    using art::Glyph;

    auto* file = new widgets::PanelBox(QStringLiteral("File"), bar);
    auto* fileGrid = new QVBoxLayout(file);
    auto* newButton = commandButton("NewButton", "New File", Glyph::New);
    auto* openButton = commandButton("OpenButton", "Open File", Glyph::Open);
    auto* saveButton = commandButton("SaveButton", "Save to File", Glyph::Save);
    for (QToolButton* button : {newButton, openButton, saveButton}) {
        fileGrid->addWidget(button);
    }
    connect(newButton, &QToolButton::clicked, &workflow_, &MainWorkflow::newConfiguration);
    connect(openButton, &QToolButton::clicked, &workflow_, &MainWorkflow::openPreset);
    connect(saveButton, &QToolButton::clicked, &workflow_, &MainWorkflow::savePreset);
    row->addWidget(file, 2);

    auto* device = new widgets::PanelBox(QStringLiteral("Processor"), bar);
    auto* deviceGrid = new QGridLayout(device);
    auto* connectButton = commandButton("ConnectButton", "Connect", Glyph::Connect);
    auto* readButton = commandButton("ReadButton", "Read From Hardware", Glyph::Read);
    auto* writeButton = commandButton("WriteButton", "Write to Memory", Glyph::Write);
    auto* changeButton = commandButton("ChangeButton", "Change Hardware Memory", Glyph::Change);
    auto* programLabel = new ClickLabel(QStringLiteral("PROGRAM"), device);
    programLabel->setObjectName(QStringLiteral("Label9"));
    QFont bold = programLabel->font();
    bold.setBold(true);
    programLabel->setFont(bold);
    programLabel->setAlignment(Qt::AlignCenter);
    programSpin_ = new QSpinBox(device);
    programSpin_->setObjectName(QStringLiteral("NProgramSpin"));
    programSpin_->setToolTip(QStringLiteral("Select Memory to Load / Store"));
    programSpin_->setRange(workflow_.memoryMinimum(), MainWorkflow::kMemoryMax);
    programSpin_->setValue(workflow_.memory());
    programSpin_->setAlignment(Qt::AlignCenter);
    QFont spinFont = programSpin_->font();
    spinFont.setBold(true);
    spinFont.setPointSizeF(spinFont.pointSizeF() * 1.4);
    programSpin_->setFont(spinFont);
    programSpin_->setMinimumWidth(programSpin_->fontMetrics().averageCharWidth() * 6);
    realTimeButton_ = new QToolButton(device);
    realTimeButton_->setObjectName(QStringLiteral("RealTimeB"));
    realTimeButton_->setText(QStringLiteral("Real Time"));
    realTimeButton_->setToolTip(QStringLiteral("Real Time"));
    realTimeButton_->setIcon(art::realTimePicture(false));
    realTimeButton_->setIconSize(QSize(56, 28));
    realTimeButton_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    realTimeButton_->setAutoRaise(true);
    connect(realTimeButton_, &QToolButton::clicked, this, &TMainMenu::realTimeRequested);
    deviceGrid->addWidget(realTimeButton_, 1, 0, 2, 1, Qt::AlignCenter);
    deviceGrid->addWidget(connectButton, 0, 0);
    deviceGrid->addWidget(readButton, 0, 1);
    deviceGrid->addWidget(writeButton, 1, 1);
    deviceGrid->addWidget(changeButton, 2, 1);
    deviceGrid->addWidget(programLabel, 1, 2);
    deviceGrid->addWidget(programSpin_, 2, 2);
    connect(connectButton, &QToolButton::clicked, this, &TMainMenu::connectRequested);
    connect(readButton, &QToolButton::clicked, this, &TMainMenu::readRequested);
    connect(writeButton, &QToolButton::clicked, this, &TMainMenu::writeRequested);
    connect(changeButton, &QToolButton::clicked, this, &TMainMenu::changeRequested);
    connect(programLabel, &ClickLabel::clicked, &workflow_, &MainWorkflow::programLabelClicked);
    connect(programSpin_, &QSpinBox::valueChanged, &workflow_, &MainWorkflow::setMemory);
    row->addWidget(device, 4);

    auto* hardware = new widgets::PanelBox(QStringLiteral("Hardware"), bar);
    auto* hardwareGrid = new QGridLayout(hardware);
    auto* blockButton = commandButton("BlockB", "Block Hardware Keyboard", Glyph::Lock);
    auto* unblockButton = commandButton("UnblockB", "Unblock Hardware Keyboard", Glyph::Unlock);
    auto* passwordButton = commandButton("PasswordB", "Set Password", Glyph::Password);
    auto* updateButton = commandButton("UpdateDSP", "Update DSP Program", Glyph::Firmware);
    hardwareGrid->addWidget(blockButton, 0, 0);
    hardwareGrid->addWidget(unblockButton, 1, 0);
    hardwareGrid->addWidget(passwordButton, 0, 1);
    hardwareGrid->addWidget(updateButton, 1, 1);
    hardwareGrid->setRowStretch(2, 1);
    connect(blockButton, &QToolButton::clicked, this, [this] { emit keyboardLockRequested(true); });
    connect(unblockButton, &QToolButton::clicked, this,
            [this] { emit keyboardLockRequested(false); });
    connect(passwordButton, &QToolButton::clicked, this, &TMainMenu::passwordRequested);
    connect(updateButton, &QToolButton::clicked, this, &TMainMenu::firmwareRequested);
    row->addWidget(hardware, 4);

    transferControls_ = {readButton,  writeButton,    changeButton, unblockButton,
                         blockButton, passwordButton, programSpin_, updateButton};
    return bar;
}

QWidget* TMainMenu::inputBlock(int input) {
    QFrame* frame = block(flow_);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(10, 6, 10, 8);
    layout->addWidget(
        boldLabel(input == 1 ? QStringLiteral("INPUT A") : QStringLiteral("INPUT B"), frame));
    auto* edit = new QLineEdit(frame);
    edit->setObjectName(input == 1 ? QStringLiteral("In1Edit") : QStringLiteral("In2Edit"));
    edit->setMaxLength(static_cast<int>(kChannelNameMax));
    edit->setFixedWidth(edit->fontMetrics().averageCharWidth() * 11);
    connect(edit, &QLineEdit::textEdited, this,
            [this, input](const QString& text) { workflow_.setInputName(input, text); });
    layout->addWidget(edit);
    inputEdits_[static_cast<std::size_t>(input - 1)] = edit;
    return frame;
}

QWidget* TMainMenu::outputBlock(int output) {
    const auto index = static_cast<std::size_t>(output - 1);
    QFrame* frame = block(flow_);
    auto* layout = new QGridLayout(frame);
    layout->setContentsMargins(10, 6, 10, 8);
    layout->addWidget(boldLabel(QString::fromLatin1(kOutputCaptions[index]), frame), 0, 0);
    muteLabels_[index] =
        redMark(QStringLiteral("MuteLabel%1").arg(output), QStringLiteral("MUTE"), frame);
    layout->addWidget(muteLabels_[index], 0, 1, Qt::AlignRight);
    auto* edit = new QLineEdit(frame);
    edit->setObjectName(QString::fromLatin1(kOutputEditNames[index]));
    edit->setMaxLength(static_cast<int>(kChannelNameMax));
    edit->setFixedWidth(edit->fontMetrics().averageCharWidth() * 11);
    connect(edit, &QLineEdit::textEdited, this,
            [this, output](const QString& text) { workflow_.setOutputName(output, text); });
    layout->addWidget(edit, 1, 0, 1, 2);
    outputEdits_[index] = edit;
    return frame;
}

QWidget* TMainMenu::editorRow(int output) {
    auto* row = new QWidget(flow_);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    for (std::size_t i = 0; i < kRowEditors.size(); ++i) {
        const RowEditor& editor = kRowEditors[i];
        auto* button = new QPushButton(QString::fromLatin1(editor.caption), row);
        button->setObjectName(controlName(editor, output));
        button->setMinimumWidth(button->fontMetrics().averageCharWidth() * 11);
        button->setMinimumHeight(button->sizeHint().height() + 8);
        connect(button, &QPushButton::clicked, this,
                [this, kind = editor.kind, output] { editors_.open(kind, output); });
        layout->addWidget(button);
        editorButtons_[static_cast<std::size_t>(output - 1)][i] = button;
    }
    return row;
}

QWidget* TMainMenu::buildSignalFlow() {
    flow_ = new SignalFlowPanel(this);
    auto* grid = new QGridLayout(flow_);
    grid->setContentsMargins(16, 10, 16, 14);
    grid->setHorizontalSpacing(0);
    grid->setVerticalSpacing(14);

    const QStringList headings{"INPUTS", "", "ROUTE", "", "OUTPUTS", "", "EDITORS"};
    for (int column = 0; column < headings.size(); ++column) {
        if (!headings[column].isEmpty()) {
            QLabel* heading = boldLabel(headings[column], flow_, 0.85);
            heading->setForegroundRole(QPalette::PlaceholderText);
            grid->addWidget(heading, 0, column, Qt::AlignHCenter);
        }
    }

    auto* inputs = new QVBoxLayout;
    inputs->addStretch(1);
    QWidget* inputA = inputBlock(1);
    inputs->addWidget(inputA);
    inputs->addStretch(2);
    QWidget* inputB = inputBlock(2);
    inputs->addWidget(inputB);
    inputs->addStretch(1);
    grid->addLayout(inputs, 1, 0, 3, 1);
    grid->setColumnMinimumWidth(1, 70);
    grid->setColumnMinimumWidth(3, 56);
    grid->setColumnMinimumWidth(5, 18);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    std::array<QWidget*, 3> outputs{};
    for (int output = 1; output <= kOutputCount; ++output) {
        const auto index = static_cast<std::size_t>(output - 1);
        auto* route = new QToolButton(flow_);
        route->setObjectName(QStringLiteral("Route%1B").arg(output));
        route->setProperty("Tag", output);
        route->setIconSize(QSize(64, 40));
        route->setMinimumSize(78, 50);
        connect(route, &QToolButton::clicked, this,
                [this, output] { workflow_.advanceRoute(output); });
        routeButtons_[index] = route;
        grid->addWidget(route, output, 2, Qt::AlignCenter);

        muteCrosses_[index] =
            redMark(QStringLiteral("x%1").arg(output), QStringLiteral("x"), flow_);
        QFont crossFont = muteCrosses_[index]->font();
        crossFont.setPointSizeF(crossFont.pointSizeF() * 1.6);
        muteCrosses_[index]->setFont(crossFont);
        grid->addWidget(muteCrosses_[index], output, 3, Qt::AlignCenter);

        outputs[index] = outputBlock(output);
        grid->addWidget(outputs[index], output, 4);
        grid->addWidget(editorRow(output), output, 6, Qt::AlignVCenter);
    }
    flow_->setBlocks({inputA, inputB}, {routeButtons_[0], routeButtons_[1], routeButtons_[2]},
                     outputs);
    return flow_;
}

QWidget* TMainMenu::buildFooter() {
    auto* footer = new QWidget(this);
    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(0, 0, 0, 0);
    copyButton_ = new QPushButton(art::glyph(art::Glyph::Copy), QStringLiteral("Copy"), footer);
    copyButton_->setObjectName(QStringLiteral("CopyOutsB"));
    auto* systemInfo =
        new QPushButton(art::glyph(art::Glyph::Info), QStringLiteral("System Info"), footer);
    systemInfo->setObjectName(QStringLiteral("SystemInfoB"));
    totalResponseButton_ = new QPushButton(art::glyph(art::Glyph::Response),
                                           QStringLiteral("Total Freq Response"), footer);
    totalResponseButton_->setObjectName(QStringLiteral("FinalResponseB"));
    copyAllButton_ = new QPushButton(QStringLiteral("Copy to all memories"), footer);
    copyAllButton_->setObjectName(QStringLiteral("Button1"));
    copyAllButton_->setToolTip(QStringLiteral("Writes the present configuration to every memory"));
    copyAllButton_->setVisible(workflow_.serviceVisible());
    for (QPushButton* button : {copyButton_, systemInfo, totalResponseButton_}) {
        button->setIconSize(QSize(20, 20));
        row->addWidget(button);
    }
    row->addStretch(1);
    row->addWidget(copyAllButton_);
    connect(copyButton_, &QPushButton::clicked, this,
            [this] { editors_.open(EditorKind::Copy, 0); });
    connect(systemInfo, &QPushButton::clicked, this, &TMainMenu::systemInfoRequested);
    connect(totalResponseButton_, &QPushButton::clicked, this,
            [this] { editors_.open(EditorKind::TotalResponse, 0); });
    connect(copyAllButton_, &QPushButton::clicked, this, &TMainMenu::copyToAllRequested);
    addHiddenControls(footer, row);
    return footer;
}

void TMainMenu::addHiddenControls(QWidget* footer, QHBoxLayout* row) {
    // Service controls that stay hidden: a second copy-to-all button, the coefficient view and
    // the bank that real-time messages address.
    auto* copyAllMem = new QPushButton(QStringLiteral("Copy to all memories"), footer);
    copyAllMem->setObjectName(QStringLiteral("CopyAllMem"));
    copyAllMem->hide();
    connect(copyAllMem, &QPushButton::clicked, this, &TMainMenu::copyToAllRequested);
    showCoeffButton_ = new QPushButton(QStringLiteral("Show Coeff"), footer);
    showCoeffButton_->setObjectName(QStringLiteral("ShowCoeffButton"));
    showCoeffButton_->hide();
    connect(showCoeffButton_, &QPushButton::clicked, this,
            [this] { editors_.open(EditorKind::Coefficients, 0); });
    bankSpin_ = new QSpinBox(footer);
    bankSpin_->setObjectName(QStringLiteral("SpinEdit1"));
    bankSpin_->setRange(1, 2);
    bankSpin_->setValue(1);
    bankSpin_->setToolTip(QStringLiteral("The coefficient bank that real-time changes address"));
    bankSpin_->hide();
    connect(bankSpin_, &QSpinBox::valueChanged, this, &TMainMenu::dspSelectRequested);
    row->addWidget(showCoeffButton_);
    row->addWidget(bankSpin_);
}

void TMainMenu::setServiceControlsShown(bool shown) {
    showCoeffButton_->setVisible(shown);
    bankSpin_->setVisible(shown);
}

void TMainMenu::updateEditorButtons() {
    for (int output = 1; output <= kOutputCount; ++output) {
        for (std::size_t i = 0; i < kRowEditors.size(); ++i) {
            QPushButton* button = editorButtons_[static_cast<std::size_t>(output - 1)][i];
            const bool available = editors_.has(kRowEditors[i].kind);
            button->setEnabled(available);
            button->setToolTip(available ? QString() : unavailableTip(kRowEditors[i].what));
        }
    }
    const bool copy = editors_.has(EditorKind::Copy);
    copyButton_->setEnabled(copy);
    copyButton_->setToolTip(copy ? QString() : unavailableTip("output copy"));
    const bool total = editors_.has(EditorKind::TotalResponse);
    totalResponseButton_->setEnabled(total);
    totalResponseButton_->setToolTip(total ? QString() : unavailableTip("total response"));
}

void TMainMenu::reloadNames() {
    const ProcessorConfig& config = workflow_.config();
    systemName_->setText(fromConfigText(config.SystemName));
    for (std::size_t input = 0; input < inputEdits_.size(); ++input) {
        inputEdits_[input]->setText(fromConfigText(config.InputName[input]));
    }
    for (int output = 1; output <= kOutputCount; ++output) {
        outputEdits_[static_cast<std::size_t>(output - 1)]->setText(
            fromConfigText(config.output(output).Name));
    }
}

void TMainMenu::showRoute(int output, int route) {
    if (output < 1 || output > kOutputCount) {
        return;
    }
    QToolButton* button = routeButtons_[static_cast<std::size_t>(output - 1)];
    button->setIcon(art::routePicture(route));
    button->setToolTip(QString::fromLatin1(kRouteTips[static_cast<std::size_t>(
        std::clamp(route, static_cast<int>(kRouteA), static_cast<int>(kRouteB)))]));
    button->setProperty("route", route);
    std::array<int, 3> routes{};
    for (int n = 1; n <= kOutputCount; ++n) {
        routes[static_cast<std::size_t>(n - 1)] = workflow_.config().output(n).Route;
    }
    flow_->setRoutes(routes);
}

void TMainMenu::ActualizaMainMute() {
    std::array<bool, 3> muted{};
    for (int output = 1; output <= kOutputCount; ++output) {
        const auto index = static_cast<std::size_t>(output - 1);
        muted[index] = workflow_.config().output(output).Muted;
        muteLabels_[index]->setVisible(muted[index]);
        muteCrosses_[index]->setVisible(muted[index]);
        outputEdits_[index]->setEnabled(!muted[index]);
    }
    flow_->setMuted(muted);
}

void TMainMenu::setTransferControlsEnabled(bool enabled) {
    for (QWidget* control : transferControls_) {
        control->setEnabled(enabled);
    }
}

void TMainMenu::setStatusText(const QString& text) {
    infoLabel_->setText(text);
}

void TMainMenu::closeEvent(QCloseEvent* event) {
    // The connection window decides whether the program ends.
    event->ignore();
    emit closeRequested();
}

void TMainMenu::showEvent(QShowEvent* event) {
    placement_.shown();
    QMainWindow::showEvent(event);
}

void TMainMenu::hideEvent(QHideEvent* event) {
    placement_.save();
    QMainWindow::hideEvent(event);
}

void TMainMenu::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        workflow_.mainWindowActivated();
    }
    QMainWindow::changeEvent(event);
}

}  // namespace kvn::ui
