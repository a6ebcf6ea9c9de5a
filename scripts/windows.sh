#!/usr/bin/env bash
# Builds KIVO for 64-bit Windows on Debian 12, runs its tests under Wine and packs the installer.
#
#   bash scripts/windows.sh            everything: Qt (once), KIVO, the tests under Wine, the installer
#   bash scripts/windows.sh qt         only the cross-built Qt, kept in $KIVO_WIN_CACHE for the next runs
#   bash scripts/windows.sh build|test|compare|installer   one step (the ones before it must have run)
#   bash scripts/windows.sh available   whether this machine can (says why not, exit status 1)
#
# Run as root on a fresh machine it installs what it needs from Debian. Qt for Windows is built once
# from Debian's own source package (the version of the Linux build) into $KIVO_WIN_CACHE
# (/var/cache/kivo-win by default); the KIVO build goes to build-win, the installer to build-win/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
step=${1:-all}
cache=${KIVO_WIN_CACHE:-/var/cache/kivo-win}
build=${KIVO_WIN_BUILD:-$root/build-win}
toolchain=$root/cmake/mingw-w64.cmake
mingw=x86_64-w64-mingw32
jobs=$(nproc)
log() { printf '[windows.sh %s] %s\n' "$(date -u +%H:%M:%S)" "$*"; }

packages() {
  bash scripts/deps.sh cmake ninja-build g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev \
    qt6-base-dev qt6-base-dev-tools dpkg-dev patch xz-utils wine64 wine nsis poppler-utils xvfb \
    xauth imagemagick fonts-liberation fonts-dejavu-core qt6-translations-l10n g++ make
  # Qt needs std::thread and std::mutex: the posix thread model of the cross compiler.
  for tool in gcc g++; do
    if [ "$(readlink -f "/usr/bin/$mingw-$tool")" != "/usr/bin/$mingw-$tool-posix" ] && [ "$(id -u)" -eq 0 ]; then
      update-alternatives --set "$mingw-$tool" "/usr/bin/$mingw-$tool-posix" >/dev/null
    fi
  done
}

# The version of the host Qt: the Windows Qt is built from the same source package.
qt_version() { dpkg-query -W -f='${source:Version}' qt6-base-dev; }
qt_prefix() { echo "$cache/qt-$(qt_version | sed 's/[^A-Za-z0-9.+-]/_/g')"; }

fetch_qt_source() {
  local version=$1 apt_dir=$cache/apt-src
  # Debian's source index, enabled only for this download, in a private list folder.
  rm -rf "$apt_dir"
  mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$cache/dl"
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/parts/$(basename "$f")"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$f" ] && sed -n 's/^deb \(.*\)/deb-src \1/p' "$f" >"$apt_dir/parts/$(basename "$f")"
  done
  local opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/parts"
    -o "Dir::State::Lists=$apt_dir/lists")
  apt-get "${opts[@]}" update -qq || true
  (cd "$cache/dl" && apt-get "${opts[@]}" -qq source --download-only "qt6-base=$version")
}

build_qt() {
  local prefix version
  prefix=$(qt_prefix)
  version=$(qt_version)
  if [ -x "$prefix/bin/qt-cmake" ]; then
    log "Qt para Windows ya está en $prefix"
    return
  fi
  local upstream=${version%-*}
  upstream=${upstream#*:}
  local orig=$cache/dl/qt6-base_$upstream.orig.tar.xz
  local deb=$cache/dl/qt6-base_$version.debian.tar.xz
  [ -f "$orig" ] && [ -f "$deb" ] || fetch_qt_source "$version"
  local src=$cache/src build_dir=$cache/qt-build
  # A build cut short (a stopped machine, a timed-out job) goes on where it stopped.
  if [ "$(cat "$build_dir/kivo-configured" 2>/dev/null)" = "$version" ]; then
    log "Continuando la compilación de Qt en $build_dir"
  else
    configure_qt
  fi
  log "Compilando Qt para Windows (la primera vez tarda unos 20 minutos con 2 núcleos)"
  cmake --build "$build_dir" --parallel "$jobs" >>"$cache/qt-build.log" 2>&1 || { tail -40 "$cache/qt-build.log"; exit 1; }
  cmake --install "$build_dir" >"$cache/qt-install.log" 2>&1 || { tail -40 "$cache/qt-install.log"; exit 1; }
  rm -rf "$build_dir" "$src"
  log "Qt para Windows instalado en $prefix ($(du -sh "$prefix" | cut -f1))"
}

# Unpacks Debian's source with its security fixes and configures the Windows build of Qt.
configure_qt() {
  log "Desempaquetando Qt $version"
  rm -rf "$src" "$build_dir"
  mkdir -p "$src" "$build_dir"
  tar -C "$src" -xf "$orig"
  tar -C "$src" -xf "$deb"
  local qtsrc
  qtsrc=$(echo "$src"/qtbase-everywhere-src-*)
  # Debian's security fixes apply to every platform; its other patches are for Linux.
  local p
  for p in "$src"/debian/patches/cve-*; do
    patch -d "$qtsrc" -p1 -s <"$p"
  done
  # Without Direct2D, QtGui leaves out the DirectWrite font engine these two files call.
  sed -i 's/^#if QT_CONFIG(directwrite)$/#if QT_CONFIG(directwrite) \&\& QT_CONFIG(direct2d)/' \
    "$qtsrc/src/printsupport/platform/windows/qprintengine_win.cpp"
  sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
    "$qtsrc/src/plugins/platforms/windows/qwindowsintegration.cpp"
  # A copy in the cache: the installed Qt remembers the toolchain it was built with.
  cp "$toolchain" "$cache/mingw-w64.cmake"
  log "Configurando Qt para Windows en $prefix"
  # The Debian source has no tablet headers (src/3rdparty/wintab): tablets are left out.
  (cd "$build_dir" && "$qtsrc/configure" -prefix "$prefix" -xplatform win32-g++ -qt-host-path /usr -release -shared \
    -nomake examples -nomake tests -no-opengl -no-feature-vulkan -no-dbus -no-feature-tabletevent \
    -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent -no-feature-direct2d \
    -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre -no-icu \
    -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$cache/mingw-w64.cmake" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >"$cache/qt-configure.log" 2>&1) ||
    { tail -40 "$cache/qt-configure.log"; exit 1; }
  echo "$version" >"$build_dir/kivo-configured"
  : >"$cache/qt-build.log"
}

# The Windows programs find their DLLs beside them: Qt's, its plugins and the MinGW runtime.
copy_runtime() {
  local prefix dest=$1
  prefix=$(qt_prefix)
  mkdir -p "$dest/platforms" "$dest/styles"
  local m
  for m in Core Gui Widgets PrintSupport Test; do
    cp -u "$prefix/bin/Qt6$m.dll" "$dest/"
  done
  cp -u "$prefix/plugins/platforms/qwindows.dll" "$prefix/plugins/platforms/qoffscreen.dll" "$dest/platforms/"
  cp -u "$prefix"/plugins/styles/*.dll "$dest/styles/" 2>/dev/null || true
  cp -u /usr/lib/gcc/$mingw/12-posix/libstdc++-6.dll /usr/lib/gcc/$mingw/12-posix/libgcc_s_seh-1.dll \
    /usr/$mingw/lib/libwinpthread-1.dll "$dest/"
}

# A private Wine prefix, started once and kept running: a cold Wine costs seconds per program.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
start_wine() {
  export WINEPREFIX=${WINEPREFIX:-$cache/wine}
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "Preparando Wine en $WINEPREFIX"
    "$wine" wineboot --init >/dev/null 2>&1
  fi
  "$wineserver" -p 2>/dev/null || true # already running: kept
  "$wine" cmd /c exit >/dev/null 2>&1
}
stop_wine() { "$wineserver" -k 2>/dev/null || true; }

build_kivo() {
  local prefix launcher=()
  prefix=$(qt_prefix)
  [ -x "$prefix/bin/qt-cmake" ] || { echo "Falta Qt para Windows: bash scripts/windows.sh qt" >&2; exit 1; }
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  log "Configurando KIVO para Windows en $build"
  "$prefix/bin/qt-cmake" -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" -DCMAKE_CROSSCOMPILING_EMULATOR="$wine" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "${launcher[@]}" >"$build.configure.log" 2>&1 ||
    { tail -40 "$build.configure.log"; exit 1; }
  grep 'Skipped under Wine' "$build.configure.log" | sed 's/^-- /  /' || true
  copy_runtime "$build/bin"
  # The offscreen platform of the tests takes its fonts from one folder.
  mkdir -p "$build/fonts"
  cp -u /usr/share/fonts/truetype/liberation/*.ttf /usr/share/fonts/truetype/dejavu/*.ttf "$build/fonts/"
  start_wine # the delivered tables are written by the Windows mkdbf
  log "Compilando KIVO para Windows"
  cmake --build "$build" --parallel "$jobs"
}

test_kivo() {
  start_wine
  log "Pruebas bajo Wine"
  (cd "$build" && ctest --output-on-failure -j"$jobs")
}

# The same input through the Linux build: the tables travel between machines on the disk.
linux_build() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build --parallel "$jobs" --target kivo kivo_data test_pdf >/dev/null
}

compare_with_linux() {
  linux_build
  start_wine
  log "Tablas escritas por la compilación para Windows comparadas byte a byte con las de Linux"
  local f n=0
  for f in build/share/kivo/data/*.dbf; do
    cmp "$f" "$build/share/kivo/data/$(basename "$f")"
    n=$((n + 1))
  done
  echo "  $n tablas idénticas"
  log "Texto del cuestionario en PDF: Windows frente a Linux"
  local out=$build/artifacts
  mkdir -p "$out"
  rm -f "$out/cuestionario-windows.pdf" "$out/cuestionario-linux.pdf"
  (cd build && KIVO_PDF_COPY="$out/cuestionario-linux.pdf" QT_QPA_PLATFORM=offscreen \
    ./bin/test_pdf >/dev/null)
  (cd "$build" && KIVO_PDF_COPY="Z:$out/cuestionario-windows.pdf" WINEQT_QPA_PLATFORM=offscreen \
    WINEQT_QPA_FONTDIR="Z:$build/fonts" "$wine" bin/test_pdf.exe >/dev/null 2>&1) || true
  pdftotext -layout "$out/cuestionario-linux.pdf" "$out/cuestionario-linux.txt"
  pdftotext -layout "$out/cuestionario-windows.pdf" "$out/cuestionario-windows.txt"
  diff -u "$out/cuestionario-linux.txt" "$out/cuestionario-windows.txt"
  echo "  mismo texto ($(wc -l <"$out/cuestionario-linux.txt") líneas)"
}

make_installer() {
  local version stage=$build/stage
  version=$(sed -n 's/^project(kivo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  log "Instalador kivo-setup-$version.exe"
  rm -rf "$stage"
  cmake --install "$build" --prefix "$stage" >/dev/null
  copy_runtime "$stage/bin"
  rm -rf "$stage/share/applications" "$stage/share/icons"
  mkdir -p "$stage/translations"
  cp /usr/share/qt6/translations/qtbase_es.qm "$stage/translations/"
  makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$build/kivo-setup-$version.exe" \
    installer/kivo.nsi
  ls -l "$build/kivo-setup-$version.exe"
}

# Installs silently under Wine and starts the installed program on c:\KIVO in an X server.
try_installer() {
  local version display shot=$build/artifacts/kivo-wine.png
  version=$(sed -n 's/^project(kivo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  start_wine
  local drive_c=$WINEPREFIX/drive_c
  rm -rf "$drive_c/KIVO"
  "$wine" "$build/kivo-setup-$version.exe" /S
  local installed="$drive_c/Program Files/KIVO/bin/kivo.exe"
  [ -f "$installed" ] || { echo "El instalador no dejó kivo.exe" >&2; exit 1; }
  local f
  for f in build/share/kivo/data/*.dbf; do
    cmp "$f" "$drive_c/KIVO/$(basename "$f")"
  done
  echo "  el instalador dejó en c:\\KIVO las tablas entregadas"
  # The program itself fills an empty c:\KIVO on its first start and stamps the sales years:
  # the Linux build, started on an empty folder the same day, must write the same bytes.
  rm -f "$drive_c"/KIVO/*
  linux_build
  local linux_data
  linux_data=$(mktemp -d)
  (unset KIVO_DRIVE_A; KIVO_DATA_DIR=$linux_data build/bin/kivo --pendientes >/dev/null 2>&1) || true
  (unset KIVO_DATA_DIR KIVO_DRIVE_A; "$wine" 'C:\Program Files\KIVO\bin\kivo.exe' --pendientes >/dev/null 2>&1) || true
  local n=0
  for f in "$linux_data"/*.dbf; do
    cmp "$f" "$drive_c/KIVO/$(basename "$f")"
    n=$((n + 1))
  done
  rm -rf "$linux_data"
  echo "  kivo.exe y kivo de Linux, al empezar en una carpeta vacía, escribieron $n tablas idénticas byte a byte"
  mkdir -p "$(dirname "$shot")"
  # A free display, chosen by the X server itself: another test's may be running.
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  local xvfb=$!
  read -r display <"$fifo"
  rm -f "$fifo"
  display=:$display
  (unset KIVO_DATA_DIR KIVO_DRIVE_A; DISPLAY=$display "$wine" explorer /desktop=kivo,1280x1000 \
    'C:\Program Files\KIVO\bin\kivo.exe' >/dev/null 2>&1) &
  local kivo=$!
  sleep "${KIVO_SHOT_WAIT:-20}"
  DISPLAY=$display import -window root "$shot"
  kill "$kivo" 2>/dev/null || true
  stop_wine
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  echo "  captura de la ventana: $shot"
}

timed() {
  local start=$SECONDS
  "$@"
  log "$1: $((SECONDS - start)) s"
}

# Whether this machine can build for Windows: the cross compiler, Wine and NSIS, installed or
# installable from Debian (as root), and the architecture Debian's Wine runs on.
available() {
  [ "$(dpkg --print-architecture)" = amd64 ] || { echo "Sin compilación para Windows: la máquina no es amd64"; return 1; }
  local p missing=()
  for p in g++-mingw-w64-x86-64-posix wine64 nsis; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  [ "$(id -u)" -eq 0 ] || { echo "Sin compilación para Windows: faltan ${missing[*]} y no se es root"; return 1; }
  apt-get update -qq >/dev/null 2>&1 || true
  for p in "${missing[@]}"; do
    if ! apt-cache policy "$p" 2>/dev/null | grep -q 'Candidate: [0-9]'; then
      echo "Sin compilación para Windows: Debian no ofrece $p en esta máquina"
      return 1
    fi
  done
}

case "$step" in
  available) available ;;
  qt)
    packages
    timed build_qt
    ;;
  build) timed build_kivo ;;
  test) timed test_kivo ;;
  compare) timed compare_with_linux ;;
  installer)
    timed make_installer
    timed try_installer
    ;;
  all)
    packages
    timed build_qt
    timed build_kivo
    timed test_kivo
    timed compare_with_linux
    timed make_installer
    timed try_installer
    stop_wine
    ;;
  *)
    echo "uso: bash scripts/windows.sh [all|qt|build|test|compare|installer|available]" >&2
    exit 2
    ;;
esac
