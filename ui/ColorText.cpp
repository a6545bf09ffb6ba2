#include "ColorText.h"

#include "ConfigSettings.h"

QString ColorTextFromList(const QStringList& list, const QString& fallback)
{
    if (list.size() < 3)
        return fallback;
    QStringList parts;
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const QString part = list.at(i).trimmed();
        const int value = part.toInt(&ok, 10);
        if (!ok || value < 0 || value > 255)
            return fallback;
        parts << QString::number(value);
    }
    return parts.join(QLatin1Char(','));
}

QString DefaultOptionColorText(const QString& key)
{
    struct Default {
        const char* key;
        const char* rgb;
    };
    static const Default defaults[] = {
        {"LabelColor", "225,228,235"},     {"ButtonColor", "240,242,246"},
        {"SliderColor", "255,128,0"},      {"LinEditColor", "240,242,246"},
        {"LinEditColorSecond", "225,228,235"}, {"ComboxTextColor", "225,228,235"},
        {"ComboxSelectColor", "255,128,0"}, {"ComboxBackGroundColor", "34,36,43"},
    };
    for (const Default& d : defaults) {
        if (key == QLatin1String(d.key))
            return QLatin1String(d.rgb);
    }
    return QStringLiteral("255,255,255");
}

QString OptionColorText(const QString& key)
{
    return ColorTextFromList(ConfigSettings::GetInstance()->GetValueList(QStringLiteral("Option"), key),
                             DefaultOptionColorText(key));
}

QString HexColorText(int r, int g, int b)
{
    return QStringLiteral("#%1%2%3")
        .arg(qBound(0, r, 255), 2, 16, QLatin1Char('0'))
        .arg(qBound(0, g, 255), 2, 16, QLatin1Char('0'))
        .arg(qBound(0, b, 255), 2, 16, QLatin1Char('0'));
}

QString DecimalColorText(const QString& hex)
{
    if (hex.size() != 7 || !hex.startsWith(QLatin1Char('#')))
        return QString();
    QStringList parts;
    for (int at = 1; at < 7; at += 2) {
        bool ok = false;
        const int value = hex.midRef(at, 2).toInt(&ok, 16);
        if (!ok || value < 0)
            return QString();
        parts << QString::number(value);
    }
    return parts.join(QLatin1Char(','));
}
