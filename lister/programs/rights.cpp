#include "lister/programs/rights.h"

namespace tarnvale::lister {

KeepVerdict JudgeNow(Rights program, Rights lister)
{
    if (!program.known || (program.elevated && !lister.elevated))
        return KeepVerdict::RunAsAdministrator;
    return KeepVerdict::Fine;
}

KeepVerdict JudgeAtSignIn(Rights program, Rights lister, Rights shell)
{
    const bool shellElevated = shell.known ? shell.elevated : lister.elevated;
    // Running the lister as administrator would not help a program above the shell.
    if (program.known && program.elevated && !shellElevated)
        return KeepVerdict::NotAtSignIn;
    return JudgeNow(program, lister);
}

}  // namespace tarnvale::lister
