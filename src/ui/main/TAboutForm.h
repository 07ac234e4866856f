// The about window: the program's name, its version as the build stamped it, its licence and the
// libraries it runs on with their versions.
#pragma once

#include <QDialog>
#include <QString>

#include <utility>
#include <vector>

namespace kvn::ui {

// "2.1.0": the version of the build.
QString programVersion();
// Each library the program uses with its version ("Qt", "6.4.2"), in the order shown.
std::vector<std::pair<QString, QString>> libraryVersions();

class TAboutForm : public QDialog {
    Q_OBJECT

public:
    explicit TAboutForm(QWidget* parent = nullptr);
};

}  // namespace kvn::ui
