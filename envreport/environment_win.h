#pragma once
// Gathers the environment report's facts about this machine (processor,
// system, memory, screens, drives, adapters, clock) and makes the report.
// No window is needed: the report dialog and `tblfcli env` both call
// EnvironmentReportText.

#include <string>

#include "envreport/report.h"

namespace tblf {

// Everything the report shows, gathered anew. Never fails: a value that
// cannot be had stays empty. Takes about a tenth of a second (the clock is
// timed against the time-stamp counter); a drive that does not answer is
// given up after a few seconds.
env::EnvironmentFacts GatherEnvironmentFacts();

// The whole report of this machine, in Japanese or English.
std::wstring EnvironmentReportText(bool japanese);

}  // namespace tblf
