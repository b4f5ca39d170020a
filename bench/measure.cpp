// Runs a command and prints its wall time (seconds) and peak resident memory
// (kilobytes). A small launcher of its own, because a child's peak memory
// starts from its parent's at the fork: measured from a large interpreter,
// the parent would be counted too.
//
//     measure PROGRAM [ARGUMENTS...]
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: measure PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[1], argv + 1);
        std::perror(argv[1]);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) {
        std::perror("measure");
        return 2;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%.6f %ld\n", elapsed.count(), usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}
