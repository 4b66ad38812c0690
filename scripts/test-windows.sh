#!/usr/bin/env bash
# Builds Tunemark, window included, with every test and benchmark for 64-bit Windows against
# the prefix scripts/windows-sdk.sh fills (built first when missing), and runs the whole ctest
# under Wine on a virtual display: with the ANSI code page 936, with 1252, and with 65001 where
# Wine takes it (Wine 8 does not: it keeps the locale's; the run says which it saw and is not
# made again). Each run has a Wine prefix of its own under the build folder. A test program
# that fails is run once more on its own, and named either way, so that a one-off on a loaded
# machine shows in the output without stopping the run.
#
#     scripts/test-windows.sh [BUILD]    default build-windows
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}
export TUNEMARK_WINDOWS_SDK=${TUNEMARK_WINDOWS_SDK:-/var/cache/tunemark/windows-sdk}
bash scripts/windows-sdk.sh
bash scripts/deps.sh --windows

# Wine's ANSI code page follows the locale, which must exist.
for locale in zh_CN.UTF-8 en_US.UTF-8; do
    if ! locale -a 2>/dev/null | grep -qix "${locale/UTF-8/utf8}"; then
        sed -i "s/^# *\(${locale} UTF-8\)/\1/" /etc/locale.gen
        grep -q "^${locale} UTF-8" /etc/locale.gen || echo "${locale} UTF-8" >>/etc/locale.gen
        need_locales=1
    fi
done
[[ -z ${need_locales:-} ]] || locale-gen >/dev/null

cmake -S . -B "$build" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
    -DTUNEMARK_WINDOWS_SDK="$TUNEMARK_WINDOWS_SDK" -DCMAKE_PREFIX_PATH="$TUNEMARK_WINDOWS_SDK" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DTUNEMARK_WERROR=ON \
    -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/lib/wine/wine64 >/dev/null
cmake --build "$build"

# Wine finds the libraries on its path; Qt finds its plugins beside its own library.
winepath_dir() {
    echo "Z:${1//\//\\}"
}
export WINEPATH
WINEPATH=$(winepath_dir "$TUNEMARK_WINDOWS_SDK/bin")
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# QtTest writes to the console where there is one, not to the debugger.
export WINEQT_FORCE_STDERR_LOGGING=1

run() {
    local codepage=$1 lang=$2
    export WINEPREFIX=$PWD/$build/wine-$codepage
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
        LANG=$lang wineboot --init >/dev/null 2>&1 || true
        wineserver -w
        if [[ $codepage == 65001 ]]; then
            LANG=$lang wine reg add 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' \
                /v ACP /t REG_SZ /d 65001 /f >/dev/null 2>&1
            wineserver -w
        fi
    fi
    # Which code page Wine gives, as a program sees it (GetACP).
    local seen
    seen=$(LANG=$lang LC_ALL=$lang ctest --test-dir "$build" -R '^tst_legacytext$' -V 2>&1 |
        grep -ao 'ANSI code page [0-9]*' | head -1) || true
    echo "== Windows tests, ANSI code page $codepage asked, ${seen:-none} seen"
    if [[ $codepage == 65001 && $seen != "ANSI code page 65001" ]]; then
        echo "== Wine keeps its own code page: the 65001 run would repeat the one before"
        return
    fi
    local ctest_run=(xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$build" -LE fuzz)
    if ! LANG=$lang LC_ALL=$lang "${ctest_run[@]}" --output-on-failure -j"$(nproc)"; then
        echo "== Windows tests with ANSI code page $codepage: the failed ones once more, alone"
        LANG=$lang LC_ALL=$lang "${ctest_run[@]}" --output-on-failure --rerun-failed ||
            failed+=("$codepage")
    fi
    wineserver -k || true
}

# Every code page runs, whatever the one before gave.
failed=()
run 936 zh_CN.UTF-8
run 1252 en_US.UTF-8
run 65001 en_US.UTF-8
if ((${#failed[@]})); then
    echo "Windows tests failed with ANSI code page ${failed[*]}"
    exit 1
fi
