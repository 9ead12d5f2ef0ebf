#!/usr/bin/python3
"""End to end: the window as a screen reader sees it from outside the process, through AT-SPI,
and two files opened with Ctrl+O typed on the keyboard (XTEST, through xdotool).

Usage: dbus-run-session -- tests/e2e/a11y-e2e.py BUILD_DIR   (inside an X server, e.g. xvfb-run)
"""
import os
import shutil
import subprocess
import sys
import tempfile

import pyatspi
from gi.repository import GLib

TIMEOUT_SECONDS = 20


def fail(message):
    print(f"FAIL: {message}", file=sys.stderr)
    sys.exit(1)


def wait_for(condition, events, what):
    """Runs the AT-SPI event loop until condition() holds, checking it again at each event and
    every tenth of a second: an event that came before the listeners were in place, or one the
    toolkit never sends for a change, would otherwise be waited for until the time is up."""
    result, timed_out = [], []

    def check(_event=None):
        if not result and condition():
            result.append(True)
            pyatspi.Registry.stop()

    waiting = [True]

    def poll():
        if waiting[0]:
            check()
        return waiting[0]  # a GLib timeout goes on while True

    def give_up():
        timed_out.append(True)
        pyatspi.Registry.stop()
        return False

    for event in events:
        pyatspi.Registry.registerEventListener(check, event)
    if not condition():
        timer = GLib.timeout_add_seconds(TIMEOUT_SECONDS, give_up)
        GLib.timeout_add(100, poll)
        pyatspi.Registry.start()
        waiting[0] = False  # the poll ends at its next call
        if not timed_out:
            GLib.source_remove(timer)
    else:
        result.append(True)
    for event in events:
        pyatspi.Registry.deregisterEventListener(check, event)
    if not result:
        fail(f"timed out waiting for {what}")


def descendants(accessible):
    for child in accessible:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def the_program():
    for application in pyatspi.Registry.getDesktop(0):
        if application is not None and application.name == "diff-zarvo":
            return application
    return None


def controls(application):
    """The window's controls by role and name, as a screen reader lists them."""
    return {(c.getRoleName(), c.name): c for c in descendants(application)}


def text_of(accessible):
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


def xdotool(*arguments):
    return subprocess.run(["xdotool", *arguments], check=True, capture_output=True,
                          text=True).stdout.strip()


def main():
    build = os.path.realpath(sys.argv[1])
    work = tempfile.mkdtemp()
    program = None
    try:
        os.mkdir(f"{work}/app")
        shutil.copy(f"{build}/bin/diff-zarvo", f"{work}/app/")
        first, second = f"{work}/first.txt", f"{work}/second.txt"
        for path in (first, second):
            with open(path, "w") as file:
                file.write("x\n")

        names_seen = []
        pyatspi.Registry.registerEventListener(
            lambda event: names_seen.append(event.source.name),
            "object:property-change:accessible-name")

        environment = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        program = subprocess.Popen([f"{work}/app/diff-zarvo"], env=environment)
        wait_for(lambda: the_program() is not None, ["object:children-changed"],
                 "the program on the accessibility bus")
        application = the_program()
        wait_for(lambda: any(c.getRoleName() == "push button" for c in descendants(application)),
                 ["object:children-changed"], "the window's controls")

        # Every control by the name a screen reader speaks.
        found = controls(application)
        expected = [("label", "第一の対象ファイルをドロップして下さい"), ("text", "第一のファイル"),
                    ("text", "第二のファイル (履歴)"), ("text", "比較ツール"),
                    ("push button", "比較を実行"), ("push button", "比較ツールを参照")]
        for key in expected:
            if key not in found:
                fail(f"no {key[0]} named {key[1]!r}; the window offers {sorted(found)}")
        # The focus rests on the second-path box itself, which Qt names by its text on Linux;
        # a screen reader speaks the label it is labelled by.
        history = [c for c in descendants(application) if c.getRoleName() == "combo box"]
        labels = [r.getTarget(i).name for c in history for r in c.getRelationSet()
                  if r.getRelationType() == pyatspi.RELATION_LABELLED_BY
                  for i in range(r.getNTargets())]
        if labels != ["第二のファイル (履歴)"]:
            fail(f"the second-path box is labelled by {labels}")
        guide = found[("label", "第一の対象ファイルをドロップして下さい")]
        if guide.description != "案内":
            fail(f"the guide describes itself as {guide.description!r}")
        path1, path2 = found[("text", "第一のファイル")], found[("text", "第二のファイル (履歴)")]

        # Ctrl+O, a name typed into the Open dialog, Enter: twice.
        window = xdotool("search", "--sync", "--onlyvisible", "--pid", str(program.pid),
                         "--name", "^Diff-Zarvo$").split()[0]
        for path in (first, second):
            xdotool("windowfocus", "--sync", window)
            xdotool("key", "--clearmodifiers", "ctrl+o")
            wait_for(lambda: any(c.getRoleName() == "dialog" and
                                 c.getState().contains(pyatspi.STATE_ACTIVE) for c in application),
                     ["object:children-changed", "window:activate", "object:state-changed"],
                     "the Open dialog to take the keyboard")
            xdotool("type", "--delay", "20", path)
            xdotool("key", "Return")
            wait_for(lambda: text_of(path1) == path,
                     ["object:text-changed", "object:state-changed"],
                     f"{path} in the first-path box")

        if text_of(path2) != first:
            fail(f"the second-path box holds {text_of(path2)!r}, not {first!r}")
        wait_for(lambda: guide.name == "比較を実行できます", ["object:property-change"],
                 "the guide's new message")
        wait_for(lambda: "比較を実行できます" in names_seen, ["object:property-change"],
                 "the announcement of the guide's new message")
        print("1 passed, 0 failed: screen reader names and Ctrl+O from the keyboard")
    finally:
        if program is not None:
            program.kill()
            program.wait()
        shutil.rmtree(work, ignore_errors=True)


main()
