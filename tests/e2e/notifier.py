#!/usr/bin/python3
"""A notification server that shows nothing; given LABEL it invokes that choice in the first
message offering it. Prints notify ID SUMMARY | KEY=LABEL ..., invoked ID KEY, close ID."""
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"


class Server(dbus.service.Object):
    def __init__(self, bus, label):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.label = label
        self.last_id = 0

    @dbus.service.method(NAME, out_signature="as")
    def GetCapabilities(self):
        return ["actions", "body"]

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        nid = replaces or self.last_id + 1
        self.last_id = max(self.last_id, nid)
        choices = dict(zip(actions[1::2], actions[0::2]))  # label -> key
        print(f"notify {nid} {summary} |", " ".join(f"{k}={l}" for l, k in choices.items()),
              flush=True)
        if self.label in choices:
            GLib.timeout_add(200, self.invoke, nid, choices[self.label])
            self.label = None  # once
        return nid

    @dbus.service.method(NAME, in_signature="u")
    def CloseNotification(self, nid):
        print(f"close {nid}", flush=True)
        self.NotificationClosed(nid, 3)

    def invoke(self, nid, key):
        print(f"invoked {nid} {key}", flush=True)
        self.ActionInvoked(nid, key)
        return False

    @dbus.service.signal(NAME, signature="us")
    def ActionInvoked(self, nid, key):
        pass

    @dbus.service.signal(NAME, signature="uu")
    def NotificationClosed(self, nid, reason):
        pass


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    Server(bus, sys.argv[1] if len(sys.argv) > 1 else None)
    bus.request_name(NAME, dbus.bus.NAME_FLAG_DO_NOT_QUEUE)
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
