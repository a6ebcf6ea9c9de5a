"""A private X server and what a person does at a screen, everything time-limited; the installed program to run."""

import argparse
import importlib.util
import os
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

class ScenarioError(Exception):
    pass

def check(what, got, want):
    if got != want:
        raise ScenarioError(f"{what}: {got!r}, se esperaba {want!r}")

def stop(proc):
    if proc and proc.poll() is None:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait(10)

def launch(command, env, out=subprocess.DEVNULL):  # in its own group, so stop() takes its children too
    return subprocess.Popen(command, cwd=env["HOME"], env=env, stdout=out, stderr=subprocess.STDOUT,
                            start_new_session=True)

def run_installed(scenario, options=(), tools=(), modules=(), minutes=5):
    """Installs the build under a scratch prefix and runs scenario(args, kivo, work) there; 77: something missing."""
    parser = argparse.ArgumentParser()
    for name in ("--install-from", *options):
        parser.add_argument(name, required=True)
    args = parser.parse_args()
    missing = [n for n in ("Xvfb", "xdotool", "xprop", *tools) if shutil.which(n) is None]
    missing += [package for module, package in (("Xlib", "python3-xlib"), *modules) if importlib.util.find_spec(module) is None]
    if missing:
        print("SKIP: faltan " + ", ".join(missing))
        return 77

    def give_up(signum, _):
        raise ScenarioError(f"pasaron {minutes} minutos" if signum == signal.SIGALRM else "detenido desde fuera")
    for sig in (signal.SIGALRM, signal.SIGTERM):  # stopped from outside, X and the program still go
        signal.signal(sig, give_up)
    signal.alarm(minutes * 60)
    with tempfile.TemporaryDirectory(prefix="kivo-e2e-", ignore_cleanup_errors=True) as work:
        try:
            prefix = Path(work) / "root/usr"
            done = subprocess.run(["cmake", "--install", args.install_from, "--prefix", str(prefix)],
                                  capture_output=True, text=True, timeout=300)
            if done.returncode:
                raise ScenarioError("cmake --install:\n" + done.stdout + done.stderr)
            return scenario(args, prefix / "bin/kivo", Path(work))
        except (ScenarioError, OSError, subprocess.SubprocessError, StopIteration, KeyError) as e:  # a table missing too
            print("FALLA:", repr(e), flush=True)
            return 1
        finally:
            signal.alarm(0)

def wait_for(predicate, timeout, what, interval=0.1):
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise ScenarioError("tiempo agotado esperando " + what)
        time.sleep(interval)
    return value

class XServer:
    def __init__(self, width=1280, height=1024):
        read_end, write_end = os.pipe()
        # -displayfd picks a free display, so parallel runs never collide; -noreset keeps the key map.
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()  # written once Xvfb is ready; nothing if it died
        if not number:
            self.stop()
            raise ScenarioError("Xvfb no arrancó")
        self.env = dict(os.environ, DISPLAY=":" + number)
        from Xlib import display
        self.dpy = display.Display(self.env["DISPLAY"])
        # The Spanish letters on unused keys: xdotool otherwise borrows a key for each and gives it
        # back before a busy program has read it, and letters go missing.
        low, high = self.dpy.display.info.min_keycode, self.dpy.display.info.max_keycode
        free = [low + i for i, syms in enumerate(self.dpy.get_keyboard_mapping(low, high - low + 1)) if not any(syms)]
        for keycode, pair in zip(free[-7:], ["áÁ", "éÉ", "íÍ", "óÓ", "úÚ", "ñÑ", "üÜ"]):  # Latin-1: their own keysyms
            self.dpy.change_keyboard_mapping(keycode, [[ord(c) for c in pair]])
        self.dpy.sync()

    def stop(self):
        stop(self.proc)

    def run(self, *args, timeout=20, check=True):
        done = subprocess.run(list(args), env=self.env, capture_output=True, text=True, timeout=timeout)
        if check and done.returncode != 0:
            raise ScenarioError(f"{args[0]} falló: {done.stderr.strip()}")
        return done.stdout

    def xdotool(self, *args, timeout=20, check=True):
        return self.run("xdotool", *map(str, args), timeout=timeout, check=check)

    def windows(self):
        """{id: title} of the visible windows and dialogs; tool tips, menus and lists left out."""
        found = {}
        for wid in self.xdotool("search", "--onlyvisible", "--name", ".", check=False).split():
            props = self.run("xprop", "-id", wid, "_NET_WM_WINDOW_TYPE", check=False)
            if "_NET_WM_WINDOW_TYPE_NORMAL" in props or "_NET_WM_WINDOW_TYPE_DIALOG" in props:
                found[int(wid)] = self.xdotool("getwindowname", wid, check=False).rstrip("\n")
        return found

    def find(self, title):
        return next((wid for wid, name in self.windows().items() if name == title), None)

    def kivo_env(self, work, **more):  # the program on this server, its data under work
        env = dict(self.env, HOME=str(work / "home"), KIVO_DATA_DIR=str(work / "KIVO"), QT_QPA_PLATFORM="xcb",
                   LC_ALL="C.UTF-8", LANG="C.UTF-8", **more)
        env.pop("QT_SCALE_FACTOR", None)
        (work / "home").mkdir()
        return env

    def geometry(self, wid):
        values = dict(line.split("=", 1) for line in self.xdotool("getwindowgeometry", "--shell", wid).split())
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    # No --sync: onto the pointer's own place, or the focused window, it waits 15 s for nothing.
    def click(self, x, y, button=1):
        self.xdotool("mousemove", int(x), int(y), "click", button)

    def focus(self, wid):
        x, y, w, h = self.geometry(wid)
        self.xdotool("mousemove", x + w // 2, y + min(h // 2, 12), "windowfocus", wid)
        time.sleep(0.3)  # the toolkit makes the window active once it sees the focus

    def type(self, text):
        self.xdotool("type", "--delay", "30", text, timeout=60)

    def key(self, *keys):
        self.xdotool("key", "--delay", "40", *keys)

    def close_window(self, wid):  # WM_DELETE_WINDOW, what a window manager's close box sends
        from Xlib import protocol
        window, atom = self.dpy.create_resource_object("window", wid), self.dpy.intern_atom
        window.send_event(protocol.event.ClientMessage(window=window, client_type=atom("WM_PROTOCOLS"),
                                                       data=(32, [atom("WM_DELETE_WINDOW"), 0, 0, 0, 0])))
        self.dpy.flush()
