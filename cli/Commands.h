#pragma once
// The commands of qvr-cli; each returns its exit status (Exit:: in cli/CliArguments.h).
#include "cli/CliArguments.h"

int RunPorts(const CliCall &call);
int RunDetect(const CliCall &call);
int RunInfo(const CliCall &call);
int RunRead(const CliCall &call);
int RunWrite(const CliCall &call);
int RunVerify(const CliCall &call);
int RunLock(const CliCall &call);
int RunDiff(const CliCall &call);
int RunLog(const CliCall &call);
int RunConvert(const CliCall &call);
