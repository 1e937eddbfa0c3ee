#pragma once

namespace tarnel {

// The client program with its window: file associations put in place, then the main window until
// the user ends the program.
class CtarnelApp {
  public:
    // Runs the whole program; gives the exit code.
    int InitInstance();
};

}  // namespace tarnel
