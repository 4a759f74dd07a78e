// libFuzzer target for the REGEDIT4 reader: whatever it accepts must write out as text that
// reads back to the same keys and values, and writing that again must give the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/reg_file.h"

namespace {

using tessary::platform::RegHive;
using tessary::platform::RegKeyData;

bool SameValues(const RegKeyData& a, const RegKeyData& b) {
  if (a.values.size() != b.values.size()) return false;
  for (std::size_t i = 0; i < a.values.size(); ++i) {
    const auto& x = a.values[i];
    const auto& y = b.values[i];
    if (x.name != y.name || x.type != y.type || x.data != y.data) return false;
  }
  return true;
}

// Walks both hives from `path` down; false at the first key, name or value that differs.
bool SameTree(const RegHive& a, const RegHive& b, const std::string& path) {
  const RegKeyData* ka = a.FindKey(path);
  const RegKeyData* kb = b.FindKey(path);
  if (!ka || !kb || ka->path != kb->path || !SameValues(*ka, *kb)) return false;
  const auto names = a.SubKeyNames(path);
  if (names != b.SubKeyNames(path)) return false;
  for (const std::string& name : names) {
    if (!SameTree(a, b, path.empty() ? name : path + "\\" + name)) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  RegHive first("HKEY_CURRENT_USER");
  int line = 0;
  std::string problem;
  if (!first.Parse(text, &line, &problem)) return 0;
  const std::string written = first.Write();
  RegHive second("HKEY_CURRENT_USER");
  if (!second.Parse(written, &line, &problem)) std::abort();
  if (!SameTree(first, second, "")) std::abort();
  if (second.Write() != written) std::abort();
  return 0;
}
