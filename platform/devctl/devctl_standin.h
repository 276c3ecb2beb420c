#pragma once
// Control side of the stand-in device-control library. Tests resolve these
// functions with dlsym from the copy of the library that the plug-in loaded,
// so the plug-in's own link to its back end is what is exercised.
//
// Script and record are per thread: a thread scripts the results, calls the
// plug-in (which calls the back end on that same thread) and reads back what
// the back end received, without seeing other threads' calls.
#include <cstddef>
#include <string>

#include "devctl_records.h"

namespace devctl_standin {

struct Call {
    std::string function;   // back-end function name without "orvex_scene_"
    long long numbers[3]{}; // int and unsigned arguments in order
    int number_count = 0;
    std::string text;       // the whole 256-byte text buffer, if the function takes one
    AddonInfo info{};       // the scene information as received
    int count = -1;         // entry count, or the incoming *count of the list queries
    std::string entries;    // copy of count records, for the entry-list functions
};

}  // namespace devctl_standin

extern "C" {

// Forgets this thread's calls and script: results 0, lists null.
void devctl_standin_reset();
// Result of every int function.
void devctl_standin_set_result(int result);
// The list functions return a fresh malloc'd copy of size bytes and report
// count; a null bytes pointer makes them return null.
void devctl_standin_set_list(const void* bytes, std::size_t size, int count);
// The next list call returns this malloc'd block itself (ownership passes).
void devctl_standin_hand_over_list(void* list, int count);
std::size_t devctl_standin_call_count();
const devctl_standin::Call* devctl_standin_call(std::size_t index);

}  // extern "C"
