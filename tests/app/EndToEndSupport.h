#pragma once
// What the tests that start the real quillmark executable share.
#include <string>

// Whether a tool is on PATH.
bool Have(const char* tool);
// s quoted for sh.
std::string Quote(const std::string& s);
// The whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);
