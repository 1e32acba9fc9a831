#include "output/output_state.h"

#include <thread>

namespace tblf {
namespace {

std::atomic<OutputState> g_outputState{OutputState::Idle};

}  // namespace

OutputState CurrentOutputState() { return g_outputState.load(); }

void SetOutputState(OutputState state) { g_outputState.store(state); }

bool ClaimOutputState(bool sample, const OutputWaitStep& waitStep) {
  const OutputState wanted = sample ? OutputState::SampleRunning : OutputState::OutputRunning;
  for (;;) {
    OutputState current = g_outputState.load();
    if (current == OutputState::SampleCancelRequested || current == OutputState::OutputRunning) {
      return false;
    }
    if (current == OutputState::Idle) {
      // Only one of two racing requests wins the idle state.
      if (g_outputState.compare_exchange_weak(current, wanted)) return true;
      continue;
    }
    // A sample run is active: ask it to stop, then wait for it to set Idle.
    if (!g_outputState.compare_exchange_weak(current, OutputState::SampleCancelRequested)) continue;
    while (g_outputState.load() == OutputState::SampleCancelRequested) {
      if (waitStep) {
        waitStep();
      } else {
        std::this_thread::yield();
      }
    }
    // Idle now (the sample run released it); claim it, unless another
    // request got in first.
    current = OutputState::Idle;
    if (g_outputState.compare_exchange_strong(current, wanted)) return true;
    if (current == OutputState::OutputRunning || current == OutputState::SampleCancelRequested) return false;
  }
}

void ReleaseOutputState() { g_outputState.store(OutputState::Idle); }

}  // namespace tblf
