// The program's entry and its one piece of program-wide state.
#pragma once

#include <windows.h>

#include "qr/generation_state.h"

namespace app {

// The texts of the generate commands, alive from start to exit.
qr::GenerationState& ProgramGenerationState();

// Releases the program-wide texts; registered to run when the program ends.
void ReleaseProgramTexts();

// Registers the exit routine, creates and shows the main window and runs its
// message loop; the process's exit code, 0.
int RunProgram(HINSTANCE instance);

}  // namespace app
