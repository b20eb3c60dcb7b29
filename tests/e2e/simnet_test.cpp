// The console against the simulated network interface that ships beside it.
#include <string>

#include "console_session.h"

namespace {

TEST_F(ConsoleTest, TheSimulatedRouterAnswersTypedCommands) {
  install_driver(SIMNET_DRIVER);
  start({"LON1", router_id, "status"});
  ASSERT_TRUE(read_output_until(child, " Befehle\r\n"));
  write_input(child, "help\r\n");
  ASSERT_TRUE(read_output_until(child, "echo TEXT\r\n"));
  // The third command also brings a message that is not a text frame.
  write_input(child, "echo Hallo Welt\nfoo\n");
  ASSERT_TRUE(read_output_until(child, "Unbekannter Befehl: foo\r\n"));

  // The uptime is the one figure that varies.
  std::string out = child.out;
  const std::size_t uptime = out.find("Laufzeit ");
  ASSERT_NE(uptime, std::string::npos);
  out.replace(uptime, out.find(" s,", uptime) - uptime, "Laufzeit N");
  EXPECT_EQ(out, banner +
                     "ldv_open(LDV/\\\\.\\LON1)=0\n"
                     "ldv_get_version()=LON-Netzwerk-Simulation 1.0\n"
                     "Router 8000000180F7 an LON1: bereit\r\n"
                     "Laufzeit N s, 1 Befehle\r\n"
                     "Befehle: help, status, version, echo TEXT\r\n"
                     "Hallo Welt\r\n"
                     "Unbekannter Befehl: foo\r\n");
  EXPECT_EQ(child.err, "");
}

TEST_F(ConsoleTest, TheSimulatedRouterIgnoresOtherNodes) {
  install_driver(SIMNET_DRIVER);
  start({"LON2", "010203040506", "status"});
  write_input(child, "help\n");
  EXPECT_FALSE(read_output_until(child, "\r\n", 500ms));
  stop_process(child);
  EXPECT_EQ(child.out, banner +
                           "ldv_open(LDV/\\\\.\\LON2)=0\n"
                           "ldv_get_version()=LON-Netzwerk-Simulation 1.0\n");
}

TEST_F(ConsoleTest, TheSimulatedInterfaceRefusesUnknownPorts) {
  install_driver(SIMNET_DRIVER);
  run_to_exit({"LON5", router_id});
  EXPECT_EQ(child.out, banner + "ldv_open(LDV/\\\\.\\LON5)=2\n");
  EXPECT_EQ(child.exit_status, 1);
}

}  // namespace
