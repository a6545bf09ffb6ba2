// The button page on the simulated device, shared by the page's tests
// against the bench: the receiver's wireless mouse (mouse1 behind rx8k)
// with the link open, a page filled from an image the mouse holds, and a
// watch for the modal dialogs a case expects.
//
//   class MyTest : public QObject, public buttontest::PageOnBench
//   initTestCase: testsupport::PrepareUserState(); QVERIFY(openReceiverLink(&m_base));
//   cleanup:      buttontest::EndModalWatches();
#pragma once

#include "../../core/LinkTestSupport.h"

#include "Buttoninterface.h"
#include "DeviceImage.h"
#include "MacroName.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QToolButton>

#include <cstring>
#include <functional>
#include <memory>

namespace buttontest {

using namespace linktest;

inline const QString Mouse = QStringLiteral("mouse1");

inline void setMacroName(FlashDataMap& image, int key, const QByteArray& name)
{
    std::memset(image.macros[key].name, 0, MacroNameBytes);
    std::memcpy(image.macros[key].name, name.constData(), size_t(name.size()));
    image.macros[key].nameLength = uint8_t(name.size());
}

// Runs act on the first modal dialog of type T that comes up (from inside
// its exec()); `seen` tells whether one came. A watch that saw nothing ends
// with its case (cleanup()).
inline const QString ModalWatchName = QStringLiteral("modalWatch");
template <typename T>
void whenModal(const std::function<void(T*)>& act, bool* seen)
{
    auto* timer = new QTimer(qApp);
    timer->setObjectName(ModalWatchName);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, qApp, [timer, act, seen] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            *seen = true;
            act(dialog);
        }
    });
    timer->start();
    // A dialog that never comes must not leave the timer to a later case.
    QTimer::singleShot(5000, timer, [timer] { timer->deleteLater(); });
}

// The entry names a test does not want to hard-code twice.
inline QToolButton* tool(Buttoninterface& page, const QString& name)
{
    return page.findChild<QToolButton*>(name);
}

// Ends the watches of whenModal that saw nothing.
inline void EndModalWatches()
{
    qDeleteAll(qApp->findChildren<QTimer*>(ModalWatchName, Qt::FindDirectChildrenOnly));
}

class PageOnBench
{
protected:
    FlashDataMap m_base{};

    // The start of each case (init): model 1, the mouse online and holding
    // mouseImage(), which is the image in memory; no macro; no call logged.
    void startCase()
    {
        testsupport::EnterSituation(testsupport::Situation::PagesOnline);
        testsupport::SetDevice(0);  // Drive1: six keys, sensor AX72, no "0x05" defaults
        DeviceInfoFile.clear();
        QDir(keys::MacroFolder()).removeRecursively();
        QDir().mkpath(keys::MacroFolder());
        bench({QStringLiteral("online"), Mouse});
        useImage(mouseImage());
        clearCallsLog();
    }

    // The image in memory is the device's own; the page is filled from it.
    void useImage(const FlashDataMap& image)
    {
        QVERIFY(storeDeviceImage(Mouse, image));
        testsupport::SetImage(image, true);
    }

    std::unique_ptr<Buttoninterface> makePage(const FlashDataMap& image)
    {
        auto page = std::make_unique<Buttoninterface>();
        // The link object's check timer would probe the device in the middle
        // of a case; the cases drive the device themselves.
        if (CheckTimer)
            CheckTimer->stop();
        SetCurrentDevicePath("hidbench/rx8k");
        page->resize(883, 630);
        page->show();
        page->SlotUpDataButtonUIButton(image);
        clearCallsLog();
        return page;
    }

    // An image in which the six keys carry their usual mouse functions.
    FlashDataMap mouseImage() const
    {
        FlashDataMap image = m_base;
        const KeyFunction usual[6] = {{1, 1, 0}, {1, 2, 0}, {1, 4, 0}, {1, 8, 0}, {1, 16, 0}, {2, 1, 0}};
        for (int k = 0; k < 6; ++k) {
            image.keys[k] = usual[k];
            image.keyEvents[k] = KeyEventRecord{};
        }
        return image;
    }
};

}  // namespace buttontest
