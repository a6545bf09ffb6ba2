// picgen OUTDIR [FOLDER...]: draws the pictures of every registered folder
// (or only the named ones) into OUTDIR/<folder>/.
#include "PicGen.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: picgen OUTDIR [FOLDER...]\n");
        return 2;
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
