#!/bin/bash
# Fails when a Windows executable imports from a DLL that is not part of
# Windows, or imports a function that is not known to exist on Windows 2000.
#
#   check_imports.sh <objdump> <allow-list> <program.exe>...
#
# The allow-list names every function the program may import, one
# "DLL function" pair per line, each checked to be exported by that DLL on
# Windows 2000 (MSDN "Minimum supported client", or the DLL's export table of
# Windows 2000). An allow-list rather than a list of forbidden functions:
# whatever new import the compiler's runtime or our code brings in (a posix
# thread runtime imports GetTickCount64) fails here until someone has looked
# it up. Functions that a program looks up at run time with GetProcAddress
# are not imports and need no entry.
set -euo pipefail
OBJDUMP=$1 ALLOW=$2; shift 2

# The DLLs of Windows 2000 that a setup program may link against.
SYSTEM_DLLS="kernel32 user32 gdi32 advapi32 comctl32 comdlg32 shell32 shlwapi ole32 oleaut32 msvcrt version winspool.drv"

# Known to be missing from Windows 2000, with the version that brought them,
# so that a failure says what went wrong. Never allowed, list or not.
declare -A TOO_NEW=(
  [GetTickCount64]="Windows Vista" [InitializeCriticalSectionEx]="Windows Vista"
  [InitOnceExecuteOnce]="Windows Vista" [InitializeSRWLock]="Windows Vista"
  [InitializeConditionVariable]="Windows Vista" [GetThreadId]="Windows Vista"
  [AddVectoredExceptionHandler]="Windows XP" [RemoveVectoredExceptionHandler]="Windows XP"
  [GetModuleHandleExA]="Windows XP" [GetModuleHandleExW]="Windows XP"
  [GetNativeSystemInfo]="Windows XP" [AttachConsole]="Windows XP" [IsWow64Process]="Windows XP SP2"
  [EncodePointer]="Windows XP SP2" [DecodePointer]="Windows XP SP2" [SetDllDirectoryA]="Windows XP SP1"
  [GetProcessId]="Windows XP SP1" [RtlCaptureContext]="Windows XP" [FlsAlloc]="Windows Server 2003"
  [GetLogicalProcessorInformation]="Windows XP SP3" [HeapSetInformation]="Windows XP"
)

declare -A allowed=()
while read -r dll fn _; do
  case "$dll" in ''|'#'*) continue ;; esac
  dll=${dll,,}
  allowed["${dll%.dll} $fn"]=1
done <"$ALLOW"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for exe in "$@"; do
  [ -f "$exe" ] || { fail "$exe does not exist"; continue; }
  # "DLL Name: X" opens a block of "vma hint name" lines that a blank line ends.
  imports=$("$OBJDUMP" -p "$exe" | awk '
    /^\tDLL Name: / { dll = $3; inblock = 1; next }
    inblock && /^[[:space:]]*$/ { inblock = 0; next }
    inblock && /vma:/ { next }
    inblock { if (NF >= 3) print dll, $3; else print dll, "ordinal#" $2 }')
  if [ -z "$imports" ]; then fail "$exe: no import table found"; continue; fi
  count=0
  while read -r dll fn; do
    count=$((count + 1))
    base=${dll,,}; base=${base%.dll}
    case " $SYSTEM_DLLS " in
      *" $base "*) ;;
      *) fail "$(basename "$exe") imports $fn from $dll, which is not a Windows system DLL"; continue ;;
    esac
    if [ -n "${TOO_NEW[$fn]:-}" ]; then
      fail "$(basename "$exe") imports $dll $fn, which exists only since ${TOO_NEW[$fn]}"
    elif [ -z "${allowed["$base $fn"]:-}" ]; then
      fail "$(basename "$exe") imports $dll $fn, which is not on $(basename "$ALLOW"): check that Windows 2000 has it, then add it"
    fi
  done <<<"$imports"
  echo "$(basename "$exe"): $count imports checked"
done
[ "$failures" -eq 0 ] || { echo "$failures import problem(s)"; exit 1; }
