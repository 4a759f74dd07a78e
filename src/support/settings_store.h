#pragma once
// The product's settings store, the current user's Software\Brenvik\Tessary, and what its
// readers share.

#include <string>

#include "support/bvk_registry.h"

namespace tessary {

inline constexpr char kSettingsKey[] = "Software\\Brenvik\\Tessary";

// A stored value replaces *flag or *text only when it is there and readable.
void ReadSettingFlag(CBVKRegistry& registry, const char* name, bool* flag);
void ReadSettingText(CBVKRegistry& registry, const char* name, std::string* text);

// The process's current folder with a trailing '/', or "" when it cannot be read: where the
// default files of the settings are.
std::string CurrentFolder();

}  // namespace tessary
