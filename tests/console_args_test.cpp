#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "../console/console.h"

namespace {

TEST(ParseNeuronId, ReadsSixHexFieldsOfAtMostTwoDigits) {
  struct Case {
    const char* argument;
    bool parsed;
    neuron_id id;
  };
  const Case cases[] = {
      {"8000000180F7", true, {0x80, 0x00, 0x00, 0x01, 0x80, 0xF7}},
      {"80 00 00 01 80 F7", true, {0x80, 0x00, 0x00, 0x01, 0x80, 0xF7}},
      {"8000000180f7", true, {0x80, 0x00, 0x00, 0x01, 0x80, 0xF7}},
      {"8000000180F", true, {0x80, 0x00, 0x00, 0x01, 0x80, 0x0F}},     // eleven digits
      {"8000000180F7AB", true, {0x80, 0x00, 0x00, 0x01, 0x80, 0xF7}},  // fourteen
      {"8000000180", false, {}},                                       // ten
      {"", false, {}},
      {"80000001G0F7", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument);
    neuron_id id{};
    ASSERT_EQ(parse_neuron_id(c.argument, id), c.parsed);
    if (!c.parsed) continue;
    for (std::size_t i = 0; i < id.size(); ++i) EXPECT_EQ(id[i] & 0xFF, c.id[i]) << "field " << i;
  }
}

TEST(ParseNeuronId, AgreesWithTheCLibraryOnSignsAndSingleDigits) {
  const char* arguments[] = {"-1+2-3+4-5+6", "1 2 3 4 5 6", "+F-F+F-F0102", "\t80\n00 00 01 80 F7"};
  for (const char* argument : arguments) {
    SCOPED_TRACE(argument);
    unsigned v[6] = {};
    const int fields =
        std::sscanf(argument, "%02X%02X%02X%02X%02X%02X", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]);
    neuron_id id{};
    ASSERT_EQ(parse_neuron_id(argument, id), fields == 6);
    for (std::size_t i = 0; i < id.size(); ++i) EXPECT_EQ(id[i], v[i]);
  }
}

TEST(ChoosePortName, PrefixesABareNameAndPassesLdvNames) {
  struct Case {
    std::string argument;
    std::string name;  // empty: refused
  };
  const std::string longest(251, 'p');  // fills port_name with its NUL
  const Case cases[] = {
      {"Pma7-0Mip0", "LDV/\\\\.\\Pma7-0Mip0"},
      {"LON1", "LDV/\\\\.\\LON1"},
      {"LDV/\\\\.\\LON1", "LDV/\\\\.\\LON1"},
      {"ldv/LON1", "LDV/\\\\.\\ldv/LON1"},
      {"LDV/" + std::string(400, 'q'), "LDV/" + std::string(400, 'q')},
      {"", "LDV/\\\\.\\"},
      {longest, "LDV/\\\\.\\" + longest},
      {longest + "p", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument.substr(0, 20));
    char port_name[port_name_size];
    std::fill(std::begin(port_name), std::end(port_name), '#');
    const char* name = choose_port_name(c.argument.c_str(), port_name);
    if (c.name.empty()) {
      EXPECT_EQ(name, nullptr);
      EXPECT_EQ(port_name[0], '#');
    } else {
      ASSERT_NE(name, nullptr);
      EXPECT_EQ(std::string(name), c.name);
    }
  }
}

}  // namespace
