#include "tests/mkpayload/tool_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

extern char** environ;

namespace {

std::string readText(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

ToolRun runMkpayload(const std::vector<std::string>& arguments) {
    // Captured beside the test's files; the names keep clear of the cases'.
    constexpr char kOut[] = ".mkpayload-stdout";
    constexpr char kErr[] = ".mkpayload-stderr";
    std::vector<char*> argv;
    std::string program = MKPAYLOAD_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, kOut, O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, kErr, O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ToolRun run{-1, {}, {}};
    if (spawned != 0) {
        run.standardError = "spawn failed";
        return run;
    }
    int status = 0;
    waitpid(child, &status, 0);
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.standardOutput = readText(kOut);
    run.standardError = readText(kErr);
    std::remove(kOut);
    std::remove(kErr);
    return run;
}
