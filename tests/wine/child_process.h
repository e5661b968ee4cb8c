// A child process with its standard input and output on pipes, ended by the
// test that started it.
#pragma once
#include <windows.h>

#include <string>

namespace duo::testing {

class ChildProcess {
public:
    // Starts `command_line` (program and arguments) in `directory`.
    ChildProcess(const std::string& command_line, const char* directory = nullptr);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return process_ != nullptr; }
    // Why the process could not be started (GetLastError), or 0.
    DWORD start_error() const { return start_error_; }
    void send_line(const std::string& line);
    // The next line of output without its end, or "<timeout>" / "<eof>".
    std::string read_line(DWORD timeout_ms = 10000);
    // Sends a line and returns the answer.
    std::string ask(const std::string& line) {
        send_line(line);
        return read_line();
    }
    // Waits for the process to end; its exit code, or STILL_ACTIVE.
    DWORD wait(DWORD timeout_ms = 10000);
    DWORD id() const { return id_; }
    // Ends the process from outside, as a crash or the task list would.
    void kill() { TerminateProcess(process_, 9); WaitForSingleObject(process_, 5000); }

private:
    HANDLE process_ = nullptr;
    HANDLE stdin_write_ = nullptr;
    HANDLE stdout_read_ = nullptr;
    DWORD id_ = 0;
    DWORD start_error_ = 0;
    std::string pending_;
};

} // namespace duo::testing
