"""A stand-in for systemd-logind on a private bus: records PowerOff and
Reboot requests, one line each with the time, into the log file given as the
first argument, and powers nothing off."""

import sys
import time

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

LOG = sys.argv[1]


def record(line):
    with open(LOG, "a") as f:
        f.write(line + "\n")


class Manager(dbus.service.Object):
    @dbus.service.method("org.freedesktop.login1.Manager", in_signature="b", out_signature="")
    def PowerOff(self, interactive):
        record("%s PowerOff(%s)" % (time.strftime("%H:%M:%S"), str(bool(interactive)).lower()))

    @dbus.service.method("org.freedesktop.login1.Manager", in_signature="b", out_signature="")
    def Reboot(self, interactive):
        record("%s Reboot(%s)" % (time.strftime("%H:%M:%S"), str(bool(interactive)).lower()))


DBusGMainLoop(set_as_default=True)
bus = dbus.SystemBus()
name = dbus.service.BusName("org.freedesktop.login1", bus)
manager = Manager(bus, "/org/freedesktop/login1")
record("ready")
GLib.MainLoop().run()
