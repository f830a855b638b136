// The toolkit and the platform interface, made safe to include after
// <windows.h> the way the platform's own portable headers are.
#pragma once

#include "platform/win32/windows_macros_set_aside.h"

#include "forms/application.h"
#include "platform/platform.h"

#include "platform/win32/windows_macros_restored.h"
