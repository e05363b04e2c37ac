# Shared by the scripts that drive the real window under Xvfb; sourced, not
# run.  start_window BUILD_DIR starts Xvfb on $display and the window (with
# $work/data as its data folder when $work is set), finds the main window
# and sets x0/y0 to its corner.  The helpers place the pointer relative to
# the tab control (at 4,3 in the client area, tab bar included) and, inside
# a group box, relative to that group.
# Needs xvfb, xdotool and ImageMagick (installed by build.sh).

start_window() {  # build_dir
  Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
  xvfb=$!
  win=""
  trap 'kill $win $xvfb 2>/dev/null || true; [ -n "${work:-}" ] && rm -rf "$work"' EXIT
  sleep 1
  export DISPLAY=$display
  if [ -n "${work:-}" ]; then
    # Start-up stages the compiler into a data folder of its own.
    XDG_DATA_HOME="$work/data" "$1/bin/zanvochm" &
  else
    "$1/bin/zanvochm" &
  fi
  win=$!
  # The main window is the one of 722 x 497 (Qt also makes small helper
  # windows with the same name).
  wid=""
  for i in $(seq 1 50); do
    for w in $(xdotool search --name 'ZanvoCHM' 2>/dev/null); do
      if xdotool getwindowgeometry "$w" | grep -q 'Geometry: 722x497'; then wid=$w; fi
    done
    [ -n "$wid" ] && break
    sleep 0.2
  done
  [ -n "$wid" ] || { echo "window did not appear" >&2; exit 1; }
  sleep 1
  x0=$(xdotool getwindowgeometry "$wid" | awk '/Position/ {split($2,a,","); print a[1]}')
  y0=$(xdotool getwindowgeometry "$wid" | awk '/Position/ {split($2,a,","); print a[2]}')
}

show_page() {  # 1-4: clicks the page's tab
  set -- $((40 + ($1 - 1) * 83))
  xdotool mousemove $((x0 + $1)) $((y0 + 14)) click 1
  sleep 0.6
}

click_at() {  # x y, relative to the tab control
  xdotool mousemove $((x0 + 4 + $1)) $((y0 + 3 + $2)) click 1
  sleep 0.4
}

click_in_group() {  # group_left group_top x y
  click_at $(($1 + $3)) $(($2 + $4))
}

type_into() {  # text: replaces the focused box's text
  xdotool key ctrl+a
  xdotool type --delay 5 "$1"
  sleep 0.2
}

shot() { import -window root "$out/$1.png"; }
