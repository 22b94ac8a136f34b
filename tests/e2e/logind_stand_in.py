#!/usr/bin/python3
"""A stand-in for systemd-logind on a private bus: the manager finds one session, whose LockedHint
flips on SIGUSR1 (locked) and SIGUSR2 (unlocked), announced with PropertiesChanged as logind does.

    logind_stand_in.py BUS_ADDRESS

Prints "ready" once the name is taken, and "locked" or "unlocked" after each change is sent.
"""
import signal
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

LOGIN1 = "org.freedesktop.login1"
SESSION = "org.freedesktop.login1.Session"
PROPERTIES = "org.freedesktop.DBus.Properties"
SESSION_PATH = "/org/freedesktop/login1/session/c1"


class Manager(dbus.service.Object):
    @dbus.service.method("org.freedesktop.login1.Manager", in_signature="s", out_signature="o")
    def GetSession(self, _id):
        return dbus.ObjectPath(SESSION_PATH)

    @dbus.service.method("org.freedesktop.login1.Manager", in_signature="u", out_signature="o")
    def GetSessionByPID(self, _pid):
        return dbus.ObjectPath(SESSION_PATH)


class Session(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, SESSION_PATH)
        self.values = {"LockedHint": dbus.Boolean(False), "Active": dbus.Boolean(True)}

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, _interface, name):
        return self.values[name]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self.values if interface == SESSION else {}

    @dbus.service.signal(PROPERTIES, signature="sa{sv}as")
    def PropertiesChanged(self, interface, changed, invalidated):
        pass

    def lock(self, locked):
        self.values["LockedHint"] = dbus.Boolean(locked)
        self.PropertiesChanged(SESSION, {"LockedHint": dbus.Boolean(locked)}, [])
        print("locked" if locked else "unlocked", flush=True)
        return True


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(sys.argv[1])
    name = dbus.service.BusName(LOGIN1, bus)
    Manager(bus, "/org/freedesktop/login1")
    session = Session(bus)
    loop = GLib.MainLoop()
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, session.lock, True)
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR2, session.lock, False)
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, loop.quit)
    print("ready", flush=True)
    loop.run()
    del name


if __name__ == "__main__":
    main()
