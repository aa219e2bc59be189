#pragma once
// The engine's diagnostics: debug traces (the platform's trace sink) and standard-error lines.

// printf-style; a trailing newline is dropped, as the trace sink ends every line itself.
void EngineTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void EngineError(const char* format, ...) __attribute__((format(printf, 1, 2)));
