#pragma once
// Ending the program at once. Some decisions end the process on the spot with exit code 0 (login
// cancelled, a machine the server does not know, a customer selection closed without a choice, Yes to
// the close question): nothing further runs and nothing is sent to the server. Tests install an ender
// that records the code instead; the caller then returns as if the process had gone.

#include <functional>

namespace tarvik {

using ProcessEnder = std::function<void(int exitCode)>;

// Installs the ender; returns the one it replaces. The default flushes standard output and ends the
// process with _exit.
ProcessEnder setProcessEnder(ProcessEnder ender);

void endProcess(int exitCode);

} // namespace tarvik
