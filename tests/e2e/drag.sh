# Sourced by the drop tests: a drag from the stand-in file manager (zarvo_drag_source) to a point
# of the screen, released only once the target has answered that it takes the drop. Releasing as
# soon as the pointer arrives raced the target: Wine reads the offered data when the drag enters
# its window, and on a busy machine the button was up before it had answered, so the drag ended
# refused.
# drag_to DRAG_SOURCE FILE X Y: fails the test unless the drop is accepted.
drag_to() {
  local result line fd source
  exec {fd}< <("$1" "$2")
  pids+=($!)
  source=$(timeout 60 xdotool search --sync --onlyvisible --name '^zarvo-drag-source$' | head -n 1) \
    || fail "the drag source did not open"
  xdotool mousemove --sync --window "$source" 60 60 mousedown 1
  for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove --sync $(( 460 + ($3 - 460) * step / 8 )) $(( 360 + ($4 - 360) * step / 8 ))
  done
  xdotool mousemove --sync "$3" "$(( $4 + 1 ))"
  while read -r -t 30 -u "$fd" line && [ "$line" != "target takes it" ]; do :; done
  [ "$line" = "target takes it" ] || fail "the target never took the drag of $2"
  xdotool mouseup 1
  # The source says when the drop is over; the target asked for the data before the next event.
  result=""
  while read -r -t 30 -u "$fd" line; do
    case $line in accepted | refused) result=$line; break ;; esac
  done
  [ -n "$result" ] || fail "the drag of $2 did not end"
  [ "$result" = accepted ] || fail "the drop of $2 was $result"
  xdotool windowunmap --sync "$source"
}

# wait_for_drop_target WINDOW: until X says the window takes drags (its XdndAware property).
wait_for_drop_target() {
  grep -q -m 1 '^XdndAware(ATOM)' < <(timeout 30 xprop -spy -id "$1" XdndAware 2>/dev/null) \
    || fail "the window never became a drop target"
}
