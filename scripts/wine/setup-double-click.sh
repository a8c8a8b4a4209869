#!/bin/bash
# A double-click on a production file in a folder whose name has a blank, as
# Explorer does it: the shell runs the type's open verb with the file. The
# installed program opens it and shows its report, which the box gives to the
# clipboard on Ctrl+C (Wine hands it to X).
. "$(dirname "$0")/common.sh" setup
. "$(dirname "$0")/setup-common.sh"
folder="$drive/users/Public/Production TORSA"
mkdir -p "$folder"
cp "$root/samples/demo.zel" "$folder/ligne 3.zel"
(cd "$drive" && exec wine start /unix "$folder/ligne 3.zel") >"$work/start.log" 2>&1 &
trap 'wineserver -k 2>/dev/null || true' EXIT
tries=0
until box=$(xdotool search --name '^TORSA$' 2>/dev/null | head -1) && [ -n "$box" ]; do
    tries=$((tries + 1)); [ $tries -lt 600 ] || { echo "no box" >&2; exit 1; }; sleep 0.1
done
sleep 2   # drawn, with the keyboard focus
xdotool windowfocus "$box" 2>/dev/null || true
xdotool key ctrl+c
sleep 1
xclip -o -selection clipboard >"$work/box.txt" 2>/dev/null || true
grep -qF 'Lecture terminée avec succés !' "$work/box.txt" && grep -qF '156 messages vides.' "$work/box.txt" ||
    { echo "the box:" >&2; cat "$work/box.txt" >&2; exit 1; }
