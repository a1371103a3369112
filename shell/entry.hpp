#pragma once
// The program's entry: setup dialog, window, message loop, teardown.
int WinMain();
