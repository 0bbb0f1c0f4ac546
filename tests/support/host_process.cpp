// Host child processes for the tests that kill a program midway.
#include "tests/support/host_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace rvx::test_support {

ChildProgram::ChildProgram(const std::string& program, const std::vector<std::string>& arguments,
                           const std::filesystem::path& output_file) {
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string output = output_file.string();
    pid_ = ::fork();
    if (pid_ != 0) return;
    // The child: only async-signal-safe calls until exec.
    const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        ::dup2(fd, STDOUT_FILENO);
        ::dup2(fd, STDERR_FILENO);
        ::close(fd);
    }
    const int null_input = ::open("/dev/null", O_RDONLY);
    if (null_input >= 0) ::dup2(null_input, STDIN_FILENO);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

ChildProgram::~ChildProgram() {
    if (started() && !ended_) (void)Kill();
}

void ChildProgram::Reap(int status) {
    ended_ = true;
    exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool ChildProgram::Running() {
    if (!started() || ended_) return false;
    int status = 0;
    const int reaped = ::waitpid(pid_, &status, WNOHANG);
    if (reaped == pid_) Reap(status);
    return !ended_;
}

bool ChildProgram::Kill() {
    if (!started() || ended_) return false;
    ::kill(pid_, SIGKILL);
    int status = 0;
    if (::waitpid(pid_, &status, 0) == pid_) Reap(status);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

int ChildProgram::Wait() {
    if (!started()) return -1;
    if (!ended_) {
        int status = 0;
        if (::waitpid(pid_, &status, 0) == pid_) Reap(status);
    }
    return exit_code_;
}

void ChildProgram::Pause() {
    const timespec wait{0, 1000 * 1000};
    ::nanosleep(&wait, nullptr);
}

}  // namespace rvx::test_support
