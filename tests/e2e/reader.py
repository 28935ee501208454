#!/usr/bin/python3
"""reader.py APP names|boxes|where ROLE NAME: what a screen reader sees of APP's showing nodes
(ROLE NAME TEXT, or ROLE NAME X Y W H), or a control's centre. Status 1 when APP or the control is
missing. A child process, so that each desktop talks to its own buses."""
import re
import sys

import pyatspi


def app_named(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == name:
            return app
    return None


def showing_nodes(acc):
    # A branch going away while we walk (a popup closing) is skipped.
    try:
        if not acc.getState().contains(pyatspi.STATE_SHOWING):
            return
        yield acc
        children = [acc.getChildAtIndex(i) for i in range(acc.childCount)]
    except Exception:
        return
    for child in children:
        if child is not None:
            yield from showing_nodes(child)


def text_of(acc):
    try:
        return acc.queryText().getText(0, -1)
    except Exception:
        return ""


def main():
    app = app_named(sys.argv[1])
    if app is None:
        return 1
    command = sys.argv[2]
    windows = [app.getChildAtIndex(i) for i in range(app.childCount)]
    for acc in (node for w in windows if w is not None for node in showing_nodes(w)):
        role = acc.getRoleName()
        if command == "names":
            print(re.sub(r"[\r\n]+", " ", f"{role}\t{acc.name}\t{text_of(acc)}"))
        elif command == "boxes":
            box = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            print(f"{role}\t{acc.name}\t{box.x} {box.y} {box.width} {box.height}")
        elif command == "where" and (role, acc.name) == (sys.argv[3], sys.argv[4]):
            box = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            print(box.x + box.width // 2, box.y + box.height // 2)
            return 0
    return 0 if command in ("names", "boxes") else 1


if __name__ == "__main__":
    sys.exit(main())
