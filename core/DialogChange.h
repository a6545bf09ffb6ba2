// The device list page (stack page 0 of the main window).
//
// PLACEHOLDER: this is only the part the main window needs to hold the page
// and register its USB-change callback: the page itself (device search and
// identification, the device buttons three to a page, paging, the language
// combo box, repair, the selection and pairing check) is completed in its
// own piece of work, which replaces this class body.
#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

class DialogChange : public QWidget
{
    Q_OBJECT

public:
    explicit DialogChange(QWidget* parent = nullptr);
    ~DialogChange() override;

    // USB-change callback given to StartUsbChanged(…, 600) while the list
    // is shown. Called on a library thread; the work moves to the GUI thread.
    static void OnUsbChanged();

public slots:
    void ChangeDialogLanguage(int index);
    void WindowMinA();
    void WindowClosedA();

private slots:
    void HandleUsbChanged();

private:
    static DialogChange* s_instance;

    QLabel* m_label = nullptr;
    QLabel* m_hint = nullptr;
    QToolButton* m_min = nullptr;
    QToolButton* m_close = nullptr;
};
