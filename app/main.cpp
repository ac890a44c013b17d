#include "app/quadkit_cli.h"

int main(int argc, char** argv) { return RunQuadkit(argc, argv); }
