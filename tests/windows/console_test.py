#!/usr/bin/env python3
"""zirared-cli.exe on a console: Wine gives a program a console when it runs on a terminal,
so each case runs the program on a pseudo-terminal, waits for what it shows and types.

    console_test.py WINE_RUNNER WINDOWS_CLI
"""
import os
import pty
import re
import select
import shutil
import signal
import sys
import tempfile
import time
import tty

RUNNER, CLI = sys.argv[1], sys.argv[2]
ESCAPES = re.compile(rb"\x1b\[[0-9;?]*[A-Za-z]")
NAME = "cos\u00ec.et\u00e0"  # "così.età"
PROMPT = "Rispondere s (s\u00ec) o n (no):"


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


class Console:
    """The program on a pseudo-terminal; the shown text without the terminal's escapes."""

    def __init__(self, *arguments, raw=True):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            # Raw: keys reach Wine's console as typed, and Enter stays the carriage return
            # that ends a line there. Cooked: Ctrl-C becomes SIGINT, which Wine hands to the
            # program as the console's Ctrl-C event.
            if raw:
                tty.setraw(0)
            os.execv(RUNNER, [RUNNER, CLI, *arguments])
        self.raw = b""

    def text(self):
        return ESCAPES.sub(b"", self.raw).decode("utf-8", "replace")

    def wait_for(self, shown, seconds=60):
        deadline = time.monotonic() + seconds
        while shown not in self.text() and time.monotonic() < deadline:
            if not self._read(0.2):
                break
        return shown in self.text()

    def type(self, keys):
        os.write(self.fd, keys.encode("utf-8"))

    def exit_status(self, seconds=120):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid:
                while self._read(0.1):
                    pass
                return os.waitstatus_to_exitcode(status)
            self._read(0.2)
        os.kill(self.pid, signal.SIGKILL)
        return None

    def _read(self, seconds):
        ready, _, _ = select.select([self.fd], [], [], seconds)
        if not ready:
            return True
        try:
            data = os.read(self.fd, 65536)
        except OSError:  # the program has ended
            return False
        self.raw += data
        return bool(data)


failures = []


def check(case, condition, console):
    if condition:
        print("ok   " + case)
    else:
        failures.append(case)
        print("FAIL " + case + "\n" + console.text()[-2000:], file=sys.stderr)


def question_answered(folder, answer, expected_status, pieces_expected):
    source = os.path.join(folder, NAME)
    with open(source, "wb") as out:
        out.write(os.urandom(3_000_000))
    console = Console("split", windows_path(source))
    asked = console.wait_for(PROMPT)
    console.type(answer + "\r")
    status = console.exit_status()
    pieces = sorted(n for n in os.listdir(folder) if n != NAME)
    expected = ["cos\u00ec.00" + str(k) for k in range(3)] if pieces_expected else []
    return console, asked and status == expected_status and pieces == expected


def ctrl_c_stops_the_split(folder):
    # Sparse, and long enough to be still writing when the key arrives.
    source = os.path.join(folder, "grande.bin")
    with open(source, "wb") as out:
        out.truncate(1_500_000_000)
    console = Console("split", "--yes", "--size", "2", windows_path(source), raw=False)
    writing = console.wait_for("in scrittura")
    console.type("\x03")
    status = console.exit_status()
    left = sorted(os.listdir(folder))
    return console, writing and status == 1 and left == ["grande.bin"]


def main():
    cases = [
        ("question_answered_si_on_the_console",
         lambda d: question_answered(d, "s\u00ec", 0, True)),
        ("question_answered_no_on_the_console",
         lambda d: question_answered(d, "n", 1, False)),
        ("ctrl_c_stops_the_split_and_removes_its_pieces", ctrl_c_stops_the_split),
    ]
    for case, run in cases:
        folder = tempfile.mkdtemp(prefix="zirared-console-")
        try:
            console, passed = run(folder)
            if case.startswith("question_answered_si"):
                # The console shows the accented texts whole, not as UTF-8 read as Latin-1.
                passed = passed and PROMPT in console.text() and "Il file: " in console.text()
            check(case, passed, console)
        finally:
            shutil.rmtree(folder, ignore_errors=True)
    if failures:
        print(f"{len(failures)} failed", file=sys.stderr)
        sys.exit(1)


main()
