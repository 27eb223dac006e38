// Runs a program and writes how it ended and its peak resident memory to a file:
//   peak_memory REPORT PROGRAM [ARGUMENT...]
// REPORT gets "EXIT SIGNAL PEAK_KIB". It is this small program, not the test, that
// forks: a child's peak counts the memory of the process it was forked from, so the
// test's own memory would be counted as the program's.
#include <cerrno>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char *argv[]) {
    if (argc < 3)
        return 125;
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[2], argv + 2);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    while (child > 0 && wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    FILE *report = std::fopen(argv[1], "w");
    if (!report)
        return 126;
    std::fprintf(report, "%d %d %ld\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                 WIFSIGNALED(status) ? WTERMSIG(status) : 0, usage.ru_maxrss);
    std::fclose(report);
    return 0;
}
