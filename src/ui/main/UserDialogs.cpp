#include "ui/main/UserDialogs.h"

namespace kvn::ui {

MessageKind dialogKind(kvn::MessageKind kind) {
    switch (kind) {
        case kvn::MessageKind::Information:
            return MessageKind::Information;
        case kvn::MessageKind::Warning:
            return MessageKind::Warning;
        case kvn::MessageKind::Error:
            break;
    }
    return MessageKind::Error;
}

Answer dismissAnswer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OkCancel:
        case MessageButtons::YesNoCancel:
            return Answer::Cancel;
        case MessageButtons::YesNo:
        case MessageButtons::YesNoDefaultNo:
            return Answer::No;
        case MessageButtons::Yes:
            return Answer::Yes;
        case MessageButtons::Ok:
            break;
    }
    return Answer::Ok;
}

}  // namespace kvn::ui
