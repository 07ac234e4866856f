// A stand-in for the user: answers message boxes and file dialogs from scripts, in order, and
// records everything that was shown. Used by the tests and by the screenshot run, which must not
// wait for anyone.
#pragma once

#include "ui/main/UserDialogs.h"

#include <QStringList>

#include <deque>
#include <vector>

namespace kvn::ui {

class ScriptedDialogs : public UserDialogs {
public:
    struct Shown {
        MessageKind kind;
        QString text;
        MessageButtons buttons;
        Answer answer;
        // For a box with choices: its buttons and the index pressed.
        QStringList choices = {};
        int choice = -1;
    };

    // Queues the answer to the next message box. A box that finds the queue empty gets the
    // answer of closing it (dismissAnswer) and is counted in unscripted().
    void answer(Answer next) { answers_.push_back(next); }
    // Queues the button index pressed in the next box with choices; such a box that finds this
    // queue empty is closed (its cancel index) and counted in unscripted().
    void answerChoice(int index) { choices_.push_back(index); }
    // Queues the path the next file or folder dialog returns; nothing means the dialog is
    // cancelled.
    void chooseFile(const std::optional<QString>& path) {
        files_.push_back({path.has_value(), path.value_or(QString())});
    }

    Answer message(MessageKind kind, const QString& text, MessageButtons buttons) override;
    int choose(MessageKind kind, const QString& text, const QStringList& choices,
               int cancelIndex) override;
    std::optional<QString> openFile(const FileRequest& request) override;
    std::optional<QString> saveFile(const FileRequest& request) override;
    std::optional<QString> chooseFolder(const FileRequest& request) override;
    void beep() override { ++beeps_; }

    const std::vector<Shown>& shown() const { return shown_; }
    // The texts of every box shown so far, in order.
    QStringList texts() const;
    // The text of the last box, or empty when none was shown.
    QString lastText() const;
    const std::vector<FileRequest>& fileRequests() const { return fileRequests_; }
    int beeps() const { return beeps_; }
    // Boxes and file dialogs that came when their queue was empty.
    int unscripted() const { return unscripted_; }
    // Answers and files queued but never asked for.
    std::size_t pendingAnswers() const { return answers_.size() + choices_.size(); }
    std::size_t pendingFiles() const { return files_.size(); }
    void clear();

private:
    std::optional<QString> nextFile(const FileRequest& request);

    std::deque<Answer> answers_;
    std::deque<int> choices_;
    struct FileAnswer {
        bool chosen;
        QString path;
    };

    std::deque<FileAnswer> files_;
    std::vector<Shown> shown_;
    std::vector<FileRequest> fileRequests_;
    int beeps_ = 0;
    int unscripted_ = 0;
};

}  // namespace kvn::ui
