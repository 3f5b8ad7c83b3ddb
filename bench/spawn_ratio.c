/* Whole-process comparison: starts a trivial program and a command in turn,
   `runs` times each, measures each from spawn to exit, and prints the median
   of the pairwise ratios (command / trivial) with both medians and the
   command's peak resident set.
     spawn_ratio RUNS TRIVIAL -- COMMAND [ARGS...]
   Standard output and error of both go to /dev/null. */
#define _DEFAULT_SOURCE
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

static long peakKib = 0; /* largest resident set of a run, KiB */

static double RunOnce(char* const argv[], posix_spawn_file_actions_t* actions) {
  struct timespec a, b;
  struct rusage usage;
  pid_t pid;
  int status = 0;
  clock_gettime(CLOCK_MONOTONIC, &a);
  if (posix_spawn(&pid, argv[0], actions, NULL, argv, environ) != 0) {
    fprintf(stderr, "cannot start %s\n", argv[0]);
    exit(2);
  }
  wait4(pid, &status, 0, &usage);
  clock_gettime(CLOCK_MONOTONIC, &b);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    fprintf(stderr, "%s did not exit with status 0\n", argv[0]);
    exit(2);
  }
  if (usage.ru_maxrss > peakKib) peakKib = usage.ru_maxrss;
  return (double)(b.tv_sec - a.tv_sec) * 1e6 + (double)(b.tv_nsec - a.tv_nsec) / 1e3;
}

static int Compare(const void* x, const void* y) {
  const double a = *(const double*)x, b = *(const double*)y;
  return (a > b) - (a < b);
}

static double Median(double* v, int n) {
  qsort(v, (size_t)n, sizeof *v, Compare);
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int main(int argc, char** argv) {
  if (argc < 5 || strcmp(argv[3], "--") != 0) {
    fprintf(stderr, "usage: %s RUNS TRIVIAL -- COMMAND [ARGS...]\n", argv[0]);
    return 2;
  }
  const int runs = atoi(argv[1]);
  if (runs < 1) return 2;
  char* trivial[] = {argv[2], NULL};
  char** command = argv + 4;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  double* t = malloc(sizeof(double) * (size_t)runs);
  double* c = malloc(sizeof(double) * (size_t)runs);
  double* r = malloc(sizeof(double) * (size_t)runs);
  if (!t || !c || !r) return 2;
  RunOnce(trivial, &actions); /* warm the caches of both once */
  RunOnce(command, &actions);
  long commandPeak = 0;
  for (int i = 0; i < runs; ++i) {
    t[i] = RunOnce(trivial, &actions);
    peakKib = 0;
    c[i] = RunOnce(command, &actions);
    if (peakKib > commandPeak) commandPeak = peakKib;
    r[i] = c[i] / t[i];
  }
  printf("runs %d  trivial median %.0f us  command median %.0f us  median ratio %.2f  "
         "command peak RSS %ld KiB\n",
         runs, Median(t, runs), Median(c, runs), Median(r, runs), commandPeak);
  free(t);
  free(c);
  free(r);
  return 0;
}
