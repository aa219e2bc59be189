#pragma once
// Starting another program and waiting for it. The arguments go to the program exactly as given:
// there is never a shell in between, so no quoting, expansion or redirection happens.

#include <string>
#include <vector>

enum class ProcessOutput {
    // The program shares the viewer's standard input and output.
    Shared,
    // Standard input, output and error are /dev/null: nothing shows and nothing waits for input,
    // as for a program started hidden.
    Hidden,
};

// arguments[0] names the program: a path when it holds a '/', else it is looked up in PATH.
// Returns true when the program ran to its end, with its exit code (128 plus the signal number when
// a signal ended it). Returns false when it could not be started, with errno telling why (ENOENT for
// a missing program, EINVAL for an empty argument list).
bool RunProcessAndWait(const std::vector<std::wstring>& arguments, ProcessOutput output, int& exitCode);
