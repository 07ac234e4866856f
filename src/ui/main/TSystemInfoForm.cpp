#include "ui/main/TSystemInfoForm.h"

#include "config/ProcessorConfig.h"
#include "ui/main/ConfigEdits.h"
#include "ui/main/ConfigText.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvn::ui {

namespace {

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

}  // namespace

TSystemInfoForm::TSystemInfoForm(ConfigEdits& edits, QWidget* parent)
    : QDialog(parent),
      edits_(edits),
      systemName_(new QLineEdit(this)),
      projectName_(new QLineEdit(this)),
      engineer_(new QLineEdit(this)),
      comments_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("TSystemInfoForm"));
    setWindowTitle(QStringLiteral("System Info"));
    setModal(true);
    systemName_->setObjectName(QStringLiteral("SystemName"));
    projectName_->setObjectName(QStringLiteral("ProjectName"));
    engineer_->setObjectName(QStringLiteral("EngineerLabel"));
    comments_->setObjectName(QStringLiteral("Comments"));
    systemName_->setMaxLength(static_cast<int>(kSystemNameMax));
    projectName_->setMaxLength(static_cast<int>(kProjectNameMax));
    engineer_->setMaxLength(static_cast<int>(kEngineerMax));
    comments_->setTabChangesFocus(true);
    comments_->setMinimumHeight(comments_->fontMetrics().lineSpacing() * 5);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(caption(QStringLiteral("PRESET NAME"), this), systemName_);
    form->addRow(caption(QStringLiteral("PROJECT NAME"), this), projectName_);
    form->addRow(caption(QStringLiteral("ENGINEER"), this), engineer_);
    form->addRow(caption(QStringLiteral("COMMENTS"), this), comments_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(460);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(systemName_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!loading_) {
            emit systemNameEdited(text);
        }
    });
    connect(projectName_, &QLineEdit::textChanged, this, [this](const QString& text) {
        store(QStringLiteral("Project name"), &ProcessorConfig::ProjectName, text, kProjectNameMax);
    });
    connect(engineer_, &QLineEdit::textChanged, this, [this](const QString& text) {
        store(QStringLiteral("Engineer"), &ProcessorConfig::Engineer, text, kEngineerMax);
    });
    connect(comments_, &QPlainTextEdit::textChanged, this, &TSystemInfoForm::commentsChanged);
    reset();
}

void TSystemInfoForm::commentsChanged() {
    if (loading_) {
        return;
    }
    const QString text = comments_->toPlainText();
    if (text.size() > static_cast<qsizetype>(kCommentsMax)) {
        // The multi-line field has no length limit of its own: cut what was typed or pasted
        // beyond it, keeping the cursor where it was.
        QTextCursor cursor = comments_->textCursor();
        const int position = std::min(cursor.position(), static_cast<int>(kCommentsMax));
        loading_ = true;
        comments_->setPlainText(text.left(static_cast<qsizetype>(kCommentsMax)));
        loading_ = false;
        cursor = comments_->textCursor();
        cursor.setPosition(position);
        comments_->setTextCursor(cursor);
    }
    store(QStringLiteral("Comments"), &ProcessorConfig::Comments, comments_->toPlainText(),
          kCommentsMax);
}

void TSystemInfoForm::store(const QString& description, std::string ProcessorConfig::*field,
                            const QString& text, std::size_t limit) {
    if (loading_) {
        return;
    }
    const std::string stored = toConfigText(text, limit);
    if (edits_.config().*field == stored) {
        return;
    }
    ConfigEdits::Edit edit{description, {link::EditScope::quiet()}, this};
    edit.mergeable = true;
    edits_.apply(edit, [&](ProcessorConfig& config) { config.*field = stored; });
}

void TSystemInfoForm::reset() {
    ConfigEdits::Edit edit{QStringLiteral("System Info reset"), {link::EditScope::quiet()}, this};
    edit.record = false;
    edits_.apply(edit, [](ProcessorConfig& config) {
        config.ProjectName.clear();
        config.Engineer.clear();
        config.Comments.clear();
    });
    reload();
}

void TSystemInfoForm::reload() {
    const ProcessorConfig& config = edits_.config();
    loading_ = true;
    systemName_->setText(fromConfigText(config.SystemName));
    projectName_->setText(fromConfigText(config.ProjectName));
    engineer_->setText(fromConfigText(config.Engineer));
    comments_->setPlainText(fromConfigText(config.Comments));
    loading_ = false;
}

void TSystemInfoForm::showSystemName(const QString& name) {
    if (systemName_->text() == name) {
        return;
    }
    loading_ = true;
    systemName_->setText(name);
    loading_ = false;
}

}  // namespace kvn::ui
