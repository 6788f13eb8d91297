#!/usr/bin/env bash
# End to end under a real X server, as a new user would: open a photo from the command line,
# Ctrl+Return, Ctrl+S, type a path, confirm the JPEG options; the file must equal what
# tavelune-cli writes for the same picture; then the batch and index dialogs run on the sample
# photos in each language. Screenshots of each language go to SHOTS.
#   usage: scripts/gui-smoke.sh [BUILD_DIR] [SHOTS_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shots=${2:-$(mktemp -d)}
sample=samples/coffee.jpg

for tool in Xvfb xdotool import; do
  command -v $tool >/dev/null || { echo "gui-smoke: $tool is not installed; skipped"; exit 0; }
done

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$shots"
chmod 700 "$XDG_RUNTIME_DIR"
# The server picks a free display itself and writes its number once it accepts clients: a
# number chosen here could belong to another server that comes and goes. -noreset: when the
# last client (one language's run) goes, the server would otherwise reset and refuse the
# next run's connection for a moment.
Xvfb -displayfd 3 -noreset -screen 0 1366x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
app=
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  kill $xvfb 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "gui-smoke: FAILED: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -1 "$work/display")
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

fail() {
  kill -0 $xvfb 2>/dev/null || echo "gui-smoke: the X server ($DISPLAY) has gone" >&2
  echo "gui-smoke: FAILED: $*" >&2
  exit 1
}

# Waits for a visible window whose name matches and prints its id.
window_named() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Opens a dialog by its key, keeps a screenshot and closes it with Escape (answering Yes if
# the dialog asks first). Titles are the dialogs' captions in each language.
declare -A batch_title=([zh_CN]="批量处理" [zh_TW]="批次處理" [en_US]="Batch processing")
declare -A index_title=([zh_CN]="索引样片" [zh_TW]="索引樣片" [en_US]="Index Print")
declare -A size_title=([zh_CN]="图像大小" [zh_TW]="影像大小" [en_US]="Image Size")
shoot_dialog() {
  local lang=$1 keys=$2 title=$3 name=$4 main=$5 dialog
  # Keys go to the focused window through XTEST: a key sent to a window that has just gone
  # would be an X error.
  xdotool windowfocus --sync "$main"
  xdotool key "$keys"
  dialog=$(window_named "^$title") || fail "$lang: $name did not open with $keys"
  xdotool windowfocus --sync "$dialog" 2>/dev/null || true
  sleep 1
  import -window root "$shots/$name-$lang.png"
  xdotool key Escape
  sleep 0.8
  if xdotool search --onlyvisible --name "^$title" >/dev/null 2>&1; then
    xdotool key Return  # the question before closing
    sleep 0.5
  fi
  ! xdotool search --onlyvisible --name "^$title" >/dev/null 2>&1 ||
    fail "$lang: $name did not close with Escape"
}

# Every dialog the main window opens by a key, in turn.
run_dialogs() {
  local lang=$1 main=$2
  shoot_dialog "$lang" ctrl+b "${batch_title[$lang]}" batch "$main"
  shoot_dialog "$lang" ctrl+i "${index_title[$lang]}" index "$main"
  shoot_dialog "$lang" ctrl+e "Exif Maker" exif-editor "$main"
  shoot_dialog "$lang" ctrl+r "${size_title[$lang]}" image-size "$main"
}

run_language() {
  local lang=$1
  QT_QPA_PLATFORM=xcb "$build/tavelune" --lang "$lang" "$sample" &
  app=$!
  local main
  main=$(window_named "coffee.jpg") || fail "$lang: main window did not appear"
  xdotool windowsize --sync "$main" 1280 720 windowmove --sync "$main" 20 20
  xdotool windowfocus --sync "$main"
  sleep 1.5
  import -window root "$shots/main-$lang-before.png"
  xdotool key --window "$main" ctrl+Return
  sleep 2
  import -window root "$shots/main-$lang-after.png"
  run_dialogs "$lang" "$main"
  # Without a window manager nothing hands the focus back when a dialog closes.
  xdotool windowfocus --sync "$main"
}

run_language zh_CN
kill "$app"; wait "$app" 2>/dev/null || true
run_language zh_TW
kill "$app"; wait "$app" 2>/dev/null || true
run_language en_US

# Save through the real dialogs.
out=$work/saved.jpg
xdotool key ctrl+s
dialog=$(window_named "Save the converted picture") || fail "save dialog did not appear"
xdotool windowfocus --sync "$dialog"
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 5 "$out"
xdotool key Return
options=$(window_named "JPEG") || fail "JPEG options dialog did not appear"
xdotool windowfocus --sync "$options"
sleep 0.3
xdotool key Return
for _ in $(seq 100); do [ -s "$out" ] && break; sleep 0.1; done
[ -s "$out" ] || fail "no file was written"

"$build/tavelune-cli" convert --fit 800 "$sample" "$work/reference.jpg" >/dev/null
if ! cmp -s "$out" "$work/reference.jpg"; then
  differing=$(compare -metric AE "$out" "$work/reference.jpg" null: 2>&1 || true)
  [ "$differing" = "0" ] || fail "saved picture differs from tavelune-cli convert --fit 800 ($differing pixels)"
fi
# The batch and index dialogs run on the sample photos in each language, as Start and the
# sheet button would run them (the drivers are built with the benchmarks).
photos=(samples/*.jpg)
if [ -x "$build/bench/batch_dialog_run" ] && [ -x "$build/bench/index_dialog_run" ]; then
  for lang in zh_CN zh_TW en_US; do
    made=$work/batch-$lang
    mkdir -p "$made"
    "$build/bench/batch_dialog_run" --lang "$lang" --program-folder "$(realpath "$build")" --show --hold 1500 \
      -o "$made" "${photos[@]}" >"$work/batch-$lang.log" 2>&1 &
    runner=$!
    for _ in $(seq 300); do [ "$(ls "$made" | wc -l)" -ge ${#photos[@]} ] && break; sleep 0.1; done
    sleep 0.5
    import -window root "$shots/batch-run-$lang.png"
    wait $runner || fail "$lang: the batch dialog's run failed: $(tail -2 "$work/batch-$lang.log")"
    written=$(find "$made" -name '*.jpg' -size +0 | wc -l)
    [ "$written" -eq ${#photos[@]} ] ||
      fail "$lang: the batch dialog wrote $written of ${#photos[@]} pictures"
    "$build/bench/index_dialog_run" --lang "$lang" --program-folder "$(realpath "$build")" --hold 1500 \
      "${photos[@]}" >"$work/index-$lang.log" 2>&1 &
    runner=$!
    sleep 1
    import -window root "$shots/index-run-$lang.png"
    wait $runner || fail "$lang: the index dialog's run failed: $(tail -2 "$work/index-$lang.log")"
    ! grep -q '^message:' "$work/index-$lang.log" ||
      fail "$lang: the index dialog showed a message: $(grep -m1 '^message:' "$work/index-$lang.log")"
  done
else
  echo "gui-smoke: the dialog drivers are not built (TAVELUNE_BENCH); batch and index runs skipped"
fi
echo "gui-smoke: passed; screenshots in $shots"
