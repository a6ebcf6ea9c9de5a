// Composition time of the questionnaire against the number of suppliers, to show it grows
// linearly. Prints one line per size; no time is asserted anywhere.
#include "questionnaire/cuestionario.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

kivo::CuestionarioDatos datos(int proveedores, int productos)
{
    kivo::CuestionarioDatos d;
    d.tipoTramite = QStringLiteral("Programa nuevo");
    d.promotora = true;
    d.rfc = QStringLiteral("ABC991231XY1");
    d.razonSocial = QStringLiteral("ACEROS DEL NORTE SA DE CV");
    d.empleados = QStringLiteral("120");
    d.obreros = QStringLiteral("300");
    d.ventasPais = QStringLiteral("15000.5");
    d.ventasExterior = QStringLiteral("2000");
    for (int i = 0; i < productos; ++i)
        d.productos << QStringLiteral("PRODUCTO DE EXPORTACIÓN %1").arg(i);
    for (int year = 2025; year <= 2027; ++year)
        d.ventas << kivo::CuestionarioDatos::Venta{QString::number(year), {1500.25, 1200, 300, 100, 200, 10.5}};
    d.proveedores.reserve(proveedores);
    for (int i = 0; i < proveedores; ++i)
        d.proveedores << kivo::CuestionarioDatos::Proveedor{QStringLiteral("PROVEEDOR NACIONAL %1").arg(i),
                                                            QStringLiteral("PRO850101AB1"),
                                                            QStringLiteral("LINGOTE DE ACERO")};
    d.hoy = QDate(2026, 12, 6);
    d.locale = QLocale(QLocale::Spanish, QLocale::Mexico);
    return d;
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Best of a few runs, in milliseconds of this thread's processor time: the machine is shared,
// and wall time would count the moments another process held the processor.
double bestMs(const kivo::CuestionarioDatos &d, int runs, qsizetype *length)
{
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        const double start = threadCpuMs();
        const kivo::Cuestionario c = kivo::armaCuestionario(d);
        times.push_back(threadCpuMs() - start);
        *length = c.texto.size();
    }
    return *std::min_element(times.begin(), times.end());
}

} // namespace

int main()
{
    std::printf("Questionnaire composition (best of 9 runs, processor time)\n");
    std::printf("%10s %10s %12s %14s %16s\n", "suppliers", "products", "time (ms)", "characters",
                "ns per supplier");
    const int sizes[][2] = {{1000, 0}, {10000, 0}, {100000, 0}, {10000, 1000}};
    for (const auto &size : sizes) {
        const kivo::CuestionarioDatos d = datos(size[0], size[1]);
        qsizetype length = 0;
        const double ms = bestMs(d, 9, &length);
        std::printf("%10d %10d %12.3f %14lld %16.1f\n", size[0], size[1], ms, static_cast<long long>(length),
                    ms * 1e6 / size[0]);
    }
    return 0;
}
