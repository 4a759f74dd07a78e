#include "setup_test_machine.h"

#include "support/bvk_registry.h"

namespace tessary::setup::testing {

void SetupMachine::SetUp() { std::filesystem::create_directories(SourceFolder()); }

void SetupMachine::Source(const std::string& name, const std::string& text) const {
  tessary::testing::WriteFileText(name[0] == '/' ? name : SourceFolder() + name, text);
}

std::string SetupMachine::MachineFolder(const std::string& absolute) const {
  return machine_.Root().string() + "/machine" + absolute;
}

std::string SetupMachine::InstallFolder() const { return MachineFolder("/opt/Brenvik/"); }

namespace {

std::string ReadText(HKEY root, const std::string& key, const std::string& name) {
  CBVKRegistry registry;
  if (!registry.OpenKey(root, key, KEY_READ, CBVKRegistry::Create::No)) return "<missing>";
  std::string text;
  if (registry.ReadString(name, &text, {}, CBVKRegistry::Required::Yes)) return text;
  std::uint32_t number = 0;
  if (registry.ReadDWORD(name, &number, 0, CBVKRegistry::Required::Yes)) {
    return std::to_string(number);
  }
  return "<missing>";
}

void WriteText(HKEY root, const std::string& key, const std::string& name,
               const std::string& value) {
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(root, key));
  ASSERT_TRUE(registry.WriteString(name, value));
}

}  // namespace

std::string SetupMachine::RegistryText(bool machine, const std::string& key,
                                       const std::string& name) {
  return ReadText(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key, name);
}

std::string SetupMachine::ClassesText(const std::string& key, const std::string& name) {
  return ReadText(HKEY_CLASSES_ROOT, key, name);
}

void SetupMachine::SetClassesText(const std::string& key, const std::string& name,
                                  const std::string& value) {
  WriteText(HKEY_CLASSES_ROOT, key, name, value);
}

bool SetupMachine::RegistryKeyExists(bool machine, const std::string& key) {
  CBVKRegistry registry;
  return registry.OpenKey(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key, KEY_READ,
                          CBVKRegistry::Create::No);
}

void SetupMachine::SetRegistryText(bool machine, const std::string& key, const std::string& name,
                                   const std::string& value) {
  WriteText(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key, name, value);
}

}  // namespace tessary::setup::testing
