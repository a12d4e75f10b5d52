// Runs a command, its standard output sent to /dev/null, and prints its wall
// time in seconds, its peak resident memory in KiB and its CPU time (user
// and system) in seconds. A small launcher, so
// that the child's peak is its own and not that of a large parent it was
// forked from. With -t, the command is killed after SECONDS and the exit
// status is 124.
//   measure [-t SECONDS] COMMAND [ARGS...]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

pid_t child;

int main(int argc, char** argv) {
  unsigned timeout = 0;
  if (argc > 2 && std::strcmp(argv[1], "-t") == 0) {
    timeout = unsigned(std::atoi(argv[2]));
    argv += 2, argc -= 2;
  }
  if (argc < 2) return 2;
  auto start = std::chrono::steady_clock::now();
  child = fork();
  if (child == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    execv(argv[1], argv + 1);
    _exit(127);
  }
  signal(SIGALRM, [](int) { kill(child, SIGKILL); });
  alarm(timeout);
  int status = 0;
  rusage usage{};
  while (wait4(child, &status, 0, &usage) < 0) {
  }
  if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL && timeout > 0) status = 124 << 8;
  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  std::printf("%.6f %ld %.6f\n", wall, usage.ru_maxrss, cpu);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}
