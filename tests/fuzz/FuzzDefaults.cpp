// SPDX-License-Identifier: GPL-3.0-or-later
// The flags every target runs with unless its command line says otherwise
// (libFuzzer reads the flags after this, and the last of a flag counts).
// An input that holds a walk longer than five seconds is a fault of its own,
// a walk whose time grows faster than the bytes it walks: libFuzzer reports
// it as a timeout and keeps the input, instead of waiting out its own limit
// of twenty minutes an input.
#ifndef CALVORN_FUZZ_WITHOUT_CONSOLE
#include "platform/Console.h"
#endif

#include <vector>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
#ifndef CALVORN_FUZZ_WITHOUT_CONSOLE
    // The application's guard tells each failure on the console; for a
    // fuzzed input a failure is an ordinary end.
    platform::Console::setSink([](platform::Console::Stream, const QString &) {});
#endif
    static char timeout[] = "-timeout=5";
    // libFuzzer keeps the arguments for the whole run.
    static std::vector<char *> arguments;
    arguments.assign(*argv, *argv + *argc);
    arguments.insert(arguments.begin() + 1, timeout);
    arguments.push_back(nullptr);
    *argc = int(arguments.size()) - 1;
    *argv = arguments.data();
    return 0;
}
