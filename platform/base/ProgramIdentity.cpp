#include "ProgramIdentity.h"

namespace {
// Function-local: icons register from static initialisers of other units.
std::string& Name() {
  static std::string name = "korv";
  return name;
}
std::vector<ProgramIconImage>& Icons() {
  static std::vector<ProgramIconImage> icons;
  return icons;
}
}  // namespace

void SetProgramName(std::string_view name) {
  if (!name.empty()) Name() = name;
}

std::string ProgramName() { return Name(); }

void RegisterProgramIcon(const char* fileName, const char* png, std::size_t length) {
  Icons().push_back(ProgramIconImage{fileName, png, length});
}

const std::vector<ProgramIconImage>& ProgramIcons() { return Icons(); }
