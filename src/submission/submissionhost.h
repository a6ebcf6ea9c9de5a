#pragma once

#include <QString>

namespace kivo {

class DataSource;

// What the disk and clearing procedures need of the capture window. Form1 implements it;
// tests implement it over plain data sources.
class SubmissionHost
{
public:
    // The lists whose chosen code the clearing keeps in the new record.
    enum class CodeList { AdmLocal /* Combo5 */, Actividad /* cmbActividad */ };

    virtual ~SubmissionHost() = default;

    virtual DataSource *applicationRecord() = 0; // dtsDatoProv
    virtual DataSource *salesRows() = 0;         // dtsVTotales
    virtual DataSource *products() = 0;          // dtsProductos
    virtual DataSource *suppliers() = 0;         // dtsProveedor

    // Disk.
    virtual QString rfcText() const = 0;   // MaskEdBox1's text
    virtual void grabar() = 0;             // the save command, as if its button was pressed
    virtual bool verificaRequeridos() = 0; // runs the check; true when data are missing

    // Clearing: the window's side, step by step.
    virtual void nuevo() = 0;
    virtual void clearMaquila() = 0;                   // txtnummaquila and txtañomaquila to ""
    virtual void clearRfc() = 0;                       // mask off, text "", mask back on
    virtual void deselectOptions() = 0;                // optPromotora and optConsolidadora
    virtual void selectFirstEntries() = 0;             // entry 0 of Combo5, Combo1, cmbActividad, in that order
    virtual void enableEditButton() = 0;               // Command1 Index 6
    virtual void showFirstPage() = 0;                  // SSTab1 page 0
    virtual int selectedCode(CodeList list) const = 0; // item data of the selected entry, or -1
    // After a failure part-way: bring the window back to what the tables hold.
    virtual void reloadAfterFailure() = 0;
};

} // namespace kivo
