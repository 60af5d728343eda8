// Runs a program as a child of this small process and writes the time from
// start to exit, in ms, its peak resident memory, in kB, and its exit status
// to FIGURES ("12.3 4567 0"). The benchmarks measure programs through it
// because a child forked from a large process, the benchmark itself, starts
// with that process's memory counted in its own peak and pays for copying
// its page tables.
//   run_measured FIGURES PROGRAM [ARGUMENT...]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::execv(argv[2], argv + 2);
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  FILE* figures = std::fopen(argv[1], "w");
  if (figures == nullptr) return 1;
  std::fprintf(figures, "%.3f %ld %d\n", ms, usage.ru_maxrss,
               WIFEXITED(status) ? WEXITSTATUS(status) : 128);
  return std::fclose(figures) == 0 ? 0 : 1;
}
