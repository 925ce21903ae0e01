#!/usr/bin/env bash
# Registers and unregisters Tessera.dll with regsvr32 and checks the registry
# each time; leaves the server registered for the tests that need it.
# Usage: registration_cycle.sh <bin folder>
set -euo pipefail
cd "$1"
check() { wine tessera_testtool.exe "$1"; }

wine regsvr32 /s /u Tessera.dll || true
check unregistered
wine regsvr32 /s Tessera.dll
check registered
wine regsvr32 /s Tessera.dll   # registering again is harmless
check registered
wine regsvr32 /s /u Tessera.dll
check unregistered
wine regsvr32 /s Tessera.dll
check registered
echo "registration cycle passed"
