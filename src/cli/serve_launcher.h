// `zuva serve` runs in a program of its own, zuva-serve, which lies beside the terminal
// program: the HTTP library and the TLS libraries it brings are then mapped only by the
// server, and the terminal program starts without their relocations.
#pragma once
#include <string>

namespace zuva {

// The file name of the server program.
inline constexpr const char* kServeProgram = "zuva-serve";

// Replaces the process with the server program found in `program_dir`, passing `argc` /
// `argv` (the arguments after "serve"). Returns only on failure: the exit status, with the
// message written to standard error.
int exec_serve(const std::string& program_dir, int argc, char** argv);

// The folder of the running executable ("" when it cannot be told).
std::string own_program_dir();

}  // namespace zuva
