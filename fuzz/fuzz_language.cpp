// The language files (Language/<index>-<name>.xml, root Total) and Net.xml
// (root Profile) with any content: the loader on its own with sections of
// every kind of text, then every window of the program reading its texts
// from the file on a language change.
#include "FuzzSupport.h"

#include "DialogMain.h"
#include "Globals.h"
#include "LanguageLoader.h"
#include "PostMsg.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace {
QString languagePath;
QString netPath;
DialogMain* window = nullptr;
QLabel* label = nullptr;
QPushButton* button = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::SetUp(argc, argv);
    const QString dir = fuzz::MakeAppDirCopy(
        QStringLiteral("app-language"),
        {QStringLiteral("Language/0-English.xml"), QStringLiteral("Language/Net.xml")});
    languagePath = dir + QStringLiteral("/Language/0-English.xml");
    netPath = dir + QStringLiteral("/Language/Net.xml");
    // Start from the real texts, then let the fuzzer's files replace them.
    const QString real = QCoreApplication::applicationDirPath();
    fuzz::WriteFile(languagePath, fuzz::ReadFile(real + QStringLiteral("/Language/0-English.xml")));
    fuzz::WriteFile(netPath, fuzz::ReadFile(real + QStringLiteral("/Language/Net.xml")));
    SetAppDirOverride(dir);
    window = new DialogMain;
    label = new QLabel;
    button = new QPushButton;
    button->setShortcut(Qt::Key_Return);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray content = fuzz::Bytes(data, size);
    fuzz::WriteFile(languagePath, content);
    fuzz::WriteFile(netPath, content);

    int calls = 0;
    QString stored;
    LanguageTexts texts;
    texts.label(QStringLiteral("label"), label)
        .button(QStringLiteral("OK"), button)
        .store(QStringLiteral("Tips"), &stored)
        .on(QStringLiteral("a"), [&calls](const QString&) { ++calls; });
    LanguageLoader loader;
    loader.AddSection(QStringLiteral("Test"), texts).AddSection(QStringLiteral("DialogMain"), texts);
    const LanguageLoader::Result result = loader.Load(languagePath);
    if (result == LanguageLoader::Result::FileMissing)
        fuzz::Fail("the written file was not found");
    if (result == LanguageLoader::Result::Loaded && !loader.ErrorString().isEmpty())
        fuzz::Fail("a loaded file with an error text");

    LanguageLoader net(QStringLiteral("Profile"));
    net.AddSection(QStringLiteral("English"), texts).AddSection(QStringLiteral("Web"), texts);
    net.Load(netPath);

    // Every window reads its section anew.
    PostMsg::GetInstance()->PostChangeLanguage(0);
    fuzz::FlushPostedEvents();
    return 0;
}
