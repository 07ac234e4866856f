// The "System Info" window: the preset's name (kept equal to the main window's PRESET field) and
// its descriptive texts, written into the configuration through the change path as they are
// typed (each field's typing is one undo step).
#pragma once

#include <QDialog>

#include <cstddef>
#include <string>

#include "config/ProcessorConfig.h"

class QLineEdit;
class QPlainTextEdit;

namespace kvn::ui {

class ConfigEdits;

class TSystemInfoForm : public QDialog {
    Q_OBJECT

public:
    // `edits` must outlive the window.
    explicit TSystemInfoForm(ConfigEdits& edits, QWidget* parent = nullptr);

    // The reset step (at creation and by New): the preset name as the configuration holds it,
    // project, engineer and comments emptied in the configuration and on screen.
    void reset();
    // Shows every field as the configuration holds it (after a preset was opened or read).
    void reload();

public slots:
    // Shows `name` in the PRESET NAME field without reporting it back.
    void showSystemName(const QString& name);

signals:
    // The user changed the PRESET NAME field; whoever stores the name shows it back here.
    void systemNameEdited(const QString& name);

private:
    void commentsChanged();
    void store(const QString& description, std::string ProcessorConfig::*field, const QString& text,
               std::size_t limit);

    ConfigEdits& edits_;
    QLineEdit* systemName_;
    QLineEdit* projectName_;
    QLineEdit* engineer_;
    QPlainTextEdit* comments_;
    bool loading_ = false;
};

}  // namespace kvn::ui
