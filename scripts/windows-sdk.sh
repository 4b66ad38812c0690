#!/usr/bin/env bash
# Builds what the Windows build of Tunemark links, from Debian's source packages, with the
# MinGW-w64 cross compiler: Qt 6.4.2 (Core, Gui, Widgets, Test, the windows platform plugin and
# the vista style; no network, SQL, D-Bus or OpenGL) and TagLib 1.13 against Debian's MinGW
# zlib, both shared, into a prefix outside the clone. A prefix that is already complete for
# these versions is used as it is.
#
#     scripts/windows-sdk.sh        prefix: $TUNEMARK_WINDOWS_SDK, default /var/cache/tunemark/windows-sdk
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
prefix=${TUNEMARK_WINDOWS_SDK:-/var/cache/tunemark/windows-sdk}
qt_version=6.4.2
taglib_version=1.13
stamp=$prefix/.tunemark-sdk
want="qt $qt_version taglib $taglib_version 2"
if [[ -f $stamp && $(cat "$stamp") == "$want" ]]; then
    echo "Windows SDK: $prefix (ready)"
    exit 0
fi

bash scripts/deps.sh --windows
work=$(mktemp -d /var/tmp/tunemark-sdk.XXXXXX)
list=/etc/apt/sources.list.d/tunemark-windows-sdk.sources
cleanup() {
    rm -f "$list"
    apt-get update -qq || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# Debian's sources: a deb-src entry of our own beside each deb entry, for the download only.
entries=$(for file in /etc/apt/sources.list.d/*.sources; do
    [[ $file == "$list" ]] || { sed -n 's/^Types: deb$/Types: deb-src/p; /^Types:/!p' "$file"; echo; }
done)
printf '%s\n' "$entries" >"$list"
if [[ -f /etc/apt/sources.list ]]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >>"${list%.sources}.list" || true
fi
apt-get update -qq
cd "$work"
apt-get source -qq --download-only "qt6-base=$qt_version+dfsg-10" taglib >/dev/null
rm -f "$list" "${list%.sources}.list"

# A long build's output goes to a log, shown only when the build fails.
fail() {
    tail -n 60 "$1" >&2
    exit 1
}
quietly() {
    local log=$1
    shift
    "$@" >"$log" 2>&1 || fail "$log"
}

toolchain=$source/cmake/mingw-w64.cmake
export TUNEMARK_WINDOWS_SDK=$prefix
rm -rf "$prefix"
mkdir -p "$prefix"
jobs=$(nproc)

# Qt: only what the program and its tests use (JPEG for the picture on the fourth page).
tar -xf qt6-base_$qt_version+dfsg.orig.tar.xz
qtsrc=$(find . -maxdepth 1 -type d -name 'qtbase*' | head -1)
cmake -S "$qtsrc" -B qt-build -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=ON \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no \
    -DFEATURE_opengl_dynamic=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_icu=OFF -DFEATURE_jpeg=ON -DFEATURE_gif=OFF -DFEATURE_ico=OFF \
    -DFEATURE_sql_sqlite=OFF -DFEATURE_testlib=ON -DFEATURE_gui=ON -DFEATURE_widgets=ON \
    -DFEATURE_graphicsview=OFF -DFEATURE_pdf=OFF -DFEATURE_textodfwriter=OFF \
    -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF -DFEATURE_mdiarea=OFF \
    -DFEATURE_calendarwidget=OFF -DFEATURE_undocommand=OFF -DFEATURE_undostack=OFF \
    -DFEATURE_undogroup=OFF -DFEATURE_undoview=OFF -DFEATURE_wizard=OFF \
    -DFEATURE_systemtrayicon=OFF -DFEATURE_movie=OFF -DFEATURE_colordialog=OFF \
    -DFEATURE_fontdialog=OFF -DFEATURE_errormessage=OFF -DFEATURE_lcdnumber=OFF \
    -DFEATURE_dial=OFF -DFEATURE_keysequenceedit=OFF -DFEATURE_splashscreen=OFF \
    -DFEATURE_imageformat_ppm=OFF -DFEATURE_imageformat_xbm=OFF >qt-configure.log 2>&1 ||
    fail qt-configure.log
quietly qt-build.log cmake --build qt-build --parallel "$jobs"
cmake --install qt-build >/dev/null

# TagLib without Debian's patches (they reach for a system utf8-cpp the cross compiler cannot
# see), and its security fix applied by hand.
tar -xf taglib_$taglib_version.orig.tar.gz
tar -xf taglib_$taglib_version-*.debian.tar.xz -C taglib-$taglib_version
patch -d taglib-$taglib_version -p1 <"$(ls taglib-$taglib_version/debian/patches/*47466* | head -1)"
cmake -S taglib-$taglib_version -B taglib-build -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=ON -DBUILD_TESTS=OFF \
    -DBUILD_EXAMPLES=OFF -DBUILD_BINDINGS=OFF -DWITH_ZLIB=ON \
    -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a \
    -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include >taglib-configure.log 2>&1 ||
    fail taglib-configure.log
quietly taglib-build.log cmake --build taglib-build --parallel "$jobs"
cmake --install taglib-build >/dev/null

# The MinGW runtime every program loads, stripped, and Qt's Chinese texts.
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
for dll in libstdc++-6.dll libgcc_s_seh-1.dll; do
    install -m 644 "$runtime/$dll" "$prefix/bin/"
done
install -m 644 /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$prefix/bin/"
install -m 644 /usr/x86_64-w64-mingw32/lib/zlib1.dll "$prefix/bin/"
x86_64-w64-mingw32-strip "$prefix"/bin/{libstdc++-6,libgcc_s_seh-1,libwinpthread-1,zlib1}.dll
mkdir -p "$prefix/translations"
install -m 644 /usr/share/qt6/translations/qtbase_zh_CN.qm "$prefix/translations/"
echo "$want" >"$stamp"
echo "Windows SDK: $prefix (built)"
