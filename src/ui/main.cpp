#include "ui/anwendung.h"

int main(int argc, char** argv) { return kvui::StarteProgramm(argc, argv); }
