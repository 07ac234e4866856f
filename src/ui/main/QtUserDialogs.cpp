#include "ui/main/QtUserDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace kvn::ui {

namespace {

QMessageBox::Icon iconOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Information:
            return QMessageBox::Information;
        case MessageKind::Warning:
            return QMessageBox::Warning;
        case MessageKind::Error:
            return QMessageBox::Critical;
        case MessageKind::Confirmation:
            return QMessageBox::Question;
        case MessageKind::Plain:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons buttonsOf(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::YesNo:
        case MessageButtons::YesNoDefaultNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MessageButtons::Yes:
            return QMessageBox::Yes;
        case MessageButtons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

QStringList bothCases(const QString& patterns) {
    QStringList out;
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        if (trimmed == QLatin1String("*.*")) {
            out << QStringLiteral("*");
            continue;
        }
        for (const QString& variant : {trimmed, trimmed.toUpper(), trimmed.toLower()}) {
            if (!out.contains(variant)) {
                out << variant;
            }
        }
    }
    return out;
}

std::optional<QString> runFileDialog(const FileRequest& request, bool open) {
    QFileDialog dialog(QApplication::activeWindow(), request.title);
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(toolkitFilters(request.filter));
    if (!open) {
        dialog.setDefaultSuffix(defaultSuffix(request.filter));
    }
    if (!request.initialName.isEmpty()) {
        dialog.selectFile(request.initialName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace

QStringList toolkitFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // The description often repeats its pattern ("KVN 350 Files *.KV2"); show it once.
        const qsizetype star = description.indexOf(QLatin1Char('*'));
        if (star > 0) {
            description = description.left(star).trimmed();
        }
        out << QStringLiteral("%1 (%2)").arg(description, bothCases(parts[i + 1]).join(' '));
    }
    return out;
}

QString defaultSuffix(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() < 2) {
        return {};
    }
    const QString first = parts[1].split(QLatin1Char(';')).value(0).trimmed();
    const qsizetype dot = first.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || first.mid(dot + 1).contains(QLatin1Char('*'))) {
        return {};
    }
    return first.mid(dot + 1);
}

Answer QtUserDialogs::message(MessageKind kind, const QString& text, MessageButtons buttons) {
    QMessageBox box(iconOf(kind), QApplication::applicationDisplayName(), text, buttonsOf(buttons),
                    QApplication::activeWindow());
    if (buttons == MessageButtons::YesNoCancel || buttons == MessageButtons::OkCancel) {
        box.setEscapeButton(QMessageBox::Cancel);
    }
    if (buttons == MessageButtons::YesNoDefaultNo) {
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    }
    switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            return dismissAnswer(buttons);
    }
}

int QtUserDialogs::choose(MessageKind kind, const QString& text, const QStringList& choices,
                          int cancelIndex) {
    QMessageBox box(iconOf(kind), QApplication::applicationDisplayName(), text,
                    QMessageBox::NoButton, QApplication::activeWindow());
    QList<QAbstractButton*> buttons;
    for (qsizetype i = 0; i < choices.size(); ++i) {
        const bool cancel = i == cancelIndex;
        buttons.append(
            box.addButton(choices[i], cancel ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
        if (cancel) {
            box.setEscapeButton(buttons.back());
        }
    }
    box.exec();
    const qsizetype pressed = buttons.indexOf(box.clickedButton());
    return pressed >= 0 ? static_cast<int>(pressed) : cancelIndex;
}

std::optional<QString> QtUserDialogs::openFile(const FileRequest& request) {
    return runFileDialog(request, true);
}

std::optional<QString> QtUserDialogs::saveFile(const FileRequest& request) {
    return runFileDialog(request, false);
}

std::optional<QString> QtUserDialogs::chooseFolder(const FileRequest& request) {
    const QString folder = QFileDialog::getExistingDirectory(QApplication::activeWindow(),
                                                             request.title, request.initialName);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return folder;
}

void QtUserDialogs::beep() {
    QApplication::beep();
}

}  // namespace kvn::ui
