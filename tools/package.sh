#!/usr/bin/env bash
# Builds the Windows Installer packages of Quillbox from finished builds.
#   tools/package.sh                         both packages from build/x64 and build/x86 into build/packages
#   tools/package.sh x64|x86 BUILD_DIR OUT   one package from one build
# The registry rows come from qb_regrows of the 64-bit build (run under Wine), which prints the rows
# DllRegisterServer writes, for either platform. Run it after both builds (README, "Building by hand").
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/tools/setup.sh"  # wixl and msitools, on a machine that has not run the tests yet
source "$root/tools/wine-env.sh"

package() {  # ARCH BUILD_DIR OUT_DIR
  local arch=$1 build out version platform rows wxs msi
  build=$(realpath "$2"); out=$(realpath -m "$3")
  version=$(sed -n 's/^#define QB_VERSION_TEXT "\(.*\)"$/\1/p' "$build/src/version.h")
  [ -n "$version" ] || { echo "package: no version in $build/src/version.h" >&2; return 1; }
  platform=win64; [ "$arch" = x86 ] && platform=win32
  local regrows=${QB_REGROWS:-$build/packaging/qb_regrows.exe}
  [ "$arch" = x86 ] && regrows=${QB_REGROWS:-$(dirname "$build")/x64/packaging/qb_regrows.exe}
  mkdir -p "$out"
  # What ships: the DLL without its debug information, and the files it reads beside it.
  local stage="$out/Quillbox-$version-$arch"
  rm -rf "$stage"; mkdir -p "$stage"
  local strip=x86_64-w64-mingw32-strip; [ "$arch" = x86 ] && strip=i686-w64-mingw32-strip
  "$strip" --strip-debug -o "$stage/Quillbox.dll" "$build/src/Quillbox.dll"
  cp -r "$build/src/UploadXXX.txt" "$build/src/skin" "$build/src/Avi" "$stage/"
  rows="$out/Quillbox-$version-$arch.rows"
  wxs="$out/Quillbox-$version-$arch.wxs"
  msi="$out/Quillbox-$version-$arch.msi"
  qb_make_prefix
  qb_wine "$regrows" "$platform" </dev/null | tr -d '\r' >"$rows"
  python3 "$root/packaging/make-wxs.py" --arch "$arch" --version "$version" --rows "$rows" \
    --bin "$stage" --out "$wxs"
  rm -f "$msi"
  (cd "$stage" && wixl -a "$arch" -o "$msi" "$wxs")
  # wixl writes no RemoveFile rows for files: the error log written beside the DLL goes at removal.
  msibuild "$msi" -q "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`, \`InstallMode\`) VALUES ('QuillboxLog', 'QuillboxDllComponent', 'Quillbox.Log', 'INSTALLDIR', 2)"
  echo "$msi"
}

if [ $# -eq 0 ]; then
  package x64 "$root/build/x64" "$root/build/packages"
  package x86 "$root/build/x86" "$root/build/packages"
else
  package "${1:?arch}" "${2:?build dir}" "${3:?output dir}"
fi
