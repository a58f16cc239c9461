#!/usr/bin/env python3
"""The real program as a screen reader meets it: run on a private Xvfb display with a session bus
and the accessibility bus of its own, its three windows are walked over AT-SPI (as Orca walks
them) and checked against accessible_tree.txt; the splash, gone before it can be walked (the Qt
tests walk it in-process), is checked by what it announces, the
chat links by their press action (the chat command must start), the copy button by its
confirmation, and the lists by which one holds the focused row.

Run as root, everything runs as the user nobody, in a folder of its own that goes with the test.

check_accessible_tree.py TAVRIX MACHINE_FILE TABLE
"""
import collections
import http.server
import os
import pwd
import shutil
import subprocess
import sys
import tempfile
import threading
import time

PAGE_TITLE = "Compatible Memory"
PAGE = f"""<html><head><title>{PAGE_TITLE}</title></head>
<body onload="fetch('/loaded')"><h1>Memory for your computer</h1><a href="/buy">Buy</a></body></html>"""
CHAT = "http://www.quorvane.com/support/UserPreChat.aspx?ref=CustomerScanWindow"
COPIED = "System info copied to the clipboard"
TITLE = "Tavrix - System Memory Information"

# AT-SPI's roles as the table names them; objects of any other role are passed through.
ROLES = {
    "frame": "window", "window": "window", "dialog": "window", "alert": "alert", "panel": "grouping",
    "grouping": "grouping", "label": "label", "static": "label", "text": "text", "entry": "text",
    "list": "list", "list box": "list", "list item": "list item", "table cell": "list item",
    "link": "link", "push button": "button", "document web": "document", "document frame": "document",
}


def fail(message):
    print("check_accessible_tree: " + message, file=sys.stderr)
    sys.exit(1)


def read_table(path):
    """{window: [(role, name, value, actions)]}, "-" read as empty."""
    table = collections.defaultdict(list)
    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            if not line.strip() or line.startswith("#"):
                continue
            fields = [field.strip() for field in line.rstrip("\n").split(" | ")]
            if len(fields) != 5:
                fail(f"{path}:{number}: expected 5 fields separated by ' | '")
            window, *row = ["" if field == "-" else field for field in fields]
            table[window].append(tuple(row))
    return table


def as_nobody(argv):
    """Runs this script again as nobody in a folder nobody owns; returns its exit status."""
    nobody = pwd.getpwnam("nobody")
    home = tempfile.mkdtemp(prefix="tavrix-a11y-")
    try:
        os.chown(home, nobody.pw_uid, nobody.pw_gid)
        os.chmod(home, 0o700)
        env = {key: value for key, value in os.environ.items() if not key.startswith(("DBUS_", "XDG_", "DISPLAY"))}
        env.update(HOME=home, XDG_RUNTIME_DIR=home, TMPDIR=home)
        return subprocess.call(["setpriv", f"--reuid={nobody.pw_uid}", f"--regid={nobody.pw_gid}", "--clear-groups",
                                sys.executable] + argv, env=env)
    finally:
        shutil.rmtree(home, ignore_errors=True)


class Page(http.server.BaseHTTPRequestHandler):
    """The retailer's server, reached as the browser's proxy: the test page for every address."""
    loaded = threading.Event()

    def do_GET(self):
        if self.path.endswith("/loaded"):
            Page.loaded.set()
        body = PAGE.encode() if "/mc/" in self.path else b""
        self.send_response(200 if body else 204)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


class Session:
    """Xvfb, the page server and the program, ended in reverse order."""

    def __init__(self, folder):
        self.folder = folder
        self.processes = []
        read, write = os.pipe()
        self.processes.append(subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24",
                                                "-nolisten", "tcp"], pass_fds=[write], stderr=subprocess.DEVNULL))
        os.close(write)
        with os.fdopen(read) as display:
            self.display = ":" + display.readline().strip()
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Page)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def start(self, tavrix, machine):
        bin_folder = os.path.join(self.folder, "bin")
        os.makedirs(bin_folder, exist_ok=True)
        self.opened = os.path.join(self.folder, "opened.txt")
        opener = os.path.join(bin_folder, "xdg-open")
        with open(opener, "w") as script:
            script.write(f"#!/bin/sh\necho \"$@\" >> '{self.opened}'\n")
        os.chmod(opener, 0o755)
        env = dict(os.environ, DISPLAY=self.display, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   PATH=bin_folder + ":" + os.environ["PATH"],
                   QTWEBENGINE_CHROMIUM_FLAGS=f"--proxy-server=http://127.0.0.1:{self.server.server_port}")
        env.pop("QT_QPA_PLATFORM", None)
        env.pop("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", None)
        self.tavrix = subprocess.Popen([tavrix, "--machine", machine], env=env)
        self.processes.append(self.tavrix)

    def opened_lines(self):
        try:
            with open(self.opened) as log:
                return log.read().split("\n")[:-1]
        except FileNotFoundError:
            return []

    def close(self):
        self.server.shutdown()
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()


def check(folder, tavrix, machine, table_path):
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import GLib
    import pyatspi

    table = read_table(table_path)
    problems = []
    announced = []

    def pump(seconds, condition):
        """Runs the main loop (so events arrive) until the condition holds; its last value."""
        deadline = time.monotonic() + seconds
        while True:
            value = condition()
            if value or time.monotonic() > deadline:
                return value
            GLib.MainContext.default().iteration(False)
            time.sleep(0.02)

    def quietly(read, default=None):
        try:
            return read()
        except Exception:
            return default

    def value_of(accessible):
        text = quietly(accessible.queryText)
        if text is not None:
            return quietly(lambda: text.getText(0, -1), "")
        number = quietly(accessible.queryValue)
        return str(number.currentValue) if number is not None else ""

    def actions_of(accessible):
        action = quietly(accessible.queryAction)
        return [action.getName(i) for i in range(action.nActions)] if action is not None else []

    def role_of(accessible):
        return ROLES.get(quietly(accessible.getRoleName, ""))

    def walk(accessible, found):
        """(role, name, value, actions, accessible) of every object with a role the table names."""
        role = role_of(accessible)
        if role:
            found.append((role, accessible.name or "", value_of(accessible), actions_of(accessible), accessible))
        if role == "document":
            return found
        for child in quietly(lambda: list(accessible), []):
            if child is not None:
                walk(child, found)
        return found

    def compare(window, found):
        expected = table[window]
        shown = []
        for role, name, value, actions, _ in found:
            for e_role, e_name, e_value, _ in expected:
                if (e_role, e_name) == (role, name) and e_value.endswith("...") and value.startswith(e_value[:-3]):
                    value = e_value
            shown.append((role, name, value))
        missing = collections.Counter((r, n, v) for r, n, v, _ in expected) - collections.Counter(shown)
        extra = collections.Counter(shown) - collections.Counter((r, n, v) for r, n, v, _ in expected)
        for row in missing.elements():
            problems.append(f"{window}: no {row}")
        for row in extra.elements():
            problems.append(f"{window}: unexpected {row}")
        for e_role, e_name, _, e_actions in expected:
            for wanted in filter(None, e_actions.split(",")):
                if not any((r, n) == (e_role, e_name) and wanted in a for r, n, _, a, _ in found):
                    problems.append(f"{window}: {e_role} {e_name!r} has no action {wanted!r}")

    def find(found, role, name):
        return next((row[4] for row in found if row[0] == role and row[1] == name), None)

    def press(accessible, what):
        if accessible is None:
            problems.append(f"no {what} to press")
            return
        action = accessible.queryAction()
        action.doAction(next(i for i in range(action.nActions) if action.getName(i) == "Press"))

    # The splash is gone before a screen reader could ask it anything: what it hears is the text
    # the event carries, and the role if the splash still answers.
    def on_inserted(event):
        announced.append((ROLES.get(quietly(event.source.getRoleName, ""), "gone"), event.any_data))

    pyatspi.Registry.registerEventListener(on_inserted, "object:text-changed:insert")

    session = Session(folder)
    try:
        session.start(tavrix, machine)

        def application():
            desktop = pyatspi.Registry.getDesktop(0)
            return next((app for app in quietly(lambda: list(desktop), []) if app and app.name == "tavrix"), None)

        def window_with(role_name):
            app = application()
            for window in quietly(lambda: list(app), []) if app else []:
                found = walk(window, [])
                if find(found, *role_name):
                    return found
            return None

        dialog = pump(60, lambda: window_with(("button", "OK")))
        if not dialog:
            fail("no disclaimer with an OK button appeared on the accessibility bus")
        compare("Dialog", dialog)
        press(find(dialog, "button", "OK"), "OK button")

        form1 = pump(90, lambda: Page.loaded.is_set() and quietly(lambda: window_with(("document", PAGE_TITLE))))
        if not form1:
            fail("no main window whose page is titled " + PAGE_TITLE)
        compare("Form1", form1)

        for role, name, _, _ in table["frmSplash"]:
            if role == "alert" and (role, name) not in announced and ("gone", name) not in announced:
                problems.append(f"frmSplash: no {role} announced {name!r}; heard {announced}")

        # The focused row is in the list with the focus, the same row selected in all three.
        session_keys = ["xdotool", "key", "--delay", "100", "Down", "Down"]
        subprocess.run(session_keys, env=dict(os.environ, DISPLAY=session.display), check=False)

        def rows_by_state():
            found = window_with(("document", PAGE_TITLE)) or []
            lists = [row[4] for row in found if row[0] == "list"]
            states = []
            for lst in lists:
                items = [child for child in lst if child is not None and role_of(child) == "list item"]
                selected = [i for i, item in enumerate(items) if item.getState().contains(pyatspi.STATE_SELECTED)]
                focused = [i for i, item in enumerate(items) if item.getState().contains(pyatspi.STATE_FOCUSED)]
                states.append((lst.name, selected, focused))
            return states

        wanted = sorted([("Slots", [1], [1]), ("Memory Size", [1], []), ("Memory Speed", [1], [])])
        states = pump(10, lambda: (lambda s: s if s and sorted(s) == wanted else None)(quietly(rows_by_state)))
        if not states:
            problems.append(f"Form1: after Down, Down in slotsLst the lists read {quietly(rows_by_state)}, "
                            f"not {wanted} (list, selected rows, focused rows)")

        for name in ("Live chat", "Click Here to Chat with Our Customer Representative"):
            press(find(form1, "link", name), "link " + name)
        if not pump(20, lambda: session.opened_lines() == [CHAT, CHAT]):
            problems.append(f"the two chat links' press actions opened {session.opened_lines()}, not the chat twice")

        copy = find(form1, "button", "Copy System Info To Clipboard")
        press(copy, "copy button")
        if copy and not pump(10, lambda: copy.description == COPIED):
            problems.append(f"the copy button says {copy.description!r} after a copy, not {COPIED!r}")
    finally:
        session.close()

    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


def main():
    if len(sys.argv) != 4:
        fail("usage: check_accessible_tree.py TAVRIX MACHINE_FILE TABLE")
    if os.getuid() == 0:
        return as_nobody(sys.argv)
    if os.environ.get("TAVRIX_A11Y_BUS") != "1":
        return subprocess.call(["dbus-run-session", "--", sys.executable] + sys.argv,
                               env=dict(os.environ, TAVRIX_A11Y_BUS="1"))
    folder = tempfile.mkdtemp(prefix="tavrix-a11y-check-")
    try:
        return check(folder, *sys.argv[1:])
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
