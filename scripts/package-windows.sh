#!/usr/bin/env bash
# Makes the portable Windows zip, tunemark-VERSION-win64.zip: tunemark.exe, tunemark-cli.exe,
# every library they load, the Qt plugins and Chinese texts, LICENSE and a short README, in one
# folder that runs from wherever it is unzipped and keeps rename.ini beside itself.
#
#     scripts/package-windows.sh [BUILD]    default build-windows-release; the zip goes there
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows-release}
export TUNEMARK_WINDOWS_SDK=${TUNEMARK_WINDOWS_SDK:-/var/cache/tunemark/windows-sdk}
sdk=$TUNEMARK_WINDOWS_SDK
bash scripts/windows-sdk.sh
bash scripts/deps.sh --windows

cmake -S . -B "$build" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
    -DTUNEMARK_WINDOWS_SDK="$sdk" -DCMAKE_PREFIX_PATH="$sdk" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target tunemark tunemark-cli

version=$(sed -n 's/^project(Tunemark VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=tunemark-$version-win64
stage=$build/$name
rm -rf "$stage" "$build/$name.zip"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations"
x86_64-w64-mingw32-strip -o "$stage/tunemark.exe" "$build/src/app/tunemark.exe"
x86_64-w64-mingw32-strip -o "$stage/tunemark-cli.exe" "$build/src/cli/tunemark-cli.exe"
for dll in Qt6Core Qt6Gui Qt6Widgets libtag libstdc++-6 libgcc_s_seh-1 libwinpthread-1; do
    install -m 644 "$sdk/bin/$dll.dll" "$stage/"
done
# Debian's MinGW zlib, which Qt, TagLib and the program load.
install -m 644 /usr/x86_64-w64-mingw32/lib/zlib1.dll "$stage/"
x86_64-w64-mingw32-strip "$stage/zlib1.dll"
install -m 644 "$sdk/plugins/platforms/qwindows.dll" "$stage/platforms/"
install -m 644 "$sdk/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
mkdir -p "$stage/imageformats" # the picture on the fourth page is a JPEG
install -m 644 "$sdk/plugins/imageformats/qjpeg.dll" "$stage/imageformats/"
install -m 644 "$sdk/translations/qtbase_zh_CN.qm" "$stage/translations/"
# Qt's paths relative to the program, not to where Qt was built.
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' >"$stage/qt.conf"
install -m 644 LICENSE "$stage/LICENSE.txt"
sed 's/$/\r/' packaging/windows/README.txt >"$stage/README.txt"

# Every library a program or library of the zip loads is in the zip or part of Windows.
system='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|comctl32|imm32|winmm|ws2_32|version|netapi32|userenv|uxtheme|dwmapi|shcore|setupapi|msvcrt|mpr|authz|d3d9|d3d11|dxgi|dwrite|wtsapi32|api-ms-win-.*|ntdll|secur32|crypt32|bcrypt|rpcrt4|shlwapi|winspool\.drv|usp10)\.dll$'
missing=0
while IFS= read -r -d '' binary; do
    while read -r dll; do
        lower=${dll,,}
        if [[ ! $lower =~ $system ]] && [[ ! -e $stage/$dll ]]; then
            echo "${binary#"$stage/"} loads $dll, which the zip lacks"
            missing=1
        fi
    done < <(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p')
done < <(find "$stage" \( -name '*.exe' -o -name '*.dll' \) -print0)
((missing == 0))

(cd "$build" && zip -qr9 "$name.zip" "$name")
echo "$build/$name.zip: $(du -h "$build/$name.zip" | cut -f1)"
