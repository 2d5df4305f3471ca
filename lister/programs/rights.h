#pragma once

// Whether a Tarnvale can keep a window, judged from the rights of the processes involved:
// Windows lets no program change a window of a program that runs with rights above its
// own (as administrator while it does not). Plain functions with no Windows calls.
namespace tarnvale::lister {

// What a process's token says; `known` false when it could not be read, as when the
// process runs as administrator and the reader does not.
struct Rights {
    bool known = false;
    bool elevated = false;
};

enum class KeepVerdict {
    Fine,
    RunAsAdministrator,  // the window's program runs with rights above the lister's
    NotAtSignIn,         // above those that the shell gives the items it starts at sign-in
};

// For a Tarnvale started now by the lister.
KeepVerdict JudgeNow(Rights program, Rights lister);
// For one started at every sign-in by the shell, which starts the Startup folder's items
// with its own rights: not as administrator while Windows asks before raising them.
// `shell` unknown: taken to be the lister's.
KeepVerdict JudgeAtSignIn(Rights program, Rights lister, Rights shell);

}  // namespace tarnvale::lister
