// kvn350-editor: the desktop editor and remote control of the KVN 350.
#include "ui/main/EditorMain.h"

int main(int argc, char** argv) {
    return kvn::ui::runEditor(argc, argv);
}
