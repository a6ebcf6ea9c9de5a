#!/usr/bin/python3
"""A whole application typed by a clerk into the real program on a real X server.

Fresh data folder; the RFC unlocks the fields; every page filled with real key and mouse
events; saved; closed with "Sí"; started again; printed to a PDF through the printer dialog;
written to the folder that stands for the diskette. The tables are read back with dbfread,
the PDF with pdftotext. Any window the clerk did not expect fails the run.

usage: e2e_scenario.py (--bin DIR | --install-from BUILD) [--data DIR] [--artifacts DIR] [--keep]
With --install-from, the build is first installed (cmake --install) into a temporary prefix
and the installed program is the one driven.
Exit status 77 means the tools to run it are missing."""

import argparse
import datetime
import os
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from xsession import ScenarioError, XServer, need_tools, wait_for  # noqa: E402

SKIP = 77
MAIN_TITLE = "KIVO Ver. 1.0"
PRINT_TITLE = "Impresión de Solicitud"

# What the clerk types (often in lower case: the window upper-cases) and what must be stored.
RFC = ("kex050315ab1", "KEX050315AB1")
HEADER = [("txtApePat1", "Exportadora del Norte de Tolvania", "EXPORTADORA DEL NORTE DE TOLVANIA"),
          ("txtEmail1", "Ventas@ExNorte.MX", "ventas@exnorte.mx")]
COMPANY_SUFFIX = (", s.a. de c.v.", ", S.A. DE C.V.")
FISCAL = [("CALLEYNO", "Av. Reforma 1520 int. 4", "AV. REFORMA 1520 INT. 4"),
          ("COLONIA", "Peñón de los Baños", "PEÑÓN DE LOS BAÑOS"),
          ("CP", "06-600", "06600"),
          ("ESTADO", "Nuevo León", "NUEVO LEÓN"),
          ("CIUDAD", "Monterrey", "MONTERREY"),
          ("ADMLOCAL", None, None),
          ("DELMUN", "San Pedro Garza García", "SAN PEDRO GARZA GARCÍA"),
          ("FAX", "81-8123-4567", "8181234567"),
          ("TELEFONO", "(81) 8123 4560", "8181234560")]
REPRESENTATIVE = [("APEPREPLEG", "Ramos", "RAMOS"),
                  ("APEMREPLEG", "Iturbide", "ITURBIDE"),
                  ("NOMBREREPL", "Lucía Fernanda", "LUCÍA FERNANDA"),
                  ("CARGO", "Directora General", "DIRECTORA GENERAL"),
                  ("TEL_REPREG", "81 8123 4570", "8181234570"),
                  ("FAXREP", "81 8123 4571", "8181234571"),
                  ("EMAILREPL", "L.Ramos@ExNorte.MX", "l.ramos@exnorte.mx")]
STAFF = {"NOEMPLEADO": "12", "NOOBREROS": "30", "VTPAIS": "1500.5", "VTEXTERIOR": "2500"}
PRODUCTS = ["Chile jalapeño en conserva", "Salsa picante de habanero", "Mermelada de mango"]
SUPPLIERS = [("Agrícola del Valle", "AVA980512K21", "Chile jalapeño"),
             ("Envases de Vidrio del Norte", "EVN0103227A3", "Frascos de vidrio"),
             ("Etiquetas y Cartón", "ECA950830JJ9", "Etiquetas impresas"),
             ("Huertos Peninsulares", "HPE001120QW5", "Chile habanero"),
             ("Frutas Finas de Sinaloa", "FFSI990101AB1", "Mango ataulfo")]
# VTOT, VMERCNAC, EXPORTA, IMPORTA per year row; the exchange rate only in the first.
SALES = [("1500.5", "1000", "250", "40"), ("1800", "1200", "300", "50"),
         ("2100", "1400", "350", "60")]
EXCHANGE = ("19.5", 19.5)
BANK = [("SUCURSAL", "Centro Monterrey", "CENTRO MONTERREY"),
        ("NUMCUENTA", "0123-4567-89", "0123456789"),
        ("LOCALIDAD", "Monterrey", "MONTERREY"),
        ("DOMBANCO", "Av. Juárez 100, Centro", "AV. JUÁREZ 100, CENTRO")]
ACTIVITY_DOWNS = 3   # fourth entry of the delivered activities
OFFICE_DOWNS = 3     # from no entry, three steps down
BANK_DOWNS = 2       # third bank
READ_ONLY = {"activida.dbf", "admlocal.dbf", "catbanco.dbf", "considera.txt"}
DISKETTE_TABLES = ["datoprov.dbf", "PROVMERC.dbf", "provprod.dbf", "VENTAS.dbf", "activida.dbf"]


def log(*parts):
    print(time.strftime("%H:%M:%S"), *parts, flush=True)


class Clerk:
    """The program on screen and the person in front of it."""

    def __init__(self, x, kivo, home, env, artifacts):
        self.x = x
        self.kivo = kivo
        self.home = home
        self.env = env
        self.artifacts = artifacts
        self.proc = None
        self.main = None
        self.origin = (0, 0)
        self.scale = 1.0
        self.shots = 0

    # ---- the program ---------------------------------------------------------------

    def start(self):
        logfile = open(self.artifacts / "kivo.log", "a")
        self.proc = subprocess.Popen([str(self.kivo)], cwd=self.home, env=self.env,
                                     stdout=logfile, stderr=subprocess.STDOUT,
                                     start_new_session=True)
        logfile.close()
        started = time.monotonic()
        self.main = wait_for(lambda: self._find(MAIN_TITLE), 60, "la ventana " + MAIN_TITLE)
        log(f"ventana lista en {time.monotonic() - started:.2f} s")
        x, y, w, _ = self.x.geometry(self.main)
        self.origin = (x, y)
        # The window is the design's 11175 twips wide, scaled to the desktop's font.
        self.scale = w * 15 / 11175
        self.expect([MAIN_TITLE])

    def stop(self):
        if self.proc and self.proc.poll() is None:
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait(10)

    def log_peak_memory(self):
        try:
            status = Path(f"/proc/{self.proc.pid}/status").read_text()
        except OSError:
            return
        for line in status.splitlines():
            if line.startswith("VmHWM:"):
                log("memoria máxima del programa:", line.split(":", 1)[1].strip())

    def wait_exit(self, timeout=60):
        started = time.monotonic()
        try:
            code = self.proc.wait(timeout)
            log(f"el programa terminó en {time.monotonic() - started:.2f} s")
        except subprocess.TimeoutExpired:
            raise ScenarioError("el programa no terminó al cerrar la ventana")
        if code != 0:
            raise ScenarioError(f"el programa terminó con el código {code}")

    def _find(self, title):
        for wid, name in self.x.windows().items():
            if name == title:
                return wid
        return None

    # ---- what is on the screen -----------------------------------------------------

    def shot(self, name):
        self.shots += 1
        path = self.artifacts / f"{self.shots:02d}-{name}.png"
        self.x.screenshot(str(path))
        return path

    def expect(self, titles, settle=0.6):
        """Exactly these windows are open; anything else is a message nobody expected."""
        time.sleep(settle)
        if self.proc.poll() is not None:
            raise ScenarioError(f"el programa terminó (código {self.proc.returncode})")
        found = sorted(self.x.windows().values())
        if found != sorted(titles):
            path = self.shot("inesperado")
            raise ScenarioError(f"ventanas {found}, se esperaban {sorted(titles)} (ver {path.name})")

    def answer(self, title, keys, others, timeout=20):
        """Wait for the message box titled title, answer it with keys, and check that it is
        gone and nothing else came up."""
        wid = wait_for(lambda: self._find(title), timeout, f'el mensaje "{title}"')
        time.sleep(0.3)
        found = sorted(self.x.windows().values())
        if found != sorted(others + [title]):
            path = self.shot("inesperado")
            raise ScenarioError(f"ventanas {found} con el mensaje {title} (ver {path.name})")
        self.shot("mensaje-" + title.strip(".").replace(" ", "-").lower())
        self.x.focus(wid)
        self.x.key(*keys)
        wait_for(lambda: self._find(title) is None, timeout, f'que se cierre "{title}"')

    # ---- places on the window, from the design's twips ------------------------------

    def at(self, left, top, dx=0, dy=0):
        return (self.origin[0] + round(left / 15 * self.scale) + dx,
                self.origin[1] + round(top / 15 * self.scale) + dy)

    def click_control(self, left, top, width, height):
        """The middle of a control; left and top from the window's corner, in twips."""
        self.x.click(*self.at(left + width / 2, top + height / 2))

    def click_button(self, left):
        self.click_control(left, 0, 375, 495)
        # Off the bar, so a tool tip does not linger over the next picture.
        self.x.xdotool("mousemove", str(self.origin[0] + 5), str(self.origin[1] + 5))

    def click_text_window_button(self, wid, left):
        """The print window keeps its two buttons 700 twips above its bottom edge."""
        x, y, _, h = self.x.geometry(wid)
        self.x.click(x + round((left + 1215 / 2) / 15), y + h - round((700 - 375 / 2) / 15))

    def page(self, index):
        # Seven tabs of equal width along SSTab1 (120, 3000, width 10785).
        width = 10785 / 15 * self.scale - 4
        x = self.origin[0] + round(120 / 15 * self.scale) + 2 + (index + 0.5) * width / 7
        y = self.origin[1] + round(3000 / 15 * self.scale) + round(16 * self.scale)
        self.x.click(x, y)
        time.sleep(0.2)

    def enter_grid(self, left, top, width, height):
        """Into a grid on a page, on its first cell: a click on the empty space under the
        rows, then Ctrl+Home. The header's height follows the font, the empty space does not."""
        self.x.click(*self.at(120 + left + width / 2, 3000 + top + height - 150))
        self.x.key("ctrl+Home")

    def type_fields(self, values):
        """Type each value and Tab to the next field; None leaves a field as it is."""
        for value in values:
            if value is not None:
                self.x.type(value)
            self.x.key("Tab")


def find_table(folder, name):
    for entry in Path(folder).iterdir():
        if entry.name.lower() == name.lower():
            return entry
    raise ScenarioError(f"no está la tabla {name} en {folder}")


def read_table(folder, name):
    from dbfread import DBF
    path = find_table(folder, name if name.lower().endswith(".dbf") else name + ".dbf")
    table = DBF(str(path), encoding="cp1252", char_decode_errors="strict")
    return [dict(r) for r in table]


def text(value):
    return "" if value is None else str(value).strip()


class Checks:
    def __init__(self):
        self.failures = []

    def equal(self, what, got, want):
        if got != want:
            self.failures.append(f"{what}: {got!r}, se esperaba {want!r}")

    def true(self, what, ok):
        if not ok:
            self.failures.append(what)

    def raise_if_failed(self, stage):
        if self.failures:
            raise ScenarioError(stage + ":\n  " + "\n  ".join(self.failures))


def check_tables(folder, stage, year, company=HEADER[0][2]):
    """Every typed value in its table, as the window should have stored it."""
    c = Checks()
    apps = read_table(folder, "datoprov")
    c.equal("registros de datoprov", len(apps), 1)
    if len(apps) != 1:
        c.raise_if_failed(stage)
    app = apps[0]
    c.equal("RFC", text(app["RFC"]), RFC[1])
    c.equal("APEPATRAZ", text(app["APEPATRAZ"]), company)
    c.equal("EMAIL", text(app["EMAIL"]), HEADER[1][2])
    for field, _, want in FISCAL + REPRESENTATIVE + BANK:
        if want is not None:
            c.equal(field, text(app[field]), want)
    for field, want in STAFF.items():
        c.equal(field, text(app[field]), want)
    c.equal("TIPOPROG", app["TIPOPROG"], 2)
    c.equal("TIPOTRAM", app["TIPOTRAM"], 1)
    c.equal("CVEFORMA", text(app["CVEFORMA"]), "14")

    activities = read_table(folder, "activida")
    c.equal("ACTIVIDAD", app["ACTIVIDAD"], activities[ACTIVITY_DOWNS]["CLAVE"])
    offices = read_table(folder, "admlocal")
    c.true(f"ADMLOCAL {app['ADMLOCAL']!r} no es una de las oficinas",
           app["ADMLOCAL"] in {o["CLAVE"] for o in offices})

    products = [text(r["DESCRIPCIO"]) for r in read_table(folder, "PROVMERC")]
    c.equal("productos", products, [p.upper() for p in PRODUCTS])
    suppliers = [(text(r["PROVEEDOR"]), text(r["RFC"]), text(r["DESCRIPCIO"]))
                 for r in read_table(folder, "provprod")]
    c.equal("proveedores", suppliers,
            [(n.upper(), r, p.upper()) for n, r, p in SUPPLIERS])

    sales = read_table(folder, "VENTAS")
    ours = [r for r in sales if r["TIPO"] == 1]
    c.equal("renglones de ventas tipo 1", len(ours), 3)
    for i, (row, typed) in enumerate(zip(ours, SALES)):
        vtot, nac, exp, imp = (float(v) for v in typed)
        c.equal(f"ventas {i} año", row["ANO"], year - 1 + i)
        c.equal(f"ventas {i} VTOT", row["VTOT"], vtot)
        c.equal(f"ventas {i} VMERCNAC", row["VMERCNAC"], nac)
        c.equal(f"ventas {i} EXPORTA", row["EXPORTA"], exp)
        c.equal(f"ventas {i} IMPORTA", row["IMPORTA"], imp)
        c.equal(f"ventas {i} SALDO", row["SALDO"], exp - imp)
    if ours:
        c.equal("tipo de cambio", ours[0]["TC"], EXCHANGE[1])
    others = [r for r in sales if r["TIPO"] != 1]
    c.equal("renglones de ventas de otro tipo", len(others), 1)
    c.raise_if_failed(stage)
    return app


def fill_application(clerk):
    x = clerk.x
    # The RFC first: leaving it unlocks the rest of the window.
    clerk.click_control(855, 630, 1695, 300)
    x.type(RFC[0])
    x.key("Tab")
    clerk.expect([MAIN_TITLE])
    # Company name, e-mail, activity, procedure type, then the fiscal address on page 0.
    clerk.type_fields([HEADER[0][1], HEADER[1][1]])
    x.key(*["Down"] * ACTIVITY_DOWNS)
    x.key("Tab")
    x.key("Tab")  # "Programa nuevo" stays
    for field, typed, _ in FISCAL:
        if field == "ADMLOCAL":
            x.key(*["Down"] * OFFICE_DOWNS)
            x.key("Tab")
        else:
            clerk.type_fields([typed])
    clerk.expect([MAIN_TITLE])
    clerk.shot("pagina0-capturada")

    clerk.page(1)
    clerk.click_control(120 + 360 + 270, 3000 + 1200 + 480, 3135, 300)
    clerk.type_fields([typed for _, typed, _ in REPRESENTATIVE])
    clerk.expect([MAIN_TITLE])
    clerk.shot("pagina1-capturada")

    clerk.page(2)
    clerk.click_control(120 + 480 + 2130, 3000 + 1080 + 810, 1524, 288)
    clerk.type_fields([STAFF["NOEMPLEADO"]])
    x.type(STAFF["NOOBREROS"])
    clerk.click_control(120 + 7200, 3000 + 1920, 1524, 288)
    x.type(STAFF["VTPAIS"])
    clerk.click_control(120 + 7200, 3000 + 2400, 1524, 288)
    x.type(STAFF["VTEXTERIOR"])
    # Back to the first field, so the sales total is worked out on leaving.
    clerk.click_control(120 + 480 + 2130, 3000 + 1080 + 810, 1524, 288)
    clerk.expect([MAIN_TITLE])
    clerk.shot("pagina2-capturada")

    clerk.page(3)
    # "Consolidadora de exportación": its round mark sits at the option's left.
    x.click(*clerk.at(120 + 240 + 3600, 3000 + 720 + 240, dx=8, dy=2))
    clerk.enter_grid(120, 1680, 10215, 1380)
    for product in PRODUCTS:
        x.type(product)
        x.key("Down")
    clerk.expect([MAIN_TITLE])
    clerk.shot("pagina3-capturada")

    clerk.page(4)
    clerk.enter_grid(150, 720, 10575, 2295)
    x.key("Tab", "Tab")  # past the label and the year
    for i, (vtot, nac, exp, imp) in enumerate(SALES):
        x.type(vtot); x.key("Tab")
        x.type(nac); x.key("Tab")
        x.type(exp); x.key("Tab")
        x.type(imp); x.key("Tab")
        x.key("Tab")  # the balance is worked out
        if i == 0:
            x.type(EXCHANGE[0])
        x.key("Tab")  # on to the next row: the row is written
        if i < 2:
            x.key("Tab", "Tab")
    clerk.expect([MAIN_TITLE])
    clerk.shot("pagina4-capturada")

    clerk.page(5)
    clerk.enter_grid(120, 840, 10575, 2055)
    for name, rfc, product in SUPPLIERS:
        x.type(name); x.key("Return")
        x.type(rfc); x.key("Return")
        x.type(product)
        x.key("Down")
        x.key("Home")
    clerk.expect([MAIN_TITLE])
    clerk.shot("pagina5-capturada")

    clerk.page(6)
    clerk.click_control(120 + 1920, 3000 + 720, 4935, 315)
    x.key(*["Down"] * BANK_DOWNS)
    clerk.click_control(120 + 1920, 3000 + 1320, 5055, 285)
    clerk.type_fields([typed for _, typed, _ in BANK])
    clerk.expect([MAIN_TITLE])
    clerk.shot("pagina6-capturada")


def check_questionnaire(pdf, data, stage):
    out = subprocess.run(["pdftotext", "-layout", "-fixed", "4.95", str(pdf), "-"],
                         capture_output=True, text=True, timeout=60)
    if out.returncode != 0:
        raise ScenarioError("pdftotext falló: " + out.stderr)
    printed = out.stdout
    flat = " ".join(printed.split())
    c = Checks()
    wanted = ["CUESTIONARIO DE SOLICITUD DE PROGRAMA KIVO", RFC[1],
              HEADER[0][2] + COMPANY_SUFFIX[1],
              "CONSIDERACIONES GENERALES"]
    # The questionnaire leaves out the representative's position.
    wanted += [want for field, _, want in FISCAL + REPRESENTATIVE + BANK
               if want is not None and not want.isdigit() and field != "CARGO"]
    # Each address value beside its own caption: a line too long for the page must not be cut.
    wanted += ["ESTADO :" + FISCAL[3][2], "CODIGO POSTAL :" + FISCAL[2][2],
               "FAX :" + FISCAL[7][2], "Total : 42", "Total : 4000.5"]
    wanted += [p.upper() for p in PRODUCTS]
    # The bank is not stored: after a new start the list is back on its first entry.
    wanted.append("Nombre de banco : " + text(read_table(data, "catbanco")[0]["NOMBRE"]))
    wanted += [n.upper() for n, _, _ in SUPPLIERS] + [r for _, r, _ in SUPPLIERS]
    for w in wanted:
        c.true(f'"{w}" no aparece en el PDF', " ".join(w.split()) in flat)
    c.true("el cuestionario va antes que las consideraciones",
           flat.find("CUESTIONARIO DE SOLICITUD") < flat.find("CONSIDERACIONES GENERALES"))
    return printed, [stage + ": " + f for f in c.failures]


def scenario(args, work, x):
    artifacts = Path(args.artifacts)
    home = work / "home"
    data = work / "KIVO"
    diskette = work / "diskette"
    for d in (home, diskette):
        d.mkdir(parents=True, exist_ok=True)
    # Whatever an earlier application left on the diskette: tables go, other files stay.
    (diskette / "VIEJO.DBF").write_bytes(b"old table")
    (diskette / "leame.txt").write_text("no se borra\n")

    env = dict(x.env, HOME=str(home), KIVO_DATA_DIR=str(data), KIVO_DRIVE_A=str(diskette),
               QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8", LANG="C.UTF-8")
    env.pop("QT_SCALE_FACTOR", None)
    kivo = Path(args.bin) / "kivo"
    clerk = Clerk(x, kivo, home, env, artifacts)
    year = datetime.date.today().year
    later = []
    try:
        log("1. primera vez: carpeta de datos nueva")
        clerk.start()
        delivered = Path(args.data) if args.data else kivo.parent.parent / "share/kivo/data"
        for original in delivered.iterdir():
            copy = data / original.name
            # The start stamps the sales years; everything else arrives as delivered.
            unchanged = original.name.lower() in READ_ONLY
            if not copy.exists() or (unchanged and copy.read_bytes() != original.read_bytes()):
                raise ScenarioError(f"la carpeta de datos no recibió {original.name}")
        clerk.shot("inicio")
        fill_application(clerk)

        log("2. grabar y cerrar con Sí")
        clerk.page(0)
        clerk.click_button(6256)  # "Grabar datos"
        clerk.expect([MAIN_TITLE])
        check_tables(data, "después de grabar", year)
        # A change made after the save is what "Sí" at closing must keep.
        clerk.click_control(120 + 2160, 1440 + 240, 7335, 300)
        x.key("End")
        x.type(COMPANY_SUFFIX[0])
        clerk.log_peak_memory()
        x.close_window(clerk.main)
        clerk.answer("ATENCION", ["Return"], [MAIN_TITLE])
        clerk.wait_exit()
        company = HEADER[0][2] + COMPANY_SUFFIX[1]
        check_tables(data, "después de cerrar con Sí", year, company)

        log("3. segunda vez: cada dato en su lugar")
        clerk.start()
        for page in range(7):
            clerk.page(page)
            clerk.shot(f"pagina{page}-releida")
        clerk.expect([MAIN_TITLE])

        log("4. imprimir a PDF")
        clerk.page(0)
        clerk.click_button(5022)  # "Imprimir solicitud"
        preview = wait_for(lambda: clerk._find(PRINT_TITLE), 30, "la ventana de impresión")
        clerk.expect([MAIN_TITLE, PRINT_TITLE])
        clerk.shot("vista-del-cuestionario")
        known = set(x.windows())
        clerk.click_text_window_button(preview, 4560)  # "&Imprimir"
        dialog = wait_for(lambda: [w for w in x.windows() if w not in known], 30,
                          "el diálogo de la impresora")[0]
        dialog_title = x.windows()[dialog]
        clerk.shot("dialogo-impresora")
        # No printer here: the dialog offers printing to a file; its name goes in
        # "Fichero de salida".
        pdf = work / "solicitud.pdf"
        x.focus(dialog)
        x.key("alt+f", "ctrl+a")
        x.type(str(pdf))
        x.key("Return")
        wait_for(lambda: dialog not in x.windows(), 30, "que se cierre " + dialog_title)
        wait_for(pdf.exists, 30, "el PDF impreso")
        # The file is complete once both documents are in it.
        wait_for(lambda: b"%%EOF" in pdf.read_bytes()[-64:], 30, "el PDF completo")
        clerk.expect([MAIN_TITLE, PRINT_TITLE])
        printed, faults = check_questionnaire(pdf, data, "cuestionario impreso")
        # Reported at the end, so one run also tells how the diskette fares.
        later.extend(faults)
        (artifacts / "cuestionario.txt").write_text(printed)
        (artifacts / "cuestionario.pdf").write_bytes(pdf.read_bytes())
        clerk.click_text_window_button(preview, 5880)  # "&Cerrar"
        wait_for(lambda: clerk._find(PRINT_TITLE) is None, 20, "que se cierre la impresión")
        clerk.expect([MAIN_TITLE])

        log("5. generar el disco")
        clerk.click_button(3788)  # "Generar disco  para Tolvania"
        clerk.answer("Grabar Disco", ["Return"], [MAIN_TITLE], timeout=30)
        started = time.monotonic()
        clerk.answer("Disco grabado.", ["Return"], [MAIN_TITLE], timeout=90)
        log(f"disco grabado en {time.monotonic() - started:.2f} s")
        clerk.expect([MAIN_TITLE])
        names = sorted(p.name for p in diskette.iterdir())
        if names != sorted(DISKETTE_TABLES + ["leame.txt"]):
            raise ScenarioError(f"en el disco hay {names}")
        check_tables(diskette_view(diskette, data), "tablas del disco", year, company)
        clerk.shot("disco-generado")

        log("6. cerrar otra vez")
        clerk.log_peak_memory()
        x.close_window(clerk.main)
        clerk.answer("ATENCION", ["Return"], [MAIN_TITLE])
        clerk.wait_exit()
        check_tables(data, "al final", year, company)
    finally:
        clerk.stop()
    if later:
        raise ScenarioError("\n  ".join(later))


def diskette_view(diskette, data):
    """The diskette holds neither admlocal nor catbanco; the checks look the office code up
    in the data folder's own catalogue."""
    view = diskette.parent / "diskette-view"
    view.mkdir(exist_ok=True)
    for p in diskette.glob("*.dbf"):
        target = view / p.name
        target.write_bytes(p.read_bytes())
    target = view / find_table(data, "admlocal.dbf").name
    target.write_bytes(find_table(data, "admlocal.dbf").read_bytes())
    return view


def install(build, prefix):
    """cmake --install into prefix; the installed tree must hold what a desktop needs."""
    done = subprocess.run(["cmake", "--install", build, "--prefix", str(prefix)],
                          capture_output=True, text=True, timeout=300)
    if done.returncode != 0:
        raise ScenarioError("cmake --install falló:\n" + done.stdout + done.stderr)
    needed = ["bin/kivo", "bin/pack9", "share/kivo/data/considera.txt",
              "share/applications/kivo.desktop", "share/icons/hicolor/scalable/apps/kivo.svg"]
    needed += ["share/kivo/data/" + t for t in DISKETTE_TABLES + ["admlocal.dbf", "catbanco.dbf"]]
    missing = [n for n in needed if not (prefix / n).is_file()]
    if missing:
        raise ScenarioError("la instalación no trae " + ", ".join(missing))
    entry = (prefix / "share/applications/kivo.desktop").read_text()
    for line in ("Exec=kivo", "Icon=kivo", "Type=Application"):
        if line not in entry.splitlines():
            raise ScenarioError("kivo.desktop sin " + line)
    log("instalado en", prefix)
    return prefix / "bin"


def main():
    parser = argparse.ArgumentParser()
    where = parser.add_mutually_exclusive_group(required=True)
    where.add_argument("--bin", help="folder holding kivo and pack9")
    where.add_argument("--install-from", help="build folder to install and then run")
    parser.add_argument("--data", help="the delivered data the first start must copy")
    parser.add_argument("--artifacts", default="artifacts/e2e")
    parser.add_argument("--keep", action="store_true", help="keep the temporary folder")
    args = parser.parse_args()

    missing = need_tools("Xvfb", "xdotool", "xprop", "import", "pdftotext")
    try:
        import dbfread  # noqa: F401
    except ImportError:
        missing.append("python3-dbfread")
    if missing:
        print("SKIP: faltan " + ", ".join(missing))
        return SKIP
    if args.bin and not (Path(args.bin) / "kivo").exists():
        print("no existe " + str(Path(args.bin) / "kivo"))
        return 1

    artifacts = Path(args.artifacts)
    artifacts.mkdir(parents=True, exist_ok=True)
    for old in artifacts.glob("*"):
        if old.is_file():
            old.unlink()

    work = Path(tempfile.mkdtemp(prefix="kivo-e2e-"))
    x = None

    def too_long(*_):
        raise ScenarioError("el escenario pasó de 15 minutos")

    def stopped(*_):
        raise ScenarioError("detenido desde fuera")
    signal.signal(signal.SIGALRM, too_long)
    # Stopped from outside, the X server and the program still go with us.
    signal.signal(signal.SIGTERM, stopped)
    signal.signal(signal.SIGINT, stopped)
    signal.alarm(900)
    try:
        if args.install_from:
            args.bin = str(install(args.install_from, work / "root" / "usr"))
        x = XServer()
        scenario(args, work, x)
        log("escenario completo")
        return 0
    except (ScenarioError, subprocess.TimeoutExpired) as e:
        log("FALLA:", e)
        return 1
    finally:
        signal.alarm(0)
        if x:
            x.stop()
        if args.keep:
            log("carpeta temporal:", work)
        else:
            subprocess.run(["rm", "-rf", str(work)], timeout=60)


if __name__ == "__main__":
    sys.exit(main())
