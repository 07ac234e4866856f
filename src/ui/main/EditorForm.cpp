#include "ui/main/EditorForm.h"

#include <algorithm>
#include <utility>

#include "ui/main/Artwork.h"
#include "ui/main/MainWorkflow.h"
#include "widgets/CommitSlider.h"
#include "widgets/ResponseGraph.h"

#include <QEvent>
#include <QToolButton>

namespace kvn::ui {

EditorForm::EditorForm(EditorContext& context, const QString& objectName, const QString& caption)
    : QWidget(context.mainWindow, Qt::Window),
      context_(context),
      realTimeButton_(nullptr),
      placement_(*this) {
    setObjectName(objectName);
    placement_.setSettings(context_.settings);
    setWindowTitle(caption);
    setWindowIcon(art::applicationIcon());

    realTimeButton_ = new QToolButton(this);
    realTimeButton_->setObjectName(QStringLiteral("RealTimeB"));
    realTimeButton_->setText(QStringLiteral("Real Time"));
    realTimeButton_->setToolTip(QStringLiteral("Real Time"));
    realTimeButton_->setIconSize(QSize(56, 28));
    realTimeButton_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    realTimeButton_->setAutoRaise(true);
    showRealTime(context_.workflow.realTimeMode());
    connect(realTimeButton_, &QToolButton::clicked, &context_.workflow,
            &MainWorkflow::requestRealTimeToggle);
    connect(&context_.edits, &ConfigEdits::changed, this, &EditorForm::changed);
    // While any window's drag runs, this window's graphs follow it with quick drawing.
    connect(&context_.edits, &ConfigEdits::gestureChanged, this, [this](bool active) {
        for (widgets::ResponseGraph* graph : findChildren<widgets::ResponseGraph*>()) {
            graph->setQuickDrawing(active);
        }
    });
}

EditorForm::~EditorForm() {
    if (isVisible()) {
        placement_.save();
    }
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
    }
}

void EditorForm::closeEditor() {
    hide();
}

void EditorForm::reloadFromConfig() {
    refresh(ConfigChange{{}, {}, true, nullptr});
    showOutputNames();
}

void EditorForm::showRealTime(bool on) {
    realTimeButton_->setIcon(art::realTimePicture(on));
}

void EditorForm::edit(ConfigEdits::Edit edit, const std::function<void(ProcessorConfig&)>& change) {
    edit.origin = this;
    context_.edits.apply(edit, change);
}

void EditorForm::beginGesture() {
    context_.edits.beginGesture();
}

void EditorForm::endGesture() {
    context_.edits.endGesture();
}

void EditorForm::bindGesture(widgets::CommitSlider* slider) {
    connect(slider, &widgets::CommitSlider::dragStarted, this, &EditorForm::beginGesture);
    connect(slider, &widgets::CommitSlider::dragFinished, this, &EditorForm::endGesture);
}

void EditorForm::changed(const ConfigChange& change) {
    if (change.origin == this) {
        return;
    }
    if (!isVisible() && !refreshesWhileHidden()) {
        if (!missed_) {
            missed_.emplace();
        }
        missed_->whole = missed_->whole || change.whole;
        for (const link::EditScope& scope : change.scopes) {
            if (std::find(missed_->scopes.begin(), missed_->scopes.end(), scope) ==
                missed_->scopes.end()) {
                missed_->scopes.push_back(scope);
            }
        }
        return;
    }
    tell(change);
}

void EditorForm::tell(const ConfigChange& change) {
    refresh(change);
    if (change.whole) {
        showOutputNames();
    }
}

void EditorForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        showOutputNames();
    }
    QWidget::changeEvent(event);
}

void EditorForm::showEvent(QShowEvent* event) {
    if (missed_) {
        tell(*std::exchange(missed_, std::nullopt));
    }
    placement_.shown();
    QWidget::showEvent(event);
}

void EditorForm::hideEvent(QHideEvent* event) {
    placement_.save();
    QWidget::hideEvent(event);
}

}  // namespace kvn::ui
