#include "ui/main/UserDialogs.h"

namespace kvn::ui {

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
