#!/usr/bin/env bash
# Sets everything up, builds and starts the trainer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build
if [ -x build/app/vantrel ]; then
    exec build/app/vantrel "$@"
fi
echo "Built everything; the trainer window is not there yet."
