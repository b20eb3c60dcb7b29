// The console as a Windows program under wine: start-up lines and exit
// statuses, and the frames and replies of a short session. Windows' text mode
// turns CR LF typed into LF, and every line feed printed into CR LF.
#include <ostream>
#include <string>
#include <vector>

#include "wine_session.h"

namespace {

class WineStartup : public WineConsoleTest, public ::testing::WithParamInterface<startup_case> {};

TEST_P(WineStartup, PrintsOneMessageAndEnds) {
  const startup_case& c = GetParam();
  remove_app_path();
  if (c.driver != nullptr) install_driver(c.driver);
  write_script(c.script);
  run_to_exit(c.arguments);
  EXPECT_EQ(child.out, crlf(c.output));
  EXPECT_EQ(child.exit_status, c.status);
  EXPECT_EQ(child.err, "");
  EXPECT_EQ(log(), c.calls);
}

INSTANTIATE_TEST_SUITE_P(
    Wine, WineStartup,
    ::testing::Values(
        startup_case{"NoLibraryNoArguments", nullptr, "", {}, banner + not_found, 1, {}},
        startup_case{"OneArgument", RECORDING_DRIVER, "", {"LON1"}, banner + usage, 2, {}},
        startup_case{"ShortNeuronId",
                     RECORDING_DRIVER,
                     "",
                     {"LON1", "8000000180"},
                     banner + "NeuronId zu kurz\n",
                     1,
                     {}},
        startup_case{"OpenFails",
                     RECORDING_DRIVER,
                     "open 3\n",
                     {"Pma7-0Mip0", router_id, "status"},
                     banner + "ldv_open(LDV/\\\\.\\Pma7-0Mip0)=3\n",
                     1,
                     {"ldv_open LDV/\\\\.\\Pma7-0Mip0 = 3"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WineConsoleTest, SendsFramesAndPrintsRepliesAsTheyArrive) {
  remove_app_path();
  install_driver(RECORDING_DRIVER);
  write_script(
      "on-write 1 hex:18 11 41 08 03 02 00 00 00 00 80 00 00 01 80 f7 12 00 07\n"  // not text
      "on-write 1 text:pong\\r\\n\n"
      "on-write 2 text:no line feed\n");
  start({"LDV/LON2", "80 00 00 01 80 F7", "ping"});
  const std::string started =
      banner + "ldv_open(LDV/LON2)=0\nldv_get_version()=Recording driver 1.0\n";
  ASSERT_TRUE(read_output_until(child, "pong", 30s)) << child.out;

  // Standard input stays open: a reply cannot be waiting for the end of
  // the program or of its input.
  write_input(child, "status\r\n");
  ASSERT_TRUE(read_output_until(child, "no line feed", 10s)) << child.out;
  // The driver's CR LF passes through text mode as CR CR LF.
  EXPECT_EQ(child.out, crlf(started) + "pong\r\r\nno line feed");

  write_input(child, "a\rb\n\nlast");
  close_input(child);
  ASSERT_TRUE(wait_for_writes(5, 10s));
  EXPECT_FALSE(wait_for_exit(child, 300ms)) << "ended with status " << child.exit_status;
  const std::vector<std::string> frames = frames_written();
  const std::vector<std::string> texts = {"ping\n", "status\n", "a\rb\n", "\n", "last"};
  ASSERT_EQ(frames.size(), texts.size());
  for (std::size_t i = 0; i < frames.size(); ++i) {
    SCOPED_TRACE("frame " + std::to_string(i + 1));
    EXPECT_EQ(checked_frame_text(frames[i], static_cast<unsigned>(i + 1)), texts[i]);
  }
  const std::vector<std::string> calls = log();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[0], "ldv_open LDV/LON2 = 0");
  EXPECT_EQ(calls[1], "ldv_register 0");
  EXPECT_EQ(child.err, "");
}

TEST_F(WineConsoleTest, TheSimulatedRouterAnswersBesideTheProgram) {
  remove_app_path();
  install_driver(WINDOWS_SIMNET);
  start({"LON1", router_id, "status"});
  ASSERT_TRUE(read_output_until(child, "Laufzeit", 30s)) << child.out;
  write_input(child, "echo Hallo Welt\r\n");
  ASSERT_TRUE(read_output_until(child, "Hallo Welt\r\r\n", 10s)) << child.out;
  EXPECT_EQ(child.out.rfind(crlf(banner + "ldv_open(LDV/\\\\.\\LON1)=0\n"
                                          "ldv_get_version()=LON-Netzwerk-Simulation 1.0\n"),
                            0),
            0u);
  EXPECT_NE(child.out.find("Router 8000000180F7 an LON1: bereit\r\r\n"), std::string::npos);
  EXPECT_EQ(child.err, "");
}

}  // namespace
