#include "FileDialogs.h"

#include "PickedFile.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

namespace {

class SuffixSaveDialog : public QFileDialog
{
public:
    SuffixSaveDialog(QWidget* parent, const QString& suffix)
        : QFileDialog(parent, QStringLiteral("FileSave"), QDir::homePath(), FileDialogFilter(suffix)),
          m_suffix(suffix)
    {
        setAcceptMode(QFileDialog::AcceptSave);
    }

    void accept() override
    {
        // The name field of the dialog's own widgets (a native dialog has
        // none and never comes here: its name gets the suffix afterwards).
        // A folder typed to go into stays as it is.
        auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name && !name->text().isEmpty() && !QFileInfo(directory().absoluteFilePath(name->text())).isDir())
            name->setText(WithFileSuffix(name->text(), m_suffix));
        QFileDialog::accept();
    }

private:
    QString m_suffix;
};

}  // namespace

QString FileDialogFilter(const QString& suffix)
{
    return QStringLiteral("File(*.%1)").arg(suffix);
}

QString AskSaveFileName(QWidget* parent, const QString& suffix)
{
    SuffixSaveDialog dialog(parent, suffix);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return WithFileSuffix(dialog.selectedFiles().value(0), suffix);
}
