// Start-up as the user sees it: what is printed, the exit status, and which
// driver calls were made.
#include <ostream>
#include <string>
#include <vector>

#include "console_session.h"

namespace {

const std::string long_port(252, 'P');  // one more than port_name holds

class StartupFailure : public ConsoleTest, public ::testing::WithParamInterface<startup_case> {};

TEST_P(StartupFailure, PrintsOneMessageAndEnds) {
  const startup_case& c = GetParam();
  if (c.driver != nullptr) install_driver(c.driver);
  write_script(c.script);
  run_to_exit(c.arguments);
  EXPECT_EQ(child.out, c.output);
  EXPECT_EQ(child.exit_status, c.status);
  EXPECT_EQ(child.err, "");
  EXPECT_EQ(log(), c.calls);
}

INSTANTIATE_TEST_SUITE_P(
    Console, StartupFailure,
    ::testing::Values(
        startup_case{"NoLibraryNoArguments", nullptr, "", {}, banner + not_found, 1, {}},
        startup_case{"NoLibrary", nullptr, "", {"LON1", router_id}, banner + not_found, 1, {}},
        startup_case{"LibraryWithoutClose",
                     RECORDING_DRIVER_WITHOUT_CLOSE,
                     "",
                     {"LON1", router_id},
                     banner + not_found,
                     1,
                     {}},
        startup_case{"NoArguments", RECORDING_DRIVER, "", {}, banner + usage, 2, {}},
        startup_case{"OneArgument", RECORDING_DRIVER, "", {"LON1"}, banner + usage, 2, {}},
        startup_case{"ShortNeuronId",
                     RECORDING_DRIVER,
                     "",
                     {"LON1", "8000000180"},
                     banner + "NeuronId zu kurz\n",
                     1,
                     {}},
        startup_case{"EmptyNeuronId",
                     RECORDING_DRIVER,
                     "",
                     {"LON1", ""},
                     banner + "NeuronId zu kurz\n",
                     1,
                     {}},
        startup_case{"PortTooLong",
                     RECORDING_DRIVER,
                     "",
                     {long_port, router_id},
                     banner + "LonPort zu lang\n",
                     1,
                     {}},
        startup_case{"PortTooLongBeforeNeuronId",
                     RECORDING_DRIVER,
                     "",
                     {long_port, "80"},
                     banner + "LonPort zu lang\n",
                     1,
                     {}},
        startup_case{"OpenFails",
                     RECORDING_DRIVER,
                     "open 3\n",
                     {"Pma7-0Mip0", router_id, "status"},
                     banner + "ldv_open(LDV/\\\\.\\Pma7-0Mip0)=3\n",
                     1,
                     {"ldv_open LDV/\\\\.\\Pma7-0Mip0 = 3"}},
        startup_case{"OpenFailsNegative",
                     RECORDING_DRIVER,
                     "open -7\n",
                     {"LDV/" + std::string(300, 'x'), router_id},
                     banner + "ldv_open(LDV/" + std::string(300, 'x') + ")=-7\n",
                     1,
                     {"ldv_open LDV/" + std::string(300, 'x') + " = -7"}}),
    [](const auto& info) { return std::string(info.param.name); });

// After a successful start the program never ends on its own.
struct started_case {
  const char* name;
  const char* driver;
  std::vector<std::string> arguments;
  std::string open_line;
};

// Names the case in test output rather than dumping its bytes.
void PrintTo(const started_case& c, std::ostream* out) { *out << c.name; }

class StartupSuccess : public ConsoleTest, public ::testing::WithParamInterface<started_case> {};

TEST_P(StartupSuccess, OpensRegistersAndKeepsRunningAfterEndOfInput) {
  const started_case& c = GetParam();
  install_driver(c.driver);
  start(c.arguments);
  close_input(child);
  const std::string expected = banner + c.open_line + "ldv_get_version()=Recording driver 1.0\n";
  ASSERT_TRUE(read_output_until(child, expected));
  EXPECT_FALSE(wait_for_exit(child, 500ms)) << "ended with status " << child.exit_status;
  EXPECT_EQ(child.out, expected);
  EXPECT_EQ(child.err, "");
  const std::vector<std::string> calls = log();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[1], "ldv_register 0");
  EXPECT_EQ(calls[2], "ldv_get_version");
}

INSTANTIATE_TEST_SUITE_P(
    Console, StartupSuccess,
    ::testing::Values(started_case{"BareName",
                                   RECORDING_DRIVER,
                                   {"LON1", router_id},
                                   "ldv_open(LDV/\\\\.\\LON1)=0\n"},
                      started_case{"LdvNameUnchanged",
                                   RECORDING_DRIVER,
                                   {"LDV/LON2", router_id},
                                   "ldv_open(LDV/LON2)=0\n"},
                      started_case{"LowerCaseLdvPrefixed",
                                   RECORDING_DRIVER,
                                   {"ldv/LON2", router_id},
                                   "ldv_open(LDV/\\\\.\\ldv/LON2)=0\n"},
                      started_case{"LongestBareName",
                                   RECORDING_DRIVER,
                                   {std::string(251, 'P'), router_id},
                                   "ldv_open(LDV/\\\\.\\" + std::string(251, 'P') + ")=0\n"},
                      started_case{"ExtraExportBinds",
                                   RECORDING_DRIVER_EXTRA_EXPORT,
                                   {"LON1", "80 00 00 01 80 F7", "first", "ignored"},
                                   "ldv_open(LDV/\\\\.\\LON1)=0\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
