// The user's program exchange with the keyboard: a get fetches a program into the editor, a send
// writes the editor's program to the keyboard. Each runs the MIDI manager's exchange, which
// blocks the user-interface thread meanwhile, tells the user how it went in a message box and
// answers the manager's result. Slot 0 is the keyboard's RAM, 1 to 4 its stored programs.
#pragma once

#include <cstdint>

// 0 when the keyboard's program arrived; -1 without the keyboard (or without a MIDI manager),
// -3 when it did not answer. Exceptions of the manager pass through.
int32_t GetProgramFromDevice(int32_t slot);
// The number of bytes sent; -1 when the program did not go out.
int32_t SendProgramToDevice(int32_t slot);
