#include "ui/main/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace kvn::ui {

namespace {

const QString kKey = QStringLiteral("RecentFiles");

}  // namespace

RecentFiles::RecentFiles(QSettings* settings, QObject* parent)
    : QObject(parent), settings_(settings) {
    if (settings_ != nullptr) {
        for (const QString& path : settings_->value(kKey).toStringList()) {
            if (!path.isEmpty() && !paths_.contains(path) && paths_.size() < kLimit) {
                paths_ << path;
            }
        }
    }
}

void RecentFiles::add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    paths_.removeAll(absolute);
    paths_.prepend(absolute);
    while (paths_.size() > kLimit) {
        paths_.removeLast();
    }
    store();
}

void RecentFiles::remove(const QString& path) {
    if (paths_.removeAll(QFileInfo(path).absoluteFilePath()) > 0) {
        store();
    }
}

void RecentFiles::clear() {
    paths_.clear();
    store();
}

void RecentFiles::store() {
    if (settings_ != nullptr) {
        settings_->setValue(kKey, paths_);
    }
    emit changed();
}

}  // namespace kvn::ui
