#pragma once

// Whether a standard stream is a terminal, so that a program without a window only talks to a
// person (progress lines, questions) where a person can see them.
namespace platform {

// True when the file descriptor is open on a terminal.
bool isTerminal(int fd);

} // namespace platform
