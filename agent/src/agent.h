// The agent process: start-up, the wait loop and the shut-down.
#pragma once

namespace agent {

// Runs the agent until the kill event; always returns 0.
int RunAgent();

}  // namespace agent
