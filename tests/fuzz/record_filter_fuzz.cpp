#include "FuzzInput.h"
#include "core/Error.h"
#include "db/RecordSet.h"

// Any filter text either applies or is refused with a DatabaseError; moving over the result
// never reads outside the rows.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RecordSet rows({QStringLiteral("YAZICI"), QStringLiteral("H"), QStringLiteral("ADET")},
                   {{QStringLiteral("Mutfak"), 1, 2.5},
                    {QVariant(), 2, QVariant()},
                    {QStringLiteral("O'Brien"), 2, 1.0}});
    try {
        rows.setFilter(FuzzText(data, size));
    } catch (const DatabaseError&) {
    }
    for (rows.First(); !rows.Eof(); rows.Next())
        (void)rows.text(QStringLiteral("ADET"));
    return 0;
}
