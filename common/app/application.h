// The small application framework both programs are built on: one application object whose
// initialisation step, run step and exit step are called in that order, as a dialog-based
// Windows program's framework does.
#pragma once

namespace rvx::app {

class Application {
public:
    virtual ~Application() = default;

    // Prepares the windows and the language; false ends the program at once.
    virtual bool InitInstance() = 0;
    // Does the program's whole work and returns its exit code.
    virtual int Run() = 0;
    // Releases what InitInstance set up.
    virtual int ExitInstance() { return 0; }

    // What the framework does with the object: initialise, then run (which calls the exit step
    // itself) or, when initialisation failed, exit at once with failed_start_code.
    int Execute(int failed_start_code) {
        if (!InitInstance()) {
            ExitInstance();
            return failed_start_code;
        }
        return Run();
    }
};

}  // namespace rvx::app
