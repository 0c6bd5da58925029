#include "platform/FontWarmUp.h"

#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <thread>

namespace FontWarmUp {

// Looked up at run time: Qt has the library loaded already, and the build
// needs no headers of it. Loading the configuration is safe on any thread;
// Qt's own call then finds it done.
void start()
{
    void *library = ::dlopen("libfontconfig.so.1", RTLD_LAZY | RTLD_NOLOAD);
    if (!library)
        return;
    using Init = int (*)();
    const auto init = reinterpret_cast<Init>(::dlsym(library, "FcInit"));
    if (!init)
        return;
    std::thread([init] {
        // Behind everything else: the window and the X server it talks to
        // must not wait for it before the window maps.
        ::setpriority(PRIO_PROCESS, pid_t(::syscall(SYS_gettid)), 19);
        init();
    }).detach();
}

} // namespace FontWarmUp
