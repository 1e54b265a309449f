#pragma once
// Runs part of a test in a forked child, for what must not touch the test
// process itself: a private mount namespace, a system call filter, another
// user id, a process to be killed.

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

// The user a test acts as when it needs another user than root.
inline constexpr uid_t Nobody = 65534;

// In a child: from now on the process is that other user.
inline bool BecomeNobody() { return setgid(Nobody) == 0 && setuid(Nobody) == 0; }

// Runs `body` in a child and returns what it returned, or how the child died.
inline std::string RunInChild(const std::function<std::string()>& body) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return "no pipe";
    const pid_t pid = fork();
    if (pid < 0) return "no fork";
    if (pid == 0) {
        close(pipeFds[0]);
        const std::string text = body();
        const ssize_t written = write(pipeFds[1], text.data(), text.size());
        _exit(written == static_cast<ssize_t>(text.size()) ? 0 : 1);
    }
    close(pipeFds[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
    return text;
}

// In a child: mounts made from now on are seen by this process (and its
// children) alone. False where that is not allowed.
inline bool PrivateMounts() {
    return unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// In a child: /proc covered with an empty file system, as in a chroot or a
// container without it.
inline bool HideProc() { return PrivateMounts() && mount("none", "/proc", "tmpfs", 0, nullptr) == 0; }

// In a child: an empty /tmp of its own.
inline bool PrivateTmp() { return PrivateMounts() && mount("none", "/tmp", "tmpfs", 0, "mode=1777") == 0; }

// In a child: the kernel answers the system call `number` with `action`
// (SECCOMP_RET_ERRNO | an error, or SECCOMP_RET_KILL_PROCESS) from now on.
inline bool RefuseCall(uint32_t number, uint32_t action) {
    sock_filter program[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, number, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, action),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog filter{sizeof program / sizeof program[0], program};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
}
