#!/usr/bin/python3
"""A notification-area panel that owns the StatusNotifierWatcher name and answers nothing until
SIGUSR1; then it serves, printing a line for every icon that registers."""
import signal

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.kde.StatusNotifierWatcher"
# Declared by hand: callers read the host property through what introspection tells them.
INTROSPECTION = f"""<node>
 <interface name="{NAME}">
  <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
 </interface>
 <interface name="org.freedesktop.DBus.Properties">
  <method name="Get">
   <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/>
  </method>
 </interface>
</node>"""
PROPERTIES = {"IsStatusNotifierHostRegistered": dbus.Boolean(True), "ProtocolVersion": dbus.Int32(0)}


class Watcher(dbus.service.Object):
    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, out_signature="s")
    def Introspect(self):
        return INTROSPECTION

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return PROPERTIES[name]

    @dbus.service.method(NAME, in_signature="s")
    def RegisterStatusNotifierItem(self, service):
        print(f"registered {service}", flush=True)


def main():
    signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGUSR1})
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    bus.request_name(NAME, dbus.bus.NAME_FLAG_DO_NOT_QUEUE)
    # No main loop runs yet: what the bus brings us waits, unanswered.
    signal.sigwait({signal.SIGUSR1})
    Watcher(bus, "/StatusNotifierWatcher")
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
