/* Runs a command repeatedly as the child of this small process and prints
 * the median wall time (ms) and the largest peak resident set (KiB) of the
 * runs. Before each run (untimed) it copies SOURCE over TARGET and flushes
 * TARGET to disk, itself, so that no other process runs between the runs;
 * a SOURCE of "-" copies nothing.
 *
 *   measure RUNS SOURCE TARGET PROGRAM [ARGUMENT...]
 *
 * The child is forked from this process, which stays small, so the peak
 * resident set that wait4 reports is the program's own. */
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <fcntl.h>
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

static int restore(const char* source, const char* target) {
  static char buffer[1 << 20];
  const int in = open(source, O_RDONLY);
  const int out = open(target, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (in < 0 || out < 0) return -1;
  ssize_t got;
  while ((got = read(in, buffer, sizeof buffer)) > 0) {
    if (write(out, buffer, got) != got) return -1;
  }
  const int synced = fsync(out);
  close(in);
  return close(out) == 0 && synced == 0 && got == 0 ? 0 : -1;
}

int main(int argc, char** argv) {
  if (argc < 5) {
    fprintf(stderr, "usage: measure RUNS SOURCE TARGET PROGRAM [ARGUMENT...]\n");
    return 2;
  }
  const int runs = atoi(argv[1]);
  double* times = calloc(runs, sizeof(double));
  long peak_kib = 0;
  int last_status = 0;
  for (int i = 0; i < runs; ++i) {
    if (strcmp(argv[2], "-") != 0 && restore(argv[2], argv[3]) != 0) {
      fprintf(stderr, "could not copy %s to %s\n", argv[2], argv[3]);
      return 1;
    }
    const double start = now_ms();
    const pid_t child = fork();
    if (child == 0) {
      execvp(argv[4], argv + 4);
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
