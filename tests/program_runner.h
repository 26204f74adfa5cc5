#ifndef EVENBOUGH_TESTS_PROGRAM_RUNNER_H_
#define EVENBOUGH_TESTS_PROGRAM_RUNNER_H_

#include <sys/types.h>
#include <map>
#include <string>
#include <vector>

// How to start a program in a test: extra environment, limits, and who runs it.
struct RunOptions {
  std::map<std::string, std::string> env;
  long long file_size_limit = -1;  // RLIMIT_FSIZE in bytes; -1 leaves it
  bool ignore_sigxfsz = false;     // an oversized write then fails instead of killing
  bool unprivileged = false;       // as "nobody" when the test runs as root
};

struct RunResult {
  bool exited = false;
  int exit_status = -1;
  int signal = 0;
  std::string standard_error;
};

// Runs `program` with `args`, standard input from /dev/null, and waits for it.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     const RunOptions& options = {});

// The user and group "nobody" (65534), which own nothing in a test's directories.
constexpr uid_t kNobody = 65534;

#endif  // EVENBOUGH_TESTS_PROGRAM_RUNNER_H_
