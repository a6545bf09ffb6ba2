// The nine notices: each tells the user one thing and offers OK (most of
// them) and the close button. Their frame, styling and language loading are
// FramelessDialog's; what differs is the section, the frame object and
// which elements set what.
#include "ExeIsRun.h"
#include "GroupMaxThree.h"
#include "InportFail.h"
#include "KeyNumberLimit.h"
#include "LeftButtonOnly.h"
#include "MakeMacro.h"
#include "MouseOffLine.h"
#include "QuestiondialogB.h"
#include "SameMacro.h"

#include "Globals.h"
#include "LanguageLoader.h"
#include "PostMsg.h"

#include "ui_ExeIsRun.h"
#include "ui_GroupMaxThree.h"
#include "ui_InportFail.h"
#include "ui_KeyNumberLimit.h"
#include "ui_LeftButtonOnly.h"
#include "ui_MakeMacro.h"
#include "ui_MouseOffLine.h"
#include "ui_QuestiondialogB.h"
#include "ui_SameMacro.h"

// ---- QuestiondialogB ------------------------------------------------------

QuestiondialogB::QuestiondialogB(QWidget* parent)
    : FramelessDialog(QStringLiteral("QuestionB"), parent), ui(new Ui::QuestiondialogB)
{
    ui->setupUi(this);
    setFixedSize(width(), height());
    StyleFrame({ui->QuestionB, ui->label, ui->CloseButton, {}});
    ApplyStoredLanguage();
}

QuestiondialogB::~QuestiondialogB()
{
    delete ui;
}

void QuestiondialogB::on_CloseButton_clicked()
{
    close();
}

void QuestiondialogB::FillLanguageTexts(LanguageTexts& texts)
{
    texts.label(QStringLiteral("label"), ui->label);
}

// ---- MouseOffLine -----------------------------------------------------------

MouseOffLine::MouseOffLine(QWidget* parent)
    : FramelessDialog(QStringLiteral("MouseOffLine"), parent), ui(new Ui::MouseOffLine)
{
    ui->setupUi(this);
    connect(PostMsg::GetInstance(), &PostMsg::SigCloseOffOnline, this, &MouseOffLine::on_CloseButton_clicked);
    FrameParts parts{ui->MouseOffLineA, ui->label, ui->CloseButton, {ui->NewHong}};
    parts.confirm = QStringLiteral("ConFirm.png");
    parts.confirmPressed = QStringLiteral("ConFirmClick.png");
    StyleFrame(parts);
    ApplyStoredLanguage();
}

MouseOffLine::~MouseOffLine()
{
    delete ui;
}

void MouseOffLine::on_CloseButton_clicked()
{
    close();
}

void MouseOffLine::on_NewHong_clicked()
{
    close();
}

void MouseOffLine::FillLanguageTexts(LanguageTexts& texts)
{
    // Which message shows depends on why the notice was opened.
    texts.on(QStringLiteral("label"), [this](const QString& text) {
        if (OfflineReason == 0)
            ui->label->setText(text);
    });
    texts.on(QStringLiteral("Timeout"), [this](const QString& text) {
        if (OfflineReason == 1)
            ui->label->setText(text);
    });
    texts.on(QStringLiteral("Refused"), [this](const QString& text) {
        if (OfflineReason == WriteRefusedReason)
            ui->label->setText(text);
    });
    texts.on(QStringLiteral("RefusedUnkept"), [this](const QString& text) {
        if (OfflineReason == RefusedUnkeptReason)
            ui->label->setText(text);
    });
    texts.button(QStringLiteral("NewHong"), ui->NewHong);
}

// ---- LeftButtonOnly ---------------------------------------------------------

LeftButtonOnly::LeftButtonOnly(QWidget* parent)
    : FramelessDialog(QStringLiteral("ButtonOnly"), parent), ui(new Ui::LeftButtonOnly)
{
    ui->setupUi(this);
    StyleFrame({ui->ButtonOnly, ui->label, ui->CloseButton, {}});
    ApplyStoredLanguage();
}

LeftButtonOnly::~LeftButtonOnly()
{
    delete ui;
}

void LeftButtonOnly::on_CloseButton_clicked()
{
    close();
}

void LeftButtonOnly::FillLanguageTexts(LanguageTexts& texts)
{
    texts.label(QStringLiteral("label"), ui->label);
}

// ---- The plain notices: label and OK ------------------------------------

#define PLAIN_NOTICE(Class, Section, Frame)                                                   \
    Class::Class(QWidget* parent) : FramelessDialog(QStringLiteral(Section), parent), ui(new Ui::Class) \
    {                                                                                           \
        ui->setupUi(this);                                                                      \
        StyleFrame({ui->Frame, ui->label, ui->CloseButton, {ui->NewHong}});                     \
        ApplyStoredLanguage();                                                                  \
    }                                                                                           \
    Class::~Class() { delete ui; }                                                              \
    void Class::on_CloseButton_clicked() { close(); }                                           \
    void Class::on_NewHong_clicked() { close(); }                                               \
    void Class::FillLanguageTexts(LanguageTexts& texts)                                         \
    {                                                                                           \
        texts.label(QStringLiteral("label"), ui->label);                                        \
        texts.button(QStringLiteral("NewHong"), ui->NewHong);                                   \
    }

PLAIN_NOTICE(MakeMacro, "MakeMacro", MakeMacroA)
PLAIN_NOTICE(SameMacro, "SameMacro", SameMacroA)
PLAIN_NOTICE(GroupMaxThree, "MaxThree", MaxThree)
PLAIN_NOTICE(KeyNumberLimit, "Limit", LimitA)

#undef PLAIN_NOTICE

// ---- ExeIsRun ---------------------------------------------------------------

ExeIsRun::ExeIsRun(QWidget* parent) : FramelessDialog(QStringLiteral("EXEIsRun"), parent), ui(new Ui::ExeIsRun)
{
    ui->setupUi(this);
    StyleFrame({ui->DeleteConfirmA, ui->label, ui->CloseButton, {ui->NewHong}});
    ApplyStoredLanguage();
}

ExeIsRun::~ExeIsRun()
{
    delete ui;
}

void ExeIsRun::ShowTextA()
{
    ui->label->setText(m_textA);
}

void ExeIsRun::ShowTextB()
{
    ui->label->setText(m_textB);
}

void ExeIsRun::ShowCannotSave()
{
    ui->label->setText(m_cannotSave);
}

void ExeIsRun::on_CloseButton_clicked()
{
    close();
}

void ExeIsRun::on_NewHong_clicked()
{
    close();
}

void ExeIsRun::FillLanguageTexts(LanguageTexts& texts)
{
    texts.label(QStringLiteral("label"), ui->label);
    texts.button(QStringLiteral("NewHong"), ui->NewHong);
    texts.store(QStringLiteral("label_2"), &m_textA);
    texts.store(QStringLiteral("PleaseStop"), &m_textB);
    texts.store(QStringLiteral("CannotSave"), &m_cannotSave);
}

// ---- InportFail -------------------------------------------------------------

InportFail::InportFail(QWidget* parent) : FramelessDialog(QStringLiteral("InportFail"), parent), ui(new Ui::InportFail)
{
    ui->setupUi(this);
    StyleFrame({ui->InportFailA, ui->label, ui->CloseButton, {ui->NewHong}});
    ApplyStoredLanguage();
}

InportFail::~InportFail()
{
    delete ui;
}

void InportFail::on_CloseButton_clicked()
{
    close();
}

void InportFail::on_NewHong_clicked()
{
    close();
}

void InportFail::FillLanguageTexts(LanguageTexts& texts)
{
    // 1: not a settings file, 2: made for another sensor or too many stages.
    texts.on(QStringLiteral("label"), [this](const QString& text) {
        if (LastImportResult == 1)
            ui->label->setText(text);
    });
    texts.on(QStringLiteral("label_1"), [this](const QString& text) {
        if (LastImportResult == 2)
            ui->label->setText(text);
    });
    // 3: the device did not take the settings.
    texts.on(QStringLiteral("label_2"), [this](const QString& text) {
        m_notTaken = text;
        if (LastImportResult == 3)
            ui->label->setText(text);
    });
    texts.store(QStringLiteral("label_3"), &m_writeFailed);
    texts.store(QStringLiteral("label_4"), &m_nothingToExport);
    texts.store(QStringLiteral("label_5"), &m_notMacroFile);
    texts.button(QStringLiteral("NewHong"), ui->NewHong);
}

void InportFail::ShowNotTaken()
{
    ui->label->setText(m_notTaken);
}

void InportFail::ShowWriteFailed()
{
    ui->label->setText(m_writeFailed);
}

void InportFail::ShowNothingToExport()
{
    ui->label->setText(m_nothingToExport);
}

void InportFail::ShowNotMacroFile()
{
    ui->label->setText(m_notMacroFile);
}
