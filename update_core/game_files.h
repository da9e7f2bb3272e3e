#pragma once

// The game's engine, which stands at the top of every installation and of
// every release of the game.
inline const wchar_t* const ENGINE_EXE = L"VelkorEngine.exe";
