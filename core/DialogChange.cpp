#include "DialogChange.h"

#include "Globals.h"
#include "HIDUsb.h"
#include "LanguageLoader.h"
#include "MacroSettings.h"
#include "PostMsg.h"

#include <QFrame>
#include <QLabel>
#include <QMetaObject>
#include <QToolButton>

DialogChange* DialogChange::s_instance = nullptr;

namespace {
QString toolButtonSheet(const QString& folder, const QString& name)
{
    return QStringLiteral("QToolButton{border:0px;background-image: url(") + folder + name
           + QStringLiteral(".png);background-position:center;background-repeat:no-repeat;}QToolButton:hover{background-image: url(")
           + folder + name + QStringLiteral("Hover.png);}QToolButton:pressed{background-image: url(") + folder + name
           + QStringLiteral("Click.png);}");
}
}  // namespace

DialogChange::DialogChange(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DialogChange"));
    setFixedSize(1020, 700);
    s_instance = this;

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("frameChange"));
    frame->setGeometry(0, 0, 1020, 700);
    frame->setStyleSheet(QStringLiteral("#frameChange{background-color: rgb(24, 26, 32);}"));

    const QString folder = AppDir() + QStringLiteral("/Picture/Dialog/");
    m_min = new QToolButton(frame);
    m_min->setObjectName(QStringLiteral("MinButton"));
    m_min->setGeometry(940, 10, 20, 20);
    m_min->setFocusPolicy(Qt::NoFocus);
    m_min->setStyleSheet(toolButtonSheet(folder, QStringLiteral("Min")));
    m_close = new QToolButton(frame);
    m_close->setObjectName(QStringLiteral("CloseButton"));
    m_close->setGeometry(980, 10, 20, 20);
    m_close->setFocusPolicy(Qt::NoFocus);
    m_close->setStyleSheet(toolButtonSheet(folder, QStringLiteral("Close")));
    connect(m_min, &QToolButton::clicked, this, &DialogChange::WindowMinA);
    connect(m_close, &QToolButton::clicked, this, &DialogChange::WindowClosedA);

    QFont big(QStringLiteral("微软雅黑"));
    big.setPointSize(20);
    m_label = new QLabel(frame);
    m_label->setObjectName(QStringLiteral("label_2"));
    m_label->setGeometry(0, 320, 1021, 121);
    m_label->setFont(big);
    m_label->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);"));
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setWordWrap(true);
    m_label->setText(QStringLiteral("请接入你的游戏装备"));
    QFont small(QStringLiteral("微软雅黑"));
    small.setPointSize(16);
    m_hint = new QLabel(frame);
    m_hint->setObjectName(QStringLiteral("label_3"));
    m_hint->setGeometry(0, 530, 1021, 121);
    m_hint->setFont(small);
    m_hint->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);"));
    m_hint->setAlignment(Qt::AlignCenter);
    m_hint->setWordWrap(true);
    m_hint->setText(QStringLiteral("点击图案进入使用"));

    connect(PostMsg::GetInstance(), SIGNAL(SigChangeLanguage(int)), this, SLOT(ChangeDialogLanguage(int)));
    ChangeDialogLanguage(StoredLanguageIndex());
    StartUsbChanged(&DialogChange::OnUsbChanged, 600);
}

DialogChange::~DialogChange()
{
    if (s_instance == this)
        s_instance = nullptr;
}

void DialogChange::OnUsbChanged()
{
    // Library thread: hand the work to the page's thread.
    if (DialogChange* page = s_instance)
        QMetaObject::invokeMethod(page, "HandleUsbChanged", Qt::QueuedConnection);
}

void DialogChange::HandleUsbChanged()
{
    // The device search and the page rebuild come with the device list.
}

void DialogChange::ChangeDialogLanguage(int index)
{
    LanguageTexts texts;
    texts.label(QStringLiteral("label_2"), m_label).label(QStringLiteral("label_3"), m_hint);
    LoadLanguageSection(index, QStringLiteral("DialogChange"), texts);
}

void DialogChange::WindowMinA()
{
    PostMsg::GetInstance()->PostChangeSize(2);
}

void DialogChange::WindowClosedA()
{
    PostMsg::GetInstance()->PostChangeSize(3);
}
