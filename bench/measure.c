/* Runs a command repeatedly as the child of this small process and prints
 * the median wall time (ms) and the largest peak resident set (KiB) of the
 * runs. A setup command, run through the shell before each run, is not
 * timed.
 *
 *   measure RUNS SETUP_COMMAND PROGRAM [ARGUMENT...]
 *
 * The child is forked from this process, which stays small, so the peak
 * resident set that wait4 reports is the program's own. */
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static int by_value(const void* a, const void* b) {
  const double x = *(const double*)a, y = *(const double*)b;
  return x < y ? -1 : x > y;
}

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: measure RUNS SETUP_COMMAND PROGRAM [ARGUMENT...]\n");
    return 2;
  }
  const int runs = atoi(argv[1]);
  double* times = calloc(runs, sizeof(double));
  long peak_kib = 0;
  int last_status = 0;
  for (int i = 0; i < runs; ++i) {
    if (argv[2][0] && system(argv[2]) != 0) {
      fprintf(stderr, "setup failed: %s\n", argv[2]);
      return 1;
    }
    const double start = now_ms();
    const pid_t child = fork();
    if (child == 0) {
      execvp(argv[3], argv + 3);
      _exit(127);
    }
    int status;
    struct rusage usage;
    wait4(child, &status, 0, &usage);
    times[i] = now_ms() - start;
    if (usage.ru_maxrss > peak_kib) peak_kib = usage.ru_maxrss;
    last_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  qsort(times, runs, sizeof(double), by_value);
  printf("%.3f %ld %d\n", times[runs / 2], peak_kib, last_status);
  return 0;
}
