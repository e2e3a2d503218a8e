// Ending a run or warning by level, in the log's conventions: the message,
// the times line, closing HTML and summary markers, and the exit status.
#pragma once

// Level 0 normal end, 1 fatal, -1 fatal with the system message, 2 warning
// block, 3 and above a plain line; below -1 nothing.
void ptqerror_noexit(int level, const char* message);
// As ptqerror_noexit; then levels 0 (status 0), 1 and -1 (status 1) end the run.
void ptqerror(int level, const char* message);
