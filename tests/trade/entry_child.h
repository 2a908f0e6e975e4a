#pragma once
// The child process of the atomicity test: the test program started again with this flag runs
// one entry on the books named on its command line and is killed after its k-th statement.

inline constexpr const char* kEntryChildFlag = "--entry-child";

// argv: program, flag, scenario, k, connection string. Returns only when it cannot start.
int RunEntryChild(int argc, char** argv);
