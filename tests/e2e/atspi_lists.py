#!/usr/bin/python3
"""What a screen reader hears over the accessibility bus from the installed program in Xvfb: the focus after printing
an empty application, a list's new entry, the pages' captions, the backup the restore window opens on. 77: tools missing."""

import os
import shutil
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from xsession import ScenarioError, XServer, check, launch, run_installed, stop, wait_for  # noqa: E402

MAIN_TITLE, RESTORE_TITLE, ACTIVITY = "KIVO Ver. 1.0", "Restaurar una solicitud anterior", "Actividad Principal"

class Reader:
    """The screen reader's side: the program's tree and the events it sends."""

    def __init__(self, pyatspi):
        self.at, self.events = pyatspi, []
        # What a screen reader listens for: the toolkit sends only the kinds someone listens for.
        self.at.Registry.registerEventListener(self.record, "object:property-change:accessible-name",
                                               "object:property-change:accessible-value", "object:value-changed",
                                               "object:text-changed", "object:selection-changed",
                                               "object:active-descendant-changed", "object:state-changed:focused",
                                               "focus:")

    def record(self, e):  # read at once: the source may be gone by the time anyone looks
        try:
            self.events.append((e.type, e.source.name, e.detail1, str(e.any_data)))
        except Exception:  # noqa: BLE001 - a source that died before it could be read
            pass

    def pump(self, seconds):
        from gi.repository import GLib
        GLib.timeout_add(int(seconds * 1000), lambda: self.at.Registry.stop() and False)
        self.at.Registry.start()

    def app(self):
        return next((a for a in self.at.Registry.getDesktop(0) if a is not None and a.name.lower() == "kivo"), None)

    def walk(self, node, depth=0):
        yield node
        for child in node if depth < 40 else ():
            if child is not None:
                yield from self.walk(child, depth + 1)

    def find(self, role):
        return [n for n in self.walk(self.app()) if n.getRole() == role]

    def entry(self, node):
        """The list's chosen entry: its text, a name that is not its label, or its selected child."""
        try:
            t = node.queryText()
            if t.characterCount:
                return t.getText(0, t.characterCount)
        except NotImplementedError:
            pass
        if node.name and node.name != ACTIVITY:
            return node.name
        return next((c.name for c in self.walk(node) if c.getRole() in (self.at.ROLE_LIST_ITEM, self.at.ROLE_MENU_ITEM)
                     and c.getState().contains(self.at.STATE_SELECTED)), None)

    def focused(self):
        return next((n for n in self.walk(self.app()) if n.getState().contains(self.at.STATE_FOCUSED)), None)

    def last_focus_event(self):
        return next((name for kind, name, detail, _ in reversed(self.events)
                     if kind.startswith("focus") or (kind == "object:state-changed:focused" and detail == 1)), None)

def scenario(args, kivo, work):
    x, bus, proc = XServer(), None, None
    try:
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"], env=x.env, text=True,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)
        address = bus.stdout.readline().strip()
        if not address:
            raise ScenarioError("dbus-daemon no arrancó")
        env = x.kivo_env(work, DBUS_SESSION_BUS_ADDRESS=address, KIVO_DRIVE_A=str(work),
                         QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        os.environ.update(DISPLAY=env["DISPLAY"], DBUS_SESSION_BUS_ADDRESS=address)
        import pyatspi  # reads the bus address at import
        reader = Reader(pyatspi)
        try:
            reader.pump(0.5)
            pyatspi.Registry.getDesktop(0).childCount
        except Exception as e:  # noqa: BLE001 - any failure here means no accessibility bus
            print("SKIP: el bus de accesibilidad no arrancó:", e)
            return 77
        proc = launch([str(kivo)], env)
        main = wait_for(lambda: x.find(MAIN_TITLE), 60, MAIN_TITLE)
        wait_for(reader.app, 30, "el programa en el bus de accesibilidad")
        x.focus(main)

        # Print on the empty application: both messages answered, the focus reported is where the caret is.
        printer = next(n for n in reader.find(pyatspi.ROLE_PUSH_BUTTON) if n.name == "Imprimir solicitud")
        box = printer.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        x.click(box.x + box.width // 2, box.y + box.height // 2)
        for title in ("KIVO", "Dato requerido"):
            wid = wait_for(lambda: x.find(title), 20, title)
            reader.pump(0.3)
            x.focus(wid)
            x.key("Return")
            wait_for(lambda: x.find(title) is None, 20, "que se cierre " + title)
        x.focus(main)  # no window manager here gives the window back its focus
        reader.pump(1.0)
        check("foco anunciado tras imprimir vacía", reader.last_focus_event(), "RFC")

        # A valid RFC opens the lists; the clerk reaches the first, the activity's, by the Tab key and changes its entry.
        x.type("KEX050315AB1")
        x.key("Tab")
        reader.pump(1.0)
        for _ in range(30):
            now = reader.focused()
            if now and now.getRole() == pyatspi.ROLE_COMBO_BOX:
                break
            x.key("Tab")
            reader.pump(0.2)
        else:
            raise ScenarioError("el Tab no llega a la lista " + ACTIVITY)
        before = reader.entry(now)
        del reader.events[:]
        x.key("Down")
        reader.pump(1.0)
        after = reader.entry(now)
        said = [(name, data) for _, name, _, data in reader.events]
        announced = any(after != before and (after in n or after in d) for n, d in said if after)
        check(f"el cambio se anuncia con la entrada nueva ({before!r} -> {after!r}, eventos {said})", announced, True)

        pages = [n.name for n in reader.find(pyatspi.ROLE_LAYERED_PANE)]
        check(f"los paneles de páginas llevan su título {pages}", all(pages) and bool(pages), True)

        # The restore window: the backup chosen on opening is read, not only "tree table".
        stop(proc)
        backup = work / "KIVO" / "respaldos" / "20261201-120000"
        backup.mkdir(parents=True)
        for table in (work / "KIVO").glob("*.[dD][bB][fF]"):
            shutil.copyfile(table, backup / table.name)
        wait_for(lambda: reader.app() is None, 30, "que el programa deje el bus")
        del reader.events[:]
        proc = launch([str(kivo), "--restaurar"], env)
        x.focus(wait_for(lambda: x.find(RESTORE_TITLE), 60, RESTORE_TITLE))
        reader.pump(1.5)
        check("la ventana de restaurar lee el respaldo elegido", reader.last_focus_event(), "01/12/2026 12:00:00")
        return 0
    finally:
        stop(proc)
        stop(bus)
        x.stop()

if __name__ == "__main__":
    sys.exit(run_installed(scenario, tools=("dbus-daemon", "/usr/libexec/at-spi-bus-launcher"),
                           modules=[("pyatspi", "python3-pyatspi")]))
