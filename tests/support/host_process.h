// A host program run as a child process that a test can kill midway, as the system ends a
// program without letting it finish anything. The only host process calls of the tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace rvx::test_support {

class ChildProgram {
public:
    // Starts program with arguments (no shell), its output and errors going to output_file.
    ChildProgram(const std::string& program, const std::vector<std::string>& arguments,
                 const std::filesystem::path& output_file);
    ~ChildProgram();  // kills the child if it still runs
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    bool started() const { return pid_ > 0; }
    // True while the child has not ended (it is reaped once it has).
    bool Running();
    // Kills the child at once (SIGKILL) and waits for it; true when the kill is what ended it,
    // false when it had ended by itself before.
    bool Kill();
    // Waits for the end; the exit code, or -1 when a signal ended the child.
    int Wait();
    // Lets the child run a little (a millisecond) between two looks at what it did.
    static void Pause();

private:
    void Reap(int status);
    int pid_ = -1;
    bool ended_ = false;
    int exit_code_ = -1;
};

}  // namespace rvx::test_support
