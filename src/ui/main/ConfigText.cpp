#include "ui/main/ConfigText.h"

#include <QByteArray>

namespace kvn::ui {

std::string toConfigText(const QString& text, std::size_t maxLength) {
    return text.left(static_cast<qsizetype>(maxLength)).toStdString();
}

QString fromConfigText(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace kvn::ui
