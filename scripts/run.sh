#!/usr/bin/env bash
# Sets everything up, builds and starts the trainer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build
exec build/app/vantrel "$@"
