// The preset files opened or saved lately, newest first, kept between runs in the program's
// settings under "RecentFiles". A path appears once; the list holds at most kLimit paths.
#pragma once

#include <QObject>
#include <QStringList>

class QSettings;

namespace kvn::ui {

class RecentFiles : public QObject {
    Q_OBJECT

public:
    static constexpr int kLimit = 8;

    // `settings` (not owned) must outlive the list; null keeps the list for this run only.
    explicit RecentFiles(QSettings* settings, QObject* parent = nullptr);

    const QStringList& paths() const { return paths_; }
    // Puts `path` (made absolute) first.
    void add(const QString& path);
    void remove(const QString& path);
    void clear();

signals:
    void changed();

private:
    void store();

    QSettings* settings_;
    QStringList paths_;
};

}  // namespace kvn::ui
