// Language files and the one loader that every window uses to read its texts.
//
// Files: "<appDir>/Language/0-English.xml" .. "5-Japanese.xml", chosen by the
// language index kept in Macro.ini (StoredLanguageIndex()). Root element
// "Total"; one child section per window, named by the window's section name;
// one text element per widget or stored message, named like the widget's
// object. Texts are taken exactly as read (no trimming). Sections may come
// more than once (each is applied, the last one wins), unknown sections and
// elements are passed over with everything inside them, and a fault in the
// XML stops the load where it is: what was applied before stays.
//
// How a window uses it (it keeps its own SlotChangeLanguage(int), connected to
// PostMsg::SigChangeLanguage(int) and called once from its constructor with
// StoredLanguageIndex()):
//
//     void MyWindow::SlotChangeLanguage(int index)
//     {
//         LanguageTexts texts;
//         texts.label("label", ui->label)                 // QLabel::setText
//              .button("NewHong", ui->NewHong)            // QAbstractButton::setText
//              .store("Timeout", &m_timeoutText)           // kept for later
//              .on("comboItem3", [this](const QString& t) { ui->combo->setItemText(3, t); });
//         LoadLanguageSection(index, QStringLiteral("MyWindow"), texts);
//     }
//
// Other layouts (another root, several sections, e.g. Net.xml with root
// "Profile") use the class directly:
//
//     LanguageLoader loader(QStringLiteral("Profile"));
//     loader.AddSection(QStringLiteral("English"), englishTexts);
//     loader.AddSection(QStringLiteral("Web"), webTexts);
//     loader.Load(Language::NetFilePath());
//
// Each load opens and parses the file anew; the stream reader lives only while
// the load runs. Nothing is reported to the user; the result tells tests what
// happened.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QAbstractButton;
class QLabel;
class QXmlStreamReader;

namespace Language {
constexpr int Count = 6;
// Name of the file of index below the application folder, starting with
// "/Language/"; every index outside 0..5 gives the English file.
QString FileName(int index);
// AppDir() + FileName(index).
QString FilePath(int index);
// AppDir() + "/Language/Net.xml" (company name and links; root "Profile").
QString NetFilePath();
// The names of the six languages, each in its own language, in index order
// (the items of the language boxes).
QStringList NativeNames();
}  // namespace Language

// What a window reads of one section: element name -> what its text does.
class LanguageTexts
{
public:
    using Setter = std::function<void(const QString& text)>;

    // Registers (or replaces) the effect of element.
    LanguageTexts& on(const QString& element, Setter setter);
    LanguageTexts& label(const QString& element, QLabel* widget);
    LanguageTexts& button(const QString& element, QAbstractButton* widget);
    LanguageTexts& store(const QString& element, QString* target);

    bool reads(const QString& element) const { return m_setters.contains(element); }
    void apply(const QString& element, const QString& text) const;
    int size() const { return m_setters.size(); }

private:
    QHash<QString, Setter> m_setters;
};

class LanguageLoader
{
public:
    enum class Result {
        Loaded,         // the whole file was read
        FileMissing,    // the file could not be opened or was refused (PickedFile): nothing changed
        NotLabelsFile,  // the first element is not the root: nothing changed
        ReadError,      // malformed XML (or a text element with a child): stopped there
    };

    explicit LanguageLoader(const QString& root = QStringLiteral("Total"));
    ~LanguageLoader();
    LanguageLoader(const LanguageLoader&) = delete;
    LanguageLoader& operator=(const LanguageLoader&) = delete;

    // Adds a section read by this loader (several are allowed).
    LanguageLoader& AddSection(const QString& name, const LanguageTexts& texts);

    Result Load(const QString& path);
    Result LoadIndex(int index) { return Load(Language::FilePath(index)); }

    // The reader's error text of the last load ("Not a labels file" for a
    // wrong root), empty when it had none.
    QString ErrorString() const { return m_error; }

private:
    void ReadLanguageTotal();
    void ReadLanguageLabels(const LanguageTexts& texts);
    void SkipUnknownElement();

    QString m_root;
    QHash<QString, LanguageTexts> m_sections;
    std::unique_ptr<QXmlStreamReader> m_reader;  // the load in progress only
    QString m_error;
};

// The common case: section of the language file of index.
LanguageLoader::Result LoadLanguageSection(int index, const QString& section, const LanguageTexts& texts);
