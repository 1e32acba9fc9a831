#pragma once
// One update exchange over Windows Sockets 1.1: connect to the update host
// (or the proxy), send the GET of /update.txt, read the first part of the
// reply within the timeout, and compare the published build number with the
// running one. Blocks its thread; the update worker runs it.

#include <string>

#include "update/update_protocol.h"

namespace tblf {

struct UpdateCheckParams {
  std::wstring proxyHost;  // empty: connect to the update host directly
  std::wstring proxyPort;  // a decimal number of at least 1 or a service name
  unsigned timeoutSeconds = 6;
  bool beta = false;
  int buildNumber = 0;  // the running program's
  // Where a direct request connects instead of the update host at port 80,
  // for a local test server; the request itself still names the update host.
  // Empty in the program.
  std::wstring connectHost;
  std::wstring connectPort;
};

UpdateResult RunUpdateExchange(const UpdateCheckParams& params);

}  // namespace tblf
