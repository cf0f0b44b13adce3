#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's prefix (used by ctest as the emulator).
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exec "$QB_WINE" "$@"
