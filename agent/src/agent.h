// The agent process: start-up, the wait loop and the shut-down.
#pragma once

namespace agent {

// Runs the agent until the kill event; always returns 0. `terminatedJobThreads`
// tells whether job threads still running at the stop had to be terminated.
int RunAgent(bool* terminatedJobThreads = nullptr);

}  // namespace agent
