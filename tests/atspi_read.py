#!/usr/bin/python3
"""Reads a running program through the AT-SPI accessibility bus, as a screen reader would.

Run it with the system's Python 3, which has pyatspi, inside the D-Bus session of the program,
with the accessibility bus running. Every command waits up to --timeout seconds for what it
looks for (the program may still be starting or working), prints what it found on stdout and
exits with 0, or prints why it did not and exits with 1.

  tree                       the program's accessible objects, indented: role, name, states
  unnamed                    the controls a user can reach that have no name
  find-text --role R [--contains S] [--name N]
                             the name or text of the first object of role R whose name or
                             text contains S (an error box's message is a label)
  focused [--expect N]       the focused control's role and name; with --expect, waits until
                             the control named N has the focus
  pane-text [selector] [--line K]
                             a text object's whole text, or its line K (from 0) as the
                             object's own line boundaries give it
  pane-attributes [selector] (--offset N | --find S [--plus K])
                             the attributes of one character, one "name=value" a line, then
                             "run=start,end" for the stretch that shares them
  pane-selection [selector]  the selection as "start,end" and the selected text, or "none"
  char-point [selector] --find S [--plus K]
                             the screen point "x y" in the middle of a character, from the
                             character's extents
  watch --event E [--contains S] [selector] --run CMD
                             runs the shell command CMD and waits for an event E (such as
                             object:text-changed:insert) from the selected object whose text
                             contains S; prints "E position length text" for it

A selector picks a text object: --name N, or --index K (from 0) among the objects of --role
(default "text") in tree order, counting only multi-line ones with --multi-line. For watch, the
selector is matched against the event's source, and --index is not used.
"""

import argparse
import subprocess
import sys
import time

import pyatspi
from gi.repository import Atspi, GLib

# Roles of the objects that a user can reach or read; fillers, panels and scroll bars that only
# hold or move others need no name.
NAMED_ROLES = {
    "push button", "toggle button", "check box", "radio button", "text", "list", "table",
    "tree", "combo box", "menu item", "menu", "slider", "spin button", "page tab", "entry",
    "password text", "terminal", "document text", "document frame",
}


class NotFound(Exception):
    """Not there yet: looked for again until the time is up."""


class Failed(Exception):
    """Not looked for again."""


def walk(accessible, depth=0):
    yield accessible, depth
    for i in range(accessible.childCount):
        child = accessible.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == name:
            return app
    raise NotFound(f"no application named {name!r} on the accessibility bus")


def states(accessible):
    return sorted(pyatspi.stateToString(s) for s in accessible.getState().getStates())


def text_of(accessible):
    try:
        text = accessible.queryText()
    except NotImplementedError:
        return None
    return text.getText(0, -1)


def pick_text_object(app, args):
    matches = []
    for accessible, _ in walk(app):
        if args.name is not None:
            if accessible.name == args.name:
                return accessible
            continue
        if accessible.getRoleName() != args.role:
            continue
        if args.multi_line and not accessible.getState().contains(pyatspi.STATE_MULTI_LINE):
            continue
        matches.append(accessible)
    if args.name is None and args.index < len(matches):
        return matches[args.index]
    what = f"name {args.name!r}" if args.name is not None else \
        f"role {args.role!r} index {args.index}" + (" (multi-line)" if args.multi_line else "")
    raise NotFound(f"no object with {what}")


def command_tree(app, args):
    lines = []
    for accessible, depth in walk(app):
        text = text_of(accessible) if accessible.getRoleName() == "text" else None
        extra = "" if text is None else f" text={text[:60]!r}"
        lines.append(f"{'  ' * depth}{accessible.getRoleName()} {accessible.name!r} "
                     f"[{','.join(states(accessible))}]{extra}")
    return "\n".join(lines)


def command_unnamed(app, args):
    lines = []
    for accessible, depth in walk(app):
        role = accessible.getRoleName()
        if (role in NAMED_ROLES or depth == 1) and not accessible.name:  # depth 1: windows
            parent = accessible.parent
            lines.append(f"{role} (in {parent.getRoleName()} {parent.name!r}) "
                         f"index {accessible.getIndexInParent()}")
    return "\n".join(lines) if lines else "every control has a name"


def command_find_text(app, args):
    for accessible, _ in walk(app):
        if accessible.getRoleName() != args.role:
            continue
        if args.name is not None and accessible.name != args.name:
            continue
        for candidate in (accessible.name, text_of(accessible)):
            if candidate and (args.contains is None or args.contains in candidate):
                return candidate
    raise NotFound(f"no {args.role!r} containing {args.contains!r}")


def command_focused(app, args):
    # The focused control; a list's current item also carries the focus state, so items are
    # passed over for the list that holds them.
    for accessible, _ in walk(app):
        if accessible.getRoleName() == "list item":
            continue
        if accessible.getState().contains(pyatspi.STATE_FOCUSED):
            if args.expect is not None and accessible.name != args.expect:
                raise NotFound(f"the focus is on {accessible.getRoleName()} {accessible.name!r}, "
                               f"not on {args.expect!r}")
            return f"{accessible.getRoleName()} {accessible.name!r}"
    raise NotFound("nothing has the focus")


def command_pane_text(app, args):
    accessible = pick_text_object(app, args)
    if args.line is None:
        return text_of(accessible)
    text = accessible.queryText()
    offset = 0
    for _ in range(args.line):
        line, start, end = text.getTextAtOffset(offset, pyatspi.TEXT_BOUNDARY_LINE_START)
        if end <= offset:
            raise NotFound(f"the text has fewer than {args.line + 1} lines")
        offset = end
    line, start, end = text.getTextAtOffset(offset, pyatspi.TEXT_BOUNDARY_LINE_START)
    if start < 0 or not line:
        raise NotFound(f"the text has fewer than {args.line + 1} lines")
    return line.rstrip("\n")


def command_pane_attributes(app, args):
    accessible = pick_text_object(app, args)
    offset = find_offset(accessible, args) if args.find is not None else args.offset
    attributes, start, end = Atspi.Text.get_attribute_run(accessible, offset, False)
    lines = [f"{key}={value}" for key, value in sorted(attributes.items())]
    lines.append(f"run={start},{end}")
    return "\n".join(lines)


def find_offset(accessible, args):
    found = text_of(accessible).find(args.find)
    if found < 0:
        raise NotFound(f"{args.find!r} is not in the text")
    return found + args.plus


def command_pane_selection(app, args):
    accessible = pick_text_object(app, args)
    text = accessible.queryText()
    if text.getNSelections() == 0:
        return "none"
    start, end = text.getSelection(0)
    return f"{start},{end} {text.getText(start, end)!r}"


def command_char_point(app, args):
    accessible = pick_text_object(app, args)
    x, y, width, height = accessible.queryText().getCharacterExtents(
        find_offset(accessible, args), pyatspi.DESKTOP_COORDS)
    if width <= 0 or height <= 0:
        raise NotFound(f"the character of {args.find!r} has no extents")
    return f"{x + width // 2} {y + height // 2}"


def source_matches(source, args):
    if args.name is not None:
        return source.name == args.name
    if source.getRoleName() != args.role:
        return False
    return not args.multi_line or source.getState().contains(pyatspi.STATE_MULTI_LINE)


def command_watch(app, args):
    """Listens before the command runs, so that no event it causes is missed."""
    seen = []

    def on_event(event):
        text = event.any_data if isinstance(event.any_data, str) else ""
        if source_matches(event.source, args) and (args.contains is None or args.contains in text):
            seen.append(f"{event.type} {event.detail1} {event.detail2} {text!r}")
            pyatspi.Registry.stop()

    def run():
        subprocess.run(args.run, shell=True, check=True)
        return GLib.SOURCE_REMOVE

    def give_up():
        pyatspi.Registry.stop()
        return GLib.SOURCE_REMOVE

    pyatspi.Registry.registerEventListener(on_event, args.event)
    GLib.idle_add(run)
    GLib.timeout_add(int(args.timeout * 1000), give_up)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(on_event, args.event)
    if not seen:
        raise Failed(f"no {args.event} event containing {args.contains!r}")
    return seen[0]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--app", default="Quorvane", help="the application's name on the bus")
    parser.add_argument("--timeout", type=float, default=10, help="seconds to keep looking")
    commands = parser.add_subparsers(dest="command", required=True)

    def with_selector(p):
        p.add_argument("--name")
        p.add_argument("--role", default="text")
        p.add_argument("--index", type=int, default=0)
        p.add_argument("--multi-line", action="store_true")
        return p

    commands.add_parser("tree").set_defaults(action=command_tree)
    commands.add_parser("unnamed").set_defaults(action=command_unnamed)
    find = commands.add_parser("find-text")
    find.add_argument("--role", required=True)
    find.add_argument("--contains")
    find.add_argument("--name")
    find.set_defaults(action=command_find_text)
    focused = commands.add_parser("focused")
    focused.add_argument("--expect", help="wait until the control with this name has the focus")
    focused.set_defaults(action=command_focused)
    text = with_selector(commands.add_parser("pane-text"))
    text.add_argument("--line", type=int)
    text.set_defaults(action=command_pane_text)
    attributes = with_selector(commands.add_parser("pane-attributes"))
    where = attributes.add_mutually_exclusive_group(required=True)
    where.add_argument("--offset", type=int)
    where.add_argument("--find")
    attributes.add_argument("--plus", type=int, default=0)
    attributes.set_defaults(action=command_pane_attributes)
    with_selector(commands.add_parser("pane-selection")).set_defaults(action=command_pane_selection)
    point = with_selector(commands.add_parser("char-point"))
    point.add_argument("--find", required=True)
    point.add_argument("--plus", type=int, default=0)
    point.set_defaults(action=command_char_point)
    watch = with_selector(commands.add_parser("watch"))
    watch.add_argument("--event", required=True)
    watch.add_argument("--contains")
    watch.add_argument("--run", required=True)
    watch.set_defaults(action=command_watch)
    args = parser.parse_args()

    deadline = time.monotonic() + args.timeout
    while True:
        try:
            print(args.action(application(args.app), args))
            return 0
        except Failed as reason:
            print(f"atspi_read: {reason}", file=sys.stderr)
            return 1
        # A program busy starting, or with a box open, may not answer the bus in time.
        except (NotFound, GLib.GError) as reason:
            if time.monotonic() >= deadline:
                print(f"atspi_read: {reason}", file=sys.stderr)
                return 1
        time.sleep(0.2)


if __name__ == "__main__":
    sys.exit(main())
