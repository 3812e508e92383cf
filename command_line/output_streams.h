#pragma once

namespace genart {

// A closed pipe on standard output or standard error (`genart --help | head -1`, a batch's
// summary into `2>&1 | true`) is an error like any other rather than SIGPIPE's silent exit
// 141: called first thing, this ignores SIGPIPE for the whole program, so that writing to a
// closed pipe fails with EPIPE.
void ignoreBrokenPipes();

// The exit status once the program's messages are out: flushes both streams, and when one of
// them could not be written, tells so in one line on the other (where it can) and, when that
// stream's text was the work asked for (`outputIsTheWork`: the help, the version), makes the
// status 1. A render's summary lost to a closed stderr changes nothing it wrote.
int checkedOutputs(int status, bool outputIsTheWork);

} // namespace genart
