// What an upgrade may remove: only what the earlier install created, only inside the folders an
// install writes and only keys well below a hive root, whatever its setup log says; and scripts
// that would write outside their folders or that cannot be read are refused before anything is
// installed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <set>

#include "platform/ui/scripted_ui_host.h"
#include "setup/setup_app.h"
#include "setup/setup_dlg.h"
#include "setup/text.h"
#include "setup_test_machine.h"

namespace tessary::setup {
namespace {

namespace fs = std::filesystem;
using tessary::testing::ReadFileText;
using tessary::testing::WriteFileText;

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class RemovalSafety : public testing::SetupMachine {
 protected:
  void SetUp() override {
    SetupMachine::SetUp();
    ASSERT_TRUE(getcwd(saved_cwd_, sizeof saved_cwd_));
    ASSERT_EQ(chdir(SourceFolder().c_str()), 0);
    platform::SetUiHost(&host_);
    for (const char* name : {"App.exe", "Tool.dll", "New.exe", "Shared.dat"}) Source(name, name);
  }
  void TearDown() override {
    platform::SetUiHost(nullptr);
    ASSERT_EQ(chdir(saved_cwd_), 0);
  }
  int Install(const std::string& script) {
    Source("Files.dat", script);
    return CSetupApp().Run("-silent");
  }
  std::string Log(const std::string& code) const {
    return ReadFileText(InstallFolder() + "Setup" + code + ".log");
  }
  // The texts shown since the count was taken.
  std::string Messages(std::size_t from = 0) const {
    std::string all;
    for (std::size_t i = from; i < host_.Messages().size(); ++i) {
      all += host_.Messages()[i].text + "\n";
    }
    return all.substr(0, 4000);
  }

  platform::ScriptedUiHost host_{"Setup"};
  char saved_cwd_[4096] = {};
};

TEST_F(RemovalSafety, AnUpgradeKeepsKeysThatWereThereAndRemovesOnlyItsValues) {
  SetRegistryText(true, kRunKey, "Other", "other.exe");
  ASSERT_EQ(Install("PROD  Tessary 1.0\nCODE  TY\nFILE  App.exe\n"
                    "REGK  LM$$$Software\\Microsoft\\Windows\\CurrentVersion$$$Run\n"
                    "REGV  LM$$$Software\\Microsoft\\Windows\\CurrentVersion\\Run$$$Tessary$$$x\n"
                    "REGK  LM$$$Software\\TessaryOne$$$Settings\\Deep\n"),
            CSetupApp::kCompleted);
  const std::string log = Log("TY");
  EXPECT_EQ(log.find("REGKEY: LM$$$Software\\Microsoft\\Windows\\CurrentVersion$$$Run"),
            std::string::npos)
      << log;
  // The shallowest key the install created stands for all it created below it.
  EXPECT_NE(log.find("REGKEY: LM$$$Software$$$TessaryOne\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("REGVAL: LM$$$" + std::string(kRunKey) + "$$$Tessary\r\n"), std::string::npos);

  ASSERT_EQ(Install("PROD  Tessary 2.0\nCODE  T2\nPREV  Tessary 1.0\nFILE  New.exe\n"),
            CSetupApp::kCompleted)
      << Messages();
  EXPECT_EQ(RegistryText(true, kRunKey, "Other"), "other.exe");
  EXPECT_EQ(RegistryText(true, kRunKey, "Tessary"), "<missing>");
  EXPECT_FALSE(RegistryKeyExists(true, "Software\\TessaryOne"));
}

TEST_F(RemovalSafety, FoldersTheInstallCreatedGoAndAFolderAlreadyGoneIsNoObstacle) {
  ASSERT_EQ(Install("PROD  Tessary 1.0\nCODE  TY\nSUBF  Bin/Deep\nSUBF  Data\nFILE  App.exe\n"
                    "FILE  Tool.dll$4$Lib/Sub\n"),
            CSetupApp::kCompleted);
  const std::string log = Log("TY");
  for (const char* folder : {"Bin", "Bin/Deep", "Data", "Lib", "Lib/Sub"}) {
    EXPECT_NE(log.find("SUBFOL: " + InstallFolder() + folder + "\r\n"), std::string::npos)
        << folder << "\n"
        << log;
  }
  fs::remove(InstallFolder() + "Data");
  ASSERT_EQ(Install("PROD  Tessary 2.0\nCODE  T2\nPREV  Tessary 1.0\nFILE  New.exe\n"),
            CSetupApp::kCompleted)
      << Messages();
  EXPECT_TRUE(host_.Messages().empty()) << Messages();
  for (const char* folder : {"Bin", "Data", "Lib", "App.exe", "SetupTY.log"}) {
    EXPECT_FALSE(Exists(InstallFolder() + folder)) << folder;
  }
  EXPECT_TRUE(Exists(InstallFolder() + "New.exe"));
}

TEST_F(RemovalSafety, AFileAnotherProductStillListsStays) {
  ASSERT_EQ(Install("PROD  Tessary 1.0\nCODE  TY\nFILE  App.exe\nFILE  Shared.dat\n"),
            CSetupApp::kCompleted);
  ASSERT_EQ(Install("PROD  Other\nCODE  OT\nFILE  Tool.dll\nFILE  Shared.dat\n"),
            CSetupApp::kCompleted);
  ASSERT_EQ(Install("PROD  Tessary 2.0\nCODE  T2\nPREV  Tessary 1.0\nFILE  New.exe\n"),
            CSetupApp::kCompleted);
  EXPECT_FALSE(Exists(InstallFolder() + "App.exe"));
  EXPECT_EQ(ReadFileText(InstallFolder() + "Shared.dat"), "Shared.dat");
  // Once no other product lists it, the next removal takes it.
  ASSERT_EQ(Install("PROD  Other 2\nCODE  O2\nPREV  Other\nFILE  New.exe\n"),
            CSetupApp::kCompleted);
  EXPECT_FALSE(Exists(InstallFolder() + "Shared.dat"));
}

TEST_F(RemovalSafety, ScriptsWithAByteOrderMarkOrInUtf16Install) {
  ASSERT_EQ(Install("\xEF\xBB\xBFPROD  Tessary 1.0\r\nCODE  TY\r\nFILE  App.exe\r\n"),
            CSetupApp::kCompleted);
  EXPECT_NE(Log("TY").find("PROD  : Tessary 1.0\r\n"), std::string::npos);

  // UTF-16, little-endian with its mark, with a name beyond Latin-1.
  const std::string text =
      "PROD  Tessary \xE2\x84\xA2 2.0\r\nCODE  T2\r\nPREV  Tessary 1.0\r\n"
      "FILE  New.exe\r\n";
  std::string utf16 = "\xFF\xFE";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 3, "\xE2\x84\xA2") == 0) {
      utf16 += std::string("\x22\x21", 2);  // U+2122
      i += 2;
      continue;
    }
    utf16 += text[i];
    utf16 += '\0';
  }
  ASSERT_EQ(Install(utf16), CSetupApp::kCompleted) << Messages();
  EXPECT_NE(Log("T2").find("PROD  : Tessary \xE2\x84\xA2 2.0\r\n"), std::string::npos);
  EXPECT_TRUE(Exists(InstallFolder() + "New.exe"));
  EXPECT_FALSE(Exists(InstallFolder() + "App.exe"));  // the earlier product was replaced
}

TEST_F(RemovalSafety, AScriptWhoseNameLinesCannotBeReadIsRefusedBeforeInstalling) {
  std::string utf16_without_mark;
  for (char c : std::string("PROD  Tessary\r\nCODE  TY\r\nFILE  App.exe\r\n")) {
    utf16_without_mark += c;
    utf16_without_mark += '\0';
  }
  for (const std::string& script :
       {utf16_without_mark, std::string("FILE  App.exe\n\xEF\xBB\xBFPROD  Tessary\nCODE  TY\n"),
        std::string("\xFF\xFEP\0R\0O\0D", 9)}) {
    const std::size_t seen = host_.Messages().size();
    EXPECT_EQ(Install(script), CSetupApp::kFailed);
    ASSERT_EQ(host_.Messages().size(), seen + 1) << Messages(seen);
    EXPECT_EQ(
        host_.Messages()[seen].text.rfind("Could not read the install script '" + SourceFolder() +
                                              "Files.dat': its PROD or "
                                              "CODE line is not plain text",
                                          0),
        0u)
        << Messages(seen);
    EXPECT_FALSE(Exists(InstallFolder()));
  }
}

TEST_F(RemovalSafety, NamesLeadingOutOfTheirFolderAreRefusedBeforeInstalling) {
  for (const char* line :
       {"SUBF  ../Escape", "SUBF  Bin/../../Escape", "FILE  Tool.dll$4$../../Escape",
        "PROD  ../../../Escape", "STRT  ../../../../Escape$$$App.exe", "FILE  ../Escape.exe",
        "COPY  ../Escape.dat", "CODE  ../Escape"}) {
    const std::size_t seen = host_.Messages().size();
    EXPECT_EQ(Install(std::string("PROD  Tessary\nCODE  TY\nFILE  App.exe\n") + line + "\n"),
              CSetupApp::kFailed)
        << line;
    ASSERT_EQ(host_.Messages().size(), seen + 1) << line << "\n" << Messages(seen);
    EXPECT_NE(host_.Messages()[seen].text.find("Could not use the name '"), std::string::npos);
    EXPECT_NE(host_.Messages()[seen].text.find("Escape"), std::string::npos);
    EXPECT_FALSE(Exists(InstallFolder())) << line;
  }
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(machine_.Root())) {
    EXPECT_EQ(entry.path().filename().string().find("Escape"), std::string::npos) << entry.path();
  }
}

// --- A hostile setup log: nothing outside the product's folders and keys changes ---

// Every file and folder below the root with its content, but for the product's own folders and
// the registry hives (compared on their own).
std::set<std::string> Listing(const fs::path& root,
                              const std::vector<std::string>& product_folders) {
  std::set<std::string> listing;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    const std::string path = it->path().string();
    bool own = false;
    for (std::string folder : product_folders) {
      while (folder.back() == '/') folder.pop_back();
      own = own || path == folder || path.starts_with(folder + "/");
    }
    const std::string name = it->path().filename().string();
    if (own || name == "Files.dat" || name.starts_with("machine.reg") ||
        name.starts_with("classes.reg") || name.starts_with("user.reg")) {
      if (it->is_directory() && own) it.disable_recursion_pending();
      continue;
    }
    if (it->is_symlink()) {
      listing.insert(path + " -> " + fs::read_symlink(it->path()).string());
      it.disable_recursion_pending();
    } else {
      listing.insert(path + (it->is_directory() ? "/" : " = " + ReadFileText(it->path())));
    }
  }
  return listing;
}

// Each key of every hive and each value line under its key, but for the keys the products own.
std::set<std::string> HiveEntries(const fs::path& root, const std::vector<std::string>& own_keys) {
  std::set<std::string> entries;
  for (const fs::path& hive :
       {root / "machine/var/lib/brenvik/machine.reg", root / "machine/var/lib/brenvik/classes.reg",
        root / "home/.config/brenvik/user.reg"}) {
    std::string key;
    std::string text = ReadFileText(hive);
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      const std::string line = text.substr(start, end - start);
      start = end + 1;
      if (line.starts_with("[")) key = line;
      bool own = false;
      for (const std::string& prefix : own_keys)
        own = own || Upper(key).starts_with(Upper("[" + prefix));
      if (!own && !line.empty()) entries.insert(key + " " + line);
    }
  }
  return entries;
}

// What is only before ("- ") or only after ("+ "), one entry a line.
std::string Changes(const std::set<std::string>& before, const std::set<std::string>& after) {
  std::string changes;
  for (const std::string& entry : before) {
    if (!after.count(entry)) changes += "- " + entry.substr(0, 300) + "\n";
  }
  for (const std::string& entry : after) {
    if (!before.count(entry)) changes += "+ " + entry.substr(0, 300) + "\n";
  }
  return changes;
}

TEST_F(RemovalSafety, AHostileLogChangesNothingOutsideTheProductFolders) {
  // What belongs to others: files and empty folders around the product's folders, keys at and
  // near the hive roots.
  const std::string victims = machine_.Root().string() + "/victim/";
  WriteFileText(victims + "data.txt", "keep");
  fs::create_directories(victims + "empty");
  WriteFileText(MachineFolder("/opt/Other/other.exe"), "other");
  fs::create_directories(MachineFolder("/opt/Other/Empty"));
  WriteFileText(MachineFolder("/var/lib/brenvik/windows/win.ini"), "[windows]");
  WriteFileText(SourceFolder() + "relative.txt", "relative");
  SetRegistryText(true, "SOFTWARE\\Other", "Value", "other");
  SetRegistryText(true, "SOFTWARE", "RootValue", "root");
  SetRegistryText(false, "Software\\Other", "Value", "other");
  SetClassesText(".other", "", "Other.File");
  SetRegistryText(true, kRunKey, "Other", "other.exe");
  SetRegistryText(true, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\other.exe",
                  "Path", "/opt/other");
  SetRegistryText(true, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other",
                  "DisplayName", "Other");
  fs::create_directories(MachineFolder("/usr/local/share/applications"));

  const std::string programs = MachineFolder("/usr/local/share/applications/Brenvik");
  const std::vector<std::string> product_folders = {InstallFolder(), programs};
  const std::vector<std::string> own_keys = {
      "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brenvik",
      "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brenvik",
      "HKEY_CURRENT_USER\\Software\\Brenvik", "HKEY_LOCAL_MACHINE\\Software\\Tessary",
      "HKEY_CURRENT_USER\\Software\\Tessary"};
  const auto files_before = Listing(machine_.Root(), product_folders);
  const auto keys_before = HiveEntries(machine_.Root(), own_keys);

  auto hostile_lines = [&](const std::string& code) {
    // A link inside the product folder that leads out of it.
    fs::create_directory_symlink(victims, InstallFolder() + "link" + code);
    const std::string long_text(2 * 1024 * 1024, 'a');
    return "FOLDER: /\r\nFILE  : " + victims + "data.txt\r\nFILE  : " + InstallFolder() +
           "../Other/other.exe\r\nFILE  : " + InstallFolder() + "link" + code +
           "/data.txt\r\nFILE  : \r\nFILE  : relative.txt\r\nFILE  : " +
           MachineFolder("/var/lib/brenvik/windows/win.ini") + "\r\nSTARTF: " + victims +
           "data.txt\r\nNFILE : " + victims + "data.txt\r\nSUBFOL: " + victims +
           "empty\r\nSUBFOL: " + MachineFolder("/opt/Other/Empty") +
           "\r\nSUBFOL: \r\nSUBFOL: " + InstallFolder() + "\r\nSTART : " + victims +
           "empty/Brenvik\r\nSTART : " + victims +
           "empty\r\nREGKEY: LM$$$$$$SOFTWARE\r\nREGKEY: LM$$$SOFTWARE$$$\r\nREGKEY: "
           "LM$$$$$$\r\nREGKEY: LM$$$SOFTWARE\\$$$Other\r\nREGKEY: LM$$$\\SOFTWARE$$$Other\r\n"
           "REGKEY: \r\nREGVAL: LM$$$$$$RootValue\r\nREGVAL: \r\nREGVAL: LM$$$\r\nFILE  : /" +
           long_text + "\r\nREGKEY: LM$$$SOFTWARE$$$" + long_text + "\r\nSUBFOL: " + long_text +
           "\r\n" + long_text + "\r\n";
  };

  const std::string first =
      "PROD  Tessary 1.0\nCODE  TY\nSUBF  Bin\nFILE  App.exe\nFILE  Tool.dll$4$Lib\n"
      "STRT  Tessary$$$App.exe\nREGV  LM$$$Software\\Tessary$$$Count$$$dword:1\n"
      "REGK  LM$$$Software\\Tessary$$$Settings\n";
  ASSERT_EQ(Install(first), CSetupApp::kCompleted) << Messages();
  WriteFileText(InstallFolder() + "SetupTY.log", Log("TY") + hostile_lines("TY"));

  // The upgrade removes the first product through its hostile log.
  ASSERT_EQ(Install("PROD  Tessary 2.0\nCODE  T2\nPREV  Tessary 1.0\nSUBF  Data\n"
                    "FILE  New.exe\nSTRT  New$$$New.exe\n"
                    "REGV  CU$$$Software\\Tessary$$$Name$$$x\n"),
            CSetupApp::kCompleted)
      << Messages();
  EXPECT_FALSE(Exists(InstallFolder() + "App.exe"));
  EXPECT_FALSE(Exists(InstallFolder() + "Bin"));
  EXPECT_FALSE(Exists(InstallFolder() + "Lib"));
  EXPECT_FALSE(Exists(programs + "/Tessary 1.0"));
  EXPECT_FALSE(RegistryKeyExists(true, "Software\\Tessary\\Settings"));
  ASSERT_EQ(host_.Messages().size(), 1u) << Messages();
  const std::string report = host_.Messages()[0].text;
  EXPECT_EQ(report.rfind("Setup left these entries of the setup log of Tessary 1.0 in place", 0),
            0u);
  EXPECT_NE(report.find(victims + "data.txt"), std::string::npos);
  EXPECT_NE(report.find("REGKEY: LM$$$$$$SOFTWARE"), std::string::npos);
  EXPECT_LT(report.size(), 8000u);

  // And the removal of the second product through its own hostile log.
  WriteFileText(InstallFolder() + "SetupT2.log", Log("T2") + hostile_lines("T2"));
  ASSERT_EQ(Install("PROD  Tessary 3.0\nCODE  T3\nPREV  Tessary 2.0\n"), CSetupApp::kCompleted)
      << Messages();
  EXPECT_FALSE(Exists(InstallFolder() + "New.exe"));
  EXPECT_FALSE(Exists(InstallFolder() + "Data"));
  EXPECT_FALSE(Exists(programs));
  EXPECT_EQ(RegistryText(false, "Software\\Tessary", "Name"), "<missing>");

  EXPECT_EQ(Changes(files_before, Listing(machine_.Root(), product_folders)), "");
  EXPECT_EQ(Changes(keys_before, HiveEntries(machine_.Root(), own_keys)), "");
}

}  // namespace
}  // namespace tessary::setup
