// Runs one command and reports what it cost, as one line on standard output:
//   <wall seconds> <cpu seconds> <peak RSS KiB> <exit status>
// The command's own standard output goes to /dev/null. A small launcher of its
// own, because a child's peak RSS counts the memory of whatever forked it,
// and the bench script's interpreter is larger than the programs it measures.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: kxmeasure program [words...]\n");
    return 2;
  }
  timespec start{}, end{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t pid = fork();
  if (pid < 0) {
    perror("kxmeasure: fork");
    return 2;
  }
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDOUT_FILENO);
    execv(argv[1], argv + 1);
    perror("kxmeasure: exec");
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) < 0) {
    perror("kxmeasure: wait4");
    return 2;
  }
  clock_gettime(CLOCK_MONOTONIC, &end);
  const double wall = static_cast<double>(end.tv_sec - start.tv_sec) + (end.tv_nsec - start.tv_nsec) / 1e9;
  const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  printf("%.6f %.6f %ld %d\n", wall, cpu, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
  return 0;
}
