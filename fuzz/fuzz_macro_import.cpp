// The macro export file with any content: the import refuses it whole or
// gives a macro that can be stored under its name and exported again to the
// same macro.
#include "FuzzSupport.h"

#include "MacroName.h"
#include "MacroRows.h"
#include "NameRule.h"
#include "SafeFileName.h"

#include <QColor>
#include <QDir>
#include <QImage>

using namespace keys;

namespace {
QHash<QString, int> mouseNames;
RowIcons icons;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::SetUp(argc, argv);
    mouseNames = MouseButtonNamesOfLanguages();
    // Small pictures of our own for the icons of the re-export.
    const QString dir = fuzz::Root() + QStringLiteral("/icons");
    const char* files[] = {"MacroDown.png", "MacroUp.png", "MacroTime.png"};
    if (!QDir().mkpath(dir))
        fuzz::Fail("no icon folder");
    for (int i = 0; i < 3; ++i) {
        QImage image(4 + i, 4, QImage::Format_ARGB32);
        image.fill(QColor(60 * i, 90, 120));
        if (!image.save(dir + QLatin1Char('/') + QLatin1String(files[i])))
            fuzz::Fail("no icon picture");
    }
    icons = RowIconsIn(dir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const MacroImport import = ImportMacro(fuzz::Bytes(data, size), mouseNames);
    if (!import.Ok()) {
        if (!import.rows.isEmpty())
            fuzz::Fail("a refused file gave rows");
        return 0;
    }
    if (!IsAcceptableMacroName(import.name) || !IsSafeFileName(import.name))
        fuzz::Fail("an imported name that may not be a macro's");
    if (!IsRepeatCode(import.repeatCode) || KeyRowCount(import.rows) > MaxMacroEvents)
        fuzz::Fail("an imported macro outside the limits");

    const MacroImport again = ImportMacro(ExportMacro(import.name, import.repeatCode, import.rows, icons), mouseNames);
    if (!again.Ok() || again.name != import.name || again.repeatCode != import.repeatCode || again.rows != import.rows)
        fuzz::Fail("an imported macro does not survive its export");

    if (!SaveMacroFile(import.name, import.repeatCode, import.rows))
        fuzz::Fail("an imported macro cannot be stored");
    const std::optional<MacroFileContent> file = ReadMacroFile(import.name);
    if (!file || file->rows != import.rows || file->repeatCode != import.repeatCode)
        fuzz::Fail("a stored import reads back otherwise");
    if (!DeleteMacroFile(import.name))
        fuzz::Fail("a stored import cannot be removed");
    return 0;
}
