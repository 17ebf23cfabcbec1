// The Win32 API as this backend uses it: the wide-character functions, the common controls and
// the common dialogs. The ANSI/wide name macros that clash with the framework's own method
// names (MessageBox, DrawText) are taken away; the backend calls the W functions by name.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
// clang-format on

#undef MessageBox
#undef DrawText
