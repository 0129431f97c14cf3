// The registry store's file parser: any bytes either fail to parse or give a tree that the
// writer turns into text which parses back to the same tree and the same text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "RegistryStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const String root = u"HKEY_CURRENT_USER";
  std::string bytes(reinterpret_cast<const char*>(data), size);
  regfile::Key tree;
  if (!regfile::Parse(bytes, root, tree)) {
    if (!tree.keys.empty() || !tree.values.empty()) std::abort();
    return 0;
  }
  std::string text = regfile::Serialize(tree, root);
  regfile::Key again;
  if (!regfile::Parse(text, root, again) || !(again == tree)) std::abort();
  if (regfile::Serialize(again, root) != text) std::abort();
  return 0;
}
