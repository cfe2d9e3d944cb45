#!/usr/bin/env bash
# The figures of the closing notes, inside the Wine wrapper: start-up, scene build, texture
# loads and frame rates.
set -euo pipefail
build=$1
wine "$build/qbench.exe" 1024 768 2>/dev/null | tr -d '\r'
