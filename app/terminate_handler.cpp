// libstdc++'s default terminate handler prints the uncaught exception's demangled type
// to stderr, which a GUI program does not have; it also links in the demangler, a
// fifth of the executable. Ending at once is all a GUI program can do here.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::abort();
}

}  // namespace __gnu_cxx
