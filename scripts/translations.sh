#!/usr/bin/env bash
# Brings translations/*.ts in step with the texts of the sources: new texts are added as
# unfinished (translate them, e.g. with linguist or by hand), texts no longer used are dropped.
# The build fails until every text has a finished translation.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=/usr/lib/qt6/bin/lupdate
[ -x "$lupdate" ] || scripts/deps.sh
# The folders translations/CMakeLists.txt reads.
sources=$(ls window/*.cpp window/*.h about/*.cpp about/*.h app/*.cpp app/*.h)
# shellcheck disable=SC2086
"$lupdate" -I . -locations none -no-obsolete -source-language ru -target-language en \
    $sources -ts translations/vantrel_en.ts
# shellcheck disable=SC2086
"$lupdate" -I . -locations none -no-obsolete -pluralonly -source-language ru -target-language ru \
    $sources -ts translations/vantrel_ru.ts
