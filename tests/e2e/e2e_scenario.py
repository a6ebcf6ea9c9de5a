#!/usr/bin/python3
"""A clerk types a whole application into the installed program on a real X server, saves, prints to a PDF,
writes the diskette, clears it and gets it back with `kivo --restaurar`; an unexpected window fails. 77: tools missing.
What each step stores or says is the unit tests'; here, that the real keys reach the real tables and come back."""

import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from xsession import ScenarioError, XServer, check, launch, run_installed, stop, wait_for  # noqa: E402

MAIN_TITLE, PRINT_TITLE = "KIVO Ver. 1.0", "Impresión de Solicitud"

# What the clerk types, as it must be stored (what the window makes of other spellings is the unit tests').
GENERAL = {"RFC": "KEX050315AB1", "APEPATRAZ": "EXPORTADORA DEL NORTE DE TOLVANIA, S.A. DE C.V.", "EMAIL": "ventas@exnorte.mx"}
# The office (ADMLOCAL) between CIUDAD and DELMUN is chosen from its list: without one the save refuses.
FISCAL = {"CALLEYNO": "AV. REFORMA 1520 INT. 4", "COLONIA": "PEÑÓN DE LOS BAÑOS", "CP": "06600", "ESTADO": "NUEVO LEÓN",
          "CIUDAD": "MONTERREY", "DELMUN": "SAN PEDRO GARZA GARCÍA", "FAX": "8181234567", "TELEFONO": "8181234560"}
REPRESENTATIVE = {"APEPREPLEG": "RAMOS", "APEMREPLEG": "ITURBIDE", "NOMBREREPL": "LUCÍA FERNANDA", "CARGO": "DIRECTORA GENERAL",
                  "TEL_REPREG": "8181234570", "FAXREP": "8181234571", "EMAILREPL": "l.ramos@exnorte.mx"}
STAFF = {"NOEMPLEADO": "12", "NOOBREROS": "30", "VTPAIS": "1500.5", "VTEXTERIOR": "2500"}
PRODUCTS = ["Chile jalapeño en conserva", "Salsa picante de habanero", "Mermelada de mango"]
SUPPLIERS = [("Agrícola del Valle", "AVA980512K21", "Chile jalapeño"),  # five: a consolidating exporter's least
             ("Envases de Vidrio del Norte", "EVN0103227A3", "Frascos de vidrio"),
             ("Etiquetas y Cartón", "ECA950830JJ9", "Etiquetas impresas"), ("Huertos Peninsulares", "HPE001120QW5", "Chile habanero"),
             ("Frutas Finas de Sinaloa", "FFSI990101AB1", "Mango ataulfo")]
# Per year row VTOT, VMERCNAC, EXPORTA, IMPORTA, the balance (worked out) and the exchange rate (first row only).
SALES = [("1500.5", "1000", "250", "40", "", "19.5"), ("1800", "1200", "300", "50", "", ""), ("2100", "1400", "350", "60", "", "")]
BANK = {"SUCURSAL": "CENTRO MONTERREY", "NUMCUENTA": "0123456789", "LOCALIDAD": "MONTERREY", "DOMBANCO": "AV. JUÁREZ 100, CENTRO"}
ACTIVITY_DOWNS, OFFICE_DOWNS = 3, 3  # list entries chosen with the Down key
DISKETTE_TABLES = ["datoprov.dbf", "PROVMERC.dbf", "provprod.dbf", "VENTAS.dbf", "activida.dbf"]

class Clerk:
    def __init__(self, x, kivo, env, artifacts):
        self.x, self.kivo, self.env, self.artifacts, self.shots, self.proc = x, kivo, env, artifacts, 0, None

    def start(self):
        with open(self.artifacts / "kivo.log", "a") as logfile:
            self.proc = launch([str(self.kivo)], self.env, logfile)
        self.main = wait_for(lambda: self.x.find(MAIN_TITLE), 60, "la ventana " + MAIN_TITLE)
        x, y, w, _ = self.x.geometry(self.main)
        self.origin, self.scale = (x, y), w * 15 / 11175  # the design's 11175 twips, scaled to the font

    def close(self, asks=True):
        self.x.close_window(self.main)
        if asks:
            self.answer("ATENCION")
        check("código de salida del programa", self.proc.wait(60), 0)

    def shot(self, name):
        self.shots += 1
        self.x.run("import", "-window", "root", str(self.artifacts / f"{self.shots:02d}-{name}.png"), timeout=30)

    def expect(self, titles):  # exactly these windows: anything else is a message nobody expected
        time.sleep(0.6)  # long enough for a message to show
        check("el programa terminó con el código", self.proc.poll(), None)
        if (found := sorted(self.x.windows().values())) != sorted(titles):
            self.shot("inesperado")
            raise ScenarioError(f"ventanas {found}, se esperaban {sorted(titles)} (ver {self.shots:02d}-inesperado.png)")

    def steady(self, name, *others):
        self.expect([MAIN_TITLE, *others])
        self.shot(name)

    def answer(self, title, timeout=20):  # with its default button
        wid = wait_for(lambda: self.x.find(title), timeout, f'el mensaje "{title}"')
        self.steady("mensaje-" + title.strip(".").replace(" ", "-").lower(), title)
        self.x.focus(wid)
        self.x.key("Return")
        wait_for(lambda: self.x.find(title) is None, timeout, f'que se cierre "{title}"')

    def click_control(self, left, top, width=0, height=0, dx=0, dy=0):  # at its middle, placed in the design's twips
        self.x.click(self.origin[0] + round((left + width / 2) / 15 * self.scale) + dx,
                     self.origin[1] + round((top + height / 2) / 15 * self.scale) + dy)

    def click_button(self, left):  # then off the bar, so a tool tip does not linger over the next picture
        self.click_control(left, 0, 375, 495)
        self.x.xdotool("mousemove", self.origin[0] + 5, self.origin[1] + 5)

    def click_text_window_button(self, wid, left):  # the print window's two, 700 twips above its bottom edge
        x, y, _, h = self.x.geometry(wid)
        self.x.click(x + round((left + 1215 / 2) / 15), y + h - round((700 - 375 / 2) / 15))

    def page(self, index):  # seven tabs of equal width along SSTab1 (120, 3000, width 10785)
        width = 10785 / 15 * self.scale - 4
        self.x.click(self.origin[0] + round(120 / 15 * self.scale) + 2 + (index + 0.5) * width / 7,
                     self.origin[1] + round(3000 / 15 * self.scale) + round(16 * self.scale))
        time.sleep(0.2)

    def enter_grid(self, left, top, width, height):  # under the rows: the header's height follows the font, that space not
        self.click_control(120 + left, 3000 + top + height - 150, width)
        self.x.key("ctrl+Home")

    def type_fields(self, values, then=None):
        for value, key in zip(values, then or ["Tab"] * len(values)):
            if value:
                self.x.type(value)
            self.x.key(*key.split())

def fill_general(clerk, x):  # the RFC unlocks the rest; procedure type "Programa nuevo" stays
    clerk.click_control(855, 630, 1695, 300)
    clerk.type_fields([GENERAL["RFC"]])
    clerk.expect([MAIN_TITLE])
    clerk.type_fields([GENERAL["APEPATRAZ"], GENERAL["EMAIL"]])
    x.key(*["Down"] * ACTIVITY_DOWNS, "Tab", "Tab")
    clerk.type_fields(list(FISCAL.values())[:5])
    x.key(*["Down"] * OFFICE_DOWNS, "Tab")
    clerk.type_fields(list(FISCAL.values())[5:])

def fill_representative(clerk, x):
    clerk.click_control(120 + 360 + 270, 3000 + 1200 + 480, 3135, 300)
    clerk.type_fields(REPRESENTATIVE.values())

def fill_staff(clerk, x):  # leaving a field works out the totals
    clerk.click_control(120 + 480 + 2130, 3000 + 1080 + 810, 1524, 288)
    clerk.type_fields([STAFF["NOEMPLEADO"], STAFF["NOOBREROS"]])
    for top, field in ((1920, "VTPAIS"), (2400, "VTEXTERIOR")):
        clerk.click_control(120 + 7200, 3000 + top, 1524, 288)
        clerk.type_fields([STAFF[field]])

def fill_products(clerk, x):
    clerk.click_control(120 + 240 + 3600, 3000 + 720 + 240, dx=8, dy=2)  # "Consolidadora de exportación"'s round mark
    clerk.enter_grid(120, 1680, 10215, 1380)
    clerk.type_fields(PRODUCTS, ["Down"] * len(PRODUCTS))

def fill_sales(clerk, x):
    clerk.enter_grid(150, 720, 10575, 2295)
    for row in SALES:  # the Tab into the next row writes this one
        x.key("Tab", "Tab")  # past the label and the year
        clerk.type_fields(row)

def fill_suppliers(clerk, x):
    clerk.enter_grid(120, 840, 10575, 2055)
    for supplier in SUPPLIERS:
        clerk.type_fields(supplier, ["Return", "Return", "Down Home"])

def fill_bank(clerk, x):  # the bank's list is not stored: it stays on its first entry
    clerk.click_control(120 + 1920, 3000 + 1320, 5055, 285)
    clerk.type_fields(BANK.values())

def read_table(folder, name):  # whatever the case of the file's name
    from dbfread import DBF
    return [dict(r) for r in DBF(str(Path(folder) / f"{name}.dbf"), encoding="cp1252", char_decode_errors="strict")]

def text(value):
    return "" if value is None else str(value).strip()

def check_tables(folder, stage):
    """Every typed value stored as the window should (years and balances are test_form1's and test_grids')."""
    apps = read_table(folder, "datoprov")
    check(f"{stage}: registros en datoprov", len(apps), 1)
    app = apps[0]
    pairs = [(f, text(app[f]), v) for f, v in {**GENERAL, **STAFF, **FISCAL, **REPRESENTATIVE, **BANK}.items()]
    pairs += [("TIPOPROG", app["TIPOPROG"], 2), ("TIPOTRAM", app["TIPOTRAM"], 1),
              ("ACTIVIDAD", app["ACTIVIDAD"], read_table(folder, "activida")[ACTIVITY_DOWNS]["CLAVE"]),
              ("productos", [text(r["DESCRIPCIO"]) for r in read_table(folder, "PROVMERC")], [p.upper() for p in PRODUCTS]),
              ("proveedores", [tuple(text(r[f]) for f in ("PROVEEDOR", "RFC", "DESCRIPCIO")) for r in read_table(folder, "provprod")],
               [(n.upper(), r, p.upper()) for n, r, p in SUPPLIERS]),
              ("ventas", [[r[f] for f in ("VTOT", "VMERCNAC", "EXPORTA", "IMPORTA")] for r in read_table(folder, "VENTAS")
                          if r["TIPO"] == 1], [[float(v) for v in typed[:4]] for typed in SALES]),
              ("tipo de cambio", [r["TC"] for r in read_table(folder, "VENTAS") if r["TIPO"] == 1][:1], [float(SALES[0][5])])]
    check(stage, [f"{what}: {got!r}, se esperaba {want!r}" for what, got, want in pairs if got != want], [])

def print_to_pdf(clerk, pdf):  # through the real printer dialog; what the PDF holds is test_pdf's
    clerk.click_button(5022)  # "Imprimir solicitud"
    preview = wait_for(lambda: clerk.x.find(PRINT_TITLE), 30, "la ventana de impresión")
    clerk.steady("vista-del-cuestionario", PRINT_TITLE)
    clerk.click_text_window_button(preview, 4560)  # "&Imprimir"
    dialog = wait_for(lambda: [w for w, t in clerk.x.windows().items() if t not in (MAIN_TITLE, PRINT_TITLE)], 30,
                      "el diálogo de la impresora")[0]
    clerk.shot("dialogo-impresora")
    clerk.x.focus(dialog)
    clerk.x.key("alt+f", "ctrl+a")  # no printer here: to the file named in "Fichero de salida"
    clerk.type_fields([str(pdf)], ["Return"])
    time.sleep(2)
    if dialog in clerk.x.windows():  # a late popup of the file name's completer took that Return
        clerk.x.key("Return")
    wait_for(lambda: pdf.exists() and b"%%EOF" in pdf.read_bytes()[-64:], 30, "el PDF completo")  # both documents in it
    clerk.expect([MAIN_TITLE, PRINT_TITLE])
    clerk.click_text_window_button(preview, 5880)  # "&Cerrar"
    wait_for(lambda: clerk.x.find(PRINT_TITLE) is None, 20, "que se cierre la impresión")

def scenario(args, kivo, work):
    shutil.rmtree(args.artifacts, ignore_errors=True)
    Path(args.artifacts).mkdir(parents=True)
    data, diskette = work / "KIVO", work / "diskette"
    diskette.mkdir()
    x = XServer()
    env = x.kivo_env(work, KIVO_DRIVE_A=str(diskette))
    clerk = Clerk(x, kivo, env, Path(args.artifacts))
    try:
        clerk.start()  # on a new data folder, from what the installation delivered
        check("faltan en la carpeta de datos", [p.name for p in Path(args.data).iterdir() if not (data / p.name).exists()], [])
        clerk.steady("inicio")
        for page, fill in enumerate((fill_general, fill_representative, fill_staff, fill_products, fill_sales,
                                     fill_suppliers, fill_bank)):
            if page:  # a new start shows the first; clicking its tab again would take the focus from the RFC
                clerk.page(page)
            fill(clerk, x)
            clerk.steady(f"pagina{page}-capturada")
        clerk.page(0)
        clerk.click_button(6256)  # "Grabar datos": the lists' choices are stored by it, not by "Sí" at closing
        # what it stored is checked once it has gone to the diskette, away and back
        print_to_pdf(clerk, work / "solicitud.pdf")
        clerk.click_button(3788)  # "Generar disco  para Tolvania"
        clerk.answer("Grabar Disco", timeout=30)
        clerk.answer("Disco grabado.", timeout=90)
        clerk.steady("disco-generado")
        check("archivos en el disco", sorted(p.name for p in diskette.iterdir()), sorted(DISKETTE_TABLES))
        clerk.close()
        # Borrar la solicitud por error, recuperarla desde la terminal y encontrar todo de nuevo
        clerk.start()
        clerk.click_button(2520)  # "Borrar toda la información"
        clerk.answer("ATENCION")
        clerk.steady("borrada")
        clerk.close(asks=False)  # a new, empty application: closed without a question
        command = lambda *a: subprocess.run([str(kivo), *a], env=env, capture_output=True, text=True, timeout=120)
        done = command("--restaurar", command("--respaldos").stdout.split("\t")[0])  # the newest
        check("kivo --restaurar " + done.stdout + done.stderr, done.returncode, 0)
        clerk.start()
        clerk.steady("restaurada")
        clerk.close()  # with "Sí": the restored application goes through the window back into the tables
        check_tables(data, "al cerrar lo restaurado")
        return 0
    finally:
        stop(clerk.proc)
        x.stop()

if __name__ == "__main__":  # a build folder, its delivered data, where pictures go
    sys.exit(run_installed(scenario, ("--data", "--artifacts"), ("import",),
                           [("dbfread", "python3-dbfread")], minutes=15))
