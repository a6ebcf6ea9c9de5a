"""A private X server and the few things a person does at a screen: look at the windows,
move the mouse, click, type, take a picture. Everything is time-limited."""

import ctypes
import ctypes.util
import os
import shutil
import signal
import subprocess
import time


class ScenarioError(Exception):
    pass


def need_tools(*names):
    """The missing programs among names."""
    return [n for n in names if shutil.which(n) is None]


def wait_for(predicate, timeout, what, interval=0.1):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise ScenarioError("tiempo agotado esperando " + what)
        time.sleep(interval)


class XServer:
    def __init__(self, width=1280, height=1024):
        read_end, write_end = os.pipe()
        # -displayfd picks a free display number, so parallel runs never collide; -noreset
        # keeps the keyboard map below when the last client leaves.
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 15
        while not number.endswith(b"\n"):
            if time.monotonic() > deadline or self.proc.poll() is not None:
                os.close(read_end)
                self.stop()
                raise ScenarioError("Xvfb no arrancó")
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display)
        self._xlib = None
        self._spanish_keys()

    def _spanish_keys(self):
        """Put the Spanish letters on unused keys. xdotool otherwise borrows a key for each
        of them and gives it back before a busy program has read it: letters go missing."""
        xlib = self._xlib_handle()
        dpy = xlib.XOpenDisplay(self.display.encode())
        if not dpy:
            return
        try:
            low, high = ctypes.c_int(), ctypes.c_int()
            xlib.XDisplayKeycodes(dpy, ctypes.byref(low), ctypes.byref(high))
            per = ctypes.c_int()
            count = high.value - low.value + 1
            table = xlib.XGetKeyboardMapping(dpy, low.value, count, ctypes.byref(per))
            free = [low.value + i for i in range(count)
                    if not any(table[i * per.value + j] for j in range(per.value))]
            xlib.XFree(table)
            # Latin-1 letters have their own code as keysym.
            pairs = ["áÁ", "éÉ", "íÍ", "óÓ", "úÚ", "ñÑ", "üÜ"]
            for keycode, (lower, upper) in zip(free[-len(pairs):], pairs):
                syms = (ctypes.c_ulong * 2)(ord(lower), ord(upper))
                xlib.XChangeKeyboardMapping(dpy, keycode, 2, syms, 1)
            xlib.XSync(dpy, False)
        finally:
            xlib.XCloseDisplay(dpy)

    def stop(self):
        if self.proc.poll() is None:
            os.killpg(self.proc.pid, signal.SIGTERM)
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(self.proc.pid, signal.SIGKILL)
                self.proc.wait(5)

    # ---- plain X tools ---------------------------------------------------------------

    def run(self, *args, timeout=20, check=True):
        done = subprocess.run(list(args), env=self.env, capture_output=True, text=True,
                              timeout=timeout)
        if check and done.returncode != 0:
            raise ScenarioError(f"{args[0]} falló: {done.stderr.strip()}")
        return done.stdout

    def xdotool(self, *args, timeout=20, check=True):
        return self.run("xdotool", *args, timeout=timeout, check=check)

    def windows(self):
        """The visible top-level windows a person would call a window or a dialog:
        {id: title}. Tool tips, menus and drop-down lists are left out."""
        out = self.xdotool("search", "--onlyvisible", "--name", ".", check=False)
        found = {}
        for wid in out.split():
            props = self.run("xprop", "-id", wid, "_NET_WM_WINDOW_TYPE", "WM_NAME",
                             check=False)
            kinds = [k for k in ("NORMAL", "DIALOG") if "_NET_WM_WINDOW_TYPE_" + k in props]
            if not kinds:
                continue
            name = self.xdotool("getwindowname", wid, check=False).rstrip("\n")
            found[int(wid)] = name
        return found

    def geometry(self, wid):
        out = self.xdotool("getwindowgeometry", "--shell", str(wid))
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return (int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"]))

    # No --sync on mousemove anywhere: onto the place where the pointer already is, it waits
    # 15 s for a motion that never comes.
    def click(self, x, y, button=1):
        self.xdotool("mousemove", str(int(x)), str(int(y)))
        self.xdotool("click", str(button))

    def focus(self, wid):
        """Give the window the keyboard, as a window manager does when it is clicked."""
        x, y, w, h = self.geometry(wid)
        self.xdotool("mousemove", str(x + w // 2), str(y + min(h // 2, 12)))
        # Not --sync: a window that already holds the focus would make it wait 15 s.
        self.xdotool("windowfocus", str(wid))
        time.sleep(0.3)  # the toolkit makes the window active once it sees the focus

    def type(self, text):
        self.xdotool("type", "--delay", "30", text, timeout=60)

    def key(self, *keys):
        self.xdotool("key", "--delay", "40", *keys)

    def screenshot(self, path):
        self.run("import", "-window", "root", path, timeout=30)

    # ---- closing a window as a window manager would ------------------------------------

    def close_window(self, wid):
        """Send WM_DELETE_WINDOW, what the close box of a window manager does."""
        xlib = self._xlib_handle()
        dpy = xlib.XOpenDisplay(self.display.encode())
        if not dpy:
            raise ScenarioError("no se pudo abrir el servidor X")
        try:
            protocols = xlib.XInternAtom(dpy, b"WM_PROTOCOLS", False)
            delete = xlib.XInternAtom(dpy, b"WM_DELETE_WINDOW", False)
            event = _XClientMessageEvent()
            event.type = 33  # ClientMessage
            event.send_event = True
            event.display = dpy
            event.window = wid
            event.message_type = protocols
            event.format = 32
            event.data[0] = delete
            event.data[1] = 0  # CurrentTime
            padded = _XEvent()
            ctypes.memmove(ctypes.byref(padded), ctypes.byref(event), ctypes.sizeof(event))
            if not xlib.XSendEvent(dpy, wid, False, 0, ctypes.byref(padded)):
                raise ScenarioError("XSendEvent falló")
            xlib.XFlush(dpy)
        finally:
            xlib.XCloseDisplay(dpy)

    def _xlib_handle(self):
        if self._xlib is None:
            name = ctypes.util.find_library("X11") or "libX11.so.6"
            xlib = ctypes.CDLL(name)
            xlib.XOpenDisplay.restype = ctypes.c_void_p
            xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
            xlib.XInternAtom.restype = ctypes.c_ulong
            xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
            xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                        ctypes.c_long, ctypes.c_void_p]
            xlib.XFlush.argtypes = [ctypes.c_void_p]
            xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
            xlib.XDisplayKeycodes.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_void_p]
            xlib.XGetKeyboardMapping.restype = ctypes.POINTER(ctypes.c_ulong)
            xlib.XGetKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int,
                                                 ctypes.c_void_p]
            xlib.XFree.argtypes = [ctypes.c_void_p]
            xlib.XChangeKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                                    ctypes.c_void_p, ctypes.c_int]
            xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
            self._xlib = xlib
        return self._xlib


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Structure):
    _fields_ = [("pad", ctypes.c_long * 24)]
