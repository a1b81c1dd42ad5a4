#!/usr/bin/env bash
# Runs a Windows program in the project's Wine prefix (ctest's emulator).
source "$(dirname "$0")/wine_env.sh"
exec "$KESTROM_WINE" "$@"
