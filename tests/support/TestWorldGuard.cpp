// Every Qt test removes and rewrites files in HOME and the XDG folders
// (user folders, caches, the one-time folder move). Run by hand, without
// tests/run-test.sh, it would do so in the developer's own home. So a test
// refuses to start unless HOME lies inside the temporary folder that the
// runner made for it.
#include <QByteArray>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace {

void refuseOutsideTestWorld()
{
    const QByteArray world = qgetenv("DIZADI_TEST_TMP");
    const QByteArray home = qgetenv("HOME");
    if (!world.isEmpty() && world != "/" && home.startsWith(world + '/'))
        return;
    std::fprintf(stderr,
                 "refused: this test changes files in HOME; run it through tests/run-test.sh "
                 "(ctest does), which gives it a temporary HOME\n");
    std::_Exit(2);
}

}  // namespace

Q_CONSTRUCTOR_FUNCTION(refuseOutsideTestWorld)
