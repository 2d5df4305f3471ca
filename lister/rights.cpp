#include "lister/rights.h"

namespace tarnvale::lister {

Keeping JudgeNow(Rights program, Rights lister)
{
    if (!program.known || (program.elevated && !lister.elevated))
        return Keeping::RunAsAdministrator;
    return Keeping::Fine;
}

Keeping JudgeAtSignIn(Rights program, Rights lister, Rights shell)
{
    const bool shellElevated = shell.known ? shell.elevated : lister.elevated;
    // Running the lister as administrator would not help a program above the shell.
    if (program.known && program.elevated && !shellElevated)
        return Keeping::NotAtSignIn;
    return JudgeNow(program, lister);
}

}  // namespace tarnvale::lister
