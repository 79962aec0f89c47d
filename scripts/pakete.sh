# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by scripts/run and scripts/test: installs the Debian packages the
# program needs (nothing when all are there), then configures and builds.
set -euo pipefail
cd "$(dirname "$0")/.."

# libhamlib-utils: rigctld and rigctl, which the receiver tests start.
# poppler-utils: pdftotext, pdfinfo and pdffonts, which read the printed PDFs back.
# man-db: man, with which the tests render the manual pages.
PAKETE="build-essential cmake ninja-build qt6-base-dev libqt6sql6-sqlite libsqlite3-dev
        qt6-charts-dev libqt6opengl6-dev qt6-svg-dev
        qt6-translations-l10n fonts-dejavu-core fonts-liberation xvfb xauth libhamlib-utils
        poppler-utils man-db"
# Jet files: mdbtools' library to read them, its programs to check the
# reader against; the Debian package: dpkg-shlibdeps for its dependencies,
# the validators of its desktop and metainfo files.
PAKETE="$PAKETE pkg-config mdbtools-dev mdbtools dpkg-dev appstream desktop-file-utils"

fehlend=()
for p in $PAKETE; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || fehlend+=("$p")
done
if [ ${#fehlend[@]} -gt 0 ]; then
  echo "Installiere fehlende Pakete: ${fehlend[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${fehlend[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
