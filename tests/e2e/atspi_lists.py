#!/usr/bin/python3
"""What a screen reader learns over the accessibility bus, read with pyatspi from the installed program in Xvfb: every
list gives its label and its chosen entry, a change of entry is announced with the new entry, the pages carry their
captions, after the print key on an empty application the focus is reported where the caret is, and the restore
window reads the backup it opens on.
77: no Xvfb, D-Bus, AT-SPI or pyatspi here (the reason is printed)."""

import argparse
import importlib.util
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from xsession import ScenarioError, XServer, wait_for  # noqa: E402

MAIN_TITLE = "KIVO Ver. 1.0"
RESTORE_TITLE = "Restaurar una solicitud anterior"
LISTS = {"Combo1": "Tipo de Trámite", "cmbActividad": "Actividad Principal", "Combo5": "Adm. local de recaudación",
         "cmbBanco": "Nombre del banco"}
RFC = "KEX050315AB1"
failures = []

def check(what, got, wanted):
    print(f"{'ok   ' if got == wanted else 'FALLA'} {what}: {got!r}" + ("" if got == wanted else f", se esperaba {wanted!r}"),
          flush=True)
    if got != wanted:
        failures.append(what)

class Bus:
    """A private session bus; the accessibility bus and its registry start from it on demand."""

    def __init__(self, env):
        self.proc = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"], env=env,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, start_new_session=True)
        self.address = self.proc.stdout.readline().strip()
        if not self.address:
            raise ScenarioError("dbus-daemon no arrancó")

    def stop(self):
        if self.proc.poll() is None:
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait(5)

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
            self.events.append((e.type, e.source.name, e.source.getRoleName(), e.detail1, str(e.any_data)))
        except Exception:  # noqa: BLE001 - a source that died before it could be read
            pass

    def pump(self, seconds):
        from gi.repository import GLib
        GLib.timeout_add(int(seconds * 1000), lambda: self.at.Registry.stop() and False)
        self.at.Registry.start()

    def app(self):
        desktop = self.at.Registry.getDesktop(0)
        return next((a for a in desktop if a is not None and a.name.lower() == "kivo"), None)

    def walk(self, node, depth=0):
        yield node
        if depth < 40:
            for child in node:
                if child is not None:
                    yield from self.walk(child, depth + 1)

    def find(self, role):
        return [n for n in self.walk(self.app()) if n.getRole() == role]

    def labels(self, node):
        return [t.name for r in node.getRelationSet() if r.getRelationType() == self.at.RELATION_LABELLED_BY
                for t in (r.getTarget(i) for i in range(r.getNTargets()))]

    def text(self, node):
        try:
            t = node.queryText()
            return t.getText(0, t.characterCount)
        except NotImplementedError:
            return None

    def selected(self, node):  # the chosen entry as the list's own children give it
        for child in self.walk(node):
            if child.getRole() in (self.at.ROLE_LIST_ITEM, self.at.ROLE_MENU_ITEM) and \
                    child.getState().contains(self.at.STATE_SELECTED):
                return child.name
        return None

    def heard(self, node):
        """What a reader has for a list: its label and its chosen entry."""
        label = self.labels(node)
        # A name that only repeats the label says nothing of the entry.
        entry = self.text(node) or (node.name if label and node.name not in label else None) or self.selected(node)
        return {"nombre": node.name, "etiquetada por": label, "texto": self.text(node), "entrada": entry}

    def focused(self):
        return next((n for n in self.walk(self.app()) if n.getState().contains(self.at.STATE_FOCUSED)), None)

    def last_focus_event(self):
        for kind, name, _, detail, _ in reversed(self.events):
            if kind.startswith("focus") or (kind == "object:state-changed:focused" and detail == 1):
                return name
        return None

def by_label(reader, role):
    found = {}
    for node in reader.find(role):
        names = reader.labels(node) + [node.name]
        for design, label in LISTS.items():
            if label in names:
                found[design] = node
    return found

def scenario(kivo, work):
    x = XServer()
    bus = None
    proc = None
    try:
        bus = Bus(x.env)
        env = dict(x.env, DBUS_SESSION_BUS_ADDRESS=bus.address, HOME=str(work / "home"), KIVO_DATA_DIR=str(work / "KIVO"),
                   KIVO_DRIVE_A=str(work), QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   QT_ACCESSIBILITY="1", LC_ALL="C.UTF-8", LANG="C.UTF-8")
        env.pop("QT_SCALE_FACTOR", None)
        (work / "home").mkdir()
        os.environ.update(DISPLAY=env["DISPLAY"], DBUS_SESSION_BUS_ADDRESS=bus.address)
        import pyatspi  # reads the bus address at import
        reader = Reader(pyatspi)
        try:
            reader.pump(0.5)
            pyatspi.Registry.getDesktop(0).childCount
        except Exception as e:  # noqa: BLE001 - any failure here means no accessibility bus
            print("SKIP: el bus de accesibilidad no arrancó:", e)
            return 77
        proc = subprocess.Popen([str(kivo)], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                start_new_session=True)
        main = wait_for(lambda: next((w for w, t in x.windows().items() if t == MAIN_TITLE), None), 60, MAIN_TITLE)
        wait_for(reader.app, 30, "el programa en el bus de accesibilidad")
        x.focus(main)

        # Print on the empty application: both messages answered, the focus reported is where the caret is.
        printer = next(n for n in reader.find(pyatspi.ROLE_PUSH_BUTTON) if n.name == "Imprimir solicitud")
        box = printer.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        x.click(box.x + box.width // 2, box.y + box.height // 2)
        for title in ("KIVO", "Dato requerido"):
            wid = wait_for(lambda: next((w for w, t in x.windows().items() if t == title), None), 20, title)
            reader.pump(0.3)
            x.focus(wid)
            x.key("Return")
            wait_for(lambda: title not in x.windows().values(), 20, "que se cierre " + title)
        x.focus(main)  # no window manager here gives the window back its focus
        reader.pump(1.0)
        caret = reader.focused()
        check("foco anunciado tras imprimir vacía", reader.last_focus_event(), "RFC")
        check("el cursor tras imprimir vacía", caret.name if caret else None, "RFC")

        # A valid RFC opens the lists.
        x.type(RFC)
        x.key("Tab")
        reader.pump(1.0)

        lists = by_label(reader, pyatspi.ROLE_COMBO_BOX)
        for design, label in LISTS.items():
            node = lists.get(design)
            heard = reader.heard(node) if node else {}
            print(f"      {design}: {heard}", flush=True)
            check(f"{design}: su etiqueta", label in heard.get("etiquetada por", []) + [heard.get("nombre")], True)
        check("Combo1: su entrada", reader.heard(lists["Combo1"])["entrada"], "Programa nuevo")

        for design in ("cmbActividad", "Combo5"):
            node = lists[design]
            before = reader.heard(node)["entrada"]
            for _ in range(30):  # by the Tab key, as the clerk gets there
                now = reader.focused()
                if now and now.getRole() == pyatspi.ROLE_COMBO_BOX and LISTS[design] in reader.labels(now):
                    break
                x.key("Tab")
                reader.pump(0.2)
            del reader.events[:]
            x.key("Down")
            reader.pump(1.0)
            after = reader.heard(node)["entrada"]
            said = [(kind, name, data) for kind, name, _, _, data in reader.events]
            print(f"      {design}: {before!r} -> {after!r}; eventos {said}", flush=True)
            check(f"{design}: la entrada cambia con la flecha", bool(after) and after != before, True)
            check(f"{design}: el cambio se anuncia con la entrada nueva",
                  any(after and (after in n or after in d) for _, n, d in said), True)

        pages = [(n.name, n.getRole()) for n in reader.find(pyatspi.ROLE_LAYERED_PANE)]
        print(f"      paneles: {pages}", flush=True)
        check("los paneles de páginas llevan su título", all(name for name, _ in pages) and bool(pages), True)

        # The restore window: the backup chosen on opening is read, not only "tree table".
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait(10)
        backup = work / "KIVO" / "respaldos" / "20261201-120000"
        backup.mkdir(parents=True)
        for table in (work / "KIVO").iterdir():
            if table.suffix.lower() == ".dbf":
                shutil.copyfile(table, backup / table.name)
        wait_for(lambda: reader.app() is None, 30, "que el programa deje el bus")
        del reader.events[:]
        proc = subprocess.Popen([str(kivo), "--restaurar"], env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, start_new_session=True)
        restore = wait_for(lambda: next((w for w, t in x.windows().items() if t == RESTORE_TITLE), None), 60,
                           RESTORE_TITLE)
        x.focus(restore)
        reader.pump(1.5)
        check("la ventana de restaurar lee el respaldo elegido", reader.last_focus_event(), "01/12/2026 12:00:00")
        return 1 if failures else 0
    finally:
        if proc and proc.poll() is None:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait(10)
        if bus:
            bus.stop()
        x.stop()

def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--install-from")
    parser.add_argument("--kivo", help="a built program to read, instead of installing one")
    args = parser.parse_args()
    missing = [n for n in ("Xvfb", "xdotool", "xprop", "dbus-daemon") if shutil.which(n) is None]
    missing += [] if importlib.util.find_spec("pyatspi") else ["python3-pyatspi"]
    missing += [] if Path("/usr/libexec/at-spi-bus-launcher").exists() else ["at-spi2-core"]
    if missing:
        print("SKIP: faltan " + ", ".join(missing))
        return 77
    signal.signal(signal.SIGALRM, lambda *_: (_ for _ in ()).throw(ScenarioError("pasaron 5 minutos")))
    signal.alarm(300)
    with tempfile.TemporaryDirectory(prefix="kivo-atspi-", ignore_cleanup_errors=True) as work:
        try:
            kivo = Path(args.kivo) if args.kivo else Path(work) / "root/usr/bin/kivo"
            if not args.kivo:
                done = subprocess.run(["cmake", "--install", args.install_from, "--prefix", str(Path(work) / "root/usr")],
                                      capture_output=True, text=True, timeout=300)
                if done.returncode:
                    print("FALLA: cmake --install\n" + done.stdout + done.stderr)
                    return 1
            return scenario(kivo, Path(work))
        except (ScenarioError, OSError, subprocess.SubprocessError, StopIteration, KeyError) as e:
            print("FALLA:", repr(e), flush=True)
            return 1
        finally:
            signal.alarm(0)

if __name__ == "__main__":
    sys.exit(main())
