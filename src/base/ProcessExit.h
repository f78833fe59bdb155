#pragma once

namespace vocalix::base {

// Ends the process once everything of ours is destroyed and written: flushes the C and C++
// streams, runs the leak check of sanitizer builds, then leaves without the libraries'
// exit-time destructors. A library that stops a sound-server client thread from a static
// destructor, while that thread may still be dispatching a server message, now and then
// crashes the exit (a core dump showed pa_pdispatch_run on the client thread against
// pa_threaded_mainloop_stop under __cxa_finalize).
[[noreturn]] void LeaveProcess(int status);

} // namespace vocalix::base
