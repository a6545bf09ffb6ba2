#include "VirtualKeyNames.h"

#include <QHash>

namespace keys {

namespace {

const QHash<int, QString>& combinationTable()
{
    static const QHash<int, QString> table = [] {
        QHash<int, QString> t;
        for (int i = 0; i <= 9; ++i) {
            t.insert('0' + i, QString::number(i));
            t.insert(96 + i, QStringLiteral("Num") + QString::number(i));
        }
        for (int i = 0; i < 26; ++i)
            t.insert('A' + i, QString(QChar('A' + i)));
        for (int i = 0; i < 12; ++i)
            t.insert(112 + i, QStringLiteral("F") + QString::number(i + 1));
        const struct {
            int code;
            const char16_t* name;
        } rows[] = {
            {8, u"BackSpace"}, {9, u"Tab"},      {12, u""},       {13, u"Enter"},   {19, u"Pause"},
            {20, u"CapsLock"}, {27, u"Esc"},     {33, u"PgUp"},   {34, u"PgDn"},    {35, u"End"},
            {36, u"Home"},     {37, u"\u2190"},  {38, u"\u2191"}, {39, u"\u2192"},  {40, u"\u2193"},
            {44, u"Screen"},   {45, u"Insert"},  {46, u"Del"},    {93, u"APPs"},    {106, u"Num*"},
            {107, u"Num+"},    {109, u"Num-"},   {110, u"Num."},  {111, u"Num/"},   {144, u"NumLock"},
            {145, u"Scroll"},  {186, u";"},      {187, u"="},     {188, u","},      {189, u"-"},
            {190, u"."},       {191, u"/"},      {192, u"`"},     {219, u"["},      {220, u"\\"},
            {221, u"]"},       {222, u"'"},
        };
        for (const auto& row : rows)
            t.insert(row.code, QString::fromUtf16(row.name));
        return t;
    }();
    return table;
}

const QHash<int, QString>& singleTable()
{
    static const QHash<int, QString> table = [] {
        QHash<int, QString> t = combinationTable();
        t.insert(160, QStringLiteral("LShift"));
        t.insert(161, QStringLiteral("RShift"));
        t.insert(162, QStringLiteral("LCtrl"));
        t.insert(163, QStringLiteral("RCtrl"));
        t.insert(91, QStringLiteral("LWin"));
        t.insert(92, QStringLiteral("RWin"));
        t.insert(164, QStringLiteral("LAlt"));
        return t;
    }();
    return table;
}

const QHash<int, QString>& recordingTable()
{
    static const QHash<int, QString> table = [] {
        QHash<int, QString> t = singleTable();
        t.insert(32, QStringLiteral("Space"));
        t.insert(165, QStringLiteral("RAlt"));
        return t;
    }();
    return table;
}

}  // namespace

QString CombinationKeyName(int virtualKey)
{
    return combinationTable().value(virtualKey);
}

QString SingleKeyName(int virtualKey)
{
    return singleTable().value(virtualKey);
}

std::optional<QString> RecordingKeyName(int virtualKey)
{
    const auto it = recordingTable().constFind(virtualKey);
    if (it == recordingTable().constEnd())
        return std::nullopt;
    return *it;
}

}  // namespace keys
