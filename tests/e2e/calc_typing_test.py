#!/usr/bin/env python3
"""Valbrix typing readings into LibreOffice Calc, the spreadsheet most of its Linux users type into.

On a virtual X server with a window manager: one Calc, started once with LibreOffice's own X11
backend, which reads key repeat the classic way; the real valbrix, started once per set of choices,
typing what the simulated gauge on COM5 prints; the cells read back over UNO. Numbers must arrive as
numbers, a digit or letter typed twice or three times must arrive whole, a value with its unit arrives
as text, and a dashed reading leaves its cell empty while the cursor moves on.

    calc_typing_test.py VALBRIX GAUGESIM        (under tests/e2e/with-xvfb.sh)
"""
import os
import signal
import subprocess
import sys
import tempfile
import threading
import time

import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.table.CellContentType import EMPTY, TEXT, VALUE

PATIENCE_S = 60

# Each run: the choices in the settings file, the column the cursor starts in, and the readings the
# gauge prints with what each must leave in its cell (None: the cell stays empty).
RUNS = [
    {
        "settings": "Separator=Enter\r\nDecimalSeparator=.\r\nFormat=2,7\r\n",
        "column": "A",
        "readings": [
            ("4.56", "mm", 4.56),
            ("4.55", "mm", 4.55),
            ("100.2", "um", 100),
            ("0.11", "mm", 0.11),
            ("2.22", "mm", 2.22),
            ("---", "mm", None),
            ("111.1", "um", 111),
            ("33.0", "MILS", 33),
        ],
    },
    {
        "settings": "Separator=Enter\r\nDecimalSeparator=,\r\nFormat=2,7 um/mil/Tesla\r\n",
        "column": "C",
        "readings": [
            ("4.56", "mm", "4,56 mm"),
            ("33.0", "MILS", "33,0 mil"),
            ("100.2", "um", "100 um"),
        ],
    },
]


def fail(message):
    print("calc_typing: " + message, file=sys.stderr)
    sys.exit(1)


def wait_until(what, condition, patience=PATIENCE_S):
    deadline = time.monotonic() + patience
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            fail("gave up waiting for " + what)
        time.sleep(0.1)


def start_window_manager():
    manager = subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_until("the window manager",
               lambda: subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True,
                                      text=True).stdout.count("window id") > 0)
    return manager


# A profile of its own that starts without the first-start tip, so the new sheet has the focus.
PROFILE = """<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" \
xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="ShowTipOfTheDay" oor:op="fuse">\
<value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="FirstRun" oor:op="fuse">\
<value>false</value></prop></item>
</oor:items>
"""


def start_calc(work):
    os.makedirs(os.path.join(work, "profile", "user"))
    with open(os.path.join(work, "profile", "user", "registrymodifications.xcu"), "w") as profile:
        profile.write(PROFILE)
    pipe = "valbrix-calc-%d" % os.getpid()
    environment = dict(os.environ, SAL_USE_VCLPLUGIN="gen", LANG="C.UTF-8", LC_ALL="C.UTF-8")
    calc = subprocess.Popen(["soffice", "--calc", "--norestore", "--nologo", "--nolockcheck",
                             "-env:UserInstallation=file://" + os.path.join(work, "profile"),
                             "--accept=pipe,name=%s;urp;StarOffice.ComponentContext" % pipe],
                            env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)

    def connect():
        try:
            return resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
        except Exception:
            return None

    context = wait_until("Calc to listen", connect)
    desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
    document = wait_until("the new spreadsheet",
                          lambda: (lambda d: d if d is not None and hasattr(d, "Sheets") else None)(
                              desktop.getCurrentComponent()))
    return calc, (context, document)


def click_into(calc, cell):
    """Puts the cursor into the cell and gives Calc's window the focus, as the user's click does. The
    cursor moves without marking the cell: ENTER would stay inside a marked range."""
    context, document = calc
    frame = document.getCurrentController().getFrame()
    target = PropertyValue()
    target.Name = "ToPoint"
    target.Value = "$" + cell[0] + "$" + cell[1:]
    dispatcher = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.DispatchHelper", context)
    dispatcher.executeDispatch(frame, ".uno:GoToCell", "", 0, (target,))
    frame.getContainerWindow().setFocus()
    subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "LibreOffice Calc", "windowactivate",
                    "--sync"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=PATIENCE_S)


class Program:
    """valbrix with its trace on standard output, read as it comes."""

    def __init__(self, executable, environment):
        self.process = subprocess.Popen([executable, "--trace"], env=environment, stdout=subprocess.PIPE,
                                        stderr=subprocess.STDOUT, text=True, encoding="utf-8",
                                        errors="replace")
        self.trace = ""
        self.reader = threading.Thread(target=self.read, daemon=True)
        self.reader.start()

    def read(self):
        for line in self.process.stdout:
            self.trace += line

    def wait_shown(self, part):
        deadline = time.monotonic() + PATIENCE_S
        while part not in self.trace:
            if time.monotonic() > deadline:
                self.end()
                fail("valbrix never showed %r; it showed:\n%s" % (part, self.trace))
            time.sleep(0.05)

    def end(self):
        self.process.send_signal(signal.SIGTERM)
        try:
            self.process.wait(PATIENCE_S)
        except subprocess.TimeoutExpired:
            self.process.kill()
            fail("valbrix did not end on SIGTERM")
        self.reader.join(PATIENCE_S)


def cell_content(cell):
    kind = cell.getType()
    if kind == EMPTY:
        return None
    if kind == VALUE:
        return cell.getValue()
    if kind == TEXT:
        return cell.getString()
    return "formula " + cell.getFormula()


def same(arrived, expected):
    if isinstance(expected, (int, float)) and isinstance(arrived, float):
        return abs(arrived - expected) < 1e-9
    return arrived == expected


def type_run(run, valbrix, gaugesim, config, calc):
    folder = os.path.join(config, "Oden_Malvert", "Valbrix")
    os.makedirs(os.path.join(folder, "ports"), exist_ok=True)
    with open(os.path.join(folder, "Valbrix.ini"), "w", newline="") as settings:
        settings.write("[Settings]\r\nComPort=5\r\nLanguage=1\r\nActiveOnStartup=1\r\nAutoMinimize=1\r\n"
                       + run["settings"])
    link = os.path.join(folder, "ports", "COM5")
    gauge = subprocess.Popen([gaugesim, "--link", link, "--script", "-"], stdin=subprocess.PIPE,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, text=True)
    wait_until("the simulated gauge", lambda: os.path.lexists(link))
    program = Program(valbrix, dict(os.environ, XDG_CONFIG_HOME=config))
    try:
        program.wait_shown("control 1014: Pocket-VARNITRON 6121")
        program.wait_shown("window hidden")
        click_into(calc, run["column"] + "1")
        # Once the gauge has taken the set-up commands that follow its identification, the readings
        # one after the other without a pause, as the gauge prints them: each is typed right after the
        # one before.
        gauge.stdin.write("expect G150000 %d\n" % (PATIENCE_S * 1000))
        for number, (value, unit, _) in enumerate(run["readings"], start=1):
            gauge.stdin.write("reading %d %s %s\n" % (number, value, unit))
        gauge.stdin.flush()
        sheet = calc[1].Sheets.getByIndex(0)
        last = len(run["readings"])
        column = [lambda row=row: cell_content(sheet.getCellRangeByName("%s%d" % (run["column"], row)))
                  for row in range(1, last + 2)]
        deadline = time.monotonic() + PATIENCE_S
        while column[last - 1]() is None:
            if time.monotonic() > deadline:
                return ["%s%d stayed empty; the column holds %r; valbrix showed:\n%s"
                        % (run["column"], last, [cell() for cell in column], program.trace)]
            time.sleep(0.1)
        failures = []
        for row, (value, unit, expected) in enumerate(run["readings"], start=1):
            name = "%s%d" % (run["column"], row)
            arrived = cell_content(sheet.getCellRangeByName(name))
            if not same(arrived, expected):
                failures.append("%s: the gauge printed %s %s, the cell holds %r instead of %r"
                                % (name, value, unit, arrived, expected))
        below = cell_content(sheet.getCellRangeByName("%s%d" % (run["column"], last + 1)))
        if below is not None:
            failures.append("%s%d below the readings holds %r" % (run["column"], last + 1, below))
        return failures
    finally:
        program.end()
        gauge.send_signal(signal.SIGINT)
        gauge.wait(PATIENCE_S)


def main():
    if len(sys.argv) != 3:
        fail("usage: calc_typing_test.py VALBRIX GAUGESIM")
    valbrix, gaugesim = sys.argv[1:]
    with tempfile.TemporaryDirectory() as work:
        manager = start_window_manager()
        process, calc = start_calc(work)
        failures = []
        try:
            for index, run in enumerate(RUNS):
                failures += type_run(run, valbrix, gaugesim, os.path.join(work, "config%d" % index), calc)
        finally:
            calc[1].setModified(False)
            process.terminate()
            try:
                process.wait(PATIENCE_S)
            except subprocess.TimeoutExpired:
                process.kill()
            manager.terminate()
    for failure in failures:
        print("calc_typing: " + failure, file=sys.stderr)
    readings = sum(len(run["readings"]) for run in RUNS)
    print("%d passed, %d failed" % (readings - len(failures), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
