// homing: six ways a homing missile can steer, in one window.
#include "Startup.h"

int main(int argc, char** argv) { return RunHoming(argc, argv); }
