#!/usr/bin/env bash
# Installs the build tree as make install does into a temporary DESTDIR
# (prefix /usr, as the Debian package does) and looks at the result as a
# desktop and a user would: the files and their modes, the desktop entry,
# the file types found by content and by name with their icons and their
# application, the manual pages against the installed programs' own help
# (and their example, run as a user would), the installed velmorin-cli
# compiling an example byte for byte, the installed editor drawing itself
# without writing anything beside itself and naming a file it cannot read,
# and the uninstall removing what that install recorded and nothing else.
#
#   install_test.sh BUILD_DIR SOURCE_DIR SIM   (SIM: yes when velmorin-sim is built)
set -uo pipefail

build=$(cd "$1" && pwd) source=$(cd "$2" && pwd) sim=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
root=$tmp/root usr=$tmp/root/usr
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
ok() { echo "ok: $*"; }
# "ok" for a group of checks only when none of them failed since `mark`.
mark=0
begin() { mark=$failures; }
done_if_clean() { [ "$failures" -eq "$mark" ] && ok "$*"; }

export LC_ALL=C.UTF-8
# A desktop of our own: nothing of the user's is read or changed.
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config XDG_DATA_HOME=$tmp/home/.local/share
export XDG_CACHE_HOME=$tmp/home/.cache XDG_CONFIG_DIRS=$tmp/etc-xdg XDG_RUNTIME_DIR=$tmp/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# A folder that other programs share is there before the install.
mkdir -p "$usr/share/man/man1"
record=$tmp/install_record.txt
if ! DESTDIR=$root bash "$source/packaging/install.sh" "$build" /usr "$record" >"$tmp/install.log" 2>&1; then
  cat "$tmp/install.log" >&2
  echo "FAIL: install.sh" >&2
  exit 1
fi

# --- exactly the expected files ------------------------------------------
types=(application-x-velmorin-ladder application-x-velmorin-image application-x-velmorin-monitor)
programs=(velmorin velmorin-cli)
[ "$sim" = yes ] && programs+=(velmorin-sim)
expected=(
  usr/share/applications/velmorin.desktop
  usr/share/mime/packages/velmorin.xml
  usr/share/doc/velmorin/README.md
  usr/share/doc/velmorin/docs/screenshot.png
  usr/share/icons/hicolor/scalable/apps/velmorin.svg
)
for program in "${programs[@]}"; do
  expected+=("usr/bin/$program" "usr/share/man/man1/$program.1.gz" "usr/share/bash-completion/completions/$program")
done
for example in "$source"/examples/*.ldr; do
  expected+=("usr/share/doc/velmorin/examples/$(basename "$example")")
done
for type in "${types[@]}"; do
  expected+=("usr/share/icons/hicolor/scalable/mimetypes/$type.svg")
done
for size in 16 22 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/velmorin.png")
  for type in "${types[@]}"; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/mimetypes/$type.png")
  done
done
if diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$root" && find . ! -type d | sed 's|^\./||' | sort) \
  >"$tmp/files.diff"; then
  ok "installed files"
else
  fail "installed files differ from the expected ones (< missing, > unexpected):"
  cat "$tmp/files.diff" >&2
fi

wrong_modes=$( (find "$usr/bin" -type f ! -perm 755; find "$usr/share" -type f ! -perm 644) 2>&1)
[ -z "$wrong_modes" ] && ok "file modes" || fail "modes other than 755 (programs) and 644: $wrong_modes"

begin
# A program that reached back into the build tree would break once it is gone.
for program in "${programs[@]}"; do
  if readelf -d "$usr/bin/$program" | grep -qE 'RPATH|RUNPATH'; then
    fail "$program carries a library search path: $(readelf -d "$usr/bin/$program" | grep -E 'RPATH|RUNPATH')"
  fi
done
done_if_clean "no library search paths"

# --- desktop entry ---------------------------------------------------------
if validation=$(desktop-file-validate "$usr/share/applications/velmorin.desktop" 2>&1) && [ -z "$validation" ]; then
  ok "desktop-file-validate"
else
  fail "desktop-file-validate: $validation"
fi

# --- installed velmorin-cli compiles an example ----------------------------
mkdir -p "$tmp/work"
cp "$usr/share/doc/velmorin/examples/latch.ldr" "$tmp/work/"
golden=$source/tests/compiler/golden/example_latch/example_latch
if (cd "$tmp/work" && "$usr/bin/velmorin-cli" compile latch.ldr --date 2026-12-06 >"$tmp/compile.log" 2>&1) &&
  cmp -s "$tmp/work/latch.bld" "$golden.bld" && cmp -s "$tmp/work/latch.prg" "$golden.prg"; then
  ok "installed velmorin-cli compiles examples/latch.ldr byte for byte"
else
  fail "installed velmorin-cli compile of latch.ldr: $(cat "$tmp/compile.log")"
fi

# --- file types: parsed, found by content and by name, icons, application -
xdg=$tmp/xdg
mkdir -p "$xdg/mime/packages" "$xdg/applications"
cp "$usr/share/mime/packages/velmorin.xml" "$xdg/mime/packages/"
cp "$usr/share/applications/velmorin.desktop" "$xdg/applications/"
export XDG_DATA_DIRS=$xdg:/usr/share
begin
if ! update-mime-database "$xdg/mime" >"$tmp/mime.log" 2>&1 || [ -s "$tmp/mime.log" ] ||
  ! update-desktop-database "$xdg/applications" >>"$tmp/mime.log" 2>&1; then
  fail "update-mime-database: $(cat "$tmp/mime.log")"
fi
for type in "${types[@]}"; do
  parsed=$xdg/mime/application/${type#application-}.xml
  if ! grep -q '<comment>' "$parsed" 2>/dev/null || ! grep -q '<comment xml:lang="es">' "$parsed"; then
    fail "$type has no English and Spanish comment in the database"
  fi
done
done_if_clean "update-mime-database, comments"

mkdir -p "$tmp/files"
cp "$usr/share/doc/velmorin/examples/latch.ldr" "$tmp/files/ladder"
cp "$tmp/work/latch.bld" "$tmp/files/image"
{ printf '~VLO| 100r03 \n'; head -c 1024 /dev/zero; } >"$tmp/files/monitor"
for extension in ldr bld mld; do printf 'any text\n' >"$tmp/files/named.$extension"; done
content_type() { gio info -a standard::content-type "$1" 2>/dev/null | sed -n 's/^ *standard::content-type: //p'; }
begin
for kind in ladder image monitor; do
  [ "$(content_type "$tmp/files/$kind")" = "application/x-velmorin-$kind" ] ||
    fail "by content, '$kind' is '$(content_type "$tmp/files/$kind")'"
done
for pair in ldr:ladder bld:image mld:monitor; do
  [ "$(content_type "$tmp/files/named.${pair%%:*}")" = "application/x-velmorin-${pair##*:}" ] ||
    fail "by name, *.${pair%%:*} is '$(content_type "$tmp/files/named.${pair%%:*}")'"
done
done_if_clean "file types by content and by name"

begin
for kind in ladder image monitor; do
  icon=$(gio info -a standard::icon "$tmp/files/$kind" | sed -n 's/^ *standard::icon: \([^,]*\).*/\1/p')
  if [ "$icon" != "application-x-velmorin-$kind" ] ||
    [ ! -f "$usr/share/icons/hicolor/scalable/mimetypes/$icon.svg" ] ||
    [ ! -f "$usr/share/icons/hicolor/48x48/mimetypes/$icon.png" ]; then
    fail "the '$kind' type's icon '$icon' is not installed"
  fi
done
done_if_clean "file type icons"

# The file manager opens *.ldr with the editor (its Exec must be on PATH).
opener=$(PATH=$usr/bin:$PATH gio mime application/x-velmorin-ladder 2>&1 | head -1)
[[ $opener == *": velmorin.desktop" ]] && ok "*.ldr opens in velmorin" || fail "*.ldr opener: $opener"

# --- icons: real PNG pictures of their folder's size -----------------------
begin
for png in $(cd "$usr/share/icons/hicolor" && find . -name '*.png' | sed 's|^\./||'); do
  size=${png%%x*}
  read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$usr/share/icons/hicolor/$png")
  if [ "$(head -c 8 "$usr/share/icons/hicolor/$png" | od -An -tx1 | tr -d ' \n')" != 89504e470d0a1a0a ] ||
    [ $(((w1 << 24) | (w2 << 16) | (w3 << 8) | w4)) -ne "$size" ] ||
    [ $(((h1 << 24) | (h2 << 16) | (h3 << 8) | h4)) -ne "$size" ]; then
    fail "$png is not a $size x $size PNG"
  fi
done
done_if_clean "PNG icon sizes"

# --- manual pages, against the installed programs' own help ----------------
export MANPATH=$usr/share/man MANWIDTH=100
render() { man -l "$usr/share/man/man1/$1.1.gz" 2>/dev/null | col -b | tr -s ' '; }
help_of() { QT_QPA_PLATFORM=offscreen "$usr/bin/$1" "${@:2}" --help 2>/dev/null; }
options_in() { grep -oE -- '--[a-z][a-z-]+' | sort -u; }
begin
for program in "${programs[@]}"; do
  [ "$(man -w "$program" 2>&1)" = "$usr/share/man/man1/$program.1.gz" ] || fail "man -w $program: $(man -w "$program" 2>&1)"
  warnings=$(man --warnings -E UTF-8 -l "$usr/share/man/man1/$program.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$program(1) formats with warnings: $warnings"
  page=$(render "$program")
  for section in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" ENVIRONMENT; do
    grep -qx "$section" <<<"$page" || fail "$program(1) has no $section section"
  done
  for option in $(help_of "$program" | options_in); do
    grep -qF -- "$option" <<<"$page" || fail "$program(1) does not mention $option"
  done
done
grep -qx FILES <<<"$(render velmorin)" || fail "velmorin(1) has no FILES section"
grep -qF VELMORIN_COM1 <<<"$(render velmorin)" || fail "velmorin(1) does not name VELMORIN_COM1"
grep -qF "Vadri/velmorin.conf" <<<"$(render velmorin)" || fail "velmorin(1) does not name the settings file"

cli_page=$(render velmorin-cli)
commands=$(help_of velmorin-cli | awk '/^  [a-z]/ { term = substr($0, 3); sub(/  .*/, "", term)
  n = split(term, parts, / \| /); for (i = 1; i <= n; ++i) { split(parts[i], w, " "); print w[1] } }')
[ -n "$commands" ] || fail "velmorin-cli --help lists no commands"
for command in $commands; do
  usage=$(help_of velmorin-cli "$command" | sed -n '1s/^usage: //p' | tr -s ' ')
  grep -qF -- "$usage" <<<"$cli_page" || fail "velmorin-cli(1) lacks the usage of '$command': $usage"
  for option in $(help_of velmorin-cli "$command" | options_in); do
    grep -qF -- "$option" <<<"$cli_page" || fail "velmorin-cli(1) does not mention $command's $option"
  done
done
done_if_clean "manual pages of ${programs[*]} (commands: $(echo $commands))"

# The page's example, run as it reads by a user with a home of their own:
# the installed examples stay as they are.
begin
example=$(render velmorin-cli | sed -n '/^EXAMPLES$/,/^SEE ALSO$/p' | grep latch |
  sed "s|/usr/share/doc|$usr/share/doc|g")
[ -n "$example" ] || fail "velmorin-cli(1) has no example with latch.ldr"
docs_before=$(cd "$usr/share/doc" && find . | sort)
mkdir -p "$tmp/user"
if ! (cd "$tmp/user" && HOME=$tmp/user PATH=$usr/bin:$PATH bash -ec "$example") >"$tmp/example.log" 2>&1; then
  fail "the manual page's example: $(cat "$tmp/example.log")"
fi
[ -f "$tmp/user/plc/latch.bld" ] || fail "the manual page's example made no image in the user's folder"
[ "$(cd "$usr/share/doc" && find . | sort)" = "$docs_before" ] || fail "the manual page's example wrote into $usr/share/doc"
done_if_clean "the manual page's example compiles a copy"

# Each program's version is the project's.
begin
version=$(sed -nE 's/^project\(velmorin VERSION ([0-9.]+).*/\1/p' "$source/CMakeLists.txt")
for program in "${programs[@]}"; do
  said=$(env -u XDG_RUNTIME_DIR "$usr/bin/$program" --version 2>/dev/null)
  [ "$said" = "$program $version" ] || fail "$program --version says '$said', not '$program $version'"
done
done_if_clean "--version of ${programs[*]}: $version"

# A word the editor does not take is a usage error (2) with its usage, told
# without a display, before any window system is looked for.
begin
for words in "--bogus:Unknown option 'bogus'" "a.ldr b.ldr:only one source file" "--export-pdf x.pdf:--export-pdf needs one source file" "--export-doc x.pdf:--export-doc needs one source file"; do
  args=${words%%:*} why=${words#*:}
  # shellcheck disable=SC2086
  message=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/velmorin" $args 2>&1 >/dev/null)
  status=$?
  [ "$status" -eq 2 ] && [[ $message == *"$why"* && $message == *"Usage:"* ]] ||
    fail "velmorin $args: status $status, $message"
done
done_if_clean "velmorin refuses a bad command line with status 2 and its usage"

# Help and version say nothing else, even without a runtime folder.
begin
for run in "${programs[@]/%/ --help}" "${programs[@]/%/ --version}"; do
  noise=$(env -u XDG_RUNTIME_DIR -u QT_QPA_PLATFORM "$usr/bin/${run%% *}" "${run#* }" 2>&1 >/dev/null)
  [ -z "$noise" ] || fail "$run without XDG_RUNTIME_DIR says on standard error: $noise"
done
done_if_clean "--help and --version without XDG_RUNTIME_DIR"

# --- the installed editor runs where it is and writes nothing beside itself
snapshot() { (cd "$root" && find . -printf '%p %s %m %T@\n' | sort); }
snapshot >"$tmp/before"
mkdir -p "$tmp/cwd"
if (cd "$tmp/cwd" && QT_QPA_PLATFORM=offscreen "$usr/bin/velmorin" --screenshot "$tmp/shot.png" \
  "$usr/share/doc/velmorin/examples/latch.ldr" >"$tmp/editor.log" 2>&1) &&
  [ "$(head -c 4 "$tmp/shot.png" | od -An -tx1 | tr -d ' \n')" = 89504e47 ]; then
  ok "installed velmorin --screenshot"
else
  fail "installed velmorin --screenshot: $(cat "$tmp/editor.log")"
fi
snapshot | diff "$tmp/before" - >/dev/null || fail "the editor changed files under the install prefix"

# A source it cannot read is named with the reason, and a pipe is not waited on.
begin
mkfifo "$tmp/pipe.ldr"
for export in --export-pdf --export-doc; do
  for bad in "$tmp/missing.ldr:No existe el fichero o el directorio" "$tmp/pipe.ldr:Es una tubería (FIFO)"; do
    file=${bad%%:*} reason=${bad#*:}
    message=$(cd "$tmp/cwd" && timeout 20 "$usr/bin/velmorin" "$export" "$tmp/out.pdf" "$file" 2>&1)
    status=$?
    [ "$status" -eq 1 ] && [[ $message == *"Error al abrir el archivo ($file: $reason"* ]] ||
      fail "velmorin $export of $file (status $status): $message"
  done
done
[ ! -e "$tmp/out.pdf" ] || fail "a refused export left $tmp/out.pdf"
# A PDF that cannot be written is named with the reason, and nothing is left.
message=$(cd "$tmp/cwd" && timeout 20 "$usr/bin/velmorin" --export-doc "$tmp/none/doc.pdf" \
  "$usr/share/doc/velmorin/examples/latch.ldr" 2>&1)
status=$?
[ "$status" -eq 1 ] && [[ $message == *"Error al abrir el archivo ($tmp/none/doc.pdf: No existe el fichero o el directorio"* ]] ||
  fail "velmorin --export-doc into a missing folder (status $status): $message"
done_if_clean "velmorin --export-pdf and --export-doc name an unreadable source or an unwritable PDF and the reason"

# The documentation of an example: its cover, its diagram and its tables,
# and no listing or image beside the source.
begin
cp "$usr/share/doc/velmorin/examples/latch.ldr" "$tmp/latch.ldr"
if (cd "$tmp/cwd" && timeout 60 "$usr/bin/velmorin" --export-doc "$tmp/latch.pdf" "$tmp/latch.ldr" >"$tmp/doc.log" 2>&1); then
  text=$(pdftotext -layout "$tmp/latch.pdf" - 2>&1)
  for words in "Documentación del programa" "Tabla de operandos" "Observaciones del programa" \
    "Diagnósticos del compilador" "Página 1 de"; do
    [[ $text == *"$words"* ]] || fail "velmorin --export-doc: no \"$words\" in $tmp/latch.pdf"
  done
  [ ! -e "$tmp/latch.prg" ] && [ ! -e "$tmp/latch.bld" ] || fail "velmorin --export-doc wrote a listing or an image"
else
  fail "velmorin --export-doc of latch.ldr: $(cat "$tmp/doc.log")"
fi
done_if_clean "velmorin --export-doc writes the documentation of an example"
[ -z "$(ls -A "$tmp/cwd")" ] || fail "the editor wrote into its working folder: $(ls -A "$tmp/cwd")"
[ -z "$(find "$XDG_CONFIG_HOME" -type f 2>/dev/null)" ] ||
  fail "the picture mode wrote settings: $(find "$XDG_CONFIG_HOME" -type f)"

# --- uninstall: what this install recorded, where it put it, nothing else -
begin
grep -qx "destdir $root" "$record" && grep -qx "prefix /usr" "$record" ||
  fail "the install record does not name its DESTDIR and PREFIX: $(head -3 "$record")"
# A package owns one of the installed files (as when a staged install lies
# beside the Debian package), and keeps a file of its own in a folder that
# this install created. The fake dpkg says so, and notes what it is asked.
owned=$usr/bin/velmorin-cli
mkdir -p "$tmp/fakebin"
cat >"$tmp/fakebin/dpkg" <<FAKE
#!/bin/sh
[ "\$1" = -S ] || exit 2
shift
status=0
for path; do
  echo "\$path" >>"$tmp/dpkg-asked"
  if [ "\$path" = "$owned" ]; then echo "velmorin: \$path"; else
    echo "dpkg-query: no path found matching pattern \$path" >&2; status=1; fi
done
exit \$status
FAKE
chmod +x "$tmp/fakebin/dpkg"
printf '[Desktop Entry]\n' >"$usr/share/applications/other.desktop"

# Another DESTDIR than the recorded one removes nothing.
if DESTDIR=$tmp/elsewhere bash "$source/packaging/uninstall.sh" "$record" >"$tmp/uninstall.log" 2>&1; then
  fail "an uninstall with another DESTDIR than the recorded one ran"
fi
grep -qF "DESTDIR=$root" "$tmp/uninstall.log" || fail "the refusal does not name the recorded DESTDIR: $(cat "$tmp/uninstall.log")"
[ -f "$usr/bin/velmorin" ] || fail "a refused uninstall removed files"

# Without DESTDIR, as `sudo make uninstall` after a staged install: the
# recorded DESTDIR, never this machine's own /usr.
if env -u DESTDIR PATH="$tmp/fakebin:$PATH" bash "$source/packaging/uninstall.sh" "$record" \
  >"$tmp/uninstall.log" 2>&1; then
  expected_left=". ./usr ./usr/bin ./usr/bin/velmorin-cli ./usr/share ./usr/share/applications
./usr/share/applications/other.desktop ./usr/share/man ./usr/share/man/man1"
  left=$(cd "$root" && find . | LC_ALL=C sort | tr '\n' ' ')
  [ "$left" = "$(echo $expected_left) " ] || fail "left after uninstall: $left (expected: $(echo $expected_left))"
  grep -qxF "Keeping $owned: it belongs to the package velmorin" "$tmp/uninstall.log" ||
    fail "the package's file is not named: $(cat "$tmp/uninstall.log")"
  outside=$(grep -v "^$root/" "$tmp/dpkg-asked")
  [ -z "$outside" ] || fail "dpkg was asked about paths outside the stage: $outside"
  [ ! -e "$record" ] || fail "the record is left after the uninstall"
  if bash "$source/packaging/uninstall.sh" "$record" >"$tmp/again.log" 2>&1 ||
    ! grep -q "nothing to uninstall" "$tmp/again.log"; then
    fail "a second uninstall: $(cat "$tmp/again.log")"
  fi
  done_if_clean "uninstall of the recorded install only"
else
  fail "uninstall: $(cat "$tmp/uninstall.log")"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures install check(s) failed" >&2
  exit 1
fi
echo "every install check passed"
