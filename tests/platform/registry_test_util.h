#pragma once
// Helpers for tests that go through the hive files.

#include <filesystem>
#include <functional>
#include <string>

#include "platform/registry.h"

namespace tessary::platform {

std::uint32_t SetText(const RegKey& key, const std::string& name, const std::string& text);

// Runs body in a child process under an unprivileged user when this process is root (root
// ignores file permissions), else in this process; returns body's result, or -1 when the
// child could not be run.
int RunUnprivileged(const std::function<int()>& body);

// Lets the unprivileged user of RunUnprivileged reach everything below folder.
void MakeReadableByAll(const std::filesystem::path& folder);

}  // namespace tessary::platform
