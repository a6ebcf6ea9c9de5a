#!/usr/bin/python3
"""A clerk types a whole application into the installed program on a real X server: fills every
page, saves, closes with "Sí", starts again, prints to a PDF, writes the diskette, clears the
application and gets it back with `kivo --restaurar`. Tables are read
back with dbfread, the PDF with pdftotext; an unexpected window fails the run. 77: tools missing."""

import argparse
import datetime
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
PRINT_TITLE = "Impresión de Solicitud"

# What the clerk types (often in lower case: the window upper-cases) and what must be stored.
RFC = ("kex050315ab1", "KEX050315AB1")
HEADER = [("txtApePat1", "Exportadora del Norte de Tolvania", "EXPORTADORA DEL NORTE DE TOLVANIA"),
          ("txtEmail1", "Ventas@ExNorte.MX", "ventas@exnorte.mx")]
COMPANY_SUFFIX = (", s.a. de c.v.", ", S.A. DE C.V.")
FISCAL = [("CALLEYNO", "Av. Reforma 1520 int. 4", "AV. REFORMA 1520 INT. 4"),
          ("COLONIA", "Peñón de los Baños", "PEÑÓN DE LOS BAÑOS"), ("CP", "06-600", "06600"),
          ("ESTADO", "Nuevo León", "NUEVO LEÓN"), ("CIUDAD", "Monterrey", "MONTERREY"), ("ADMLOCAL", None, None),
          ("DELMUN", "San Pedro Garza García", "SAN PEDRO GARZA GARCÍA"), ("FAX", "81-8123-4567", "8181234567"),
          ("TELEFONO", "(81) 8123 4560", "8181234560")]
REPRESENTATIVE = [("APEPREPLEG", "Ramos", "RAMOS"), ("APEMREPLEG", "Iturbide", "ITURBIDE"),
                  ("NOMBREREPL", "Lucía Fernanda", "LUCÍA FERNANDA"), ("CARGO", "Directora General", "DIRECTORA GENERAL"),
                  ("TEL_REPREG", "81 8123 4570", "8181234570"), ("FAXREP", "81 8123 4571", "8181234571"),
                  ("EMAILREPL", "L.Ramos@ExNorte.MX", "l.ramos@exnorte.mx")]
STAFF = {"NOEMPLEADO": "12", "NOOBREROS": "30", "VTPAIS": "1500.5", "VTEXTERIOR": "2500"}
PRODUCTS = ["Chile jalapeño en conserva", "Salsa picante de habanero", "Mermelada de mango"]
SUPPLIERS = [("Agrícola del Valle", "AVA980512K21", "Chile jalapeño"),
             ("Envases de Vidrio del Norte", "EVN0103227A3", "Frascos de vidrio"),
             ("Etiquetas y Cartón", "ECA950830JJ9", "Etiquetas impresas"), ("Huertos Peninsulares", "HPE001120QW5",
             "Chile habanero"), ("Frutas Finas de Sinaloa", "FFSI990101AB1", "Mango ataulfo")]
# VTOT, VMERCNAC, EXPORTA, IMPORTA per year row; the exchange rate only in the first.
SALES = [("1500.5", "1000", "250", "40"), ("1800", "1200", "300", "50"), ("2100", "1400", "350", "60")]
EXCHANGE = ("19.5", 19.5)
BANK = [("SUCURSAL", "Centro Monterrey", "CENTRO MONTERREY"), ("NUMCUENTA", "0123-4567-89", "0123456789"),
        ("LOCALIDAD", "Monterrey", "MONTERREY"), ("DOMBANCO", "Av. Juárez 100, Centro", "AV. JUÁREZ 100, CENTRO")]
ACTIVITY_DOWNS, OFFICE_DOWNS, BANK_DOWNS = 3, 3, 2  # list entries chosen with the Down key
DISKETTE_TABLES = ["datoprov.dbf", "PROVMERC.dbf", "provprod.dbf", "VENTAS.dbf", "activida.dbf"]

class Clerk:
    def __init__(self, x, kivo, home, env, artifacts):
        self.x, self.kivo, self.home, self.env, self.artifacts = x, kivo, home, env, artifacts
        self.proc = self.main = None
        self.origin, self.scale, self.shots = (0, 0), 1.0, 0

    def start(self):
        with open(self.artifacts / "kivo.log", "a") as logfile:
            self.proc = subprocess.Popen([str(self.kivo)], cwd=self.home, env=self.env, stdout=logfile,
                                         stderr=subprocess.STDOUT, start_new_session=True)
        self.main = wait_for(lambda: self.find(MAIN_TITLE), 60, "la ventana " + MAIN_TITLE)
        x, y, w, _ = self.x.geometry(self.main)
        # The window is the design's 11175 twips wide, scaled to the desktop's font.
        self.origin, self.scale = (x, y), w * 15 / 11175
        self.expect([MAIN_TITLE])

    def stop(self):
        if self.proc and self.proc.poll() is None:
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait(10)

    def close_with_yes(self):
        self.x.close_window(self.main)
        self.answer("ATENCION", ["Return"], [MAIN_TITLE])
        if (code := self.proc.wait(60)) != 0:
            raise ScenarioError(f"el programa terminó con el código {code}")

    def find(self, title):
        return next((wid for wid, name in self.x.windows().items() if name == title), None)

    def shot(self, name):
        self.shots += 1
        return self.x.screenshot(self.artifacts / f"{self.shots:02d}-{name}.png")

    def expect(self, titles, settle=0.6):
        # Exactly these windows: anything else is a message nobody expected.
        time.sleep(settle)
        if self.proc.poll() is not None:
            raise ScenarioError(f"el programa terminó (código {self.proc.returncode})")
        found = sorted(self.x.windows().values())
        if found != sorted(titles):
            raise ScenarioError(f"ventanas {found}, se esperaban {sorted(titles)} (ver {self.shot('inesperado').name})")

    def answer(self, title, keys, others, timeout=20):
        wid = wait_for(lambda: self.find(title), timeout, f'el mensaje "{title}"')
        self.expect(others + [title], settle=0.3)
        self.shot("mensaje-" + title.strip(".").replace(" ", "-").lower())
        self.x.focus(wid)
        self.x.key(*keys)
        wait_for(lambda: self.find(title) is None, timeout, f'que se cierre "{title}"')

    # Places on the window, from the design's twips.
    def at(self, left, top, dx=0, dy=0):
        return (self.origin[0] + round(left / 15 * self.scale) + dx, self.origin[1] + round(top / 15 * self.scale) + dy)

    def click_control(self, left, top, width, height):  # at its middle
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
        self.x.click(self.origin[0] + round(120 / 15 * self.scale) + 2 + (index + 0.5) * width / 7,
                     self.origin[1] + round(3000 / 15 * self.scale) + round(16 * self.scale))
        time.sleep(0.2)

    def enter_grid(self, left, top, width, height):
        # A click under the rows (the header's height follows the font, that space does not).
        self.x.click(*self.at(120 + left + width / 2, 3000 + top + height - 150))
        self.x.key("ctrl+Home")

    def type_fields(self, values):
        for value in values:
            self.x.type(value)
            self.x.key("Tab")

    def done_page(self, name):
        self.expect([MAIN_TITLE])
        self.shot(name)

def read_table(folder, name):
    from dbfread import DBF
    path = next((p for p in Path(folder).iterdir() if p.name.lower() == name.lower() + ".dbf"), None)
    if path is None:
        raise ScenarioError(f"no está la tabla {name} en {folder}")
    return [dict(r) for r in DBF(str(path), encoding="cp1252", char_decode_errors="strict")]

def text(value):
    return "" if value is None else str(value).strip()

def check_tables(folder, stage, year, company=HEADER[0][2], catalogues=None):
    """Every typed value stored as the window should; offices from catalogues (no admlocal on the diskette)."""
    apps = read_table(folder, "datoprov")
    if len(apps) != 1:
        raise ScenarioError(f"{stage}: {len(apps)} registros en datoprov")
    app = apps[0]
    want = {"RFC": RFC[1], "APEPATRAZ": company, "EMAIL": HEADER[1][2], "CVEFORMA": "14", **STAFF}
    want.update({f: v for f, _, v in FISCAL + REPRESENTATIVE + BANK if v is not None})
    pairs = [(f, text(app[f]), v) for f, v in want.items()]
    pairs += [("TIPOPROG", app["TIPOPROG"], 2), ("TIPOTRAM", app["TIPOTRAM"], 1),
              ("ACTIVIDAD", app["ACTIVIDAD"], read_table(folder, "activida")[ACTIVITY_DOWNS]["CLAVE"]),
              ("ADMLOCAL es una oficina", app["ADMLOCAL"] in {o["CLAVE"] for o in read_table(catalogues or folder, "admlocal")}, True),
              ("productos", [text(r["DESCRIPCIO"]) for r in read_table(folder, "PROVMERC")], [p.upper() for p in PRODUCTS]),
              ("proveedores", [(text(r["PROVEEDOR"]), text(r["RFC"]), text(r["DESCRIPCIO"])) for r in read_table(folder, "provprod")],
               [(n.upper(), r, p.upper()) for n, r, p in SUPPLIERS])]
    sales = read_table(folder, "VENTAS")
    ours = [r for r in sales if r["TIPO"] == 1]
    pairs += [("renglones de ventas tipo 1", len(ours), 3), ("renglones de otro tipo", len(sales) - len(ours), 1)]
    for i, (row, typed) in enumerate(zip(ours, SALES)):
        vtot, nac, exp, imp = (float(v) for v in typed)
        got = [row[f] for f in ("ANO", "VTOT", "VMERCNAC", "EXPORTA", "IMPORTA", "SALDO")]
        pairs.append((f"ventas {i}", got, [year - 1 + i, vtot, nac, exp, imp, exp - imp]))
    if ours:
        pairs.append(("tipo de cambio", ours[0]["TC"], EXCHANGE[1]))
    failures = [f"{what}: {got!r}, se esperaba {want!r}" for what, got, want in pairs if got != want]
    if failures:
        raise ScenarioError(stage + ":\n  " + "\n  ".join(failures))

def fill_application(clerk):
    x = clerk.x
    # The RFC first: leaving it unlocks the rest of the window.
    clerk.click_control(855, 630, 1695, 300)
    x.type(RFC[0])
    x.key("Tab")
    clerk.expect([MAIN_TITLE])
    # Company name, e-mail, activity, procedure type ("Programa nuevo" stays), fiscal address.
    clerk.type_fields([HEADER[0][1], HEADER[1][1]])
    x.key(*["Down"] * ACTIVITY_DOWNS, "Tab", "Tab")
    for field, typed, _ in FISCAL:
        if field == "ADMLOCAL":
            x.key(*["Down"] * OFFICE_DOWNS, "Tab")
        else:
            clerk.type_fields([typed])
    clerk.done_page("pagina0-capturada")
    clerk.page(1)
    clerk.click_control(120 + 360 + 270, 3000 + 1200 + 480, 3135, 300)
    clerk.type_fields([typed for _, typed, _ in REPRESENTATIVE])
    clerk.done_page("pagina1-capturada")
    clerk.page(2)
    first = (120 + 480 + 2130, 3000 + 1080 + 810, 1524, 288)
    clerk.click_control(*first)
    clerk.type_fields([STAFF["NOEMPLEADO"]])
    x.type(STAFF["NOOBREROS"])
    for top, field in ((1920, "VTPAIS"), (2400, "VTEXTERIOR")):
        clerk.click_control(120 + 7200, 3000 + top, 1524, 288)
        x.type(STAFF[field])
    clerk.click_control(*first)  # leaving the last field works out the sales total
    clerk.done_page("pagina2-capturada")
    clerk.page(3)
    # "Consolidadora de exportación": its round mark sits at the option's left.
    x.click(*clerk.at(120 + 240 + 3600, 3000 + 720 + 240, dx=8, dy=2))
    clerk.enter_grid(120, 1680, 10215, 1380)
    for product in PRODUCTS:
        x.type(product)
        x.key("Down")
    clerk.done_page("pagina3-capturada")
    clerk.page(4)
    clerk.enter_grid(150, 720, 10575, 2295)
    x.key("Tab", "Tab")  # past the label and the year
    for i, row in enumerate(SALES):
        for value in row:
            x.type(value)
            x.key("Tab")
        x.key("Tab")  # the balance is worked out
        if i == 0:
            x.type(EXCHANGE[0])
        x.key("Tab")  # on to the next row: the row is written
        if i < 2:
            x.key("Tab", "Tab")
    clerk.done_page("pagina4-capturada")
    clerk.page(5)
    clerk.enter_grid(120, 840, 10575, 2055)
    for name, rfc, product in SUPPLIERS:
        for value, then in ((name, "Return"), (rfc, "Return"), (product, "Down")):
            x.type(value)
            x.key(then)
        x.key("Home")
    clerk.done_page("pagina5-capturada")
    clerk.page(6)
    clerk.click_control(120 + 1920, 3000 + 720, 4935, 315)
    x.key(*["Down"] * BANK_DOWNS)
    clerk.click_control(120 + 1920, 3000 + 1320, 5055, 285)
    clerk.type_fields([typed for _, typed, _ in BANK])
    clerk.done_page("pagina6-capturada")

def check_questionnaire(pdf, data):
    flat = " ".join(subprocess.run(["pdftotext", "-layout", "-fixed", "4.95", str(pdf), "-"], capture_output=True,
                                   text=True, timeout=60, check=True).stdout.split())
    wanted = ["CUESTIONARIO DE SOLICITUD DE PROGRAMA KIVO", RFC[1], HEADER[0][2] + COMPANY_SUFFIX[1],
              "CONSIDERACIONES GENERALES"]
    # The questionnaire leaves out the representative's position.
    wanted += [want for field, _, want in FISCAL + REPRESENTATIVE + BANK
               if want is not None and not want.isdigit() and field != "CARGO"]
    # Each address value beside its own caption: a line too long for the page must not be cut.
    wanted += ["ESTADO :" + FISCAL[3][2], "CODIGO POSTAL :" + FISCAL[2][2], "FAX :" + FISCAL[7][2],
               "Total : 42", "Total : 4000.5"]
    wanted += [p.upper() for p in PRODUCTS] + [n.upper() for n, _, _ in SUPPLIERS] + [r for _, r, _ in SUPPLIERS]
    # The bank is not stored: after a new start the list is back on its first entry.
    wanted.append("Nombre de banco : " + text(read_table(data, "catbanco")[0]["NOMBRE"]))
    faults = [f'"{w}" no aparece en el PDF' for w in wanted if " ".join(w.split()) not in flat]
    if flat.find("CUESTIONARIO DE SOLICITUD") > flat.find("CONSIDERACIONES GENERALES"):
        faults.append("las consideraciones van antes que el cuestionario")
    if faults:
        raise ScenarioError("cuestionario impreso:\n  " + "\n  ".join(faults))

def scenario(args, work, x):
    home, data, diskette = work / "home", work / "KIVO", work / "diskette"
    for d in (home, diskette):
        d.mkdir(parents=True, exist_ok=True)
    # Whatever an earlier application left on the diskette: tables go, other files stay.
    (diskette / "VIEJO.DBF").write_bytes(b"old table")
    (diskette / "leame.txt").write_text("no se borra\n")
    env = dict(x.env, HOME=str(home), KIVO_DATA_DIR=str(data), KIVO_DRIVE_A=str(diskette),
               QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8", LANG="C.UTF-8")
    env.pop("QT_SCALE_FACTOR", None)
    clerk = Clerk(x, Path(args.bin) / "kivo", home, env, Path(args.artifacts))
    year = datetime.date.today().year
    company = HEADER[0][2] + COMPANY_SUFFIX[1]
    try:
        # 1. primera vez: carpeta de datos nueva
        clerk.start()
        if missing := [p.name for p in Path(args.data).iterdir() if not (data / p.name).exists()]:
            raise ScenarioError(f"la carpeta de datos no recibió {missing}")
        clerk.shot("inicio")
        fill_application(clerk)
        # 2. grabar y cerrar con Sí
        clerk.page(0)
        clerk.click_button(6256)  # "Grabar datos"
        clerk.expect([MAIN_TITLE])
        check_tables(data, "después de grabar", year)
        # A change made after the save is what "Sí" at closing must keep.
        clerk.click_control(120 + 2160, 1440 + 240, 7335, 300)
        x.key("End")
        x.type(COMPANY_SUFFIX[0])
        clerk.close_with_yes()
        check_tables(data, "después de cerrar con Sí", year, company)
        # 3. segunda vez: cada dato en su lugar
        clerk.start()
        for page in range(7):
            clerk.page(page)
            clerk.done_page(f"pagina{page}-releida")
        # 4. imprimir a PDF
        clerk.page(0)
        clerk.click_button(5022)  # "Imprimir solicitud"
        preview = wait_for(lambda: clerk.find(PRINT_TITLE), 30, "la ventana de impresión")
        clerk.expect([MAIN_TITLE, PRINT_TITLE])
        clerk.shot("vista-del-cuestionario")
        known = set(x.windows())
        clerk.click_text_window_button(preview, 4560)  # "&Imprimir"
        dialog = wait_for(lambda: [w for w in x.windows() if w not in known], 30, "el diálogo de la impresora")[0]
        clerk.shot("dialogo-impresora")
        # No printer here: the dialog prints to a file, named in "Fichero de salida".
        pdf = work / "solicitud.pdf"
        x.focus(dialog)
        x.key("alt+f", "ctrl+a")
        x.type(str(pdf))
        x.key("Return")
        wait_for(lambda: dialog not in x.windows(), 30, "que se cierre el diálogo de la impresora")
        # The file is complete once both documents are in it.
        wait_for(lambda: pdf.exists() and b"%%EOF" in pdf.read_bytes()[-64:], 30, "el PDF completo")
        clerk.expect([MAIN_TITLE, PRINT_TITLE])
        check_questionnaire(pdf, data)
        clerk.click_text_window_button(preview, 5880)  # "&Cerrar"
        wait_for(lambda: clerk.find(PRINT_TITLE) is None, 20, "que se cierre la impresión")
        clerk.expect([MAIN_TITLE])
        # 5. generar el disco
        clerk.click_button(3788)  # "Generar disco  para Tolvania"
        clerk.answer("Grabar Disco", ["Return"], [MAIN_TITLE], timeout=30)
        clerk.answer("Disco grabado.", ["Return"], [MAIN_TITLE], timeout=90)
        clerk.expect([MAIN_TITLE])
        names = sorted(p.name for p in diskette.iterdir())
        if names != sorted(DISKETTE_TABLES + ["leame.txt"]):
            raise ScenarioError(f"en el disco hay {names}")
        check_tables(diskette, "tablas del disco", year, company, catalogues=data)
        clerk.shot("disco-generado")
        # 6. cerrar otra vez
        clerk.close_with_yes()
        check_tables(data, "al final", year, company)
        # 7. borrar la solicitud por error, recuperarla desde la terminal y encontrar todo de nuevo
        clerk.start()
        clerk.click_button(2520)  # "Borrar toda la información"
        clerk.answer("ATENCION", ["Return"], [MAIN_TITLE])
        clerk.expect([MAIN_TITLE])
        if read_table(data, "datoprov"):
            raise ScenarioError("la solicitud no se borró")
        x.close_window(clerk.main)  # a new, empty application: closed without a question
        if (code := clerk.proc.wait(60)) != 0:
            raise ScenarioError(f"el programa terminó con el código {code}")
        command = lambda *a: subprocess.run([str(clerk.kivo), *a], env=env, capture_output=True, text=True, timeout=120)
        newest = command("--respaldos").stdout.splitlines()[0].split("\t")
        if newest[1:] != [RFC[1], company, f"{len(SUPPLIERS)} proveedores", f"{len(PRODUCTS)} productos"]:
            raise ScenarioError(f"el respaldo más reciente es {newest}")
        if (done := command("--restaurar", newest[0])).returncode != 0:
            raise ScenarioError("kivo --restaurar falló: " + done.stdout + done.stderr)
        check_tables(data, "después de restaurar", year, company)
        clerk.start()
        for page in range(7):
            clerk.page(page)
            clerk.done_page(f"pagina{page}-restaurada")
        clerk.close_with_yes()
        check_tables(data, "al cerrar lo restaurado", year, company)
    finally:
        clerk.stop()

def install(build, prefix):
    done = subprocess.run(["cmake", "--install", build, "--prefix", str(prefix)],
                          capture_output=True, text=True, timeout=300)
    if done.returncode != 0 or not (prefix / "bin/pack9").is_file():
        raise ScenarioError("cmake --install falló:\n" + done.stdout + done.stderr)
    return prefix / "bin"

def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--install-from", required=True, help="build folder to install and then run")
    parser.add_argument("--data", required=True, help="the delivered data the first start must copy")
    parser.add_argument("--artifacts", default="artifacts/e2e")
    args = parser.parse_args()

    missing = [n for n in ("Xvfb", "xdotool", "xprop", "import", "pdftotext") if shutil.which(n) is None]
    missing += [] if importlib.util.find_spec("dbfread") else ["python3-dbfread"]
    if missing:
        print("SKIP: faltan " + ", ".join(missing))
        return 77

    artifacts = Path(args.artifacts)
    artifacts.mkdir(parents=True, exist_ok=True)
    for old in (p for p in artifacts.glob("*") if p.is_file()):
        old.unlink()
    work = Path(tempfile.mkdtemp(prefix="kivo-e2e-"))
    x = None

    def give_up(signum, _):
        raise ScenarioError("pasaron 15 minutos" if signum == signal.SIGALRM else "detenido desde fuera")
    for sig in (signal.SIGALRM, signal.SIGTERM):  # stopped from outside, X and the program still go
        signal.signal(sig, give_up)
    signal.alarm(900)
    try:
        args.bin = str(install(args.install_from, work / "root" / "usr"))
        x = XServer()
        scenario(args, work, x)
        return 0
    except (ScenarioError, subprocess.TimeoutExpired, subprocess.CalledProcessError) as e:
        print("FALLA:", e, flush=True)
        return 1
    finally:
        signal.alarm(0)
        if x:
            x.stop()
        subprocess.run(["rm", "-rf", str(work)], timeout=60)

if __name__ == "__main__":
    sys.exit(main())
