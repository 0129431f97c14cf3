#pragma once
// The real quillmark executable under Xvfb with a home of its own, for the end-to-end tests.
#include <string>

bool Have(const char* tool);
// Quoted for the shell.
std::string Quote(const std::string& s);
std::string ReadFile(const std::string& path);
// Runs Script (sh) under xvfb-run with the program's path in $EXE and Dir in $T, the program's
// home, configuration, data and common folders inside Dir, and a British English locale.
// Returns the script's exit status, -1 when it did not exit.
int RunUnderXvfb(const std::string& dir, const std::string& script);
