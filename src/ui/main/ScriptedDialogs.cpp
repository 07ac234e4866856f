#include "ui/main/ScriptedDialogs.h"

namespace kvn::ui {

Answer ScriptedDialogs::message(MessageKind kind, const QString& text, MessageButtons buttons) {
    Answer reply = dismissAnswer(buttons);
    if (answers_.empty()) {
        ++unscripted_;
    } else {
        reply = answers_.front();
        answers_.pop_front();
    }
    shown_.push_back({kind, text, buttons, reply});
    return reply;
}

int ScriptedDialogs::choose(MessageKind kind, const QString& text, const QStringList& choices,
                            int cancelIndex) {
    int pressed = cancelIndex;
    if (choices_.empty()) {
        ++unscripted_;
    } else {
        pressed = choices_.front();
        choices_.pop_front();
    }
    shown_.push_back({kind, text, MessageButtons::Ok, Answer::Ok, choices, pressed});
    return pressed;
}

std::optional<QString> ScriptedDialogs::nextFile(const FileRequest& request) {
    fileRequests_.push_back(request);
    if (files_.empty()) {
        ++unscripted_;
        return std::nullopt;
    }
    const FileAnswer next = files_.front();
    files_.pop_front();
    if (!next.chosen) {
        return std::nullopt;
    }
    return next.path;
}

std::optional<QString> ScriptedDialogs::openFile(const FileRequest& request) {
    return nextFile(request);
}

std::optional<QString> ScriptedDialogs::saveFile(const FileRequest& request) {
    return nextFile(request);
}

std::optional<QString> ScriptedDialogs::chooseFolder(const FileRequest& request) {
    return nextFile(request);
}

QStringList ScriptedDialogs::texts() const {
    QStringList out;
    for (const Shown& box : shown_) {
        out << box.text;
    }
    return out;
}

QString ScriptedDialogs::lastText() const {
    return shown_.empty() ? QString() : shown_.back().text;
}

void ScriptedDialogs::clear() {
    answers_.clear();
    choices_.clear();
    files_.clear();
    shown_.clear();
    fileRequests_.clear();
    beeps_ = 0;
    unscripted_ = 0;
}

}  // namespace kvn::ui
