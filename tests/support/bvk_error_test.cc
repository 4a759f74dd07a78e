#include "support/bvk_error.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/hresult.h"
#include "platform/ui/scripted_ui_host.h"
#include "support/error_tables.h"

namespace tessary {
namespace {

using platform::ScriptedUiHost;

std::int32_t Hr(std::uint32_t value) { return static_cast<std::int32_t>(value); }

std::size_t CodesInRows(const error_tables::Table& table) {
  std::size_t codes = 0;
  for (const error_tables::Row& row : table.Rows()) codes += row.codes.size();
  return codes;
}

// --- The tables hold every row and every code of the vocabulary ---

TEST(ErrorTables, AdsiTableHasEveryRowAndCode) {
  const error_tables::Table& table = error_tables::Adsi();
  EXPECT_EQ(table.Rows().size(), 84u);
  EXPECT_EQ(CodesInRows(table), 201u);
  // Every code is indexed once: no code is listed by two rows.
  EXPECT_EQ(table.CodeCount(), 201u);
  EXPECT_EQ(table.DefaultText(), "An unspecified problem occurred.");
}

TEST(ErrorTables, MapiTableHasEveryRowAndCode) {
  const error_tables::Table& table = error_tables::Mapi();
  EXPECT_EQ(table.Rows().size(), 68u);
  EXPECT_EQ(CodesInRows(table), 68u);
  EXPECT_EQ(table.CodeCount(), 68u);
  EXPECT_EQ(table.DefaultText(), "An unknown problem occurred.");
}

TEST(ErrorTables, CdoTableHasEveryRowAndCode) {
  const error_tables::Table& table = error_tables::Cdo();
  EXPECT_EQ(table.Rows().size(), 56u);
  EXPECT_EQ(CodesInRows(table), 56u);
  EXPECT_EQ(table.CodeCount(), 56u);
  EXPECT_EQ(table.DefaultText(), "An unknown problem occurred.");
}

TEST(ErrorTables, EveryRowOfEveryTableListsACode) {
  for (const error_tables::Table* table :
       {&error_tables::Adsi(), &error_tables::Mapi(), &error_tables::Cdo()}) {
    for (const error_tables::Row& row : table->Rows()) {
      EXPECT_FALSE(row.codes.size() == 0) << row.text;
      for (std::uint32_t code : row.codes) EXPECT_EQ(table->Explain(code), row.text);
    }
  }
}

TEST(ErrorTables, AdsiFirstLastAndUnusualRows) {
  EXPECT_EQ(CBVKError::ExplainADSI(0), "The operation completed successfully.");
  EXPECT_EQ(CBVKError::ExplainADSI(Hr(0x80072028)), "Strong authentication is required.");
  for (std::uint32_t code : {5u, 6u, 0x2025u, 0x2026u, 0x80072025u, 0x80072026u}) {
    EXPECT_EQ(CBVKError::ExplainADSI(Hr(code)),
              "The function succeeded, however the attribute and known values do not match.")
        << std::hex << code;
  }
  for (std::uint32_t code : {8u, 90u, 0x80070008u}) {
    EXPECT_EQ(CBVKError::ExplainADSI(Hr(code)), "The system is out of memory.");
  }
  for (std::uint32_t code : {95u, 234u, 0x800700EAu}) {
    EXPECT_EQ(CBVKError::ExplainADSI(Hr(code)), "More results are to be returned.");
  }
  EXPECT_EQ(CBVKError::ExplainADSI(9), "Partial results and referrals received.");
  EXPECT_EQ(CBVKError::ExplainADSI(Hr(0x800401E4)), "The syntax is invalid.");
  EXPECT_EQ(CBVKError::ExplainADSI(Hr(0x80070002)), "Object does not exist.");
  EXPECT_EQ(CBVKError::ExplainADSI(Hr(0x80070057)),
            "The distinguished name has an invalid syntax.");
  EXPECT_EQ(CBVKError::ExplainADSI(Hr(0x8007054B)), "An invalid ADSI path name was encountered.");
  EXPECT_EQ(CBVKError::ExplainADSI(0x5011), "One or more errors occurred.");
  EXPECT_EQ(CBVKError::ExplainADSI(0x5012), "The search operation has reached the last row.");
  EXPECT_EQ(CBVKError::ExplainADSI(0x5013),
            "The search operation has reached the last column for the current row.");
  EXPECT_EQ(CBVKError::ExplainADSI(19),
            "There was a constraint violation.  If you are modifying an attribute, the value for "
            "the attribute may not be in the required format.");
  EXPECT_EQ(CBVKError::ExplainADSI(Hr(0x8000500C)),
            "The ADSI data type cannot be converted to/from a native DS data type.");
  EXPECT_EQ(CBVKError::ExplainADSI(Hr(0x80070718)),
            "Not enough quota: size limit or time limit exceeded.");
}

TEST(ErrorTables, AdsiCodesOutsideTheTableGetTheDefault) {
  for (std::uint32_t code : {14u, 0x2019u, 0x80005011u, 0x80004005u, 98u, 0x5014u}) {
    EXPECT_EQ(CBVKError::ExplainADSI(Hr(code)), "An unspecified problem occurred.")
        << std::hex << code;
  }
}

TEST(ErrorTables, MapiFirstLastAndUnusualRows) {
  EXPECT_EQ(CBVKError::ExplainMAPI(Hr(0x80004002)), "Interface is not supported.");
  EXPECT_EQ(CBVKError::ExplainMAPI(Hr(0x80070057)), "An invalid parameter was specified.");
  EXPECT_EQ(CBVKError::ExplainMAPI(Hr(0x80040119)), "");
  EXPECT_EQ(CBVKError::ExplainMAPI(Hr(0x8004060B)),
            "The source folder directly or indirectly contains the destination folder.");
  EXPECT_EQ(CBVKError::ExplainMAPI(Hr(0x80040404)), "An unknown problem occurred.");
  EXPECT_EQ(CBVKError::ExplainMAPI(Hr(0x80040603)), "An unknown problem occurred.");
  // The ADSI table's codes mean something else here.
  EXPECT_EQ(CBVKError::ExplainMAPI(Hr(0x80072030)), "An unknown problem occurred.");
}

TEST(ErrorTables, CdoFirstLastAndUnusualRows) {
  EXPECT_EQ(CBVKError::ExplainCDO(Hr(0x80040201)), "An exception was generated.");
  EXPECT_EQ(CBVKError::ExplainCDO(Hr(0x800CCE1D)), "The content encoding type is invalid.");
  EXPECT_EQ(CBVKError::ExplainCDO(Hr(0x80040206)),
            "The object is not active. It may have been deleted or it may not have been "
            "openend.");
  EXPECT_EQ(CBVKError::ExplainCDO(Hr(0x80040220)),
            "The 'SendUsing' configuration value is invalid.");
  EXPECT_EQ(CBVKError::ExplainCDO(Hr(0x80044004)), "The fifth argument is invalid.");
  EXPECT_EQ(CBVKError::ExplainCDO(Hr(0x8004021D)), "An unknown problem occurred.");
  EXPECT_EQ(CBVKError::ExplainCDO(Hr(0x80040225)), "An unknown problem occurred.");
}

// --- Text, lines and codes ---

TEST(ErrorRecord, AdsiExplanationFollowsTheSentence) {
  CBVKError error;
  error.SetText("Could not open the object 'X'.");
  error.SetADSIError(E_DS_NO_SUCH_OBJECT);
  EXPECT_EQ(error.Text(), "Could not open the object 'X'.\nObject does not exist. (80072030)");
  EXPECT_EQ(error.Code(), E_DS_NO_SUCH_OBJECT);
}

TEST(ErrorRecord, LdapWin32AndHresultFormsExplainAlike) {
  for (std::uint32_t code : {32u, 0x2030u, 0x80072030u}) {
    CBVKError error;
    error.SetADSIError(Hr(code));
    char expected[64];
    std::snprintf(expected, sizeof expected, "\nObject does not exist. (%x)", code);
    EXPECT_EQ(error.Text(), expected);
  }
}

TEST(ErrorRecord, CodeZeroIsExplainedAndShown) {
  CBVKError error;
  error.SetText("Done.");
  error.SetADSIError(0);
  EXPECT_EQ(error.Text(), "Done.\nThe operation completed successfully. (0)");
}

TEST(ErrorRecord, CodesShowInLowerCaseHexWithoutLeadingZeros) {
  CBVKError error;
  error.SetADSIError(81);
  error.SetADSIError(0x5012);
  error.SetADSIError(Hr(0x8007202B));
  EXPECT_EQ(error.Text(),
            "\nCannot contact the LDAP server. (51)"
            "\nThe search operation has reached the last row. (5012)"
            "\nA referral was returned from the server. (8007202b)");
}

TEST(ErrorRecord, PercentSignsInTheTextStayAsTheyAre) {
  CBVKError error;
  error.SetText("Could not set 'name' to '100%d%s%%'.");
  error.SetADSIError(0x2030);
  EXPECT_EQ(error.Text(), "Could not set 'name' to '100%d%s%%'.\nObject does not exist. (2030)");
}

TEST(ErrorRecord, SetTextReplacesTextAndClearsTheCode) {
  CBVKError error;
  error.SetText("first");
  error.SetADSIError(Hr(0x80005000));
  ASSERT_EQ(error.Code(), Hr(0x80005000));
  error.SetText("second");
  EXPECT_EQ(error.Text(), "second");
  EXPECT_EQ(error.GetText(), "second");
  EXPECT_EQ(error.Code(), 0);
}

TEST(ErrorRecord, AppendedLinesGetExactlyOneLineFeed) {
  CBVKError error;
  error.SetText("one");
  error.AddLine("two");
  error.AddLine("\nthree");
  EXPECT_EQ(error.Text(), "one\ntwo\nthree");
}

TEST(ErrorRecord, AppendingToAnEmptyTextStillStartsANewLine) {
  CBVKError error;
  error.AddLine("only");
  EXPECT_EQ(error.Text(), "\nonly");
}

TEST(ErrorRecord, PrependedLinesGetExactlyOneLineFeed) {
  CBVKError error;
  error.SetText("last");
  error.AddLine("middle", CBVKError::Append::No);
  error.AddLine("first\n", CBVKError::Append::No);
  EXPECT_EQ(error.Text(), "first\nmiddle\nlast");
}

TEST(ErrorRecord, SystemErrorUsesTheSystemText) {
  CBVKError error;
  error.SetText("Could not open 'a'.");
  error.SetSystemError(2);
  EXPECT_EQ(error.Text(), "Could not open 'a'.\nThe system cannot find the file specified. (2)");
  EXPECT_EQ(error.Code(), 2);
}

TEST(ErrorRecord, SystemErrorWithoutSystemTextIsUnknown) {
  CBVKError error;
  error.SetText("x");
  error.SetSystemError(0xABCDE);
  EXPECT_EQ(error.Text(), "x\nAn unknown problem occurred. (abcde)");
  EXPECT_EQ(error.Code(), 0xABCDE);
}

TEST(ErrorRecord, MapiEmptyTextLeavesTheCodeAlone) {
  CBVKError error;
  error.SetText("Could not log on.");
  error.SetMAPIError(Hr(0x80040119));
  EXPECT_EQ(error.Text(), "Could not log on.\n (80040119)");
  EXPECT_EQ(error.Code(), Hr(0x80040119));
}

TEST(ErrorRecord, MapiExtendedErrorGoesBeforeTheCode) {
  CBVKError error;
  error.SetText("Could not open the store.");
  CBVKError::MapiExtendedError extended{"Microsoft Exchange Server", "The server is down."};
  error.SetMAPIError(Hr(0x80040115), &extended);
  EXPECT_EQ(error.Text(),
            "Could not open the store.\nA network problem occurred.\n"
            "Microsoft Exchange Server : The server is down. (80040115)");
}

TEST(ErrorRecord, MapiUnknownCodeGetsTheDefault) {
  CBVKError error;
  error.SetMAPIError(Hr(0x80040999));
  EXPECT_EQ(error.Text(), "\nAn unknown problem occurred. (80040999)");
}

TEST(ErrorRecord, CdoExplanationKeepsThePreviousCode) {
  CBVKError error;
  error.SetText("Mailbox creation failed.");
  error.SetSystemError(5);
  error.SetCDOError(Hr(0x80040218));
  EXPECT_EQ(error.Text(),
            "Mailbox creation failed.\nAccess is denied. (5)\n"
            "The requested resource could not be found. (80040218)");
  EXPECT_EQ(error.Code(), 5);
}

TEST(ErrorRecord, SupportLineIsAppended) {
  CBVKError error;
  error.SetText("An attempt was made to open a registry key without a valid ");
  error.AddLine("starting key.");
  error.AddSupportLine();
  EXPECT_EQ(error.Text(),
            "An attempt was made to open a registry key without a valid \nstarting key.\n"
            "Please contact Brenvik at support@brenvik.example");
}

// --- Message boxes ---

class ErrorBoxes : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetUiHost(&host_); }
  void TearDown() override { platform::SetUiHost(nullptr); }

  const ScriptedUiHost::ShownMessage& Last() const { return host_.Messages().back(); }

  ScriptedUiHost host_{"Tessary Wizard"};
  CBVKError error_;
};

TEST_F(ErrorBoxes, WithoutOwnerTheApplicationTitleIsTheCaption) {
  error_.SetText("Could not do it.");
  EXPECT_EQ(error_.ShowError(), platform::kIdOk);
  ASSERT_EQ(host_.Messages().size(), 1u);
  EXPECT_EQ(Last().caption, "Tessary Wizard");
  EXPECT_EQ(Last().owner_title, "");
  EXPECT_EQ(Last().text, "Could not do it.");
  EXPECT_EQ(Last().type, 16u);
}

TEST_F(ErrorBoxes, OwnerWithTitleOwnsTheBox) {
  platform::Window window{"Import"};
  error_.SetOwner(&window);
  EXPECT_EQ(error_.Caption(), "Import");
  EXPECT_EQ(error_.Owner(), &window);
  error_.SetText("note");
  error_.ShowWarning();
  EXPECT_EQ(Last().caption, "Import");
  EXPECT_EQ(Last().owner_title, "Import");
  EXPECT_EQ(Last().type, 48u);
}

TEST_F(ErrorBoxes, OwnerWithoutTitleFallsBackToTheApplication) {
  platform::Window window{""};
  error_.SetOwner(&window);
  error_.ShowError();
  EXPECT_EQ(Last().caption, "Tessary Wizard");
  EXPECT_EQ(Last().owner_title, "");
}

TEST_F(ErrorBoxes, CaptionWithoutOwnerUsesTheApplicationBox) {
  error_.SetCaption("Setup");
  error_.ShowError();
  EXPECT_EQ(Last().caption, "Tessary Wizard");
}

TEST_F(ErrorBoxes, WarningWithCancelReturnsTheAnswer) {
  host_.QueueAnswer(platform::kIdCancel);
  host_.QueueAnswer(platform::kIdOk);
  EXPECT_EQ(error_.ShowWarning(true), platform::kIdCancel);
  EXPECT_EQ(Last().type, 49u);
  EXPECT_EQ(error_.ShowWarning(true), platform::kIdOk);
}

TEST_F(ErrorBoxes, QuestionsUseTheirTypes) {
  host_.QueueAnswer(platform::kIdRetry);
  host_.QueueAnswer(platform::kIdIgnore);
  host_.QueueAnswer(platform::kIdAbort);
  host_.QueueAnswer(platform::kIdCancel);
  EXPECT_EQ(error_.AskRetry(), platform::kIdRetry);
  EXPECT_EQ(error_.AskAbortRetryIgnore(), platform::kIdIgnore);
  EXPECT_EQ(error_.AskAbortRetryIgnoreStop(), platform::kIdAbort);
  EXPECT_EQ(error_.AskOkCancel(), platform::kIdCancel);
  ASSERT_EQ(host_.Messages().size(), 4u);
  EXPECT_EQ(host_.Messages()[0].type, 21u);
  EXPECT_EQ(host_.Messages()[1].type, 50u);
  EXPECT_EQ(host_.Messages()[2].type, 18u);
  EXPECT_EQ(host_.Messages()[3].type, 49u);
}

}  // namespace
}  // namespace tessary
