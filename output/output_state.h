#pragma once
// The process-wide output state shared by the UI thread and the sample
// renderer's thread: at most one output runs at a time, and a newer sample
// request cancels a running sample run.

#include <atomic>
#include <functional>

namespace tblf {

enum class OutputState : unsigned char {
  Idle = 0,
  SampleRunning = 1,
  SampleCancelRequested = 2,
  OutputRunning = 3,
};

// The state itself; the engine only reads it.
OutputState CurrentOutputState();
void SetOutputState(OutputState state);

// One step of the wait for a cancelled sample run to stop (the Win32 side
// removes one pending WM_PAINT or sleeps 100 ms). Called until the state
// leaves SampleCancelRequested.
using OutputWaitStep = std::function<void()>;

// Claims the state for a new run: a sample run when `sample` is true, else a
// file, clipboard or open output. Returns false, changing nothing, when a
// real output runs or a cancel is already pending (the request is dropped).
// A running sample run is asked to stop and waited for through `waitStep`
// before the claim.
bool ClaimOutputState(bool sample, const OutputWaitStep& waitStep);

// The run that claimed the state has ended.
void ReleaseOutputState();

}  // namespace tblf
