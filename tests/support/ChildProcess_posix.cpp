#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// The environment without any display, as on a server.
std::vector<char*> ServerEnvironment() {
    std::vector<char*> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("DISPLAY=", 0) != 0 && entry.rfind("WAYLAND_DISPLAY=", 0) != 0) env.push_back(*e);
    }
    env.push_back(nullptr);
    return env;
}

int TempFile() {
    char name[] = "/tmp/vorn-out-XXXXXX";
    const int fd = mkstemp(name);
    unlink(name);
    return fd;
}

std::string Contents(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t n = pread(fd, buffer, sizeof buffer, 0); n > 0;
         n = pread(fd, buffer, sizeof buffer, static_cast<off_t>(text.size()))) {
        text.append(buffer, n);
    }
    return text;
}

}  // namespace

struct ChildProcess::State {
    pid_t pid = -1;
    int out = TempFile();
    int err = TempFile();

    ~State() {
        close(out);
        close(err);
    }
};

ChildProcess::ChildProcess(const std::filesystem::path& exe, const std::vector<std::string>& args, Display display)
    : state(std::make_unique<State>()) {
    std::vector<char*> argv{const_cast<char*>(exe.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, state->out, 1);
    posix_spawn_file_actions_adddup2(&actions, state->err, 2);
    auto env = ServerEnvironment();
    char** envp = display == Display::None ? env.data() : environ;
    EXPECT_EQ(posix_spawn(&state->pid, exe.c_str(), &actions, nullptr, argv.data(), envp), 0);
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() = default;

ChildResult ChildProcess::Wait() {
    ChildResult r;
    int raw = 0;
    waitpid(state->pid, &raw, 0);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    r.out = Contents(state->out);
    r.err = Contents(state->err);
    return r;
}

std::string AsPrinted(const std::string& lines) { return lines; }
