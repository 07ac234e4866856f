#include "ui/editors/TCopyOutputForm.h"

#include "ui/main/ConfigText.h"
#include "ui/main/UserDialogs.h"
#include "widgets/PanelBox.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QStringList>
#include <QToolButton>
#include <QVBoxLayout>

namespace kvn::ui {

namespace {

struct GroupBox {
    const char* name;
    const char* caption;
};

// The boxes, in the order of kCopyGroups.
constexpr std::array<GroupBox, kCopyGroups.size()> kGroupBoxes{{
    {"RouteCheck", "Route"},
    {"XoverCheck", "XOver"},
    {"PEQXCheck", "PEQX"},
    {"OutDelayCheck", "Output Delay"},
    {"OutGainCheck", "Output Gain"},
    {"NamesCheck", "Output Name"},
    {"DynamicCheck", "Dynamics - Noise Gate"},
}};

// What the processor is sent in real-time mode: every part of the destination that the copy set,
// and both dynamics units when they were copied, since both are reloaded.
std::vector<link::EditScope> copiedScopes(CopyGroups groups, int from, int to) {
    using link::EditScope;
    std::vector<EditScope> scopes;
    if (groups.has(CopyGroup::Route)) {
        scopes.push_back(EditScope::route(to));
    }
    if (groups.has(CopyGroup::Crossover)) {
        scopes.push_back(EditScope::crossover(to));
    }
    if (groups.has(CopyGroup::Equalizer)) {
        const int bands = from == kSubOutput || to == kSubOutput ? kSubPeqBands : kPeqBands;
        for (int band = 1; band <= bands; ++band) {
            scopes.push_back(EditScope::peqBand(to, band));
        }
    }
    if (groups.has(CopyGroup::Delay)) {
        scopes.push_back(EditScope::delay(to));
    }
    if (groups.has(CopyGroup::Gain)) {
        scopes.push_back(EditScope::level(to));
    }
    if (groups.has(CopyGroup::Name)) {
        scopes.push_back(EditScope::quiet(to));
    }
    if (groups.has(CopyGroup::Dynamics) && dynamicsUnitOf(from) != dynamicsUnitOf(to)) {
        for (int unit = 1; unit <= kDynamicsUnits; ++unit) {
            scopes.push_back(EditScope::dynamicsTable(unit));
            scopes.push_back(EditScope::dynamicsAttack(unit));
            scopes.push_back(EditScope::dynamicsHold(unit));
        }
    }
    return scopes;
}

}  // namespace

TCopyOutputForm::TCopyOutputForm(EditorContext& context)
    : EditorForm(context, QStringLiteral("TCopyOutputForm"), QStringLiteral("Copy outputs")) {
    setWindowModality(Qt::ApplicationModal);
    // The copy is not a place to switch real time from.
    realTimeButton()->hide();

    auto* outputs = new QGridLayout;
    outputs->setHorizontalSpacing(10);
    origen_ = outputSpin("OrigenSpin", "Copy Output", origenName_);
    copia_ = outputSpin("CopiaSpin", "to Output", copiaName_);
    outputs->addWidget(new QLabel(QStringLiteral("Copy Output"), this), 0, 0);
    outputs->addWidget(origen_, 0, 1);
    outputs->addWidget(origenName_, 0, 2);
    outputs->addWidget(new QLabel(QStringLiteral("to Output"), this), 1, 0);
    outputs->addWidget(copia_, 1, 1);
    outputs->addWidget(copiaName_, 1, 2);
    outputs->setColumnStretch(2, 1);

    auto* items = new widgets::PanelBox(QStringLiteral("Items to Copy"), this);
    auto* grid = new QGridLayout(items);
    grid->setVerticalSpacing(8);
    for (std::size_t i = 0; i < checks_.size(); ++i) {
        auto* check = new QCheckBox(QString::fromLatin1(kGroupBoxes[i].caption), items);
        check->setObjectName(QString::fromLatin1(kGroupBoxes[i].name));
        checks_[i] = check;
    }
    // Signal path on the left, level, name and dynamics on the right.
    grid->addWidget(checks_[0], 0, 0);
    grid->addWidget(checks_[1], 1, 0);
    grid->addWidget(checks_[2], 2, 0);
    grid->addWidget(checks_[3], 3, 0);
    grid->addWidget(checks_[4], 0, 1);
    grid->addWidget(checks_[5], 1, 1);
    grid->addWidget(checks_[6], 2, 1);
    auto* rule = new QFrame(items);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    grid->addWidget(rule, 4, 0, 1, 2);
    copyAll_ = new QCheckBox(QStringLiteral("Copy All"), items);
    copyAll_->setObjectName(QStringLiteral("CopyAll"));
    grid->addWidget(copyAll_, 5, 0, 1, 2);
    connect(copyAll_, &QCheckBox::toggled, this, &TCopyOutputForm::CopyAllClick);
    connect(checks_[static_cast<std::size_t>(CopyGroup::Name)], &QCheckBox::toggled, this,
            &TCopyOutputForm::showNameWarning);

    nameWarning_ = new QLabel(this);
    nameWarning_->setObjectName(QStringLiteral("NameWarningL"));
    nameWarning_->setWordWrap(true);
    QPalette warning = nameWarning_->palette();
    warning.setColor(QPalette::WindowText, QColor(0xc6, 0x28, 0x28));
    nameWarning_->setPalette(warning);
    nameWarning_->hide();

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    QPushButton* ok = ok_;
    ok->setObjectName(QStringLiteral("OK_BitBtn"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    ok->setMinimumWidth(ok->fontMetrics().averageCharWidth() * 12);
    cancel->setMinimumWidth(ok->minimumWidth());
    connect(ok, &QPushButton::clicked, this, &TCopyOutputForm::OK_BitBtnClick);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    // A window of its own rather than a dialog, so Enter and Escape are given their usual roles.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Return), this), &QShortcut::activated, this,
            &TCopyOutputForm::OK_BitBtnClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(12);
    layout->addLayout(outputs);
    layout->addWidget(items);
    layout->addWidget(nameWarning_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    copia_->setValue(nextCopyDestination(origen_->value()));
    showOutputNames();
}

QSpinBox* TCopyOutputForm::outputSpin(const char* name, const char* caption, QLabel*& nameLabel) {
    auto* spin = new QSpinBox(this);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setToolTip(QString::fromLatin1(caption));
    spin->setRange(1, kOutputCount);
    spin->setValue(1);
    spin->setMinimumWidth(spin->fontMetrics().averageCharWidth() * 7);
    nameLabel = new QLabel(this);
    nameLabel->setMinimumWidth(nameLabel->fontMetrics().averageCharWidth() * 18);
    connect(spin, &QSpinBox::valueChanged, this, &TCopyOutputForm::showOutputNames);
    return spin;
}

void TCopyOutputForm::openFor(int output) {
    if (output >= 1 && output <= kOutputCount) {
        origen_->setValue(output);
    }
    // A copy onto its own source does nothing: offer the next output instead.
    if (copia_->value() == origen_->value()) {
        copia_->setValue(nextCopyDestination(origen_->value()));
    }
    showOutputNames();
    show();
    raise();
    activateWindow();
    ok_->setFocus();
}

CopyGroups TCopyOutputForm::groups() const {
    CopyGroups groups;
    for (std::size_t i = 0; i < checks_.size(); ++i) {
        if (checks_[i]->isChecked()) {
            groups.add(kCopyGroups[i]);
        }
    }
    return groups;
}

void TCopyOutputForm::CopyAllClick(bool checked) {
    // Ticking ticks every box; unticking leaves them as they are.
    if (checked) {
        for (QCheckBox* check : checks_) {
            check->setChecked(true);
        }
    }
}

void TCopyOutputForm::OK_BitBtnClick() {
    const int from = origen_->value();
    const int to = copia_->value();
    if (from != to &&
        context().dialogs.message(MessageKind::Confirmation,
                                  QStringLiteral("Do you want to copy data from Output %1 to "
                                                 "Output %2 ?")
                                      .arg(from)
                                      .arg(to),
                                  MessageButtons::YesNo) == Answer::Yes) {
        const CopyGroups chosen = groups();
        ConfigEdits::Edit step{
            QStringLiteral("Copy %1 to %2").arg(outputTitle(from), outputTitle(to)),
            copiedScopes(chosen, from, to)};
        step.whole = true;
        OutputCopyResult result;
        edit(step, [&](ProcessorConfig& config) { result = copyOutput(config, from, to, chosen); });
        for (const UserMessage& message : result.messages) {
            context().dialogs.message(dialogKind(message.kind),
                                      QString::fromStdString(message.text), MessageButtons::Ok);
        }
    }
    close();
}

void TCopyOutputForm::refresh(const ConfigChange& change) {
    (void)change;
}

void TCopyOutputForm::showOutputNames() {
    const auto name = [this](int output) {
        return fromConfigText(config().output(output).Name).trimmed();
    };
    origenName_->setText(name(origen_->value()));
    copiaName_->setText(name(copia_->value()));
    showNameWarning();
}

void TCopyOutputForm::showNameWarning() {
    const std::vector<int> sharing =
        outputsSharingCopiedName(config(), origen_->value(), copia_->value(), groups());
    nameWarning_->setVisible(!sharing.empty());
    if (sharing.empty()) {
        return;
    }
    QStringList outputs;
    for (const int n : sharing) {
        outputs << outputTitle(n);
    }
    const QString last = outputs.takeLast();
    const QString name = fromConfigText(config().output(origen_->value()).Name).trimmed();
    nameWarning_->setText(
        QStringLiteral("%1 and %2 will %3 be called \"%4\".")
            .arg(outputs.join(QStringLiteral(", ")), last,
                 sharing.size() == 2 ? QStringLiteral("both") : QStringLiteral("all"), name));
}

std::vector<ScreenshotStep> TCopyOutputForm::screenshots() {
    return {{QStringLiteral("output-copy.png"), [this]() -> QWidget* {
                 origen_->setValue(1);
                 copia_->setValue(2);
                 for (const CopyGroup group : {CopyGroup::Crossover, CopyGroup::Equalizer,
                                               CopyGroup::Delay, CopyGroup::Gain}) {
                     checks_[static_cast<std::size_t>(group)]->setChecked(true);
                 }
                 openFor(0);
                 return this;
             }}};
}

}  // namespace kvn::ui
