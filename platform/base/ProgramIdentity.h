#pragma once
// How the desktop knows the program: the name that groups its windows and matches them to its
// desktop entry (window class, application id), and the icon its windows show. The program sets
// them before its first window; the platform layer's other users (the tests) get its defaults.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The name in the desktop entry's file name; "korv" until the program says otherwise.
void SetProgramName(std::string_view name);
std::string ProgramName();

// One rendering of the program's icon (PNG bytes that live as long as the program), as
// korv_embed_icons registers them at start-up, one per size.
void RegisterProgramIcon(const char* fileName, const char* png, std::size_t length);
struct ProgramIconImage {
  const char* fileName;
  const char* png;
  std::size_t length;
};
const std::vector<ProgramIconImage>& ProgramIcons();
