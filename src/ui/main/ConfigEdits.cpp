#include "ui/main/ConfigEdits.h"

#include "link/DeviceSession.h"

#include <algorithm>

namespace kvn::ui {

namespace {

bool isDynamics(link::EditPart part) {
    using link::EditPart;
    return part == EditPart::DynamicsTable || part == EditPart::DynamicsAttack ||
           part == EditPart::DynamicsHold || part == EditPart::DynamicsRelease;
}

}  // namespace

QString outputTitle(int output) {
    return QString::fromStdString(kvn::outputTitle(output));
}

bool ConfigChange::touches(link::EditPart part, int index) const {
    return whole || std::any_of(scopes.begin(), scopes.end(), [&](const link::EditScope& s) {
               return s.part == part && (index == 0 || s.index == index);
           });
}

bool ConfigChange::touchesOutput(int output) const {
    return whole || std::any_of(scopes.begin(), scopes.end(), [&](const link::EditScope& s) {
               return !isDynamics(s.part) && s.index == output;
           });
}

ConfigEdits::ConfigEdits(ProcessorConfig& config, QObject* parent)
    : QObject(parent), config_(config) {}

void ConfigEdits::apply(const Edit& edit, const std::function<void(ProcessorConfig&)>& change) {
    std::optional<ProcessorConfig> incidentalBefore;
    if (edit.record) {
        if (!open_) {
            open_ = Step{edit.description, config_, {}, edit.mergeable};
        }
    } else if (!dirty_) {
        incidentalBefore = config_;
    }
    change(config_);
    sendScopes(edit.scopes);
    if (incidentalBefore && !(*incidentalBefore == config_)) {
        setDirty(true);
    }
    if (edit.record && gestureDepth_ == 0) {
        closeOpenStep();
    }
    emit changed(ConfigChange{edit.description, edit.scopes, edit.whole, edit.origin});
}

void ConfigEdits::beginGesture() {
    setGestureDepth(gestureDepth_ + 1);
}

void ConfigEdits::endGesture() {
    if (gestureDepth_ == 0) {
        return;
    }
    setGestureDepth(gestureDepth_ - 1);
    if (gestureDepth_ == 0) {
        closeOpenStep();
    }
}

void ConfigEdits::setGestureDepth(int depth) {
    const bool was = gestureDepth_ > 0;
    gestureDepth_ = depth;
    if (was != (depth > 0)) {
        emit gestureChanged(depth > 0);
    }
}

void ConfigEdits::closeOpenStep() {
    if (!open_) {
        return;
    }
    Step step = std::move(*open_);
    open_.reset();
    step.after = config_;
    if (step.after == step.before) {
        return;
    }
    // A new step forgets what could be redone; the saved state may go with it.
    steps_.resize(position_);
    if (savedPosition_ && *savedPosition_ > position_) {
        savedPosition_.reset();
    }
    Step* top = steps_.empty() ? nullptr : &steps_.back();
    if (step.mergeable && top != nullptr && top->mergeable &&
        top->description == step.description && savedPosition_ != position_) {
        top->after = std::move(step.after);
    } else {
        steps_.push_back(std::move(step));
        ++position_;
        if (steps_.size() > kHistoryLimit) {
            steps_.erase(steps_.begin());
            --position_;
            if (savedPosition_) {
                savedPosition_ = *savedPosition_ == 0
                                     ? std::nullopt
                                     : std::optional<std::size_t>(*savedPosition_ - 1);
            }
        }
    }
    emit historyChanged();
    updateModified();
}

void ConfigEdits::sendScopes(const std::vector<link::EditScope>& scopes) {
    if (session_ == nullptr) {
        return;
    }
    // The bank a sender selects stays selected also while real time is off, as the processor
    // program's DspSelect does.
    int bank = session_->dspSelect();
    std::vector<link::RealTimeUpdate> updates;
    for (const link::EditScope& scope : scopes) {
        link::appendRealTimeUpdates(config_, scope, bank, updates);
    }
    session_->setDspSelect(bank);
    if (!session_->realTimeMode()) {
        return;
    }
    for (const link::RealTimeUpdate& update : updates) {
        session_->sendUpdate(update);
    }
}

bool ConfigEdits::canUndo() const {
    return open_.has_value() || position_ > 0;
}

bool ConfigEdits::canRedo() const {
    return !open_ && position_ < steps_.size();
}

QString ConfigEdits::undoDescription() const {
    if (open_) {
        return open_->description;
    }
    return position_ > 0 ? steps_[position_ - 1].description : QString();
}

QString ConfigEdits::redoDescription() const {
    return canRedo() ? steps_[position_].description : QString();
}

void ConfigEdits::undo() {
    setGestureDepth(0);
    closeOpenStep();
    if (position_ == 0) {
        return;
    }
    --position_;
    restore(steps_[position_].before, QStringLiteral("Undo ") + steps_[position_].description);
}

void ConfigEdits::redo() {
    setGestureDepth(0);
    closeOpenStep();
    if (position_ >= steps_.size()) {
        return;
    }
    ++position_;
    restore(steps_[position_ - 1].after,
            QStringLiteral("Redo ") + steps_[position_ - 1].description);
}

void ConfigEdits::restore(const ProcessorConfig& state, const QString& description) {
    const ProcessorConfig from = config_;
    config_ = state;
    if (session_ != nullptr && session_->realTimeMode()) {
        int bank = session_->dspSelect();
        const std::vector<link::RealTimeUpdate> updates =
            link::realTimeDifference(from, config_, bank);
        session_->setDspSelect(bank);
        for (const link::RealTimeUpdate& update : updates) {
            session_->sendUpdate(update);
        }
    }
    emit historyChanged();
    updateModified();
    emit changed(ConfigChange{description, {}, true, nullptr});
}

void ConfigEdits::configurationReplaced(const QString& description) {
    steps_.clear();
    position_ = 0;
    open_.reset();
    setGestureDepth(0);
    savedPosition_ = 0;
    dirty_ = false;
    emit historyChanged();
    updateModified();
    emit changed(ConfigChange{description, {}, true, nullptr});
}

void ConfigEdits::notify(const ConfigChange& change) {
    emit changed(change);
}

bool ConfigEdits::modified() const {
    return modified_;
}

void ConfigEdits::markSaved() {
    closeOpenStep();
    savedPosition_ = position_;
    dirty_ = false;
    updateModified();
}

void ConfigEdits::setDirty(bool dirty) {
    dirty_ = dirty;
    updateModified();
}

void ConfigEdits::updateModified() {
    const bool now = dirty_ || savedPosition_ != position_;
    if (now != modified_) {
        modified_ = now;
        emit modifiedChanged(now);
    }
}

}  // namespace kvn::ui
