#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

bool Named(const std::string& entry, const std::string& name) { return entry.rfind(name + "=", 0) == 0; }

// The test's environment, without any display unless it is inherited (as on
// a server the window framework then picks its own platform), then `extra`.
std::vector<char*> ChildEnvironment(ChildProcess::Display display, const std::vector<std::string>& extra) {
    std::vector<char*> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const bool displayEntry = Named(entry, "DISPLAY") || Named(entry, "WAYLAND_DISPLAY") ||
                                  Named(entry, "QT_QPA_PLATFORM");
        bool replaced = false;
        for (const std::string& added : extra) replaced = replaced || Named(entry, added.substr(0, added.find('=')));
        if (!replaced && !(displayEntry && display == ChildProcess::Display::None)) env.push_back(*e);
    }
    for (const std::string& added : extra) env.push_back(const_cast<char*>(added.c_str()));
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

ChildProcess::ChildProcess(const std::filesystem::path& exe, const std::vector<std::string>& args,
                           const Options& options)
    : state(std::make_unique<State>()) {
    std::vector<char*> argv{const_cast<char*>(exe.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int gone[2] = {-1, -1};
    if (options.outputGone && pipe(gone) == 0) close(gone[0]);
    posix_spawn_file_actions_adddup2(&actions, options.outputGone ? gone[1] : state->out, 1);
    posix_spawn_file_actions_adddup2(&actions, state->err, 2);
    if (!options.workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, options.workDir.c_str());
    auto env = ChildEnvironment(options.display, options.environment);
    // A closed pipe ends the child as it would one a shell started, whatever
    // the test process does with the signal.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    EXPECT_EQ(posix_spawn(&state->pid, exe.c_str(), &actions, &attributes, argv.data(), env.data()), 0);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (gone[1] >= 0) close(gone[1]);
}

ChildProcess::~ChildProcess() = default;

ChildResult ChildProcess::Wait() {
    ChildResult r;
    int raw = 0;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(WaitLimitSeconds);
    while (waitpid(state->pid, &raw, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > limit) {
            kill(state->pid, SIGKILL);
            waitpid(state->pid, &raw, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    r.out = Contents(state->out);
    r.err = Contents(state->err);
    return r;
}

void ChildProcess::Signal(int number) { kill(state->pid, number); }

std::string AsPrinted(const std::string& lines) { return lines; }
