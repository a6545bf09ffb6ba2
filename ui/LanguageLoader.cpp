#include "LanguageLoader.h"

#include "Globals.h"
#include "PickedFile.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QLabel>
#include <QObject>
#include <QXmlStreamReader>

namespace Language {

QString FileName(int index)
{
    switch (index) {
    case 1: return QStringLiteral("/Language/1-") + QString::fromUtf8("简体中文") + QStringLiteral(".xml");
    case 2: return QStringLiteral("/Language/2-") + QString::fromUtf8("繁体中文") + QStringLiteral(".xml");
    case 3: return QStringLiteral("/Language/3-Korea.xml");
    case 4: return QStringLiteral("/Language/4-Russia.xml");
    case 5: return QStringLiteral("/Language/5-Japanese.xml");
    default: return QStringLiteral("/Language/0-English.xml");
    }
}

QString FilePath(int index)
{
    return AppDir() + FileName(index);
}

QString NetFilePath()
{
    return AppDir() + QStringLiteral("/Language/Net.xml");
}

QStringList NativeNames()
{
    QStringList names;
    for (const char* name : {"English", "简体中文", "繁體中文", "한국어", "Русский", "日本語"})
        names.append(QString::fromUtf8(name));
    return names;
}

}  // namespace Language

LanguageTexts& LanguageTexts::on(const QString& element, Setter setter)
{
    m_setters.insert(element, std::move(setter));
    return *this;
}

LanguageTexts& LanguageTexts::label(const QString& element, QLabel* widget)
{
    return on(element, [widget](const QString& text) { widget->setText(text); });
}

LanguageTexts& LanguageTexts::button(const QString& element, QAbstractButton* widget)
{
    return on(element, [widget](const QString& text) {
        // setText() drops a shortcut set in code (Return on OK buttons);
        // keep it unless the new text brings a mnemonic of its own.
        const QKeySequence shortcut = widget->shortcut();
        widget->setText(text);
        if (widget->shortcut().isEmpty() && !shortcut.isEmpty())
            widget->setShortcut(shortcut);
    });
}

LanguageTexts& LanguageTexts::store(const QString& element, QString* target)
{
    return on(element, [target](const QString& text) { *target = text; });
}

void LanguageTexts::apply(const QString& element, const QString& text) const
{
    const auto it = m_setters.constFind(element);
    if (it != m_setters.constEnd() && it.value())
        it.value()(text);
}

LanguageLoader::LanguageLoader(const QString& root) : m_root(root) {}

LanguageLoader::~LanguageLoader() = default;

LanguageLoader& LanguageLoader::AddSection(const QString& name, const LanguageTexts& texts)
{
    m_sections.insert(name, texts);
    return *this;
}

LanguageLoader::Result LanguageLoader::Load(const QString& path)
{
    m_error.clear();
    // Read whole through the file rules (a FIFO or a huge file here must not
    // keep the window from ever appearing); the reader takes line ends as
    // they come, so no text mode is needed.
    QByteArray content;
    if (ReadPickedFile(path, StartupFileMaxBytes, &content) != PickedFileError::None)
        return Result::FileMissing;

    m_reader = std::make_unique<QXmlStreamReader>(content);
    QXmlStreamReader& reader = *m_reader;
    bool notLabels = false;
    reader.readNext();
    while (!reader.atEnd()) {
        if (reader.isStartElement()) {
            if (reader.name() == m_root) {
                ReadLanguageTotal();
            } else {
                reader.raiseError(QObject::tr("Not a labels file"));
                notLabels = true;
            }
        } else {
            reader.readNext();
        }
    }

    Result result = Result::Loaded;
    if (reader.hasError()) {
        m_error = reader.errorString();
        result = notLabels ? Result::NotLabelsFile : Result::ReadError;
    }
    m_reader.reset();
    return result;
}

void LanguageLoader::ReadLanguageTotal()
{
    QXmlStreamReader& reader = *m_reader;
    reader.readNext();
    while (!reader.atEnd()) {
        if (reader.isEndElement()) {
            reader.readNext();
            return;
        }
        if (reader.isStartElement()) {
            const auto section = m_sections.constFind(reader.name().toString());
            if (section != m_sections.constEnd())
                ReadLanguageLabels(section.value());
            else
                SkipUnknownElement();
        } else {
            reader.readNext();
        }
    }
}

void LanguageLoader::ReadLanguageLabels(const LanguageTexts& texts)
{
    QXmlStreamReader& reader = *m_reader;
    reader.readNext();
    while (!reader.atEnd()) {
        if (reader.isEndElement()) {
            reader.readNext();
            return;
        }
        if (!reader.isStartElement()) {
            reader.readNext();
            continue;
        }
        const QString element = reader.name().toString();
        if (texts.reads(element)) {
            // A child element inside a text is an error that ends the load;
            // the text read before it still counts.
            const QString text = reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
            texts.apply(element, text);
            if (reader.isEndElement())
                reader.readNext();
        } else {
            SkipUnknownElement();
        }
    }
}

void LanguageLoader::SkipUnknownElement()
{
    // Passes over one element with everything inside it, to any depth. Kept
    // iterative so that a deeply nested file cannot exhaust the stack.
    QXmlStreamReader& reader = *m_reader;
    int depth = 1;
    reader.readNext();
    while (!reader.atEnd()) {
        if (reader.isEndElement()) {
            reader.readNext();
            if (--depth == 0)
                return;
        } else {
            if (reader.isStartElement())
                ++depth;
            reader.readNext();
        }
    }
}

LanguageLoader::Result LoadLanguageSection(int index, const QString& section, const LanguageTexts& texts)
{
    LanguageLoader loader;
    loader.AddSection(section, texts);
    return loader.LoadIndex(index);
}
