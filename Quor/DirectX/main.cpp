// The program's entry point: the engine's entry takes over and hands control to the game.
#include "Quor/DirectX/Quordx.h"

int main(int argc, char** argv) { return WinMain(argc, argv, &GameMain); }
