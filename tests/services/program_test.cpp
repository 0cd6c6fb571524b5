// linkmill-services as a program: its command line, import and export, and a
// server that stops on a signal and keeps its data across restarts.
#include <gtest/gtest.h>
#include <signal.h>

#include <string>
#include <vector>

#include "services/child_process.h"
#include "services/raw_http.h"
#include "services/temp_dir.h"

namespace linkmill::services {
namespace {

using testing::Finished;
using testing::RawGet;
using testing::RunningServer;
using testing::TempDir;
using testing::WriteFile;

const std::string kProgram = LINKMILL_SERVICES_PROGRAM;
constexpr const char* kBdhdHash = "016E2D91F30162F17D6AE5B19F19F09C";
constexpr const char* kEd2kHash = "0123456789ABCDEF0123456789ABCDEF";
constexpr const char* kOtherEd2kHash = "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF";

std::string BdhdLine(const std::string& bdhd, const std::string& ed2k) {
  return "bdhd\t" + bdhd + "\t" + ed2k + "\n";
}

Finished Services(const std::vector<std::string>& args) {
  return testing::RunProgram(kProgram, args);
}

TEST(Program, HelpAndBadUsage) {
  Finished help = Services({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: linkmill-services"), std::string::npos);

  const std::vector<std::string> bad_usages[] = {
      {"--port", "1"},
      {"import"},
      {"import", "a.tsv", "b.tsv"},
      {"export", "extra"},
      {"serve-now"},
      {"--listen", "127.0.0.1"},
      {"--listen", "127.0.0.1:70000"},
      {"--listen", ":8920"},
      {"--listen"},
      {"--db"},
      {"--db", ""},
      {"import", "--listen", "127.0.0.1:1", "a.tsv"},
  };
  for (const auto& args : bad_usages) {
    Finished r = Services(args);
    EXPECT_EQ(r.status, 2) << args[0];
    EXPECT_NE(r.err.find("linkmill-services: "), std::string::npos) << args[0];
    EXPECT_TRUE(r.out.empty()) << args[0];
  }
}

TEST(Program, ImportIsAllOrNothingAndNamesTheBadLine) {
  TempDir dir;
  const std::string db = dir.File("m.db");
  WriteFile(dir.File("good.tsv"), BdhdLine(kBdhdHash, kEd2kHash));
  ASSERT_EQ(Services({"import", "--db", db, dir.File("good.tsv")}).status, 0);

  // Line 3 is bad; the update on line 2 must not be stored either.
  WriteFile(dir.File("bad.tsv"),
            "# update\n" + BdhdLine(kBdhdHash, kOtherEd2kHash) + BdhdLine("NOT-A-HASH", kEd2kHash));
  Finished bad = Services({"import", "--db", db, dir.File("bad.tsv")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find(dir.File("bad.tsv") + ":3: "), std::string::npos) << bad.err;
  EXPECT_NE(bad.err.find("nothing imported"), std::string::npos) << bad.err;

  Finished exported = Services({"export", "--db", db});
  EXPECT_EQ(exported.status, 0);
  EXPECT_EQ(exported.out, BdhdLine(kBdhdHash, kEd2kHash));

  for (const std::string& unreadable : {dir.File("missing.tsv"), dir.File("")}) {
    Finished r = Services({"import", "--db", db, unreadable});
    EXPECT_EQ(r.status, 1) << unreadable;
    EXPECT_NE(r.err.find("cannot read"), std::string::npos) << unreadable;
  }
}

TEST(Program, ExportWritesGbkLinksBackAsUtf8) {
  TempDir dir;
  const std::string db = dir.File("m.db");
  // A GBK file: the name is 中文.rmvb.
  const std::string link = std::string("bdhd://1|") + kBdhdHash + "|";
  const std::string qvod = "EB2F5E6BE05074D8D2229C9B778D1CFA618E4421";
  WriteFile(dir.File("gbk.tsv"), "qvod\t" + qvod + "\t" + link + "\xD6\xD0\xCE\xC4.rmvb\n");
  Finished imported = Services({"import", "--db", db, dir.File("gbk.tsv")});
  EXPECT_EQ(imported.status, 0) << imported.err;
  EXPECT_NE(imported.out.find("(GBK)"), std::string::npos);
  EXPECT_EQ(Services({"export", "--db", db}).out,
            "qvod\t" + qvod + "\t" + link + "\xE4\xB8\xAD\xE6\x96\x87.rmvb\n");
}

TEST(Program, StopsCleanlyOnSigintAndSigterm) {
  for (int sig : {SIGINT, SIGTERM}) {
    TempDir dir;
    RunningServer server(kProgram, dir.File("m.db"));
    ASSERT_GT(server.port(), 0);
    EXPECT_EQ(RawGet(server.port(), std::string("/f2e?ID=") + kBdhdHash).status, 404);
    EXPECT_EQ(server.SignalAndWait(sig), 0) << sig;
  }
}

TEST(Program, ServesImportsMadeWhileRunningAndKeepsThemAfterAKill) {
  TempDir dir;
  const std::string db = dir.File("m.db");
  const std::string lookup = std::string("/f2e?ID=") + kBdhdHash;
  {
    RunningServer server(kProgram, db);
    ASSERT_GT(server.port(), 0);
    EXPECT_EQ(RawGet(server.port(), lookup).status, 404);
    WriteFile(dir.File("one.tsv"), BdhdLine(kBdhdHash, kEd2kHash));
    ASSERT_EQ(Services({"import", "--db", db, dir.File("one.tsv")}).status, 0);
    EXPECT_EQ(RawGet(server.port(), lookup).body, kEd2kHash);
    EXPECT_EQ(server.SignalAndWait(SIGKILL), 128 + SIGKILL);
  }
  RunningServer restarted(kProgram, db);
  ASSERT_GT(restarted.port(), 0);
  EXPECT_EQ(RawGet(restarted.port(), lookup).body, kEd2kHash);
  EXPECT_EQ(restarted.SignalAndWait(SIGTERM), 0);
}

TEST(Program, FailsWhenThePortIsTaken) {
  TempDir dir;
  RunningServer first(kProgram, dir.File("m.db"));
  ASSERT_GT(first.port(), 0);
  Finished second =
      Services({"--listen", "127.0.0.1:" + std::to_string(first.port()), "--db", dir.File("m.db")});
  EXPECT_EQ(second.status, 1);
  EXPECT_NE(second.err.find("cannot listen"), std::string::npos);
}

}  // namespace
}  // namespace linkmill::services
