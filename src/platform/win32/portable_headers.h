// The platform interface, made safe to include after <windows.h>: many names
// it declares (DeleteFile, ERROR_SUCCESS, HKEY_CURRENT_USER, ...) are macros
// there. Those macros are set aside while it is read and restored afterwards.
#pragma once

#include "platform/win32/windows_macros_set_aside.h"

#include "platform/platform.h"

#include "platform/win32/windows_macros_restored.h"
