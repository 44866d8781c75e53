#include "x11session.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto pollInterval = std::chrono::milliseconds(20);

std::vector<char*> exec_arguments(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    return args;
}

// Runs in the child between fork and exec; never returns.
[[noreturn]] void exec_child(const std::vector<char*>& args, const Launch& launch, pid_t parent,
                             int outFd) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {
        _exit(127);
    }
    if (!launch.directory.empty() && chdir(launch.directory.c_str()) != 0) {
        _exit(127);
    }
    const int in = open("/dev/null", O_RDONLY);
    const int out =
        outFd >= 0 ? outFd : open(launch.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(launch.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) {
        _exit(127);
    }
    if (!launch.display.empty()) {
        setenv("DISPLAY", launch.display.c_str(), 1);
    }
    execvp(args[0], args.data());
    _exit(127);
}

pid_t start_child(const std::vector<std::string>& argv, const Launch& launch, int outFd) {
    const std::vector<char*> args = exec_arguments(argv);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
        exec_child(args, launch, parent, outFd);
    }
    return pid;
}

// The process id that the lock file of display number n names, or 0 when there is none.
pid_t lock_holder(int n) {
    std::ifstream lock("/tmp/.X" + std::to_string(n) + "-lock");
    long pid = 0;
    lock >> pid;
    return static_cast<pid_t>(pid);
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Launch& launch)
    : pid_(start_child(argv, launch, -1)) {}

ChildProcess::~ChildProcess() {
    if (!running()) {
        return;
    }
    kill(pid_, SIGTERM);
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    while (running() && Clock::now() < deadline) {
        std::this_thread::sleep_for(pollInterval);
    }
    if (running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
        reaped_ = true;
    }
}

bool ChildProcess::running() {
    if (reaped_) {
        return false;
    }
    if (waitpid(pid_, &status_, WNOHANG) == pid_) {
        reaped_ = true;
    }
    return !reaped_;
}

std::string ChildProcess::ending() const {
    if (!reaped_) {
        return "";
    }
    if (WIFSIGNALED(status_)) {
        return "signal " + std::to_string(WTERMSIG(status_));
    }
    return "exit status " + std::to_string(WEXITSTATUS(status_));
}

VirtualDisplay::VirtualDisplay() {
    // Test binaries run side by side: each starts its search at a different number.
    const int first = static_cast<int>(getpid() % 10);
    for (int i = 0; i < 10; ++i) {
        const int n = 90 + (first + i) % 10;
        const pid_t holder = lock_holder(n);
        if (holder > 0 && kill(holder, 0) == 0) {
            continue;
        }
        const std::string name = ":" + std::to_string(n);
        auto server = std::make_unique<ChildProcess>(
            std::vector<std::string>{"Xvfb", name, "-screen", "0", "1024x768x24", "-noreset",
                                     "-nolisten", "tcp"},
            Launch{});
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        // Another server may take the number first; ours then exits and the next is tried.
        while (server->running() && Clock::now() < deadline) {
            if (lock_holder(n) == server->pid() && std::filesystem::exists(socket)) {
                server_ = std::move(server);
                name_ = name;
                return;
            }
            std::this_thread::sleep_for(pollInterval);
        }
    }
    throw std::runtime_error("no Xvfb could be started on displays :90 to :99");
}

std::string run_command(const std::vector<std::string>& argv, const std::string& display,
                        int* status) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    std::vector<std::string> limited{"timeout", "10"};
    limited.insert(limited.end(), argv.begin(), argv.end());
    const pid_t pid = start_child(limited, Launch{display, "", "", "/dev/null"}, pipeFds[1]);
    close(pipeFds[1]);
    std::string output;
    char buffer[65536];
    ssize_t got;
    while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<size_t>(got));
    }
    close(pipeFds[0]);
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    *status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    return output;
}
