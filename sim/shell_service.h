#pragma once

#include <string>
#include <vector>

#include "sim/phone.h"
#include "sim/stream.h"

namespace tarnel::sim {

// "shell:" and "exec:": output goes back raw, stdout and stderr mixed, and the stream's close is
// the only sign of the end. An empty command line reads command lines from the stream instead.
void ServeRawShell(Stream& stream, Phone& phone, const std::string& commandLine);

// "shell,v2,...:": both directions carry framed packets, and the exit status comes last.
void ServeShellV2(Stream& stream, Phone& phone, const std::string& commandLine);

// "abb_exec:": one command, its arguments already split; output raw.
void ServeAbbExec(Stream& stream, Phone& phone, const std::vector<std::string>& argv);

}  // namespace tarnel::sim
