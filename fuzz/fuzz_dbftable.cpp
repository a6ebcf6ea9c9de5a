// Any bytes given to the table reader either make a table or a DbfError; a table read must
// give every value without fault and write back to bytes that read as the same table.

#include "store/dbftable.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString path = QStringLiteral("fuzz.dbf");
    try {
        const kivo::DbfTable table = kivo::DbfTable::fromBytes(bytes, path);
        const int fields = int(table.fields().size());
        for (int r = 0; r < table.recordCount(); ++r) {
            table.isDeleted(r);
            for (int f = 0; f < fields; ++f) {
                table.value(r, f);
                table.text(r, f);
            }
        }
        const QByteArray written = table.toBytes();
        const kivo::DbfTable again = kivo::DbfTable::fromBytes(written, path);
        if (again.toBytes() != written || again.recordCount() != table.recordCount())
            std::abort();
        // A table is changed where it was read; the table it was copied from must not see it.
        kivo::DbfTable changed = table;
        if (changed.recordCount() > 0)
            changed.setDeleted(0, true);
        changed.setRecord(changed.appendRecord(), changed.blankRecord());
        changed.pack();
        const kivo::DbfTable packed = kivo::DbfTable::fromBytes(changed.toBytes(), path);
        if (packed.recordCount() != changed.recordCount() || table.toBytes() != written)
            std::abort();
    } catch (const kivo::DbfError &) {
    }
    return 0;
}
