// Observer for the end-to-end test, loaded into the unchanged program as a
// Qt generic plugin (QT_PLUGIN_PATH=<folder holding generic/>,
// QT_QPA_GENERIC_PLUGINS=e2eprobe). It only answers questions about the
// widgets; it never clicks or types: the test drives the program from
// outside with xdotool, as a user would.
//
// It listens on the local socket "$DIZADI_E2E_PROBE_DIR/probe-<pid>". One
// request per line, one JSON answer per line:
//   widgets <regular expression>   every widget whose object name matches
//       (hidden ones too): name, class, visible, global x, y, w, h, window
//       (class of its top-level widget), ancestors (classes of its parents,
//       outermost first, "/" between), styleSheet and, where the widget
//       has them, text, value, checked, currentIndex, currentText; enabled;
//       for a list widget its count, currentRow and items (the rows' texts)
//   windows                        the visible top-level widgets: class,
//       name, x, y, w, h, modal, active, icon (whether it has one)
//   application                    one object: dir (applicationDirPath),
//       name (applicationName), desktopFileName, iconSizes (the widths of
//       the application's window icon)
#include <QApplication>
#include <QDir>
#include <QGenericPlugin>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QVariant>
#include <QWidget>

namespace {

QJsonObject geometryOf(const QWidget* w)
{
    const QPoint topLeft = w->mapToGlobal(QPoint(0, 0));
    return QJsonObject{{QStringLiteral("x"), topLeft.x()},
                       {QStringLiteral("y"), topLeft.y()},
                       {QStringLiteral("w"), w->width()},
                       {QStringLiteral("h"), w->height()}};
}

QJsonObject describe(const QWidget* w)
{
    QJsonObject o = geometryOf(w);
    o.insert(QStringLiteral("name"), w->objectName());
    o.insert(QStringLiteral("class"), QString::fromLatin1(w->metaObject()->className()));
    o.insert(QStringLiteral("visible"), w->isVisible());
    o.insert(QStringLiteral("window"), QString::fromLatin1(w->window()->metaObject()->className()));
    QStringList ancestors;
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        ancestors.prepend(QString::fromLatin1(p->metaObject()->className()));
    o.insert(QStringLiteral("ancestors"), ancestors.join(QLatin1Char('/')));
    o.insert(QStringLiteral("styleSheet"), w->styleSheet());
    o.insert(QStringLiteral("enabled"), w->isEnabled());
    if (const auto* list = qobject_cast<const QListWidget*>(w)) {
        QJsonArray items;
        for (int i = 0; i < list->count(); ++i)
            items.append(list->item(i)->text());
        o.insert(QStringLiteral("count"), list->count());
        o.insert(QStringLiteral("currentRow"), list->currentRow());
        o.insert(QStringLiteral("items"), items);
    }
    for (const char* property : {"text", "value", "checked", "currentIndex", "currentText"}) {
        if (w->metaObject()->indexOfProperty(property) < 0)
            continue;
        const QVariant v = w->property(property);
        if (v.type() == QVariant::Bool)
            o.insert(QLatin1String(property), v.toBool());
        else if (v.type() == QVariant::Int)
            o.insert(QLatin1String(property), v.toInt());
        else
            o.insert(QLatin1String(property), v.toString());
    }
    return o;
}

QByteArray answer(const QString& request)
{
    QJsonArray list;
    if (request.startsWith(QLatin1String("widgets "))) {
        const QRegularExpression pattern(QStringLiteral("^(?:") + request.mid(8).trimmed() + QStringLiteral(")$"));
        for (QWidget* w : QApplication::allWidgets()) {
            if (pattern.match(w->objectName()).hasMatch())
                list.append(describe(w));
        }
    } else if (request.trimmed() == QLatin1String("windows")) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible())
                continue;
            QJsonObject o = geometryOf(w);
            o.insert(QStringLiteral("name"), w->objectName());
            o.insert(QStringLiteral("class"), QString::fromLatin1(w->metaObject()->className()));
            o.insert(QStringLiteral("modal"), w->isModal());
            o.insert(QStringLiteral("active"), w->isActiveWindow());
            o.insert(QStringLiteral("icon"), !w->windowIcon().isNull());
            list.append(o);
        }
    } else if (request.trimmed() == QLatin1String("application")) {
        QJsonArray sizes;
        for (const QSize& size : QApplication::windowIcon().availableSizes())
            sizes.append(size.width());
        list.append(QJsonObject{{QStringLiteral("dir"), QCoreApplication::applicationDirPath()},
                                {QStringLiteral("name"), QCoreApplication::applicationName()},
                                {QStringLiteral("desktopFileName"), QGuiApplication::desktopFileName()},
                                {QStringLiteral("iconSizes"), sizes}});
    } else {
        return QByteArrayLiteral("{\"error\":\"unknown request\"}\n");
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("result"), list}}).toJson(QJsonDocument::Compact) + '\n';
}

class Probe : public QObject
{
public:
    Probe()
    {
        const QString dir = QString::fromLocal8Bit(qgetenv("DIZADI_E2E_PROBE_DIR"));
        if (dir.isEmpty())
            return;
        const QString name = QDir(dir).filePath(QStringLiteral("probe-%1").arg(QCoreApplication::applicationPid()));
        QLocalServer::removeServer(name);
        m_server.listen(name);
        QObject::connect(&m_server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
                    while (socket->canReadLine())
                        socket->write(answer(QString::fromUtf8(socket->readLine())));
                    socket->flush();
                });
            }
        });
    }

private:
    QLocalServer m_server;
};

}  // namespace

class E2eProbePlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "e2eprobe.json")

public:
    QObject* create(const QString&, const QString&) override { return new Probe; }
};

#include "E2eProbe.moc"
