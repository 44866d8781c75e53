// x11session: a private X server and the programs that a test starts on it. Every process is
// stopped by its own id when its owner goes, whether the test passed or not, and dies with the
// test process if that crashes.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

struct Launch {
    std::string display;           // the DISPLAY of the process; the test's own when empty
    std::string directory;         // its working directory; the test's own when empty
    std::string out = "/dev/null"; // where its standard output goes
    std::string err = "/dev/null"; // where its standard error goes
};

// A child process, stopped (SIGTERM, then SIGKILL) and reaped by the destructor.
class ChildProcess {
  public:
    // Starts argv[0], looked up in PATH when it has no slash.
    ChildProcess(const std::vector<std::string>& argv, const Launch& launch);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // How the process ended, such as "exit status 1" or "signal 11"; empty while it runs.
    std::string ending() const;

  private:
    pid_t pid_;
    bool reaped_ = false;
    int status_ = 0;
};

// Xvfb on the first display from 90 to 99 that no other server holds.
class VirtualDisplay {
  public:
    // Throws std::runtime_error when no display could be started.
    VirtualDisplay();
    const std::string& name() const { return name_; } // such as ":93"

  private:
    std::unique_ptr<ChildProcess> server_;
    std::string name_;
};

// Runs a command to its end, or for ten seconds at most, and returns its standard output; its
// exit status goes to *status.
std::string run_command(const std::vector<std::string>& argv, const std::string& display,
                        int* status);
