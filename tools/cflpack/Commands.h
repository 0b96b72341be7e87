// The four commands of cflpack. Each takes the arguments after its command word,
// prints its own messages (errors to standard error, prefixed "cflpack: ") and
// returns the process exit status: 0 success, 1 failure, 2 wrong usage.
#pragma once

#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

// create OUT [--filter F] PATH...
int CreateCommand(const Arguments& args);
// list ARCHIVE
int ListCommand(const Arguments& args);
// extract ARCHIVE [DIR]
int ExtractCommand(const Arguments& args);
// append PLAYER ARCHIVE OUT
int AppendCommand(const Arguments& args);

// Writes "cflpack: <message>" to standard error and returns 1.
int Failure(const std::string& message);
// Writes the usage text to standard error and returns 2.
int Usage();
