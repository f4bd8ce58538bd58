// The private virtual keyboard of `--demo`: a `brindle-kbdsim serve` beside the program, with its
// socket in the runtime folder and its memory in the per-user data folder, so the demo keyboard
// remembers what was written to it. One demo keyboard serves every program that asks for it.
#pragma once

#include <chrono>
#include <string>

namespace brindle {

struct DemoKeyboardPlaces {
    std::string socketPath; // "<runtime folder>/brindle-demo.sock"
    std::string stateFile;  // "$XDG_DATA_HOME/Brindle/demo-keyboard.state"
};

DemoKeyboardPlaces DefaultDemoKeyboardPlaces();

// True when something accepts connections on the socket.
bool DemoKeyboardListening(const std::string& socketPath);

// Makes sure a demo keyboard listens at places.socketPath: starts `programFolder`/brindle-kbdsim
// detached when none does and waits up to `wait` for it. Returns the device choice for the
// library ("sim:PATH"), or empty with `problem` set.
std::string StartDemoKeyboard(const std::string& programFolder, const DemoKeyboardPlaces& places,
                              std::string* problem = nullptr,
                              std::chrono::milliseconds wait = std::chrono::milliseconds(3000));

} // namespace brindle
