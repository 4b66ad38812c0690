#include "platform/FreedMemory.h"

#include <QtGlobal>

#if defined(Q_OS_LINUX) && defined(__GLIBC__)
#include <malloc.h>
#endif

namespace FreedMemory {

void giveBack() {
#if defined(Q_OS_LINUX) && defined(__GLIBC__)
    malloc_trim(0);
#endif
    // Elsewhere the system's heap gives large freed blocks back by itself.
}

} // namespace FreedMemory
