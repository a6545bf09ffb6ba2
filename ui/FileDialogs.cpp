#include "FileDialogs.h"

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
        // A native dialog (a desktop's platform theme) would take the name
        // without coming through accept() below: it would ask about
        // replacing the name typed, and then the suffixed file would be
        // replaced without a question.
        setOption(QFileDialog::DontUseNativeDialog);
    }

    void accept() override
    {
        // The suffix goes into the name field itself, which the dialog's own
        // check reads (a folder is gone into, an existing file asks about
        // being replaced). No public call sets the field while it has the
        // focus (selectFile() leaves it then, as after Return in it): it is
        // found by the name Qt gives it. A folder typed stays as it is.
        auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString chosen = selectedFiles().value(0);
        if (name && !name->text().isEmpty() && !QFileInfo(chosen).isDir())
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

QString WithFileSuffix(const QString& path, const QString& suffix)
{
    const QString ending = QLatin1Char('.') + suffix;
    if (path.isEmpty() || path.endsWith(ending, Qt::CaseInsensitive))
        return path;
    return path + ending;
}

QString AskSaveFileName(QWidget* parent, const QString& suffix)
{
    SuffixSaveDialog dialog(parent, suffix);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    // accept() above has given the name its suffix.
    return dialog.selectedFiles().value(0);
}
