// homing-sim: replays a scenario script on one world without a window.

#include "Runner.h"

int main(int argc, char** argv) { return RunHomingSim(argc, argv); }
