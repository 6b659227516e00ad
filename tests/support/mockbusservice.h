#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QList>
#include <QStringList>

/// Stands in for a desktop service on a private bus: owns `service`, takes
/// the calls of `methods` on `interface` at `path`, records each as
/// "interface.Method(arg, ...)" and answers as told; any other method gets
/// UnknownMethod, as from the real service.
class MockBusService : public QDBusVirtualObject {
    Q_OBJECT
public:
    enum class Answer { Reply, Error, Never };

    MockBusService(QString service, QString path, QString interface, QStringList methods);

    /// Takes the name and exports the object; false when either fails.
    bool registerOn(QDBusConnection bus);
    void unregisterFrom(QDBusConnection bus);

    QString service() const { return m_service; }

    QStringList calls;
    Answer answer = Answer::Reply;
    QString errorName;    ///< for Answer::Error
    QString errorMessage; ///< for Answer::Error

    QString introspect(const QString &path) const override;
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override;

signals:
    void called(const QString &call);

private:
    QString m_service;
    QString m_path;
    QString m_interface;
    QStringList m_methods;
    QList<QDBusMessage> m_unanswered; ///< held, for Answer::Never
};
