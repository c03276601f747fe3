// What the console the command line runs in can show: whether standard error
// is a terminal (a person watching), and how wide it is.
#pragma once

namespace framestow::cli {

bool standardErrorIsTerminal();
bool standardOutputIsTerminal();

// Columns of the terminal on standard error; 80 when it does not say.
int terminalColumns();

}  // namespace framestow::cli
