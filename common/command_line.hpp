// The command line in GNU style, read with getopt_long: what both programs
// take where it means the same, and each program's own options. A run with
// no argument at all keeps the fixed file names and the behaviour callers
// rely on; any argument puts the run in option mode (see program_frame.hpp).
#pragma once

#include <getopt.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace wgt {

enum class InputFormat { kDetect, kNative, kDimacs };

// What the command line asks for. Empty names mean the program's fixed
// ones; "-" is standard input or output.
struct CommandLine {
  bool help = false, version = false, verbose = false;
  std::string input, output;
  InputFormat format = InputFormat::kDetect;
  std::optional<std::int32_t> source, target;
  std::string tree, cycle;  // the distance program's extra outputs, where asked for
  bool all = false;         // the path counter: every node rather than one pair
  std::string usage_error;  // empty when the command line is sound
};

// The options one program takes, as getopt_long wants them.
struct OptionTable {
  const char* short_options;  // kSharedShortOptions and the program's own
  const option* long_options;
};

// Codes of the options that have no short form.
enum : int { kTreeOption = 256, kCycleOption, kAllOption };

// The options both programs take, where they mean the same, as
// getopt_long wants them; a program's own follow (WithSharedOptions).
constexpr const char* kSharedShortOptions = ":hVvi:o:f:s:";  // ':' first: a missing value is told apart
constexpr option kSharedOptions[] = {
    {"help", no_argument, nullptr, 'h'},         {"version", no_argument, nullptr, 'V'},
    {"verbose", no_argument, nullptr, 'v'},      {"input", required_argument, nullptr, 'i'},
    {"output", required_argument, nullptr, 'o'}, {"format", required_argument, nullptr, 'f'},
    {"source", required_argument, nullptr, 's'}};
constexpr std::size_t kShared = sizeof kSharedOptions / sizeof kSharedOptions[0];

// The shared options, then `own`, then the entry of zeros that ends them.
template <std::size_t N>
constexpr std::array<option, kShared + N + 1> WithSharedOptions(const option (&own)[N]) {
  std::array<option, kShared + N + 1> all{};
  for (std::size_t i = 0; i < kShared; ++i) all[i] = kSharedOptions[i];
  for (std::size_t i = 0; i < N; ++i) all[kShared + i] = own[i];
  return all;
}

namespace command_line_detail {

// A node number: decimal digits only, 1 to 2^31 - 1.
inline std::optional<std::int32_t> ParseNode(const char* text) {
  if (*text < '0' || *text > '9') return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(text, &end, 10);
  if (*end != '\0' || errno != 0 || value < 1 || value > INT32_MAX) return std::nullopt;
  return std::int32_t(value);
}

// How the user wrote the option getopt_long just returned `code` for; for
// ':' and '?', the option that was wrong.
inline std::string Spelling(int code, const option* long_options, int long_index, char* const* argv) {
  const std::string arg = argv[optind - 1];
  if (code == ':' || code == '?') {
    if (arg.rfind("--", 0) == 0) return arg.substr(0, arg.find('='));
    return std::string("-") + char(optopt);
  }
  if (long_index >= 0) return std::string("--") + long_options[long_index].name;
  return std::string("-") + char(code);
}

}  // namespace command_line_detail

// Reads argv[1..argc-1]. A bad option, a missing, empty or malformed
// value, an operand too many or two outputs of one name leave their
// message, the first one met, in `usage_error`.
inline CommandLine ParseCommandLine(int argc, char** argv, const OptionTable& table) {
  using command_line_detail::ParseNode;
  using command_line_detail::Spelling;
  CommandLine line;
  auto fail = [&](const std::string& what) {
    if (line.usage_error.empty()) line.usage_error = what;
  };
  auto set_input = [&](const char* name) {
    if (!line.input.empty()) fail("more than one input: '" + line.input + "' and '" + name + "'");
    line.input = name;
  };
  opterr = 0;  // the messages are ours, under the program's own name
  optind = 0;  // a fresh scan, for callers that parse more than once
  for (;;) {
    int long_index = -1;
    const int code = getopt_long(argc, argv, table.short_options, table.long_options, &long_index);
    if (code == -1) break;
    const std::string name = Spelling(code, table.long_options, long_index, argv);
    auto node = [&]() -> std::int32_t {
      if (const std::optional<std::int32_t> value = ParseNode(optarg)) return *value;
      fail("invalid node number '" + std::string(optarg) + "' for " + name + " (1 to 2147483647)");
      return 1;
    };
    auto file = [&]() -> std::string {
      if (*optarg == '\0') fail("empty file name for " + name);
      return optarg;
    };
    switch (code) {
      case 'h': line.help = true; break;
      case 'V': line.version = true; break;
      case 'v': line.verbose = true; break;
      case 'i': set_input(file().c_str()); break;
      case 'o': line.output = file(); break;
      case 'f':
        if (std::string(optarg) == "native")
          line.format = InputFormat::kNative;
        else if (std::string(optarg) == "dimacs")
          line.format = InputFormat::kDimacs;
        else
          fail("invalid format '" + std::string(optarg) + "' for " + name + " (native or dimacs)");
        break;
      case 's': line.source = node(); break;
      case 't': line.target = node(); break;
      case kTreeOption: line.tree = file(); break;
      case kCycleOption: line.cycle = file(); break;
      case kAllOption: line.all = true; break;
      case ':': fail("option '" + name + "' requires a value"); break;
      default:  // '?': getopt_long sets optopt to the option's code where it knows the option
        if (std::string(argv[optind - 1]).rfind("--", 0) != 0)
          fail("invalid option -- '" + std::string(1, char(optopt)) + "'");
        else if (optopt != 0)
          fail("option '" + name + "' takes no value");
        else
          fail("unrecognized option '" + std::string(argv[optind - 1]) + "'");
    }
  }
  for (int i = optind; i < argc; ++i) {
    if (*argv[i] == '\0') fail("empty input file name");
    set_input(argv[i]);
  }
  const std::string* outputs[] = {&line.output, &line.tree, &line.cycle};
  for (const std::string* a : outputs)
    for (const std::string* b : outputs)
      if (a < b && !a->empty() && *a == *b && *a != "-") fail("'" + *a + "' named for two outputs");
  int to_stdout = 0;
  for (const std::string* a : outputs) to_stdout += *a == "-";
  if (to_stdout > 1) fail("standard output named for two outputs");
  return line;
}

}  // namespace wgt
