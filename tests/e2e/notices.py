#!/usr/bin/python3
"""A notification server that shows nothing, for a desktop without one that can draw there:
it answers as a server does, so that the messages a program sends can be read off the bus."""
import itertools

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"


class Server(dbus.service.Object):
    numbers = itertools.count(1)

    @dbus.service.method(NAME, out_signature="as")
    def GetCapabilities(self):
        return ["body", "actions"]

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        return replaces or next(self.numbers)

    @dbus.service.method(NAME, in_signature="u")
    def CloseNotification(self, number):
        self.NotificationClosed(number, 3)

    @dbus.service.signal(NAME, signature="uu")
    def NotificationClosed(self, number, reason):
        pass

    @dbus.service.method(NAME, out_signature="ssss")
    def GetServerInformation(self):
        return "notices", "dormivo-e2e", "1", "1.2"


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    Server(bus, "/org/freedesktop/Notifications")
    bus.request_name(NAME, dbus.bus.NAME_FLAG_DO_NOT_QUEUE)
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
