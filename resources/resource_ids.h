/* Shared by the resource script and the code, so plain C preprocessor only. */
#pragma once

#define IDI_APP 1
#define IDB_ABOUT 1
#define IDM_MAIN 100
#define IDM_ABOUT 101
#define IDM_EXIT 102
