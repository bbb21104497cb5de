#!/usr/bin/env bash
# End to end: the real executable on a real X desktop (Xvfb with the openbox
# window manager), driven with real X key and mouse events and read back as
# the user sees it: the splash, titles as the window manager shows them
# (message boxes included, minimised with their window, and brought back by a
# click into a window they block), keys with modifiers held, dead keys and
# Compose (each refused with one bell, control characters from a compose
# table too), the Edit menu from the keyboard, a result read through the
# clipboard, the About window dismissed by an arrow key, where the help window
# lands, and the two ways out (closing the last window, Ctrl+Q), each with
# exit status 0.
set -euo pipefail
exe=$1
work=$(mktemp -d)
cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
  [ -n "${bells:-}" ] && kill "$bells" 2>/dev/null || true
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# poll CMD...: runs it until it succeeds, for up to 10 s.
poll() { for _ in $(seq 400); do "$@" && return 0; sleep 0.025; done; return 1; }

screen_w=1280 screen_h=1024
Xvfb -displayfd 3 -screen 0 ${screen_w}x${screen_h}x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
poll test -s "$work/display"
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work"
# A user's compose table whose sequences commit a tab or a backspace with a digit.
printf '%s\n' 'include "%L"' '<Multi_key> <t> <5> : "\x095"' '<Multi_key> <b> <5> : "\x085"' >"$work/compose"
export XCOMPOSEFILE="$work/compose"
# Openbox runs its start-up command once it manages windows; a window mapped
# before that may never be shown.
openbox --sm-disable --startup "touch $work/wm-ready" >/dev/null 2>&1 &
wm=$!
poll test -e "$work/wm-ready" || fail "the window manager did not start"
# Every bell the X server rings, as a line in $work/bells.
echo "Bell() shell \"echo bell >> $work/bells\"" >"$work/xkbevd.cf"
xkbevd -cfg "$work/xkbevd.cf" >/dev/null 2>&1 &
bells=$!

now() { date +%s.%N; }
# The visible Tolvane windows as "id width height" lines.
windows() {
  for w in $(xdotool search --onlyvisible --class tolvane 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    echo "$w $WIDTH $HEIGHT"
  done
}
# sized WIDTH [HEIGHT-MIN [HEIGHT-MAX]]: the first such window's line; fails when there is none.
sized() {
  windows | awk -v w="$1" -v h="${2:-0}" -v m="${3:-99999}" '$2 == w && $3 >= h && $3 <= m { print; f = 1; exit }
    END { exit !f }'
}
wait_for() { poll sized "$@"; }
gone() { ! sized "$1" >/dev/null; }
# The title bar's text, as the window manager reads it.
title() { xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = //p'; }
expect_title() { [ "$(title "$1")" = "$2" ] || fail "title of $3 is $(title "$1"), not $2"; }
start() {
  "$exe" >"$work/out" 2>&1 &
  app=$!
}
ended_with_zero() {
  poll eval '! kill -0 "$app" 2>/dev/null' || true
  set +e
  wait "$app"; local status=$?
  set -e
  app=
  [ "$status" = 0 ] || { cat "$work/out" >&2; fail "exit status $status after $1"; }
  [ ! -s "$work/out" ] || { cat "$work/out" >&2; fail "the program wrote to the terminal"; }
}

start
about=$(wait_for 447) || fail "the About window did not appear"
about_seen=$(now)
expect_title "${about%% *}" '' "the About window"
calc=$(wait_for 550 500) || fail "the calculator window did not appear"
calc_seen=$(now)
splash=$(echo "$calc_seen - $about_seen" | bc)
echo "splash lasted ${splash}s"
# Two to three seconds, give or take what polling for windows costs on a busy machine.
(( $(echo "$splash >= 1.7 && $splash <= 4.0" | bc) )) || fail "splash lasted ${splash}s"
gone 447 || fail "About still shown after the splash"

read -r wid _ height <<<"$calc"
expect_title "$wid" '"Tolvane"' "the calculator"
bar=$((height - 500))  # the menu bar sits above the 550x500 content
click() { xdotool mousemove --window "$wid" "$1" $(( $2 + bar )) click 1; sleep 0.15; }
copied() { xdotool key ctrl+a ctrl+c; sleep 0.2; xclip -o -selection clipboard; }

# A message box bears the program's name, and belongs to the calculator: minimised, it takes the calculator
# along, and both come back together.
click 73 461                      # Compute on an empty form
another() { xdotool search --onlyvisible --class tolvane | grep -vx "$wid" | head -1 | grep .; }
box=$(poll another) || fail "no message box for an empty form"
expect_title "$box" '"Tolvane"' "the message box"
[ "$(xprop -id "$box" WM_TRANSIENT_FOR | sed 's/.*# //')" = "$(printf '0x%x' "$wid")" ] ||
  fail "the message box is not transient for the calculator"
shown() { xdotool search --onlyvisible --class tolvane | grep -qx "$1"; }
xdotool windowminimize "$box"
poll eval '! shown "$wid"' || fail "the calculator stayed behind when its message box was minimised"
xdotool windowactivate "$wid" 2>/dev/null || true
poll shown "$box" || fail "the message box did not come back with the calculator"
xdotool windowactivate --sync "$box" 2>/dev/null || true
xdotool key Return; sleep 0.2

# With the help window beside the calculator, a message box minimised away comes back, active, with its window,
# and the help window works again once the box is answered. Openbox hands the focus to the help window as soon
# as the box is minimised, which already brings the box back; the click that follows finds it in view either way.
click 270 445
help=$(wait_for 550 500 500) || fail "the help window did not appear"
help=${help%% *}
xdotool windowmove --sync "$help" 0 0
xdotool windowmove --sync "$wid" 700 300
xdotool windowactivate --sync "$wid"
click 73 461                      # Compute on an empty form
box=$(poll eval 'xdotool search --onlyvisible --class tolvane | grep -vx -e "$wid" -e "$help" | grep .') ||
  fail "no message box for an empty form"
active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
xdotool windowminimize "$box"
sleep 0.3
xdotool mousemove --window "$help" 200 200 click 1
poll eval 'shown "$box" && shown "$wid" && active "$box"' ||
  fail "the message box stayed out of sight when the help window it blocks was activated and clicked"
xdotool key Return
poll eval '! shown "$box"' || fail "the message box was not answered"
xdotool mousemove --window "$help" 200 200 click 1
poll active "$help" || fail "the help window did not take the click once the box was answered"
xdotool key alt+F4
poll eval '! shown "$help"' || fail "the help window did not close"
xdotool windowactivate --sync "$wid"

# Keys typed with Alt, Super or Ctrl+Super held, dead keys and Compose never reach the fields: each is refused
# with one bell, control characters that a compose table commits too.
bells() { wc -l <"$work/bells"; }
refused_with_one_bell() {
  local keys
  for keys in "$@"; do
    : >"$work/bells"
    # shellcheck disable=SC2086
    xdotool key --delay 40 $keys
    poll eval '(( $(bells) >= 1 ))' || fail "'$keys' was refused without a bell"
    sleep 0.3
    (( $(bells) == 1 )) || fail "'$keys' rang $(bells) bells"
  done
}
click 152 252; xdotool type --delay 40 '.9'
sleep 0.2
refused_with_one_bell alt+x alt+minus super+q ctrl+super+minus ctrl+super+comma
setxkbmap de -option compose:ralt
refused_with_one_bell 'dead_circumflex 1' 'dead_acute e' 'Multi_key o c' 'Multi_key t 5' 'Multi_key b 5'
setxkbmap us -option ''
[ "$(copied)" = ".9" ] || fail "Rxx read '$(copied)' after keys with modifiers, dead keys and Compose"

# The Edit menu from the keyboard acts on the field and its selection: Cut, then Paste after a typed digit.
from_edit_menu() {
  xdotool key alt+e
  poll another >/dev/null || fail "Alt+E opened no menu"
  xdotool key "$1"
  poll eval '! another' >/dev/null || fail "the Edit menu stayed open after '$1'"
}
xdotool key ctrl+a; from_edit_menu t
xdotool type --delay 40 '5'; from_edit_menu p
[ "$(copied)" = "5.9" ] || fail "Rxx read '$(copied)' after Cut and Paste from the keyboard"
xdotool type --delay 40 '.9'
click 275 252; xdotool type --delay 40 '.8'
click 398 252; xdotool type --delay 40 '.5'; xdotool key alt+comma
click 73 461                      # Compute
click 275 327                     # the result field
result=$(copied)
[ "$result" = ".7000" ] || fail "result was '$result'"
echo "result $result"

# The logo brings the About window back; an arrow key sends it away.
click 80 80
about=$(wait_for 447) || fail "the logo did not show the About window"
xdotool key Down
poll gone 447 || fail "an arrow key did not dismiss the About window"

# The help window: its own title, centred on the screen as shown, frame included.
click 270 445
help=$(wait_for 550 500 500) || fail "the help window did not appear"
help=${help%% *}
sleep 0.3
expect_title "$help" '"Vantrel Info"' "the help window"
eval "$(xwininfo -id "$help" | awk -F: '/Absolute upper-left X/ {print "x=" $2+0} /Absolute upper-left Y/ {print "y=" $2+0}
  /^ *Width/ {print "w=" $2+0} /^ *Height/ {print "h=" $2+0}')"
read -r fl fr ft fb < <(xprop -id "$help" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
cx=$(( x - fl + (fl + w + fr) / 2 )) cy=$(( y - ft + (ft + h + fb) / 2 ))
echo "help window centred at $cx,$cy"
(( cx - screen_w / 2 <= 1 && screen_w / 2 - cx <= 1 )) || fail "help window centred at x=$cx"
(( cy - screen_h / 2 <= 1 && screen_h / 2 - cy <= 1 )) || fail "help window centred at y=$cy"

# Closed with the window manager's Alt+F4: the help window, then the last one.
xdotool key alt+F4
sleep 0.3
xdotool windowactivate --sync "$wid" 2>/dev/null || click 500 200
xdotool key alt+F4
ended_with_zero "closing the last window"

start
calc=$(wait_for 550 500) || fail "the calculator window did not appear again"
xdotool windowactivate --sync "${calc%% *}" 2>/dev/null || true
xdotool key ctrl+q
ended_with_zero "Ctrl+Q"
echo "PASS: splash, titles, keys, compute, About, help, close and quit (exit status 0)"
