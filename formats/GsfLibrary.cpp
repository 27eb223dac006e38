#include <gsf/gsf-utils.h>

#include "formats/GsfLibrary.h"

#include <mutex>

void EnsureGsfInitialised() {
    static std::once_flag once;
    std::call_once(once, [] { gsf_init(); });
}
