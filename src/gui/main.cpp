// brindle: the windowed program for the keyboard.
#include "gui/app/CKeyweaveApp.h"

int main(int argc, char** argv) {
    return brindle::CKeyweaveApp().Run(argc, argv);
}
