#include "setup/setup_log.h"

#include <gtest/gtest.h>

namespace tessary::setup {
namespace {

TEST(SetupLogNames, CodeComesFromTheNameInAnyCase) {
  std::string code;
  EXPECT_TRUE(IsSetupLogName("SetupTY.log", &code));
  EXPECT_EQ(code, "TY");
  EXPECT_TRUE(IsSetupLogName("sEtUpTY.LoG", &code));
  EXPECT_EQ(code, "TY");
  EXPECT_TRUE(IsSetupLogName("Setup.log", &code));
  EXPECT_EQ(code, "");
  EXPECT_FALSE(IsSetupLogName("SetupTY.txt", &code));
  EXPECT_FALSE(IsSetupLogName("MySetupTY.log", &code));
  EXPECT_FALSE(IsSetupLogName("SetupTYlog", &code));
  EXPECT_FALSE(IsSetupLogName("Setup", &code));
}

TEST(SetupLogReading, EachTagFillsItsSetAndRepeatsCollapse) {
  InstalledProduct product;
  std::string parent;
  ReadLogLines({"PROD  : Tessary 1.0", "FOLDER: /opt/Brenvik", "NFILE : /opt/Brenvik/Old.exe",
                "NFILE : /opt/Brenvik/Uninst.exe", "SUBFOL: /opt/Brenvik/Bin",
                "FILE  : /opt/Brenvik/a.exe", "FILE  : /opt/Brenvik/a.exe", "REGVAL: LM$$$K$$$V",
                "REGKEY: CU$$$Software$$$X", "INFO  : ignored", "START : /apps/Brenvik/Tessary 1.0",
                "STARTF: /apps/Brenvik/Tessary 1.0/Run.desktop", "PROD  : Tessary 2.0", "JUNK"},
               &product, &parent);
  EXPECT_EQ(product.name, "Tessary 2.0");
  EXPECT_EQ(product.files, (std::set<std::string>{"/opt/Brenvik/Old.exe", "/opt/Brenvik/a.exe",
                                                  "/apps/Brenvik/Tessary 1.0/Run.desktop"}));
  EXPECT_EQ(product.folders,
            (std::set<std::string>{"/opt/Brenvik/Bin", "/apps/Brenvik/Tessary 1.0"}));
  EXPECT_EQ(product.registry_values, std::set<std::string>{"LM$$$K$$$V"});
  EXPECT_EQ(product.registry_keys, std::set<std::string>{"CU$$$Software$$$X"});
  EXPECT_EQ(parent, "/apps/Brenvik");
}

TEST(SetupLogReading, StartFolderAtTheRootRemembersNoParent) {
  InstalledProduct product;
  std::string parent = "unchanged";
  ReadLogLines({"START : /Brenvik"}, &product, &parent);
  EXPECT_EQ(parent, "unchanged");
}

TEST(SetupLogProtection, SharedFilesAndMakerKeysAreKept) {
  InstalledProduct product;
  product.files = {"/o/ExtMain.dll",     "/o/extbase.DLL", "/o/Comp.dat", "/o/uninst.exe",
                   "/o/SetupTY.log.old", "/o/setup.log",   "/o/App.exe"};
  product.registry_keys = {"LM$$$Software\\App Paths$$$Brenvik", "LM$$$Software$$$Other"};
  product.registry_values = {"LM$$$Ext$$$brenvik", "CU$$$Software$$$Value"};
  ProtectSharedEntries(&product);
  EXPECT_EQ(product.files, (std::set<std::string>{"/o/SetupTY.log.old", "/o/App.exe"}));
  EXPECT_EQ(product.registry_keys, std::set<std::string>{"LM$$$Software$$$Other"});
  EXPECT_EQ(product.registry_values, std::set<std::string>{"CU$$$Software$$$Value"});
}

}  // namespace
}  // namespace tessary::setup
