// quillet: the screen saver. /s full screen, /c the settings, /p <window id> a preview.
#include "shell/program.h"

int main(int argc, char** argv) { return quillet::RunProgram(argc, argv); }
