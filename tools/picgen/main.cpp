// picgen OUTDIR [FOLDER...]: draws the pictures of every registered folder
// (or only the named ones) into OUTDIR/<folder>/.
// picgen --icons OUTDIR SIZE...: draws the logo at the given icon sizes
// (OUTDIR/logo-<size>.png).
#include "PicGen.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: picgen OUTDIR [FOLDER...] | picgen --icons OUTDIR SIZE...\n");
        return 2;
    }
    if (args.first() == QLatin1String("--icons")) {
        PicWriter writer(args.value(1));
        for (const QString& text : args.mid(2)) {
            const int size = text.toInt();
            if (size < 16 || size > 1024) {
                std::fprintf(stderr, "picgen: not an icon size: %s\n", qPrintable(text));
                return 2;
            }
            writer.save(QStringLiteral("."), QStringLiteral("logo-%1.png").arg(size), DrawLogo(size));
        }
        std::printf("picgen: %d icons written, %d failed\n", writer.saved(), writer.failed());
        return writer.failed() == 0 ? 0 : 1;
    }
    PicWriter writer(args.first());
    const QStringList only = args.mid(1);
    for (const PictureFolder& folder : PictureFolders()) {
        if (!only.isEmpty() && !only.contains(QString::fromLatin1(folder.name)))
            continue;
        folder.draw(writer);
    }
    std::printf("picgen: %d pictures written, %d failed\n", writer.saved(), writer.failed());
    return writer.failed() == 0 ? 0 : 1;
}
