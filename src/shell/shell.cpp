#include "shell/shell.h"

// The runner itself arrives with the startup-runner work; start-up already calls these at
// the right moment, so wiring it in later changes nothing else.
void Shell::RunStartupFolders() {}

void Shell::RunRegistryKeys() {}
