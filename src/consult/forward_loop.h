// The loop of forward inference (forward_loop.cpp): the first applicable step, again and
// again, until none applies or a "koniec" rule ends the run; then the end of the run.
#pragma once

namespace zuva {

struct Session;

// With `stopped` the run was stopped by the user before its loop: only the end is done.
void forward_loop(Session& s, bool stopped);

}  // namespace zuva
