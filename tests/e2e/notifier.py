#!/usr/bin/python3
"""A notification server that chooses for the user: it takes the first message offering the
choice labelled LABEL and invokes that choice, as a click on its button would. Prints a line
for every call: notify ID SUMMARY | KEY=LABEL ..., invoked ID KEY, close ID."""
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
        self.chosen = False

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
        if self.label in choices and not self.chosen:
            self.chosen = True
            GLib.timeout_add(200, self.invoke, nid, choices[self.label])
        return nid

    @dbus.service.method(NAME, in_signature="u")
    def CloseNotification(self, nid):
        print(f"close {nid}", flush=True)

    def invoke(self, nid, key):
        print(f"invoked {nid} {key}", flush=True)
        self.ActionInvoked(nid, key)
        return False

    @dbus.service.signal(NAME, signature="us")
    def ActionInvoked(self, nid, key):
        pass


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    server = Server(bus, sys.argv[1])  # noqa: F841, served while it lives
    bus.request_name(NAME, dbus.bus.NAME_FLAG_DO_NOT_QUEUE)
    print("serving", flush=True)
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
