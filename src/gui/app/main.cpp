// tavelune: the desktop program.
#include "gui/app/tavelune_app.h"

int main(int argc, char** argv)
{
    return tavelune::gui::runProgram(argc, argv);
}
