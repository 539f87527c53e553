#include <gtest/gtest.h>

#include <sstream>

#include "TempDir.h"
#include "app/CDialogModel.h"
#include "app/CMailHostDlg.h"
#include "cli/CArgScanner.h"
#include "cli/CCliDateValue.h"
#include "cli/CCliMain.h"
#include "cli/CCliSession.h"
#include "cli/CCliUi.h"

namespace {

TEST(ArgScanner, QuotesGroupAndRestIsTakenUnchanged) {
  CArgScanner args("row 1 \"Package Name\"  vim \"x\"");
  EXPECT_EQ(args.Next().value(), "row");
  EXPECT_EQ(args.Next().value(), "1");
  EXPECT_EQ(args.Next().value(), "Package Name");
  // One blank separates; the second blank belongs to the term.
  EXPECT_EQ(args.Rest().value(), " vim \"x\"");
  EXPECT_TRUE(args.AtEnd());
  EXPECT_FALSE(args.Next().has_value());

  CArgScanner empty("set-setting S \"\" ");
  empty.Next();
  empty.Next();
  EXPECT_EQ(empty.Next().value(), "");
  EXPECT_FALSE(empty.Rest().has_value());

  EXPECT_EQ(EscapeLine("a\nb\rc\td\\e"), "a\\nb\\rc\\td\\\\e");
}

// A dialog the CLI has no text answer for ignores the text.
struct PlainDialog : CDialogModel {
  const char* Kind() const override { return "plain"; }
  std::string Caption() const override { return "Plain"; }
};

TEST(CliUi, MessagesAreOneLineAndQuestionsTakeQueuedAnswers) {
  std::ostringstream err;
  CCliUi ui(err, {});
  EXPECT_EQ(ui.MessageBox("two\nlines", "Cap", MsgButtons::Ok, MsgIcon::None), MsgAnswer::Ok);
  EXPECT_EQ(err.str(), "message: Cap: two\\nlines\n");

  // No answer queued and no terminal: cancelled.
  EXPECT_EQ(ui.MessageBox("q", "C", MsgButtons::YesNoCancel, MsgIcon::Question), MsgAnswer::Cancel);
  ui.QueueAnswer({CliAnswer::No, ""});
  ui.QueueAnswer({CliAnswer::Yes, ""});
  EXPECT_EQ(ui.MessageBox("q", "C", MsgButtons::YesNoCancel, MsgIcon::Question), MsgAnswer::No);
  EXPECT_EQ(ui.MessageBox("q", "C", MsgButtons::YesNo, MsgIcon::Question), MsgAnswer::Yes);

  // A refused OK leaves the dialog open for the next answer.
  // The text goes where the dialog's type says (the mail host's one box).
  CMailHostDlg dialog("old");
  ui.QueueAnswer({CliAnswer::Text, ""});
  ui.QueueAnswer({CliAnswer::Text, "second"});
  EXPECT_TRUE(ui.RunDialog(dialog));
  EXPECT_EQ(dialog.text, "second");
  CMailHostDlg refused("old");
  ui.QueueAnswer({CliAnswer::Text, ""});
  EXPECT_FALSE(ui.RunDialog(refused));
  PlainDialog plain;
  ui.QueueAnswer({CliAnswer::Text, "ignored"});
  EXPECT_TRUE(ui.RunDialog(plain));

  // On a terminal the question is asked.
  std::ostringstream err2;
  CCliUi asking(err2, [](const std::string&) { return std::optional<std::string>("text typed"); });
  CMailHostDlg typed("");
  EXPECT_TRUE(asking.RunDialog(typed));
  EXPECT_EQ(typed.text, "typed");
}

struct CliFixture : ::testing::Test {
  TempDir dir;
  ScopedEnv config{"XDG_CONFIG_HOME", dir.Path().c_str()};
  ScopedEnv tmp{"TEMP", dir.Path().c_str()};

  int Run(std::vector<std::string> args, const std::string& input, std::string& out,
          std::string& err) {
    std::vector<char*> argv;
    static char prog[] = "tamsel-cli";
    argv.push_back(prog);
    for (auto& a : args) {
      argv.push_back(a.data());
    }
    std::istringstream in(input);
    std::ostringstream o, e;
    int status = RunTamselCli(static_cast<int>(argv.size()), argv.data(), in, o, e, false);
    out = o.str();
    err = e.str();
    return status;
  }
};

TEST_F(CliFixture, SettingsRoundTripThroughCommands) {
  std::string out, err;
  EXPECT_EQ(Run({"-c", "set-setting \"Default URL Section\" \"Default URL:\"  http://h/c.tcf", "-c",
                 "get-setting \"Default URL Section\" \"Default URL:\"", "-c",
                 "set-setting Options Splash 1x", "-c", "get-setting Options Splash", "-c",
                 "get-setting Options Nothing"},
                "", out, err),
            0)
      << err;
  EXPECT_EQ(out, " http://h/c.tcf\n1\n\n");
  EXPECT_EQ(err, "");
  // The GUI's file: same place, same entries.
  EXPECT_NE(ReadWholeFile(dir.Path() + "/Vandrel/Tamsel.conf").find("Splash"), std::string::npos);
}

TEST_F(CliFixture, ExitStatusAndCommandSources) {
  std::string out, err;
  // An unknown command fails the run, the rest still runs.
  EXPECT_EQ(Run({"-c", "bogus", "-c", "get-setting Options Kiosk"}, "", out, err), 1);
  EXPECT_EQ(err, "error: unknown command: bogus\n");
  EXPECT_EQ(out, "\n");

  EXPECT_EQ(Run({"-c", "get-setting Options"}, "", out, err), 1);
  EXPECT_NE(err.find("error: usage: get-setting SECTION ENTRY"), std::string::npos);

  // Standard input: blank and "#" lines skipped, quit ends.
  EXPECT_EQ(
      Run({}, "\n# comment\nset-setting A B c\nget-setting A B\nquit\nget-setting A B\n", out, err),
      0);
  EXPECT_EQ(out, "c\n");

  std::string cmds = dir.Write("cmds", "get-setting A B\r\n");
  EXPECT_EQ(Run({"-f", cmds}, "", out, err), 0);
  EXPECT_EQ(out, "c\n");

  EXPECT_EQ(Run({"-f"}, "", out, err), 2);
  EXPECT_EQ(Run({"--bogus"}, "", out, err), 2);
  EXPECT_EQ(Run({"-f", dir.File("missing")}, "", out, err), 2);
  EXPECT_EQ(Run({"a.tcf", "b.tcf"}, "", out, err), 2);

  EXPECT_EQ(Run({"--help"}, "", out, err), 0);
  EXPECT_NE(out.find("get-setting SECTION ENTRY"), std::string::npos);
  EXPECT_NE(out.find("lex PATH"), std::string::npos);
}

TEST_F(CliFixture, AnswerCommandValidatesItsWords) {
  std::string out, err;
  EXPECT_EQ(
      Run({"-c", "answer yes", "-c", "answer text  two blanks", "-c", "answer ok"}, "", out, err),
      0)
      << err;
  EXPECT_EQ(Run({"-c", "answer maybe"}, "", out, err), 1);
  EXPECT_EQ(Run({"-c", "answer yes please"}, "", out, err), 1);
}

}  // namespace

namespace {

TEST(CliDateValue, IsoFormsBecomeTheDialogsFormsAndOthersAreRefused) {
  EXPECT_EQ(CCliDateValue::DialogAnswer("2022-03").value_or("?"), "March 2022");
  EXPECT_EQ(CCliDateValue::DialogAnswer("2024-02-29").value_or("?"), "February 29, 2024");
  EXPECT_EQ(CCliDateValue::DialogAnswer("2022-03-05").value_or("?"), "March 5, 2022");
  // Taken as typed: the dialog reads them itself.
  for (const char* kept : {"2022", "98", "-5", "open", "Specify", "march 2022", "March 15, 2022",
                           " March  15 , 2022"}) {
    EXPECT_TRUE(CCliDateValue::DialogAnswer(kept).has_value()) << kept;
  }
  for (const char* refused :
       {"", "3/2022", "2022-3", "2022-00", "2022-13", "2023-02-29", "2022-04-31", "2022-03-15T10",
        "March", "Marc 2022", "March 32, 2022", "March x, 2022", "15 March 2022", "1e3"}) {
    EXPECT_FALSE(CCliDateValue::DialogAnswer(refused).has_value()) << refused;
  }
}

TEST(CliHelp, HelpExplainsCommandsAndTyposGetTheNearestName) {
  EXPECT_EQ(CCliSession::NearestCommand("serch"), "search");
  EXPECT_EQ(CCliSession::NearestCommand("conect"), "connect");
  EXPECT_EQ(CCliSession::NearestCommand("xyzzy"), "");

  TempDir dir;
  ScopedEnv config{"XDG_CONFIG_HOME", dir.Path().c_str()};
  std::ostringstream out, err;
  CCliSession session(out, err);
  EXPECT_EQ(session.Execute("help search"), kCommandOk);
  EXPECT_EQ(out.str(), "usage: search\npress Search and wait\n");
  out.str("");
  EXPECT_EQ(session.Execute("help"), kCommandOk);
  EXPECT_NE(out.str().find("  connect NAME "), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("  help [COMMAND] "), std::string::npos) << out.str();

  // Scripts get the plain error line; a terminal also the suggestion.
  EXPECT_EQ(session.Execute("serch"), kCommandError);
  session.SetInteractive(true);
  EXPECT_EQ(session.Execute("serch"), kCommandError);
  EXPECT_EQ(err.str(),
            "error: unknown command: serch\n"
            "error: unknown command: serch (did you mean search?)\n");
}

}  // namespace
