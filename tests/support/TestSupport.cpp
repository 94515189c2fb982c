#include "tests/support/TestSupport.h"

#include "mainwindow/SplashDlg.h"

#include <QDir>
#include <QFile>
#include <QtTest>

QString DeliveredDatabasePath() {
    return QStringLiteral(PELORVANIDE_EMPTY_DB);
}

QString BuiltResourceFile(const QString &fileName) {
    return QDir(QStringLiteral(PELORVANIDE_BUILD_DIR)).filePath(fileName);
}

TestDatabase::TestDatabase() : m_previousDir(QDir::currentPath()) {
    const QString target = FilePath();
    if (!QFile::copy(DeliveredDatabasePath(), target))
        qFatal("cannot copy the delivered database from %s", qPrintable(DeliveredDatabasePath()));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    // The skin and splash files lie beside the database, as the run command places them.
    for (const QString &file : {QStringLiteral("MainDlgSrc.dat"), QStringLiteral("DOvozOzivodERU.dat")})
        QFile::copy(BuiltResourceFile(file), m_dir.filePath(file));
    // Windows made by the tests skip the two seconds of the splash.
    CSplashDlg::SetRunner([](QWidget *) {});
    QDir::setCurrent(m_dir.path());
    QString error;
    if (!TheDatabase().Open(target, &error))
        qFatal("cannot open the test database: %s", qPrintable(error));
}

TestDatabase::~TestDatabase() {
    TheDatabase().Close();
    QDir::setCurrent(m_previousDir);
}

QString TestDatabase::FilePath() const {
    return m_dir.filePath(CDatabase::DataFileName());
}

void TestDatabase::Exec(const QString &statement) {
    TheDatabase().ExecuteStatement(statement);
}

QString TestDatabase::Scalar(const QString &statement) {
    CDatabase &db = TheDatabase();
    db.OpenQuery(statement);
    QString value;
    db.ReadFieldText(0, value);
    db.CloseQuery();
    return value;
}

int TestDatabase::Count(const QString &table, const QString &where) {
    QString statement = QStringLiteral("SELECT COUNT(*) FROM ") + table;
    if (!where.isEmpty())
        statement += QStringLiteral(" WHERE ") + where;
    return Scalar(statement).toInt();
}

MessageCapture::MessageCapture() {
    m_previous =
        SetMessagePresenter([this](const QString &text, const QString &caption, MsgIcon icon, MsgButtons buttons) {
            m_messages.append({text, caption, icon, buttons});
            if (!m_answers.isEmpty())
                return m_answers.takeFirst();
            return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
        });
}

MessageCapture::~MessageCapture() {
    SetMessagePresenter(m_previous);
}

QStringList MessageCapture::Texts() const {
    QStringList texts;
    for (const CapturedMessage &m : m_messages)
        texts << m.text;
    return texts;
}
