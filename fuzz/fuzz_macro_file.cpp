// The per-macro text file with any content: the parser on its own, the same
// bytes read through the macro folder, the writer and the record codec,
// each of which must give back the macro it was given.
#include "FuzzSupport.h"

#include "MacroName.h"
#include "MacroRows.h"

#include <cstring>

using namespace keys;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::SetUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::Bytes(data, size);
    const MacroFileContent file = ParseMacroFile(bytes);
    if (KeyRowCount(file.rows) > MaxMacroEvents)
        fuzz::Fail("more events than a record holds");
    if (!IsRepeatCode(file.repeatCode))
        fuzz::Fail("a repeat code that is none");
    if (file.hasRepeatLine == bytes.isEmpty())
        fuzz::Fail("a repeat line in an empty file, or none in a file");

    // The same bytes as a file of the macro folder.
    const QString name = QStringLiteral("fuzz");
    fuzz::WriteFile(MacroFolder() + QStringLiteral("/fuzz.ini"), bytes);
    const std::optional<MacroFileContent> read = ReadMacroFile(name);
    if (!read || (bytes.size() <= 1024 * 1024 && read->rows != file.rows))
        fuzz::Fail("the file reads otherwise than its bytes");

    // The writer's text reads back as the same macro, and so does the record.
    bool cut = true;
    const MacroFileContent again = ParseMacroFile(MacroFileText(file.repeatCode, file.rows, &cut));
    if (cut || again.rows != file.rows || again.repeatCode != file.repeatCode)
        fuzz::Fail("written rows read back otherwise");
    cut = true;
    const MacroRecord record = RecordFromRows(name, file.rows, &cut);
    if (cut)
        fuzz::Fail("the record cut a macro of at most 70 events");
    const MacroRecord second = RecordFromRows(name, RowsFromRecord(record).rows);
    if (std::memcmp(&record, &second, sizeof record) != 0)
        fuzz::Fail("a record does not survive its rows");
    return 0;
}
